#pragma once
// Keeps the serial receiver's commands for diagnosis: each command received is
// captured into "\My Documents\Veltrak\temp.tmp" and, when the flags say so,
// kept under a name of its month, day, hour, minute and code
// ("MMDD_HHMM_kc_NNN.cmd", code = kind x 10 + accepted, kind 9 for a jam
// packet, else the command's control byte). The folder must exist: without it
// nothing is captured.
#include "platform/process_object.h"

#include <QString>
#include <cstdint>
#include <mutex>
#include <span>

class CRozCommandLog {
public:
    enum : uint32_t {
        KEEP_ACCEPTED_JAM = 1,
        KEEP_ACCEPTED_OTHER = 2,
        CAPTURE_JAM = 4,
        CAPTURE_OTHER = 8,
        NO_SEQUENCE = 16, // "MMDD_HHMM_kc.cmd", replacing an older one
    };
    static constexpr uint32_t kDefaultFlags = CAPTURE_JAM | CAPTURE_OTHER; // only rejected commands are kept

    explicit CRozCommandLog(uint32_t flags = kDefaultFlags);
    ~CRozCommandLog();
    CRozCommandLog(const CRozCommandLog&) = delete;
    CRozCommandLog& operator=(const CRozCommandLog&) = delete;

    // Starts the capture of a command (its bytes as received).
    void Begin(std::span<const uint8_t> bytes);
    // Ends it: the capture is kept when the command was rejected, or when the
    // flags keep accepted commands of its kind.
    void End(bool accepted);

    bool IsEnabled() const { return m_enabled; }

private:
    QString Folder() const;

    std::mutex m_mutex;
    const uint32_t m_flags;
    bool m_enabled = false;
    bool m_capturing = false;
    uint8_t m_kind = 0;
};

// The program's one command log, built at start-up with the default flags.
inline platform::ProcessObject<CRozCommandLog> g_rozCommandLog;

#pragma once
// A traffic transport: the provider download, the serial receiver or the stub.
// The jam manager's worker opens it, asks it to save the newest jam picture
// into the map's jam file, and forwards status-text and reconnect requests of
// the user-interface thread. Transports are shared (std::shared_ptr): the
// worker keeps the one it works with alive while the user switches to another.
#include "traffic/jam_file.h"
#include "traffic/jam_status.h"

#include <QString>
#include <atomic>
#include <cstdint>
#include <optional>

// Bits of the status-text flags: the low 4 bits choose the language (0 English,
// 1 Russian; any other value writes only the numbers of the time and date).
enum : uint32_t {
    JAM_TEXT_LANGUAGE_MASK = 0x0F,
    JAM_TEXT_TIME = 0x10,
    JAM_TEXT_DATE = 0x20,
    JAM_TEXT_LAST_ERROR = 0x40,
    JAM_TEXT_RECEIVER = 0x80, // the serial receiver's status
};

class CJamTransport {
public:
    virtual ~CJamTransport() = default;

    virtual JamStatus Open(const QString& configuration) = 0;
    // The serial receiver closes and reopens its port; the others answer 0.
    virtual JamStatus Reconnect() = 0;
    // Sets `text` to at most size - 1 characters (a device buffer of `size`
    // with its terminator); always 0.
    virtual JamStatus GetStatusText(QString& text, int size, uint32_t flags) = 0;
    virtual JamStatus Close() = 0;
    // Makes the newest cells available (Refresh) and writes them into the jam
    // file; the jam time goes to `jamTime` when given.
    virtual JamStatus SaveJam(const QString& path, uint64_t* jamTime) = 0;
    virtual JamStatus SaveContext(const QString& path, bool raw) = 0;
    // The time of the last saved jam, or JAM_E_NO_NEW_DATA when there was none.
    virtual JamStatus GetJamTime(uint64_t* jamTime) = 0;
    virtual void Lock() = 0;
    virtual void Unlock() = 0;
    virtual JamStatus Refresh() = 0;
};

// Appends pieces of a status text while they fit into a device buffer of
// `size` characters; the first piece that does not fit ends the text.
class JamStatusText {
public:
    JamStatusText(QString& text, int size)
        : m_text(text)
        , m_limit(size > 0 ? size - 1 : 0)
    {
        m_text.clear();
    }
    bool Add(const QString& piece);
    bool HasRoom() const { return !m_stopped && m_text.size() < m_limit; }

private:
    QString& m_text;
    qsizetype m_limit;
    bool m_stopped = false;
};

class CJamTransportBase : public CJamTransport {
public:
    JamStatus GetStatusText(QString& text, int size, uint32_t flags) override;
    JamStatus GetJamTime(uint64_t* jamTime) override;

    JamStatus LastStatus() const { return m_lastStatus.load(); }

protected:
    // The common text (jam time and date, last status) into `out`.
    void AppendCommonStatusText(JamStatusText& out, uint32_t flags) const;
    void SetLastStatus(JamStatus status) { m_lastStatus.store(status); }

    // Read by the user-interface thread's status text while the worker writes
    // them, hence atomic (the provider download has no lock of its own).
    std::atomic<uint64_t> m_jamTime { 0 }; // local file time, 0 never
    std::atomic<JamStatus> m_lastStatus { JAM_E_NOT_OPEN };
};

// A transport that yields jam cells and saves them through the map's cell table.
class CJamCellTransport : public CJamTransportBase {
public:
    JamStatus SaveJam(const QString& path, uint64_t* jamTime) override;
    JamStatus SaveContext(const QString& path, bool raw) override;

protected:
    // Guarded by Lock: the newest picture not saved yet, if any.
    std::optional<JamCells> m_cells;
};

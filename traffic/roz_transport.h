#pragma once
// Transport kind 3: the broadcast traffic receiver on a serial port. A reader
// thread of its own polls the port, takes the receiver's commands apart
// (RozFrameParser), answers each with one byte (0x11 accepted, 0x12 rejected,
// 0x10 status acknowledged), decodes the jam packet into the cells and keeps
// the receiver's status. Cells and status are kept in the context file
// "\My Documents\JamVelRoz.jvu" so that a restart does not lose them.
//
// The transport's lock guards the port, the cells, the status and the jam
// time; the reader reads the port under it (reads never block), so no other
// thread can close or reopen the port in the middle of a read.
#include "platform/serial_port.h"
#include "platform/sync.h"
#include "traffic/jam_transport.h"
#include "traffic/roz_frame_parser.h"
#include "traffic/roz_status.h"

#include <atomic>
#include <mutex>
#include <optional>
#include <thread>

// The receiver's context file.
QString RozContextPath();

class CRozTransport final : public CJamCellTransport {
public:
    enum : uint8_t {
        REPLY_STATUS = 0x10,
        REPLY_ACCEPTED = 0x11,
        REPLY_REJECTED = 0x12,
    };
    static constexpr uint32_t kReadPeriodMs = 200;
    static constexpr uint32_t kReopenPeriodMs = 3000;
    static constexpr int kBaud = 19200;

    CRozTransport() = default;
    ~CRozTransport() override;

    // "COMn:", optionally a line feed and a decimal baud value.
    JamStatus Open(const QString& configuration) override;
    JamStatus Reconnect() override;
    JamStatus GetStatusText(QString& text, int size, uint32_t flags) override;
    JamStatus Close() override;
    JamStatus SaveJam(const QString& path, uint64_t* jamTime) override;
    JamStatus SaveContext(const QString& path, bool raw) override;
    void Lock() override { m_lock.Lock(); }
    void Unlock() override { m_lock.Unlock(); }
    JamStatus Refresh() override;

private:
    bool OpenPort(); // under the lock
    void Stop(); // ends the reader and closes the port
    void Reader();
    void Read(); // the reader's loop
    void Supervise(ssize_t received);
    void Handle(const RozFrame& frame);
    void Reply(uint8_t byte);
    bool TakeStatus(const RozFrame& frame);
    bool TakeMessage(const RozFrame& frame);
    void LoadContext(); // under the lock

    platform::CriticalSection m_lock;
    // Open and Close one at a time (the worker opens, the user's side may close);
    // never taken by the reader.
    std::mutex m_lifecycle;
    platform::SerialPort m_port;
    QString m_portName;
    QString m_jamPath; // of the last save
    int m_baud = kBaud;
    std::optional<RozStatus> m_status;
    std::atomic<bool> m_running { false };
    platform::Event m_stop { true, false };
    std::thread m_reader;
    bool m_readerAlive = false; // under the lock: from the reader's start to its end

    // The reader's own.
    RozFrameParser m_parser;
    int m_emptyReads = 0;
    int m_reopenCountdown = 0;
};

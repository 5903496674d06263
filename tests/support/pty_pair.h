#pragma once
// A pseudo-terminal pair standing in for a serial device: the program opens
// the device end by its path as it opens a port; the test writes what the
// device would send into the other end and reads what the program sends.
#include "platform/unique_fd.h"
#include <QByteArray>
#include <QString>

namespace testing_support {

class PtyPair {
public:
    // Both ends raw (no echo, no line editing, no CR/LF translation).
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool IsOpen() const { return m_master.IsOpen(); }
    // The device end's path ("/dev/pts/N").
    const QString& DevicePath() const { return m_path; }
    // Makes the program's "COMn:" name stand for this device (the registry's
    // port map, so a ScopedRegistryFile should be in force); false when that fails.
    bool MapAs(const QString& comName) const;
    // Writes every byte into the device end's input; false when that fails.
    bool Send(const QByteArray& bytes);
    // Waits at most `ms` until the device end has input to read (what Send
    // wrote reaches the device end a moment later); false when none came.
    bool WaitForDeviceInput(int ms);
    // What the program wrote to the device so far (without waiting).
    QByteArray Received();
    // Waits (at most 5 s) until `count` bytes the program wrote have come, and
    // returns what has come by then.
    QByteArray Receive(qsizetype count);
    // Waits (at most 5 s) until at least `count` bytes wait in the device end's
    // input, so that the program's next read finds what was sent.
    bool AwaitPending(qsizetype count);
    // Closes the test's end: the device end's reads fail from then on, as
    // when a receiver is unplugged.
    void Hangup();

private:
    platform::UniqueFd m_master;
    platform::UniqueFd m_slave; // held open so that the pair lives while the program reopens it
    QString m_path;
};

} // namespace testing_support

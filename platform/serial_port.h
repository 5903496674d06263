#pragma once
// Serial ports as the device's "COMn:" ports: a termios device (a USB or
// Bluetooth serial adapter, a built-in UART, a pty in tests) opened for
// reading and writing, exclusively, never blocking. The program has no thread
// per port: it polls, and a read returns at once with what has arrived.
//
// "COM0:" to "COM9:" name device paths through the registry, HKEY_LOCAL_MACHINE
// "Hardware\DeviceMap\SerialComm", value "COMn:" (a string); without a value
// the ports follow a fixed table: COM1: /dev/ttyUSB0, COM2: /dev/ttyACM0,
// COM3: /dev/rfcomm0, COM4: /dev/ttyS0, COM5: /dev/ttyUSB1, and so on round
// the four kinds, COM0: after COM9:. Any other name is a device path itself.
#include "platform/unique_fd.h"
#include <QString>
#include <cstddef>
#include <sys/types.h>

namespace platform {

// The registry key of the port map.
inline constexpr const char* kSerialPortMapKey = "Hardware\\DeviceMap\\SerialComm";

// The device path a port name stands for.
QString SerialPortDevicePath(const QString& name);

class SerialPort {
public:
    SerialPort() = default;
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Opens the port: exclusive (a second open of the same device fails),
    // non-blocking. Unless keepLine, the line becomes raw 8 data bits, no
    // parity, one stop bit, no flow control, at `baud`, with DTR and RTS
    // raised; with keepLine it is left as its driver has it. Closes a port
    // that was open first. False, with `error` naming the device and the
    // cause, when any step fails; nothing stays open then.
    bool Open(const QString& name, int baud, bool keepLine, QString* error = nullptr);
    void Close();
    bool IsOpen() const { return m_fd.IsOpen(); }
    // The open port's descriptor, for a caller that waits for input; -1 when closed.
    int Fd() const { return m_fd.Get(); }
    // The device path of the open port.
    const QString& DevicePath() const { return m_path; }

    // What has arrived, at most `size` bytes: their count, 0 when nothing
    // has, -1 when the port failed (the device went away).
    ssize_t Read(void* buffer, size_t size);
    // Writes every byte, waiting at most timeoutMs whenever the port is full;
    // false when they could not all be written.
    bool Write(const void* data, size_t size, int timeoutMs = 1000);

private:
    platform::UniqueFd m_fd;
    QString m_path;
};

} // namespace platform

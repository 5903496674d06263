#include "platform/serial_port.h"

#include "platform/registry.h"
#include "platform/unique_fd.h"
#include "tests/support/pty_pair.h"
#include "tests/support/scoped_registry.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

namespace {

using platform::SerialPort;
using testing_support::PtyPair;

TEST(SerialPort, ComNamesMapToDevicesThroughTheRegistry)
{
    testing_support::ScopedRegistryFile registry;
    const std::pair<const char*, const char*> defaults[] = {
        { "COM1:", "/dev/ttyUSB0" },
        { "COM2:", "/dev/ttyACM0" },
        { "COM3:", "/dev/rfcomm0" },
        { "COM4:", "/dev/ttyS0" },
        { "COM5:", "/dev/ttyUSB1" },
        { "COM8:", "/dev/ttyS1" },
        { "COM9:", "/dev/ttyUSB2" },
        { "COM0:", "/dev/ttyACM2" },
        // Anything else is a path of its own.
        { "/dev/pts/7", "/dev/pts/7" },
        { "com4:", "com4:" },
        { "COM4", "COM4" },
        { "COM10:", "COM10:" },
    };
    for (const auto& [name, path] : defaults)
        EXPECT_EQ(platform::SerialPortDevicePath(QString::fromLatin1(name)), QString::fromLatin1(path))
            << name;

    platform::RegKey key;
    ASSERT_EQ(platform::registry().Create(
                  platform::RegRoot::HKLM, QString::fromLatin1(platform::kSerialPortMapKey), &key),
        platform::RegResult::Ok);
    ASSERT_EQ(key.SetString("COM4:", "/dev/ttyGNSS"), platform::RegResult::Ok);
    EXPECT_EQ(platform::SerialPortDevicePath("COM4:"), "/dev/ttyGNSS");
    EXPECT_EQ(platform::SerialPortDevicePath("COM5:"), "/dev/ttyUSB1");
}

TEST(SerialPort, OpensARawExclusiveNonBlockingLine)
{
    PtyPair pty;
    ASSERT_TRUE(pty.IsOpen());
    SerialPort port;
    QString error;
    ASSERT_TRUE(port.Open(pty.DevicePath(), 9600, false, &error)) << error.toStdString();
    EXPECT_EQ(port.DevicePath(), pty.DevicePath());

    // The line as anyone opening the device now sees it.
    const platform::UniqueFd device(::open(pty.DevicePath().toLocal8Bit().constData(), O_RDONLY | O_NOCTTY));
    ASSERT_TRUE(device);
    termios line {};
    ASSERT_EQ(::tcgetattr(device.Get(), &line), 0);
    EXPECT_EQ(::cfgetispeed(&line), B9600);
    EXPECT_EQ(::cfgetospeed(&line), B9600);
    EXPECT_EQ(line.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(line.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_NE(line.c_cflag & CLOCAL, 0u);
    EXPECT_EQ(line.c_lflag & (ICANON | ECHO), 0u);
    EXPECT_EQ(line.c_iflag & (IXON | IXOFF | ICRNL), 0u);
    EXPECT_EQ(line.c_cc[VMIN], 0);
    EXPECT_EQ(line.c_cc[VTIME], 0);

    // Nothing waiting reads as nothing, at once.
    char buffer[64];
    EXPECT_EQ(port.Read(buffer, sizeof buffer), 0);
    ASSERT_TRUE(pty.Send("$GPRMC\r\n"));
    ASSERT_EQ(port.Read(buffer, sizeof buffer), 8);
    EXPECT_EQ(QByteArray(buffer, 8), "$GPRMC\r\n");
    EXPECT_TRUE(port.Write("PING", 4));
    EXPECT_EQ(pty.Received(), "PING");

    // Never shared.
    SerialPort second;
    EXPECT_FALSE(second.Open(pty.DevicePath(), 9600, false, &error));
    EXPECT_TRUE(error.contains("in use")) << error.toStdString();
    EXPECT_FALSE(second.IsOpen());

    // A receiver unplugged: reads fail.
    pty.Hangup();
    EXPECT_EQ(port.Read(buffer, sizeof buffer), -1);
    port.Close();
    EXPECT_FALSE(port.IsOpen());
}

TEST(SerialPort, AFailedStepLeavesNothingOpen)
{
    PtyPair pty;
    SerialPort port;
    QString error;
    struct Case {
        QString name;
        int baud;
        bool keepLine;
        bool opens;
        const char* says;
    };
    const Case cases[] = {
        { "/dev/null", 4800, false, false, "not a serial port" },
        // The driver's own port keeps its line and is not asked about it.
        { "/dev/null", 4800, true, true, "" },
        { pty.DevicePath(), 1234, false, false, "unsupported speed" },
        { "/nonexistent/ttyUSB9", 4800, false, false, "cannot open" },
        { pty.DevicePath(), 115200, false, true, "" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        error.clear();
        EXPECT_EQ(port.Open(c.name, c.baud, c.keepLine, &error), c.opens);
        EXPECT_EQ(port.IsOpen(), c.opens);
        EXPECT_TRUE(error.contains(QLatin1String(c.says))) << error.toStdString();
        if (!c.opens) {
            EXPECT_TRUE(error.contains(c.name)) << error.toStdString();
        }
    }
}

} // namespace

// The platform's GPS driver (source 12) is gpsd: a real gpsd, started by
// gpsfake on one of the shared receiver logs, feeds the program's fix.
#include "app/device_config.h"
#include "gps/gps_source.h"
#include "gps/gpsd_client.h"
#include "platform/registry.h"
#include "platform/unique_fd.h"
#include "tests/support/scoped_registry.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

const QString kLog = QStringLiteral(TRAVENOR_SHARED_DATA_DIR "/nmea/bu353s4.log");

// A TCP port nobody listens on just now.
uint16_t FreePort()
{
    const platform::UniqueFd probe(::socket(AF_INET, SOCK_STREAM, 0));
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    uint16_t port = 0;
    if (::bind(probe.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
        && ::getsockname(probe.Get(), reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    return port;
}

// gpsfake feeding the log once, in a process group of its own, so that it
// and the gpsd it starts end together.
class Gpsfake {
public:
    explicit Gpsfake(uint16_t port)
    {
        m_process.setChildProcessModifier([] { ::setpgid(0, 0); });
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(QStringLiteral("gpsfake"),
            { QStringLiteral("-1"), QStringLiteral("-q"), QStringLiteral("-c"), QStringLiteral("0.05"),
                QStringLiteral("-P"), QString::number(port), kLog });
        m_process.waitForStarted(10000);
    }
    ~Gpsfake() { Kill(); }
    bool Running() const { return m_process.state() == QProcess::Running; }
    void Kill()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        ::kill(-static_cast<pid_t>(m_process.processId()), SIGTERM);
        if (!m_process.waitForFinished(10000)) {
            ::kill(-static_cast<pid_t>(m_process.processId()), SIGKILL);
            m_process.waitForFinished(10000);
        }
    }

private:
    QProcess m_process;
};

// The final RMC of the log: its second of the day and position.
CGpsFix FinalFix()
{
    QFile file(kLog);
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    CNmeaReader reader;
    CGpsFix fix;
    reader.Feed(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), fix);
    return fix;
}

// Polls as the tick would until `done` says so or the time is up; between
// polls it waits for the source's input, or, while gpsd is not there yet,
// a moment for it to come up.
bool PollUntil(CGpsSource& source, const std::function<bool()>& done, int seconds)
{
    const auto deadline = Clock::now() + std::chrono::seconds(seconds);
    while (Clock::now() < deadline) {
        source.Poll();
        if (done())
            return true;
        pollfd input { source.Port().InputFd(), POLLIN, 0 };
        ::poll(&input, 1, input.fd >= 0 ? 50 : 10);
    }
    return false;
}

TEST(GpsdSource, GpsdFeedsTheFixAndIsFoundAgainAfterItWasGone)
{
    if (QStandardPaths::findExecutable(QStringLiteral("gpsfake")).isEmpty()
        || QStandardPaths::findExecutable(
            QStringLiteral("gpsd"), { "/usr/sbin", "/usr/local/sbin", "/usr/bin" })
               .isEmpty())
        GTEST_SKIP() << "gpsd and gpsfake (Debian gpsd, gpsd-clients) are not installed: the gpsd source is "
                        "not tested";
    testing_support::ScopedRegistryFile registry;
    const uint16_t port = FreePort();
    ASSERT_NE(port, 0);
    platform::RegKey key;
    ASSERT_EQ(
        platform::registry().Create(platform::RegRoot::HKLM, kGpsDriverKey, &key), platform::RegResult::Ok);
    key.SetString("DriverInterface", QStringLiteral("gpsd://127.0.0.1:%1").arg(port));

    const CGpsFix final = FinalFix();
    CGpsFix fix;
    CGpsSource source(std::make_unique<CGpsPort>(fix));
    source.ResetFix();
    const auto atFinal
        = [&] { return fix.m_status == 'A' && fix.m_time == final.m_time && fix.IsEqual(final); };

    // The driver opens whether or not gpsd already listens.
    ASSERT_TRUE(source.OpenPort(12, 4800));
    auto gpsfake = std::make_unique<Gpsfake>(port);
    if (!gpsfake->Running())
        GTEST_SKIP() << "gpsfake does not run here (it needs python3-gps): the gpsd source is not tested";
    EXPECT_EQ(source.GetPortState(), GPS_PORT_SERIAL);
    ASSERT_TRUE(PollUntil(source, atFinal, 60)) << "the fix never reached the log's final position";
    EXPECT_GE(fix.m_satellitesUsed, 7);

    // gpsd goes away: the fix is void within the failure time, the source stays open.
    gpsfake->Kill();
    ASSERT_TRUE(PollUntil(
        source, [&] { return fix.m_status == 'V'; }, 10));
    EXPECT_EQ(source.GetPortState(), GPS_PORT_SERIAL);
    EXPECT_EQ(fix.m_satellitesUsed, 0);

    // gpsd comes back: the source finds it again by itself.
    gpsfake = std::make_unique<Gpsfake>(port);
    ASSERT_TRUE(gpsfake->Running());
    ASSERT_TRUE(PollUntil(source, atFinal, 60)) << "the source did not find gpsd again";
    source.Close();
}

TEST(GpsdSource, NamesOfGpsd)
{
    CGpsdClient client;
    EXPECT_TRUE(CGpsdClient::IsGpsdName("gpsd:"));
    EXPECT_FALSE(CGpsdClient::IsGpsdName("COM4:"));
    EXPECT_TRUE(client.Open("gpsd:"));
    EXPECT_TRUE(client.Open("gpsd://127.0.0.1:2947"));
    EXPECT_TRUE(client.Open("gpsd://[::1]:2947"));
    EXPECT_TRUE(client.Open("gpsd://localhost"));
    EXPECT_FALSE(client.Open("gpsd:localhost"));
    EXPECT_FALSE(client.Open("gpsd://localhost:0"));
    EXPECT_FALSE(client.Open("gpsd://localhost:70000"));
    EXPECT_FALSE(client.Open("gpsd://localhost:port"));
    EXPECT_FALSE(client.Open("/dev/ttyUSB0"));
    EXPECT_FALSE(client.IsOpen());
}

} // namespace

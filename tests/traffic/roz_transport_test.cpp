#include "traffic/jam_context_file.h"
#include "traffic/jam_manager.h"
#include "traffic/roz_command_log.h"
#include "traffic/roz_transport.h"

#include "platform/clock.h"
#include "platform/local_time.h"
#include "platform/paths.h"
#include "platform/serial_port.h"
#include "platform/unique_fd.h"
#include "tests/support/file_bytes.h"
#include "tests/support/program_folder.h"
#include "tests/support/pty_pair.h"
#include "tests/support/roz_simulator.h"
#include "tests/support/scoped_registry.h"

#include <QDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

using testing_support::JamCellsWith;
using testing_support::ReadFileBytes;
using testing_support::RozChecksummed;
using testing_support::RozJamPacket;
using testing_support::RozStatus;

namespace {

const platform::LocalTime kNow { 2007, 7, 3, 2, 14, 5, 9, 0 };

QByteArray WrongChecksum(QByteArray frame)
{
    frame[frame.size() - 1] = frame.back() == '0' ? '1' : '0';
    return frame;
}

// A receiver on a pty as the program's "COM3:", the transport's reader
// stepped on a manual clock: the test sends bytes, lets the reader take one
// read, and reads the replies.
struct RozReceiver : ::testing::Test {
    testing_support::ScopedRegistryFile registry;
    testing_support::ProgramFolder folder;
    platform::ScopedManualClock clock { 1000 };
    platform::ScopedLocalTime now { kNow };
    testing_support::PtyPair pty;
    std::unique_ptr<CRozTransport> transport;

    void SetUp() override
    {
        ASSERT_TRUE(pty.IsOpen());
        ASSERT_TRUE(pty.MapAs(QStringLiteral("COM3:")));
        OpenTransport();
    }
    void TearDown() override { transport.reset(); }

    void OpenTransport()
    {
        transport = std::make_unique<CRozTransport>();
        ASSERT_EQ(transport->Open(QStringLiteral("COM3:")), JAM_OK);
        ASSERT_TRUE(clock->AwaitWaiters(1));
    }

    // Lets the reader take one read of what waits on the line.
    void Step()
    {
        const uint64_t begun = clock->WaitsBegun();
        ASSERT_TRUE(clock->AwaitWaiters(1));
        clock->advance(CRozTransport::kReadPeriodMs);
        ASSERT_TRUE(clock->AwaitWaitsBegun(begun + 1)) << "the reader never waited again";
        ASSERT_TRUE(clock->AwaitWaiters(1));
    }
    void Deliver(const QByteArray& bytes)
    {
        ASSERT_TRUE(pty.Send(bytes));
        ASSERT_TRUE(pty.AwaitPending(bytes.size()));
        Step();
    }
    // The replies to `bytes` sent in the reads given by the split points.
    QByteArray Exchange(const QByteArray& bytes, std::initializer_list<qsizetype> splits, qsizetype replies)
    {
        qsizetype from = 0;
        for (qsizetype at : splits) {
            Deliver(bytes.mid(from, at - from));
            from = at;
        }
        Deliver(bytes.mid(from));
        return pty.Receive(replies);
    }

    QString Text(uint32_t flags)
    {
        QString text;
        transport->GetStatusText(text, 200, flags);
        return text;
    }
};

} // namespace

TEST_F(RozReceiver, FramesGetTheirReplies)
{
    EXPECT_EQ(Text(0x80), QStringLiteral("Context is empty.\r\n"));
    EXPECT_EQ(transport->Refresh(), JAM_E_NO_NEW_DATA);

    // Status: fill F (100 %), battery 0, in zone: acknowledged twice; with no
    // cells held the low battery is the reason.
    EXPECT_EQ(Exchange(RozStatus('F', '0', "abcdefg", true), {}, 2).toHex(), "1010");
    EXPECT_EQ(transport->Refresh(), JAM_E_LOW_BATTERY);
    EXPECT_EQ(Text(0x80), QStringLiteral("Sign. 1, bat. 0 (14:05:09 03/07/2007)\r\n"));
    EXPECT_EQ(Text(0x81), QStringLiteral("Сигн. 1, бат. 0 (14:05:09 03/07/2007)\r\n"));
    EXPECT_EQ(Exchange(RozStatus('F', 'F', "abcdefg", false), {}, 2).toHex(), "1010");
    EXPECT_EQ(transport->Refresh(), JAM_E_OUT_OF_ZONE);
    EXPECT_EQ(ReadFileBytes(RozContextPath()).size(), 60) << "the status kept, no cells yet";

    struct Case {
        const char* what;
        QByteArray bytes;
        QByteArray replies; // hexadecimal
    };
    const QByteArray packet = RozJamPacket(JamCellsWith({ { 1, '3' } }));
    const Case cases[] = {
        { "a wrong checksum", WrongChecksum(packet), "12" },
        { "private and control messages",
            RozChecksummed("\x01"
                           "p")
                + RozChecksummed("\x03"
                                 "c"),
            "1111" },
        { "a private message with a wrong checksum",
            WrongChecksum(RozChecksummed("\x01"
                                         "p")),
            "12" },
        { "a text message",
            RozChecksummed("\x02"
                           "road works"),
            "11" },
        { "noise, then a reset inside a status, then a status",
            "\x7F\x04xyz" + RozStatus('8', '8', "1234567", true).left(6) + '\x06'
                + RozStatus('8', '8', "1234567", true),
            "1010" },
        { "a status whose battery is not a digit, then a private message",
            RozStatus('8', 'x', "1234567", true)
                + RozChecksummed("\x01"
                                 "p"),
            "11" },
        { "a packet cut by the start of another message",
            packet.left(300)
                + RozChecksummed("\x03"
                                 "c"),
            "1211" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(Exchange(c.bytes, {}, c.replies.size() / 2).toHex(), c.replies) << c.what;
    EXPECT_EQ(transport->Refresh(), JAM_E_BAD_COMMAND) << "the last command was corrupted";
    EXPECT_EQ(ReadFileBytes(platform::DevicePathToLocal("\\Program Files\\Veltrak\\messages.txt")),
        "\x02road works\x04"
            + RozChecksummed("\x02"
                             "road works")
                  .right(2)
            + "\r\n");

    // The packet itself: accepted, its cells held and kept in the context file.
    EXPECT_EQ(Exchange(packet, {}, 1).toHex(), "11");
    EXPECT_EQ(transport->Refresh(), JAM_OK);
    const QByteArray context = ReadFileBytes(RozContextPath());
    ASSERT_EQ(context.size(), 60 + 864);
    EXPECT_EQ(context.mid(60).toStdString(), JamCellsWith({ { 1, '3' } }));
    EXPECT_EQ(pty.Received(), QByteArray()) << "nothing more was said";
}

// Each frame cut at every place into two reads gets the reply of the whole.
TEST_F(RozReceiver, EveryFrameSplitAcrossTwoReadsDecodesTheSame)
{
    const std::string cells = JamCellsWith({ { 0, '2' }, { 17, '3' }, { 863, '3' } });
    const struct {
        QByteArray bytes;
        QByteArray replies;
    } frames[] = {
        { RozStatus('A', '9', "1234567", true), "1010" },
        { RozJamPacket(cells), "11" },
        { RozChecksummed("\x01"
                         "private"),
            "11" },
        { WrongChecksum(RozChecksummed("\x02"
                                       "text")),
            "12" },
    };
    for (const auto& frame : frames) {
        for (qsizetype at = 1; at < frame.bytes.size(); ++at) {
            const QByteArray replies = Exchange(frame.bytes, { at }, frame.replies.size() / 2);
            ASSERT_EQ(replies.toHex(), frame.replies)
                << frame.bytes.left(8).toHex().toStdString() << " split at " << at;
        }
    }
    EXPECT_EQ(ReadFileBytes(RozContextPath()).mid(60).toStdString(), cells);
}

TEST_F(RozReceiver, CloseReturnsWhileTheReaderWaits)
{
    // The clock never moves: the reader is in its wait between two reads, and
    // data is waiting on the line.
    ASSERT_TRUE(pty.Send(RozJamPacket(JamCellsWith({}))));
    EXPECT_EQ(transport->Close(), JAM_OK);
    EXPECT_EQ(clock->Waiters(), 0);
    EXPECT_EQ(transport->Refresh(), JAM_E_NOT_OPEN);
    // Its port is free again.
    platform::SerialPort other;
    EXPECT_TRUE(other.Open(pty.DevicePath(), 19200, false));
}

TEST_F(RozReceiver, CellsAndStatusOutliveARestart)
{
    EXPECT_EQ(
        Exchange(RozStatus('F', 'F', "abcdefg", true) + RozJamPacket(JamCellsWith({ { 5, '2' } })), {}, 3)
            .toHex(),
        "101011");
    transport.reset();
    OpenTransport();
    EXPECT_EQ(transport->Refresh(), JAM_OK) << "the cells came back from the context file";
    EXPECT_EQ(Text(0x80), QStringLiteral("Sign. 1, bat. 100 (14:05:09 03/07/2007)\r\n"));

    // A context file with the status alone restores the status.
    transport.reset();
    JamContext context;
    context.status.inZone = 1;
    context.status.batteryPercent = 60;
    ASSERT_TRUE(testing_support::WriteFileBytes(RozContextPath(), BuildContextFile(context, true)));
    OpenTransport();
    EXPECT_EQ(transport->Refresh(), JAM_E_NO_NEW_DATA);
    EXPECT_EQ(Text(0x80), QStringLiteral("Sign. 1, bat. 60 (00:00:00 01/01/1601)\r\n"));
}

// A silent line is opened afresh after more than 100 empty reads, then every
// second empty read, five times: the line gets its settings again.
TEST_F(RozReceiver, ASilentLineIsOpenedAfresh)
{
    const platform::UniqueFd device(::open(pty.DevicePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY));
    ASSERT_TRUE(device);
    const int fd = device.Get();
    auto speed = [&] {
        termios line {};
        ::tcgetattr(fd, &line);
        return ::cfgetospeed(&line);
    };
    auto spoil = [&] {
        termios line {};
        ::tcgetattr(fd, &line);
        ::cfsetspeed(&line, B9600);
        ::tcsetattr(fd, TCSANOW, &line);
    };
    ASSERT_EQ(speed(), speed_t(B19200));
    spoil();
    for (int i = 0; i < 101; ++i)
        Step();
    EXPECT_EQ(speed(), speed_t(B9600)) << "101 empty reads start the countdown only";
    Step();
    EXPECT_EQ(speed(), speed_t(B9600));
    Step();
    EXPECT_EQ(speed(), speed_t(B19200)) << "the second empty read after that reopens";
}

TEST_F(RozReceiver, JamCellsReachTheMapsJamFile)
{
    transport.reset(); // the manager builds its own
    const QString jamPath = folder.File("mskmo0704.jam");
    std::vector<std::vector<uint32_t>> lists(kJamCellCount);
    lists[3] = { 0x401000, 0x401001 };
    lists[700] = { 0x802000 };
    ASSERT_TRUE(testing_support::WriteFileBytes(JamCellTablePath(jamPath), JamCellTable::Build(lists)));

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::pair<int, JamStatus>> events;
    std::unique_ptr<CJamManager> manager;
    ASSERT_EQ(CJamManager::Create(&manager), JAM_OK);
    manager->SetCallback([&](int event, JamStatus status, const uint64_t*) {
        std::lock_guard lock(mutex);
        events.emplace_back(event, status);
        changed.notify_all();
    });
    auto awaitEvents = [&](size_t count) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(20), [&] { return events.size() >= count; });
    };
    ASSERT_EQ(manager->SetSchedule(false, 0, &jamPath), JAM_OK);
    ASSERT_EQ(manager->SetTransport(3, QStringLiteral("COM3:")), JAM_OK);
    ASSERT_TRUE(awaitEvents(1));
    EXPECT_EQ(events[0], std::make_pair(int(JAM_EVENT_OPENED), JAM_OK));
    ASSERT_TRUE(clock->AwaitWaiters(2)) << "the worker and the reader";

    const uint64_t begun = clock->WaitsBegun();
    ASSERT_TRUE(pty.Send(RozJamPacket(JamCellsWith({ { 3, '3' }, { 700, '2' }, { 701, '3' } }))));
    ASSERT_TRUE(pty.AwaitPending(550));
    clock->advance(CRozTransport::kReadPeriodMs);
    ASSERT_TRUE(clock->AwaitWaitsBegun(begun + 1));
    EXPECT_EQ(pty.Receive(1).toHex(), "11");

    ASSERT_EQ(manager->RequestUpdate(), JAM_OK);
    ASSERT_TRUE(awaitEvents(2));
    EXPECT_EQ(events[1], std::make_pair(int(JAM_EVENT_SAVED), JAM_OK));
    const QByteArray expected = QByteArray("\xC1\xE3"
                                           "0"
                                           "20070703140509")
        + QByteArray("\x07\x00\x10\x40\xFF\xFF", 6) + QByteArray("\x07\x01\x10\x40\xFF\xFF", 6)
        + QByteArray("\x04\x00\x20\x80\xFF\xFF", 6);
    EXPECT_EQ(ReadFileBytes(jamPath).toHex(), expected.toHex());
    EXPECT_FALSE(QFile::exists(RozContextPath())) << "saved cells are not applied again after a restart";

    // No new packet: nothing new to save, the jam file stays.
    ASSERT_EQ(manager->RequestUpdate(), JAM_OK);
    ASSERT_TRUE(awaitEvents(3));
    EXPECT_EQ(events[2], std::make_pair(int(JAM_EVENT_SAVED), JAM_E_NO_NEW_DATA));
    EXPECT_EQ(ReadFileBytes(jamPath).toHex(), expected.toHex());
    manager.reset();
}

TEST_F(RozReceiver, RejectedCommandsAreKept)
{
    ASSERT_TRUE(QDir().mkpath(folder.Documents() + "/Veltrak"));
    platform::ScopedProcessObject<CRozCommandLog> log(g_rozCommandLog);
    ASSERT_TRUE(log->IsEnabled());
    const QByteArray bad = WrongChecksum(RozChecksummed("\x02"
                                                        "text"));
    EXPECT_EQ(Exchange(bad
                      + RozChecksummed("\x01"
                                       "ok")
                      + bad,
                  {}, 3)
                  .toHex(),
        "121112");
    const QString stem = folder.Documents() + "/Veltrak/0703_1405_20_";
    EXPECT_EQ(ReadFileBytes(stem + "000.cmd"), bad);
    EXPECT_EQ(ReadFileBytes(stem + "001.cmd"), bad);
    EXPECT_EQ(QDir(folder.Documents() + "/Veltrak").entryList(QDir::Files),
        (QStringList { "0703_1405_20_000.cmd", "0703_1405_20_001.cmd" }))
        << "accepted commands are not kept";
}

#include "traffic/gprs_transport.h"
#include "traffic/jam_file.h"
#include "traffic/jam_manager.h"

#include "platform/unique_fd.h"
#include "tests/support/file_bytes.h"
#include "tests/support/loopback_http_server.h"
#include "tests/support/program_folder.h"
#include "tests/support/provider_simulator.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using testing_support::HttpAnswer;
using testing_support::kProviderGuid;
using testing_support::LoopbackHttpServer;
using testing_support::MaskedJamBody;
using testing_support::ProviderAnswerA;
using testing_support::ProviderAnswerB;
using testing_support::ProviderMessageBody;
using testing_support::ReadFileBytes;
using Mode = LoopbackHttpServer::Answer::Mode;

namespace {

const platform::LocalTime kNow { 2007, 7, 3, 2, 14, 5, 9, 0 };
constexpr uint64_t kUid = 12;
const std::string kKey = "K3Y-0042";

// Every value the cells can take, in a pattern that is not symmetric.
std::string SampleCells()
{
    std::string cells(864, '0');
    for (size_t i = 0; i < cells.size(); ++i)
        cells[i] = char('0' + (i * 7 + i / 5) % 4);
    return cells;
}

// Cell i's road list holds the one road 1000 + i.
JamCellTable OneRoadPerCell(QByteArray* bytes)
{
    std::vector<std::vector<uint32_t>> lists(kJamCellCount);
    for (int i = 0; i < kJamCellCount; ++i)
        lists[i] = { uint32_t(1000 + i) };
    *bytes = JamCellTable::Build(lists);
    return *JamCellTable::Parse(
        { reinterpret_cast<const uint8_t*>(bytes->constData()), size_t(bytes->size()) });
}

struct ProviderDownload : ::testing::Test {
    testing_support::ProgramFolder folders;
    platform::ScopedLocalTime now { kNow };
    LoopbackHttpServer server;
    QString jamPath = folders.File("mskmo0704.jam");
    QString guidPath = folders.File("guid.dll");
    QByteArray tableBytes;
    JamCellTable table = OneRoadPerCell(&tableBytes);

    void SetUp() override
    {
        ASSERT_EQ(ProviderIdentifierPath(), guidPath);
        ASSERT_TRUE(testing_support::WriteFileBytes(JamCellTablePath(jamPath), tableBytes));
    }

    std::shared_ptr<CGprsTransport> Opened(const QString& pin = QStringLiteral("1299"),
        JamNetworkTimeouts timeouts = { 5000, 5000 }, uint16_t port = 0)
    {
        auto transport = std::make_shared<CGprsTransport>(timeouts);
        const QString text = ProviderConfiguration(
            true, QStringLiteral("127.0.0.1"), port ? port : server.port(), kUid, pin);
        EXPECT_EQ(transport->Open(text), JAM_OK);
        return transport;
    }

    JamStatus Fetch(CJamTransport& transport)
    {
        uint64_t jamTime = 0;
        return transport.SaveJam(jamPath, &jamTime);
    }

    void QueueGoodPair(const char* version = "HTTP/1.1")
    {
        server.Queue(ProviderAnswerA(kProviderGuid, kKey, version));
        server.Queue(ProviderAnswerB(kKey, MaskedJamBody(SampleCells(), kProviderGuid, kUid), version));
    }

    QByteArray ExpectedJamFile() const
    {
        JamCells cells;
        const std::string sample = SampleCells();
        std::copy(sample.begin(), sample.end(), cells.begin());
        return BuildJamFile(cells, table, kNow);
    }
};

} // namespace

TEST_F(ProviderDownload, RequestsAreByteExactAndTheJamReachesTheFile)
{
    auto transport = Opened();
    QueueGoodPair();
    uint64_t jamTime = 0;
    EXPECT_EQ(transport->SaveJam(jamPath, &jamTime), JAM_OK);
    EXPECT_EQ(jamTime, platform::LocalTimeToFileTime(kNow));
    EXPECT_EQ(ReadFileBytes(jamPath), ExpectedJamFile());
    EXPECT_EQ(ReadFileBytes(guidPath), QByteArray::fromStdString(kProviderGuid));

    // PIN "1299" against the digits "12": '1'^'1' and '2'^'2' give "00", then
    // the digits repeat: '9'^'1' = 08, '9'^'2' = 0B. No "guid.dll" yet: an
    // empty GUID line.
    const std::string head = "GET /roadinfo.txt HTTP/1.0\r\nHost:127.0.0.1\r\nUser-Agent:TravenorPro/2.0\r\n"
                             "Pragma:no-cache\r\nUID:12\r\n";
    ASSERT_TRUE(server.AwaitRequests(2));
    EXPECT_EQ(server.Requests()[0], head + "PIN:0000080B\r\nGUID:\r\nCMD:11\r\n\r\n");
    EXPECT_EQ(server.Requests()[1], head + "KEY:K3Y-0042\r\nCMD:11\r\n\r\n");

    // The next download presents the stored identifier; every fetch downloads anew.
    QueueGoodPair();
    EXPECT_EQ(Fetch(*transport), JAM_OK);
    ASSERT_TRUE(server.AwaitRequests(3));
    EXPECT_EQ(server.Requests()[2], head + "PIN:0000080B\r\nGUID:" + kProviderGuid + "\r\nCMD:11\r\n\r\n");
}

TEST_F(ProviderDownload, AnswersGiveTheirStatus)
{
    const std::string goodB = ProviderAnswerB(kKey, MaskedJamBody(SampleCells(), kProviderGuid, kUid));
    const std::string body = MaskedJamBody(SampleCells(), kProviderGuid, kUid);
    const std::string message = ProviderMessageBody(0x0102, "Account blocked");
    const std::string guidA = "GUID:" + kProviderGuid;
    const std::string keyA = "KEY:" + kKey;
    struct Case {
        const char* what;
        std::vector<LoopbackHttpServer::Answer> answers;
        JamStatus status;
        int requests; // how many requests reached the server
    };
    const Case cases[] = {
        { "HTTP/1.0 status lines",
            { { ProviderAnswerA(kProviderGuid, kKey, "HTTP/1.0") },
                { ProviderAnswerB(kKey, body, "HTTP/1.0") } },
            JAM_OK, 2 },
        { "headers in another order, other names' case, extra headers",
            { { HttpAnswer(200,
                  { "key: " + kKey, "Content-Type: text/plain", "content-length: 0", "X-Cache: MISS",
                      "Guid: " + kProviderGuid },
                  "") },
                { HttpAnswer(200, { "Content-Length: 874", "Server: nginx", "KEY:" + kKey }, body) } },
            JAM_OK, 2 },
        { "404 page",
            { { HttpAnswer(
                404, { "Content-Type: text/html", "Content-Length: 22" }, "<h1>Not Found</h1>\r\n\r\n") } },
            JAM_E_RESPONSE, 1 },
        { "500 without an identifier", { { HttpAnswer(500, { "Content-Length: 0" }, "") } }, JAM_E_RESPONSE,
            1 },
        { "500 to request B",
            { { ProviderAnswerA(kProviderGuid, kKey) },
                { HttpAnswer(500, { "Content-Length: 0", keyA }, "") } },
            JAM_E_RESPONSE, 2 },
        { "a message instead of an identifier",
            { { HttpAnswer(200, { "Content-Length: " + std::to_string(message.size()) }, message) } },
            JAM_E_MESSAGE, 1 },
        { "an unreadable message", { { HttpAnswer(200, { "Content-Length: 5" }, "0102Z") } }, JAM_E_RESPONSE,
            1 },
        { "success without an identifier", { { HttpAnswer(200, { "Content-Length: 0", keyA }, "") } },
            JAM_E_RESPONSE, 1 },
        { "an identifier one digit short",
            { { HttpAnswer(200, { "Content-Length: 0", "GUID:" + kProviderGuid.substr(1), keyA }, "") } },
            JAM_E_RESPONSE, 1 },
        { "an identifier that is not hexadecimal",
            { { HttpAnswer(
                200, { "Content-Length: 0", "GUID:" + kProviderGuid.substr(1) + "G", keyA }, "") } },
            JAM_E_RESPONSE, 1 },
        { "a KEY over 20 characters",
            { { HttpAnswer(200, { "Content-Length: 0", guidA, "KEY:" + std::string(21, 'k') }, "") } },
            JAM_E_RESPONSE, 1 },
        { "no empty line after the head", { { "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n" + guidA } },
            JAM_E_RESPONSE, 1 },
        { "not HTTP", { { "SSH-2.0-OpenSSH_9.2\r\n\r\n" } }, JAM_E_RESPONSE, 1 },
        { "a jam body with a wrong prefix",
            { { ProviderAnswerA(kProviderGuid, kKey) },
                { ProviderAnswerB(kKey, "00110001B1" + body.substr(10)) } },
            JAM_E_RESPONSE, 2 },
        { "a jam body one pair short",
            { { ProviderAnswerA(kProviderGuid, kKey) },
                { ProviderAnswerB(kKey, body.substr(0, body.size() - 2)) } },
            JAM_E_RESPONSE, 2 },
        { "a jam body with a pair that is not hexadecimal",
            { { ProviderAnswerA(kProviderGuid, kKey) },
                { ProviderAnswerB(kKey, body.substr(0, 20) + "x" + body.substr(21)) } },
            JAM_E_RESPONSE, 2 },
        { "a message instead of the jam body",
            { { ProviderAnswerA(kProviderGuid, kKey) },
                { HttpAnswer(200, { "Content-Length: " + std::to_string(message.size()) }, message) } },
            JAM_E_MESSAGE, 2 },
        { "the jam body cut off",
            { { ProviderAnswerA(kProviderGuid, kKey) }, { goodB, Mode::Cut, goodB.size() - 300 } },
            JAM_E_CONNECT, 2 },
        { "closed without a word", { { "", Mode::Hangup } }, JAM_E_CONNECT, 1 },
    };
    const QByteArray oldGuid = "FEDCBA9876543210FEDCBA9876543210";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(testing_support::WriteFileBytes(guidPath, oldGuid));
        ASSERT_TRUE(testing_support::WriteFileBytes(jamPath, "old jams"));
        const size_t before = server.Requests().size();
        for (const auto& answer : c.answers)
            server.Queue(answer);
        auto transport = Opened();
        EXPECT_EQ(Fetch(*transport), c.status);
        EXPECT_EQ(transport->LastStatus(), c.status == JAM_OK ? JAM_E_NO_NEW_DATA : c.status);
        EXPECT_EQ(server.Requests().size() - before, size_t(c.requests));
        EXPECT_EQ(ReadFileBytes(jamPath), c.status == JAM_OK ? ExpectedJamFile() : QByteArray("old jams"));
        // Only an answer with a usable identifier replaces the stored one.
        EXPECT_EQ(
            ReadFileBytes(guidPath), c.requests == 2 ? QByteArray::fromStdString(kProviderGuid) : oldGuid);
    }
}

TEST_F(ProviderDownload, NoServerOrASilentOneIsAConnectionFailure)
{
    // A port nobody listens on: take one and let it go.
    platform::UniqueFd probe(::socket(AF_INET, SOCK_STREAM, 0));
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(probe.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::getsockname(probe.Get(), reinterpret_cast<sockaddr*>(&address), &length), 0);
    probe.Reset();
    EXPECT_EQ(Fetch(*Opened(QStringLiteral("1299"), { 5000, 5000 }, ntohs(address.sin_port))), JAM_E_CONNECT);

    // A server that takes the request and never answers: the transfer time-out ends it.
    server.Queue({ "", Mode::Silent });
    EXPECT_EQ(Fetch(*Opened(QStringLiteral("1299"), { 5000, 200 })), JAM_E_CONNECT);
}

TEST_F(ProviderDownload, ClosingTheManagerEndsADownloadAtOnce)
{
    // Time-outs far beyond the test's own limit: only the manager's stop can
    // end this download in time.
    server.Queue({ "", Mode::Silent });
    std::unique_ptr<CJamManager> manager;
    ASSERT_EQ(CJamManager::Create(&manager), JAM_OK);
    const JamNetworkTimeouts hour { 3600000, 3600000 };
    ASSERT_EQ(manager->SetSchedule(false, 0, &jamPath), JAM_OK);
    ASSERT_EQ(
        manager->SetTransport(2, ProviderConfiguration(true, "127.0.0.1", server.port(), kUid, "1299"), hour),
        JAM_OK);
    ASSERT_EQ(manager->RequestUpdate(), JAM_OK);
    ASSERT_TRUE(server.AwaitRequests(1));
    manager.reset();
}

TEST(ProviderProtocol, ConfigurationText)
{
    const auto account
        = ParseProviderConfiguration(QStringLiteral("0\nprovider.example\n8080\n18446744073709551615\nabc"));
    ASSERT_TRUE(account);
    EXPECT_EQ(
        *account, (ProviderAccount { false, "provider.example", 8080, 18446744073709551615ull, "abc" }));
    EXPECT_TRUE(
        ParseProviderConfiguration(ProviderConfiguration(true, QString(255, 'h'), 80, 1, QString(40, 'p'))));
    for (const char* bad : { "1\nhost\n80\n1", "1\nhost\n80\n1\npin\nmore", "10\nhost\n80\n1\npin",
             "\nhost\n80\n1\npin", "1\nhost\n8o\n1\npin", "1\nhost\n\n1\npin", "1\nhost\n65536\n1\npin",
             "1\nhost\n80\n-1\npin", "1\nhost\n80\n18446744073709551616\npin", "1\nhost\n80\n 1\npin" })
        EXPECT_FALSE(ParseProviderConfiguration(QString::fromLatin1(bad))) << bad;
    EXPECT_FALSE(ParseProviderConfiguration(ProviderConfiguration(true, QString(256, 'h'), 80, 1, "")));
    EXPECT_FALSE(ParseProviderConfiguration(ProviderConfiguration(true, "h", 80, 1, QString(41, 'p'))));
}

TEST(ProviderProtocol, PinKeyAndCells)
{
    // A subscriber number of 2^64 - 1 is written unsigned, in the UID line and in the PIN's digits.
    ProviderAccount account { true, "h", 80, 18446744073709551615ull, "1" };
    EXPECT_NE(BuildProviderRequestA(account, "").find("\r\nUID:18446744073709551615\r\nPIN:00\r\n"),
        std::string::npos);
    EXPECT_EQ(EncodeProviderPin(QStringLiteral("Я"), 5), "41A") << "0x42F XOR '5': more than two digits";

    // Subscriber 0 (digit '0' = 0x30) and a GUID of "30" pairs make a key of
    // zeros, so the body's bytes are the cells' own: 0x3D gives '1' then '3'.
    const auto key = DeriveProviderKey("30303030303030303030303030303030", 0);
    ASSERT_TRUE(key);
    EXPECT_EQ(*key, (std::array<uint8_t, 16> {}));
    const auto cells = DecodeProviderJamBody("00110001B0"
                                             "3D"
            + std::string(862, '0'),
        *key);
    ASSERT_TRUE(cells);
    EXPECT_EQ(std::string(cells->data(), 3), "130");
    EXPECT_FALSE(DeriveProviderKey("3030", 0));

    const auto text = DecodeProviderMessage(ProviderMessageBody(7, "\xCF\xF0\xE8\xE2\xE5\xF2"));
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, QStringLiteral("Привет"));
    EXPECT_FALSE(DecodeProviderMessage("000700000241")) << "fewer pairs than counted";
    EXPECT_FALSE(DecodeProviderMessage("0007000200" + std::string(1024, '4'))) << "512 bytes is too long";
}

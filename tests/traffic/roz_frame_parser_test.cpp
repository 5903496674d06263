#include "traffic/roz_frame_parser.h"

#include "tests/support/roz_simulator.h"

#include <gtest/gtest.h>

using testing_support::JamCellsWith;
using testing_support::RozChecksummed;
using testing_support::RozJamPacket;
using testing_support::RozStatus;
using Kind = RozFrame::Kind;

namespace {

std::span<const uint8_t> Span(const QByteArray& b)
{
    return { reinterpret_cast<const uint8_t*>(b.constData()), size_t(b.size()) };
}

std::vector<RozFrame> Parse(const std::vector<QByteArray>& reads)
{
    RozFrameParser parser;
    std::vector<RozFrame> frames;
    for (const QByteArray& read : reads)
        parser.Feed(Span(read), [&](const RozFrame& f) { frames.push_back(f); });
    return frames;
}

std::vector<Kind> Kinds(const std::vector<RozFrame>& frames)
{
    std::vector<Kind> kinds;
    for (const auto& f : frames)
        kinds.push_back(f.kind);
    return kinds;
}

QByteArray LowerCaseChecksum(QByteArray frame)
{
    frame[frame.size() - 2] = char(std::tolower(frame[frame.size() - 2]));
    frame[frame.size() - 1] = char(std::tolower(frame[frame.size() - 1]));
    return frame;
}

} // namespace

TEST(RozFrameParser, FramesGiveTheirKinds)
{
    const QByteArray status = RozStatus('F', '0', "abcdefg", true);
    const QByteArray packet = RozJamPacket(JamCellsWith({ { 1, '3' } }));
    ASSERT_EQ(packet.size(), 550);
    // A checksum whose sum needs a letter digit, and one that gives lower case.
    QByteArray text = RozChecksummed(QByteArray("\x02") + "road works");
    for (int extra = 0; LowerCaseChecksum(text) == text; ++extra)
        text = RozChecksummed(QByteArray("\x02") + "road works" + QByteArray(extra + 1, '.'));
    QByteArray badSum = RozChecksummed("\x01private");
    badSum[badSum.size() - 1] = badSum.back() == '0' ? '1' : '0';

    struct Case {
        const char* what;
        QByteArray bytes;
        std::vector<Kind> kinds;
    };
    const Case cases[] = {
        { "status", status, { Kind::Status } },
        { "jam packet", packet, { Kind::Message } },
        { "private, information and control messages",
            RozChecksummed("\x01p") + text
                + RozChecksummed("\x03"
                                 "c"),
            { Kind::Message, Kind::Message, Kind::Message } },
        { "a wrong checksum", badSum, { Kind::BadChecksum } },
        { "a checksum in lower case", LowerCaseChecksum(text), { Kind::BadChecksum } },
        { "noise around a status", "xyz\x04\x7F" + status + "\x04\xFF", { Kind::Status } },
        { "a control byte 2 inside a packet", packet.left(300) + text,
            { Kind::MessageDropped, Kind::Message } },
        { "a reset inside a status, then a whole status", status.left(5) + '\x06' + status,
            { Kind::StatusDropped, Kind::Status } },
        { "a reset inside a message", packet.left(100) + '\x06' + packet.mid(100), { Kind::MessageDropped } },
        { "a message past the longest kept",
            RozChecksummed(QByteArray("\x02") + QByteArray(2100, 'x')) + status,
            { Kind::MessageDropped, Kind::Status } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(Kinds(Parse({ c.bytes })), c.kinds) << c.what;

    const auto frames = Parse({ status + packet });
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].bytes, std::vector<uint8_t>(status.begin(), status.end()));
    EXPECT_TRUE(RozFrameParser::IsJamPacket(frames[1].bytes))
        << "recognised by its own start, not the read's";
}

// However the reads cut the stream, the same commands come out.
TEST(RozFrameParser, EverySplitOfTheStreamGivesTheSameFrames)
{
    const QByteArray stream = "\x7F" + RozStatus('8', 'A', "1234567", false)
        + RozJamPacket(JamCellsWith({ { 0, '2' }, { 863, '3' } }))
        + RozChecksummed("\x03"
                         "ctl")
        + RozChecksummed("\x01"
                         "private")
        + QByteArray("\x02"
                     "cut",
            4)
        + '\x06';
    const auto whole = Parse({ stream });
    ASSERT_EQ(whole.size(), 5u);
    for (qsizetype at = 1; at < stream.size(); ++at)
        ASSERT_EQ(Parse({ stream.left(at), stream.mid(at) }), whole) << "split at " << at;
}

TEST(RozFrameParser, JamPacketAndStatusDecoding)
{
    std::string pattern(864, '0');
    for (size_t i = 0; i < pattern.size(); ++i)
        pattern[i] = "0233"[(i * 5 + i / 7) % 4];
    for (const std::string& cells : { JamCellsWith({}), JamCellsWith({ { 1, '3' } }),
             JamCellsWith({ { 0, '2' }, { 15, '3' }, { 863, '2' } }), pattern }) {
        const QByteArray packet = RozJamPacket(cells);
        const auto decoded = DecodeRozJamPacket(Span(packet));
        ASSERT_TRUE(decoded);
        EXPECT_EQ(std::string(decoded->data(), 864), cells);
    }
    // Digits 8 in d1 and d3 of the first group: its second cell is '3'.
    QByteArray packet = RozJamPacket(JamCellsWith({}));
    packet[7 + 1] = char(0xB8);
    packet[7 + 3] = char(0xB8);
    EXPECT_EQ(DecodeRozJamPacket(Span(packet))->at(1), '3');
    packet[7 + 2] = char(0xE1); // 'a' with bit 7: not a digit
    EXPECT_FALSE(DecodeRozJamPacket(Span(packet)));
    EXPECT_FALSE(DecodeRozJamPacket(Span(RozJamPacket(JamCellsWith({})).remove(100, 10))))
        << "fewer than 540 data bytes";

    const QByteArray status = RozStatus('F', '0',
        QByteArray("\x81"
                   "bcdefg"),
        true);
    const auto s = ParseRozStatus(Span(status), 99);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->fillPercent, 100);
    EXPECT_EQ(s->batteryPercent, 0);
    EXPECT_EQ(s->inZone, 1);
    EXPECT_EQ(s->time, 99u);
    EXPECT_EQ(s->receiverBytes[0], 1) << "bit 7 cleared";
    EXPECT_EQ(ParseRozStatus(Span(RozStatus('7', 'B', "1234567", false)), 0)->batteryPercent, 73);
    EXPECT_FALSE(ParseRozStatus(Span(RozStatus('f', '0', "1234567", true)), 0));
}

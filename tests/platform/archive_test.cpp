#include "platform/archive.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <iconv.h>

using namespace platform;
using Bytes = std::vector<uint8_t>;

namespace {

Bytes Stored(const QString& text)
{
    Archive ar;
    ar.WriteString(text);
    return ar.Data();
}

QString Loaded(const Bytes& bytes)
{
    Archive ar(bytes);
    QString text = ar.ReadString();
    EXPECT_EQ(ar.Remaining(), 0u);
    return text;
}

std::string ErrorOf(const Bytes& bytes)
{
    try {
        Archive ar(bytes);
        ar.ReadString();
    } catch (const ArchiveException& e) {
        return e.what();
    }
    return "no exception";
}

} // namespace

// The length prefix switches form at 255, 0xFFFE and 0xFFFFFFFF code units.
TEST(ArchiveString, LengthFormsByteForByte)
{
    const struct {
        int length;
        Bytes head;
    } cases[] = {
        { 0, { 0xFF, 0xFE, 0xFF, 0x00 } },
        { 254, { 0xFF, 0xFE, 0xFF, 0xFE } },
        { 255, { 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0x00 } },
        { 0xFFFD, { 0xFF, 0xFE, 0xFF, 0xFF, 0xFD, 0xFF } },
        { 0xFFFE, { 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00 } },
        { 0xFFFF, { 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00 } },
        { 0x12345, { 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0x45, 0x23, 0x01, 0x00 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        // A Cyrillic last letter shows the UTF-16LE byte order.
        QString text(c.length, QLatin1Char('a'));
        if (c.length)
            text[c.length - 1] = QChar(0x0416);
        const Bytes bytes = Stored(text);
        ASSERT_EQ(bytes.size(), c.head.size() + 2 * size_t(c.length));
        EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + c.head.size()), c.head);
        if (c.length) {
            EXPECT_EQ(bytes[c.head.size()], 0x61);
            EXPECT_EQ(bytes[c.head.size() + 1], 0x00);
            EXPECT_EQ(bytes[bytes.size() - 2], 0x16);
            EXPECT_EQ(bytes[bytes.size() - 1], 0x04);
        }
        EXPECT_EQ(Loaded(bytes), text);
    }
}

TEST(ArchiveString, ReadsTheEightBitFormAsWindows1251)
{
    EXPECT_EQ(Loaded({ 0x06, 0xCC, 0xEE, 0xF1, 0xEA, 0xE2, 0xE0 }), QStringLiteral("Москва"));
    EXPECT_EQ(Loaded({ 0x05, 0xA8, 0xB8, 0xB9, 0x88, 0x41 }), QStringLiteral("Ёё№€A"));
    EXPECT_EQ(Loaded({ 0x00 }), QString());
    Bytes longForm { 0xFF, 0x00, 0x01 };
    longForm.insert(longForm.end(), 256, 0xC0);
    EXPECT_EQ(Loaded(longForm), QString(256, QChar(0x0410)));
    Bytes widest { 0xFF, 0xFF, 0xFF, 0x02, 0x00, 0x00, 0x00, 'o', 'k' };
    EXPECT_EQ(Loaded(widest), QStringLiteral("ok"));
}

// Every byte the device's code page defines decodes as glibc's converter has it.
TEST(ArchiveString, Windows1251MatchesIconv)
{
    iconv_t cd = iconv_open("UTF-16LE", "CP1251");
    ASSERT_NE(cd, iconv_t(-1));
    for (int b = 0; b < 256; ++b) {
        if (b == 0x98)
            continue; // unassigned
        char in = char(b);
        char out[4] = {};
        char* inp = &in;
        char* outp = out;
        size_t inLeft = 1, outLeft = sizeof out;
        ASSERT_NE(iconv(cd, &inp, &inLeft, &outp, &outLeft), size_t(-1)) << b;
        const char16_t expected = char16_t(uint8_t(out[0]) | (uint8_t(out[1]) << 8));
        const uint8_t byte = uint8_t(b);
        EXPECT_EQ(DecodeWindows1251({ &byte, 1 }).at(0).unicode(), expected) << "byte " << b;
        EXPECT_EQ(EncodeWindows1251(QString(QChar(expected))), std::string(1, char(b))) << "byte " << b;
    }
    iconv_close(cd);
    // Characters outside the code page become "?".
    EXPECT_EQ(EncodeWindows1251(QString::fromUtf16(u"a\u00e9\u4e2d\u0451")), "a??\xB8");
}

TEST(Archive, IntegersAndDoublesLittleEndian)
{
    Archive ar;
    EXPECT_TRUE(ar.IsStoring());
    ar.WriteUInt8(0xAB);
    ar.WriteUInt16(0x1234);
    ar.WriteInt32(-2);
    ar.WriteUInt64(0x0102030405060708ull);
    ar.WriteDouble(1.0);
    ar.WriteBytes("xy", 2);
    const Bytes golden { 0xAB, 0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF, 0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02,
        0x01, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F, 'x', 'y' };
    EXPECT_EQ(ar.Data(), golden);

    Archive in(golden);
    EXPECT_TRUE(in.IsLoading());
    EXPECT_EQ(in.ReadUInt8(), 0xAB);
    EXPECT_EQ(in.ReadUInt16(), 0x1234);
    EXPECT_EQ(in.ReadInt32(), -2);
    EXPECT_EQ(in.ReadUInt64(), 0x0102030405060708ull);
    EXPECT_EQ(in.ReadDouble(), 1.0);
    char xy[2];
    in.ReadBytes(xy, 2);
    EXPECT_EQ(std::string(xy, 2), "xy");
    EXPECT_EQ(in.Remaining(), 0u);
    EXPECT_THROW(in.ReadUInt8(), ArchiveException);
    EXPECT_THROW(in.WriteUInt8(1), ArchiveException) << "a loading archive takes no writes";
    EXPECT_THROW(ar.ReadUInt8(), ArchiveException) << "a storing archive gives no reads";
}

// Cut anywhere, a record of a string and an integer is refused, never misread.
TEST(Archive, TruncatedAnywhereThrows)
{
    Archive ar;
    ar.WriteString(QString(300, QChar(0x0431)));
    ar.WriteInt32(7);
    const Bytes& full = ar.Data();
    for (size_t cut = 0; cut < full.size(); ++cut) {
        Archive in(std::span(full.data(), cut));
        EXPECT_THROW(
            {
                in.ReadString();
                in.ReadInt32();
            },
            ArchiveException)
            << "cut at " << cut;
    }
    EXPECT_EQ(ErrorOf({ 0xFF, 0xFE, 0xFF, 0x03, 'a', 0 }),
        "archive string at offset 0 claims 3 UTF-16 units but only 2 bytes are left");
}

TEST(Archive, HugeLengthsRefusedBeforeAllocating)
{
    // A 7-byte length of 0x7FFFFFFF in a 20-byte archive.
    Bytes huge { 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F };
    huge.resize(20, 'a');
    EXPECT_EQ(ErrorOf(huge),
        "archive string at offset 0 claims 2147483647 UTF-16 units but only 10 bytes are left");
    // The 64-bit form, which no allocation could satisfy.
    Bytes widest { 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF };
    widest.resize(widest.size() + 8, 0xFF);
    EXPECT_NE(ErrorOf(widest).find("claims 18446744073709551615 UTF-16 units"), std::string::npos);
    EXPECT_NE(ErrorOf({ 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a' }).find("claims 2147483647 bytes"),
        std::string::npos);
    EXPECT_NE(ErrorOf({ 0xFF, 0xFE, 0xFF, 0xFF, 0xFE, 0xFF, 0x01 }).find("repeated text marker"),
        std::string::npos);
}

TEST(Archive, FileRoundTrip)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("Travenor Pro settings.kns").toStdString();
    Archive ar;
    ar.WriteString(QStringLiteral("Orvantis 204272"));
    ar.WriteInt32(10031);
    std::string error;
    ASSERT_TRUE(ar.SaveToFile(path, &error)) << error;

    Archive in = Archive::LoadFile(path);
    EXPECT_EQ(in.ReadString(), QStringLiteral("Orvantis 204272"));
    EXPECT_EQ(in.ReadInt32(), 10031);
    EXPECT_EQ(in.Remaining(), 0u);

    try {
        Archive::LoadFile(path + ".missing");
        ADD_FAILURE() << "a missing file loads";
    } catch (const ArchiveException& e) {
        EXPECT_NE(std::string(e.what()).find(path + ".missing"), std::string::npos) << e.what();
    }
}

// The resource generator's file formats and table reader: BMP bytes written
// by hand, quiet ends of sounds, and bad tables.
#include "tools/resgen/bmp_writer.h"
#include "tools/resgen/resource_table.h"
#include "tools/resgen/wave_file.h"

#include <QImage>
#include <gtest/gtest.h>

#include "tests/support/file_bytes.h"

using namespace resgen;
using testing_support::BytesOf;

TEST(BmpWriter, WritesKeyedPixelsBottomUpWithPaddedRows)
{
    QImage image(3, 2, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(0x10, 0x20, 0x30, 255));
    image.setPixel(1, 0, qRgba(0, 0, 0, 0)); // transparent: the key
    image.setPixel(2, 0, qRgba(0xFC, 0x01, 0xFB, 255)); // would truncate to the key
    image.setPixel(0, 1, qRgba(0xFF, 0xFF, 0xFF, 255));
    image.setPixel(1, 1, qRgba(0x40, 0x50, 0x60, 200)); // opaque enough: kept
    image.setPixel(2, 1, qRgba(0x40, 0x50, 0x60, 40)); // faint edge: the key
    const QByteArray expected = BytesOf({ 'B', 'M', 78, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, // file header
                                    40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 24, 0, 0, 0,
                                    0xC4, 0x0E, 0, 0, 0xC4, 0x0E, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 })
        // bottom row first, blue-green-red, padded to 12 bytes
        + BytesOf({ 0xFF, 0xFF, 0xFF, 0x60, 0x50, 0x40, 0xFF, 0x00, 0xFF, 0, 0, 0 })
        + BytesOf({ 0x30, 0x20, 0x10, 0xFF, 0x00, 0xFF, 0xFB, 0x04, 0xFC, 0, 0, 0 });
    EXPECT_EQ(EncodeBmp24(image, true, 3780).toHex().toStdString(), expected.toHex().toStdString());
    // Qt's own reader agrees on the layout.
    const QImage read = QImage::fromData(EncodeBmp24(image, true, 3780), "BMP");
    ASSERT_EQ(read.size(), QSize(3, 2));
    EXPECT_EQ(read.pixel(1, 0) & 0xFFFFFF, 0xFF00FFu);
    EXPECT_EQ(read.pixel(0, 0) & 0xFFFFFF, 0x102030u);
}

TEST(BmpWriter, UnkeyedPicturesComposeTransparencyOverWhite)
{
    QImage image(1, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(0, 0, 0, 0));
    const QByteArray b = EncodeBmp24(image, false, 3780);
    EXPECT_EQ(b.mid(54, 3), BytesOf({ 0xFF, 0xFF, 0xFF }));
}

TEST(WaveFile, TrimsQuietEndsButKeepsAMargin)
{
    PcmSound sound;
    sound.sampleRate = 100;
    sound.samples = { 0, 5, 0, 0, 900, -900, 0, 3, 0, 0 };
    TrimSilence(&sound, 300, 1);
    EXPECT_EQ(sound.samples, (std::vector<int16_t> { 0, 900, -900, 0 }));
    PcmSound silent;
    silent.samples = { 0, 1, 2 };
    TrimSilence(&silent, 300, 1);
    EXPECT_EQ(silent.samples.size(), 3u); // nothing loud: left as it is
}

TEST(ResourceTable, ExpandsPressStepsAndRefusesBadRows)
{
    const QString header
        = QStringLiteral("# comment\nid\tkind\tmodule\tsteps\tqvga\tvga\tdepth\tkey\tmeaning\trecipe\n");
    QString error;
    const auto table = ParseResourceTable(header
            + QStringLiteral(
                "10001\tbmp\tlib\t3x700\t40x40\t80x80\t24\tmagenta\tsettings\tbutton mi:settings\n"
                "702\twav\tprogram\t-\t-\t-\t16\t-\t400 m\tspeak en\n"),
        &error);
    ASSERT_TRUE(table.has_value()) << error.toStdString();
    ASSERT_EQ(table->size(), 2u);
    EXPECT_EQ((*table)[0].ids(), (std::vector<int> { 10001, 10701, 11401 }));
    EXPECT_EQ((*table)[0].vga, QSize(80, 80));
    EXPECT_TRUE((*table)[0].keyed);
    EXPECT_EQ((*table)[1].kind, Kind::Wave); // a wave may share an id with a picture's step

    const QString bad[] = {
        QStringLiteral(
            "1\tbmp\tlib\t-\t40x40\t80x80\t24\tmagenta\tm\tr\n1\tbmp\tlib\t-\t4x4\t8x8\t24\tnone\tm\tr\n"),
        QStringLiteral("1\tbmp\tlib\t3x700\t40x40\t80x80\t24\tmagenta\tm\tr\n701\tbmp\tlib\t-"
                       "\t4x4\t8x8\t24\tnone\tm\tr\n"),
        QStringLiteral("1\tbmp\tlib\t-\t40x0\t80x80\t24\tmagenta\tm\tr\n"),
        QStringLiteral("1\tbmp\tlib\t-\t40x40\t80x80\t16\tmagenta\tm\tr\n"),
        QStringLiteral("1\tpng\tlib\t-\t40x40\t80x80\t24\tmagenta\tm\tr\n"),
        QStringLiteral("1\tbmp\tlib\t-\t40x40\t80x80\t24\tmagenta\tm\n"),
    };
    for (const QString& rows : bad) {
        EXPECT_FALSE(ParseResourceTable(header + rows, &error).has_value()) << rows.toStdString();
        EXPECT_TRUE(error.startsWith(QStringLiteral("line "))) << error.toStdString();
    }
}

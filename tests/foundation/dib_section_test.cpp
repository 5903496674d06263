#include "foundation/dib_section.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <fstream>
#include <iterator>

namespace {

std::vector<uint8_t> ReadAll(const QString& path)
{
    std::ifstream in(path.toStdString(), std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

BitmapInfo Header(int width, int height, int bits)
{
    BitmapInfo bmi;
    bmi.bmiHeader.biSize = 40;
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = height;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = uint16_t(bits);
    bmi.bmiHeader.biXPelsPerMeter = 3780;
    bmi.bmiHeader.biYPelsPerMeter = 3780;
    return bmi;
}

} // namespace

// The screen shot's own form: 24 bits, no table, the size given as w * h * 3.
TEST(DibSection, ScreenShotMatchesTheFileLayoutByteForByte)
{
    QTemporaryDir dir;
    BitmapInfo bmi = Header(4, 2, 24);
    bmi.bmiHeader.biSizeImage = 4 * 2 * 3;
    std::vector<uint8_t> pixels(24);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = uint8_t(0xA0 + i);
    CDibSection dib;
    ASSERT_TRUE(dib.Create(&bmi, pixels.data()));
    EXPECT_EQ(dib.GetPaletteCount(), 0u);
    const QString path = dir.filePath("shot.bmp");
    ASSERT_TRUE(dib.SaveBmp(path));

    std::vector<uint8_t> golden = {
        'B', 'M', 78, 0, 0, 0, // file size: 14 + 40 + 24
        0, 0, 0, 0, // reserved
        54, 0, 0, 0, // pixel offset
        40, 0, 0, 0, // header size
        4, 0, 0, 0, 2, 0, 0, 0, // width, height
        1, 0, 24, 0, // planes, bits
        0, 0, 0, 0, // BI_RGB
        24, 0, 0, 0, // image size
        0xC4, 0x0E, 0, 0, 0xC4, 0x0E, 0, 0, // 3780 pixels per metre both ways
        0, 0, 0, 0, 0, 0, 0, 0, // colours used, important
    };
    golden.insert(golden.end(), pixels.begin(), pixels.end());
    EXPECT_EQ(ReadAll(path), golden);
}

TEST(DibSection, TableAndSizesFollowTheHeader)
{
    QTemporaryDir dir;
    // An 8-bit header that uses 16 colours puts the pixels at 14 + 104.
    BitmapInfo eight = Header(3, 2, 8);
    eight.bmiHeader.biClrUsed = 16;
    for (uint32_t i = 0; i < 256; ++i)
        eight.bmiColors[i] = i * 0x010101;
    CDibSection dib;
    ASSERT_TRUE(dib.Create(&eight, nullptr));
    EXPECT_EQ(dib.GetPaletteCount(), 16u);
    EXPECT_EQ(dib.GetInfo().bmiHeader.biSizeImage, 8u);
    EXPECT_EQ(dib.GetInfo().bmiColors[16], 0u); // only the used entries are copied
    ASSERT_TRUE(dib.SaveBmp(dir.filePath("eight.bmp")));
    const std::vector<uint8_t> file = ReadAll(dir.filePath("eight.bmp"));
    ASSERT_EQ(file.size(), 14u + 104 + 8);
    EXPECT_EQ(file[10], 118);
    EXPECT_EQ(file[54 + 4 * 15], 15); // last table entry, blue byte

    // Rows are padded to 4 bytes: 241 pixels of 24 bits take 724.
    BitmapInfo odd = Header(241, 3, 24);
    ASSERT_TRUE(dib.Create(&odd, nullptr));
    EXPECT_EQ(dib.GetInfo().bmiHeader.biSizeImage, 3u * 724);
    // Top-down rows: the size is still positive.
    BitmapInfo topDown = Header(241, -3, 24);
    ASSERT_TRUE(dib.Create(&topDown, nullptr));
    EXPECT_EQ(dib.GetInfo().bmiHeader.biSizeImage, 3u * 724);

    BitmapInfo screen = Header(240, 320, 24);
    screen.bmiHeader.biSizeImage = 240 * 320 * 3;
    std::vector<uint8_t> frame(240 * 320 * 3, 0x42);
    ASSERT_TRUE(dib.Create(&screen, frame.data()));
    ASSERT_TRUE(dib.SaveBmp(dir.filePath("screen.bmp")));
    const std::vector<uint8_t> shot = ReadAll(dir.filePath("screen.bmp"));
    EXPECT_EQ(shot.size(), 54u + 230400);
    EXPECT_EQ(shot[10], 54);
}

TEST(DibSection, RefusesWhatCannotBeMade)
{
    CDibSection dib;
    EXPECT_FALSE(dib.Create(nullptr, nullptr));
    BitmapInfo tooMuch = Header(4, 2, 24);
    tooMuch.bmiHeader.biSizeImage = 25; // more than the 24-byte section
    std::vector<uint8_t> pixels(25);
    EXPECT_FALSE(dib.Create(&tooMuch, pixels.data()));
    EXPECT_TRUE(dib.IsEmpty());
    BitmapInfo bad = Header(4, 2, 7);
    EXPECT_FALSE(dib.Create(&bad, nullptr));
    bad = Header(0, 2, 24);
    EXPECT_FALSE(dib.Create(&bad, nullptr));
    bad = Header(100000, 100000, 32);
    EXPECT_FALSE(dib.Create(&bad, nullptr));
    bad = Header(4, 2, 24);
    bad.bmiHeader.biSize = 124;
    EXPECT_FALSE(dib.Create(&bad, nullptr));
    EXPECT_FALSE(dib.SaveBmp("unused.bmp")); // nothing to save
}

TEST(DibSection, FailedSaveKeepsTheOldFile)
{
    QTemporaryDir dir;
    BitmapInfo bmi = Header(4, 1, 24);
    CDibSection dib;
    ASSERT_TRUE(dib.Create(&bmi, nullptr));
    EXPECT_FALSE(dib.SaveBmp(dir.filePath("missing/shot.bmp")));
    EXPECT_FALSE(QDir(dir.filePath("missing")).exists());
    // Saving over an existing file replaces it whole.
    const QString path = dir.filePath("shot.bmp");
    std::ofstream(path.toStdString()) << "old";
    ASSERT_TRUE(dib.SaveBmp(path));
    EXPECT_EQ(ReadAll(path).size(), 54u + 12);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

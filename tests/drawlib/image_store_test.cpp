#include "foundation/dib_section.h"
#include "foundation/page_arena.h"
#include "surface_fixture.h"
#include "tests/support/bmp_builder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using testbmp::Layout;

namespace {

// The 5-6-5 pixel each test image should have at (x, y): a little pattern
// that tells rows, columns and channels apart.
uint32_t Rgb(int x, int y) { return uint32_t((x * 40) << 16 | (y * 60) << 8 | (200 - x * 30)); }
uint16_t Expected565(int x, int y)
{
    const uint32_t c = Rgb(x, y);
    return PackRGB565(c >> 16, (c >> 8) & 0xFF, c & 0xFF);
}

// Draws stored image `id` at logical (0, 0) on a w x h logical screen and
// returns it read back pixel by pixel through the orientation.
std::vector<uint16_t> DrawBack(CCanvas565& canvas, uint32_t id, int w, int h)
{
    std::vector<uint16_t> out;
    EXPECT_TRUE(canvas.DrawImage(id, 0, 0, 0, 0, w, h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            out.push_back(ColourToPixel(uint32_t(canvas.GetPixel(x, y))));
    return out;
}

std::vector<uint16_t> ExpectedImage(int w, int h)
{
    std::vector<uint16_t> out;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            out.push_back(Expected565(x, y));
    return out;
}

// Palette images use colour i for index i, with colours from Rgb().
std::vector<uint32_t> Palette(int n)
{
    std::vector<uint32_t> p;
    for (int i = 0; i < n; ++i)
        p.push_back(Rgb(i % 5, i / 5));
    return p;
}

struct Format {
    const char* name;
    int bits;
    uint32_t compression;
    std::vector<uint32_t> masks;
    std::function<uint32_t(int, int)> pixel; // raw source value of image pixel (x, y)
    std::vector<uint32_t> palette;
    uint32_t headerSize = 40;
};

std::vector<Format> Formats()
{
    // Palette images: 5 x 3, pixel (x, y) is index y * 5 + x (1 bit: x + y parity).
    auto index = [](int x, int y) { return uint32_t(y * 5 + x); };
    auto r565 = [](int x, int y) { return uint32_t(Expected565(x, y)); };
    auto r555 = [](int x, int y) {
        const uint32_t c = Rgb(x, y);
        return uint32_t(((c >> 19) & 0x1F) << 10 | ((c >> 11) & 0x1F) << 5 | ((c >> 3) & 0x1F));
    };
    return {
        { "1 bit", 1, 0, {}, [](int x, int y) { return uint32_t((x + y) & 1); }, { Rgb(0, 0), Rgb(1, 0) } },
        { "4 bits", 4, 0, {}, index, Palette(16) },
        { "8 bits", 8, 0, {}, index, Palette(256) },
        { "16 bits 5-5-5", 16, 0, {}, r555, {} },
        { "16 bits 5-5-5 masks", 16, 3, { 0x7C00, 0x03E0, 0x001F }, r555, {} },
        { "16 bits 5-6-5", 16, 3, { 0xF800, 0x07E0, 0x001F }, r565, {} },
        { "16 bits 5-6-5, version 5 header", 16, 3, { 0xF800, 0x07E0, 0x001F }, r565, {}, 124 },
        { "8 bits, version 4 header", 8, 0, {}, index, Palette(256), 108 },
        { "24 bits", 24, 0, {}, Rgb, {} },
        { "32 bits", 32, 0, {}, Rgb, {} },
        { "32 bits masks", 32, 3, { 0xFF0000, 0xFF00, 0xFF }, Rgb, {} },
    };
}

// What a source pixel converts to (555 and palettes lose nothing on this pattern
// except 555's lowest green bit).
uint16_t ConvertedPixel(const Format& f, int x, int y)
{
    if (f.bits == 1)
        return Expected565((x + y) & 1, 0);
    if (f.bits <= 8)
        return Expected565((y * 5 + x) % 5, (y * 5 + x) / 5);
    if (f.bits == 16 && f.masks != std::vector<uint32_t> { 0xF800, 0x07E0, 0x001F }) {
        const uint32_t s = f.pixel(x, y);
        return uint16_t(((s >> 5) << 6) | (s & 0x1F));
    }
    return Expected565(x, y);
}

} // namespace

TEST(ImageStore, IdsSplitIntoPagesOfTwoHundredFiftySixSlots)
{
    CImageStore store;
    EXPECT_EQ(store.buffer(0x1234), nullptr);
    CStoredImage& slot = store.GetOrCreate(0x1200);
    EXPECT_EQ(store.PageCount(), 0x13u);
    CStoredImage* other = store.buffer(0x1234);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->buf(), nullptr);
    EXPECT_EQ(&store.GetOrCreate(0x1234), other);
    EXPECT_NE(&slot, other);
    EXPECT_EQ(store.buffer(0x1100), nullptr);
    ASSERT_TRUE(store.Allocate(*other, 3, 2, -8));
    EXPECT_TRUE(other->ownsPixels);
    EXPECT_EQ(other->GetStride(), -8);
    store.Release(*other);
    EXPECT_EQ(other->buf(), nullptr);
    EXPECT_EQ(other->GetWidth(), 0);
}

// Every bit count, rows stored bottom-up and top-down, read back the right way
// up through straight, flipped, mirrored and turned surfaces.
TEST(ImageStore, EveryFormatLoadsTheRightWayUpInEveryOrientation)
{
    struct Orientation {
        const char* name;
        int ax, ay, bx, by, cx, cy, xCode, yCode;
        bool exchanged;
    };
    const Orientation orientations[] = {
        { "identity", 0, 0, 1, 0, 0, 1, 0, 0, false },
        { "vertical flip", 0, 5, 1, 5, 0, 4, 0, 2, false },
        { "mirror", 5, 0, 4, 0, 5, 1, 1, 0, false },
        { "quarter turn", 5, 0, 5, 1, 4, 0, 1, 0, true },
        { "three quarters", 0, 5, 0, 4, 1, 5, 0, 2, true },
    };
    for (const Format& f : Formats()) {
        for (int topDown = 0; topDown < 2; ++topDown) {
            Layout layout;
            layout.width = 5;
            layout.height = topDown ? -3 : 3;
            layout.bits = f.bits;
            layout.compression = f.compression;
            layout.masks = f.masks;
            layout.palette = f.palette;
            layout.headerSize = f.headerSize;
            const std::vector<uint8_t> file = testbmp::MakeFile(layout, f.pixel);
            std::vector<uint16_t> expected;
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 5; ++x)
                    expected.push_back(ConvertedPixel(f, x, y));
            for (const Orientation& o : orientations) {
                TestSurface s(6, 6);
                CCanvas565 canvas(&s.rows);
                ASSERT_TRUE(canvas.GetOrientation().SetFromPoints(
                    o.ax, o.ay, o.bx, o.by, o.cx, o.cy, o.xCode, o.yCode));
                std::string error;
                ASSERT_TRUE(ConvertBitmapFile(canvas, 300, file.data(), file.size(), &error))
                    << f.name << " " << o.name << ": " << error;
                const CStoredImage* image = canvas.GetImageStore().buffer(300);
                EXPECT_EQ(image->GetWidth(), o.exchanged ? 3 : 5);
                EXPECT_EQ(DrawBack(canvas, 300, 5, 3), expected)
                    << f.name << (topDown ? " top-down " : " ") << o.name;
            }
        }
    }
}

// A part of a stored image drawn at a point lands where the same part of the
// logical picture belongs, whichever way the surface is laid out.
TEST(ImageStore, PartsOfImagesUnderEveryOrientation)
{
    struct Orientation {
        int ax, ay, bx, by, cx, cy, xCode, yCode;
    };
    const Orientation orientations[] = {
        { 0, 0, 1, 0, 0, 1, 0, 0 },
        { 0, 6, 1, 6, 0, 5, 0, 2 },
        { 6, 0, 5, 0, 6, 1, 1, 0 },
        { 6, 0, 6, 1, 5, 0, 1, 0 },
        { 0, 6, 0, 5, 1, 6, 0, 2 },
    };
    Layout layout;
    layout.width = 5;
    layout.height = 3;
    const std::vector<uint8_t> file = testbmp::MakeFile(layout, Rgb);
    for (const Orientation& o : orientations) {
        TestSurface s(7, 7);
        CCanvas565 canvas(&s.rows);
        ASSERT_TRUE(
            canvas.GetOrientation().SetFromPoints(o.ax, o.ay, o.bx, o.by, o.cx, o.cy, o.xCode, o.yCode));
        ASSERT_TRUE(ConvertBitmapFile(canvas, 8, file.data(), file.size()));
        // The 2 x 2 part at (2, 1) of the picture, drawn at logical (3, 4).
        EXPECT_TRUE(canvas.DrawImage(8, 3, 4, 2, 1, 2, 2));
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 7; ++x) {
                const bool inside = x >= 3 && x < 5 && y >= 4 && y < 6;
                const uint16_t want = inside ? Expected565(x - 1, y - 3) : 0;
                ASSERT_EQ(ColourToPixel(uint32_t(canvas.GetPixel(x, y))), want)
                    << x << "," << y << " orientation " << &o - orientations;
            }
    }
}

TEST(ImageStore, ConvertedImagesAreStoredInSurfaceOrder)
{
    Layout layout;
    layout.width = 3;
    layout.height = 2;
    const std::vector<uint8_t> dib = testbmp::MakeDib(layout, Rgb);
    TestSurface s(8, 8);
    CCanvas565 canvas(&s.rows);
    ASSERT_TRUE(canvas.GetOrientation().SetFromPoints(0, 7, 1, 7, 0, 6, 0, 2));
    ASSERT_TRUE(ConvertBitmap(canvas, 5, dib.data(), dib.size(), true));
    const CStoredImage* image = canvas.GetImageStore().buffer(5);
    EXPECT_EQ(image->GetWidth(), 3);
    EXPECT_EQ(image->GetHeight(), 2);
    EXPECT_EQ(image->GetStride(), -8);
    EXPECT_TRUE(image->ownsPixels);
    // Under the vertical flip the bitmap's bottom row is stored first.
    EXPECT_EQ(image->Row(0)[0], Expected565(0, 1));
    EXPECT_EQ(image->Row(1)[2], Expected565(2, 0));
}

TEST(ImageStore, PixelConversionsByTheTable)
{
    TestSurface s(4, 4);
    CCanvas565 canvas(&s.rows);
    // 4 bits: the first byte 0x1F holds indexes 1 and 15.
    Layout four;
    four.width = 2;
    four.bits = 4;
    four.palette = Palette(16);
    std::vector<uint8_t> dib = testbmp::MakeDib(four, [](int x, int) { return x ? 15u : 1u; });
    EXPECT_EQ(dib[40 + 64], 0x1F);
    ASSERT_TRUE(ConvertBitmap(canvas, 1, dib.data(), dib.size(), false));
    EXPECT_EQ(canvas.GetImageStore().buffer(1)->Row(0)[0], Expected565(1, 0));
    EXPECT_EQ(canvas.GetImageStore().buffer(1)->Row(0)[1], Expected565(0, 3));

    Layout word;
    word.bits = 16;
    dib = testbmp::MakeDib(word, [](int, int) { return 0x7FFFu; });
    ASSERT_TRUE(ConvertBitmap(canvas, 2, dib.data(), dib.size(), false));
    EXPECT_EQ(canvas.GetImageStore().buffer(2)->Row(0)[0], 0xFFDF);

    // A short colour table: indexes past its end read as black, never past it.
    Layout shortTable;
    shortTable.width = 2;
    shortTable.bits = 8;
    shortTable.coloursUsed = 1;
    shortTable.palette = { 0xFFFFFF };
    dib = testbmp::MakeDib(shortTable, [](int x, int) { return x ? 200u : 0u; });
    ASSERT_TRUE(ConvertBitmap(canvas, 3, dib.data(), dib.size(), false));
    EXPECT_EQ(canvas.GetImageStore().buffer(3)->Row(0)[0], 0xFFFF);
    EXPECT_EQ(canvas.GetImageStore().buffer(3)->Row(0)[1], 0);
}

TEST(ImageStore, FiveSixFiveImagesAreTakenInPlaceInTheirOwnRowOrder)
{
    Layout layout;
    layout.width = 5;
    layout.height = 3;
    layout.bits = 16;
    layout.compression = 3;
    layout.masks = { 0xF800, 0x07E0, 0x001F };
    const std::vector<uint8_t> dib
        = testbmp::MakeDib(layout, [](int x, int y) { return uint32_t(Expected565(x, y)); });
    const uint8_t* pixels = dib.data() + 52;
    const int R = 12;

    TestSurface s(6, 6);
    CCanvas565 straight(&s.rows);
    ASSERT_TRUE(ConvertBitmap(straight, 9, dib.data(), dib.size(), true));
    const CStoredImage* image = straight.GetImageStore().buffer(9);
    EXPECT_FALSE(image->ownsPixels);
    EXPECT_EQ(image->GetStride(), -R);
    EXPECT_EQ(image->view.firstRow, pixels + 2 * R); // the bitmap's top row
    EXPECT_EQ(DrawBack(straight, 9, 5, 3), ExpectedImage(5, 3));

    // Under the vertical flip the rows run the other way and the image is
    // still drawn the right way up.
    TestSurface t(6, 6);
    CCanvas565 flipped(&t.rows);
    ASSERT_TRUE(flipped.GetOrientation().SetFromPoints(0, 5, 1, 5, 0, 4, 0, 2));
    ASSERT_TRUE(ConvertBitmap(flipped, 9, dib.data(), dib.size(), true));
    image = flipped.GetImageStore().buffer(9);
    EXPECT_FALSE(image->ownsPixels);
    EXPECT_EQ(image->GetStride(), R);
    EXPECT_EQ(image->view.firstRow, pixels);
    EXPECT_EQ(DrawBack(flipped, 9, 5, 3), ExpectedImage(5, 3));

    // Not allowed in place: copied.
    ASSERT_TRUE(ConvertBitmap(flipped, 10, dib.data(), dib.size(), false));
    EXPECT_TRUE(flipped.GetImageStore().buffer(10)->ownsPixels);
}

TEST(ImageStore, MalformedBitmapsAreRefusedWithAReason)
{
    Layout good;
    good.width = 4;
    good.height = 2;
    good.bits = 8;
    good.palette = Palette(256);
    const std::vector<uint8_t> base = testbmp::MakeFile(good, [](int x, int) { return uint32_t(x); });

    struct Case {
        const char* name;
        std::function<void(std::vector<uint8_t>&)> damage;
    };
    const Case cases[] = {
        { "empty", [](auto& f) { f.clear(); } },
        { "no signature", [](auto& f) { f[0] = 'X'; } },
        { "header cut", [](auto& f) { f.resize(14 + 30); } },
        { "header size past the end", [](auto& f) { testbmp::Set32(f, 14, 5000); } },
        { "core header", [](auto& f) { testbmp::Set32(f, 14, 12); } },
        { "zero width", [](auto& f) { testbmp::Set32(f, 18, 0); } },
        { "negative width", [](auto& f) { testbmp::Set32(f, 18, uint32_t(-4)); } },
        { "zero height", [](auto& f) { testbmp::Set32(f, 22, 0); } },
        { "huge width", [](auto& f) { testbmp::Set32(f, 18, 0x7FFFFFFF); } },
        { "huge height", [](auto& f) { testbmp::Set32(f, 22, 0x80000000u); } },
        { "rows past the end", [](auto& f) { testbmp::Set32(f, 22, 3); } },
        { "bit count 7", [](auto& f) { f[28] = 7; } },
        { "run-length", [](auto& f) { f[30] = 1; } },
        { "colour table too large", [](auto& f) { testbmp::Set32(f, 46, 257); } },
        { "pixel offset past the end", [](auto& f) { testbmp::Set32(f, 10, 0x10000); } },
        { "pixel offset inside the table", [](auto& f) { testbmp::Set32(f, 10, 60); } },
        { "pixels cut", [](auto& f) { f.pop_back(); } },
        { "32 bits, red mask 0xFF",
            [](auto& f) {
                f[28] = 32;
                f[30] = 3;
                testbmp::Set32(f, 54, 0xFF);
                testbmp::Set32(f, 58, 0xFF00);
                testbmp::Set32(f, 62, 0xFF0000);
            } },
        { "16 bits, 4-4-4 masks",
            [](auto& f) {
                f[28] = 16;
                f[30] = 3;
                testbmp::Set32(f, 54, 0xF00);
                testbmp::Set32(f, 58, 0xF0);
                testbmp::Set32(f, 62, 0xF);
            } },
    };
    {
        TestSurface s(4, 4);
        CCanvas565 canvas(&s.rows);
        std::string error;
        ASSERT_TRUE(ConvertBitmapFile(canvas, 1, base.data(), base.size(), &error)) << error;
    }
    for (const Case& c : cases) {
        std::vector<uint8_t> file = base;
        c.damage(file);
        TestSurface s(4, 4);
        CCanvas565 canvas(&s.rows);
        std::string error;
        EXPECT_FALSE(ConvertBitmapFile(canvas, 1, file.data(), file.size(), &error)) << c.name;
        EXPECT_FALSE(error.empty()) << c.name;
        const CStoredImage* slot = canvas.GetImageStore().buffer(1);
        EXPECT_TRUE(!slot || !slot->buf()) << c.name;
    }
}

TEST(ImageStore, ArenaExhaustionLeavesTheSlotEmpty)
{
    ASSERT_TRUE(ArenaRelease());
    {
        TestSurface s(4, 4);
        CCanvas565 canvas(&s.rows);
        Layout layout;
        layout.width = 64;
        layout.height = 64;
        const std::vector<uint8_t> dib = testbmp::MakeDib(layout, Rgb);
        ASSERT_NE(ArenaAlloc(1), nullptr);
        const size_t left
            = size_t(ArenaState().base + kArenaReservedPages * ArenaState().pageSize - ArenaState().top);
        ASSERT_NE(ArenaAlloc(left - 4), nullptr);
        std::string error;
        EXPECT_FALSE(ConvertBitmap(canvas, 77, dib.data(), dib.size(), false, &error));
        EXPECT_NE(error.find("memory"), std::string::npos) << error;
        ASSERT_NE(canvas.GetImageStore().buffer(77), nullptr);
        EXPECT_EQ(canvas.GetImageStore().buffer(77)->buf(), nullptr);
        EXPECT_FALSE(canvas.DrawImage(77, 0, 0, 0, 0, 64, 64));
    }
    EXPECT_TRUE(ArenaRelease());
}

TEST(ImageStore, LoadsBitmapFilesFromDisk)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "travenor_image_store_test";
    std::filesystem::create_directories(dir);
    Layout layout;
    layout.width = 5;
    layout.height = 3;
    const std::vector<uint8_t> file = testbmp::MakeFile(layout, Rgb);
    const std::string path = (dir / "picture.bmp").string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));

    TestSurface s(6, 6);
    CCanvas565 canvas(&s.rows);
    std::string error;
    ASSERT_TRUE(LoadBitmapFile(canvas, 4, path, &error)) << error;
    EXPECT_EQ(DrawBack(canvas, 4, 5, 3), ExpectedImage(5, 3));
    EXPECT_FALSE(LoadBitmapFile(canvas, 4, (dir / "missing.bmp").string(), &error));
    EXPECT_NE(error.find("missing.bmp"), std::string::npos);
    std::filesystem::remove_all(dir);
}

// A screen shot as the program writes it loads back through the loader.
TEST(ImageStore, ScreenShotFilesReadBack)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "travenor_screen_shot_test";
    std::filesystem::create_directories(dir);
    BitmapInfo bmi;
    bmi.bmiHeader.biSize = 40;
    bmi.bmiHeader.biWidth = 4;
    bmi.bmiHeader.biHeight = 3;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 24;
    bmi.bmiHeader.biSizeImage = 4 * 3 * 3;
    std::vector<uint8_t> rows; // bottom row first, B, G, R
    for (int y = 2; y >= 0; --y)
        for (int x = 0; x < 4; ++x) {
            const uint32_t c = Rgb(x, y);
            rows.insert(rows.end(), { uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16) });
        }
    CDibSection dib;
    ASSERT_TRUE(dib.Create(&bmi, rows.data()));
    const std::string path = (dir / "shot.bmp").string();
    ASSERT_TRUE(dib.SaveBmp(QString::fromStdString(path)));

    TestSurface s(6, 6);
    CCanvas565 canvas(&s.rows);
    ASSERT_TRUE(canvas.GetOrientation().SetFromPoints(0, 5, 1, 5, 0, 4, 0, 2));
    std::string error;
    ASSERT_TRUE(LoadBitmapFile(canvas, 12, path, &error)) << error;
    EXPECT_EQ(DrawBack(canvas, 12, 4, 3), ExpectedImage(4, 3));
    std::filesystem::remove_all(dir);
}

// The program's own pictures, as the build generates them, all load.
TEST(ImageStore, EveryGeneratedPictureLoads)
{
    int loaded = 0;
    for (const char* folder : { "qvga", "vga" }) {
        const std::filesystem::path dir
            = std::filesystem::path(TRAVENOR_BUILD_DATA_DIR) / "resources" / folder;
        if (!std::filesystem::is_directory(dir))
            continue;
        TestSurface s(4, 4);
        CCanvas565 canvas(&s.rows);
        ASSERT_TRUE(canvas.GetOrientation().SetFromPoints(0, 3, 1, 3, 0, 2, 0, 2));
        for (const auto& entry : std::filesystem::directory_iterator(dir)) {
            if (entry.path().extension() != ".bmp")
                continue;
            std::string error;
            EXPECT_TRUE(LoadBitmapFile(canvas, 1, entry.path().string(), &error))
                << entry.path() << ": " << error;
            ++loaded;
        }
    }
    if (loaded == 0)
        GTEST_SKIP() << "no generated pictures in " << TRAVENOR_BUILD_DATA_DIR;
}

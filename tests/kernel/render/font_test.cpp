#include "kernel/render/app_ft_manager.h"
#include "kernel/render/font.h"
#include "kernel/render/image.h"

#include "kernel/doc/code_page.h"

#include "render_test_support.h"

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>

namespace fs = std::filesystem;
using render_test::DumpPng;

namespace {

const fs::path kDejaVu = "/usr/share/fonts/truetype/dejavu";
constexpr int kCyrillic = 0; // code page 1251

// A fresh folder under the test's temporary directory, removed afterwards.
struct FontFolder {
    fs::path path;
    explicit FontFolder(const std::string& name)
        : path(fs::temp_directory_path() / ("travenor_fonts_" + std::to_string(::getpid()) + "_" + name))
    {
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~FontFolder() { fs::remove_all(path); }
    void Link(const std::string& name, const std::string& face, const std::string& sub = "")
    {
        fs::create_directories(path / sub);
        fs::create_symlink(kDejaVu / face, path / sub / name);
    }
    std::string Prefix() const { return path.string() + "/"; }
};

std::string FamilyOf(const CAppFT_Manager& m)
{
    const FT_Face face = m.GetEngine()->face;
    return std::string(face->family_name) + " " + face->style_name;
}

std::string InCodePage(std::u16string_view text) { return CZXS_CodePage::FromWide(kCyrillic, text); }

// The manager over DejaVu Sans, loaded once for the tests that only draw.
const CAppFT_Manager& SansManager()
{
    static FontFolder folder("sans");
    static CAppFT_Manager manager;
    static bool loaded = [] {
        folder.Link("arial.ttf", "DejaVuSans.ttf");
        return manager.FindFonts(folder.Prefix().c_str()) && manager.LoadFont();
    }();
    EXPECT_TRUE(loaded);
    return manager;
}

struct Canvas {
    CZX_Image image;
    Canvas(int32_t w, int32_t h) { EXPECT_EQ(image.Create(w, h, 0x00ffffff), 0); }
    // Darkness 0 (white) .. 255 of a pixel, from its green field.
    int Ink(int32_t x, int32_t y) const
    {
        return 255 - ((image.Surface()->Pixel(x, y) >> 5) & 0x3f) * 255 / 63;
    }
    std::vector<std::string> Rows(int threshold = 128) const
    {
        std::vector<std::string> rows;
        for (int32_t y = 0; y < image.Height(); ++y) {
            std::string row;
            for (int32_t x = 0; x < image.Width(); ++x)
                row += Ink(x, y) >= threshold ? '#' : (Ink(x, y) > 0 ? '+' : '.');
            rows.push_back(row);
        }
        return rows;
    }
};

int32_t Fixed(double v) { return static_cast<int32_t>(std::lround(v * 65536)); }

std::vector<std::string> g_notices;
void CollectNotice(const char* text, const char* caption)
{
    g_notices.push_back(std::string(caption) + "|" + text);
}

} // namespace

TEST(FontManager, FindsTheFontFileInTheFolderOrItsFontsSubfolder)
{
    {
        // No "VUDOZ.TTF", but "arial.ttf": the folder as given, the arial face loaded.
        FontFolder folder("arial");
        folder.Link("arial.ttf", "DejaVuSansMono.ttf");
        folder.Link("tahoma.ttf", "DejaVuSerif.ttf");
        CAppFT_Manager m;
        ASSERT_TRUE(m.FindFonts(folder.Prefix().c_str()));
        EXPECT_EQ(m.FontFolder(), folder.Prefix());
        ASSERT_TRUE(m.LoadFont());
        EXPECT_EQ(FamilyOf(m), "DejaVu Sans Mono Book");
    }
    {
        // "VUDOZ.TTF" comes first.
        FontFolder folder("vudoz");
        folder.Link("VUDOZ.TTF", "DejaVuSerif.ttf");
        folder.Link("arial.ttf", "DejaVuSansMono.ttf");
        CAppFT_Manager m;
        ASSERT_TRUE(m.FindFonts(folder.Prefix().c_str()));
        ASSERT_TRUE(m.LoadFont());
        EXPECT_EQ(FamilyOf(m), "DejaVu Serif Book");
    }
    {
        // Nothing in the folder, "tahoma.ttf" in "Fonts": the subfolder becomes the font folder.
        FontFolder folder("sub");
        folder.Link("tahoma.ttf", "DejaVuSans.ttf", "Fonts");
        CAppFT_Manager m;
        ASSERT_TRUE(m.FindFonts(folder.Prefix().c_str()));
        EXPECT_EQ(m.FontFolder(), folder.Prefix() + "Fonts/");
        ASSERT_TRUE(m.LoadFont());
        EXPECT_EQ(FamilyOf(m), "DejaVu Sans Book");
    }
    {
        // "VUDOZ.TTF" is not looked for in the subfolder.
        FontFolder folder("subvudoz");
        folder.Link("VUDOZ.TTF", "DejaVuSans.ttf", "Fonts");
        CAppFT_Manager m;
        EXPECT_FALSE(m.FindFonts(folder.Prefix().c_str()));
    }
}

TEST(FontManager, AFileThatIsNoFontGivesTheNotice)
{
    FontFolder folder("broken");
    std::ofstream(folder.path / "arial.ttf") << "not a font";
    CAppFT_Manager m;
    ASSERT_TRUE(m.FindFonts(folder.Prefix().c_str()));
    g_notices.clear();
    CAppFT_Manager::SetMessageBoxFunction(&CollectNotice);
    EXPECT_FALSE(m.LoadFont());
    CAppFT_Manager::SetMessageBoxFunction(nullptr);
    EXPECT_EQ(m.GetError(), 2003);
    ASSERT_EQ(g_notices.size(), 1u);
    // The last path tried and the engine's code for it (1: cannot open).
    EXPECT_EQ(
        g_notices[0], "RODI|Unable to load font\n\"" + folder.Prefix() + "tahoma.ttf\"\nerror code: 1H");
    EXPECT_EQ(m.GetEngine(), nullptr);
}

TEST(GlyphCache, SizesAdvancesAndWidths)
{
    CZX_Font font;
    font.AttachFace(&SansManager());
    ASSERT_EQ(font.SetSize(16, 16), 1);
    const int32_t a = font.Advance('A', kCyrillic);
    EXPECT_GT(a, 8 * 64);
    EXPECT_LT(a, 14 * 64);
    EXPECT_TRUE(font.HasGlyph('A'));
    EXPECT_EQ(font.SetSize(16, 16), 1); // the same size keeps the cache
    EXPECT_TRUE(font.HasGlyph('A'));
    ASSERT_EQ(font.SetSize(32, 32), 1); // another size has glyphs of its own
    EXPECT_FALSE(font.HasGlyph('A'));
    EXPECT_NEAR(font.Advance('A', kCyrillic), 2 * a, 64);
    // Back and forth between the sizes of a frame's labels, each keeps its glyphs.
    ASSERT_EQ(font.SetSize(16, 16), 1);
    EXPECT_TRUE(font.HasGlyph('A'));
    EXPECT_EQ(font.Advance('A', kCyrillic), a);
    for (int32_t size : { 20, 24, 28, 12 }) // four other sizes push the first one out
        ASSERT_EQ(font.SetSize(size, size), 1);
    ASSERT_EQ(font.SetSize(16, 16), 1);
    EXPECT_FALSE(font.HasGlyph('A'));
    ASSERT_EQ(font.SetSize(32, 32), 1);

    EXPECT_EQ(font.TextWidth("", kCyrillic), 0);
    const std::string hello = InCodePage(u"Привет");
    int32_t sum = 0;
    for (char c : hello)
        sum += font.Advance(static_cast<uint8_t>(c), kCyrillic);
    EXPECT_EQ(font.TextWidth(hello.c_str(), kCyrillic), sum);

    // Two fonts of different sizes over the one face each keep their own size.
    CZX_Font small;
    small.AttachFace(&SansManager());
    ASSERT_EQ(small.SetSize(8, 8), 1);
    const int32_t smallA = small.Advance('A', kCyrillic);
    font.Flush();
    EXPECT_NEAR(font.Advance('A', kCyrillic), 4 * smallA, 4 * 64);

    CZX_Font detached;
    EXPECT_EQ(detached.SetSize(10, 10), 0);
    EXPECT_EQ(detached.GetError(), 2004);
    EXPECT_EQ(detached.Advance('A', kCyrillic), -1);
    EXPECT_EQ(detached.GetError(), 2005);
}

TEST(GlyphCache, AGlyphThatCannotLoadFailsTheWidth)
{
    // DejaVu Sans with its glyph outlines overwritten: the face opens, its glyphs do not.
    std::ifstream in(kDejaVu / "DejaVuSans.ttf", std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
    const auto be = [&](size_t at, int n) {
        uint32_t v = 0;
        for (int i = 0; i < n; ++i)
            v = v << 8 | static_cast<uint8_t>(bytes[at + i]);
        return v;
    };
    const uint32_t tables = be(4, 2);
    for (uint32_t i = 0; i < tables; ++i)
        if (std::memcmp(&bytes[12 + 16 * i], "glyf", 4) == 0)
            std::memset(&bytes[be(12 + 16 * i + 8, 4)], 0x7f, be(12 + 16 * i + 12, 4));
    FontFolder folder("corrupt");
    std::ofstream(folder.path / "arial.ttf", std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    CAppFT_Manager m;
    ASSERT_TRUE(m.FindFonts(folder.Prefix().c_str()));
    ASSERT_TRUE(m.LoadFont());
    CZX_Font font;
    font.AttachFace(&m);
    ASSERT_EQ(font.SetSize(12, 12), 1);
    EXPECT_EQ(font.TextWidth("A b", kCyrillic), -1);
    EXPECT_EQ(font.GetError(), 2005);
    Canvas canvas(20, 20);
    CZX_Font::Pen pen { 0, -15 * 64 };
    EXPECT_EQ(font.DrawText(canvas.image, "A", kCyrillic, pen, 65536, 0, 0), 0);
    EXPECT_EQ(font.GetError(), 2007);
}

TEST(GlyphCache, DrawsLatinAndCyrillicGolden)
{
    CZX_Font font;
    font.AttachFace(&SansManager());
    ASSERT_EQ(font.SetSize(12, 12), 1);
    Canvas canvas(22, 12);
    CZX_Font::Pen pen { 1 * 64, -10 * 64 }; // baseline on row 10
    ASSERT_EQ(font.DrawText(canvas.image, InCodePage(u"AЖ").c_str(), kCyrillic, pen, 65536, 0, 0), 1);
    DumpPng(canvas.image, "text_golden", 16);
    // Darker than half as '#', lighter ink as '+'.
    // Checked by eye: the apex, crossbar and legs of the A; the Zhe's stem and
    // its four arms meeting at the middle row.
    EXPECT_EQ(canvas.Rows(),
        (std::vector<std::string> {
            "......................",
            "....##...+#+...#+..+#+",
            "...+##+...+#+..#+.+##.",
            "...+###....+#+.#+.##..",
            "...#++#.....+#+#+##...",
            "..+#..#+....#######+..",
            "..##++##...+#.###.##..",
            "..######+..#+..#+..#+.",
            ".+#....##.##...#+..+#.",
            ".##....+#+#+...#+...##",
            "......................",
            "......................",
        }));
    // The pen moved by both advances (drawn unhinted, so within a pixel of the measure).
    EXPECT_NEAR(pen.x, 64 + font.TextWidth(InCodePage(u"AЖ").c_str(), kCyrillic), 64);
    EXPECT_EQ(pen.y, -10 * 64);

    // Turned 30 degrees upwards about the pen at (4, 19).
    Canvas turned(24, 22);
    CZX_Font::Pen turnedPen { 4 * 64, -19 * 64 };
    ASSERT_EQ(font.DrawText(turned.image, InCodePage(u"Яz").c_str(), kCyrillic, turnedPen,
                  Fixed(std::cos(M_PI / 6)), Fixed(std::sin(M_PI / 6)), 0),
        1);
    DumpPng(turned.image, "text_golden_30", 16);
    // Checked by eye: the Ya's bowl on the left with its leg straight down and
    // its stem leaning left, the z further up the line to the right.
    EXPECT_EQ(turned.Rows(),
        (std::vector<std::string> {
            "........................",
            "........................",
            "........................",
            "........................",
            "........................",
            "........................",
            "............#+..........",
            "..........+##+..........",
            "....+#+.+##+#+..........",
            "..+####.++..#...........",
            ".+#+.+#+...+#...........",
            ".+#...+#...+#.+#........",
            ".+#+.+###..#+##+........",
            "..####++#+.###..........",
            "...++#..##.++...........",
            "....+#..+#..............",
            "....+#..................",
            "....+#..................",
            "....++..................",
            "........................",
            "........................",
            "........................",
        }));
}

TEST(GlyphCache, GlyphsAtTheEdgesAreCutNotDropped)
{
    CZX_Font font;
    font.AttachFace(&SansManager());
    ASSERT_EQ(font.SetSize(20, 20), 1);
    // "j" hangs left of its pen: drawn at the left edge its visible part shows
    // and the pen still moves on.
    Canvas left(30, 30);
    CZX_Font::Pen pen { 0, -20 * 64 };
    ASSERT_EQ(font.DrawText(left.image, "jj", kCyrillic, pen, 65536, 0, 0), 1);
    EXPECT_NEAR(pen.x, 2 * font.Advance('j', kCyrillic), 64);
    int tail = 0;
    for (int32_t y = 20; y < 30; ++y)
        tail += left.Ink(0, y) > 0;
    EXPECT_GT(tail, 0);
    // A bar glyph ending on the last column darkens that column.
    Canvas right(10, 30);
    CZX_Font::Pen barPen { (10 - 5) * 64, -20 * 64 };
    ASSERT_EQ(font.DrawText(right.image, "||||", kCyrillic, barPen, 65536, 0, 0), 1);
    int lastColumn = 0;
    for (int32_t y = 0; y < 30; ++y)
        lastColumn += right.Ink(9, y) > 0;
    EXPECT_GT(lastColumn, 5);
}

TEST(GlyphCache, RotatedTextTurnsWithItsDirection)
{
    CZX_Font font;
    font.AttachFace(&SansManager());
    ASSERT_EQ(font.SetSize(14, 14), 1);
    const std::string text = InCodePage(u"Привет, World");
    const int32_t size = 300, origin = 150;
    const auto draw = [&](double degrees, Canvas& canvas) {
        const double r = degrees * M_PI / 180;
        CZX_Font::Pen pen { origin * 64, -origin * 64 };
        EXPECT_EQ(font.DrawText(
                      canvas.image, text.c_str(), kCyrillic, pen, Fixed(std::cos(r)), Fixed(std::sin(r)), 0),
            1);
        DumpPng(canvas.image, "text_" + std::to_string(static_cast<int>(degrees)), 2);
    };
    Canvas flat(size, size), quarter(size, size), turned(size, size);
    draw(0, flat);
    draw(90, quarter);
    draw(30, turned);

    // A quarter turn runs the text upwards: pixel (a, b) from the origin moves
    // to (b, -a - 1), coverage alike.
    int64_t ink = 0, worst = 0;
    for (int32_t y = 0; y < size; ++y) {
        for (int32_t x = 0; x < size; ++x) {
            const int32_t a = x - origin, b = y - origin;
            const int32_t qx = origin + b, qy = origin - a - 1;
            if (qx < 0 || qx >= size || qy < 0 || qy >= size)
                continue;
            ink += flat.Ink(x, y);
            worst = std::max<int64_t>(worst, std::abs(flat.Ink(x, y) - quarter.Ink(qx, qy)));
        }
    }
    EXPECT_GT(ink, 100 * 255);
    EXPECT_LE(worst, 40);

    // At 30 degrees the ink is about as much and its main axis leans 30 degrees
    // upwards (screen y grows down).
    const auto axis = [&](const Canvas& c, int64_t& total) {
        double sw = 0, sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
        for (int32_t y = 0; y < size; ++y)
            for (int32_t x = 0; x < size; ++x) {
                const double w = c.Ink(x, y);
                sw += w, sx += w * x, sy += w * y, sxx += w * x * x, syy += w * y * y, sxy += w * x * y;
            }
        total = static_cast<int64_t>(sw);
        const double mx = sx / sw, my = sy / sw;
        const double cxx = sxx / sw - mx * mx, cyy = syy / sw - my * my, cxy = sxy / sw - mx * my;
        return 0.5 * std::atan2(2 * cxy, cxx - cyy) * 180 / M_PI;
    };
    int64_t flatInk = 0, turnedInk = 0;
    EXPECT_NEAR(axis(flat, flatInk), 0, 1.5);
    EXPECT_NEAR(axis(turned, turnedInk), -30, 1.5);
    EXPECT_NEAR(static_cast<double>(turnedInk) / flatInk, 1.0, 0.05);
}

TEST(GlyphCache, TwoThreadsDrawingAtOnceGetWhatEachDrawsAlone)
{
    const CAppFT_Manager& manager = SansManager();
    const std::string text = InCodePage(u"Съешь же ещё этих мягких булок, Jackdaws love my big sphinx");
    struct Job {
        int32_t size;
        double degrees;
    };
    const Job jobs[2] = { { 11, 0 }, { 19, 20 } };
    const auto render = [&](const Job& job, CZX_Font& font, Canvas& canvas) {
        canvas.image.FillRect(0, 0, canvas.image.Width() - 1, canvas.image.Height() - 1, 0xffff);
        const double r = job.degrees * M_PI / 180;
        CZX_Font::Pen pen { 4 * 64, -60 * 64 };
        EXPECT_EQ(font.SetSize(job.size, job.size), 1);
        EXPECT_GT(font.TextWidth(text.c_str(), kCyrillic), 0);
        EXPECT_EQ(font.DrawText(
                      canvas.image, text.c_str(), kCyrillic, pen, Fixed(std::cos(r)), Fixed(std::sin(r)), 0),
            1);
    };
    std::vector<uint8_t> expected[2];
    for (int i = 0; i < 2; ++i) {
        CZX_Font font;
        font.AttachFace(&manager);
        Canvas canvas(400, 80);
        render(jobs[i], font, canvas);
        expected[i].assign(
            canvas.image.Surface()->Bits(), canvas.image.Surface()->Bits() + canvas.image.ByteSize());
    }
    int mismatches[2] = { 0, 0 };
    std::thread threads[2];
    for (int i = 0; i < 2; ++i) {
        threads[i] = std::thread([&, i] {
            CZX_Font font;
            font.AttachFace(&manager);
            Canvas canvas(400, 80);
            for (int round = 0; round < 40; ++round) {
                font.Flush(); // measure afresh each round, racing the other thread's loads
                render(jobs[i], font, canvas);
                const uint8_t* bits = canvas.image.Surface()->Bits();
                mismatches[i] += !std::equal(expected[i].begin(), expected[i].end(), bits);
            }
        });
    }
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(mismatches[0], 0);
    EXPECT_EQ(mismatches[1], 0);
}

// A glyph drawn again comes from the font's store of rendered glyphs: wherever
// the pen stands, a whole number of pixels away or not, and in any direction,
// the picture is exactly the one freshly rendered there.
TEST(GlyphCache, GlyphsDrawnAgainLookExactlyAsFreshlyRendered)
{
    const std::string text = InCodePage(u"Wavy Жуk,");
    const auto bits = [](const Canvas& c) {
        return std::vector<uint8_t>(
            c.image.Surface()->Bits(), c.image.Surface()->Bits() + c.image.ByteSize());
    };
    CZX_Font warm;
    warm.AttachFace(&SansManager());
    ASSERT_EQ(warm.SetSize(15, 17), 1);
    for (const double degrees : { 0.0, 27.0, 90.0, 201.0 }) {
        const double r = degrees * M_PI / 180;
        const int32_t cosine = Fixed(std::cos(r)), sine = Fixed(std::sin(r));
        // The first pen fills the store; the others find it there after moving
        // by whole pixels, both ways along each axis, off the image's left edge too.
        const CZX_Font::Pen first { 60 * 64 + 23, -60 * 64 - 41 };
        const CZX_Font::Pen moved[] = { first, { first.x + 7 * 64, first.y - 3 * 64 },
            { first.x - 61 * 64, first.y + 11 * 64 }, { first.x - 13 * 64, first.y - 29 * 64 } };
        for (const CZX_Font::Pen& at : moved) {
            Canvas again(120, 120);
            CZX_Font::Pen pen = at;
            const size_t stored = warm.BitmapCount();
            ASSERT_EQ(warm.DrawText(again.image, text.c_str(), kCyrillic, pen, cosine, sine, 0), 1);
            if (&at != &moved[0]) {
                EXPECT_EQ(warm.BitmapCount(), stored) << degrees << " degrees: rendered again";
            }

            CZX_Font fresh;
            fresh.AttachFace(&SansManager());
            ASSERT_EQ(fresh.SetSize(15, 17), 1);
            Canvas expected(120, 120);
            CZX_Font::Pen freshPen = at;
            ASSERT_EQ(fresh.DrawText(expected.image, text.c_str(), kCyrillic, freshPen, cosine, sine, 0), 1);
            EXPECT_EQ(bits(again), bits(expected)) << degrees << " degrees, pen " << at.x << ", " << at.y;
            EXPECT_EQ(pen.x, freshPen.x);
            EXPECT_EQ(pen.y, freshPen.y);
        }
    }
    // Another place within the pixel, another size or direction is another glyph.
    const size_t stored = warm.BitmapCount();
    Canvas canvas(120, 120);
    CZX_Font::Pen pen { 60 * 64 + 24, -60 * 64 - 41 };
    ASSERT_EQ(warm.DrawText(canvas.image, "W", kCyrillic, pen, 65536, 0, 0), 1);
    EXPECT_EQ(warm.BitmapCount(), stored + 1);
    warm.Flush();
    EXPECT_EQ(warm.BitmapCount(), 0u);
}

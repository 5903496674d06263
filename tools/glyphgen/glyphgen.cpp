// glyphgen: renders the interface's five glyph strips from TrueType faces with
// FreeType, for both resolution classes, as 24-bit BMP files keyed on magenta.
//
//   glyphgen --fonts DIR --out RESOURCES_DIR
//
// writes RESOURCES_DIR/qvga/<id>.bmp (96 dpi) and RESOURCES_DIR/vga/<id>.bmp
// (192 dpi). Glyphs are rendered monochrome with hinting, so the text is crisp
// and has no fringe against the key colour.
#include "drawlib/glyph_sets.h"
#include "tools/resgen/bmp_writer.h"

#include <QImage>
#include <QString>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

struct Strip {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels; // 0xRRGGBB, top row first

    Strip(int w, int h)
        : width(w)
        , height(h)
        , pixels(size_t(w) * h, kGlyphKeyColour)
    {
    }
    void set(int x, int y, uint32_t c)
    {
        if (x >= 0 && y >= 0 && x < width && y < height)
            pixels[size_t(y) * width + x] = c;
    }
};

struct Face {
    const char* file;
    uint32_t colour;
};

// Every font is dark text: the title font writes on the light title strip and
// in the white caption boxes (hints, the address and info panels, the menus).
Face faceFor(int id)
{
    switch (id) {
    case FONT_TITLE:
        return { "DejaVuSansMono-Bold.ttf", 0x101010 };
    case FONT_NUMBER:
        return { "DejaVuSansMono-Bold.ttf", 0x101010 };
    case FONT_DIGITS:
        return { "DejaVuSansCondensed-Bold.ttf", 0x101010 };
    default:
        return { "DejaVuSansMono.ttf", 0x101010 };
    }
}

// The strips are written by the resource generator's BMP encoder, the one
// writer of the program's pictures.
bool writeBmp(const std::filesystem::path& path, const Strip& s)
{
    QImage image(s.width, s.height, QImage::Format_RGB32);
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            image.setPixel(x, y, 0xFF000000u | s.pixels[size_t(y) * s.width + x]);
    return resgen::WriteFileAtomically(
        QString::fromStdString(path.string()), resgen::EncodeBmp24(image, false, 3780));
}

class Renderer {
public:
    explicit Renderer(FT_Library lib)
        : m_lib(lib)
    {
    }
    ~Renderer()
    {
        if (m_face)
            FT_Done_Face(m_face);
    }

    bool open(const std::string& file)
    {
        if (m_face)
            FT_Done_Face(m_face);
        m_face = nullptr;
        return FT_New_Face(m_lib, file.c_str(), 0, &m_face) == 0;
    }

    // The largest pixel size at which the face's line fits `height` and a
    // glyph's advance fits `width` (0: no width limit).
    int fitSize(int width, int height, const char16_t* probe)
    {
        for (int size = height * 2; size > 4; --size) {
            FT_Set_Pixel_Sizes(m_face, 0, FT_UInt(size));
            const int ascent = int(m_face->size->metrics.ascender >> 6);
            const int descent = int(-m_face->size->metrics.descender >> 6);
            if (ascent + descent > height + 1)
                continue;
            bool fits = true;
            for (const char16_t* c = probe; *c && width > 0; ++c) {
                if (FT_Load_Char(m_face, *c, FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO) != 0)
                    continue;
                if ((m_face->glyph->advance.x >> 6) > width)
                    fits = false;
            }
            if (fits)
                return size;
        }
        return 5;
    }

    // For the digit font: the largest size at which a digit is at most
    // `height` - 2 tall and every glyph's advance fits its own cell. Returns
    // the baseline that centres the digits vertically.
    int fitDigits(int height, const int* cellWidths, const char16_t* set, int count)
    {
        for (int size = height * 2; size > 4; --size) {
            FT_Set_Pixel_Sizes(m_face, 0, FT_UInt(size));
            if (FT_Load_Char(m_face, u'0', FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0)
                continue;
            const int digitHeight = int(m_face->glyph->bitmap.rows);
            if (digitHeight > height - 2)
                continue;
            bool fits = true;
            for (int i = 0; i < count && fits; ++i)
                if (FT_Load_Char(m_face, set[i], FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO) == 0)
                    fits = (m_face->glyph->advance.x >> 6) <= cellWidths[i] + 2;
            if (fits)
                return height - 1 - (height - digitHeight) / 2;
        }
        return height - 2;
    }

    // Draws character c centred in the cell [x0, x0 + w) x [0, h); a baseline
    // of -1 centres the face's line vertically.
    void draw(Strip& strip, char16_t c, int x0, int w, int h, uint32_t colour, int baseline = -1)
    {
        if (c == u' ' || FT_Load_Char(m_face, c, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0)
            return;
        const FT_GlyphSlot g = m_face->glyph;
        const FT_Bitmap& bm = g->bitmap;
        const int ascent = int(m_face->size->metrics.ascender >> 6);
        const int descent = int(-m_face->size->metrics.descender >> 6);
        if (baseline < 0)
            baseline = ascent + (h - ascent - descent) / 2;
        const int advance = int(g->advance.x >> 6);
        const int left = x0 + (w - advance) / 2 + g->bitmap_left;
        const int top = baseline - g->bitmap_top;
        for (unsigned row = 0; row < bm.rows; ++row) {
            const unsigned char* bits = bm.buffer + ptrdiff_t(row) * bm.pitch;
            for (unsigned col = 0; col < bm.width; ++col) {
                const bool on = bm.pixel_mode == FT_PIXEL_MODE_MONO ? (bits[col / 8] >> (7 - col % 8)) & 1
                                                                    : bits[col] >= 128;
                const int x = left + int(col), y = top + int(row);
                if (on && x >= x0 && x < x0 + w && y >= 0 && y < h)
                    strip.set(x, y, colour);
            }
        }
    }

private:
    FT_Library m_lib;
    FT_Face m_face = nullptr;
};

int scale1(int n) { return n; }
int scale2(int n) { return n * 2; }

bool generate(
    FT_Library lib, const std::string& fontDir, const std::filesystem::path& outDir, int resolutionClass)
{
    std::filesystem::create_directories(outDir);
    auto scale = resolutionClass == 2 ? scale2 : scale1;
    Renderer r(lib);
    for (const GlyphFontMetrics& f : kGlyphFonts) {
        const Face face = faceFor(f.id);
        if (!r.open(fontDir + "/" + face.file)) {
            std::fprintf(stderr, "glyphgen: cannot open font %s/%s\n", fontDir.c_str(), face.file);
            return false;
        }
        const int h = scale(f.height);
        if (f.digits) {
            const int stripWidth = scale(kDigitFontEdges.back());
            Strip strip(stripWidth, h);
            int widths[kDigitGlyphCount];
            for (int g = 0; g < kDigitGlyphCount; ++g)
                widths[g] = scale(kDigitFontEdges[g + 1]) - scale(kDigitFontEdges[g]);
            const int baseline = r.fitDigits(h, widths, kDigitGlyphSet, kDigitGlyphCount);
            for (int g = 0; g < kDigitGlyphCount; ++g)
                r.draw(
                    strip, kDigitGlyphSet[g], scale(kDigitFontEdges[g]), widths[g], h, face.colour, baseline);
            if (!writeBmp(outDir / (std::to_string(f.id) + ".bmp"), strip))
                return false;
        } else {
            const int w = GlyphFontWidth(f, resolutionClass, scale);
            Strip strip(w * kTextGlyphCount, h);
            r.fitSize(w, h, u"MWШЖЩю");
            for (int g = 0; g < kTextGlyphCount; ++g)
                r.draw(strip, kTextGlyphSet[g], g * w, w, h, face.colour);
            if (!writeBmp(outDir / (std::to_string(f.id) + ".bmp"), strip))
                return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    std::string fonts = "/usr/share/fonts/truetype/dejavu", out;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--fonts" && i + 1 < argc)
            fonts = argv[++i];
        else if (a == "--out" && i + 1 < argc)
            out = argv[++i];
        else {
            std::puts("usage: glyphgen [--fonts DIR] --out RESOURCES_DIR\n"
                      "Renders the five glyph strips (761, 196, 758, 795, 217) into\n"
                      "RESOURCES_DIR/qvga and RESOURCES_DIR/vga as 24-bit BMP.");
            return a == "--help" ? 0 : 2;
        }
    }
    if (out.empty()) {
        std::fputs("glyphgen: --out is required\n", stderr);
        return 2;
    }
    FT_Library lib;
    if (FT_Init_FreeType(&lib) != 0) {
        std::fputs("glyphgen: cannot initialise FreeType\n", stderr);
        return 1;
    }
    const bool ok = generate(lib, fonts, std::filesystem::path(out) / "qvga", 1)
        && generate(lib, fonts, std::filesystem::path(out) / "vga", 2);
    FT_Done_FreeType(lib);
    return ok ? 0 : 1;
}

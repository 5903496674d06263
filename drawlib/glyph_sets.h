#pragma once
// The five glyph fonts of the interface: their ids (equal to the ids of their
// glyph strips), character sets and metrics. Shared by the screen draw tool and
// the strip generator, so the strips always match what the tool expects.
#include <array>
#include <cstdint>

// 32 Cyrillic lower-case, 32 upper-case, a space, the Latin alphabets, 30 signs,
// the digits 1-9 and 0, underscore, ellipsis and degree sign: 160 glyphs.
inline constexpr char16_t kTextGlyphSet[] = u"абвгдежзийклмнопрстуфхцчшщъыьэюя"
                                            u"АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ"
                                            u" "
                                            u"abcdefghijklmnopqrstuvwxyz"
                                            u"ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                            u",./'\";:~`!?@#$%^*()-=+\\|{}[]<>"
                                            u"1234567890"
                                            u"_\u2026\u00B0";
inline constexpr int kTextGlyphCount = 160;
static_assert(sizeof(kTextGlyphSet) / sizeof(char16_t) - 1 == kTextGlyphCount);

// Digits for distances and speeds: point, Latin m, Cyrillic м, Latin k,
// Cyrillic к, ellipsis, question mark.
inline constexpr char16_t kDigitGlyphSet[] = u"0123456789.m\u043Ck\u043A\u2026?";
inline constexpr int kDigitGlyphCount = 17;
static_assert(sizeof(kDigitGlyphSet) / sizeof(char16_t) - 1 == kDigitGlyphCount);

enum GlyphFontId : int {
    FONT_TITLE = 761,
    FONT_SMALL = 196,
    FONT_TEXT = 758,
    FONT_NUMBER = 795,
    FONT_DIGITS = 217,
};

// 96-dpi left edges of the digit font's glyphs (one more than glyphs).
inline constexpr std::array<int, 18> kDigitFontEdges { 0, 9, 15, 24, 33, 42, 50, 58, 67, 76, 84, 89, 101, 112,
    121, 130, 140, 148 };

// The key colour of every strip (0xRRGGBB): what is not glyph.
inline constexpr uint32_t kGlyphKeyColour = 0xFF00FF;

struct GlyphFontMetrics {
    int id;
    bool digits; // the digit set, proportional; else the text set, fixed pitch
    int width; // fixed glyph width at 96 dpi (761 is special: see GlyphFontWidth)
    int height; // glyph height at 96 dpi
};

inline constexpr std::array<GlyphFontMetrics, 5> kGlyphFonts { {
    { FONT_TITLE, false, 10, 15 },
    { FONT_SMALL, false, 7, 12 },
    { FONT_TEXT, false, 8, 12 },
    { FONT_NUMBER, false, 7, 12 },
    { FONT_DIGITS, true, 0, 18 },
} };

// Fixed glyph width for a resolution class: 761 is 17 in class 2 and 10
// otherwise, unscaled; the others scale with the density.
inline int GlyphFontWidth(const GlyphFontMetrics& f, int resolutionClass, int (*scaleX)(int))
{
    if (f.id == FONT_TITLE)
        return resolutionClass == 2 ? 17 : 10;
    return scaleX(f.width);
}

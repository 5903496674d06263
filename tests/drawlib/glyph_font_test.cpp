#include "drawlib/glyph_font.h"
#include "drawlib/glyph_sets.h"
#include "drawlib/screen_draw_tool.h"
#include "platform/display.h"
#include "tests/drawlib/text_fixture.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

constexpr int kMainId = 900, kDigitId = 901;

// A 240x320 screen with an 8x10 fixed-pitch font over the full text set and
// an 8x10 digit font, both with encoded strips.
class GlyphFontTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        tool.Init(&display, true);
        ASSERT_TRUE(encoded::WriteFontStrip(dir.path(), kMainId, 0, mainSet));
        ASSERT_TRUE(encoded::WriteFontStrip(dir.path(), kDigitId, 1, digitSet));
        ASSERT_TRUE(tool.LoadResource(dir.path(), kMainId));
        ASSERT_TRUE(tool.LoadResource(dir.path(), kDigitId));
        font.Init(
            &tool, kMainId, encoded::kWidth, encoded::kHeight, kGlyphKeyColour, mainSet.c_str(), 0, nullptr);
        digits.Init(&tool, kDigitId, encoded::kWidth, encoded::kHeight, kGlyphKeyColour, digitSet.c_str(), 0,
            nullptr);
        tool.Clear(0, false);
    }
    Lines Drawn() { return encoded::Read(tool, mainSet, digitSet); }

    ScopedScreen screen { 240, 320, 96 };
    platform::Display display { QSize(240, 320), 96 };
    CScreenDrawTool tool;
    QTemporaryDir dir;
    const std::u16string mainSet = kTextGlyphSet;
    const std::u16string digitSet = kDigitGlyphSet;
    CGlyphFont font, digits;
};

struct RectCase {
    const char* name;
    std::u16string text;
    GlyphRect rect;
    unsigned flags;
    int height; // the result
    Lines lines;
    GlyphRect clip { 0, 0, 240, 320 };
    bool withDigits = false;
};

TEST_F(GlyphFontTest, DrawTextInRectLaysOutWrapsCentresAndClips)
{
    const RectCase cases[] = {
        { "wraps at 12 characters in 100 pixels", u"aaaa bbbb cccc dddd eeee", { 0, 0, 100, 100 }, 0x80, 30,
            { "0,0:aaaa bbbb", "10,0:cccc dddd", "20,0:eeee" } },
        { "a line feed ends a line", u"ab cd\nef", { 0, 0, 200, 100 }, 0x80, 20, { "0,0:ab cd", "10,0:ef" } },
        { "spaces before a line feed are not part of the line", u"ab   \ncd", { 10, 0, 200, 100 }, 0x84, 20,
            { "0,97:ab", "10,97:cd" } },
        { "a long word is cut at the limit", u"abcdefghijklmnop", { 0, 0, 100, 100 }, 0x80, 20,
            { "0,0:abcdefghijkl", "10,0:mnop" } },
        { "a long word kept whole ends with an ellipsis", u"abcdefghijklmnop xy", { 0, 0, 100, 100 }, 0x81,
            20, { "0,0:abcdefghijk…", "10,0:xy" } },
        { "a kept word at the end of the text too", u"ab cdefghijklmnopq", { 0, 0, 100, 100 }, 0x81, 20,
            { "0,0:ab", "10,0:cdefghijklm…" } },
        { "a single line too long ends with an ellipsis", u"Привет, мир!", { 0, 0, 60, 10 }, 0x1, 10,
            { "0,0:Привет…" } },
        { "a single line too long is cut at the rectangle", u"Hello, world", { 0, 0, 60, 10 }, 0x0, 10,
            { "0,0:Hello," } },
        { "centring 5 characters in 51 pixels starts at +6", u"hello", { 0, 0, 51, 10 }, 0x4, 10,
            { "0,6:hello" } },
        { "each wrapped line is centred", u"ab cdef", { 0, 0, 40, 100 }, 0x84, 20,
            { "0,12:ab", "10,4:cdef" } },
        { "vertical centring", u"ab", { 0, 0, 100, 21 }, 0x10, 16, { "6,0:ab" } },
        { "unknown characters in both alphabets become ?", u"Ёлка & €uro café", { 0, 0, 200, 10 }, 0, 10,
            { "0,0:?лка ? ?uro caf?" } },
        { "digits from the digit font at the main advance", u"a12.5b", { 0, 0, 200, 10 }, 0, 10,
            { "0,0:a~1~2.~5b" }, { 0, 0, 240, 320 }, true },
        { "glyphs cut by the clip are left out", u"abcdef", { 0, 0, 100, 10 }, 0, 10, { "0,8:bcd" },
            { 4, 0, 36, 10 } },
        { "with 0x20 they are drawn in part", u"abcdef", { 0, 0, 100, 10 }, 0x20, 10,
            { "0,0:a[4-7]bcde[0-3]" }, { 4, 0, 36, 10 } },
        { "only whole lines inside the clip", u"aa bb cc", { 0, 0, 24, 100 }, 0x80, 20, { "10,0:bb" },
            { 0, 5, 100, 25 } },
        { "with 0x40 partly visible lines too, cut at the clip", u"aa bb cc", { 0, 0, 24, 100 }, 0xC0, 30,
            { "0,0:a{5-9}a{5-9}", "10,0:bb", "20,0:c{0-4}c{0-4}" }, { 0, 5, 100, 25 } },
        { "no room for the rest: no vertical ellipsis", u"aa bb cc dd", { 0, 0, 24, 20 }, 0x80, 20,
            { "0,0:aa", "10,0:bb" } },
        { "a rectangle narrower than a glyph takes one per line", u"ab", { 0, 0, 3, 100 }, 0xA0, 20,
            { "0,0:a[0-2]", "10,0:b[0-2]" } },
    };
    for (const RectCase& c : cases) {
        SCOPED_TRACE(c.name);
        tool.Clear(0, false);
        CGlyphFont clipFont;
        clipFont.SetClipRect(c.clip);
        EXPECT_EQ(font.DrawTextInRect(
                      c.text.c_str(), -1, c.rect, c.flags, c.withDigits ? &digits : nullptr, &clipFont),
            c.height);
        EXPECT_EQ(Drawn(), c.lines);
    }
}

TEST_F(GlyphFontTest, MeasuringDrawsNothing)
{
    struct Case {
        std::u16string text;
        GlyphRect rect;
        unsigned flags;
        int height;
    };
    const Case cases[] = {
        { u"aaaa bbbb cccc dddd eeee", { 0, 0, 100, 10 }, 0x180, 30 },
        { u"aaaa bbbb cccc dddd eeee", { 0, 0, 100, 10 }, 0x100, 10 },
        { u"ab\n", { 0, 0, 100, 10 }, 0x180, 20 }, // an empty last line
        { u"ab", { 0, 0, 3, 10 }, 0x180, 20 }, // narrower than a glyph: one per line
        { u"abcdefghijklmnop", { 0, 0, 100, 10 }, 0x181, 10 },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(font.DrawTextInRect(c.text.c_str(), -1, c.rect, c.flags, nullptr, nullptr), c.height);
        EXPECT_TRUE(Drawn().empty());
    }
}

TEST_F(GlyphFontTest, NothingToDraw)
{
    EXPECT_EQ(font.DrawTextInRect(u"abc", 0, { 0, 0, 100, 100 }, 0, nullptr, nullptr), 0);
    EXPECT_EQ(font.DrawTextInRect(nullptr, -1, { 0, 0, 100, 100 }, 0, nullptr, nullptr), 0);
    EXPECT_EQ(font.DrawTextInRect(u"abc", -1, { 10, 0, 10, 100 }, 0, nullptr, nullptr), 0);
    EXPECT_FALSE(font.DrawTextBox(u"abc", -1, { 0, 10, 100, 5 }, 0, nullptr, nullptr));
    // The clip lies outside the rectangle, or is lower than a glyph.
    CGlyphFont clipFont;
    clipFont.SetClipRect({ 200, 0, 240, 320 });
    EXPECT_EQ(font.DrawTextInRect(u"abc", -1, { 0, 0, 100, 100 }, 0, nullptr, &clipFont), 0);
    clipFont.SetClipRect({ 0, 0, 240, 9 });
    EXPECT_EQ(font.DrawTextInRect(u"abc", -1, { 0, 0, 100, 100 }, 0, nullptr, &clipFont), 0);
    EXPECT_EQ(font.DrawTextInRect(u"abc", -1, { 0, 0, 100, 100 }, 0x40, nullptr, &clipFont), 10);
    // Only part of the text: the given length.
    tool.Clear(0, false);
    EXPECT_EQ(font.DrawTextInRect(u"abcdef", 2, { 0, 0, 100, 100 }, 0, nullptr, nullptr), 10);
    EXPECT_EQ(Drawn(), Lines({ "0,0:ab" }));
}

TEST_F(GlyphFontTest, DrawStringKeepsGlyphsInsideTheScreen)
{
    EXPECT_TRUE(font.DrawString(u"ab", 0, 0));
    // 232 + 8 reaches the right edge: left out; so is a glyph touching the bottom.
    EXPECT_TRUE(font.DrawString(u"ab", 224, 20));
    EXPECT_TRUE(font.DrawString(u"cd", 0, 310));
    EXPECT_TRUE(font.DrawString(u"e", -1, 40));
    EXPECT_TRUE(font.DrawString(u"f\u0451g", 16, 50)); // a missing glyph is '?'
    EXPECT_EQ(Drawn(), Lines({ "0,0:ab", "20,224:a", "50,16:f?g" }));

    CGlyphFont unset;
    EXPECT_FALSE(unset.DrawString(u"ab", 0, 0));
    EXPECT_EQ(unset.GetLineHeight(), 255);
    EXPECT_EQ(unset.GetFixedTextWidth(u"abcde"), -1);
    EXPECT_EQ(unset.DrawTextInRect(u"ab", -1, { 0, 0, 100, 100 }, 0, nullptr, nullptr), 0);
    EXPECT_EQ(font.GetLineHeight(), 10);
    EXPECT_EQ(font.GetFixedTextWidth(u"abcde"), 40);
}

TEST_F(GlyphFontTest, ProportionalFontStopsAtACharacterWithoutGlyph)
{
    // Glyphs '0' (columns 0-3) and '1' (4-7); '2' has no right edge, so no glyph.
    const int32_t edges[] = { 0, 4, 8 };
    CGlyphFont narrow;
    narrow.Init(&tool, kMainId, 0, encoded::kHeight, kGlyphKeyColour, u"012", 3, edges);
    EXPECT_EQ(narrow.GetFixedTextWidth(u"01"), -1);
    EXPECT_TRUE(narrow.DrawString(u"01", 0, 0));
    EXPECT_FALSE(narrow.DrawString(u"0210", 0, 20));
    EXPECT_FALSE(narrow.DrawString(u"0x", 0, 40)); // no glyph and no '?'
    // '0' is the first half of the encoded strip's first glyph ('а'), '1' its second half.
    EXPECT_EQ(Drawn(), Lines({ "0,0:а", "20,0:а[0-3]", "40,0:а[0-3]" }));
    // Rectangles need a fixed pitch.
    EXPECT_EQ(narrow.DrawTextInRect(u"01", -1, { 0, 0, 100, 100 }, 0x80, nullptr, nullptr), 0);
}

TEST_F(GlyphFontTest, InitCopiesTheTable)
{
    int32_t edges[] = { 0, 4, 8 };
    CGlyphFont f;
    EXPECT_TRUE(f.Init(&tool, kMainId, 7, 12, kGlyphKeyColour, u"01", 3, edges));
    edges[1] = 99;
    EXPECT_EQ(f.GetGlyphTable(), std::vector<int32_t>({ 0, 4, 8 }));
    EXPECT_EQ(f.GetGlyphCount(), 3);
    EXPECT_EQ(f.GetFixedWidth(), 0);
    EXPECT_EQ(f.GetClipRect().right, 240);
    EXPECT_EQ(f.GetClipRect().bottom, 320);
    // A count whose low 16 bits are 0 makes a fixed-pitch font.
    EXPECT_TRUE(f.Init(&tool, kMainId, 7, 12, kGlyphKeyColour, u"01", 0x10000, edges));
    EXPECT_TRUE(f.GetGlyphTable().empty());
    EXPECT_EQ(f.GetFixedWidth(), 7);
}

} // namespace

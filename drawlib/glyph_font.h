#pragma once
// Bitmap glyph fonts. A font draws text by copying glyph cells out of its glyph
// strip, a stored image whose id is the font id, onto the off-screen surface,
// with the font's colour value as the key colour (what is not glyph is key).
// Fixed-pitch fonts place glyph g at strip columns g * width ..; proportional
// fonts carry a table of left edges, one more than there are glyphs.
#include <cstdint>
#include <string>
#include <vector>

class CDrawTool;

// A rectangle in screen pixels; right and bottom are exclusive.
struct GlyphRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

class CGlyphFont {
public:
    // Flags of DrawTextInRect.
    enum : unsigned {
        GF_KEEP_WORDS = 0x1, // never cut a word; a line too long ends with an ellipsis
        GF_CENTRE = 0x4, // centre each line horizontally
        GF_VCENTRE = 0x10, // centre the single line vertically
        GF_PARTIAL_GLYPHS = 0x20, // draw glyphs cut by the clip's left or right edge
        GF_PARTIAL_LINES = 0x40, // draw lines only partly inside the clip vertically
        GF_WRAP = 0x80, // word-wrap into as many lines as fit
        GF_MEASURE = 0x100, // draw nothing, return the height needed
    };

    CGlyphFont() = default;

    // `glyphCount` and `table` describe a proportional font (count = number of
    // edges); without a table the font is fixed-pitch with `fixedWidth`. The
    // table is copied. The clip rectangle becomes the whole screen.
    bool Init(CDrawTool* drawTool, int fontId, int fixedWidth, int glyphHeight, uint32_t colour,
        const char16_t* glyphSet, int glyphCount, const int32_t* table);

    // The glyph height, or 255 for a font that has no draw tool yet.
    int GetLineHeight() const;
    // Width of `text` in a fixed-pitch font; -1 for a proportional font or
    // one without draw tool.
    int GetFixedTextWidth(const char16_t* text) const;

    // One line at (x, y); glyphs that do not fit on the screen are left out.
    // False without a draw tool, or when a proportional font meets a
    // character it has no glyph for.
    bool DrawString(const char16_t* text, int x, int y) const;

    // Draws `length` characters (-1: up to the terminator) into `rect` as the
    // flags say, clipped to the clip rectangle of `clipFont` (or this font's).
    // Decimal digits are drawn from `digitFont` when one is given. Returns the
    // height used, 0 when nothing could be drawn. Needs a fixed-pitch font.
    int DrawTextInRect(const char16_t* text, int length, const GlyphRect& rect, unsigned flags,
        const CGlyphFont* digitFont, const CGlyphFont* clipFont) const;
    bool DrawTextBox(const char16_t* text, int length, const GlyphRect& rect, unsigned flags,
        const CGlyphFont* digitFont, const CGlyphFont* clipFont) const
    {
        return DrawTextInRect(text, length, rect, flags, digitFont, clipFont) != 0;
    }

    const GlyphRect& GetClipRect() const { return m_clip; }
    void SetClipRect(const GlyphRect& clip) { m_clip = clip; }
    CDrawTool* GetDrawTool() const { return m_drawTool; }
    int GetFontId() const { return m_fontId; }
    uint32_t GetColour() const { return m_colour; }
    const std::u16string& GetGlyphSet() const { return m_glyphSet; }
    int GetGlyphHeight() const { return m_glyphHeight; }
    int GetGlyphCount() const { return m_glyphCount; }
    int GetFixedWidth() const { return m_fixedWidth; }
    const std::vector<int32_t>& GetGlyphTable() const { return m_glyphTable; }

    // The position of a character's glyph in the set: its own, else '?'s, else -1.
    int GlyphIndex(char16_t c) const;

private:
    // Strip column and width of a character's glyph; false when it has none.
    bool GlyphCell(char16_t c, int& column, int& width) const;
    void DrawLine(const char16_t* chars, int count, int x, int y, const GlyphRect& clip, unsigned flags,
        const CGlyphFont* digitFont) const;
    // Draws columns [columnOffset, columnOffset + width) of a character's cell
    // at (x, y), rows [sourceRow, sourceRow + rows) of the strip.
    void DrawCell(char16_t c, int x, int y, int columnOffset, int width, int sourceRow, int rows,
        const CGlyphFont* digitFont) const;

    GlyphRect m_clip;
    CDrawTool* m_drawTool = nullptr;
    int m_fontId = 0;
    uint32_t m_colour = 0;
    std::u16string m_glyphSet;
    uint8_t m_glyphHeight = 0;
    uint16_t m_glyphCount = 0;
    std::vector<int32_t> m_glyphTable;
    int m_fixedWidth = 0;
};

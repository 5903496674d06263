#include "drawlib/glyph_font.h"

#include "drawlib/draw_tool.h"
#include "foundation/screen_metrics.h"

#include <algorithm>

namespace {

constexpr char16_t kLineFeed = u'\n';
constexpr char16_t kSpace = u' ';
constexpr char16_t kEllipsis = u'\u2026';

int TextLength(const char16_t* text)
{
    return text ? static_cast<int>(std::char_traits<char16_t>::length(text)) : 0;
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

struct LineBreak {
    const char16_t* visibleEnd; // the line shows [start, visibleEnd)
    const char16_t* next; // where the next line starts; null at the end of the text
};

// Where the line that starts at `p` ends, with at most `perLine` characters
// (at least 1, so every line makes progress). Words are kept whole where a
// space allows; a first word longer than the line is cut at the limit unless
// `keepWords`, in which case it stays whole (and is cut with an ellipsis when
// drawn). Spaces at the end of a line are not part of it.
LineBreak NextLineBreak(const char16_t* p, const char16_t* end, int perLine, bool keepWords)
{
    const char16_t* limit = end - p > perLine ? p + perLine : end;
    const char16_t* candidate = p; // where the next line would start
    const char16_t* lastWordEnd = nullptr; // the first space after the last finished word
    const char16_t* wordStart = nullptr; // the word being walked, if any
    for (const char16_t* c = p; c < end; ++c) {
        if (*c == kLineFeed)
            return { wordStart ? c : (lastWordEnd ? lastWordEnd : p), c + 1 };
        bool firstSpaceAfterWord = false;
        if (*c == kSpace) {
            candidate = c;
            if (wordStart) {
                lastWordEnd = c;
                wordStart = nullptr;
                firstSpaceAfterWord = true;
            }
        } else if (!wordStart) {
            wordStart = c;
            candidate = c;
        }
        if (c < limit || firstSpaceAfterWord)
            continue;
        if (lastWordEnd)
            return { lastWordEnd, candidate };
        if (wordStart && keepWords)
            continue;
        return { c, c }; // the line's only word (or its leading spaces) is cut at the limit
    }
    return { keepWords ? end : limit, nullptr };
}

// Lines the text needs at `perLine` characters; a text that ends with a line
// feed has an empty last line.
int CountLines(const char16_t* text, const char16_t* end, int perLine, bool keepWords)
{
    int lines = 0;
    for (const char16_t* p = text; p && p < end; ++lines)
        p = NextLineBreak(p, end, perLine, keepWords).next;
    if (end > text && end[-1] == kLineFeed)
        ++lines;
    return lines;
}

GlyphRect Intersect(const GlyphRect& a, const GlyphRect& b)
{
    return { std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
        std::min(a.bottom, b.bottom) };
}

} // namespace

bool CGlyphFont::Init(CDrawTool* drawTool, int fontId, int fixedWidth, int glyphHeight, uint32_t colour,
    const char16_t* glyphSet, int glyphCount, const int32_t* table)
{
    m_clip = { 0, 0, GetScreenWidth(), GetScreenHeight() };
    m_drawTool = drawTool;
    m_fontId = fontId;
    m_glyphTable.clear();
    m_glyphCount = 0;
    m_fixedWidth = 0;
    if (table && (glyphCount & 0xFFFF) != 0) {
        m_glyphCount = static_cast<uint16_t>(glyphCount);
        m_glyphTable.assign(table, table + m_glyphCount);
    } else {
        m_fixedWidth = fixedWidth;
    }
    m_glyphHeight = static_cast<uint8_t>(glyphHeight);
    m_colour = colour;
    m_glyphSet = glyphSet ? glyphSet : u"";
    return true;
}

int CGlyphFont::GetLineHeight() const { return m_drawTool ? m_glyphHeight : 255; }

int CGlyphFont::GetFixedTextWidth(const char16_t* text) const
{
    if (!m_drawTool || !m_glyphTable.empty())
        return -1;
    return m_fixedWidth * TextLength(text);
}

int CGlyphFont::GlyphIndex(char16_t c) const
{
    size_t at = m_glyphSet.find(c);
    if (at == std::u16string::npos)
        at = m_glyphSet.find(u'?');
    return at == std::u16string::npos ? -1 : static_cast<int>(at);
}

bool CGlyphFont::GlyphCell(char16_t c, int& column, int& width) const
{
    const int g = GlyphIndex(c);
    if (g < 0)
        return false;
    if (m_glyphTable.empty()) {
        column = g * m_fixedWidth;
        width = m_fixedWidth;
        return true;
    }
    if (g + 1 >= m_glyphCount)
        return false;
    column = m_glyphTable[size_t(g)];
    width = m_glyphTable[size_t(g) + 1] - column;
    return true;
}

bool CGlyphFont::DrawString(const char16_t* text, int x, int y) const
{
    if (!m_drawTool)
        return false;
    const int screenWidth = GetScreenWidth(), screenHeight = GetScreenHeight();
    const bool proportional = !m_glyphTable.empty();
    for (const char16_t* c = text; c && *c; ++c) {
        int column = 0, width = 0;
        const bool hasGlyph = GlyphCell(*c, column, width);
        if (proportional && !hasGlyph)
            return false;
        // A glyph that would touch the right or bottom edge of the screen is left out.
        if (hasGlyph && x >= 0 && y >= 0 && x + width < screenWidth && y + m_glyphHeight < screenHeight)
            m_drawTool->MaskBlt(uint32_t(m_fontId), x, y, width, m_glyphHeight, column, 0, m_colour, false);
        x += proportional ? width : m_fixedWidth;
    }
    return true;
}

int CGlyphFont::DrawTextInRect(const char16_t* text, int length, const GlyphRect& rect, unsigned flags,
    const CGlyphFont* digitFont, const CGlyphFont* clipFont) const
{
    if (length == -1)
        length = TextLength(text);
    if (!text || length <= 0 || rect.left >= rect.right || rect.top >= rect.bottom)
        return 0;
    const int height = m_glyphHeight;
    const int width = m_fixedWidth;
    // Every column and advance comes from the fixed width: a font without one
    // (proportional, or not yet set up) cannot lay out a rectangle.
    if (!m_drawTool || width <= 0)
        return 0;
    const char16_t* end = text + length;
    const bool keepWords = flags & GF_KEEP_WORDS;
    const bool partialLines = flags & GF_PARTIAL_LINES;
    // A rectangle narrower than one glyph still takes one character per line.
    const int perLine = std::max(1, (rect.right - rect.left) / width);

    if (flags & GF_MEASURE)
        return (flags & GF_WRAP) ? CountLines(text, end, perLine, keepWords) * height : height;

    const GlyphRect clip = Intersect(rect, (clipFont ? clipFont : this)->m_clip);
    if (clip.left >= clip.right || clip.top >= clip.bottom)
        return 0;
    if (clip.bottom - clip.top < (partialLines ? 1 : height))
        return 0;
    if (clip.right - clip.left < ((flags & GF_PARTIAL_GLYPHS) ? 1 : width))
        return 0;

    if (flags & GF_WRAP) {
        int y = rect.top;
        for (const char16_t* p = text; p && p < end; y += height) {
            const int lineTop = y, lineBottom = y + height;
            if ((partialLines ? lineTop : lineBottom) > clip.bottom)
                break;
            const LineBreak line = NextLineBreak(p, end, perLine, keepWords);
            const int count = static_cast<int>(line.visibleEnd - p);
            if (count > 0 && (partialLines ? lineBottom : lineTop) >= clip.top) {
                int x = rect.left;
                const int free = (rect.right - rect.left) - count * width;
                if ((flags & GF_CENTRE) && free >= 1)
                    x += (free + 1) / 2;
                if (x < clip.right && x + count * width >= clip.left)
                    DrawLine(p, count, x, y, clip, flags, digitFont);
            }
            p = line.next;
        }
        return y - rect.top;
    }

    int y = rect.top;
    const int freeY = rect.bottom - height - rect.top;
    if ((flags & GF_VCENTRE) && freeY >= 1)
        y += (freeY + 1) / 2;
    int x = rect.left;
    const int freeX = rect.right - length * width - rect.left;
    if ((flags & GF_CENTRE) && freeX >= 1)
        x += (freeX + 1) / 2;
    if (x < clip.right && x + length * width >= clip.left
        && (partialLines || (y >= clip.top && y + height <= clip.bottom)))
        DrawLine(text, length, x, y, clip, flags, digitFont);
    return y + height - rect.top;
}

void CGlyphFont::DrawLine(const char16_t* chars, int count, int x, int y, const GlyphRect& clip,
    unsigned flags, const CGlyphFont* digitFont) const
{
    const int width = m_fixedWidth;
    const int top = std::max(y, clip.top);
    const int skipped = y < clip.top ? clip.top - y : 0;
    // Rows past the clip's bottom are not drawn either, so a partly visible
    // last line stays inside the clip.
    const int rows = std::min(y + m_glyphHeight, clip.bottom) - top;
    if (rows <= 0)
        return;

    int i = 0;
    while (i < count && x + width <= clip.left) {
        x += width;
        ++i;
    }
    if (i < count && x < clip.left) {
        if (flags & GF_PARTIAL_GLYPHS)
            DrawCell(chars[i], clip.left, top, clip.left - x, std::min(x + width, clip.right) - clip.left,
                skipped, rows, digitFont);
        x += width;
        ++i;
    }

    const int remaining = count - i;
    const int fit = x < clip.right ? (clip.right - x) / width : 0;
    int drawn = remaining;
    if (remaining > fit)
        drawn = (flags & GF_KEEP_WORDS) ? std::max(0, fit - 1) : fit;
    for (int k = 0; k < drawn; ++k)
        DrawCell(chars[i + k], x + k * width, top, 0, width, skipped, rows, digitFont);
    if (remaining <= fit)
        return;
    const int at = x + drawn * width;
    if (flags & GF_KEEP_WORDS) {
        if (fit >= 1)
            DrawCell(kEllipsis, at, top, 0, width, skipped, rows, nullptr);
    } else if ((flags & GF_PARTIAL_GLYPHS) && at < clip.right) {
        DrawCell(chars[i + drawn], at, top, 0, clip.right - at, skipped, rows, digitFont);
    }
}

void CGlyphFont::DrawCell(char16_t c, int x, int y, int columnOffset, int width, int sourceRow, int rows,
    const CGlyphFont* digitFont) const
{
    if (c == kSpace)
        return;
    const CGlyphFont& source = digitFont && IsDigit(c) ? *digitFont : *this;
    int column = 0, cellWidth = 0;
    if (!source.GlyphCell(c, column, cellWidth))
        return;
    // Never take columns of the neighbouring glyph of the strip.
    width = std::min(width, cellWidth - columnOffset);
    if (width <= 0)
        return;
    m_drawTool->MaskBlt(uint32_t(source.m_fontId), x, y, width, rows, column + columnOffset, sourceRow,
        source.m_colour, false);
}

#include "ui/element_drawing.h"

#include "drawlib/screen_draw_tool.h"

namespace {
GlyphRect ToGlyphRect(const ElementRect& r) { return { r.left, r.top, r.right, r.bottom }; }
} // namespace

ElementSize GetImageSize(CDrawTool* tool, int id)
{
    ElementSize size;
    if (tool && id >= 0 && tool->GetCanvas()
        && tool->GetCanvas()->GetImageSize(static_cast<uint32_t>(id), size.cx, size.cy))
        return size;
    return {};
}

void DrawKeyedImage(CDrawTool* tool, int id, int x, int y, const ElementSize& size, int alpha)
{
    if (tool && id >= 0)
        tool->MaskBlt(static_cast<uint32_t>(id), x, y, size.cx, size.cy, 0, 0, kImageKeyColour, 0,
            static_cast<uint32_t>(alpha), false);
}

bool DrawKeyedImage(CDrawTool* tool, int id, int x, int y, int alpha)
{
    const ElementSize size = GetImageSize(tool, id);
    if (size.cx <= 0 || size.cy <= 0)
        return false;
    DrawKeyedImage(tool, id, x, y, size, alpha);
    return true;
}

void FillRectAlpha(CDrawTool* tool, int x, int y, int width, int height, uint32_t colour, int alpha)
{
    if (tool)
        tool->FillSolidRect(x, y, width, height, colour, static_cast<unsigned>(alpha), false);
}

void DrawRectOutline(CDrawTool* tool, int x, int y, int width, int height, uint32_t colour)
{
    if (tool)
        tool->DrawRect(x, y, width, height, colour, false);
}

void DrawLineOn(CDrawTool* tool, int x1, int y1, int x2, int y2, uint32_t colour)
{
    if (tool)
        tool->DrawLine(x1, y1, x2, y2, colour, false);
}

CGlyphFont* GetToolFont(int id) { return &g_drawTool->GetFont(id); }

int FontLineHeight(CGlyphFont* font) { return font ? font->GetLineHeight() : 255; }

int FontFixedTextWidth(CGlyphFont* font, const QString& text)
{
    return font ? font->GetFixedTextWidth(reinterpret_cast<const char16_t*>(text.utf16())) : -1;
}

int FontDrawTextInRect(
    CGlyphFont* font, const QString& text, const ElementRect& rect, int flags, CGlyphFont* digitFont)
{
    if (!font || text.isEmpty())
        return 0;
    return font->DrawTextInRect(reinterpret_cast<const char16_t*>(text.utf16()),
        static_cast<int>(text.size()), ToGlyphRect(rect), static_cast<unsigned>(flags), digitFont, nullptr);
}

bool FontDrawTextBox(
    CGlyphFont* font, const QString& text, const ElementRect& rect, int flags, CGlyphFont* digitFont)
{
    return FontDrawTextInRect(font, text, rect, flags, digitFont) != 0;
}

bool FontDrawString(CGlyphFont* font, const QString& text, int x, int y)
{
    return font && font->DrawString(reinterpret_cast<const char16_t*>(text.utf16()), x, y);
}

#include "ui/element_drawing.h"

// Until the screen draw tool is linked in there is nothing to draw on: every
// call is the no-tool case.

ElementSize GetImageSize(CDrawTool*, int) { return {}; }

void DrawKeyedImage(CDrawTool*, int, int, int, const ElementSize&, int) { }

bool DrawKeyedImage(CDrawTool*, int, int, int, int) { return false; }

void FillRectAlpha(CDrawTool*, int, int, int, int, uint32_t, int) { }

void DrawRectOutline(CDrawTool*, int, int, int, int, uint32_t) { }

void DrawLineOn(CDrawTool*, int, int, int, int, uint32_t) { }

CGlyphFont* GetToolFont(int) { return nullptr; }

int FontLineHeight(CGlyphFont*) { return 255; }

int FontFixedTextWidth(CGlyphFont*, const QString&) { return -1; }

int FontDrawTextInRect(CGlyphFont*, const QString&, const ElementRect&, int, CGlyphFont*) { return 0; }

bool FontDrawTextBox(CGlyphFont* font, const QString& text, const ElementRect& rect, int flags, CGlyphFont* digitFont)
{
    return FontDrawTextInRect(font, text, rect, flags, digitFont) != 0;
}

bool FontDrawString(CGlyphFont*, const QString&, int, int) { return false; }

#pragma once
// The few drawing calls the screen elements make, in one place: stored images
// with the magenta key, filled and outlined rectangles, lines and glyph-font
// text, all on the off-screen surface. Every call accepts a missing draw tool,
// font or image and then draws nothing (sizes read 0).
#include "ui/screen_element.h"

#include <QString>
#include <cstdint>

class CGlyphFont;

struct ElementRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool operator==(const ElementRect&) const = default;
};

// Draw-tool colours: byte 0 red, byte 1 green, byte 2 blue.
inline constexpr uint32_t kColourWhite = 0xFFFFFFFFu;
inline constexpr uint32_t kColourBlack = 0x000000u;
inline constexpr uint32_t kImageKeyColour = 0xFF00FF;

// Size of stored image `id`; (0, 0) when it does not exist.
ElementSize GetImageSize(CDrawTool* tool, int id);
// Draws image `id` at (x, y) in the given size with the magenta key and alpha.
void DrawKeyedImage(CDrawTool* tool, int id, int x, int y, const ElementSize& size, int alpha);
// Draws image `id` at (x, y) in its own size; false when it does not exist.
bool DrawKeyedImage(CDrawTool* tool, int id, int x, int y, int alpha);
void FillRectAlpha(CDrawTool* tool, int x, int y, int width, int height, uint32_t colour, int alpha);
void DrawRectOutline(CDrawTool* tool, int x, int y, int width, int height, uint32_t colour);
void DrawLineOn(CDrawTool* tool, int x1, int y1, int x2, int y2, uint32_t colour);

// The draw tool's glyph font by id (196 for an unknown id); null before the
// draw tool exists.
CGlyphFont* GetToolFont(int id);
int FontLineHeight(CGlyphFont* font);
int FontFixedTextWidth(CGlyphFont* font, const QString& text);
int FontDrawTextInRect(CGlyphFont* font, const QString& text, const ElementRect& rect, int flags,
    CGlyphFont* digitFont = nullptr);
bool FontDrawTextBox(CGlyphFont* font, const QString& text, const ElementRect& rect, int flags,
    CGlyphFont* digitFont = nullptr);
bool FontDrawString(CGlyphFont* font, const QString& text, int x, int y);

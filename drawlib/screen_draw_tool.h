#pragma once
// The program's one draw tool: the draw tool plus the five glyph fonts the
// interface writes its text with.
#include "drawlib/draw_tool.h"
#include "drawlib/glyph_font.h"
#include "platform/process_object.h"

class CScreenDrawTool : public CDrawTool {
public:
    CScreenDrawTool() = default;
    ~CScreenDrawTool() override = default;

    // Sets the resolution flags, makes the buffer for `owner` (its result is
    // not examined: a tool without buffer draws nothing) and sets up the fonts.
    void Init(platform::Display* owner, bool fullScreen);

    // Fonts 217, 758, 761 and 795 by id; any other id gives font 196.
    CGlyphFont& GetFont(int fontId);

    // Waits for a frame being copied to the screen to finish before the
    // buffer goes (the draw thread copies under the drawing lock).
    void DestroyBuffer();

private:
    CGlyphFont m_font761;
    CGlyphFont m_font196;
    CGlyphFont m_font758;
    CGlyphFont m_font795;
    CGlyphFont m_font217;
};

// The program's draw tool, built by the application's start-up list.
inline platform::ProcessObject<CScreenDrawTool> g_drawTool;

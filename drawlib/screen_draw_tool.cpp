#include "drawlib/screen_draw_tool.h"

#include "drawlib/glyph_sets.h"
#include "foundation/draw_suspender.h"
#include "foundation/page_image_list.h"
#include "foundation/screen_metrics.h"

#include <array>

void CScreenDrawTool::Init(platform::Display* owner, bool fullScreen)
{
    m_mode = MODE_WAPI;
    const int resolutionClass = GetScreenResolutionClass();
    SetFlags(resolutionClass == 1 ? FLAG_RESOLUTION_1 : FLAG_RESOLUTION_2);
    m_owner = owner;
    CreateBuffer(fullScreen);

    for (const GlyphFontMetrics& metrics : kGlyphFonts) {
        const int height = ScaleByDpiY(metrics.height);
        if (metrics.digits) {
            std::array<int32_t, kDigitFontEdges.size()> edges {};
            for (size_t i = 0; i < edges.size(); ++i)
                edges[i] = ScaleByDpiX(kDigitFontEdges[i]);
            GetFont(metrics.id)
                .Init(this, metrics.id, 0, height, kGlyphKeyColour, kDigitGlyphSet,
                    static_cast<int>(edges.size()), edges.data());
        } else {
            GetFont(metrics.id)
                .Init(this, metrics.id, GlyphFontWidth(metrics, resolutionClass, ScaleByDpiX), height,
                    kGlyphKeyColour, kTextGlyphSet, kTextGlyphCount, nullptr);
        }
    }
    // Pages that let their header pictures go empty the program's bitmap cache.
    SetCachedBitmapReleaser([] {
        if (g_drawTool)
            g_drawTool->DeleteHBITMAPs();
    });
}

CGlyphFont& CScreenDrawTool::GetFont(int fontId)
{
    switch (fontId) {
    case FONT_DIGITS:
        return m_font217;
    case FONT_TEXT:
        return m_font758;
    case FONT_TITLE:
        return m_font761;
    case FONT_NUMBER:
        return m_font795;
    default:
        return m_font196;
    }
}

void CScreenDrawTool::DestroyBuffer()
{
    // A suspended draw thread already waits outside the lock; otherwise take
    // the lock, which the draw thread holds for the whole of a frame's copy.
    const bool suspended = g_drawSuspender.IsSuspended();
    if (!suspended)
        while (!g_drawSuspender.LockDrawing(1000)) { }
    CDrawTool::DestroyBuffer();
    if (!suspended)
        g_drawSuspender.UnlockDrawing();
}

#include "ui/framed_element.h"

#include "foundation/screen_metrics.h"

platform::CriticalSection g_widgetLock;

namespace {
enum : int { EDGE_LEFT = 1, EDGE_RIGHT = 2, EDGE_TOP = 4, EDGE_BOTTOM = 8 };

// A box cut by the screen's edges: the white fill over what is on the screen
// and a black line along each edge that is on it. A box cut at the top or the
// bottom is drawn the same way as one cut at the side.
void DrawClippedBox(CDrawTool* surface, const ElementPoint& p, const ElementSize& s, int alpha)
{
    const int w = GetScreenWidth(), h = GetScreenHeight();
    int edges = 0;
    int left = p.x, top = p.y, right = p.x + s.cx - 1, bottom = p.y + s.cy - 1;
    if (p.x >= 0)
        edges |= EDGE_LEFT;
    else
        left = 0;
    if (right <= w - 1 && right > 0)
        edges |= EDGE_RIGHT;
    else
        right = right <= 0 ? 0 : w - 1;
    if (p.y >= 0)
        edges |= EDGE_TOP;
    else
        top = 0;
    if (bottom <= h - 1 && bottom > 0)
        edges |= EDGE_BOTTOM;
    else
        bottom = bottom <= 0 ? 0 : h - 1;
    if (left >= right || top >= bottom)
        return;
    FillRectAlpha(surface, left, top, right - left + 1, bottom - top + 1, kColourWhite, alpha);
    if (edges == (EDGE_LEFT | EDGE_RIGHT | EDGE_TOP | EDGE_BOTTOM)) {
        DrawRectOutline(surface, p.x, p.y, s.cx, s.cy, kColourBlack);
        return;
    }
    if (edges & EDGE_LEFT)
        DrawLineOn(surface, left, top, left, bottom, kColourBlack);
    if (edges & EDGE_RIGHT)
        DrawLineOn(surface, right, top, right, bottom, kColourBlack);
    if (edges & EDGE_TOP)
        DrawLineOn(surface, left, top, right, top, kColourBlack);
    if (edges & EDGE_BOTTOM)
        DrawLineOn(surface, left, bottom, right, bottom, kColourBlack);
}
}

void CFramedElement::Draw()
{
    if (GetState() == STATE_HIDDEN)
        return;
    platform::CSLock lock(g_widgetLock);
    ElementPoint position;
    ElementSize size;
    GetPosition(position);
    GetSize(size);
    int style = 0;
    GetFrameStyle(position, size, style);
    if (style & (FRAME_BOXED | FRAME_CLIPPED)) {
        if (style & FRAME_BOXED) {
            FillRectAlpha(m_surface, position.x, position.y, size.cx, size.cy, kColourWhite, GetAlpha());
            DrawRectOutline(m_surface, position.x, position.y, size.cx, size.cy, kColourBlack);
        } else {
            DrawClippedBox(m_surface, position, size, GetAlpha());
        }
        position = { position.x + 1, position.y + 1 };
        size = { size.cx - 2, size.cy - 2 };
    }
    if (style & FRAME_CONTENT)
        DrawContent(position, size);
}

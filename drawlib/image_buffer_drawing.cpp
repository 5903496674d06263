// The drawing operations of CImageBuffer: they need the draw tool, so they live
// with the drawing library, while the buffer itself is a foundation type.
#include "drawlib/draw_tool.h"
#include "drawlib/screen_draw_tool.h"
#include "drawlib/surface_image.h"
#include "foundation/image_buffer.h"

namespace {

// Picks the tool to draw with. A buffer without a tool of its own takes own
// pixels of the source tool's screen geometry first; when that fails nothing
// may be drawn (it would land in the frame instead).
CDrawTool* prepareTarget(CImageBuffer& target, const CImageBuffer& source)
{
    if (CDrawTool* own = target.GetSurface())
        return own;
    CDrawTool* tool = source.GetSurface();
    if (!tool)
        return nullptr;
    const CImageRows& screen = tool->GetOffscreenSurface();
    if (!target.EnsurePixels(screen.GetWidth(), screen.GetHeight(), screen.GetStride(), target.GetRows()))
        return nullptr;
    return tool;
}

} // namespace

bool CImageBuffer::DrawAt(int x, int y, const CImageBuffer& source)
{
    if (!m_surface)
        return false;
    const CImageView& v = source.GetView();
    if (OwnsPixels())
        m_surface->BlitImageTo(v.pixels, v.width, v.height, v.stride, x, y, kNoBackground, true, m_rows);
    else
        m_surface->BlitImage(v.pixels, v.width, v.height, v.stride, x, y, kNoBackground, true, false);
    return true;
}

bool CImageBuffer::DrawFrom(const CImageBuffer& source)
{
    CDrawTool* tool = prepareTarget(*this, source);
    if (!tool)
        return true;
    const CImageView& v = source.GetView();
    if (OwnsPixels())
        tool->CopyImageTo(v.pixels, v.width, v.height, v.stride, true, m_rows);
    else
        tool->CopyImage(v.pixels, v.width, v.height, v.stride, true, false);
    return true;
}

bool CImageBuffer::DrawFromScaled(const CImageBuffer& source, double scale)
{
    CDrawTool* tool = prepareTarget(*this, source);
    if (!tool)
        return true;
    const CImageView& v = source.GetView();
    if (OwnsPixels())
        tool->StretchImageTo(v.pixels, v.width, v.height, v.stride, scale, kNoBackground, true, m_rows);
    else
        tool->StretchImage(v.pixels, v.width, v.height, v.stride, scale, kNoBackground, true, false);
    return true;
}

void CSurfaceImage::AttachToSurface(CDrawTool* drawTool)
{
    if (!drawTool)
        return;
    Attach(drawTool);
    const CImageRows& screen = drawTool->GetOffscreenSurface();
    AttachPixels(GetBits(), screen.GetWidth(), screen.GetHeight(), screen.GetStride(), drawTool);
}

CDrawTool* GetScreenDrawTool() { return g_drawTool.get(); }

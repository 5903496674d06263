#include "kernel/render/clipped_image.h"

#include <algorithm>

#include "kernel/render/line_painter.h"

int32_t CZXS_ClippedImage::Create(int32_t width, int32_t height, uint32_t colour)
{
    const int32_t error = CZX_Image::Create(width, height, colour);
    if (error != 0) {
        m_clip = {};
        return error;
    }
    m_clip = { 0, 0, width - 1, height - 1 };
    m_colours[kBlack] = 0;
    m_colours[kWhite] = CZX_Surface565::Colour565(255, 255, 255);
    m_colours[kRed] = CZX_Surface565::Colour565(255, 0, 0);
    return 0;
}

void CZXS_ClippedImage::SetClipRect(const ZXS_ScreenRect& rect)
{
    m_clip = { std::max(rect.left, 0), std::max(rect.top, 0), std::min(rect.right, Width() - 1),
        std::min(rect.bottom, Height() - 1) };
}

void CZXS_ClippedImage::DrawLine(const ZXS_Segment& segment)
{
    if (m_clip.right < m_clip.left || m_clip.bottom < m_clip.top)
        return;
    ZXS_Segment clipped = segment;
    if (ClipSegment(m_clip, clipped))
        CZX_Image::DrawLine(clipped);
}

#include "kernel/render/image_foundation.h"

#include <algorithm>
#include <new>

#include "kernel/api/result_codes.h"

int32_t CZX_ImageFoundation::Create(int32_t width, int32_t height, uint32_t colour)
{
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide)
        return ZXS_ERR_PARAM;
    if (static_cast<int64_t>(width) * height > kMaxPixels)
        return ZXS_ERR_IMAGESIZE;
    Destroy();
    std::unique_ptr<CZX_Surface565> surface(new (std::nothrow) CZX_Surface565);
    if (!surface)
        return ZXS_ERR_MEMORY;
    if (const int32_t error = surface->Create(width, height); error != 0)
        return error;
    m_surface = std::move(surface);
    FillRect(0, 0, width - 1, height - 1, CZX_Surface565::ColourFromBgr(colour));
    return 0;
}

void CZX_ImageFoundation::Destroy() { m_surface.reset(); }

void CZX_ImageFoundation::FillRect(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint16_t colour)
{
    if (!m_surface)
        return;
    if (y0 > y1)
        std::swap(y0, y1);
    y0 = std::max(y0, 0);
    y1 = std::min(y1, m_surface->Height() - 1);
    for (int32_t y = y0; y <= y1; ++y)
        m_surface->FillRun(y, x0, x1, colour);
}

int64_t CZX_ImageFoundation::ByteSize(int32_t bitsPerPixel) const
{
    if (!m_surface)
        return 0;
    return CZX_Surface565::TotalSizeFor(m_surface->Width(), m_surface->Height(),
        bitsPerPixel > 0 ? bitsPerPixel : CZX_Surface565::kBitsPerPixel);
}

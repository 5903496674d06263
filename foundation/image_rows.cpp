#include "foundation/image_rows.h"

void CImageRows::Attach(uint8_t* pixels, int width, int height, int stride)
{
    if (width < 0)
        width = 0;
    if (height < 0)
        height = 0;
    m_pixels = pixels;
    m_width = width;
    m_height = height;
    m_stride = stride;
    if (m_rows.size() < static_cast<size_t>(height))
        m_rows.assign(static_cast<size_t>(height), nullptr);
    uint8_t* row = FirstRowOf(pixels, height, stride);
    for (int i = 0; i < height; ++i) {
        m_rows[static_cast<size_t>(i)] = row;
        if (row)
            row += stride;
    }
}

void CImageRows::Detach()
{
    m_pixels = nullptr;
    m_width = m_height = m_stride = 0;
}

#include "kernel/render/surface565.h"

#include <new>
#include <utility>

#include "kernel/api/result_codes.h"
#include "kernel/doc/kernel_memory.h"

int32_t CZX_Surface565::Create(int32_t width, int32_t height)
{
    Release();
    if (width < 1 || height < 1)
        return ZXS_ERR_MEMORY;
    m_width = width;
    m_height = height;
    m_pixels = static_cast<uint16_t*>(ZXS_MemAlloc(static_cast<size_t>(TotalSize())));
    if (m_pixels == nullptr) {
        Release();
        return ZXS_ERR_MEMORY;
    }
    m_stride = static_cast<int32_t>(StrideFor(width, kBitsPerPixel));
    try {
        m_rowOffsets.resize(static_cast<size_t>(height));
    } catch (const std::bad_alloc&) {
        Release();
        return ZXS_ERR_MEMORY;
    }
    for (int32_t y = 0; y < height; ++y)
        m_rowOffsets[static_cast<size_t>(y)] = (height - 1 - y) * m_stride;
    return 0;
}

void CZX_Surface565::Release()
{
    ZXS_MemFree(m_pixels);
    m_pixels = nullptr;
    std::vector<int32_t>().swap(m_rowOffsets);
    m_width = 0;
    m_height = 0;
    m_stride = 0;
    m_cursorX = -1;
    m_cursorY = -1;
    m_cursorOffset = -1;
}

void CZX_Surface565::SetCursor(int32_t x, int32_t y)
{
    if (!Contains(x, y)) {
        m_cursorX = -1;
        m_cursorY = -1;
        m_cursorOffset = -1;
        return;
    }
    m_cursorX = x;
    m_cursorY = y;
    m_cursorOffset = RowOffset(y) + OffsetOfX(x);
}

int32_t CZX_Surface565::Step()
{
    const int32_t old = m_cursorOffset;
    if (m_cursorOffset < 0)
        return old;
    if (m_cursorX + 1 >= m_width) {
        // Stepping off the row leaves the cursor unset rather than on the next row.
        SetCursor(-1, -1);
        return old;
    }
    ++m_cursorX;
    m_cursorOffset += kBytesPerPixel;
    return old;
}

uint16_t CZX_Surface565::Shade(uint32_t alpha)
{
    if (m_cursorOffset < 0)
        return 0;
    uint16_t& pixel = m_pixels[m_cursorOffset / kBytesPerPixel];
    pixel = Shade565(pixel, alpha);
    return pixel;
}

void CZX_Surface565::WriteAtCursor(uint16_t colour)
{
    if (m_cursorOffset >= 0)
        m_pixels[m_cursorOffset / kBytesPerPixel] = colour;
}

void CZX_Surface565::FillRun(int32_t row, int32_t x0, int32_t x1, uint16_t colour)
{
    if (row < 0 || row >= m_height)
        return;
    if (x0 > x1)
        std::swap(x0, x1);
    if (x0 < 0)
        x0 = 0;
    if (x1 >= m_width)
        x1 = m_width - 1;
    uint16_t* p = Row(row);
    for (int32_t x = x0; x <= x1; ++x)
        p[x] = colour;
}

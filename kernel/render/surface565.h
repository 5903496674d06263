#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "kernel/render/surface.h"

// A 16-bit 5-6-5 surface in plain memory. Rows are stored bottom-up, as in a
// device-independent bitmap: screen row y starts at byte (height - 1 - y) * stride,
// so stepping one row down the screen subtracts the stride.
class CZX_Surface565 final : public CZX_Surface {
public:
    static constexpr uint8_t kBitsPerPixel = 16;
    static constexpr uint8_t kPlanes = 1;
    static constexpr uint8_t kBytesPerPixel = 2;

    CZX_Surface565() = default;
    ~CZX_Surface565() override { Release(); }

    // 0, or ZXS_ERR_MEMORY when memory fails (nothing stays allocated then).
    int32_t Create(int32_t width, int32_t height);
    void Release() override;

    static constexpr uint16_t Colour565(uint32_t red, uint32_t green, uint32_t blue)
    {
        return static_cast<uint16_t>(
            (((red & 0xff) >> 3) << 11) | ((green & 0xfc) << 3) | ((blue & 0xff) >> 3));
    }
    // A colour of the kernel interface, 0x00BBGGRR.
    static constexpr uint16_t ColourFromBgr(uint32_t bgr)
    {
        return Colour565(bgr & 0xff, (bgr >> 8) & 0xff, (bgr >> 16) & 0xff);
    }
    static constexpr uint16_t Blend565(uint16_t foreground, uint16_t background, uint32_t alpha)
    {
        if (alpha > 240)
            return foreground;
        if (alpha < 16)
            return background;
        const uint32_t inverse = 255 - alpha;
        const uint32_t r = (((background >> 11) & 0x1f) * inverse + ((foreground >> 11) & 0x1f) * alpha) >> 8;
        const uint32_t g = (((background >> 5) & 0x3f) * inverse + ((foreground >> 5) & 0x3f) * alpha) >> 8;
        const uint32_t b = ((background & 0x1f) * inverse + (foreground & 0x1f) * alpha) >> 8;
        return static_cast<uint16_t>((r << 11) | (g << 5) | b);
    }
    static constexpr uint16_t Shade565(uint16_t pixel, uint32_t alpha)
    {
        if (alpha > 240)
            return 0;
        const uint32_t inverse = 255 - alpha;
        const uint32_t r = (((pixel >> 11) & 0x1f) * inverse) >> 8;
        const uint32_t g = (((pixel >> 5) & 0x3f) * inverse) >> 8;
        const uint32_t b = ((pixel & 0x1f) * inverse) >> 8;
        return static_cast<uint16_t>((r << 11) | (g << 5) | b);
    }

    int32_t Step() override;
    uint16_t MakeColour(uint32_t red, uint32_t green, uint32_t blue) const override
    {
        return Colour565(red, green, blue);
    }
    uint16_t Blend(uint16_t foreground, uint16_t background, uint32_t alpha) const override
    {
        return Blend565(foreground, background, alpha);
    }
    uint16_t Shade(uint32_t alpha) override;
    int32_t OffsetOfX(int32_t x) const override { return x * kBytesPerPixel; }
    uint16_t PixelAtOffset(int32_t offset) const override { return m_pixels[offset / kBytesPerPixel]; }
    void WriteAtCursor(uint16_t colour) override;
    void FillRun(int32_t row, int32_t x0, int32_t x1, uint16_t colour) override;

    // Places the cursor on a pixel; outside the surface the cursor is unset and
    // writes through it do nothing.
    void SetCursor(int32_t x, int32_t y);
    int32_t CursorX() const { return m_cursorX; }
    int32_t CursorY() const { return m_cursorY; }

    int32_t Width() const { return m_width; }
    int32_t Height() const { return m_height; }
    int32_t Stride() const { return m_stride; }
    bool Contains(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < m_width && y < m_height; }
    // Byte offset of the start of screen row y.
    int32_t RowOffset(int32_t y) const { return m_rowOffsets[static_cast<size_t>(y)]; }
    uint8_t* Bits() { return reinterpret_cast<uint8_t*>(m_pixels); }
    const uint8_t* Bits() const { return reinterpret_cast<const uint8_t*>(m_pixels); }

    // Direct pixel access for the painters; the caller keeps (x, y) inside.
    uint16_t* Row(int32_t y) { return m_pixels + RowOffset(y) / kBytesPerPixel; }
    const uint16_t* Row(int32_t y) const { return m_pixels + RowOffset(y) / kBytesPerPixel; }
    uint16_t Pixel(int32_t x, int32_t y) const { return Row(y)[x]; }
    void SetPixel(int32_t x, int32_t y, uint16_t colour) { Row(y)[x] = colour; }

    static int64_t StrideFor(int32_t width, int32_t bitsPerPixel)
    {
        return ((static_cast<int64_t>(width) * bitsPerPixel + 31) / 32) * 4;
    }
    static int64_t TotalSizeFor(int32_t width, int32_t height, int32_t bitsPerPixel)
    {
        return kPlanes * StrideFor(width, bitsPerPixel) * height;
    }
    int64_t TotalSize() const { return TotalSizeFor(m_width, m_height, kBitsPerPixel); }

private:
    uint16_t* m_pixels = nullptr;
    int32_t m_cursorX = -1;
    int32_t m_cursorY = -1;
    int32_t m_cursorOffset = -1;
    int32_t m_width = 0;
    int32_t m_height = 0;
    std::vector<int32_t> m_rowOffsets;
    int32_t m_stride = 0;
};

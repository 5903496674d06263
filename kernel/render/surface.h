#pragma once

#include <cstdint>

// Pixel surface under a kernel image. RGB565 is the only kind the kernel draws
// into; the image talks to the concrete kind directly on its hot paths.
class CZX_Surface {
public:
    CZX_Surface() = default;
    CZX_Surface(const CZX_Surface&) = delete;
    CZX_Surface& operator=(const CZX_Surface&) = delete;
    virtual ~CZX_Surface() = default;

    virtual void Release() = 0;
    // Moves the cursor one pixel right; returns the old byte offset.
    virtual int32_t Step() = 0;
    virtual uint16_t MakeColour(uint32_t red, uint32_t green, uint32_t blue) const = 0;
    virtual uint16_t Blend(uint16_t foreground, uint16_t background, uint32_t alpha) const = 0;
    // Darkens the pixel at the cursor by `alpha` (0..255) and returns it.
    virtual uint16_t Shade(uint32_t alpha) = 0;
    virtual int32_t OffsetOfX(int32_t x) const = 0;
    virtual uint16_t PixelAtOffset(int32_t offset) const = 0;
    virtual void WriteAtCursor(uint16_t colour) = 0;
    // Pixels x0..x1 of one row, inclusive.
    virtual void FillRun(int32_t row, int32_t x0, int32_t x1, uint16_t colour) = 0;
};

#pragma once
// The drawing engine's interface: one target surface, 16-bit pixels, logical
// coordinates mapped through an orientation. Colours as in rgb565.h; a
// background colour with alpha 0 means no background.
#include <cstdint>

class CCanvas {
public:
    virtual ~CCanvas() = default;

    virtual void Clear(uint32_t colour) = 0;
    virtual void StretchCopy(
        const void* pixels, int width, int height, int stride, double scale, uint32_t background)
        = 0;
    virtual void BlitRows(
        const void* pixels, int width, int height, int stride, int x, int y, uint32_t background)
        = 0;
    virtual void CopyRows(const void* pixels, int width, int height, int stride, uint32_t background) = 0;
    virtual bool DrawImage(uint32_t id, int x, int y, int sourceX, int sourceY, int width, int height) = 0;
    virtual bool DrawImageKey(
        uint32_t id, int x, int y, int sourceX, int sourceY, int width, int height, uint32_t key)
        = 0;
    virtual bool DrawImageKeyAlpha(uint32_t id, int x, int y, int sourceX, int sourceY, int width, int height,
        uint32_t key, unsigned alpha)
        = 0;
    virtual void DrawRect(int x1, int y1, int x2, int y2, uint32_t colour) = 0;
    virtual void DrawLine(int x1, int y1, int x2, int y2, uint32_t colour) = 0;
    virtual void FillRect(int x1, int y1, int x2, int y2, uint32_t colour) = 0;
    virtual int Reserved(int value) = 0;
    virtual void SetPixel(int x, int y, uint32_t colour) = 0;
    // The colour at (x, y) with alpha 0xFF, or -1 outside the surface.
    virtual int32_t GetPixel(int x, int y) = 0;
    virtual void StretchImage(
        const void* pixels, int width, int height, int stride, double scale, uint32_t background)
        = 0;
    virtual void BlitAt(
        const void* pixels, int width, int height, int stride, int x, int y, uint32_t background)
        = 0;
    virtual void CopyOriented(const void* pixels, int width, int height, int stride, uint32_t background) = 0;
    virtual int GetPixelFormat() const = 0;
    virtual int GetBytesPerPixel() const = 0;
};

// Pixel-format ids of displays and bitmap sources.
enum PixelFormatId : int {
    kPixelFormat555 = 0,
    kPixelFormat565 = 1,
    kPixelFormatBGR24 = 3,
    kPixelFormat32RedLow = 4,
    kPixelFormat32RedMid = 5,
    kPixelFormat32Other = 6,
    kPixelFormatBGRX32 = 7,
    kPixelFormatPalette8 = 8,
    kPixelFormatPalette4 = 9,
    kPixelFormatPalette1 = 10,
    kPixelFormatOther = 11,
};

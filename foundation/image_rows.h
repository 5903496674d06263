#pragma once
// A drawing surface: a block of 16-bit pixels and a table of row pointers
// over it. The stride is the signed byte distance from one row to the next;
// with a negative stride the rows are stored bottom-up and `pixels` is the
// lowest-addressed byte of the block, so row 0 starts at pixels - stride * (height - 1).
#include <cstddef>
#include <cstdint>
#include <vector>

class CImageRows {
public:
    CImageRows() = default;

    void Attach(uint8_t* pixels, int width, int height, int stride);
    // Forgets the pixels and geometry; the row table keeps its room.
    void Detach();

    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    int GetStride() const { return m_stride; }
    int GetPitch() const { return m_stride; }
    uint8_t* GetPixels() const { return m_pixels; }
    int GetCapacity() const { return static_cast<int>(m_rows.size()); }

    // Start of row y (0 <= y < height).
    uint8_t* Row(int y) const { return m_rows[static_cast<size_t>(y)]; }
    uint16_t* PixelRow(int y) const { return reinterpret_cast<uint16_t*>(m_rows[static_cast<size_t>(y)]); }
    bool HasPixels() const { return m_pixels && m_width > 0 && m_height > 0; }

private:
    uint8_t* m_pixels = nullptr;
    std::vector<uint8_t*> m_rows;
    int m_width = 0;
    int m_height = 0;
    int m_stride = 0;
};

// Where row 0 of a block starts under the stride convention above.
inline uint8_t* FirstRowOf(uint8_t* pixels, int height, int stride)
{
    if (stride < 0 && height > 0 && pixels)
        return pixels - static_cast<std::ptrdiff_t>(stride) * (height - 1);
    return pixels;
}

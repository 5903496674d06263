#pragma once
// A small surface of 16-bit pixels with the row table over it, for canvas tests.
#include "drawlib/canvas565.h"
#include "drawlib/rgb565.h"
#include "foundation/image_rows.h"

#include <cstdint>
#include <cstring>
#include <set>
#include <utility>
#include <vector>

struct TestSurface {
    // strideBytes 0: 2 * width rounded up to 4; negative: rows stored bottom-up.
    TestSurface(int w, int h, int strideBytes = 0, uint16_t fill = 0)
        : width(w)
        , height(h)
    {
        stride = strideBytes ? strideBytes : (w * 2 + 3) / 4 * 4;
        const size_t bytes = size_t(stride < 0 ? -stride : stride) * h;
        block.assign(bytes / 2 + 1, fill);
        rows.Attach(reinterpret_cast<uint8_t*>(block.data()), w, h, stride);
    }
    uint16_t At(int x, int y) const
    {
        uint16_t p;
        std::memcpy(&p, rows.Row(y) + 2 * x, 2);
        return p;
    }
    void Set(int x, int y, uint16_t p) { std::memcpy(rows.Row(y) + 2 * x, &p, 2); }
    // Surface pixels that differ from `background`.
    std::set<std::pair<int, int>> Marked(uint16_t background = 0) const
    {
        std::set<std::pair<int, int>> out;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (At(x, y) != background)
                    out.insert({ x, y });
        return out;
    }
    void Fill(uint16_t p)
    {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                Set(x, y, p);
    }

    int width, height, stride;
    std::vector<uint16_t> block;
    CImageRows rows;
};

// The opaque colour whose pixel is exactly p.
inline uint32_t ColourOf(uint16_t p)
{
    return UnpackRed(p) | UnpackGreen(p) << 8 | UnpackBlue(p) << 16 | 0xFF000000u;
}

using Points = std::set<std::pair<int, int>>;

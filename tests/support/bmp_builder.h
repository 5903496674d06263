#pragma once
// Builds device-independent bitmaps and .bmp files byte by byte for tests:
// any bit count, bottom-up or top-down rows, colour tables and bit-field masks.
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/little_endian.h"

namespace testbmp {

struct Layout {
    int width = 1;
    int height = 1; // negative: top-down rows
    int bits = 24;
    uint32_t compression = 0; // 0 BI_RGB, 3 BI_BITFIELDS
    std::vector<uint32_t> masks; // written after a 40-byte header (or inside a longer one)
    std::vector<uint32_t> palette; // 0x00RRGGBB
    uint32_t coloursUsed = 0;
    uint32_t headerSize = 40;
};

inline void Put16(std::vector<uint8_t>& out, uint32_t v) { platform::AppendLe16(out, uint16_t(v)); }
inline void Put32(std::vector<uint8_t>& out, uint32_t v) { platform::AppendLe32(out, v); }
inline void Set32(std::vector<uint8_t>& out, size_t at, uint32_t v) { platform::PutLe32(&out[at], v); }

inline int RowBytes(int width, int bits) { return ((bits * width + 7) / 8 + 3) / 4 * 4; }

// `pixel(x, y)` with y from the image's top: a colour index for 1-8 bits,
// the raw word for 16 and 32 bits, 0xRRGGBB for 24 bits.
inline std::vector<uint8_t> MakeDib(const Layout& l, const std::function<uint32_t(int, int)>& pixel)
{
    std::vector<uint8_t> out;
    Put32(out, l.headerSize);
    Put32(out, uint32_t(l.width));
    Put32(out, uint32_t(l.height));
    Put16(out, 1);
    Put16(out, uint32_t(l.bits));
    Put32(out, l.compression);
    const int rows = l.height < 0 ? -l.height : l.height;
    const int rowBytes = RowBytes(l.width, l.bits);
    Put32(out, uint32_t(rowBytes * rows));
    Put32(out, 3780);
    Put32(out, 3780);
    Put32(out, l.coloursUsed);
    Put32(out, 0);
    size_t maskAt = out.size();
    out.resize(l.headerSize, 0);
    if (l.headerSize == 40)
        out.resize(40 + 4 * l.masks.size(), 0);
    for (size_t i = 0; i < l.masks.size(); ++i)
        Set32(out, maskAt + 4 * i, l.masks[i]);
    for (uint32_t c : l.palette)
        Put32(out, c & 0xFFFFFF);
    const size_t start = out.size();
    out.resize(start + size_t(rowBytes) * rows, 0);
    for (int y = 0; y < rows; ++y) {
        const int stored = l.height < 0 ? y : rows - 1 - y;
        uint8_t* row = out.data() + start + size_t(stored) * rowBytes;
        for (int x = 0; x < l.width; ++x) {
            const uint32_t v = pixel(x, y);
            switch (l.bits) {
            case 1:
                row[x / 8] |= uint8_t((v & 1) << (7 - x % 8));
                break;
            case 4:
                row[x / 2] |= uint8_t((v & 0xF) << (x % 2 ? 0 : 4));
                break;
            case 8:
                row[x] = uint8_t(v);
                break;
            case 16:
                platform::PutLe16(&row[2 * x], uint16_t(v));
                break;
            case 24:
                row[3 * x] = uint8_t(v); // blue
                row[3 * x + 1] = uint8_t(v >> 8);
                row[3 * x + 2] = uint8_t(v >> 16);
                break;
            case 32:
                for (int i = 0; i < 4; ++i)
                    row[4 * x + i] = uint8_t(v >> (8 * i));
                break;
            }
        }
    }
    return out;
}

// A .bmp file: the 14-byte file header, then the bitmap.
inline std::vector<uint8_t> MakeFile(const Layout& l, const std::function<uint32_t(int, int)>& pixel)
{
    const std::vector<uint8_t> dib = MakeDib(l, pixel);
    const int rows = l.height < 0 ? -l.height : l.height;
    const size_t pixelBytes = size_t(RowBytes(l.width, l.bits)) * rows;
    std::vector<uint8_t> out { 'B', 'M' };
    Put32(out, uint32_t(14 + dib.size()));
    Put32(out, 0);
    Put32(out, uint32_t(14 + dib.size() - pixelBytes));
    out.insert(out.end(), dib.begin(), dib.end());
    return out;
}

} // namespace testbmp

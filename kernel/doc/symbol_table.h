#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "kernel/doc/collect.h"
#include "kernel/doc/little_endian.h"

// Small monochrome bitmaps drawn at point objects. Record: length, width,
// height, symbol number (16-bit each), class in bits 5-7 of byte 8, then the
// rows bottom row first, ceil(width / 8) bytes each, most significant bit leftmost.
class CZXS_SymbolTable : public CCollect {
public:
    static constexpr uint32_t kHeaderBytes = 9;

    int Free() override;

    // Indexes every record whose bitmap fits inside it, per class (0, 1) by number.
    void BuildIndex();
    // Count of numbers of a class: 1 + its greatest number (0 without records).
    uint32_t ClassCount(int symbolClass) const;
    // Width and height of a class-1 symbol; (0, 0) when there is none.
    void SymbolSize(int number, int& width, int& height) const;
    // The class-1 symbol record, or null.
    const uint8_t* Symbol(int number) const;

    // Draws class-1 symbol `number` centred at (x, y): mode 0 puts the set bits
    // (colour 1), mode 1 the clear bits (colour 0), any other mode every bit.
    // Colours are 0x00BBGGRR. The image gives Width(), Height(),
    // MakeColour(r, g, b) and PutPixel(x, y, pixel).
    template <typename Image>
    void DrawSymbol(Image& image, int x, int y, int number, const uint32_t colours[2], int mode) const;

private:
    std::array<std::vector<uint32_t>, 2> m_offsets;
};

template <typename Image>
void CZXS_SymbolTable::DrawSymbol(
    Image& image, int x, int y, int number, const uint32_t colours[2], int mode) const
{
    const int imageWidth = image.Width();
    const int imageHeight = image.Height();
    const uint8_t* record = Symbol(number);
    if (x < 0 || y < 0 || x >= imageWidth || y >= imageHeight || record == nullptr)
        return;
    const int width = ZXS_Le16(record + 2);
    const int height = ZXS_Le16(record + 4);
    if (height == 0)
        return;
    const auto pixel
        = [&image](uint32_t c) { return image.MakeColour(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); };
    const auto clear = pixel(colours[0]);
    const auto set = pixel(colours[1]);
    const int rowBytes = (width + 7) / 8;
    const uint8_t* rows = record + kHeaderBytes;
    const int left = x - width / 2;
    int row = y + height / 2;
    for (int r = 0; r < height; ++r, --row) {
        if (row < 0 || row >= imageHeight)
            continue;
        const uint8_t* bits = rows + r * rowBytes;
        for (int c = 0; c < width; ++c) {
            const int column = left + c;
            if (column < 0 || column >= imageWidth)
                continue;
            const bool on = (bits[c / 8] >> (7 - c % 8)) & 1;
            if ((mode == 0 && on) || (mode != 0 && mode != 1) || (mode == 1 && !on))
                image.PutPixel(column, row, on ? set : clear);
        }
    }
}

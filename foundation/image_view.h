#pragma once
// A plain description of a pixel block: its start, where row 0 begins, and
// its geometry (stride convention as in CImageRows).
#include <cstdint>

class CImageView {
public:
    CImageView() = default;

    void Init(uint8_t* pixels, int width, int height, int stride);
    void Clear() { *this = CImageView {}; }

    uint8_t* pixels = nullptr;
    uint8_t* firstRow = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
};

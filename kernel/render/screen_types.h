#pragma once

#include <cstdint>

// Screen pixels, x to the right and y downwards. Points of objects far outside a
// deeply zoomed view reach about +-2^29 before they are clipped, so every
// product of two coordinates is taken in 64 bits or wider.
struct ZXS_ScreenPoint {
    int32_t x = 0;
    int32_t y = 0;
};

struct ZXS_Segment {
    int32_t x1 = 0;
    int32_t y1 = 0;
    int32_t x2 = 0;
    int32_t y2 = 0;
};

// Inclusive on all four sides.
struct ZXS_ScreenRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// The decoded points of one object: `partCount` parts one after another in
// `points`, part n holding `partLengths[n]` points (a negative length counts as 0).
struct ZXS_PointParts {
    const ZXS_ScreenPoint* points = nullptr;
    const int16_t* partLengths = nullptr;
    int32_t partCount = 0;
};

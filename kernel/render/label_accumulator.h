#pragma once

#include <cstdint>

// Where the label of a filled area fits best, gathered by the polygon filler:
// the widest span inside a band, the extreme span ends and the span midpoints.
// The caller sets the start values (widest width -1 or a minimum, first
// midpoint row negative, leftmost x high, rightmost x low) and the band.
struct CZXS_LabelAccumulator {
    int32_t widestX = 0;
    int32_t widestRow = 0;
    int32_t widestWidth = -1;
    int32_t firstMidX = 0;
    int32_t firstMidRow = -1; // negative: none yet
    int32_t leftmostX = INT32_MAX;
    int32_t leftmostRow = 0;
    int32_t rightmostX = INT32_MIN;
    int32_t rightmostRow = 0;
    int32_t lastMidX = 0;
    int32_t lastMidRow = 0;
    // Spans count only in rows strictly inside the band; the widest is measured
    // after cutting to its left and right.
    int32_t bandLeft = 0;
    int32_t bandTop = 0;
    int32_t bandRight = 0;
    int32_t bandBottom = 0;
};

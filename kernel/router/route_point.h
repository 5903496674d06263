#pragma once

#include <cstdint>

#include "kernel/api/types.h"

// A start, via or finish point as the caller gave it, with the road element it
// was snapped to.
struct CZXS_RouterPoint {
    static constexpr uint32_t kStartOrder = 0;
    static constexpr uint32_t kLastVia = 0xfffd;
    static constexpr uint32_t kFinishOrder = 0xffff;

    uint32_t order = 0; // low 16 bits: 0 start, 1..0xfffd via points, 0xffff finish
    int32_t x = 0;
    int32_t y = 0;
    uint32_t roadOffset = 0; // road element: object number - first road object
    uint32_t directions = 0; // bit 0 forward, bit 1 backward
};

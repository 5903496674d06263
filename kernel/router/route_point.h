#pragma once

#include <cstdint>

// One point of a calculated route.
struct CZXS_RoutePoint {
    // Flag bits.
    static constexpr uint8_t kCallerStart = 0x01;
    static constexpr uint8_t kStartProjection = 0x02;
    static constexpr uint8_t kElementEntry = 0x04;
    static constexpr uint8_t kJunctionEntry = 0x08; // with kElementEntry: the edge before is a junction
    static constexpr uint8_t kShapePoint = 0x10;
    static constexpr uint8_t kFinishProjection = 0x20;
    static constexpr uint8_t kCallerFinish = 0x40;
    static constexpr uint8_t kSuppressed = 0x80; // a junction point smoothed away

    int32_t x = 0;
    int32_t y = 0;
    int32_t object
        = -1; // road element the point lies on; -1 for the caller's points and the finish projection
    uint8_t branches = 1; // on an element entry: edges leaving the junction it is entered from
    uint8_t flags = 0;
};

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

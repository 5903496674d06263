#pragma once

#include <cstdint>

// The plain values the kernel's interface exchanges with its callers. The
// kernel's own code uses them too, so they are defined here once.

// "No object" / "no id" wherever a 21-bit id is stored or passed.
inline constexpr int32_t ZXS_NO_OBJECT = 0x1fffff;

// A point in map units.
struct ZXS_Point {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const ZXS_Point&) const = default;
};

// A rectangle in map units.
struct ZXS_Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool operator==(const ZXS_Rect&) const = default;
};

// A device context: RGB565 pixels with rows `stride` bytes apart from the top
// row (negative for an image stored bottom-up).
struct ZXS_DeviceContext {
    uint8_t* bits = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t stride = 0;
};

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

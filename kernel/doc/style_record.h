#pragma once

#include <cstdint>
#include <cstring>

#include "kernel/doc/little_endian.h"

// A view of one 44-byte drawing style of a map: detail threshold (float, pixels
// per map unit) at 0, style group at 4, flags at 6, first colour (red, green,
// blue) at 14, second colour at 20; the other bytes are drawing parameters.
class CZXS_StyleRecord {
public:
    static constexpr uint32_t kSize = 44;

    CZXS_StyleRecord() = default;
    explicit CZXS_StyleRecord(const uint8_t* bytes)
        : m_bytes(bytes)
    {
    }

    explicit operator bool() const { return m_bytes != nullptr; }
    const uint8_t* Bytes() const { return m_bytes; }

    float Threshold() const
    {
        const uint32_t bits = ZXS_Le32(m_bytes);
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    uint8_t Group() const { return m_bytes[4]; }
    uint8_t Flags() const { return m_bytes[6]; }
    // Objects of the style can be found by a point search.
    bool IsPointSearchable() const { return (Flags() & 0x60) == 0x60; }
    // 0x00BBGGRR
    uint32_t Colour(int which) const { return ZXS_Le24(m_bytes + (which == 0 ? 14 : 20)); }

private:
    const uint8_t* m_bytes = nullptr;
};

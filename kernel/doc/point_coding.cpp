#include "kernel/doc/point_coding.h"

namespace {

int32_t Magnitude(int32_t v) { return v < 0 ? -v : v; }

// Scheme 1: a unit holds field A in its low 12 bits and field B in its high 12.
void WriteUnit(uint8_t* u, uint32_t a, uint32_t b)
{
    u[0] = static_cast<uint8_t>(a);
    u[1] = static_cast<uint8_t>(((a >> 8) & 0x0F) | ((b & 0x0F) << 4));
    u[2] = static_cast<uint8_t>(b >> 4);
}

// Scheme 2 numbers: sign in bit 7 of the first byte, then one of four forms.
uint32_t NumberLength(int32_t value)
{
    const int32_t m = Magnitude(value);
    return m < 64 ? 1 : m < 7969 ? 2 : m < 983057 ? 3 : 4;
}

void WriteNumber(uint8_t* p, int32_t value)
{
    const uint8_t sign = value < 0 ? 0x80 : 0;
    const uint32_t m = static_cast<uint32_t>(Magnitude(value));
    if (m < 64) {
        p[0] = static_cast<uint8_t>(sign | m);
    } else if (m < 7969) {
        const uint32_t r = m - 63;
        p[0] = static_cast<uint8_t>(sign | 0x40 | (r >> 8));
        p[1] = static_cast<uint8_t>(r);
    } else if (m < 983057) {
        const uint32_t r = m - 7968;
        p[0] = static_cast<uint8_t>(sign | 0x60 | (r >> 16));
        p[1] = static_cast<uint8_t>(r);
        p[2] = static_cast<uint8_t>(r >> 8);
    } else {
        const uint32_t r = m - 983056;
        p[0] = static_cast<uint8_t>(sign | 0x70 | (r >> 24));
        p[1] = static_cast<uint8_t>(r);
        p[2] = static_cast<uint8_t>(r >> 8);
        p[3] = static_cast<uint8_t>(r >> 16);
    }
}

const CZXS_PointCoding0 g_coding0;
const CZXS_PointCoding1 g_coding1;
const CZXS_PointCoding2 g_coding2;

} // namespace

const CZXS_PointCoding* CZXS_PointCoding::ForScheme(int scheme)
{
    switch (scheme) {
    case 0:
        return &g_coding0;
    case 1:
        return &g_coding1;
    case 2:
        return &g_coding2;
    default:
        return nullptr;
    }
}

bool CZXS_PointCoding::DeltaFits(int32_t dx, int32_t dy) const
{
    // Compared as magnitudes; INT32_MIN has none and never fits.
    return dx != INT32_MIN && dy != INT32_MIN && Magnitude(dx) <= MaxDelta() && Magnitude(dy) <= MaxDelta();
}

// --- scheme 0 ---

int32_t CZXS_PointCoding0::EncodeAbsolute(uint8_t* buffer, uint32_t capacity, int32_t x, int32_t y) const
{
    if (!AbsoluteFits(x, y) || capacity < 4)
        return -1;
    buffer[0] = static_cast<uint8_t>(x);
    buffer[1] = static_cast<uint8_t>(y);
    buffer[2] = static_cast<uint8_t>(x >> 8);
    buffer[3] = static_cast<uint8_t>(y >> 8);
    return 2;
}

int32_t CZXS_PointCoding0::EncodeDelta(uint8_t* buffer, uint32_t capacity, int32_t dx, int32_t dy) const
{
    if (!DeltaFits(dx, dy))
        return -1;
    if (dx == 0 && dy == 0)
        return 0;
    if (Magnitude(dx) <= 127 && Magnitude(dy) <= 127) {
        if (capacity < 2)
            return -1;
        buffer[0] = static_cast<uint8_t>(dx);
        buffer[1] = static_cast<uint8_t>(dy);
        return 1;
    }
    if (capacity < 6)
        return -1;
    buffer[0] = 0;
    buffer[1] = 0;
    buffer[2] = static_cast<uint8_t>(dx);
    buffer[3] = static_cast<uint8_t>(dy);
    buffer[4] = static_cast<uint8_t>(dx >> 8);
    buffer[5] = static_cast<uint8_t>(dy >> 8);
    return 3;
}

// --- scheme 1 ---

int32_t CZXS_PointCoding1::EncodeAbsolute(uint8_t* buffer, uint32_t capacity, int32_t x, int32_t y) const
{
    if (!AbsoluteFits(x, y) || capacity < 6)
        return -1;
    WriteUnit(buffer, x & 0xFFF, y & 0xFFF);
    WriteUnit(buffer + 3, (x >> 12) & 0xFFF, (y >> 12) & 0xFFF);
    return 2;
}

int32_t CZXS_PointCoding1::EncodeDelta(uint8_t* buffer, uint32_t capacity, int32_t dx, int32_t dy) const
{
    if (!DeltaFits(dx, dy))
        return -1;
    if (dx == 0 && dy == 0)
        return 0;
    if (Magnitude(dx) <= 2047 && Magnitude(dy) <= 2047) {
        if (capacity < 3)
            return -1;
        WriteUnit(buffer, static_cast<uint32_t>(dx) & 0xFFF, static_cast<uint32_t>(dy) & 0xFFF);
        return 1;
    }
    if (capacity < 9)
        return -1;
    WriteUnit(buffer, 0, 0);
    const uint32_t ux = static_cast<uint32_t>(dx) & 0xFFFFFF;
    const uint32_t uy = static_cast<uint32_t>(dy) & 0xFFFFFF;
    WriteUnit(buffer + 3, ux & 0xFFF, uy & 0xFFF);
    WriteUnit(buffer + 6, ux >> 12, uy >> 12);
    return 3;
}

// --- scheme 2 ---

int32_t CZXS_PointCoding2::EncodeAbsolute(uint8_t* buffer, uint32_t capacity, int32_t x, int32_t y) const
{
    if (!AbsoluteFits(x, y) || capacity < 6)
        return -1;
    for (int i = 0; i < 3; ++i) {
        buffer[i] = static_cast<uint8_t>(x >> (8 * i));
        buffer[3 + i] = static_cast<uint8_t>(y >> (8 * i));
    }
    return 6;
}

int32_t CZXS_PointCoding2::EncodeDelta(uint8_t* buffer, uint32_t capacity, int32_t dx, int32_t dy) const
{
    if (!DeltaFits(dx, dy))
        return -1;
    const uint32_t lx = NumberLength(dx);
    const uint32_t ly = NumberLength(dy);
    if (capacity < lx + ly)
        return -1;
    WriteNumber(buffer, dx);
    WriteNumber(buffer + lx, dy);
    return static_cast<int32_t>(lx + ly);
}

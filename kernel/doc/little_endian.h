#pragma once

#include <cstdint>

// Little-endian fields of the kernel's files, read and written byte by byte.
inline uint16_t ZXS_Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t ZXS_Le24(const uint8_t* p) { return p[0] | (p[1] << 8) | (uint32_t { p[2] } << 16); }
inline uint32_t ZXS_Le32(const uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t { p[3] } << 24);
}
inline void ZXS_PutLe16(uint8_t* p, uint16_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void ZXS_PutLe24(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 3; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void ZXS_PutLe32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

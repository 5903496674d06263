#pragma once

#include <cstdint>
#include <vector>

#include "kernel/doc/little_endian.h"

// Little-endian fields appended to the writers' byte blocks, through the
// kernel's own field writer.
namespace mapwriter {

inline void Append16(std::vector<uint8_t>& out, uint32_t v)
{
    uint8_t b[2];
    ZXS_PutLe16(b, static_cast<uint16_t>(v));
    out.insert(out.end(), b, b + 2);
}
inline void Append24(std::vector<uint8_t>& out, uint32_t v)
{
    uint8_t b[3];
    ZXS_PutLe24(b, v);
    out.insert(out.end(), b, b + 3);
}
inline void Append32(std::vector<uint8_t>& out, uint32_t v)
{
    uint8_t b[4];
    ZXS_PutLe32(b, v);
    out.insert(out.end(), b, b + 4);
}

} // namespace mapwriter

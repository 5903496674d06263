#pragma once

#include <cstdint>
#include <vector>

// Little-endian fields of the files the program reads and writes, read and
// written byte by byte: one reader and writer for the platform and every
// layer above it (the kernel keeps its own in kernel/doc/little_endian.h).
namespace platform {

inline uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t Le32(const uint8_t* p) { return Le16(p) | (uint32_t { Le16(p + 2) } << 16); }
inline uint64_t Le64(const uint8_t* p) { return Le32(p) | (uint64_t { Le32(p + 4) } << 32); }

inline void PutLe16(uint8_t* p, uint16_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void PutLe32(uint8_t* p, uint32_t v)
{
    PutLe16(p, static_cast<uint16_t>(v));
    PutLe16(p + 2, static_cast<uint16_t>(v >> 16));
}
inline void PutLe64(uint8_t* p, uint64_t v)
{
    PutLe32(p, static_cast<uint32_t>(v));
    PutLe32(p + 4, static_cast<uint32_t>(v >> 32));
}

inline void AppendLe16(std::vector<uint8_t>& out, uint16_t v)
{
    uint8_t b[2];
    PutLe16(b, v);
    out.insert(out.end(), b, b + 2);
}
inline void AppendLe32(std::vector<uint8_t>& out, uint32_t v)
{
    uint8_t b[4];
    PutLe32(b, v);
    out.insert(out.end(), b, b + 4);
}

} // namespace platform

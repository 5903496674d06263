#pragma once

#include <cstdint>

// Little-endian fields of the files the program reads and writes, read and
// written byte by byte: one reader and writer for the platform and every
// layer above it (the kernel keeps its own in kernel/doc/little_endian.h).
namespace platform {

inline uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t Le24(const uint8_t* p) { return Le16(p) | (uint32_t { p[2] } << 16); }
inline uint32_t Le32(const uint8_t* p) { return Le16(p) | (uint32_t { Le16(p + 2) } << 16); }
inline uint64_t Le64(const uint8_t* p) { return Le32(p) | (uint64_t { Le32(p + 4) } << 32); }

// The low `size` bytes of `v` into `p`.
inline void PutLe(uint8_t* p, uint64_t v, int size)
{
    for (int i = 0; i < size; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void PutLe16(uint8_t* p, uint16_t v) { PutLe(p, v, 2); }
inline void PutLe24(uint8_t* p, uint32_t v) { PutLe(p, v, 3); }
inline void PutLe32(uint8_t* p, uint32_t v) { PutLe(p, v, 4); }
inline void PutLe64(uint8_t* p, uint64_t v) { PutLe(p, v, 8); }

// The low `size` bytes of `v` appended to a byte block (a std::vector of
// bytes or a QByteArray).
template <class Bytes> void AppendLe(Bytes& out, uint64_t v, int size)
{
    for (int i = 0; i < size; ++i)
        out.push_back(static_cast<typename Bytes::value_type>(v >> (8 * i)));
}
template <class Bytes> void AppendLe16(Bytes& out, uint16_t v) { AppendLe(out, v, 2); }
template <class Bytes> void AppendLe24(Bytes& out, uint32_t v) { AppendLe(out, v, 3); }
template <class Bytes> void AppendLe32(Bytes& out, uint32_t v) { AppendLe(out, v, 4); }
template <class Bytes> void AppendLe64(Bytes& out, uint64_t v) { AppendLe(out, v, 8); }

} // namespace platform

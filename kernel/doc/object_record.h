#pragma once

#include <array>
#include <cstdint>
#include <cstring>

#include "kernel/api/types.h"
#include "kernel/doc/little_endian.h"

// A map object's 12-byte record, kept as its little-endian file bytes:
// bytes 0-1 link id bits 0-15; 2-3 run length; 4-7 word W (name id in bits 0-20,
// closed 21, end of object 22, forward 23, backward 24, point coding 25-26, link
// id bits 16-20 in 27-31); 8-11 the box in cells of the object's index block.
class CZXS_ObjectRecord {
public:
    static constexpr uint32_t kSize = 12;
    static constexpr uint32_t kPackedSize = 11; // record of the old layout

    CZXS_ObjectRecord() = default;
    static CZXS_ObjectRecord FromBytes(const uint8_t* bytes)
    {
        CZXS_ObjectRecord r;
        std::memcpy(r.m_bytes.data(), bytes, kSize);
        return r;
    }
    // The old layout's packed record, unpacked: forward passage only, point
    // coding 0 and a box covering the whole block.
    static CZXS_ObjectRecord UnpackOld(const uint8_t* packed);

    int32_t LinkId() const;
    uint16_t RunLength() const { return ZXS_Le16(m_bytes.data() + 2); }
    int32_t NameId() const { return static_cast<int32_t>(Word() & 0x1fffff); }
    bool IsClosed() const { return (Word() >> 21) & 1; }
    bool IsEndOfObject() const { return (Word() >> 22) & 1; }
    bool IsForward() const { return (Word() >> 23) & 1; }
    bool IsBackward() const { return (Word() >> 24) & 1; }
    int Coding() const { return static_cast<int>((Word() >> 25) & 3); }
    uint8_t BoxByte(int i) const { return m_bytes[8 + i]; }

    void SetLinkId(int32_t id);
    void SetRunLength(uint16_t length);
    void SetNameId(int32_t id);
    void SetClosed(bool on) { SetBit(21, on); }
    void SetEndOfObject(bool on) { SetBit(22, on); }
    void SetForward(bool on) { SetBit(23, on); }
    void SetBackward(bool on) { SetBit(24, on); }
    void SetCoding(int scheme);
    void SetBox(uint8_t minX, uint8_t minY, uint8_t maxX, uint8_t maxY);

    // The record's box in map units on the 256 x 256 grid over its block's box.
    ZXS_Rect Box(const ZXS_Rect& block) const
    {
        const auto cell = [](int32_t from, int32_t to) {
            const int64_t span = int64_t { to } - from;
            const int64_t size = span <= 0 ? 1 : (span + 255) / 256;
            return size < 1 ? int64_t { 1 } : size;
        };
        const int64_t w = cell(block.left, block.right);
        const int64_t h = cell(block.top, block.bottom);
        const auto clamp = [](int64_t v) {
            return static_cast<int32_t>(v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : v);
        };
        return { clamp(block.left + w * m_bytes[8]), clamp(block.top + h * m_bytes[9]),
            clamp(block.left + w * (m_bytes[10] + 1)), clamp(block.top + h * (m_bytes[11] + 1)) };
    }

    const std::array<uint8_t, kSize>& Bytes() const { return m_bytes; }

private:
    uint32_t Word() const { return ZXS_Le32(m_bytes.data() + 4); }
    void SetWord(uint32_t w);
    void SetBit(int bit, bool on);

    std::array<uint8_t, kSize> m_bytes {};
};

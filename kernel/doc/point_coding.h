#pragma once

#include <cstdint>

#include "kernel/api/types.h"

// One of the three codings of an object's point run: an absolute point, then
// steps. Decoders are given the bytes that remain and consume nothing (result 0)
// when a value would run past them; encoders are given their buffer's capacity
// and return -1 when a value is out of range or does not fit.
class CZXS_PointCoding {
public:
    // The longest encoded delta of any scheme, in bytes.
    static constexpr uint32_t kMaxDeltaBytes = 9;

    virtual ~CZXS_PointCoding() = default;
    virtual int32_t UnitSize() const = 0;
    int64_t UnitsToBytes(int64_t units) const { return units * UnitSize(); }
    virtual int32_t BytesToUnits(int32_t bytes) const = 0;
    virtual int32_t AbsoluteUnits() const = 0;
    virtual uint32_t DecodeAbsolute(const uint8_t* bytes, uint32_t available, ZXS_Point& point) const = 0;
    virtual uint32_t DecodeDelta(const uint8_t* bytes, uint32_t available, ZXS_Point& step) const = 0;
    virtual int32_t MaxAbsolute() const = 0;
    virtual int32_t MaxDelta() const = 0;
    // Units written, or -1.
    virtual int32_t EncodeAbsolute(uint8_t* buffer, uint32_t capacity, int32_t x, int32_t y) const = 0;
    virtual int32_t EncodeDelta(uint8_t* buffer, uint32_t capacity, int32_t dx, int32_t dy) const = 0;

    // The program-wide instance of scheme 0, 1 or 2; null for any other number.
    static const CZXS_PointCoding* ForScheme(int scheme);

    // The decoders of scheme 0, 1 or 2 without a call through the table of
    // slots: the point walk runs them for every point of every drawn object.
    static uint32_t ReadAbsolute(int scheme, const uint8_t* bytes, uint32_t available, ZXS_Point& point);
    static uint32_t ReadDelta(int scheme, const uint8_t* bytes, uint32_t available, ZXS_Point& step);

protected:
    static int32_t SignExtend(uint32_t value, int bits)
    {
        const uint32_t sign = 1u << (bits - 1);
        return static_cast<int32_t>((value ^ sign) - sign);
    }
    bool AbsoluteFits(int32_t x, int32_t y) const
    {
        return x >= 0 && y >= 0 && x <= MaxAbsolute() && y <= MaxAbsolute();
    }
    bool DeltaFits(int32_t dx, int32_t dy) const;
};

// 2-byte units: 16-bit absolute points, signed 8-bit short steps.
class CZXS_PointCoding0 : public CZXS_PointCoding {
public:
    int32_t UnitSize() const override { return 2; }
    int32_t BytesToUnits(int32_t bytes) const override { return bytes >> 1; }
    int32_t AbsoluteUnits() const override { return 2; }
    uint32_t DecodeAbsolute(const uint8_t* bytes, uint32_t available, ZXS_Point& point) const override
    {
        return ReadAbsolute(bytes, available, point);
    }
    uint32_t DecodeDelta(const uint8_t* bytes, uint32_t available, ZXS_Point& step) const override
    {
        return ReadDelta(bytes, available, step);
    }
    int32_t MaxAbsolute() const override { return 0xFFFF; }
    int32_t MaxDelta() const override { return 0x7FFF; }
    int32_t EncodeAbsolute(uint8_t* buffer, uint32_t capacity, int32_t x, int32_t y) const override;
    int32_t EncodeDelta(uint8_t* buffer, uint32_t capacity, int32_t dx, int32_t dy) const override;

    static uint32_t ReadAbsolute(const uint8_t* b, uint32_t available, ZXS_Point& point)
    {
        if (available < 4)
            return 0;
        point.x = b[0] + b[2] * 256;
        point.y = b[1] + b[3] * 256;
        return 4;
    }
    static uint32_t ReadDelta(const uint8_t* b, uint32_t available, ZXS_Point& step)
    {
        if (available < 2)
            return 0;
        if (b[0] != 0 || b[1] != 0) {
            step.x = static_cast<int8_t>(b[0]);
            step.y = static_cast<int8_t>(b[1]);
            return 2;
        }
        if (available < 6)
            return 0;
        step.x = b[2] + static_cast<int8_t>(b[4]) * 256;
        step.y = b[3] + static_cast<int8_t>(b[5]) * 256;
        return 6;
    }
};

// 3-byte units of two 12-bit fields: 24-bit absolute points, signed 12-bit short steps.
class CZXS_PointCoding1 : public CZXS_PointCoding {
public:
    int32_t UnitSize() const override { return 3; }
    int32_t BytesToUnits(int32_t bytes) const override { return bytes / 3; }
    int32_t AbsoluteUnits() const override { return 2; }
    uint32_t DecodeAbsolute(const uint8_t* bytes, uint32_t available, ZXS_Point& point) const override
    {
        return ReadAbsolute(bytes, available, point);
    }
    uint32_t DecodeDelta(const uint8_t* bytes, uint32_t available, ZXS_Point& step) const override
    {
        return ReadDelta(bytes, available, step);
    }
    int32_t MaxAbsolute() const override { return 0xFFFFFF; }
    int32_t MaxDelta() const override { return 0x7FFFFF; }
    int32_t EncodeAbsolute(uint8_t* buffer, uint32_t capacity, int32_t x, int32_t y) const override;
    int32_t EncodeDelta(uint8_t* buffer, uint32_t capacity, int32_t dx, int32_t dy) const override;

    // A unit holds field A in its low 12 bits and field B in its high 12.
    static void ReadUnit(const uint8_t* u, uint32_t& a, uint32_t& b)
    {
        a = u[0] | ((u[1] & 0x0Fu) << 8);
        b = (u[1] >> 4) | (uint32_t { u[2] } << 4);
    }
    static uint32_t ReadAbsolute(const uint8_t* b, uint32_t available, ZXS_Point& point)
    {
        if (available < 6)
            return 0;
        uint32_t xl, yl, xh, yh;
        ReadUnit(b, xl, yl);
        ReadUnit(b + 3, xh, yh);
        point.x = static_cast<int32_t>(xl | (xh << 12));
        point.y = static_cast<int32_t>(yl | (yh << 12));
        return 6;
    }
    static uint32_t ReadDelta(const uint8_t* b, uint32_t available, ZXS_Point& step)
    {
        if (available < 3)
            return 0;
        uint32_t a, c;
        ReadUnit(b, a, c);
        if (a != 0 || c != 0) {
            step.x = SignExtend(a, 12);
            step.y = SignExtend(c, 12);
            return 3;
        }
        ZXS_Point wide;
        if (ReadAbsolute(b + 3, available - 3, wide) == 0)
            return 0;
        step.x = SignExtend(static_cast<uint32_t>(wide.x), 24);
        step.y = SignExtend(static_cast<uint32_t>(wide.y), 24);
        return 9;
    }
};

// Byte units: 24-bit absolute points, steps as variable-length signed numbers.
class CZXS_PointCoding2 : public CZXS_PointCoding {
public:
    int32_t UnitSize() const override { return 1; }
    int32_t BytesToUnits(int32_t bytes) const override { return bytes; }
    int32_t AbsoluteUnits() const override { return 6; }
    uint32_t DecodeAbsolute(const uint8_t* bytes, uint32_t available, ZXS_Point& point) const override
    {
        return ReadAbsolute(bytes, available, point);
    }
    uint32_t DecodeDelta(const uint8_t* bytes, uint32_t available, ZXS_Point& step) const override
    {
        return ReadDelta(bytes, available, step);
    }
    int32_t MaxAbsolute() const override { return 0xFFFFFF; }
    int32_t MaxDelta() const override { return 0xFFFFFF; }
    int32_t EncodeAbsolute(uint8_t* buffer, uint32_t capacity, int32_t x, int32_t y) const override;
    int32_t EncodeDelta(uint8_t* buffer, uint32_t capacity, int32_t dx, int32_t dy) const override;

    // A number: sign in bit 7 of the first byte, then one of four forms.
    static uint32_t ReadNumber(const uint8_t* p, uint32_t available, int32_t& value)
    {
        if (available < 1)
            return 0;
        const uint8_t first = p[0];
        uint32_t length = 1;
        int32_t magnitude = 0;
        if ((first & 0x40) == 0) {
            magnitude = first & 0x3F;
        } else if ((first & 0x20) == 0) {
            length = 2;
            if (available < length)
                return 0;
            magnitude = 63 + (first & 0x1F) * 256 + p[1];
        } else if ((first & 0x10) == 0) {
            length = 3;
            if (available < length)
                return 0;
            magnitude = 7968 + p[1] + p[2] * 256 + (first & 0x0F) * 65536;
        } else {
            length = 4;
            if (available < length)
                return 0;
            magnitude = 983056 + p[1] + p[2] * 256 + p[3] * 65536 + (first & 0x0F) * 16777216;
        }
        value = (first & 0x80) != 0 ? -magnitude : magnitude;
        return length;
    }
    static uint32_t ReadAbsolute(const uint8_t* b, uint32_t available, ZXS_Point& point)
    {
        if (available < 6)
            return 0;
        point.x = b[0] | (b[1] << 8) | (b[2] << 16);
        point.y = b[3] | (b[4] << 8) | (b[5] << 16);
        return 6;
    }
    static uint32_t ReadDelta(const uint8_t* b, uint32_t available, ZXS_Point& step)
    {
        int32_t dx = 0, dy = 0;
        const uint32_t first = ReadNumber(b, available, dx);
        if (first == 0)
            return 0;
        const uint32_t second = ReadNumber(b + first, available - first, dy);
        if (second == 0)
            return 0;
        step.x = dx;
        step.y = dy;
        return first + second;
    }
};

inline uint32_t CZXS_PointCoding::ReadAbsolute(
    int scheme, const uint8_t* bytes, uint32_t available, ZXS_Point& point)
{
    switch (scheme) {
    case 0:
        return CZXS_PointCoding0::ReadAbsolute(bytes, available, point);
    case 1:
        return CZXS_PointCoding1::ReadAbsolute(bytes, available, point);
    case 2:
        return CZXS_PointCoding2::ReadAbsolute(bytes, available, point);
    default:
        return 0;
    }
}

inline uint32_t CZXS_PointCoding::ReadDelta(
    int scheme, const uint8_t* bytes, uint32_t available, ZXS_Point& step)
{
    switch (scheme) {
    case 0:
        return CZXS_PointCoding0::ReadDelta(bytes, available, step);
    case 1:
        return CZXS_PointCoding1::ReadDelta(bytes, available, step);
    case 2:
        return CZXS_PointCoding2::ReadDelta(bytes, available, step);
    default:
        return 0;
    }
}

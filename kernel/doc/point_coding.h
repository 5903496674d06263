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

protected:
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
    uint32_t DecodeAbsolute(const uint8_t* bytes, uint32_t available, ZXS_Point& point) const override;
    uint32_t DecodeDelta(const uint8_t* bytes, uint32_t available, ZXS_Point& step) const override;
    int32_t MaxAbsolute() const override { return 0xFFFF; }
    int32_t MaxDelta() const override { return 0x7FFF; }
    int32_t EncodeAbsolute(uint8_t* buffer, uint32_t capacity, int32_t x, int32_t y) const override;
    int32_t EncodeDelta(uint8_t* buffer, uint32_t capacity, int32_t dx, int32_t dy) const override;
};

// 3-byte units of two 12-bit fields: 24-bit absolute points, signed 12-bit short steps.
class CZXS_PointCoding1 : public CZXS_PointCoding {
public:
    int32_t UnitSize() const override { return 3; }
    int32_t BytesToUnits(int32_t bytes) const override { return bytes / 3; }
    int32_t AbsoluteUnits() const override { return 2; }
    uint32_t DecodeAbsolute(const uint8_t* bytes, uint32_t available, ZXS_Point& point) const override;
    uint32_t DecodeDelta(const uint8_t* bytes, uint32_t available, ZXS_Point& step) const override;
    int32_t MaxAbsolute() const override { return 0xFFFFFF; }
    int32_t MaxDelta() const override { return 0x7FFFFF; }
    int32_t EncodeAbsolute(uint8_t* buffer, uint32_t capacity, int32_t x, int32_t y) const override;
    int32_t EncodeDelta(uint8_t* buffer, uint32_t capacity, int32_t dx, int32_t dy) const override;
};

// Byte units: 24-bit absolute points, steps as variable-length signed numbers.
class CZXS_PointCoding2 : public CZXS_PointCoding {
public:
    int32_t UnitSize() const override { return 1; }
    int32_t BytesToUnits(int32_t bytes) const override { return bytes; }
    int32_t AbsoluteUnits() const override { return 6; }
    uint32_t DecodeAbsolute(const uint8_t* bytes, uint32_t available, ZXS_Point& point) const override;
    uint32_t DecodeDelta(const uint8_t* bytes, uint32_t available, ZXS_Point& step) const override;
    int32_t MaxAbsolute() const override { return 0xFFFFFF; }
    int32_t MaxDelta() const override { return 0xFFFFFF; }
    int32_t EncodeAbsolute(uint8_t* buffer, uint32_t capacity, int32_t x, int32_t y) const override;
    int32_t EncodeDelta(uint8_t* buffer, uint32_t capacity, int32_t dx, int32_t dy) const override;
};

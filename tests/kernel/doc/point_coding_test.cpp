#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "kernel/doc/point_iterator.h"

namespace {

using Bytes = std::vector<uint8_t>;

const CZXS_PointCoding& Coding(int scheme) { return *CZXS_PointCoding::ForScheme(scheme); }

// Encoded delta bytes, or the error result as a one-element marker.
Bytes Delta(int scheme, int32_t dx, int32_t dy, int32_t* units = nullptr)
{
    uint8_t buffer[CZXS_PointCoding::kMaxDeltaBytes] = {};
    const int32_t n = Coding(scheme).EncodeDelta(buffer, sizeof buffer, dx, dy);
    if (units != nullptr)
        *units = n;
    if (n < 0)
        return {};
    return Bytes(buffer, buffer + Coding(scheme).UnitsToBytes(n));
}

Bytes EncodeRun(int scheme, const std::vector<ZXS_Point>& points)
{
    const CZXS_PointCoding& c = Coding(scheme);
    Bytes run(6);
    const int32_t units = c.EncodeAbsolute(run.data(), 6, points[0].x, points[0].y);
    EXPECT_EQ(units, c.AbsoluteUnits());
    run.resize(c.UnitsToBytes(units));
    for (size_t i = 1; i < points.size(); ++i) {
        const Bytes step = Delta(scheme, points[i].x - points[i - 1].x, points[i].y - points[i - 1].y);
        run.insert(run.end(), step.begin(), step.end());
    }
    return run;
}

std::vector<ZXS_Point> DecodeRun(
    int scheme, const Bytes& data, bool closed = false, uint32_t start = 0, uint32_t length = 0)
{
    CZXS_ObjectRecord record;
    record.SetCoding(scheme);
    record.SetClosed(closed);
    record.SetRunLength(static_cast<uint16_t>(length != 0 ? length : data.size() - start));
    CZXS_PointIterator it;
    std::vector<ZXS_Point> out;
    if (!it.Begin(0, 0, data.data(), static_cast<uint32_t>(data.size()), start, record))
        return out;
    out.push_back(it.Current());
    while (it.Next() == 1)
        out.push_back(it.Current());
    return out;
}

} // namespace

TEST(PointCoding, WrittenFormsAndLimits)
{
    struct Case {
        int scheme;
        int32_t dx, dy;
        int32_t units;
        Bytes bytes;
    };
    const Case cases[] = {
        { 0, 5, -3, 1, { 0x05, 0xFD } },
        { 0, 300, 0, 3, { 0, 0, 0x2C, 0x00, 0x01, 0x00 } },
        { 0, -128, 0, 3, { 0, 0, 0x80, 0x00, 0xFF, 0x00 } }, // -128 is written long
        { 0, 0, 0, 0, {} },
        { 0, 0x8000, 0, -1, {} },
        { 1, 2047, -2047, 1, { 0xFF, 0x17, 0x80 } },
        { 1, 2047, -2048, 3, { 0, 0, 0, 0xFF, 0x07, 0x80, 0x00, 0xF0, 0xFF } },
        { 1, 2048, 0, 3, { 0, 0, 0, 0x00, 0x08, 0x00, 0x00, 0x00, 0x00 } },
        { 1, 0, 0, 0, {} },
        { 1, 0x800000, 0, -1, {} },
        { 2, 63, 0, 2, { 0x3F, 0x00 } },
        { 2, 64, -64, 4, { 0x40, 0x01, 0xC0, 0x01 } },
        { 2, 7968, 7969, 5, { 0x5E, 0xE1, 0x60, 0x01, 0x00 } },
        { 2, 983056, -983057, 7, { 0x6E, 0xF0, 0xE0, 0xF0, 0x01, 0x00, 0x00 } },
        { 2, 0xFFFFFF, 0, 5, { 0x70, 0xEF, 0xFF, 0xF0, 0x00 } },
        { 2, 0, 0, 2, { 0x00, 0x00 } },
        { 2, 0x1000000, 0, -1, {} },
    };
    for (const Case& c : cases) {
        int32_t units = 99;
        const Bytes got = Delta(c.scheme, c.dx, c.dy, &units);
        EXPECT_EQ(units, c.units) << c.scheme << ": " << c.dx << "," << c.dy;
        EXPECT_EQ(got, c.bytes) << c.scheme << ": " << c.dx << "," << c.dy;
        if (c.units > 0) {
            ZXS_Point step;
            EXPECT_EQ(Coding(c.scheme).DecodeDelta(got.data(), static_cast<uint32_t>(got.size()), step),
                got.size());
            EXPECT_EQ(step, (ZXS_Point { c.dx, c.dy }));
        }
    }

    uint8_t buffer[6];
    EXPECT_EQ(Coding(0).EncodeAbsolute(buffer, 6, 65536, 0), -1);
    EXPECT_EQ(Coding(0).EncodeAbsolute(buffer, 6, 65535, 65535), 2);
    EXPECT_EQ(Coding(1).EncodeAbsolute(buffer, 6, 0x1000000, 0), -1);
    EXPECT_EQ(Coding(2).EncodeAbsolute(buffer, 6, -1, 0), -1);
    EXPECT_EQ(Coding(2).EncodeAbsolute(buffer, 5, 1, 1), -1); // no room
    EXPECT_EQ(Coding(0).BytesToUnits(7), 3);
    EXPECT_EQ(Coding(1).BytesToUnits(-7), -2);

    // The short forms the writers never produce still decode.
    ZXS_Point step;
    const uint8_t minus128[] = { 0x80, 0x01 };
    EXPECT_EQ(Coding(0).DecodeDelta(minus128, 2, step), 2u);
    EXPECT_EQ(step, (ZXS_Point { -128, 1 }));
    const uint8_t minus2048[] = { 0x00, 0x08, 0x00 };
    EXPECT_EQ(Coding(1).DecodeDelta(minus2048, 3, step), 3u);
    EXPECT_EQ(step, (ZXS_Point { -2048, 0 }));
}

TEST(PointCoding, DecodersStopAtTheEndOfTheBytesGiven)
{
    const uint8_t longMarker[] = { 0, 0, 0x2C, 0x00, 0x01 };
    const uint8_t zeroUnit[] = { 0, 0, 0, 0x01, 0x02 };
    const uint8_t bigNumber[] = { 0x70, 0x01, 0x02 };
    ZXS_Point p;
    EXPECT_EQ(Coding(0).DecodeDelta(longMarker, 5, p), 0u);
    EXPECT_EQ(Coding(1).DecodeDelta(zeroUnit, 5, p), 0u);
    EXPECT_EQ(Coding(2).DecodeDelta(bigNumber, 3, p), 0u);
    EXPECT_EQ(Coding(2).DecodeDelta(longMarker, 1, p), 0u);
    EXPECT_EQ(Coding(1).DecodeAbsolute(longMarker, 5, p), 0u);
}

TEST(PointCoding, SeededRandomRunsRoundTrip)
{
    std::mt19937 random(20261210);
    for (int scheme = 0; scheme < 3; ++scheme) {
        const CZXS_PointCoding& c = Coding(scheme);
        for (int run = 0; run < 200; ++run) {
            std::uniform_int_distribution<int32_t> absolute(0, c.MaxAbsolute());
            std::vector<ZXS_Point> points { { absolute(random), absolute(random) } };
            const int count = std::uniform_int_distribution<int>(1, 40)(random);
            for (int i = 0; i < count; ++i) {
                // Mix short and long steps; stay inside the absolute range so
                // every point could be written as a start point too.
                const int32_t reach
                    = std::uniform_int_distribution<int>(0, 3)(random) == 0 ? c.MaxDelta() : 100;
                std::uniform_int_distribution<int32_t> delta(-reach, reach);
                ZXS_Point next { points.back().x + delta(random), points.back().y + delta(random) };
                next.x = std::clamp(next.x, 0, c.MaxAbsolute());
                next.y = std::clamp(next.y, 0, c.MaxAbsolute());
                if (next == points.back() && scheme != 2)
                    continue; // schemes 0 and 1 have no zero step
                if (std::abs(next.x - points.back().x) > c.MaxDelta()
                    || std::abs(next.y - points.back().y) > c.MaxDelta())
                    continue;
                points.push_back(next);
            }
            const Bytes bytes = EncodeRun(scheme, points);
            ASSERT_EQ(DecodeRun(scheme, bytes), points) << "scheme " << scheme << " run " << run;
        }
    }
}

TEST(PointIterator, ClosedShapesAndDamagedRuns)
{
    const std::vector<ZXS_Point> triangle { { 10, 10 }, { 20, 10 }, { 15, 20 } };
    for (int scheme = 0; scheme < 3; ++scheme) {
        const Bytes run = EncodeRun(scheme, triangle);
        std::vector<ZXS_Point> closed = triangle;
        closed.push_back(triangle[0]);
        EXPECT_EQ(DecodeRun(scheme, run, true), closed) << scheme;
        EXPECT_EQ(DecodeRun(scheme, EncodeRun(scheme, closed), true), closed) << scheme;

        // A run placed after other bytes, with its origin.
        Bytes shifted(5 + run.size(), 0xAA);
        std::copy(run.begin(), run.end(), shifted.begin() + 5);
        EXPECT_EQ(DecodeRun(scheme, shifted, false, 5), triangle) << scheme;

        // A run that claims more bytes than the point data holds is refused; one
        // whose last step is cut off ends before it.
        EXPECT_TRUE(DecodeRun(scheme, run, false, 0, static_cast<uint32_t>(run.size() + 1)).empty());
        const std::vector<ZXS_Point> far { { 10, 10 }, { 10 + 1000, 10 } };
        const Bytes cut = EncodeRun(scheme, far);
        EXPECT_EQ(DecodeRun(scheme, cut, false, 0, static_cast<uint32_t>(cut.size() - 1)).size(), 1u)
            << scheme;
    }
    CZXS_ObjectRecord unknown;
    unknown.SetCoding(3);
    unknown.SetRunLength(6);
    const uint8_t data[6] = {};
    CZXS_PointIterator it;
    EXPECT_FALSE(it.Begin(0, 0, data, 6, 0, unknown));
    EXPECT_EQ(it.Next(), 0);
}

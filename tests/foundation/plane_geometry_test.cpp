// Plane geometry on map coordinates: metre distances through the installed
// conversion, angle tests, the segment classification, lines, directions,
// bearings and blit clipping.

#include <gtest/gtest.h>

#include "foundation/plane_geometry.h"
#include "tests/support/scoped_screen.h"

namespace {

// Installs a conversion of `metresPerUnit` (none: no map open) for one test.
class ScopedMap {
public:
    explicit ScopedMap(double metresPerUnit)
    {
        SetMapUnitsToMetresHandler([metresPerUnit](double units) { return units * metresPerUnit; });
    }
    ScopedMap() { SetMapUnitsToMetresHandler(nullptr); }
    ~ScopedMap()
    {
        SetMapUnitsToMetresHandler(nullptr);
        SetGpsMapPositionHandler(nullptr);
    }
    ScopedMap(const ScopedMap&) = delete;
    ScopedMap& operator=(const ScopedMap&) = delete;
};

} // namespace

TEST(PlaneGeometry, MetreDistancesGoThroughTheMapAndFailWithoutOne)
{
    const MapPoint a { 0, 0 };
    const MapPoint b { 30, 40 };
    {
        ScopedMap none;
        EXPECT_EQ(MapPointDistance(a, b), -1.0);
        EXPECT_EQ(MapPointDistanceSq(a, b), -1.0);
        EXPECT_EQ(MapPointDistanceSqTo(a, b), -1.0);
        EXPECT_EQ(DistanceToGpsPosition(a, true), -1.0);
        EXPECT_EQ(MetresToMapUnits(100.0), -1.0);
    }
    ScopedMap twoMetres(2.0);
    EXPECT_DOUBLE_EQ(MapPointDistance(a, b), 100.0);
    EXPECT_DOUBLE_EQ(MapPointDistanceSq(a, b), 60.0 * 60.0 + 80.0 * 80.0);
    EXPECT_DOUBLE_EQ(MapPointDistanceSqRaw(a, b), 2500.0);
    EXPECT_DOUBLE_EQ(PointDistance(a, b), 50.0);
    EXPECT_EQ(DistanceToGpsPosition(a, false), -1.0) << "no GPS source installed";
    bool locked = false;
    SetGpsMapPositionHandler([&](bool takeLock, MapPoint& p) {
        locked = takeLock;
        p = { -1, 5 };
        return true;
    });
    EXPECT_EQ(DistanceToGpsPosition(a, true), -1.0) << "x of -1 is no position";
    EXPECT_TRUE(locked);
    SetGpsMapPositionHandler([](bool, MapPoint& p) {
        p = { 3, 4 };
        return true;
    });
    EXPECT_DOUBLE_EQ(DistanceToGpsPosition(a, false), 10.0);
    MapPoint gps;
    ASSERT_TRUE(GetGpsMapPosition(false, gps));
    EXPECT_EQ(gps.x, 3);
    EXPECT_DOUBLE_EQ(MetresToMapUnits(100.0), 50.0);
}

TEST(PlaneGeometry, SideDotAndSquaredCosines)
{
    EXPECT_EQ(SideOfLine({ 0, 0 }, { 5, 5 }, { 10, 10 }), 0);
    EXPECT_NE(SideOfLine({ 0, 0 }, { 5, 0 }, { 5, 5 }), SideOfLine({ 0, 0 }, { 5, 0 }, { 5, -5 }));
    EXPECT_EQ(DotProductSign({ 0, 5 }, { 0, 0 }, { 5, 0 }), 2) << "a right angle";
    EXPECT_EQ(DotProductSign({ 5, 5 }, { 0, 0 }, { 5, 0 }), 1);
    EXPECT_EQ(DotProductSign({ 0, 0 }, { 0, 0 }, { 5, 0 }), 2) << "a leg of no length";
    // B->A against C->D.
    EXPECT_DOUBLE_EQ(SignedSquaredCosBetweenSegments({ 10, 0 }, { 0, 0 }, { 0, 0 }, { 7, 0 }), 1.0);
    EXPECT_DOUBLE_EQ(SignedSquaredCosBetweenSegments({ 10, 0 }, { 0, 0 }, { 7, 0 }, { 0, 0 }), -1.0);
    EXPECT_NEAR(SignedSquaredCosBetweenSegments({ 10, 0 }, { 0, 0 }, { 0, 0 }, { 5, 5 }), 0.5, 1e-12);
    EXPECT_DOUBLE_EQ(SignedSquaredCosBetweenSegments({ 0, 0 }, { 0, 0 }, { 0, 0 }, { 5, 5 }), -2.0);
    EXPECT_DOUBLE_EQ(SignedSquaredCosTurn({ 0, 0 }, { 5, 0 }, { 0, 0 }), 1.0) << "a full reversal";
    EXPECT_DOUBLE_EQ(SignedSquaredCosTurn({ 0, 0 }, { 5, 0 }, { 10, 0 }), -1.0) << "straight on";
    EXPECT_DOUBLE_EQ(SignedSquaredCosTurn({ 0, 0 }, { 5, 0 }, { 5, 5 }), 0.0);
}

TEST(PlaneGeometry, ClassifyPointOnSegment)
{
    const MapPoint s { 0, 0 };
    const MapPoint e { 100, 0 };
    const MapPoint next { 200, 0 };
    struct Case {
        MapPoint p;
        const MapPoint* next;
        double nearSq;
        int expected;
    };
    const Case cases[] = {
        { { 100, 0 }, nullptr, 25, 3 }, // on the end
        { { 0, 0 }, nullptr, 25, 1 }, // on the start of a long segment
        { { 0, 0 }, nullptr, 20000, 3 }, // on the start of a short one
        { { 150, 3 }, nullptr, 25, 4 }, // past the end
        { { 102, 1 }, nullptr, 25, 5 }, // just past the end
        { { 102, 1 }, &next, 25, 5 }, // past the end toward the next node
        { { -50, 0 }, nullptr, 25, 8 }, // before the start
        { { -2, 1 }, nullptr, 25, 9 }, { { 50, 3 }, nullptr, 25, 1 }, // in the corridor
        { { 50, 30 }, nullptr, 25, 0 }, // off it
        { { 97, 30 }, nullptr, 2000, 2 }, // near the end only
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClassifyPointOnSegment(s, c.p, e, c.next, nullptr, 100, c.nearSq), c.expected)
            << c.p.x << "," << c.p.y;
    EXPECT_EQ(ClassifyPointOnSegment(s, { 3, 0 }, s, nullptr, nullptr, 100, 25), 2)
        << "a segment of no length";
    EXPECT_EQ(SignedSquaredProjection(s, { 5, 5 }, nullptr, nullptr, 1), 0.0);
}

// With a neighbouring node the corner at an end is split along its bisector:
// a point on the turn's inner side belongs to the neighbour's segment, one on
// the outer side stays with this one, and a point on the bisector is past the
// end but not before the start. Each row differs from what a sign or a
// comparison flipped in either test would give.
TEST(PlaneGeometry, ClassifyPointOnSegmentSplitsTheCornersWithTheNeighbours)
{
    const MapPoint s { 0, 0 };
    const MapPoint e { 100, 0 };
    const MapPoint next { 100, 100 };
    const MapPoint previous { 0, 100 };
    struct Case {
        const char* what;
        MapPoint p;
        const MapPoint* next;
        const MapPoint* previous;
        int expected;
    };
    const Case cases[] = {
        { "inside the turn at the end", { 90, 20 }, &next, nullptr, 4 },
        { "the same point without the next node", { 90, 20 }, nullptr, nullptr, 0 },
        { "outside the turn at the end", { 110, -20 }, &next, nullptr, 0 },
        { "the same point without the next node", { 110, -20 }, nullptr, nullptr, 4 },
        { "on the bisector at the end", { 50, 50 }, &next, nullptr, 4 },
        { "closer to this segment near its end", { 80, 5 }, &next, nullptr, 1 },
        { "inside the turn at the start", { 20, 90 }, nullptr, &previous, 8 },
        { "outside the turn at the start", { -10, -20 }, nullptr, &previous, 0 },
        { "the same point without the previous node", { -10, -20 }, nullptr, nullptr, 8 },
        { "on the bisector at the start", { 50, 50 }, nullptr, &previous, 0 },
        { "closer to this segment near its start", { 30, 5 }, nullptr, &previous, 1 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClassifyPointOnSegment(s, c.p, e, c.next, c.previous, 100, 25), c.expected) << c.what;
}

TEST(PlaneGeometry, LinesAndDirections)
{
    MapPoint out;
    EXPECT_FALSE(IntersectLines({ 0, 0 }, { 10, 10 }, { 0, 5 }, { 10, 15 }, out)) << "parallel";
    EXPECT_FALSE(IntersectLines({ 0, 0 }, { 0, 10 }, { 5, 0 }, { 5, 10 }, out)) << "both vertical";
    ASSERT_TRUE(IntersectLines({ 0, 0 }, { 10, 10 }, { 0, 10 }, { 10, 0 }, out));
    EXPECT_EQ(out.x, 5);
    EXPECT_EQ(out.y, 5);
    ASSERT_TRUE(IntersectLines({ 0, 0 }, { 3, 1 }, { -1, -10 }, { -1, 10 }, out));
    EXPECT_EQ(out.x, -1);
    EXPECT_EQ(out.y, 0) << "-1/3 truncates toward zero";
    ASSERT_TRUE(IntersectLines({ 7, -10 }, { 7, 10 }, { 0, 0 }, { 3, 1 }, out));
    EXPECT_EQ(out.x, 7);
    EXPECT_EQ(out.y, 2);
    // Nearly parallel lines cross far beyond any 32-bit coordinate: no point,
    // and `out` is left alone.
    out = { 11, 12 };
    EXPECT_FALSE(IntersectLines({ 0, 0 }, { 1000000, 1 }, { 0, 1 }, { 1000001, 2 }, out));
    EXPECT_FALSE(IntersectLines({ 5, 0 }, { 5, 10 }, { 0, 0 }, { 1, 2000000000 }, out))
        << "steep second line";
    EXPECT_FALSE(IntersectLines({ 0, 0 }, { 1, 2000000000 }, { 5, 0 }, { 5, 10 }, out)) << "steep first line";
    EXPECT_EQ(out.x, 11);
    EXPECT_EQ(out.y, 12);

    EXPECT_EQ(PointDirectionDegrees({ 1, 1 }, { 1, 1 }), 400.0);
    EXPECT_EQ(PointDirectionDegrees({ 1, 1 }, { 1, 0 }), -90.0);
    EXPECT_EQ(PointDirectionDegrees({ 1, 1 }, { 1, 5 }), 90.0);
    EXPECT_NEAR(PointDirectionDegrees({ 0, 0 }, { 1, 1 }), 45.0, 1e-12);
    EXPECT_EQ(TurnAngleDegrees({ 0, 0 }, { 5, 0 }, { 10, 0 }), 180.0);
    EXPECT_EQ(TurnAngleDegrees({ 0, 0 }, { 5, 0 }, { 2, 0 }), 0.0);
    EXPECT_EQ(TurnAngleDegrees({ 5, 0 }, { 5, 0 }, { 2, 0 }), 400.0);
    for (double bearing : { 0.0, 45.0, 90.0, 179.5, 270.0, 359.0 }) {
        const double angle = BearingToMathAngle(bearing);
        EXPECT_GT(angle, -180.0);
        EXPECT_LE(angle, 180.0);
        EXPECT_NEAR(MathAngleToBearing(angle), bearing, 1e-9);
    }
    EXPECT_EQ(BearingToMathAngle(0.0), 90.0);
    EXPECT_EQ(BearingToMathAngle(270.0), 180.0);
}

TEST(PlaneGeometry, ClipBlitToScreen)
{
    ScopedScreen screen(240, 320, 96);
    struct Case {
        int x, y, w, h, sx, sy;
        bool ok;
        int ex, ey, ew, eh, esx, esy;
    };
    const Case cases[] = {
        { 10, 10, 50, 40, 0, 0, true, 10, 10, 50, 40, 0, 0 },
        { -20, 10, 50, 40, 0, 0, true, 0, 10, 30, 40, 20, 0 }, // off the left
        { 10, -15, 50, 40, 0, 0, true, 10, 0, 50, 25, 0, 15 }, // off the top
        { 220, 300, 50, 40, 0, 0, true, 220, 300, 20, 20, 0, 0 }, // past the right and bottom
        { -60, 10, 50, 40, 0, 0, false, 0, 10, 0, 40, 60, 0 }, // wholly off the left
        { 240, 10, 50, 40, 0, 0, false, 240, 10, 0, 40, 0, 0 },
    };
    for (const Case& c : cases) {
        int x = c.x, y = c.y, w = c.w, h = c.h, sx = c.sx, sy = c.sy;
        EXPECT_EQ(ClipBlitToScreen(x, y, w, h, sx, sy), c.ok) << c.x << "," << c.y;
        if (c.ok) {
            EXPECT_EQ(x, c.ex);
            EXPECT_EQ(y, c.ey);
            EXPECT_EQ(w, c.ew);
            EXPECT_EQ(h, c.eh);
            EXPECT_EQ(sx, c.esx);
            EXPECT_EQ(sy, c.esy);
        }
    }
}

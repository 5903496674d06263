#pragma once
// Small planar computations on integer map coordinates (y down) and plain
// integer points: distances, side and angle tests, the place of a point
// against a route segment, line intersection, directions, bearings and the
// clipping of a blit rectangle to the screen.
#include <cstdint>
#include <functional>

struct MapPoint {
    int32_t x = 0;
    int32_t y = 0;
};

// Metres of a length in map units on the map shown now; -1.0 while no map is
// open. The map controller installs its kernel conversion; without one every
// metre distance is -1.0.
void SetMapUnitsToMetresHandler(std::function<double(double units)> handler);
// The current GPS position in map coordinates, read under the fix lock when
// `takeLock`; false when the GPS gives no map position. The GPS source installs it.
void SetGpsMapPositionHandler(std::function<bool(bool takeLock, MapPoint& position)> handler);

// Map units of a length in metres, the inverse of the installed conversion;
// -1.0 when no map is open.
double MetresToMapUnits(double metres);
// The current GPS position in map coordinates (under the fix lock when
// `takeLock`); false when the GPS gives none.
bool GetGpsMapPosition(bool takeLock, MapPoint& position);

// Metres between two map points; -1.0 when no map is open.
double MapPointDistance(const MapPoint& a, const MapPoint& b);
// Square metres, each axis converted on its own; -1.0 when a conversion fails.
double MapPointDistanceSq(const MapPoint& a, const MapPoint& b);
double MapPointDistanceSqTo(const MapPoint& node, const MapPoint& point);
// Square map units, unconverted.
double MapPointDistanceSqRaw(const MapPoint& node, const MapPoint& point);
// Metres from the node to the GPS position; -1.0 without one or without a map.
double DistanceToGpsPosition(const MapPoint& node, bool takeLock);
double PointDistance(const MapPoint& p, const MapPoint& q);

// 1 when C lies on one side of B->A (positive cross product), 2 the other, 0 on the line.
int SideOfLine(const MapPoint& a, const MapPoint& b, const MapPoint& c);
// 1 for an acute angle at B, 2 for a right or obtuse one or a leg of no length.
int DotProductSign(const MapPoint& a, const MapPoint& b, const MapPoint& c);
// cos * |cos| of the angle between B->A and C->D; -2.0 when a segment has no length.
double SignedSquaredCosBetweenSegments(
    const MapPoint& a, const MapPoint& b, const MapPoint& c, const MapPoint& d);
double SignedSquaredCosTurn(const MapPoint& a, const MapPoint& b, const MapPoint& c);

// m * |m| / |towards - start|^2 with m = (point - start) . (towards - start);
// 0.0 when there is no `towards` or it equals start. `inOutDot`, when given,
// becomes inOutDot * |inOutDot| / lengthSq.
double SignedSquaredProjection(
    const MapPoint& start, const MapPoint& point, const MapPoint* towards, double* inOutDot, double lengthSq);
// Where P lies against the segment S->E (codes 0-9): 3 on E or near it in the
// corridor, 1 in the corridor, 2 near E only, 0 neither; 4/5 past the end (5
// near E), 8/9 before the start (9 near S). `next` follows E, `previous` precedes S.
int ClassifyPointOnSegment(const MapPoint& s, const MapPoint& p, const MapPoint& e, const MapPoint* next,
    const MapPoint* previous, double corridorSq, double nearSq);

// The crossing of the infinite lines a-b and c-d, truncated toward zero; false
// when parallel or when the crossing lies beyond 32-bit coordinates (`out` is then untouched).
bool IntersectLines(
    const MapPoint& a, const MapPoint& b, const MapPoint& c, const MapPoint& d, MapPoint& out);
// Degrees, 0 along +x, counter-clockwise in the plane's own axes; 400.0 for equal points.
double PointDirectionDegrees(const MapPoint& from, const MapPoint& to);
// The turn from direction a to direction b (degrees) in (-180, 180]; 400.0
// when either is 400.0 (no direction).
double TurnBetweenDirections(double a, double b);
// The turn at q from p to r in (-180, 180]; 400.0 when a leg has no length.
double TurnAngleDegrees(const MapPoint& p, const MapPoint& q, const MapPoint& r);
double BearingToMathAngle(double bearing);
double MathAngleToBearing(double angle);

// Clips a blit of a sw x sh image to the screen: on entry width and height
// are the image's size. False when nothing is left.
bool ClipBlitToScreen(int& dstX, int& dstY, int& width, int& height, int& srcX, int& srcY);

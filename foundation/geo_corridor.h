#pragma once
// Whether a position lies in a corridor around a segment. Distances are given
// in a unit mode: 0 radians, 1 degrees, anything else metres.
#include "foundation/geo_pos.h"

enum GeoUnitMode : int {
    GEO_UNIT_RADIANS = 0,
    GEO_UNIT_DEGREES = 1,
    GEO_UNIT_METRES = 2,
};

double DistanceToRadians(double value, int unitMode);

// Coordinate-space half-width, radians, of a band of the given angular width
// across direction `angle` at latitude `latitude`.
double GeoBandWidth(double distance, double angle, double latitude);

// Within halfWidth of the infinite line through a and b (the boundary counts).
bool GeoInLineBand(const CGeoPos& point, const CGeoPos& a, const CGeoPos& b, double halfWidth, int unitMode);
// Between the perpendiculars that bound the segment a-b extended by margin at each end.
bool GeoInSegmentSpan(const CGeoPos& point, const CGeoPos& a, const CGeoPos& b, double margin, int unitMode);
bool GeoCorridorContains(
    const CGeoPos& point, const CGeoPos& a, const CGeoPos& b, double halfWidth, double margin, int unitMode);
// GeoCorridorContains with both distances in metres.
bool GeoRectContains(
    const CGeoPos& point, const CGeoPos& a, const CGeoPos& b, double halfWidth, double margin);
// Within `metres` of the segment or of either end.
bool GeoNearSegment(const CGeoPos& point, const CGeoPos& a, const CGeoPos& b, double metres);

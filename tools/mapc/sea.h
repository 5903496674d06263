#pragma once

#include <cstdint>
#include <vector>

#include "kernel/doc/point_coding.h"
#include "tools/mapc/osm_data.h"

// The sea of an extract. OpenStreetMap draws a coastline with the land on its
// left and the water on its right; an extract cuts the coastline at its edges,
// so the sea is closed along the extract's box.
namespace mapc {

// The sea inside the box as rings of positions, each without its closing
// repeat: a point is sea when it lies inside an odd number of them. The
// coastlines are joined lines of positions in their own direction. Open
// coastlines are closed along the box's edges, which run with the water on
// their right; closed ones are islands (anticlockwise) or enclosed water
// (clockwise). Without any coastline there is no sea.
std::vector<std::vector<Location>> SeaRings(
    const std::vector<std::vector<Location>>& coastlines, const GeoBox& box);

// A ring cut to the rectangle [left, right] x [top, bottom] (map units). Cut
// apart and put together by the even-odd rule, the pieces of a set of rings
// cover inside the rectangle exactly what the rings covered. Empty when
// nothing of the ring's area is left.
std::vector<ZXS_Point> ClipRing(const std::vector<ZXS_Point>& ring, const ZXS_Rect& rect);

} // namespace mapc

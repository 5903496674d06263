#pragma once

#include <cstdint>

#include "kernel/render/image.h"
#include "kernel/render/screen_types.h"

// Pieces of the scan-line filler (`CZX_Image::FillPolygon`), open for tests.

// Edge order for the scan: smaller y1, smaller x1, smaller inverse slope, larger
// y2. Negative, 0 or positive.
int CompareEdges(const CZX_Image::Edge& a, const CZX_Image::Edge& b);

// Splits one polygon edge against `clip` into at most three stored edges, each
// with y1 < y2: the part left of the clip becomes a vertical edge at left - 1,
// the part right of it a vertical edge at right, the rest is clipped. Horizontal
// edges give none. Returns how many were written to `out`.
int32_t ClipEdge(const ZXS_ScreenRect& clip, ZXS_ScreenPoint p1, ZXS_ScreenPoint p2, CZX_Image::Edge out[3]);

#pragma once

#include <cstdint>

#include "kernel/api/types.h"
#include "kernel/api/view_handle.h"

// Routes of a view: the view's router is made by ZXS_RouteReset, given a
// start, via points and a finish by map position, and asked for the route.
// Codes besides the router's own: ZXS_ERR_NOHANDLE the handle is not valid or
// the view has no ready router, ZXS_ERR_PARAM a value out of range,
// ZXS_ERR_BUSY the view kept rendering, ZXS_ERR_FAIL no router could be made
// for the view.

// Makes the view's router when it has none and forgets its points and route.
int32_t ZXS_RouteReset(CZXS_ViewHandle* view);
// Heading -1 (none) or 0..3599 tenths of a degree; usePassages 0 or 1: the
// passage journal's closures count while snapping to a road.
int32_t ZXS_RouteSetStart(
    CZXS_ViewHandle* view, int32_t x, int32_t y, int32_t radius, int32_t heading, int32_t usePassages);
// nameId -1: any road, else only roads of that name.
int32_t ZXS_RouteSetFinish(
    CZXS_ViewHandle* view, int32_t x, int32_t y, int32_t radius, int32_t nameId, int32_t usePassages);
int32_t ZXS_RouteAddVia(
    CZXS_ViewHandle* view, int32_t x, int32_t y, int32_t radius, int32_t nameId, int32_t usePassages);
// Option 1 the shortest route, any other (2) the fastest. The router's result.
int32_t ZXS_RouteCalculate(CZXS_ViewHandle* view, int32_t option);
// Without an array (or a count below 1) the number of route points; else the
// points copied, at most `count`. -1 for an invalid view or one without router.
int32_t ZXS_RouteGetPoints(const CZXS_ViewHandle* view, CZXS_RoutePoint* points, int32_t count);
// Draws the route over the view's image once no frame is running (waiting up
// to 2.5 s in 50 ms steps; ZXS_ERR_BUSY when a frame still runs);
// ZXS_ERR_NOHANDLE without an image.
int32_t ZXS_RouteDraw(CZXS_ViewHandle* view);
// Route display bits from flags: bit 0 draw the route, bit 3 every route point,
// bit 1 point markers, bit 2 hidden points among the markers. Widths and colours
// in the order outer, centre, marked outer, marked centre. ZXS_ERR_NOHANDLE without
// an image.
int32_t ZXS_RouteSetStyle(CZXS_ViewHandle* view, int32_t flags, int32_t outerWidth, int32_t centreWidth,
    int32_t markedOuterWidth, int32_t markedCentreWidth, int32_t outerRed, int32_t outerGreen,
    int32_t outerBlue, int32_t centreRed, int32_t centreGreen, int32_t centreBlue, int32_t markedOuterRed,
    int32_t markedOuterGreen, int32_t markedOuterBlue, int32_t markedCentreRed, int32_t markedCentreGreen,
    int32_t markedCentreBlue);
// Deletes the view's router with its points and route.
int32_t ZXS_RouteDelete(CZXS_ViewHandle* view);

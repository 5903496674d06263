#pragma once

#include <cstdint>

#include "kernel/api/map_handle.h"
#include "kernel/api/types.h"

// Geographic positions (radians) to map points through the map's transform,
// rounded half away from zero. ZXS_ERR_NOHANDLE without a document,
// ZXS_ERR_PARAM without an output, ZXS_ERR_NOGEO when the map has no transform
// (as ZXS_MapToGeo answers), ZXS_ERR_FAIL when the transform fails or the
// point leaves the 32-bit range.
int32_t ZXS_GeoToMap(const CZXS_MapHandle* handle, double longitude, double latitude, ZXS_Point* point);
// Map points to geographic positions: ZXS_ERR_NOGEO when the map has no
// transform, ZXS_ERR_FAIL when it cannot be reversed.
int32_t ZXS_MapToGeo(const CZXS_MapHandle* handle, int32_t x, int32_t y, double* longitude, double* latitude);

#pragma once

#include <cstdint>

#include "kernel/api/map_handle.h"
#include "kernel/api/poi_handle.h"
#include "kernel/api/types.h"

// POI queries over the POI sets of every open map. Text functions copy at most
// length - 1 units and terminate; an empty text reports 20 like a missing one.
// 8-bit texts of the POI file are in its code page; names of categories and
// attribute types are Windows-1251 in their 8-bit form.

void ZXS_PoiCreate(CZXS_PoiHandle* handle);
void ZXS_PoiDestroy(CZXS_PoiHandle* handle);
// The box in radians; 3 unless each least value is below its greatest.
int32_t ZXS_PoiQueryGeo(CZXS_PoiHandle* handle, double leastLongitude, double greatestLongitude,
    double leastLatitude, double greatestLatitude);
// The box of a map rectangle (x1, y1 its top left corner) through the map's transform.
int32_t ZXS_PoiQueryRect(CZXS_PoiHandle* handle, const CZXS_MapHandle* map, const ZXS_Rect* rect);
// ZXS_ERR_NODATA when no POI is left, ZXS_ERR_MEMORY when memory is short.
int32_t ZXS_PoiFirst(CZXS_PoiHandle* handle);
int32_t ZXS_PoiNext(CZXS_PoiHandle* handle);
int32_t ZXS_PoiGetGeoPos(
    const CZXS_PoiHandle* handle, const CZXS_MapHandle* map, double* longitude, double* latitude);
int32_t ZXS_PoiGetMapPos(const CZXS_PoiHandle* handle, const CZXS_MapHandle* map, ZXS_Point* point);
int32_t ZXS_PoiGetNameA(const CZXS_PoiHandle* handle, char* buffer, int32_t length);
int32_t ZXS_PoiGetNameW(const CZXS_PoiHandle* handle, char16_t* buffer, int32_t length);
// The record's category code; 0 without a query or a record.
int32_t ZXS_PoiGetCategoryCode(const CZXS_PoiHandle* handle);
int32_t ZXS_PoiGetCategoryA(const CZXS_PoiHandle* handle, char* buffer, int32_t length);
int32_t ZXS_PoiGetCategoryW(const CZXS_PoiHandle* handle, char16_t* buffer, int32_t length);
// The current attribute's type when below 10, else 0.
int32_t ZXS_PoiGetAttrType(const CZXS_PoiHandle* handle);
int32_t ZXS_PoiAdvanceAttr(CZXS_PoiHandle* handle);
int32_t ZXS_PoiGetAttrTextA(const CZXS_PoiHandle* handle, char* buffer, int32_t length);
int32_t ZXS_PoiGetAttrTextW(const CZXS_PoiHandle* handle, char16_t* buffer, int32_t length);
int32_t ZXS_PoiGetAttrLabelA(const CZXS_PoiHandle* handle, char* buffer, int32_t length);
int32_t ZXS_PoiGetAttrLabelW(const CZXS_PoiHandle* handle, char16_t* buffer, int32_t length);
int32_t ZXS_PoiGetAttrTypeNameA(const CZXS_PoiHandle* handle, char* buffer, int32_t length);
int32_t ZXS_PoiGetAttrTypeNameW(const CZXS_PoiHandle* handle, char16_t* buffer, int32_t length);

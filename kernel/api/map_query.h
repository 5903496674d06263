#pragma once

#include <cstdint>

#include "kernel/api/map_handle.h"
#include "kernel/api/types.h"

// Questions about an open map through its handle: extent, units, colours,
// styles, layers, objects, names and searches by name. Value functions answer
// their sentinels (-1, -1.0, 0x8000000) when the handle holds no map.

int32_t ZXS_MapGetBounds(const CZXS_MapHandle* map, ZXS_Rect* rect);
// The centre of the bounds; (0x8000000, 0x8000000) when there are none.
int32_t ZXS_MapGetCenter(const CZXS_MapHandle* map, ZXS_Point* point);
// -1.0 without a map or when the map gives no resolution.
double ZXS_MapUnitsToMeters(const CZXS_MapHandle* map, double units);
double ZXS_MetersToMapUnits(const CZXS_MapHandle* map, double meters);
int32_t ZXS_MapGetBackgroundColor(
    const CZXS_MapHandle* map, uint8_t* red, uint8_t* green, uint8_t* blue, uint8_t* extra);
int32_t ZXS_MapHasRoadGraph(const CZXS_MapHandle* map);
// The n-th style of the group (from 0) as its 44 bytes, its first word turned
// into the scale from which it applies.
int32_t ZXS_MapGetStyle(const CZXS_MapHandle* map, int32_t group, int32_t n, uint8_t* record);
uint32_t ZXS_PassageColorGet(int32_t index);

// Layers. ZXS_ObjGetLayer answers -1 without a map, never a layer number.
int32_t ZXS_ObjGetLayer(const CZXS_MapHandle* map, int32_t object);
int32_t ZXS_LayerFindA(const CZXS_MapHandle* map, const char* name);
int32_t ZXS_LayerGetStyleGroup(const CZXS_MapHandle* map, int32_t layer);
int32_t ZXS_LayerGetRoadIndex(const CZXS_MapHandle* map, int32_t layer);
int32_t ZXS_LayerGetNameA(
    const CZXS_MapHandle* map, int32_t layer, int32_t language, char* buffer, int32_t length);
int32_t ZXS_LayerGetNameW(
    const CZXS_MapHandle* map, int32_t layer, int32_t language, char16_t* buffer, int32_t length);

// Objects.
int32_t ZXS_MapFindObjectAt(
    const CZXS_MapHandle* map, int32_t first, int32_t scale, int32_t x, int32_t y, int32_t radius);
int32_t ZXS_MapFindNearestObject(const CZXS_MapHandle* map, int32_t x, int32_t y, int32_t radius,
    int32_t heading, int32_t* linkId, int32_t* directions);
// Segment out: first end x, y, second end x, y.
int32_t ZXS_ObjGetNearestSegment(
    const CZXS_MapHandle* map, const ZXS_Point* point, int32_t linkId, int32_t* segment);
int32_t ZXS_MapFitObject(const CZXS_MapHandle* map, int32_t object, int32_t pointOffset, int32_t layer,
    int32_t width, int32_t height, int32_t* scale, ZXS_Point* centre);
int32_t ZXS_ObjGetNearestPoint(const CZXS_MapHandle* map, int32_t object, int32_t pointOffset, int32_t layer,
    const ZXS_Point* point, ZXS_Point* nearest);
int32_t ZXS_ObjGetRect(const CZXS_MapHandle* map, int32_t object, int32_t pointOffset, int32_t layer,
    ZXS_Rect* rect, int32_t wholeFeature);
int32_t ZXS_ObjGetLinkId(const CZXS_MapHandle* map, int32_t object, int32_t layer);
int32_t ZXS_ObjGetOwnNameId(const CZXS_MapHandle* map, int32_t object, int32_t layer);
int32_t ZXS_ObjGetNameId(const CZXS_MapHandle* map, int32_t nameId);
int32_t ZXS_ObjGetNameA(const CZXS_MapHandle* map, int32_t nameId, int32_t language, char* buffer,
    int32_t length, int32_t withKind);
int32_t ZXS_ObjGetNameW(const CZXS_MapHandle* map, int32_t nameId, int32_t language, char16_t* buffer,
    int32_t length, int32_t withKind);

// Searches by name: the callback gets (user, object, point offset, layer) and stops the walk with 0.
using ZXS_EnumCallback = int32_t (*)(void* user, int32_t object, int32_t pointOffset, int32_t layer);
int32_t ZXS_MapEnumObjectsByNameA(const CZXS_MapHandle* map, int32_t start, const char* pattern,
    const char* secondPattern, ZXS_EnumCallback callback, void* user, int32_t oncePerLayer);
int32_t ZXS_MapEnumObjectsByNameW(const CZXS_MapHandle* map, int32_t start, const char16_t* pattern,
    const char16_t* secondPattern, ZXS_EnumCallback callback, void* user, int32_t oncePerLayer);
int32_t ZXS_MapEnumLinkedA(
    const CZXS_MapHandle* map, int32_t linkId, const char* pattern, ZXS_EnumCallback callback, void* user);
int32_t ZXS_MapEnumLinkedW(const CZXS_MapHandle* map, int32_t linkId, const char16_t* pattern,
    ZXS_EnumCallback callback, void* user);

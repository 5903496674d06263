#pragma once

#include <cstdint>

#include "kernel/doc/object_record.h"
#include "kernel/doc/point_coding.h"

class CZXS_TzxDoc;
class CZXS_ObjectCursor;

// The geometric questions a map document answers about its objects. Object
// numbers are record indexes; a point offset or layer of -1 is looked up.
class CZXS_DocQueries {
public:
    // The first object from `first` on (below `end`) at (x, y): within `radius`
    // of a line or area, inside a closed area, or for a point object within the
    // radius and four pixels at scale `scale` (map units per 128 pixels). With a
    // scale of 1 or more only layers whose style at that scale can be found by a
    // point search count. -1 when none.
    static int32_t FindObjectAt(const CZXS_TzxDoc& doc, int32_t first, int32_t scale, int32_t x, int32_t y,
        int32_t radius, int32_t end, CZXS_ObjectCursor* cursor = nullptr);
    // Places a view of w x h pixels so that the object shows: 1 it already
    // does, 0 the scale or the centre changed, -1 refused.
    static int FitObject(const CZXS_TzxDoc& doc, int32_t object, int32_t pointOffset, int32_t layer,
        int32_t width, int32_t height, int32_t* scale, ZXS_Point* centre);
    // The point of the object nearest to `p` (`p` itself inside a closed object
    // or within 2 units of it). 1, or 0 when the object cannot be reached.
    static int NearestPoint(const CZXS_TzxDoc& doc, int32_t object, int32_t pointOffset, int32_t layer,
        ZXS_Point p, ZXS_Point* out);
    // The box of the object, or of every record of its named feature.
    static int ObjectRect(const CZXS_TzxDoc& doc, int32_t object, int32_t pointOffset, int32_t layer,
        ZXS_Rect* out, bool wholeFeature);
};

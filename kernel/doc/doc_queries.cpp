#include "kernel/doc/doc_queries.h"

#include <algorithm>
#include <cmath>

#include "kernel/doc/map_geometry.h"
#include "kernel/doc/object_cursor.h"
#include "kernel/doc/point_collector.h"
#include "kernel/doc/point_iterator.h"
#include "kernel/doc/tzx_doc.h"

namespace {

constexpr int kMaxRecords = 2048;

void Widen(ZXS_Rect& r, ZXS_Point p, bool& started)
{
    if (!started) {
        r = { p.x, p.y, p.x, p.y };
        started = true;
        return;
    }
    r = { std::min(r.left, p.x), std::min(r.top, p.y), std::max(r.right, p.x), std::max(r.bottom, p.y) };
}

// Calls `visit` for every decoded point of the cursor's record.
template <class Visit> void ForEachPoint(const CZXS_ObjectCursor& cursor, Visit visit)
{
    CZXS_PointIterator it;
    if (!cursor.BeginPoints(it))
        return;
    visit(it.Current());
    while (it.Next() != 0)
        visit(it.Current());
}

} // namespace

int32_t CZXS_DocQueries::FindObjectAt(const CZXS_TzxDoc& doc, int32_t first, int32_t scale, int32_t x,
    int32_t y, int32_t radius, int32_t end, CZXS_ObjectCursor* cursor)
{
    if (first < 0)
        first = 0;
    CZXS_ObjectCursor local(&doc);
    CZXS_ObjectCursor& c = cursor != nullptr ? *cursor : local;
    const int64_t tolerance = int64_t { radius } + int64_t { 4 } * scale / 128;
    // Point objects count out to the tolerance, so the walk's box reaches that far.
    const int32_t reach
        = static_cast<int32_t>(std::clamp<int64_t>(std::max<int64_t>(tolerance, radius), 0, INT32_MAX));
    c.SetBoxAround(x, y, reach);
    const ZXS_Rect query = ZXS_Geometry::SquareAround({ x, y }, radius);
    const float pixelsPerUnit = scale >= 1 ? 128.0f / static_cast<float>(scale) : 0.0f;
    const ZXS_Point p { x, y };
    CZXS_PointCollector collector;
    if (!collector.Reserve(1000))
        return -1;
    const int32_t firstLayer = doc.LayerCount() == 0 ? -1 : doc.LayerOfObject(first);
    if (doc.LayerCount() != 0 && firstLayer < 0)
        return -1;
    for (int32_t layer = firstLayer; layer < std::max(doc.LayerCount(), 0); ++layer) {
        const CZXS_LayerDesc desc = doc.GetLayerDesc(layer);
        if (scale >= 1 && desc) {
            const CZXS_StyleRecord style = doc.Styles().StyleFor(desc.StyleGroup(), pixelsPerUnit);
            if (!style || !style.IsPointSearchable())
                continue;
        }
        if (c.SetLayer(layer) == 0)
            continue;
        if (first > c.Object() && c.Seek(first, -1, layer) == 0)
            continue;
        const bool points = desc && desc.SymbolNumber() != 255;
        do {
            const int32_t object = c.Object();
            if (object >= end)
                return -1;
            if (points) {
                CZXS_PointIterator it;
                if (c.BeginPoints(it)) {
                    // In double: squares of 33-bit differences do not fit 64 bits.
                    const double dx = static_cast<double>(int64_t { it.Current().x } - x);
                    const double dy = static_cast<double>(int64_t { it.Current().y } - y);
                    const double reachSquared
                        = static_cast<double>(tolerance) * static_cast<double>(tolerance);
                    if (dx * dx + dy * dy <= reachSquared)
                        return object;
                }
                continue;
            }
            ZXS_Rect bounds;
            if (c.CollectPoints(&collector, &bounds, true) == 0 || !ZXS_Geometry::RectsTouch(bounds, query))
                continue;
            if (c.Record().IsClosed()
                && ZXS_Geometry::PointInParts(
                       collector.Points(), collector.PartLengths().data(), collector.PartCount(), p)
                    != 0)
                return object;
            uint32_t at = 0;
            for (uint32_t part = 0; part < collector.PartCount(); ++part) {
                const uint32_t n = collector.PartLength(part);
                if (ZXS_Geometry::PolylineDistance(collector.Points() + at, n, p, radius) <= radius)
                    return object;
                at += n;
            }
        } while (c.NextObject() != 0);
        if (layer < 0)
            break;
    }
    return -1;
}

int CZXS_DocQueries::FitObject(const CZXS_TzxDoc& doc, int32_t object, int32_t pointOffset, int32_t layer,
    int32_t width, int32_t height, int32_t* scale, ZXS_Point* centre)
{
    CZXS_ObjectCursor c(&doc);
    if (scale == nullptr || centre == nullptr || width < 5 || width > 16000 || height < 5 || height > 16000
        || *scale < 5 || *scale > 1000000 || c.Seek(object, pointOffset, layer) == 0)
        return -1;
    int64_t s = *scale;
    int64_t boxW = width * s / 128;
    int64_t boxH = height * s / 128;
    const int64_t halfW = width * s / 256;
    const int64_t halfH = height * s / 256;
    ZXS_Rect box;
    ZXS_Point firstPoint;
    bool started = false;
    bool near = false;
    int records = 0;
    do {
        ForEachPoint(c, [&](ZXS_Point p) {
            if (!started)
                firstPoint = p;
            Widen(box, p, started);
            if (std::llabs(int64_t { p.x } - centre->x) <= halfW
                && std::llabs(int64_t { p.y } - centre->y) <= halfH)
                near = true;
        });
    } while (++records < kMaxRecords && c.Step() != 0);
    if (!started)
        return -1;
    const CZXS_LayerDesc desc = doc.GetLayerDesc(doc.LayerOfObject(object));
    const int group = desc ? desc.StyleGroup() : 0;
    if (!doc.Styles().StyleFor(group, 128.0f / static_cast<float>(s))) {
        const CZXS_StyleRecord top = doc.Styles().TopStyle(group);
        // A threshold of 0 or less gives no scale to move to.
        if (!top || !(top.Threshold() > 0))
            return -1;
        const double fitted = std::trunc(120.0 / top.Threshold() + 0.5);
        if (!(fitted >= 1 && fitted <= INT32_MAX))
            return -1;
        s = static_cast<int64_t>(fitted);
        *scale = static_cast<int32_t>(s);
        boxW = width * s / 128;
        boxH = height * s / 128;
    } else if (near) {
        return 1;
    }
    if (3 * boxW / 2 >= int64_t { box.right } - box.left && 3 * boxH / 2 >= int64_t { box.bottom } - box.top)
        *centre = { static_cast<int32_t>((int64_t { box.left } + box.right) / 2),
            static_cast<int32_t>((int64_t { box.top } + box.bottom) / 2) };
    else
        *centre = firstPoint;
    return 0;
}

int CZXS_DocQueries::NearestPoint(
    const CZXS_TzxDoc& doc, int32_t object, int32_t pointOffset, int32_t layer, ZXS_Point p, ZXS_Point* out)
{
    if (out == nullptr)
        return 0;
    *out = p == ZXS_Point { -1, -1 } ? ZXS_Point { 1, -1 } : ZXS_Point { -1, -1 };
    CZXS_ObjectCursor c(&doc);
    if (c.Seek(object, pointOffset, layer) == 0)
        return 0;
    double best = 1e100;
    ZXS_Point bestA;
    ZXS_Point bestB;
    bool hasPoint = false;
    ZXS_Point firstPoint;
    int crossings = 0;
    int records = 0;
    do {
        const bool closed = c.Record().IsClosed();
        CZXS_PointIterator it;
        if (!c.BeginPoints(it))
            continue;
        if (!hasPoint) {
            firstPoint = it.Current();
            hasPoint = true;
        }
        // The iterator ends a closed record with its first point again, which
        // gives the closing segment.
        ZXS_Point previous = it.Current();
        while (it.Next() != 0) {
            const ZXS_Point current = it.Current();
            if (closed) {
                const int crossing = ZXS_Geometry::EdgeCrossing(previous, current, p);
                if (crossing >= ZXS_Geometry::kInsideHorizontal) {
                    *out = p;
                    return 1;
                }
                crossings += crossing;
            }
            const double d = ZXS_Geometry::SegmentDistance(previous, current, p);
            if (d < best) {
                best = d;
                bestA = previous;
                bestB = current;
            }
            if (best < 2.0) {
                *out = p;
                return 1;
            }
            previous = current;
        }
    } while (++records < kMaxRecords && c.Step() != 0);
    if (crossings & 1) {
        *out = p;
    } else if (best == 1e100) {
        if (hasPoint)
            *out = firstPoint;
    } else if (bestA == bestB) {
        *out = bestA;
    } else if (out->x != p.x && out->y != p.y) {
        ZXS_Geometry::SegmentDistance(bestA, bestB, p, out);
    }
    return 1;
}

int CZXS_DocQueries::ObjectRect(const CZXS_TzxDoc& doc, int32_t object, int32_t pointOffset, int32_t layer,
    ZXS_Rect* out, bool wholeFeature)
{
    CZXS_ObjectCursor c(&doc);
    if (out == nullptr || c.Seek(object, pointOffset, layer) == 0)
        return 0;
    const CZXS_ObjectRecord record = c.Record();
    ZXS_Rect rect;
    bool started = false;
    auto widen = [&](ZXS_Point p) { Widen(rect, p, started); };
    if (!wholeFeature || record.NameId() == ZXS_NO_OBJECT) {
        int records = 0;
        do
            ForEachPoint(c, widen);
        while (++records < kMaxRecords && c.Step() != 0);
    } else {
        const bool linked = (c.LayerDesc().Flags() & CZXS_LayerDesc::kLinked) != 0;
        CZXS_ObjectCursor walk(&doc);
        for (bool include = true; walk.FindNextByNameId(record.NameId(), include) != 0; include = false)
            ForEachPoint(walk, widen);
        if (linked) {
            CZXS_ObjectCursor links(&doc);
            for (bool include = true; links.FindNextLinked(record.NameId(), record.LinkId(), include) != 0;
                 include = false)
                ForEachPoint(links, widen);
        }
    }
    if (!started)
        return 0;
    *out = rect;
    return 1;
}

#pragma once
// Plain reference answers for the document's spatial queries: every object of
// the table decoded and measured, without cursors, boxes or block skipping.
#include <cmath>
#include <cstdint>
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "kernel/doc/map_geometry.h"
#include "kernel/doc/object_cursor.h"
#include "kernel/doc/passage_journal.h"
#include "kernel/doc/point_collector.h"
#include "kernel/doc/point_iterator.h"
#include "kernel/doc/segment.h"
#include "kernel/doc/tzx_doc.h"

namespace spatial_reference {

struct Object {
    int32_t number = 0;
    int32_t layer = 0;
    CZXS_ObjectRecord first;
    std::vector<std::vector<ZXS_Point>> parts;
};

inline std::vector<Object> DecodeObjects(const CZXS_TzxDoc& doc)
{
    std::vector<Object> objects;
    const uint32_t count = doc.Objects().Count();
    uint32_t offset = 0;
    for (uint32_t i = 0; i < count; ++i) {
        if (i % 64 == 0)
            offset = static_cast<uint32_t>(doc.BlockValue(i / 64, 8));
        const CZXS_ObjectRecord record = doc.Object(i);
        if (objects.empty() || i == 0 || doc.Object(i - 1).IsEndOfObject()) {
            Object o;
            o.number = static_cast<int32_t>(i);
            o.layer = doc.LayerOfObject(static_cast<int32_t>(i));
            o.first = record;
            objects.push_back(o);
        }
        CZXS_PointIterator it;
        std::vector<ZXS_Point> part;
        if (it.Begin(doc.BlockValue(i / 64, 0), doc.BlockValue(i / 64, 1), doc.Points().Data(),
                doc.Points().Size(), offset, record)) {
            part.push_back(it.Current());
            while (it.Next())
                part.push_back(it.Current());
        }
        objects.back().parts.push_back(part);
        offset += record.RunLength();
    }
    return objects;
}

inline bool LayerSearchable(const CZXS_TzxDoc& doc, int32_t layer, int32_t scale)
{
    if (scale < 1)
        return true;
    const CZXS_StyleRecord style
        = doc.Styles().StyleFor(doc.GetLayerDesc(layer).StyleGroup(), 128.0f / static_cast<float>(scale));
    return style && style.IsPointSearchable();
}

inline int32_t FindObjectAt(const CZXS_TzxDoc& doc, const std::vector<Object>& objects, int32_t first,
    int32_t scale, ZXS_Point p, int32_t radius)
{
    const int64_t g = int64_t { radius } + int64_t { 4 } * scale / 128;
    const ZXS_Rect query { p.x - radius, p.y - radius, p.x + radius, p.y + radius };
    for (const Object& o : objects) {
        if (o.number < first || !LayerSearchable(doc, o.layer, scale) || o.parts[0].empty())
            continue;
        if (doc.GetLayerDesc(o.layer).SymbolNumber() != 255) {
            const int64_t dx = int64_t { o.parts[0][0].x } - p.x;
            const int64_t dy = int64_t { o.parts[0][0].y } - p.y;
            if (dx * dx + dy * dy <= g * g)
                return o.number;
            continue;
        }
        std::vector<ZXS_Point> all;
        std::vector<uint32_t> lengths;
        ZXS_Rect box { INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN };
        for (const auto& part : o.parts) {
            if (part.empty())
                continue;
            all.insert(all.end(), part.begin(), part.end());
            lengths.push_back(static_cast<uint32_t>(part.size()));
            for (ZXS_Point q : part)
                box = { std::min(box.left, q.x), std::min(box.top, q.y), std::max(box.right, q.x),
                    std::max(box.bottom, q.y) };
        }
        if (!ZXS_Geometry::RectsTouch(box, query))
            continue;
        if (o.first.IsClosed()
            && ZXS_Geometry::PointInParts(
                   all.data(), lengths.data(), static_cast<uint32_t>(lengths.size()), p)
                != 0)
            return o.number;
        for (const auto& part : o.parts)
            if (ZXS_Geometry::PolylineDistance(part.data(), static_cast<uint32_t>(part.size()), p, radius)
                <= radius)
                return o.number;
    }
    return -1;
}

struct Snap {
    int32_t object = -1;
    uint8_t mask = 0;
    double best = 1e100;
};

// Closed directions (cost class 15) of every road offset in the journal.
inline std::vector<uint8_t> Closures(const CZXS_TzxDoc& doc)
{
    std::vector<uint8_t> closed(static_cast<size_t>(std::max(doc.RoadObjectCount(), 0)), 0);
    if (doc.Journal() == nullptr)
        return closed;
    CZXS_PassageJournal::Entry e;
    for (uint32_t i = 0; doc.Journal()->EntryAt(i, e); ++i)
        if (e.costClass == 15 && e.roadOffset < closed.size())
            closed[e.roadOffset] |= e.directions;
    return closed;
}

inline Snap SnapToRoad(const CZXS_TzxDoc& doc, const std::vector<Object>& objects, ZXS_Point p,
    int32_t radius, int32_t heading, const std::vector<uint8_t>& closed)
{
    Snap s;
    const int32_t first = doc.FirstRoadObject();
    const int32_t end = first + doc.RoadObjectCount();
    const double theta = heading * M_PI / 1800.0;
    const double hx = std::sin(theta);
    const double hy = -std::cos(theta);
    constexpr double c45 = 0.7071067811865476;
    for (const Object& o : objects) {
        if (o.number < first || o.number >= end)
            continue;
        const uint8_t c = closed.empty() ? 0 : closed[static_cast<size_t>(o.number - first)];
        const bool forward = o.first.IsForward() && !(c & 1);
        const bool backward = o.first.IsBackward() && !(c & 2);
        if (!forward && !backward)
            continue;
        for (const auto& part : o.parts) {
            for (size_t i = 0; i + 1 < part.size(); ++i) {
                const CZXS_Segment seg(part[i], part[i + 1]);
                const double d = seg.DistanceTo(p);
                if (!(d < radius))
                    continue;
                if (heading < 0) {
                    if (d < s.best)
                        s = { o.number, static_cast<uint8_t>((backward ? 2 : 0) | (forward ? 1 : 0)), d };
                    continue;
                }
                uint8_t mask = 1;
                double a = seg.Ux() * hx + seg.Uy() * hy;
                if (a < 0 && backward) {
                    mask = 2;
                    a = -a;
                }
                if (!forward && mask != 2)
                    continue;
                if (a > c45 && d / (a + c45) < s.best)
                    s = { o.number, mask, d / (a + c45) };
            }
        }
    }
    return s;
}

// Snaps with the cursor and with the plain search; they must agree on the
// element and its usable directions. `found` counts the finds.
inline ::testing::AssertionResult SnapsAlike(const CZXS_TzxDoc& doc, const std::vector<Object>& objects,
    ZXS_Point p, int32_t radius, int32_t heading, const std::vector<uint8_t>& closed, bool useJournal,
    int& found)
{
    const Snap expected
        = SnapToRoad(doc, objects, p, radius, heading, useJournal ? closed : std::vector<uint8_t> {});
    CZXS_ObjectCursor cursor(&doc);
    const int result = cursor.SnapToRoad(p.x, p.y, radius, heading, ZXS_NO_OBJECT, useJournal);
    const int32_t object = result == 1 ? cursor.Object() : -1;
    const uint8_t mask = result == 1 ? cursor.DirectionMask() : 0;
    if (object != expected.object || (object >= 0 && mask != expected.mask))
        return ::testing::AssertionFailure()
            << "at " << p.x << "," << p.y << " radius " << radius << " heading " << heading << ": object "
            << object << " mask " << int { mask } << ", expected " << expected.object << " mask "
            << int { expected.mask };
    found += object >= 0;
    return ::testing::AssertionSuccess();
}

// The objects a box walk of every layer meets (those with collected points).
inline std::set<int32_t> WalkBox(const CZXS_TzxDoc& doc, const ZXS_Rect& box)
{
    std::set<int32_t> walked;
    CZXS_ObjectCursor cursor(&doc);
    cursor.SetBox(&box);
    CZXS_PointCollector collector;
    for (int32_t layer = 0; layer < doc.LayerCount(); ++layer) {
        if (cursor.SetLayer(layer) == 0)
            continue;
        do {
            if (cursor.CollectPoints(&collector, nullptr, true) != 0)
                walked.insert(cursor.Object());
        } while (cursor.NextObject() != 0);
    }
    return walked;
}

inline bool HasPointIn(const Object& o, const ZXS_Rect& box)
{
    for (const auto& part : o.parts)
        for (ZXS_Point q : part)
            if (q.x >= box.left && q.x <= box.right && q.y >= box.top && q.y <= box.bottom)
                return true;
    return false;
}

} // namespace spatial_reference

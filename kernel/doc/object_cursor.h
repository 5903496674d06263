#pragma once

#include <cstdint>

#include "kernel/doc/layer_iterator.h"
#include "kernel/doc/object_record.h"
#include "kernel/doc/point_coding.h"

class CZXS_TzxDoc;
class CZXS_PointCollector;
class CZXS_PointIterator;

// Walks the object table of one map document layer by layer, record by record
// and object by object, optionally held to a box (whole index blocks outside it
// are passed over), knowing the point offset of the current record so that its
// points decode without a lookup. A cursor is a plain value: a copy saves and
// restores its position.
class CZXS_ObjectCursor {
public:
    static constexpr uint8_t kForward = 1;
    static constexpr uint8_t kBackward = 2;

    explicit CZXS_ObjectCursor(const CZXS_TzxDoc* doc);

    // Positions on the first object of the layer (-1: the whole table); 0 for
    // a missing or empty layer, which leaves the cursor unpositioned.
    int SetLayer(int32_t layer);
    int SetFirstLayer() { return SetLayer(0); }
    // The range of all road layers; 0 without road layers.
    int SetRoadRange();
    // Holds the walk to the box (none: no filter). Edges count as inside.
    void SetBox(const ZXS_Rect* box);
    // The box x - r .. x + r, y - r .. y + r, clamped to the map's coordinates.
    void SetBoxAround(int32_t x, int32_t y, int32_t r);
    void SetThinning(int32_t distance) { m_thinning = distance; }
    // With the box filter, also passes over every block whose box is no larger
    // than this (width plus height, map units) and whose objects all lie
    // within it (-1: none).
    void SetSmallBlocks(int64_t extent) { m_smallBlocks = extent; }

    // 1 while the cursor stands inside its range; otherwise it is reset.
    int InRange();
    bool BlockIntersects() const;
    bool RecordIntersects() const;
    // To the next record: 1 when it belongs to the same object. Between objects
    // the box filter passes over whole blocks outside the box, and never lands
    // inside an object.
    int Step();
    // To the first record of the next object; 1 while in range.
    int NextObject();
    // Onto the object, or with no point offset given onto the first object start
    // at or after it; the layer is looked up when -1. 1 when positioned.
    int Seek(int32_t object, int32_t pointOffset = -1, int32_t layer = -1);
    // The next record with the name id in the layers searched by name (neither
    // linked nor excluded); the current one counts when asked.
    int FindNextByNameId(int32_t nameId, bool includeCurrent);
    // The next record with both ids in the linked layers that are not excluded.
    int FindNextLinked(int32_t nameId, int32_t linkId, bool includeCurrent);
    // The road element with the link id; 0 (on the road range's start) when none.
    int FindRoadByLink(int32_t linkId);

    // The points of the current object's parts that meet the box (all parts
    // when `fine` is false) into the collector, thinned, with their bounding
    // box. 1 when points were collected and there is no filter, a point lies in
    // the box or the bounding box touches it. The position is kept.
    int CollectPoints(CZXS_PointCollector* collector, ZXS_Rect* bounds, bool fine);
    // Onto the road element nearest to (x, y) within `radius` (heading in tenths
    // of a degree clockwise from north, -1 none; `nameId` ZXS_NO_OBJECT for any),
    // its usable directions in DirectionMask(); with `useJournal` closures of
    // the passage journal count. 1 found, 0 none.
    int SnapToRoad(int32_t x, int32_t y, int32_t radius, int32_t heading, int32_t nameId, bool useJournal);

    // Decodes the current record's points.
    bool BeginPoints(CZXS_PointIterator& iterator) const;

    const CZXS_TzxDoc* Document() const { return m_doc; }
    bool IsPositioned() const { return m_object >= 0; }
    int32_t Object() const { return m_object; }
    int32_t PointOffset() const { return static_cast<int32_t>(m_pointOffset); }
    int32_t Layer() const { return m_layer; }
    CZXS_LayerDesc LayerDesc() const;
    int32_t RangeEnd() const { return m_end; }
    CZXS_ObjectRecord Record() const;
    uint8_t DirectionMask() const { return m_directions; }
    bool HasBox() const { return m_filter; }
    const ZXS_Rect& Box() const { return m_box; }
    int32_t Thinning() const { return m_thinning; }
    // The current record's index block box.
    ZXS_Rect BlockRect() const;

private:
    void Reset();
    bool BlockMeets(uint32_t block) const;
    bool BlockIsSmall(uint32_t block) const;
    int32_t LayerIndex(const CZXS_LayerDesc& desc) const;
    void Advance();
    void SkipBlocks();
    // Scans from the current record to the range's end, passing over blocks the
    // test rejects; 1 on a matching record.
    template <class BlockTest, class Match> int Scan(BlockTest rejects, Match match);
    template <class LayerTest, class BlockTest, class Match>
    int FindNext(bool includeCurrent, LayerTest eligible, BlockTest rejects, Match match);

    const CZXS_TzxDoc* m_doc;
    int32_t m_layer = -1;
    int32_t m_object = -1;
    int64_t m_pointOffset = -1;
    int32_t m_start = 0;
    int32_t m_end = -1;
    int32_t m_thinning = 0;
    int64_t m_smallBlocks = -1;
    bool m_filter = false;
    ZXS_Rect m_callerBox;
    uint8_t m_directions = kForward | kBackward;
    ZXS_Rect m_box; // normalised: left <= right, top <= bottom
};

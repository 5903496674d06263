#include "kernel/doc/object_cursor.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "kernel/doc/map_geometry.h"
#include "kernel/doc/passage_journal.h"
#include "kernel/doc/point_collector.h"
#include "kernel/doc/point_iterator.h"
#include "kernel/doc/segment.h"
#include "kernel/doc/tzx_doc.h"

namespace {

// Map coordinates run from 0 to this value.
constexpr int32_t kLargestCoordinate = 0xFFFFFF;

bool Overlap(const ZXS_Rect& a, const ZXS_Rect& b)
{
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

} // namespace

CZXS_ObjectCursor::CZXS_ObjectCursor(const CZXS_TzxDoc* doc)
    : m_doc(doc)
{
}

void CZXS_ObjectCursor::Reset()
{
    m_object = -1;
    m_pointOffset = -1;
}

int32_t CZXS_ObjectCursor::LayerIndex(const CZXS_LayerDesc& desc) const
{
    if (!desc)
        return -1;
    return static_cast<int32_t>((desc.Bytes() - m_doc->Layers().Data()) / CZXS_LayerDesc::kSize);
}

CZXS_LayerDesc CZXS_ObjectCursor::LayerDesc() const
{
    return m_layer >= 0 && m_doc != nullptr ? m_doc->GetLayerDesc(m_layer) : CZXS_LayerDesc();
}

CZXS_ObjectRecord CZXS_ObjectCursor::Record() const
{
    return m_object >= 0 ? m_doc->Object(static_cast<uint32_t>(m_object)) : CZXS_ObjectRecord();
}

int CZXS_ObjectCursor::SetLayer(int32_t layer)
{
    Reset();
    if (m_doc == nullptr)
        return 0;
    const int32_t count = static_cast<int32_t>(m_doc->Objects().Count());
    int32_t start = 0;
    int64_t offset = 0;
    int32_t end = count;
    if (layer >= 0) {
        const CZXS_LayerDesc desc = m_doc->GetLayerDesc(layer);
        if (!desc)
            return 0;
        start = desc.FirstObject();
        offset = desc.PointOffset();
        end = std::min(m_doc->LayerEnd(layer), count);
    }
    m_layer = layer;
    m_start = start;
    m_end = end;
    if (start < 0 || start >= end)
        return 0;
    m_object = start;
    m_pointOffset = offset;
    return 1;
}

int CZXS_ObjectCursor::SetRoadRange()
{
    Reset();
    if (m_doc == nullptr)
        return 0;
    const CZXS_LayerDesc first = m_doc->FirstRoadLayer();
    const CZXS_LayerDesc last = m_doc->LastRoadLayer();
    if (!first || !last)
        return 0;
    const int32_t lastIndex = LayerIndex(last);
    m_layer = lastIndex;
    m_start = first.FirstObject();
    m_end = std::min(m_doc->LayerEnd(lastIndex), static_cast<int32_t>(m_doc->Objects().Count()));
    if (m_start < 0 || m_start >= m_end)
        return 0;
    m_object = m_start;
    m_pointOffset = first.PointOffset();
    return 1;
}

void CZXS_ObjectCursor::SetBox(const ZXS_Rect* box)
{
    m_filter = box != nullptr;
    if (box == nullptr)
        return;
    m_callerBox = *box;
    m_box = { std::min(box->left, box->right), std::min(box->top, box->bottom),
        std::max(box->left, box->right), std::max(box->top, box->bottom) };
}

void CZXS_ObjectCursor::SetBoxAround(int32_t x, int32_t y, int32_t r)
{
    auto clamp = [](int64_t v) {
        return static_cast<int32_t>(std::clamp<int64_t>(v, 0, int64_t { kLargestCoordinate } + 1));
    };
    const ZXS_Rect box { clamp(int64_t { x } - r), clamp(int64_t { y } - r), clamp(int64_t { x } + r),
        clamp(int64_t { y } + r) };
    SetBox(&box);
}

int CZXS_ObjectCursor::InRange()
{
    if (m_object >= 0 && m_object < m_end)
        return 1;
    Reset();
    return 0;
}

ZXS_Rect CZXS_ObjectCursor::BlockRect() const
{
    const uint32_t block = m_object >= 0 ? static_cast<uint32_t>(m_object) / 64 : 0;
    return { m_doc->BlockValue(block, 0), m_doc->BlockValue(block, 1), m_doc->BlockValue(block, 2),
        m_doc->BlockValue(block, 3) };
}

bool CZXS_ObjectCursor::BlockMeets(uint32_t block) const
{
    const ZXS_Rect r { m_doc->BlockValue(block, 0), m_doc->BlockValue(block, 1), m_doc->BlockValue(block, 2),
        m_doc->BlockValue(block, 3) };
    return Overlap(r, m_box);
}

bool CZXS_ObjectCursor::BlockIsSmall(uint32_t block) const
{
    if (m_smallBlocks < 0)
        return false;
    const int64_t extent = int64_t { m_doc->BlockValue(block, 2) } - m_doc->BlockValue(block, 0)
        + (int64_t { m_doc->BlockValue(block, 3) } - m_doc->BlockValue(block, 1));
    if (extent > m_smallBlocks)
        return false;
    // No object may run in from the block before or on into the next.
    const uint32_t first = block * 64;
    const uint32_t last = std::min(first + 63, m_doc->Objects().Count() - 1);
    return (first == 0 || m_doc->Object(first - 1).IsEndOfObject()) && m_doc->Object(last).IsEndOfObject();
}

bool CZXS_ObjectCursor::BlockIntersects() const
{
    return !m_filter || (m_object >= 0 && BlockMeets(static_cast<uint32_t>(m_object) / 64));
}

bool CZXS_ObjectCursor::RecordIntersects() const
{
    if (!m_filter)
        return true;
    if (m_object < 0)
        return false;
    return Overlap(Record().Box(BlockRect()), m_box);
}

void CZXS_ObjectCursor::Advance()
{
    m_pointOffset += Record().RunLength();
    ++m_object;
}

void CZXS_ObjectCursor::SkipBlocks()
{
    const uint32_t blocks = m_doc->IndexBlocks().Count();
    if (m_object >= m_end)
        return;
    const uint32_t block = static_cast<uint32_t>(m_object) / 64;
    if (block >= blocks)
        return;
    // The blocks holding the rest of the range: the next one that meets the
    // box and is not too small to draw.
    const uint32_t limit = static_cast<uint32_t>((int64_t { m_end } + 63) / 64);
    uint32_t next = block;
    for (;;) {
        next = m_doc->BlockIndex().NextMeeting(m_doc->IndexBlocks(), next, limit, m_box);
        if (next >= limit || next >= blocks || !BlockIsSmall(next))
            break;
        ++next;
    }
    if (next == block)
        return;
    m_object = static_cast<int32_t>(int64_t { next } * 64);
    if (next < blocks)
        m_pointOffset = m_doc->BlockValue(next, 8);
    if (m_object >= m_end)
        return;
    // An object that runs on from a block passed over is taken from its start.
    while (m_object > m_start && !m_doc->Object(static_cast<uint32_t>(m_object - 1)).IsEndOfObject()) {
        --m_object;
        m_pointOffset -= m_doc->Object(static_cast<uint32_t>(m_object)).RunLength();
    }
}

int CZXS_ObjectCursor::Step()
{
    if (m_object < 0)
        return 0;
    const bool ended = Record().IsEndOfObject();
    Advance();
    if (ended && m_filter && m_object % 64 == 0)
        SkipBlocks();
    if (!InRange())
        return 0;
    return ended ? 0 : 1;
}

int CZXS_ObjectCursor::NextObject()
{
    while (Step() != 0) { }
    return InRange();
}

int CZXS_ObjectCursor::Seek(int32_t object, int32_t pointOffset, int32_t layer)
{
    if (m_doc == nullptr || object < 0 || object >= static_cast<int32_t>(m_doc->Objects().Count())) {
        Reset();
        return 0;
    }
    int32_t index = layer;
    if (index < 0)
        index = m_doc->LayerCount() == 0 ? -1 : m_doc->LayerOfObject(object);
    if ((index < 0 && m_doc->LayerCount() != 0) || SetLayer(index) == 0 || object < m_start
        || object >= m_end) {
        Reset();
        return 0;
    }
    if (pointOffset >= 0) {
        m_object = object;
        m_pointOffset = pointOffset;
        return 1;
    }
    const int32_t blockStart = object / 64 * 64;
    if (blockStart > m_start) {
        m_object = blockStart;
        m_pointOffset = m_doc->BlockValue(static_cast<uint32_t>(blockStart / 64), 8);
    }
    while (m_object < object)
        Advance();
    while (m_object > m_start && !m_doc->Object(static_cast<uint32_t>(m_object - 1)).IsEndOfObject()) {
        Advance();
        if (m_object >= m_end) {
            Reset();
            return 0;
        }
    }
    return 1;
}

template <class BlockTest, class Match> int CZXS_ObjectCursor::Scan(BlockTest rejects, Match match)
{
    const uint32_t blocks = m_doc->IndexBlocks().Count();
    while (m_object >= 0 && m_object < m_end) {
        const uint32_t block = static_cast<uint32_t>(m_object) / 64;
        if (m_object % 64 == 0 && block < blocks && rejects(block)) {
            m_object += 64;
            if (block + 1 < blocks)
                m_pointOffset = m_doc->BlockValue(block + 1, 8);
            continue;
        }
        if (match(Record()))
            return 1;
        Advance();
    }
    return 0;
}

template <class LayerTest, class BlockTest, class Match>
int CZXS_ObjectCursor::FindNext(bool includeCurrent, LayerTest eligible, BlockTest rejects, Match match)
{
    if (m_doc == nullptr)
        return 0;
    const int32_t layers = m_doc->LayerCount();
    int32_t next = 0;
    if (m_object >= 0 && m_layer >= 0 && eligible(m_doc->GetLayerDesc(m_layer))) {
        if (!includeCurrent)
            Advance();
        if (Scan(rejects, match) != 0)
            return 1;
        next = m_layer + 1;
    } else if (m_object >= 0 && m_layer >= 0) {
        next = m_layer + 1;
    }
    for (; next < layers; ++next) {
        if (!eligible(m_doc->GetLayerDesc(next)) || SetLayer(next) == 0)
            continue;
        if (Scan(rejects, match) != 0)
            return 1;
    }
    Reset();
    return 0;
}

int CZXS_ObjectCursor::FindNextByNameId(int32_t nameId, bool includeCurrent)
{
    return FindNext(
        includeCurrent,
        [](const CZXS_LayerDesc& d) {
            return (d.Flags() & (CZXS_LayerDesc::kLinked | CZXS_LayerDesc::kExcluded)) == 0;
        },
        [&](uint32_t b) { return nameId < m_doc->BlockValue(b, 4) || nameId > m_doc->BlockValue(b, 5); },
        [&](const CZXS_ObjectRecord& r) { return r.NameId() == nameId; });
}

int CZXS_ObjectCursor::FindNextLinked(int32_t nameId, int32_t linkId, bool includeCurrent)
{
    return FindNext(
        includeCurrent,
        [](const CZXS_LayerDesc& d) {
            return (d.Flags() & (CZXS_LayerDesc::kLinked | CZXS_LayerDesc::kExcluded))
                == CZXS_LayerDesc::kLinked;
        },
        [&](uint32_t b) { return linkId < m_doc->BlockValue(b, 6) || linkId > m_doc->BlockValue(b, 7); },
        [&](const CZXS_ObjectRecord& r) { return r.NameId() == nameId && r.LinkId() == linkId; });
}

int CZXS_ObjectCursor::FindRoadByLink(int32_t linkId)
{
    if (m_doc == nullptr || m_doc->IndexBlocks().Count() == 0 || SetRoadRange() == 0)
        return 0;
    const int found = Scan(
        [&](uint32_t b) { return linkId < m_doc->BlockValue(b, 6) || linkId > m_doc->BlockValue(b, 7); },
        [&](const CZXS_ObjectRecord& r) { return r.LinkId() == linkId; });
    if (found == 0)
        SetRoadRange();
    return found;
}

bool CZXS_ObjectCursor::BeginPoints(CZXS_PointIterator& iterator) const
{
    if (m_object < 0 || m_pointOffset < 0 || m_pointOffset > UINT32_MAX)
        return false;
    const ZXS_Rect block = BlockRect();
    return iterator.Begin(block.left, block.top, m_doc->Points().Data(), m_doc->Points().Size(),
        static_cast<uint32_t>(m_pointOffset), Record());
}

namespace {

// The bounding box of the points collected.
struct Bounds {
    int32_t left = INT32_MAX;
    int32_t top = INT32_MAX;
    int32_t right = INT32_MIN;
    int32_t bottom = INT32_MIN;

    void Add(int32_t x, int32_t y)
    {
        left = std::min(left, x);
        top = std::min(top, y);
        right = std::max(right, x);
        bottom = std::max(bottom, y);
    }
};

// Appends the points of the part the iterator begins, thinned: a point nearer
// than `thinning` (Manhattan) to the last one kept is dropped, except the
// part's final point, which goes only when it repeats the point before it.
// False when the collector cannot grow.
template <class Coding>
bool CollectPart(CZXS_PointIterator& it, int64_t thinning, CZXS_PointCollector& collector, Bounds& bounds)
{
    ZXS_Point last = it.Current();
    if (!collector.Append(last))
        return false;
    bounds.Add(last.x, last.y);
    // Each point waits for the next, to be known as the final one or not.
    ZXS_Point pending = last;
    bool hasPending = false;
    while (it.NextIn<Coding>() != 0) {
        if (hasPending
            && std::llabs(int64_t { pending.x } - last.x) + std::llabs(int64_t { pending.y } - last.y)
                >= thinning) {
            if (!collector.Append(pending))
                return false;
            bounds.Add(pending.x, pending.y);
            last = pending;
        }
        pending = it.Current();
        hasPending = true;
    }
    if (hasPending && !(pending == last)) {
        if (!collector.Append(pending))
            return false;
        bounds.Add(pending.x, pending.y);
    }
    return true;
}

} // namespace

int CZXS_ObjectCursor::CollectPoints(CZXS_PointCollector* collector, ZXS_Rect* bounds, bool fine)
{
    if (collector == nullptr || m_doc == nullptr || m_object < 0)
        return 0;
    collector->Clear();
    const uint8_t* pointData = m_doc->Points().Data();
    const uint32_t pointDataSize = m_doc->Points().Size();
    const bool testRecords = fine && m_filter;
    // The parts are walked on a copy of the position, which the cursor keeps;
    // the block's box is read again only when a part lies in another block.
    int32_t object = m_object;
    int64_t offset = m_pointOffset;
    uint32_t blockNumber = UINT32_MAX;
    ZXS_Rect block {};
    Bounds box;
    for (;;) {
        const CZXS_ObjectRecord record = m_doc->Object(static_cast<uint32_t>(object));
        if (static_cast<uint32_t>(object) / 64 != blockNumber) {
            blockNumber = static_cast<uint32_t>(object) / 64;
            block = { m_doc->BlockValue(blockNumber, 0), m_doc->BlockValue(blockNumber, 1),
                m_doc->BlockValue(blockNumber, 2), m_doc->BlockValue(blockNumber, 3) };
        }
        CZXS_PointIterator it;
        if ((!testRecords || Overlap(record.Box(block), m_box)) && offset >= 0 && offset <= UINT32_MAX
            && it.Begin(
                block.left, block.top, pointData, pointDataSize, static_cast<uint32_t>(offset), record)) {
            const uint32_t partStart = collector->Count();
            const bool ok = it.Scheme() == 0 ? CollectPart<CZXS_PointCoding0>(it, m_thinning, *collector, box)
                : it.Scheme() == 1           ? CollectPart<CZXS_PointCoding1>(it, m_thinning, *collector, box)
                                   : CollectPart<CZXS_PointCoding2>(it, m_thinning, *collector, box);
            if (!ok)
                return 0;
            if (collector->Count() > partStart && !collector->EndPart())
                break;
        }
        if (record.IsEndOfObject() || ++object >= m_end)
            break;
        offset += record.RunLength();
    }
    if (collector->Count() == 0)
        return 0;
    // A point inside the filter box lies in the bounding box too, so the
    // bounding box alone tells whether the object meets the filter box.
    const ZXS_Rect rect { box.left, box.top, box.right, box.bottom };
    if (bounds != nullptr)
        *bounds = rect;
    return !m_filter || Overlap(rect, m_box) ? 1 : 0;
}

int CZXS_ObjectCursor::SnapToRoad(
    int32_t x, int32_t y, int32_t radius, int32_t heading, int32_t nameId, bool useJournal)
{
    if (m_doc == nullptr)
        return 0;
    const CZXS_LayerDesc firstRoad = m_doc->FirstRoadLayer();
    const CZXS_LayerDesc lastRoad = m_doc->LastRoadLayer();
    if (!firstRoad || !lastRoad)
        return 0;
    // Headings run clockwise from north, and north is towards smaller y.
    const bool hasHeading = heading >= 0;
    const double theta = heading * M_PI / 1800.0;
    const double hx = std::sin(theta);
    const double hy = -std::cos(theta);
    constexpr double kCos45 = 0.7071067811865476;

    // Live journal entries in road order, walked alongside the road elements.
    std::vector<CZXS_PassageJournal::Entry> entries;
    if (useJournal && m_doc->Journal() != nullptr) {
        CZXS_PassageJournal* journal = m_doc->Journal();
        const int64_t now = CZXS_PassageJournal::Now();
        CZXS_PassageJournal::Entry e;
        for (uint32_t i = 0; journal->EntryAt(i, e); ++i)
            if (e.expiry == CZXS_PassageJournal::kNever || e.expiry >= now)
                entries.push_back(e);
        std::stable_sort(entries.begin(), entries.end(),
            [](const auto& a, const auto& b) { return a.roadOffset < b.roadOffset; });
    }
    size_t entry = 0;
    const int32_t firstRoadObject = firstRoad.FirstObject();

    CZXS_PointCollector collector;
    if (!collector.Reserve(1000))
        return 0;
    double best = 1e100;
    bool found = false;
    CZXS_ObjectCursor chosen(m_doc);
    SetBoxAround(x, y, radius);
    const ZXS_Rect square = ZXS_Geometry::SquareAround({ x, y }, radius);
    const ZXS_Point p { x, y };
    for (int32_t layer = LayerIndex(firstRoad); layer <= LayerIndex(lastRoad); ++layer) {
        if (SetLayer(layer) == 0)
            continue;
        do {
            const CZXS_ObjectRecord record = Record();
            if (nameId != ZXS_NO_OBJECT && record.NameId() != nameId)
                continue;
            uint8_t closed = 0;
            const uint32_t roadOffset = static_cast<uint32_t>(m_object - firstRoadObject);
            while (entry < entries.size() && entries[entry].roadOffset < roadOffset)
                ++entry;
            for (size_t k = entry; k < entries.size() && entries[k].roadOffset == roadOffset; ++k)
                if (entries[k].costClass == 15)
                    closed |= entries[k].directions;
            ZXS_Rect bounds;
            if (CollectPoints(&collector, &bounds, true) == 0)
                continue;
            const bool forward = record.IsForward() && (closed & kForward) == 0;
            const bool backward = record.IsBackward() && (closed & kBackward) == 0;
            if (!forward && !backward)
                continue;
            uint32_t at = 0;
            for (uint32_t part = 0; part < collector.PartCount(); ++part) {
                const uint32_t n = collector.PartLength(part);
                for (uint32_t i = at; i + 1 < at + n; ++i) {
                    const ZXS_Point a = collector.At(i);
                    const ZXS_Point b = collector.At(i + 1);
                    if ((a.x < square.left && b.x < square.left) || (a.x > square.right && b.x > square.right)
                        || (a.y < square.top && b.y < square.top)
                        || (a.y > square.bottom && b.y > square.bottom))
                        continue;
                    const CZXS_Segment segment(a, b);
                    const double d = segment.DistanceTo(p);
                    if (!(d < radius))
                        continue;
                    if (!hasHeading) {
                        if (d < best) {
                            best = d;
                            m_directions
                                = static_cast<uint8_t>((backward ? kBackward : 0) | (forward ? kForward : 0));
                            chosen = *this;
                            found = true;
                            // Only nearer elements matter from here on; a nearer
                            // one lies within a whole unit more than the rounded distance.
                            SetBoxAround(x, y, static_cast<int32_t>(std::ceil(d)));
                        }
                        continue;
                    }
                    uint8_t mask = kForward;
                    double a2 = segment.Ux() * hx + segment.Uy() * hy;
                    if (a2 < 0 && backward) {
                        mask = kBackward;
                        a2 = -a2;
                    }
                    if (!forward && mask != kBackward)
                        continue;
                    if (a2 > kCos45) {
                        const double score = d / (a2 + kCos45);
                        if (score < best) {
                            best = score;
                            m_directions = mask;
                            chosen = *this;
                            found = true;
                        }
                    }
                }
                at += n;
            }
        } while (NextObject() != 0);
    }
    if (!found) {
        Reset();
        return 0;
    }
    *this = chosen;
    return 1;
}

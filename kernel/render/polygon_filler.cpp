#include "kernel/render/polygon_filler.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "kernel/api/result_codes.h"
#include "kernel/doc/kernel_memory.h"
#include "kernel/render/line_painter.h"

namespace {

struct ActiveEdge {
    int64_t x; // 17.15 fixed point
    int64_t step;
    int32_t lastRow; // exclusive
};

bool ActiveBefore(const ActiveEdge& a, const ActiveEdge& b)
{
    return a.x < b.x || (a.x == b.x && a.step < b.step);
}

} // namespace

int CompareEdges(const CZX_Image::Edge& a, const CZX_Image::Edge& b)
{
    if (a.y1 != b.y1)
        return a.y1 < b.y1 ? -1 : 1;
    if (a.x1 != b.x1)
        return a.x1 < b.x1 ? -1 : 1;
    const int64_t ia = static_cast<int64_t>(a.x2 - a.x1) * 4096 / (a.y2 - a.y1);
    const int64_t ib = static_cast<int64_t>(b.x2 - b.x1) * 4096 / (b.y2 - b.y1);
    if (ia != ib)
        return ia < ib ? -1 : 1;
    if (a.y2 != b.y2)
        return a.y2 > b.y2 ? -1 : 1;
    return 0;
}

int32_t ClipEdge(const ZXS_ScreenRect& clip, ZXS_ScreenPoint p1, ZXS_ScreenPoint p2, CZX_Image::Edge out[3])
{
    if (p1.y == p2.y)
        return 0;
    if (p1.x > p2.x)
        std::swap(p1, p2);
    // Nearly every edge lies inside: kept whole, ordered downwards.
    if (p1.x >= clip.left && p2.x <= clip.right && std::min(p1.y, p2.y) >= clip.top
        && std::max(p1.y, p2.y) <= clip.bottom) {
        out[0] = p1.y < p2.y ? CZX_Image::Edge { p1.x, p1.y, p2.x, p2.y }
                             : CZX_Image::Edge { p2.x, p2.y, p1.x, p1.y };
        return 1;
    }
    const int64_t x1 = p1.x, y1 = p1.y, x2 = p2.x, y2 = p2.y;
    const int64_t left = clip.left, right = clip.right;
    int32_t count = 0;
    const auto storeVertical = [&](int64_t x, int64_t ya, int64_t yb) {
        ya = std::clamp<int64_t>(ya, clip.top, clip.bottom);
        yb = std::clamp<int64_t>(yb, clip.top, clip.bottom);
        if (ya == yb)
            return;
        if (ya > yb)
            std::swap(ya, yb);
        out[count++] = { static_cast<int32_t>(x), static_cast<int32_t>(ya), static_cast<int32_t>(x),
            static_cast<int32_t>(yb) };
    };
    const auto crossingY = [&](int64_t x) {
        __extension__ typedef __int128 Int128;
        return y1 + static_cast<int64_t>(static_cast<Int128>(x - x1) * (y2 - y1) / (x2 - x1));
    };

    ZXS_Segment middle = { p1.x, p1.y, p2.x, p2.y };
    bool hasMiddle = true;
    if (x1 < left && left < x2) {
        const int64_t y = crossingY(left);
        storeVertical(left - 1, y1, y);
        middle.x1 = clip.left;
        middle.y1 = static_cast<int32_t>(y);
    } else if (x2 <= left && !(x1 == left && x2 == left)) {
        storeVertical(left - 1, y1, y2);
        hasMiddle = false;
    }
    if (hasMiddle) {
        if (x1 < right && right < x2) {
            const int64_t y = crossingY(right);
            storeVertical(right, y, y2);
            middle.x2 = clip.right;
            middle.y2 = static_cast<int32_t>(y);
        } else if (x1 >= right && x2 > right) {
            // An edge that starts on the right side and leaves it keeps its rows
            // as a vertical edge; clipped as a segment it would shrink to a point.
            storeVertical(right, y1, y2);
            hasMiddle = false;
        }
    }
    if (hasMiddle && ClipSegment(clip, middle) && middle.y1 != middle.y2) {
        if (middle.y1 > middle.y2)
            out[count++] = { middle.x2, middle.y2, middle.x1, middle.y1 };
        else
            out[count++] = { middle.x1, middle.y1, middle.x2, middle.y2 };
    }
    return count;
}

void CZX_Image::FillPolygon(const ZXS_ScreenRect& clip, const ZXS_PointParts& polygon, uint16_t colour,
    uint32_t stipple, int32_t labelMargin, CZXS_LabelAccumulator* accumulator)
{
    if (polygon.points == nullptr || polygon.partLengths == nullptr || polygon.partCount <= 0
        || polygon.partCount > kMaxFillParts)
        return;
    const std::lock_guard<std::mutex> lock(m_fillLock);
    const CZX_Surface565* surface = Surface();
    if (surface == nullptr)
        return;
    // Spans never leave the image, whatever rectangle the caller gives.
    const ZXS_ScreenRect area = { std::max(clip.left, 0), std::max(clip.top, 0),
        std::min(clip.right, surface->Width() - 1), std::min(clip.bottom, surface->Height() - 1) };
    if (area.left > area.right || area.top > area.bottom)
        return;

    uint64_t pointCount = 0;
    for (int32_t i = 0; i < polygon.partCount; ++i)
        pointCount += static_cast<uint64_t>(std::max<int16_t>(0, polygon.partLengths[i]));
    if (pointCount == 0)
        return;
    // Clipping splits an edge into up to three, so room for three per point keeps every edge.
    const uint64_t needed = std::max<uint64_t>(4096, 3 * pointCount + 100);
    if (m_edgeCapacity < needed) {
        m_edges.reset();
        m_edgeCapacity = 0;
        m_edges.reset(static_cast<Edge*>(ZXS_MemAlloc(needed * sizeof(Edge))));
        if (!m_edges) {
            SetError(ZXS_KERR_MEMORY);
            return;
        }
        m_edgeCapacity = static_cast<uint32_t>(needed);
    }

    const ZXS_ScreenRect edgeClip = { area.left, area.top, area.right, area.bottom + 1 };
    uint32_t edgeCount = 0;
    int32_t largestY = INT32_MIN;
    const auto add = [&](ZXS_ScreenPoint a, ZXS_ScreenPoint b) {
        Edge pieces[3];
        const int32_t n = ClipEdge(edgeClip, a, b, pieces);
        for (int32_t k = 0; k < n && edgeCount < m_edgeCapacity; ++k)
            m_edges[edgeCount++] = pieces[k];
    };
    const ZXS_ScreenPoint* part = polygon.points;
    for (int32_t i = 0; i < polygon.partCount; ++i) {
        const int32_t n = std::max<int16_t>(0, polygon.partLengths[i]);
        for (int32_t k = 0; k < n; ++k) {
            largestY = std::max(largestY, part[k].y);
            if (k == 0) {
                if (part[0].x != part[n - 1].x || part[0].y != part[n - 1].y)
                    add(part[0], part[n - 1]);
            } else {
                add(part[k - 1], part[k]);
            }
        }
        part += n;
    }
    if (edgeCount == 0)
        return;
    std::sort(m_edges.get(), m_edges.get() + edgeCount,
        [](const Edge& a, const Edge& b) { return CompareEdges(a, b) < 0; });
    ScanFill(static_cast<int32_t>(edgeCount), area.right, std::min(surface->Height(), largestY), colour,
        stipple, labelMargin, accumulator);
}

int32_t CZX_Image::ScanFill(int32_t edgeCount, int32_t xLimit, int32_t lastRow, uint16_t colour,
    uint32_t stipple, int32_t labelMargin, CZXS_LabelAccumulator* accumulator)
{
    CZX_Surface565* surface = Surface();
    const Edge* edges = m_edges.get();
    std::array<ActiveEdge, kMaxActiveEdges> active;
    int32_t activeCount = 0;
    int32_t nextEdge = 0;
    int32_t row = edges[0].y1;
    int32_t bandLo = 0, bandHi = 0;
    if (accumulator != nullptr) {
        bandHi = std::min(lastRow, accumulator->bandBottom) - labelMargin - 1;
        bandLo = labelMargin != 0 ? labelMargin + std::max(accumulator->bandTop, row) + 1 : 0;
    }
    const int32_t width = surface->Width();
    // The first row at which an active edge ends: the list is pruned only there.
    int32_t firstEnd = INT32_MAX;
    for (; row < lastRow; ++row) {
        if (row == firstEnd) {
            int32_t kept = 0;
            firstEnd = INT32_MAX;
            for (int32_t k = 0; k < activeCount; ++k)
                if (active[k].lastRow != row) {
                    active[kept++] = active[k];
                    firstEnd = std::min(firstEnd, active[k].lastRow);
                }
            activeCount = kept;
        }
        while (nextEdge < edgeCount && edges[nextEdge].y1 <= row) {
            if (activeCount + 1 >= kMaxActiveEdges)
                return row;
            const Edge& e = edges[nextEdge++];
            active[activeCount++] = { static_cast<int64_t>(e.x1) * 32768,
                static_cast<int64_t>(e.x2 - e.x1) * 32768 / (e.y2 - e.y1), e.y2 };
            firstEnd = std::min(firstEnd, e.y2);
        }
        if (activeCount == 0 && nextEdge == edgeCount)
            break;
        // Edges of crossing parts change order between rows; an insertion sort
        // keeps the list in x order at almost no cost when they do not.
        for (int32_t k = 1; k < activeCount; ++k) {
            const ActiveEdge moving = active[k];
            int32_t j = k;
            for (; j > 0 && ActiveBefore(moving, active[j - 1]); --j)
                active[j] = active[j - 1];
            active[j] = moving;
        }
        const bool rowFilled = (stipple & (1u << (row & 31))) != 0;
        const bool inBand = accumulator != nullptr && bandLo < row && row < bandHi;
        for (int32_t k = 0; k < activeCount; k += 2) {
            int32_t s = static_cast<int32_t>(active[k].x >> 15) + 1;
            int32_t e = k + 1 < activeCount ? std::min(static_cast<int32_t>(active[k + 1].x >> 15), xLimit)
                                            : xLimit;
            if (s < e) {
                if (rowFilled)
                    surface->FillRun(row, s, e, colour);
                if (accumulator != nullptr) {
                    CZXS_LabelAccumulator& a = *accumulator;
                    if (inBand) {
                        s = std::max(s, a.bandLeft);
                        e = std::min(e, a.bandRight);
                        if (e - s > a.widestWidth) {
                            a.widestX = s;
                            a.widestRow = row;
                            a.widestWidth = e - s;
                        }
                    }
                    if (s > 0 && s < a.leftmostX) {
                        a.leftmostX = s;
                        a.leftmostRow = row;
                    }
                    if (e > a.rightmostX && e < width) {
                        a.rightmostX = e;
                        a.rightmostRow = row;
                    }
                }
            }
            if (inBand && s + e > 1) {
                const int32_t middle = (s + e) / 2;
                if (middle < width) {
                    accumulator->lastMidX = middle;
                    accumulator->lastMidRow = row;
                    if (accumulator->firstMidRow < 0) {
                        accumulator->firstMidX = middle;
                        accumulator->firstMidRow = row;
                    }
                }
            }
        }
        for (int32_t k = 0; k < activeCount; ++k)
            active[k].x += active[k].step;
    }
    return row;
}

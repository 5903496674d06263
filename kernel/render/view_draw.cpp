// Drawing of each kind of map object into the view's image during a frame, and
// the collection of what the label passes need.

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "kernel/doc/object_cursor.h"
#include "kernel/doc/poi_query.h"
#include "kernel/doc/tzx_doc.h"
#include "kernel/render/line_painter.h"
#include "kernel/render/symbol_cache.h"
#include "kernel/render/view.h"
#include "kernel/router/router.h"

namespace {

constexpr uint32_t kSolid = 0xffffffffu;
constexpr uint32_t kDashed = 0xff00ff00u;

uint16_t StyleColour(const CZXS_StyleRecord& style, int at)
{
    const uint8_t* b = style.Bytes();
    return CZX_Surface565::Colour565(b[at], b[at + 1], b[at + 2]);
}

// The symbol table draws through this view of the image.
struct SymbolCanvas {
    CZX_Image& image;
    int Width() const { return image.Width(); }
    int Height() const { return image.Height(); }
    uint16_t MakeColour(uint32_t r, uint32_t g, uint32_t b) const
    {
        return CZX_Surface565::Colour565(r, g, b);
    }
    void PutPixel(int x, int y, uint16_t pixel) { image.Surface()->SetPixel(x, y, pixel); }
};

bool Degenerate(const ZXS_Segment& s) { return s.x1 == s.x2 && s.y1 == s.y2; }

} // namespace

void CZXS_View::SetPen(uint16_t outer, uint16_t centre, int32_t outerWidth, int32_t centreWidth,
    uint32_t outerDash, uint32_t centreDash)
{
    CZX_Image::Pen pen;
    pen.outerColour = outer;
    pen.centreColour = centre;
    pen.outerWidth = static_cast<uint16_t>(std::max(outerWidth, 0));
    pen.centreWidth = static_cast<uint16_t>(std::max(centreWidth, 0));
    pen.outerDash = outerDash;
    pen.centreDash = centreDash;
    pen.dashCounter = 0;
    m_image->SetPen(pen);
}

void CZXS_View::AddSymbol(ZXS_ScreenPoint at, int32_t octant, uint8_t colour)
{
    m_symbols.push_back({ at.x, at.y, static_cast<uint8_t>(octant & 7), colour });
}

void CZXS_View::DrawPolyline(int32_t name, const CZXS_StyleRecord& style, uint8_t directions, uint8_t passage,
    uint8_t costClass, bool quick)
{
    const uint8_t* b = style.Bytes();
    int32_t width = b[17];
    int32_t centreWidth = b[23];
    if (quick) {
        if (width == 0)
            return;
        width = 1;
        centreWidth = 0;
    }
    if (passage != 0) {
        SetPen(m_image->Colour(CZXS_ClippedImage::kWhite),
            CZX_Surface565::ColourFromBgr(ZXS_PassageColour(costClass)), 9, 3, kSolid, kSolid);
        width = 9;
    } else {
        SetPen(StyleColour(style, 14), StyleColour(style, 20), width, centreWidth,
            b[18] != 0 ? kDashed : kSolid, b[24] != 0 ? kDashed : kSolid);
    }
    const bool arrows = passage == 0 && (b[40] & 0x01) != 0 && !quick && (directions == 1 || directions == 2);
    const bool labelled = (b[6] & 0x10) != 0 && name != ZXS_NO_OBJECT;
    const ZXS_ScreenRect& screen = ScreenRect();
    const ZXS_Point* points = m_points.Points();
    uint32_t at = 0;
    // The end of one segment is the start of the next: each point is mapped once.
    ZXS_ScreenPoint s2;
    uint32_t mapped = UINT32_MAX;
    for (uint32_t part = 0; part < m_points.PartCount(); ++part) {
        const uint32_t n = m_points.PartLength(part);
        for (uint32_t i = at; i + 1 < at + n; ++i) {
            const ZXS_Point p = points[i];
            const ZXS_Point q = points[i + 1];
            if (std::max(p.x, q.x) < m_visible.left || std::min(p.x, q.x) > m_visible.right
                || std::max(p.y, q.y) < m_visible.top || std::min(p.y, q.y) > m_visible.bottom)
                continue;
            const ZXS_ScreenPoint s1 = mapped == i ? s2 : MapToScreen(p.x, p.y);
            s2 = MapToScreen(q.x, q.y);
            mapped = i + 1;
            ZXS_Segment seg { s1.x, s1.y, s2.x, s2.y };
            if (ClipSegment(screen, seg) == 0)
                continue;
            if (width > 0)
                m_image->DrawLine(seg);
            if (Degenerate(seg))
                continue;
            const int64_t length = ManhattanLength(seg);
            if (passage != 0 && length >= 5) {
                const int32_t octant = SegmentOctant(seg);
                if (passage & 1)
                    AddSymbol({ seg.x2, seg.y2 }, octant, costClass);
                if (passage & 2)
                    AddSymbol({ seg.x1, seg.y1 }, (octant - 4) & 7, costClass);
            }
            if (arrows && length > 26) {
                if (directions & 1)
                    m_image->DrawArrowhead(seg, 9, width + 1, true);
                else
                    m_image->DrawArrowheadBackward(seg, 6, width + 2, false);
                ++m_counts.arrows;
            }
            if (labelled && !m_failed) {
                ZXS_Segment clipped { s1.x, s1.y, s2.x, s2.y };
                if (ClipSegment(m_update, clipped) != 0 && !Degenerate(clipped))
                    AddToChain(name, b[4], { clipped.x1, clipped.y1 }, { clipped.x2, clipped.y2 });
            }
        }
        at += n;
    }
}

void CZXS_View::AddToChain(int32_t name, uint8_t group, ZXS_ScreenPoint a, ZXS_ScreenPoint b)
{
    const auto same = [](ZXS_ScreenPoint p, ZXS_ScreenPoint q) { return p.x == q.x && p.y == q.y; };
    const auto dot = [](ZXS_ScreenPoint o, ZXS_ScreenPoint p, ZXS_ScreenPoint q) {
        return (int64_t { p.x } - o.x) * (int64_t { q.x } - o.x)
            + (int64_t { p.y } - o.y) * (int64_t { q.y } - o.y);
    };
    for (size_t c = m_chains.size(); c-- > 0;) {
        Chain& chain = m_chains[c];
        if (chain.name != name)
            break;
        if (chain.count >= 0xfffe)
            continue;
        const ZXS_ScreenPoint first = m_chainPoints[chain.first];
        const ZXS_ScreenPoint second = m_chainPoints[chain.first + 1];
        const ZXS_ScreenPoint last = m_chainPoints[chain.first + chain.count - 1];
        const ZXS_ScreenPoint beforeLast = m_chainPoints[chain.first + chain.count - 2];
        // The chain's first point before its last, the segment's start before its end;
        // a segment folding back onto the chain does not join it.
        for (int end = 0; end < 2; ++end) {
            const ZXS_ScreenPoint touch = end == 0 ? first : last;
            const ZXS_ScreenPoint inner = end == 0 ? second : beforeLast;
            for (int side = 0; side < 2; ++side) {
                const ZXS_ScreenPoint mine = side == 0 ? a : b;
                const ZXS_ScreenPoint other = side == 0 ? b : a;
                if (!same(mine, touch) || dot(touch, other, inner) > 0)
                    continue;
                const size_t where = end == 0 ? chain.first : chain.first + chain.count;
                m_chainPoints.insert(m_chainPoints.begin() + static_cast<std::ptrdiff_t>(where), other);
                ++chain.count;
                for (size_t later = c + 1; later < m_chains.size(); ++later)
                    ++m_chains[later].first;
                return;
            }
        }
    }
    m_chains.push_back({ static_cast<uint32_t>(m_chainPoints.size()), 2, group, name });
    m_chainPoints.push_back(a);
    m_chainPoints.push_back(b);
}

void CZXS_View::DrawPolygon(int32_t name, const CZXS_StyleRecord& style, bool quick)
{
    const uint8_t* b = style.Bytes();
    const uint8_t fill[3] = { b[32], b[33], b[34] };
    const uint16_t fillColour = CZX_Surface565::Colour565(fill[0], fill[1], fill[2]);
    const uint16_t outlineColour
        = CZX_Surface565::Colour565(fill[0] * 2 / 3, fill[1] * 2 / 3, fill[2] * 2 / 3);
    const int32_t outlineWidth = b[29];
    const uint32_t count = m_points.Count();
    m_screen.resize(count);
    for (uint32_t i = 0; i < count; ++i)
        m_screen[i] = MapToScreen(m_points.At(i).x, m_points.At(i).y);
    m_partLengths.resize(m_points.PartCount());
    for (uint32_t i = 0; i < m_points.PartCount(); ++i)
        m_partLengths[i] = static_cast<int16_t>(std::min<uint32_t>(m_points.PartLength(i), 0x7fff));
    const ZXS_PointParts parts { m_screen.data(), m_partLengths.data(),
        static_cast<int32_t>(m_partLengths.size()) };
    const bool labelled = !quick && (b[6] & 0x10) != 0 && name != ZXS_NO_OBJECT;
    const int32_t labelSize = b[7];
    const bool noFill = (b[5] & 0x08) != 0;
    if (!quick && !noFill) {
        CZXS_LabelAccumulator accumulator;
        if (labelled) {
            accumulator.bandLeft = m_update.left;
            accumulator.bandTop = m_update.top;
            accumulator.bandRight = m_update.right;
            accumulator.bandBottom = m_update.bottom;
        }
        m_image->FillPolygon(ScreenRect(), parts, fillColour, CZX_Image::kStippleSolid, labelSize / 2,
            labelled ? &accumulator : nullptr);
        if (labelled) {
            const int32_t span = accumulator.widestWidth;
            if ((b[6] & 0x80) != 0 || labelSize * 12 < span) {
                if (accumulator.widestX < m_image->Width() - 1 && labelSize < span)
                    m_areaLabels.push_back({ accumulator.widestX + span / 2, accumulator.widestRow,
                        span * 3 / 4, (labelSize + 1) / 2 + 1, name, b[4] });
            } else if (accumulator.leftmostX != INT32_MAX || accumulator.firstMidRow > 0) {
                PointLabel label {};
                label.anchors[0] = { accumulator.leftmostX - 3, accumulator.leftmostRow };
                label.anchors[1] = { accumulator.rightmostX + 3, accumulator.rightmostRow };
                label.anchors[2] = { accumulator.firstMidX, accumulator.firstMidRow - 3 };
                label.anchors[3] = { accumulator.lastMidX, accumulator.lastMidRow + 3 };
                label.name = name;
                label.group = b[4];
                if (accumulator.leftmostX != INT32_MAX && accumulator.rightmostX != INT32_MIN
                    && accumulator.firstMidRow > 0)
                    m_pointLabels.push_back(label);
            }
        }
    }
    if (outlineWidth != 0 && (b[5] & 0x10) == 0 && !(quick && count > 19)) {
        SetPen(outlineColour, outlineColour, outlineWidth, 0, kSolid, kSolid);
        uint32_t at = 0;
        const ZXS_ScreenRect& screen = ScreenRect();
        for (uint32_t part = 0; part < m_points.PartCount(); ++part) {
            const uint32_t n = m_points.PartLength(part);
            for (uint32_t i = at; i + 1 < at + n; ++i) {
                ZXS_Segment seg { m_screen[i].x, m_screen[i].y, m_screen[i + 1].x, m_screen[i + 1].y };
                if (ClipSegment(screen, seg) != 0)
                    m_image->DrawLine(seg);
            }
            at += n;
        }
    }
}

void CZXS_View::DrawPointSymbol(int32_t name, const CZXS_LayerDesc& layer)
{
    if (m_points.Count() == 0)
        return;
    const ZXS_ScreenPoint p = MapToScreen(m_points.At(0).x, m_points.At(0).y);
    const int32_t w = m_image->Width();
    const int32_t h = m_image->Height();
    if (p.x < 0 || p.y < 0 || p.x >= w || p.y >= h)
        return;
    int sw = 0;
    int sh = 0;
    m_doc->Symbols().SymbolSize(layer.SymbolNumber(), sw, sh);
    if (sw == 0 || sh == 0)
        return;
    if (p.x - sw / 2 < 0 || p.y - sh / 2 < 0 || p.x - sw / 2 + sw > w || p.y - sh / 2 + sh > h)
        return;
    const int32_t hw = (sw + 1) / 2 + 1;
    const int32_t hh = (sh + 1) / 2 + 1;
    const Stroke box = MakeStroke(p.x - hw + 2, p.y, p.x + hw - 2, p.y, hh - 1);
    if (!IsFree(box.cx, box.cy, box.hx, box.hy))
        return;
    m_pointObjects.push_back({ p.x, p.y, hw, hh, name, layer.StyleGroup() });
    OccupyBox({ p.x - hw + 2, p.y }, { p.x + hw - 2, p.y }, hh - 1);
}

void CZXS_View::DrawPointObjectIcons(int& result)
{
    int32_t group = -1;
    bool drawable = false;
    int symbol = 0;
    uint32_t colours[2] = { 0, 0 };
    int mode = -1;
    SymbolCanvas canvas { *m_image };
    for (const PointObject& p : m_pointObjects) {
        if (!StopCheck(result))
            return;
        if (p.group != group) {
            group = p.group;
            const CZXS_LayerDesc desc = m_doc->FindLayerByStyleGroup(group);
            drawable = static_cast<bool>(desc);
            if (!drawable)
                continue;
            symbol = desc.SymbolNumber();
            const CZXS_StyleRecord style = m_doc->Styles().StyleFor(group, m_styleFactor);
            colours[0] = 0xc00000;
            colours[1] = 0x40ffff;
            mode = -1;
            if (style && (style.Colour(0) != 0 || style.Colour(1) != 0)) {
                colours[0] = style.Colour(0);
                colours[1] = style.Colour(1);
                if ((style.Bytes()[40] & 0x08) != 0 || colours[0] == 0x00010000)
                    mode = 0;
            }
        }
        if (drawable)
            m_doc->Symbols().DrawSymbol(canvas, p.x, p.y, symbol, colours, mode);
    }
}

void CZXS_View::DrawPoiSymbols(int& result)
{
    constexpr int32_t kHalf = 6; // icons stand in boxes of 13 x 13 pixels
    if (m_pois == nullptr || m_icons == nullptr || m_icons->IsEmpty()
        || MetresPerPixel(&m_doc->Header()) > 3.0)
        return;
    CZXS_PoiQuery query;
    query.Init(this, m_doc);
    CZXS_SymbolCache icons(*m_icons);
    const ZXS_ScreenRect& screen = ScreenRect();
    for (int found = query.First(*m_pois); found > 0; found = query.Next()) {
        if (!StopCheck(result))
            return;
        int32_t x = 0;
        int32_t y = 0;
        if (!query.Position(x, y) || x < screen.left || x > screen.right || y < screen.top
            || y > screen.bottom || !IsFree(x, y, kHalf, kHalf))
            continue;
        icons.Draw(*m_image, query.CategoryValue(), x, y);
        if (OccupyBox({ x - kHalf, y }, { x + kHalf, y }, kHalf, true) == 0) {
            m_failed = true;
            return;
        }
        ++m_counts.pois;
    }
}

void CZXS_View::DrawRoute()
{
    // The route, its pen and its flags change on other threads under the route
    // lock; the frame draws from copies taken under it.
    std::vector<CZXS_RoutePoint> route;
    RoutePen pen;
    uint8_t flags = 0;
    {
        const std::lock_guard<std::mutex> lock(m_routeLock);
        flags = m_routeFlags;
        pen = m_routePen;
        if ((flags & kRouteShow) == 0 || !m_router || m_router->PointCount() == 0)
            return;
        route.resize(m_router->PointCount());
        for (uint32_t i = 0; i < route.size(); ++i)
            m_router->PointAt(i, route[i]);
    }
    const int32_t thinning = static_cast<int32_t>(Scale() * 10.0 / 128.0 + 0.5);
    const ZXS_ScreenRect& screen = ScreenRect();
    ZXS_Point last { route[0].x, route[0].y };
    uint8_t lastFlags = route[0].flags;
    ZXS_Segment lastSegment {};
    bool haveSegment = false;
    for (size_t i = 1; i < route.size(); ++i) {
        const CZXS_RoutePoint& r = route[i];
        if ((r.flags & 0x80) != 0 && (flags & kRouteAllPoints) == 0)
            continue;
        if (std::llabs(int64_t { r.x } - last.x) + std::llabs(int64_t { r.y } - last.y) < thinning) {
            lastFlags = r.flags;
            continue;
        }
        const ZXS_ScreenPoint a = MapToScreen(last.x, last.y);
        const ZXS_ScreenPoint b = MapToScreen(r.x, r.y);
        ZXS_Segment seg { a.x, a.y, b.x, b.y };
        if (ClipSegment(screen, seg) != 0 && !Degenerate(seg)) {
            if ((lastFlags & 0x21) != 0)
                SetPen(pen.outer, pen.markedCentre, pen.markedOuterWidth, pen.markedCentreWidth, kSolid,
                    kDashed);
            else
                SetPen(pen.outer, pen.centre, pen.outerWidth, pen.centreWidth, kSolid, kSolid);
            m_image->DrawLine(seg);
            lastSegment = seg;
            haveSegment = true;
        }
        last = { r.x, r.y };
        lastFlags = r.flags;
    }
    if (haveSegment && !Degenerate(lastSegment)) {
        std::array<ZXS_ScreenPoint, 4> head;
        const int32_t n = ArrowheadPoints(lastSegment, 15, 7, true, head);
        if (n > 0) {
            SetPen(pen.outer, pen.outer, 3, 0, kSolid, kSolid);
            m_image->DrawPolyline(head.data(), n);
            const int16_t lengths[1] = { static_cast<int16_t>(n) };
            m_image->FillPolygon(
                screen, { head.data(), lengths, 1 }, pen.centre, CZX_Image::kStippleSolid, 0, nullptr);
        }
    }
    if ((flags & kRouteMarkers) == 0)
        return;
    const bool hidden = (flags & kRouteHiddenMarkers) != 0;
    const auto inside = [&](ZXS_ScreenPoint p) {
        return p.x >= 0 && p.y >= 0 && p.x < m_image->Width() && p.y < m_image->Height();
    };
    SetPen(CZX_Surface565::Colour565(0, 128, 0), 0, 5, 0, kSolid, kSolid);
    for (const CZXS_RoutePoint& r : route) {
        if ((r.flags & 0x04) == 0 || ((r.flags & 0x80) != 0 && !hidden))
            continue;
        const ZXS_ScreenPoint p = MapToScreen(r.x, r.y);
        if (!inside(p))
            continue;
        m_image->DrawLine({ p.x - 5, p.y, p.x + 5, p.y });
        m_image->DrawLine({ p.x, p.y - 5, p.x, p.y + 5 });
    }
    SetPen(m_image->Colour(CZXS_ClippedImage::kWhite), 0, 1, 0, kSolid, kSolid);
    bool carried = false;
    for (size_t i = route.size(); i-- > 0;) {
        const CZXS_RoutePoint& r = route[i];
        const bool marked = carried || r.branches > ((r.flags & 0x08) != 0 ? 2 : 1);
        if (!marked)
            continue;
        if ((r.flags & 0x80) != 0 && !hidden) {
            carried = true;
            continue;
        }
        carried = false;
        const ZXS_ScreenPoint p = MapToScreen(r.x, r.y);
        if (!inside(p))
            continue;
        m_image->DrawLine({ p.x - 3, p.y, p.x + 3, p.y });
        m_image->DrawLine({ p.x, p.y - 3, p.x, p.y + 3 });
    }
}

int CZXS_View::DrawObject(int32_t object, uint32_t colour)
{
    if (m_image == nullptr || m_image->Surface() == nullptr || m_doc == nullptr)
        return 0;
    const int32_t layer = m_doc->LayerOfObject(object);
    const CZXS_LayerDesc desc = m_doc->GetLayerDesc(layer);
    if (layer < 0 || !desc || object < 0 || object >= static_cast<int32_t>(m_doc->Objects().Count()))
        return 0;
    const uint16_t pixel = CZX_Surface565::ColourFromBgr(colour);
    SetPen(pixel, pixel, 3, 0, kSolid, kSolid);
    const CZXS_ObjectRecord wanted = m_doc->Object(static_cast<uint32_t>(object));
    const int32_t name = wanted.NameId();
    const bool linked = (desc.Flags() & CZXS_LayerDesc::kLinked) != 0;
    m_visible = MapBoxOfScreenRect(ScreenRect());
    const ZXS_Rect box { m_visible.left, m_visible.top, m_visible.right, m_visible.bottom };
    CZXS_ObjectCursor cursor(m_doc);
    cursor.SetBox(&box);
    cursor.SetThinning(Scale() / 32);
    if (cursor.SetLayer(layer) == 0)
        return 1;
    const ZXS_ScreenRect& screen = ScreenRect();
    do {
        if (m_failed)
            return 0;
        const CZXS_ObjectRecord record = cursor.Record();
        const bool same = cursor.Object() == object
            || (name != ZXS_NO_OBJECT && record.NameId() == name
                && (!linked || record.LinkId() == wanted.LinkId()));
        ZXS_Rect bounds;
        if (!same || cursor.CollectPoints(&m_points, &bounds, false) == 0)
            continue;
        const ZXS_ScreenPoint a = MapToScreen(bounds.left, bounds.top);
        const ZXS_ScreenPoint b = MapToScreen(bounds.right, bounds.bottom);
        const int64_t size = std::llabs(int64_t { b.x } - a.x) + std::llabs(int64_t { b.y } - a.y);
        if (size > 3 && desc.SymbolNumber() == 255) {
            m_screen.resize(m_points.Count());
            for (uint32_t i = 0; i < m_points.Count(); ++i)
                m_screen[i] = MapToScreen(m_points.At(i).x, m_points.At(i).y);
            uint32_t at = 0;
            m_partLengths.clear();
            for (uint32_t part = 0; part < m_points.PartCount(); ++part) {
                const uint32_t n = m_points.PartLength(part);
                m_partLengths.push_back(static_cast<int16_t>(std::min<uint32_t>(n, 0x7fff)));
                for (uint32_t i = at; i + 1 < at + n; ++i) {
                    ZXS_Segment seg { m_screen[i].x, m_screen[i].y, m_screen[i + 1].x, m_screen[i + 1].y };
                    if (ClipSegment(screen, seg) != 0)
                        m_image->DrawLine(seg);
                }
                at += n;
            }
            if (record.IsClosed())
                m_image->FillPolygon(screen,
                    { m_screen.data(), m_partLengths.data(), static_cast<int32_t>(m_partLengths.size()) },
                    pixel, 0x50505050u, 0, nullptr);
        } else {
            const ZXS_ScreenPoint p = MapToScreen(m_points.At(0).x, m_points.At(0).y);
            if (p.x < 0 || p.y < 0 || p.x >= m_image->Width() || p.y >= m_image->Height())
                continue;
            SetPen(pixel, pixel, 1, 0, kSolid, kSolid);
            const ZXS_ScreenPoint targets[4][4] = {
                { { p.x - 4, p.y - 8 }, { p.x + 4, p.y - 8 }, { p.x, p.y - 4 }, { p.x - 4, p.y - 8 } },
                { { p.x + 8, p.y - 4 }, { p.x + 8, p.y + 4 }, { p.x + 4, p.y }, { p.x + 8, p.y - 4 } },
                { { p.x - 4, p.y + 8 }, { p.x + 4, p.y + 8 }, { p.x, p.y + 4 }, { p.x - 4, p.y + 8 } },
                { { p.x - 8, p.y - 4 }, { p.x - 8, p.y + 4 }, { p.x - 4, p.y }, { p.x - 8, p.y - 4 } },
            };
            for (const auto& t : targets)
                m_image->DrawPolyline(t, 4);
            SetPen(pixel, pixel, 3, 0, kSolid, kSolid);
        }
    } while (cursor.NextObject() != 0);
    return m_failed ? 0 : 1;
}

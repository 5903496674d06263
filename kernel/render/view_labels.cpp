// Label placement: street names along their chains, names in areas and beside
// points, kept apart through the view's occupancy table of strokes and groups.

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "kernel/doc/tzx_doc.h"
#include "kernel/render/view.h"

namespace {

constexpr double kNearlyParallel = 3500.0 / 65536.0;
constexpr double kOblique = 60001.0 / 65536.0;
constexpr size_t kMaxPathStrokes = 201;

using Interval = CZXS_View::Interval;

bool BoxesTouch(double ax, double ay, double ahx, double ahy, double bx, double by, double bhx, double bhy)
{
    return std::fabs(ax - bx) <= ahx + bhx && std::fabs(ay - by) <= ahy + bhy;
}

// The free pieces of [0, length] once the blocked intervals are taken away;
// pieces under one pixel are dropped.
std::vector<Interval> FreePieces(double length, std::vector<Interval> blocked)
{
    std::sort(
        blocked.begin(), blocked.end(), [](const Interval& a, const Interval& b) { return a.from < b.from; });
    std::vector<Interval> free;
    double at = 0;
    for (const Interval& b : blocked) {
        if (b.from - at >= 1.0)
            free.push_back({ at, b.from });
        at = std::max(at, b.to);
    }
    if (length - at >= 1.0)
        free.push_back({ at, length });
    return free;
}

Interval LongestFree(double length, const std::vector<Interval>& blocked)
{
    Interval best { 0, 0 };
    for (const Interval& f : FreePieces(length, blocked))
        if (f.to - f.from > best.to - best.from)
            best = f;
    return best;
}

// Two boxes, each a centre with two axes and half sizes along them, overlap
// unless some axis of either separates their shadows.
bool BoxesOverlap(const CZXS_View::GlyphBox& a, const CZXS_View::GlyphBox& b)
{
    const double dx = b.cx - a.cx;
    const double dy = b.cy - a.cy;
    const auto apart = [&](double ax, double ay) {
        const double ra = a.halfLength * std::fabs(a.ux * ax + a.uy * ay)
            + a.halfHeight * std::fabs(a.ux * ay - a.uy * ax);
        const double rb = b.halfLength * std::fabs(b.ux * ax + b.uy * ay)
            + b.halfHeight * std::fabs(b.ux * ay - b.uy * ax);
        return std::fabs(dx * ax + dy * ay) >= ra + rb;
    };
    return !apart(a.ux, a.uy) && !apart(-a.uy, a.ux) && !apart(b.ux, b.uy) && !apart(-b.uy, b.ux);
}

} // namespace

CZXS_View::Stroke CZXS_View::MakeStroke(double x1, double y1, double x2, double y2, double halfWidth)
{
    Stroke s;
    s.x1 = x1;
    s.y1 = y1;
    s.x2 = x2;
    s.y2 = y2;
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    s.length = std::hypot(dx, dy);
    if (s.length > 0) {
        s.ux = dx / s.length;
        s.uy = dy / s.length;
    }
    s.cx = (x1 + x2) / 2;
    s.cy = (y1 + y2) / 2;
    s.hx = std::fabs(dx) / 2 + halfWidth;
    s.hy = std::fabs(dy) / 2 + halfWidth;
    return s;
}

CZXS_View::Group CZXS_View::BoxOf(uint32_t first, uint32_t count, double halfWidth, bool icon) const
{
    double left = 1e300, top = 1e300, right = -1e300, bottom = -1e300;
    for (uint32_t i = first; i < first + count; ++i) {
        const Stroke& s = m_strokes[i];
        left = std::min(left, s.cx - s.hx);
        right = std::max(right, s.cx + s.hx);
        top = std::min(top, s.cy - s.hy);
        bottom = std::max(bottom, s.cy + s.hy);
    }
    Group g;
    g.icon = icon;
    g.halfWidth = halfWidth;
    g.cx = (left + right) / 2;
    g.cy = (top + bottom) / 2;
    g.hx = (right - left) / 2;
    g.hy = (bottom - top) / 2;
    g.first = first;
    g.count = count;
    return g;
}

int CZXS_View::Occupy(const Stroke& stroke, bool icon, double halfWidth)
{
    try {
        m_strokes.push_back(stroke);
        m_groups.push_back(BoxOf(static_cast<uint32_t>(m_strokes.size() - 1), 1, halfWidth, icon));
    } catch (const std::bad_alloc&) {
        m_failed = true;
        return 0;
    }
    return 1;
}

int CZXS_View::OccupyBox(ZXS_ScreenPoint p1, ZXS_ScreenPoint p2, double halfWidth, bool icon)
{
    if (m_failed)
        return 0;
    if (p1.y != p2.y && p1.x != p2.x)
        return 1;
    if (p1.y == p2.y && p1.x > p2.x)
        std::swap(p1, p2);
    if (p1.x == p2.x && p1.y > p2.y)
        std::swap(p1, p2);
    Stroke s = MakeStroke(p1.x, p1.y, p2.x, p2.y, halfWidth);
    if (p1.y == p2.y) {
        s.hx = (p2.x - p1.x) / 2.0;
        s.hy = halfWidth;
        s.ux = 1;
        s.uy = 0;
    } else {
        s.hx = halfWidth;
        s.hy = (p2.y - p1.y) / 2.0;
        s.ux = 0;
        s.uy = 1;
    }
    return Occupy(s, icon, halfWidth);
}

bool CZXS_View::IsFree(double cx, double cy, double hx, double hy) const
{
    for (const Group& g : m_groups)
        if (BoxesTouch(cx, cy, hx, hy, g.cx, g.cy, g.hx, g.hy))
            return false;
    return true;
}

void CZXS_View::OccupyBorders()
{
    const ZXS_ScreenRect& s = ScreenRect();
    const int32_t w = s.right + 1;
    const int32_t h = s.bottom + 1;
    OccupyBox({ 0, -1 }, { w, -1 }, m_update.top - s.top + 1);
    OccupyBox({ 0, h }, { w, h }, s.bottom - m_update.bottom + 1);
    OccupyBox({ -1, 0 }, { -1, h }, m_update.left - s.left + 1);
    OccupyBox({ w, 0 }, { w, h }, s.right - m_update.right + 1);
}

// How much of stroke s (half width a) the stroke t (half width b) blocks, as
// positions along s: 1 with [from, to], or 0.
double CZXS_View::BlockedInterval(
    const Stroke& s, double a, const Stroke& t, double b, double& from, double& to) const
{
    const double length = s.length;
    const auto along = [&](double x, double y) { return (x - s.x1) * s.ux + (y - s.y1) * s.uy; };
    const auto across = [&](double x, double y) { return s.ux * (y - s.y1) - s.uy * (x - s.x1); };
    double e = along(t.x1, t.y1);
    double h = along(t.x2, t.y2);
    double g = across(t.x1, t.y1);
    double l = across(t.x2, t.y2);
    if (e > h) {
        std::swap(e, h);
        std::swap(g, l);
    }
    if (h <= -b || e > length + b)
        return 0;
    const double tl = t.length > 0 ? t.length : 1e-9;
    const double sin = (l - g) / tl;
    const double cos = (h - e) / tl;
    const bool sameSide = (g > a && l > a) || (g < -a && l < -a);
    if (std::fabs(sin) < kNearlyParallel || t.length == 0) {
        if ((std::fabs(g) > a + b && std::fabs(l) > a + b) || e > length - 1 || h < 1)
            return 0;
        from = std::max(e, 0.0);
        to = std::min(h, length);
        return to > from ? 1 : 0;
    }
    const double c = e - g * cos / sin;
    double lo, hi;
    if (std::fabs(sin) < kOblique) {
        if (std::fabs(e + h - length) > length + (h - e) + 2 * a + 2 * b
            || std::fabs(g + l) >= std::fabs(l - g) + 2 * a + 2 * b
            || (sameSide && std::fabs(g + l) >= std::fabs(l - g) + 2 * a + b * std::fabs(cos)))
            return 0;
        const double d = a * std::fabs(cos / sin) + std::fabs(b / sin);
        lo = c - d;
        hi = c + d;
        if (lo > length || hi <= 0)
            return 0;
        if (lo < e)
            lo = e - std::fabs(b * sin);
        if (hi > h)
            hi = h + std::fabs(b * sin);
        if (lo > length || hi <= 0 || hi <= lo)
            return 0;
    } else {
        if ((g >= a && l >= a) || (g <= -a && l <= -a)
            || (e >= length + 4.0 / 3 * b && h >= length + 4.0 / 3 * b))
            return 0;
        lo = c - 4.0 / 3 * b;
        hi = c + 4.0 / 3 * b;
        if (lo > length || hi <= 0)
            return 0;
    }
    from = std::max(lo, 0.0);
    to = std::min(hi, length);
    return to > from ? 1 : 0;
}

std::vector<CZXS_View::Interval> CZXS_View::BlockedAlong(
    const Stroke& s, double a, bool labelsOnly, double minLength) const
{
    std::vector<Interval> blocked;
    for (const Group& g : m_groups) {
        if ((labelsOnly && g.icon) || !BoxesTouch(s.cx, s.cy, s.hx, s.hy, g.cx, g.cy, g.hx, g.hy))
            continue;
        for (uint32_t k = g.first; k < g.first + g.count; ++k) {
            const Stroke& t = m_strokes[k];
            if (!BoxesTouch(s.cx, s.cy, s.hx, s.hy, t.cx, t.cy, t.hx, t.hy))
                continue;
            double from = 0, to = 0;
            if (BlockedInterval(s, a, t, g.halfWidth, from, to) != 0 && to - from > minLength)
                blocked.push_back({ from, to });
        }
    }
    return blocked;
}

bool CZXS_View::SetLabelFont(int32_t h)
{
    if (m_font.SetSize(h * 20 / 8, h * 22 / 8) == 0) {
        SetError(m_font.GetError());
        return false;
    }
    return true;
}

std::string CZXS_View::LabelText(int32_t name, int32_t variant) const
{
    return m_doc->Names().GetName(name, variant);
}

void CZXS_View::DrawTextAt(const std::string& text, double x, double y, double ux, double uy, int32_t chars)
{
    CZX_Font::Pen pen { static_cast<int32_t>(std::lround(x * 64)),
        static_cast<int32_t>(std::lround(-y * 64)) };
    const int32_t cosine = static_cast<int32_t>(std::lround(ux * 65536));
    const int32_t sine = static_cast<int32_t>(std::lround(-uy * 65536));
    if (m_font.DrawText(*m_image, text.c_str(), m_doc->Names().CodePage(), pen, cosine, sine, chars) == 0)
        SetError(m_font.GetError());
}

namespace {

// A line on the screen walked by the distance along it.
class ArcLine {
public:
    void Add(double x, double y)
    {
        if (!m_x.empty()) {
            if (x == m_x.back() && y == m_y.back())
                return;
            m_at.push_back(m_at.back() + std::hypot(x - m_x.back(), y - m_y.back()));
        } else {
            m_at.push_back(0);
        }
        m_x.push_back(x);
        m_y.push_back(y);
    }
    size_t Size() const { return m_x.size(); }
    double Length() const { return m_at.empty() ? 0 : m_at.back(); }
    double At(size_t i) const { return m_at[i]; }
    double X(size_t i) const { return m_x[i]; }
    double Y(size_t i) const { return m_y[i]; }
    // The point `s` along the line, kept to the line's ends.
    void PointAt(double s, double& x, double& y) const
    {
        s = std::clamp(s, 0.0, Length());
        size_t i = static_cast<size_t>(std::upper_bound(m_at.begin(), m_at.end(), s) - m_at.begin());
        i = std::clamp<size_t>(i, 1, m_at.size() - 1);
        const double span = m_at[i] - m_at[i - 1];
        const double f = span > 0 ? (s - m_at[i - 1]) / span : 0;
        x = m_x[i - 1] + (m_x[i] - m_x[i - 1]) * f;
        y = m_y[i - 1] + (m_y[i] - m_y[i - 1]) * f;
    }

private:
    std::vector<double> m_x, m_y, m_at;
};

// How far a glyph may turn from the one before it, and how much shorter than
// its advance the line under a glyph may be straight across, before the
// glyphs no longer follow the line.
constexpr double kMaxGlyphTurn = 0.45; // radians
constexpr double kMinChordShare = 0.9;
// Text read upwards may lean back this far past the vertical (steep streets).
constexpr double kUpwardLean = 0.2;

// Whether text running along (ux, uy) reads left to right: within a quarter
// turn of the horizontal, or upwards leaning back a little.
bool ReadsForward(double ux, double uy) { return ux >= 0 || (uy < 0 && ux >= kUpwardLean * uy); }

// The glyphs of a text of `advances` laid along the line from `start` (its
// start when read backwards along the line); the sum of the turns between
// them, or a negative value when they cannot follow the line there or some
// glyph would not read left to right.
double LayGlyphs(const ArcLine& line, double start, double width, bool backwards,
    const std::vector<double>& advances, double halfHeight, std::vector<CZXS_View::GlyphBox>& glyphs)
{
    glyphs.clear();
    const double along = backwards ? -1 : 1;
    double pen = 0;
    double turns = 0;
    double ux = 0, uy = 0;
    for (const double advance : advances) {
        const double middle = backwards ? start + width - pen - advance / 2 : start + pen + advance / 2;
        pen += advance;
        double x0, y0, x1, y1, cx, cy;
        line.PointAt(middle - along * advance / 2, x0, y0);
        line.PointAt(middle + along * advance / 2, x1, y1);
        line.PointAt(middle, cx, cy);
        const double chord = std::hypot(x1 - x0, y1 - y0);
        if (chord < kMinChordShare * advance || chord <= 0) {
            if (advance > 1 || glyphs.empty())
                return -1;
        } else {
            const double vx = (x1 - x0) / chord;
            const double vy = (y1 - y0) / chord;
            if (!glyphs.empty()) {
                const double turn = std::fabs(std::atan2(ux * vy - uy * vx, ux * vx + uy * vy));
                if (turn > kMaxGlyphTurn)
                    return -1;
                turns += turn;
            }
            ux = vx;
            uy = vy;
        }
        if (!ReadsForward(ux, uy))
            return -1;
        glyphs.push_back({ cx, cy, ux, uy, advance / 2, halfHeight });
    }
    return turns;
}

} // namespace

int CZXS_View::DrawChainLabel(const Chain& chain, const CZXS_StyleRecord& style)
{
    const int32_t s = style.Bytes()[7];
    const double w = s / 2;
    if (s < 2 || chain.count < 2)
        return 0;
    // A name needs a line four times its height (ChainText), and no line is
    // longer than its steps across and down: most chains end here, uncut.
    int64_t reach = 0;
    for (uint32_t i = 1; i < chain.count; ++i) {
        const ZXS_ScreenPoint a = m_chainPoints[chain.first + i - 1];
        const ZXS_ScreenPoint b = m_chainPoints[chain.first + i];
        reach += std::llabs(int64_t { b.x } - a.x) + std::llabs(int64_t { b.y } - a.y);
    }
    if (static_cast<double>(reach) < s / 2 * 4.0)
        return 0;
    ArcLine line;
    for (uint32_t i = 0; i < chain.count; ++i)
        line.Add(m_chainPoints[chain.first + i].x, m_chainPoints[chain.first + i].y);
    if (line.Length() <= 2)
        return 0;

    // The stretches of the line that nothing placed before blocks. Only the
    // groups near the line are looked at.
    double left = 1e300, top = 1e300, right = -1e300, bottom = -1e300;
    for (size_t i = 0; i < line.Size(); ++i) {
        left = std::min(left, line.X(i));
        right = std::max(right, line.X(i));
        top = std::min(top, line.Y(i));
        bottom = std::max(bottom, line.Y(i));
    }
    std::vector<const Group*> near;
    for (const Group& g : m_groups)
        if (!g.icon
            && BoxesTouch((left + right) / 2, (top + bottom) / 2, (right - left) / 2 + w,
                (bottom - top) / 2 + w, g.cx, g.cy, g.hx, g.hy))
            near.push_back(&g);
    std::vector<Interval> blocked;
    for (size_t i = 1; i < line.Size(); ++i) {
        const Stroke piece = MakeStroke(line.X(i - 1), line.Y(i - 1), line.X(i), line.Y(i), w);
        for (const Group* g : near) {
            if (!BoxesTouch(piece.cx, piece.cy, piece.hx, piece.hy, g->cx, g->cy, g->hx, g->hy))
                continue;
            for (uint32_t k = g->first; k < g->first + g->count; ++k) {
                const Stroke& t = m_strokes[k];
                double from = 0, to = 0;
                if (BoxesTouch(piece.cx, piece.cy, piece.hx, piece.hy, t.cx, t.cy, t.hx, t.hy)
                    && BlockedInterval(piece, w, t, g->halfWidth, from, to) != 0 && to - from > 1.0)
                    blocked.push_back({ line.At(i - 1) + from, line.At(i - 1) + to });
            }
        }
    }
    const std::vector<Interval> stretches = FreePieces(line.Length(), blocked);
    double room = 0;
    for (const Interval& f : stretches)
        room = std::max(room, f.to - f.from);

    std::string text;
    double width = 0;
    if (room <= 0 || !ChainText(chain.name, s / 2, room, text, width))
        return 0;
    const int codePage = m_doc->Names().CodePage();
    std::vector<double> advances;
    advances.reserve(text.size());
    for (const char c : text) {
        const int32_t advance = m_font.Advance(static_cast<uint8_t>(c), codePage);
        if (advance < 0)
            return 0;
        advances.push_back(advance / 64.0);
    }

    // Places along each stretch long enough, each read the way its ends say
    // (upwards when steep, else rightwards) or, when the glyphs do not all read
    // forward so, the other way. The glyphs that turn least win; between
    // nearly equal ones, the place nearer the stretch's middle.
    struct Place {
        double score;
        double start;
        bool backwards;
    };
    std::vector<Place> places;
    std::vector<GlyphBox> glyphs;
    for (const Interval& f : stretches) {
        const double spare = f.to - f.from - width;
        if (spare < 0)
            continue;
        const int steps = std::min(16, static_cast<int>(spare / 4));
        for (int k = 0; k <= steps + 1; ++k) {
            const double start
                = k <= steps ? f.from + (steps > 0 ? spare * k / steps : 0) : f.from + 0.5 * spare;
            double x0, y0, x1, y1;
            line.PointAt(start, x0, y0);
            line.PointAt(start + width, x1, y1);
            const bool steep = std::fabs(x1 - x0) < s || std::fabs(y1 - y0) > 5 * std::fabs(x1 - x0);
            const bool backwards = steep ? !(y1 < y0) : !(x1 > x0);
            for (const bool way : { backwards, !backwards }) {
                const double turns = LayGlyphs(line, start, width, way, advances, w, glyphs);
                if (turns < 0)
                    continue;
                const double offCentre = std::fabs(start + width / 2 - (f.from + f.to) / 2) / (f.to - f.from);
                places.push_back({ turns + 0.25 * offCentre, start, way });
                break;
            }
        }
    }
    std::sort(places.begin(), places.end(), [](const Place& a, const Place& b) { return a.score < b.score; });
    for (const Place& p : places) {
        LayGlyphs(line, p.start, width, p.backwards, advances, w, glyphs);
        if (!std::all_of(glyphs.begin(), glyphs.end(), [&](const GlyphBox& g) { return BoxFree(g, false); }))
            continue;
        // The band the text takes: one stroke for each run of glyphs in one direction.
        const uint32_t firstStroke = static_cast<uint32_t>(m_strokes.size());
        try {
            for (size_t i = 0; i < glyphs.size();) {
                size_t j = i + 1;
                while (
                    j < glyphs.size() && glyphs[j].ux * glyphs[i].ux + glyphs[j].uy * glyphs[i].uy > 0.9998)
                    ++j;
                const GlyphBox& a = glyphs[i];
                const GlyphBox& b = glyphs[j - 1];
                m_strokes.push_back(MakeStroke(a.cx - a.ux * a.halfLength, a.cy - a.uy * a.halfLength,
                    b.cx + b.ux * b.halfLength, b.cy + b.uy * b.halfLength, w));
                i = j;
            }
            m_groups.push_back(
                BoxOf(firstStroke, static_cast<uint32_t>(m_strokes.size() - firstStroke), w, false));
            m_groups.back().street = true;
        } catch (const std::bad_alloc&) {
            m_strokes.resize(firstStroke);
            m_failed = true;
            return 0;
        }
        for (size_t i = 0; i < glyphs.size(); ++i) {
            const GlyphBox& g = glyphs[i];
            // The baseline runs below the band's middle, so that the letters stand in the band.
            const double x = g.cx - g.ux * g.halfLength - g.uy * w * 0.8;
            const double y = g.cy - g.uy * g.halfLength + g.ux * w * 0.8;
            DrawTextAt(text.substr(i, 1), x, y, g.ux, g.uy, 1);
            RecordGlyph(LabelKind::kStreet, static_cast<uint8_t>(text[i]), g);
        }
        ++m_labelNumber;
        return 1;
    }
    return 0;
}

// The text with its kind word, long or short as the room allows, in the font
// of height `h`; false when there is no text or no room for it.
bool CZXS_View::ChainText(int32_t name, int32_t h, double room, std::string& text, double& textWidth)
{
    if (!SetLabelFont(h))
        return false;
    if (room < h * 4.0 || m_doc->Names().Size() == 0)
        return false;
    text = LabelText(name, m_nameVariant);
    if (text.empty() || room < static_cast<double>(text.size()) * h)
        return false;
    const int codePage = m_doc->Names().CodePage();
    const auto widthOf = [&](const std::string& t) { return m_font.TextWidth(t.c_str(), codePage) / 64.0; };
    textWidth = widthOf(text);
    if (textWidth < 0 || room < textWidth)
        return false;
    const std::string shortKind = m_doc->Names().GetKindWord(name, m_shortVariant);
    if (!shortKind.empty()) {
        const std::string withShort = text + " " + shortKind;
        const double shortWidth = widthOf(withShort);
        if (shortWidth >= 0 && shortWidth <= room) {
            const std::string longKind = m_doc->Names().GetKindWord(name, m_nameVariant);
            const std::string withLong = text + " " + longKind;
            const double longWidth = longKind.empty() ? -1 : widthOf(withLong);
            if (longWidth >= 0 && longWidth <= room) {
                text = withLong;
                textWidth = longWidth;
            } else {
                text = withShort;
                textWidth = shortWidth;
            }
        }
    }
    return true;
}

bool CZXS_View::BoxFree(const GlyphBox& box, bool icons) const
{
    const double bx = box.halfLength * std::fabs(box.ux) + box.halfHeight * std::fabs(box.uy);
    const double by = box.halfLength * std::fabs(box.uy) + box.halfHeight * std::fabs(box.ux);
    for (const Group& g : m_groups) {
        if ((g.icon && !icons) || !BoxesTouch(box.cx, box.cy, bx, by, g.cx, g.cy, g.hx, g.hy))
            continue;
        for (uint32_t k = g.first; k < g.first + g.count; ++k) {
            const Stroke& t = m_strokes[k];
            if (BoxesOverlap(box, { t.cx, t.cy, t.ux, t.uy, t.length / 2, g.halfWidth }))
                return false;
        }
    }
    return true;
}

void CZXS_View::RecordGlyph(LabelKind kind, uint8_t code, const GlyphBox& box)
{
    if (m_glyphRecord != nullptr)
        m_glyphRecord->push_back(
            { m_labelNumber, kind, code, box.cx, box.cy, box.ux, box.uy, box.halfLength, box.halfHeight });
}

void CZXS_View::RecordLine(LabelKind kind, const std::string& text, double x, double y, double halfHeight)
{
    if (m_glyphRecord == nullptr)
        return;
    const int codePage = m_doc->Names().CodePage();
    for (const char c : text) {
        const double advance = std::max(0, m_font.Advance(static_cast<uint8_t>(c), codePage)) / 64.0;
        RecordGlyph(kind, static_cast<uint8_t>(c), { x + advance / 2, y, 1, 0, advance / 2, halfHeight });
        x += advance;
    }
}

int CZXS_View::PlacePointLabel(const ZXS_ScreenPoint anchors[4], int32_t name, const CZXS_StyleRecord& style,
    bool cross, const GlyphBox* avoid, size_t avoidCount)
{
    const int32_t s = style.Bytes()[7];
    const int32_t t = (s + 1) / 2;
    if (s < 2 || m_doc->Names().Size() == 0)
        return -1;
    const std::string text = LabelText(name, m_nameVariant);
    if (text.empty() || !SetLabelFont(t))
        return -1;
    if (cross && text.size() >= 19 && anchors[1].x - anchors[0].x <= 0)
        return -1;
    const int codePage = m_doc->Names().CodePage();
    const int32_t textWidth = m_font.TextWidth(text.c_str(), codePage);
    if (textWidth < 0)
        return -1;
    const double W = textWidth / 64.0;
    if (cross && text.size() >= 19 && (anchors[1].x - anchors[0].x) * 8 <= W)
        return -1;
    const double imageW = m_image->Width();
    const double imageH = m_image->Height();
    // Candidates: right, left, below, above; each a horizontal span at a height.
    // Point objects may also take the four corners: their text beside the
    // right or left anchor, raised or lowered by half its height.
    struct Candidate {
        double left, right, y;
        bool ok;
    };
    const ZXS_ScreenPoint& l = anchors[0];
    const ZXS_ScreenPoint& r = anchors[1];
    const ZXS_ScreenPoint& top = anchors[2];
    const ZXS_ScreenPoint& bottom = anchors[3];
    const int count = cross ? 4 : 8;
    Candidate c[8] = {
        { static_cast<double>(r.x), r.x + W, r.y + 1.0, true },
        { l.x - W, static_cast<double>(l.x), l.y + 1.0, true },
        { bottom.x - W, bottom.x + W, static_cast<double>(bottom.y + t), true },
        { top.x - W, top.x + W, static_cast<double>(top.y - t), true },
        { static_cast<double>(r.x), r.x + W, static_cast<double>(r.y - t), true },
        { static_cast<double>(r.x), r.x + W, static_cast<double>(r.y + t + 2), true },
        { l.x - W, static_cast<double>(l.x), static_cast<double>(l.y - t), true },
        { l.x - W, static_cast<double>(l.x), static_cast<double>(l.y + t + 2), true },
    };
    for (int k : { 0, 1, 4, 5, 6, 7 }) {
        const ZXS_ScreenPoint& anchor = k == 0 || k == 4 || k == 5 ? r : l;
        if (anchor.y < 0 || c[k].left < 0 || c[k].right >= imageW || c[k].y - t < 0 || c[k].y + t >= imageH)
            c[k].ok = false;
    }
    if (c[2].y + t >= imageH || bottom.y < 0)
        c[2].ok = false;
    if (c[3].y - t < 0 || top.y < 0)
        c[3].ok = false;
    for (int k = 2; k < 4; ++k) {
        c[k].left = std::max(c[k].left, 0.0);
        c[k].right = std::min(c[k].right, imageW - 1);
        if (c[k].right - c[k].left < W)
            c[k].ok = false;
    }
    const auto polite = [&](const Candidate& k) {
        const GlyphBox box { (k.left + k.right) / 2, k.y, 1, 0, W / 2, static_cast<double>(t) };
        for (size_t i = 0; i < avoidCount; ++i)
            if (BoxesOverlap(box, avoid[i]))
                return false;
        return true;
    };
    int chosen = -1;
    for (int round = avoidCount > 0 ? 0 : 1; round < 2 && chosen < 0; ++round) {
        for (int k = 0; k < count && chosen < 0; ++k) {
            if (!c[k].ok)
                continue;
            Candidate at = c[k];
            const bool span = k == 2 || k == 3;
            const Stroke line = MakeStroke(at.left, at.y, at.right, at.y, t);
            const std::vector<Interval> blocked = BlockedAlong(line, t, false, 0.0);
            if (!blocked.empty()) {
                if (!span)
                    continue;
                const Interval best = LongestFree(line.length, blocked);
                if (best.to - best.from < W)
                    continue;
                const double middle = at.left + (best.from + best.to) / 2;
                at.left = middle - W / 2;
                at.right = middle + W / 2;
            } else if (span) {
                const double middle = (at.left + at.right) / 2;
                at.left = middle - W / 2;
                at.right = middle + W / 2;
            }
            // The cut above is coarse where the text meets something placed at a slant.
            if ((round == 1 || polite(at))
                && BoxFree({ (at.left + at.right) / 2, at.y, 1, 0, W / 2, static_cast<double>(t) }, true)) {
                c[k] = at;
                chosen = k;
            }
        }
    }
    if (chosen < 0)
        return -1;
    Candidate& win = c[chosen];
    if (win.right + 2 >= imageW)
        return -1;
    const Stroke occupied = MakeStroke(win.left - 2, win.y, win.right + 2, win.y, t + 2);
    if (Occupy(occupied, false, t + 2) == 0)
        return -1;
    DrawTextAt(text, win.left, win.y + t * 0.7, 1, 0, 0);
    RecordLine(LabelKind::kPoint, text, win.left, win.y, t);
    ++m_labelNumber;
    if (cross) {
        const ZXS_ScreenPoint a = chosen == 0 ? r : chosen == 1 ? l : chosen == 2 ? bottom : top;
        CZX_Image::Pen pen;
        pen.outerColour = m_image->Colour(CZXS_ClippedImage::kBlack);
        pen.outerWidth = 1;
        m_image->SetPen(pen);
        m_image->DrawLine({ a.x - 2, a.y, a.x + 2, a.y });
        m_image->DrawLine({ a.x, a.y - 2, a.x, a.y + 2 });
    }
    static constexpr int kAnchorUsed[8] = { 1, 0, 3, 2, 1, 1, 0, 0 };
    return kAnchorUsed[chosen];
}

int CZXS_View::DrawAreaLabel(const AreaLabel& label, const CZXS_StyleRecord& style)
{
    const int32_t s = style.Bytes()[7];
    const int32_t t = (s + 1) / 2;
    if (s < 2 || label.halfWidth * 2 < t || m_doc->Names().Size() == 0)
        return 0;
    const std::string text = LabelText(label.name, m_nameVariant);
    if (text.empty() || !SetLabelFont(t))
        return 0;
    const int32_t textWidth = m_font.TextWidth(text.c_str(), m_doc->Names().CodePage());
    if (textWidth < 0)
        return 0;
    const double W = textWidth / 64.0;
    const double left = std::max(0.0, static_cast<double>(label.cx - label.halfWidth));
    const double right = std::min(m_image->Width() - 1.0, static_cast<double>(label.cx + label.halfWidth));
    if (right - left < W || label.cy - t < 0 || label.cy + t >= m_image->Height())
        return 0;
    const Stroke span = MakeStroke(left, label.cy, right, label.cy, t);
    const Interval best = LongestFree(span.length, BlockedAlong(span, t, false, 0.0));
    if (best.to - best.from < W)
        return 0;
    const double middle = left + (best.from + best.to) / 2;
    const double x = middle - W / 2;
    if (!BoxFree({ middle, static_cast<double>(label.cy), 1, 0, W / 2, static_cast<double>(t) }, true)
        || Occupy(MakeStroke(x - 2, label.cy, x + W + 2, label.cy, t + 2), false, t + 2) == 0)
        return 0;
    DrawTextAt(text, x, label.cy + t * 0.7, 1, 0, 0);
    RecordLine(LabelKind::kArea, text, x, label.cy, t);
    ++m_labelNumber;
    return 1;
}

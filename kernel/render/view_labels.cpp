// Label placement: street names along their chains, names in areas and beside
// points, kept apart through the view's occupancy table of strokes and groups.

#include <algorithm>
#include <cmath>

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

int CZXS_View::DrawChainLabel(const Chain& chain, const CZXS_StyleRecord& style)
{
    const int32_t s = style.Bytes()[7];
    const double w = s / 2;
    if (s < 2 || chain.count < 2)
        return 0;
    const std::vector<Stroke> path = ChainStrokes(chain, w);
    if (path.empty())
        return 0;
    const std::vector<Stroke> cut = CutAroundLabels(path, w);
    if (cut.empty())
        return 0;
    std::string text;
    double textWidth = 0;
    if (!ChainText(chain.name, s / 2, cut, text, textWidth))
        return 0;
    double spare = 0;
    std::vector<Stroke> run = ShortestRun(cut, textWidth, s, spare);
    if (run.empty())
        return 0;
    ReadingOrder(run, s, w);
    return PlaceAlongRun(run, text, spare, w);
}

// The chain's points become strokes; nearly straight runs join into one.
std::vector<CZXS_View::Stroke> CZXS_View::ChainStrokes(const Chain& chain, double w) const
{
    std::vector<Stroke> path;
    const ZXS_ScreenPoint* points = &m_chainPoints[chain.first];
    double px = points[0].x;
    double py = points[0].y;
    bool open = false;
    Stroke current;
    const auto close = [&]() {
        if (open && current.length > 2)
            path.push_back(current);
        open = false;
    };
    for (uint32_t i = 1; i < chain.count && path.size() < kMaxPathStrokes; ++i) {
        const double qx = points[i].x;
        const double qy = points[i].y;
        if (qx == px && qy == py)
            continue;
        const Stroke seg = MakeStroke(px, py, qx, qy, w);
        if (!open) {
            current = seg;
            open = true;
        } else {
            const double j = current.ux * seg.ux + current.uy * seg.uy;
            const double hcross = current.ux * seg.uy - current.uy * seg.ux;
            if (j > 0 && (current.length + seg.length) / 2 * std::fabs(hcross) < w) {
                current = MakeStroke(current.x1, current.y1, qx, qy, w);
            } else {
                double k;
                if (j > 0)
                    k = std::fabs(w * hcross);
                else if (j == 0)
                    k = w;
                else if (std::fabs(hcross) < 4.0 / 65536)
                    k = current.length;
                else
                    k = std::fabs(w + std::fabs(w * j) / hcross);
                if (w >= seg.length - k)
                    continue; // too short once shortened; the next segment starts here too
                close();
                current = MakeStroke(px + seg.ux * k, py + seg.uy * k, qx, qy, w);
                open = true;
            }
        }
        px = qx;
        py = qy;
    }
    close();
    return path;
}

// The path cut around what is already placed (labels, not icons).
std::vector<CZXS_View::Stroke> CZXS_View::CutAroundLabels(const std::vector<Stroke>& path, double w) const
{
    std::vector<Stroke> cut;
    for (const Stroke& p : path) {
        const std::vector<Interval> blocked = BlockedAlong(p, w, true, 1.0);
        if (blocked.empty()) {
            cut.push_back(p);
            continue;
        }
        for (const Interval& f : FreePieces(p.length, blocked))
            cut.push_back(MakeStroke(
                p.x1 + p.ux * f.from, p.y1 + p.uy * f.from, p.x1 + p.ux * f.to, p.y1 + p.uy * f.to, w));
    }
    return cut;
}

// The text with its kind word, long or short as the room allows, in the font
// of height `h`; false when there is no text or no room for it.
bool CZXS_View::ChainText(
    int32_t name, int32_t h, const std::vector<Stroke>& cut, std::string& text, double& textWidth)
{
    if (!SetLabelFont(h))
        return false;
    double total = 0;
    for (const Stroke& c : cut)
        total += c.length;
    if (total < h * 4.0 || m_doc->Names().Size() == 0)
        return false;
    text = LabelText(name, m_nameVariant);
    if (text.empty() || total < static_cast<double>(text.size()) * h)
        return false;
    const int codePage = m_doc->Names().CodePage();
    const auto widthOf = [&](const std::string& t) { return m_font.TextWidth(t.c_str(), codePage) / 64.0; };
    textWidth = widthOf(text);
    if (textWidth < 0 || total < textWidth)
        return false;
    const std::string shortKind = m_doc->Names().GetKindWord(name, m_shortVariant);
    if (!shortKind.empty()) {
        const std::string withShort = text + " " + shortKind;
        const double shortWidth = widthOf(withShort);
        if (shortWidth >= 0 && shortWidth <= total) {
            const std::string longKind = m_doc->Names().GetKindWord(name, m_nameVariant);
            const std::string withLong = text + " " + longKind;
            const double longWidth = longKind.empty() ? -1 : widthOf(withLong);
            if (longWidth >= 0 && longWidth <= total) {
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

// The run of strokes that holds the text with the fewest strokes (of those the
// one with the most room to spare); none when no run holds it.
std::vector<CZXS_View::Stroke> CZXS_View::ShortestRun(
    const std::vector<Stroke>& cut, double textWidth, int32_t s, double& spareOut)
{
    size_t bestStart = 0, bestCount = 0;
    double bestSpare = -1;
    for (size_t start = 0; start < cut.size(); ++start) {
        double sum = 0;
        for (size_t k = start; k < cut.size(); ++k) {
            if (k > start) {
                const Stroke& a = cut[k - 1];
                const Stroke& b = cut[k];
                if (std::fabs(b.x1 - a.x2) + std::fabs(b.y1 - a.y2) > 4.0 * s)
                    break;
            }
            sum += cut[k].length;
            if (sum > textWidth) {
                const size_t count = k - start + 1;
                const double spare = sum - textWidth;
                if (bestCount == 0 || count < bestCount || (count == bestCount && spare > bestSpare)) {
                    bestStart = start;
                    bestCount = count;
                    bestSpare = spare;
                }
                break;
            }
        }
    }
    spareOut = bestSpare;
    return std::vector<Stroke>(cut.begin() + static_cast<std::ptrdiff_t>(bestStart),
        cut.begin() + static_cast<std::ptrdiff_t>(bestStart + bestCount));
}

// Turns the run to read left to right, or bottom to top on steep streets.
void CZXS_View::ReadingOrder(std::vector<Stroke>& run, int32_t s, double w)
{
    const double dx = run.back().x2 - run.front().x1;
    const double dy = run.back().y2 - run.front().y1;
    bool reverse;
    if (std::fabs(dx) < s || std::fabs(dy) / std::fabs(dx) > 5)
        reverse = !(dy < 0);
    else
        reverse = !(dx > 0);
    if (reverse) {
        std::reverse(run.begin(), run.end());
        for (Stroke& r : run)
            r = MakeStroke(r.x2, r.y2, r.x1, r.y1, w);
    }
}

// Characters stroke by stroke: a character belongs to the stroke its middle
// falls on, and what it misses of one stroke carries to the next. Each stroke
// is drawn on a baseline below its middle and kept as occupied over the text
// it carries. 1 when placed, 0 when the text does not fit.
int CZXS_View::PlaceAlongRun(const std::vector<Stroke>& run, const std::string& text, double spare, double w)
{
    const int codePage = m_doc->Names().CodePage();
    struct Piece {
        size_t stroke, first, count;
        double begin, end;
    };
    std::vector<Piece> pieces;
    // Lays the text out from `start` along the run; how far it runs past the
    // last stroke's end (0 when it fits).
    const auto layout = [&](double start) -> double {
        pieces.clear();
        double position = start;
        double strokeStart = 0;
        size_t next = 0;
        double overrun = 0;
        for (size_t k = 0; k < run.size() && next < text.size(); ++k) {
            const Stroke& r = run[k];
            const double strokeEnd = strokeStart + r.length;
            const size_t first = next;
            double local = position - strokeStart;
            // Text runs on over the small steps where a bend starts a new stroke,
            // but never into a gap that was cut around something placed before.
            if (k > 0 && std::hypot(r.x1 - run[k - 1].x2, r.y1 - run[k - 1].y2) > w + 1)
                local = std::max(local, 0.0);
            if (k == 0)
                local = std::max(local, 0.0);
            const double begin = local;
            // A character may reach half its width past a bend, but not into a
            // gap cut around another label.
            const bool cutAfter
                = k + 1 < run.size() && std::hypot(run[k + 1].x1 - r.x2, run[k + 1].y1 - r.y2) > w + 1;
            while (next < text.size()) {
                const int32_t advance = m_font.Advance(static_cast<uint8_t>(text[next]), codePage);
                if (advance < 0)
                    return -1;
                const double a = advance / 64.0;
                if (strokeStart + local + (cutAfter ? a : a / 2) > strokeEnd && k + 1 < run.size())
                    break;
                local += a;
                ++next;
            }
            position = strokeStart + local;
            strokeStart = strokeEnd;
            if (next > first)
                pieces.push_back({ k, first, next - first, begin, local });
            if (k + 1 == run.size() || next == text.size())
                overrun = std::max(0.0, local - r.length);
        }
        return next < text.size() ? 1e9 : overrun;
    };
    double start = 0.4 * spare;
    double overrun = layout(start);
    if (overrun > 0.5 && overrun < 1e9) {
        start = std::max(0.0, start - overrun);
        overrun = layout(start);
    }
    if (overrun < 0 || overrun > 0.5)
        return 0;
    std::vector<Stroke> placed;
    for (const Piece& p : pieces) {
        const Stroke& r = run[p.stroke];
        const double sx = r.x1 + r.ux * p.begin - r.uy * w * 0.8;
        const double sy = r.y1 + r.uy * p.begin + r.ux * w * 0.8;
        DrawTextAt(text.substr(p.first, p.count), sx, sy, r.ux, r.uy, 0);
        placed.push_back(MakeStroke(
            r.x1 + r.ux * p.begin, r.y1 + r.uy * p.begin, r.x1 + r.ux * p.end, r.y1 + r.uy * p.end, w));
    }
    if (placed.empty())
        return 0;
    try {
        const uint32_t firstStroke = static_cast<uint32_t>(m_strokes.size());
        m_strokes.insert(m_strokes.end(), placed.begin(), placed.end());
        m_groups.push_back(BoxOf(firstStroke, static_cast<uint32_t>(placed.size()), w, false));
        m_groups.back().street = true;
    } catch (const std::bad_alloc&) {
        m_failed = true;
        return 0;
    }
    return 1;
}

int CZXS_View::PlacePointLabel(
    const ZXS_ScreenPoint anchors[4], int32_t name, const CZXS_StyleRecord& style, bool cross)
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
    struct Candidate {
        double left, right, y;
        bool ok;
    };
    const ZXS_ScreenPoint& l = anchors[0];
    const ZXS_ScreenPoint& r = anchors[1];
    const ZXS_ScreenPoint& top = anchors[2];
    const ZXS_ScreenPoint& bottom = anchors[3];
    Candidate c[4] = {
        { static_cast<double>(r.x), r.x + W, r.y + 1.0, true },
        { l.x - W, static_cast<double>(l.x), l.y + 1.0, true },
        { bottom.x - W, bottom.x + W, static_cast<double>(bottom.y + t), true },
        { top.x - W, top.x + W, static_cast<double>(top.y - t), true },
    };
    if (c[0].right >= imageW || r.y < 0 || r.y - t < 0 || r.y + t >= imageH)
        c[0].ok = false;
    if (c[1].left < 0 || l.y < 0 || l.y - t < 0 || l.y + t >= imageH)
        c[1].ok = false;
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
    int chosen = -1;
    for (int k = 0; k < 4 && chosen < 0; ++k) {
        if (!c[k].ok)
            continue;
        const Stroke span = MakeStroke(c[k].left, c[k].y, c[k].right, c[k].y, t);
        const std::vector<Interval> blocked = BlockedAlong(span, t, false, 0.0);
        if (blocked.empty()) {
            chosen = k;
        } else if (k >= 2) {
            const Interval best = LongestFree(span.length, blocked);
            if (best.to - best.from >= W) {
                const double middle = c[k].left + (best.from + best.to) / 2;
                c[k].left = middle - W / 2;
                c[k].right = middle + W / 2;
                chosen = k;
            }
        }
    }
    if (chosen < 0)
        return -1;
    Candidate& win = c[chosen];
    if (chosen >= 2) {
        const double middle = (win.left + win.right) / 2;
        win.left = middle - W / 2;
        win.right = middle + W / 2;
    }
    if (win.right + 2 >= imageW)
        return -1;
    const Stroke occupied = MakeStroke(win.left - 2, win.y, win.right + 2, win.y, t + 2);
    if (Occupy(occupied, false, t + 2) == 0)
        return -1;
    DrawTextAt(text, win.left, win.y + t * 0.7, 1, 0, 0);
    if (cross) {
        const ZXS_ScreenPoint a = chosen == 0 ? r : chosen == 1 ? l : chosen == 2 ? bottom : top;
        CZX_Image::Pen pen;
        pen.outerColour = m_image->Colour(CZXS_ClippedImage::kBlack);
        pen.outerWidth = 1;
        m_image->SetPen(pen);
        m_image->DrawLine({ a.x - 2, a.y, a.x + 2, a.y });
        m_image->DrawLine({ a.x, a.y - 2, a.x, a.y + 2 });
    }
    static constexpr int kAnchorUsed[4] = { 1, 0, 3, 2 };
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
    if (Occupy(MakeStroke(x - 2, label.cy, x + W + 2, label.cy, t + 2), false, t + 2) == 0)
        return 0;
    DrawTextAt(text, x, label.cy + t * 0.7, 1, 0, 0);
    return 1;
}

#include "tools/mapc/sea.h"

#include <algorithm>
#include <cmath>

namespace mapc {

namespace {

struct P {
    int64_t x = 0, y = 0;
    bool operator==(const P&) const = default;
};

// Twice the signed area, positive for an anticlockwise ring (y up).
template <class Point> double TwiceArea(const std::vector<Point>& ring)
{
    double sum = 0;
    for (size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++)
        sum += (double(ring[j].x) - double(ring[i].x)) * (double(ring[j].y) + double(ring[i].y));
    return sum;
}

bool Inside(const std::vector<P>& ring, P p)
{
    bool in = false;
    for (size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
        const P a = ring[i], b = ring[j];
        if ((a.y > p.y) != (b.y > p.y)
            && double(p.x) < double(b.x - a.x) * double(p.y - a.y) / double(b.y - a.y) + double(a.x))
            in = !in;
    }
    return in;
}

// The box's edge run clockwise (y up) from its north-west corner: north, east,
// south, west edge, so that the inside stays on the right.
class Edge {
public:
    explicit Edge(const GeoBox& b)
        : m_b(b)
        , m_w(int64_t { b.east } - b.west)
        , m_h(int64_t { b.north } - b.south)
    {
    }

    int64_t Perimeter() const { return 2 * (m_w + m_h); }
    bool Contains(P p) const
    {
        return p.x >= m_b.west && p.x <= m_b.east && p.y >= m_b.south && p.y <= m_b.north;
    }

    // The nearest point of the edge.
    P Nearest(P p) const
    {
        p.x = std::clamp<int64_t>(p.x, m_b.west, m_b.east);
        p.y = std::clamp<int64_t>(p.y, m_b.south, m_b.north);
        const int64_t to[4] = { m_b.north - p.y, m_b.east - p.x, p.y - m_b.south, p.x - m_b.west };
        switch (std::min_element(std::begin(to), std::end(to)) - std::begin(to)) {
        case 0:
            return { p.x, m_b.north };
        case 1:
            return { m_b.east, p.y };
        case 2:
            return { p.x, m_b.south };
        default:
            return { m_b.west, p.y };
        }
    }

    // How far along the edge a point of it lies.
    int64_t Along(P p) const
    {
        if (p.y == m_b.north && p.x < m_b.east)
            return p.x - m_b.west;
        if (p.x == m_b.east && p.y > m_b.south)
            return m_w + (m_b.north - p.y);
        if (p.y == m_b.south && p.x > m_b.west)
            return m_w + m_h + (m_b.east - p.x);
        return 2 * m_w + m_h + (p.y - m_b.south);
    }

    P Corner(int k) const
    {
        const P corners[4] = { { m_b.west, m_b.north }, { m_b.east, m_b.north }, { m_b.east, m_b.south },
            { m_b.west, m_b.south } };
        return corners[k];
    }
    int64_t CornerAlong(int k) const
    {
        const int64_t at[4] = { 0, m_w, m_w + m_h, 2 * m_w + m_h };
        return at[k];
    }

    // The parts of a line inside the box, each entering and leaving it on the edge.
    std::vector<std::vector<P>> Cut(const std::vector<P>& line) const
    {
        std::vector<std::vector<P>> parts;
        std::vector<P> part;
        for (size_t i = 0; i + 1 < line.size(); ++i) {
            const P a = line[i], b = line[i + 1];
            double t0 = 0, t1 = 1;
            if (!ClipSegment(a, b, t0, t1))
                continue;
            const P from = Lerp(a, b, t0), to = Lerp(a, b, t1);
            if (part.empty()) {
                if (from == to && t1 < 1)
                    continue; // touches the edge on its way out
                part.push_back(from);
            }
            if (!(part.back() == to))
                part.push_back(to);
            if (t1 < 1) {
                parts.push_back(std::move(part));
                part.clear();
            }
        }
        if (!part.empty())
            parts.push_back(std::move(part));
        return parts;
    }

private:
    // Liang-Barsky: the parameters of the part of a -> b inside the box.
    bool ClipSegment(P a, P b, double& t0, double& t1) const
    {
        const double dx = double(b.x - a.x), dy = double(b.y - a.y);
        const double p[4] = { -dx, dx, -dy, dy };
        const double q[4] = { double(a.x - m_b.west), double(m_b.east - a.x), double(a.y - m_b.south),
            double(m_b.north - a.y) };
        for (int k = 0; k < 4; ++k) {
            if (p[k] == 0) {
                if (q[k] < 0)
                    return false;
                continue;
            }
            const double r = q[k] / p[k];
            if (p[k] < 0)
                t0 = std::max(t0, r);
            else
                t1 = std::min(t1, r);
        }
        return t0 <= t1;
    }

    P Lerp(P a, P b, double t) const
    {
        if (t <= 0)
            return a;
        if (t >= 1)
            return b;
        const P p { std::llround(double(a.x) + t * double(b.x - a.x)),
            std::llround(double(a.y) + t * double(b.y - a.y)) };
        return { std::clamp<int64_t>(p.x, m_b.west, m_b.east),
            std::clamp<int64_t>(p.y, m_b.south, m_b.north) };
    }

    GeoBox m_b;
    int64_t m_w, m_h;
};

} // namespace

std::vector<std::vector<Location>> SeaRings(
    const std::vector<std::vector<Location>>& coastlines, const GeoBox& box)
{
    if (!box.Valid())
        return {};
    const Edge edge(box);
    std::vector<std::vector<P>> pieces; // open coastline inside the box, ends on the edge
    std::vector<std::vector<P>> rings; // closed coastline within the box
    for (const std::vector<Location>& coast : coastlines) {
        std::vector<P> line;
        for (const Location& l : coast) {
            if (line.empty() || !(line.back() == P { l.x, l.y }))
                line.push_back({ l.x, l.y });
        }
        if (line.size() < 2)
            continue;
        const bool closed = line.size() >= 4 && line.front() == line.back();
        const auto outside = std::find_if(line.begin(), line.end(), [&](P p) { return !edge.Contains(p); });
        if (closed && outside == line.end()) {
            line.pop_back();
            rings.push_back(std::move(line));
            continue;
        }
        if (closed) {
            // Cut from a point outside, so that every part meets the edge at both ends.
            line.pop_back();
            std::rotate(line.begin(), outside, line.end());
            line.push_back(line.front());
        }
        for (std::vector<P>& part : edge.Cut(line)) {
            // A coastline that ends inside the box is taken on to the nearest edge.
            if (const P to = edge.Nearest(part.front()); !(to == part.front()))
                part.insert(part.begin(), to);
            if (const P to = edge.Nearest(part.back()); !(to == part.back()))
                part.push_back(to);
            if (part.size() >= 2)
                pieces.push_back(std::move(part));
        }
    }

    std::vector<std::vector<P>> sea;
    // Each piece runs on along the edge, water on the right, to the next piece's start.
    std::vector<bool> used(pieces.size(), false);
    const int64_t perimeter = edge.Perimeter();
    const auto ahead
        = [&](int64_t from, int64_t to) { return ((to - from) % perimeter + perimeter) % perimeter; };
    for (size_t first = 0; first < pieces.size(); ++first) {
        if (used[first])
            continue;
        std::vector<P> ring;
        size_t piece = first;
        for (size_t guard = 0; guard <= pieces.size(); ++guard) {
            used[piece] = true;
            ring.insert(ring.end(), pieces[piece].begin(), pieces[piece].end());
            const int64_t end = edge.Along(pieces[piece].back());
            size_t next = first;
            int64_t nearest = ahead(end, edge.Along(pieces[first].front()));
            for (size_t j = 0; j < pieces.size(); ++j) {
                if (used[j])
                    continue;
                const int64_t d = ahead(end, edge.Along(pieces[j].front()));
                if (d < nearest) {
                    nearest = d;
                    next = j;
                }
            }
            // The corners passed on the way.
            std::vector<std::pair<int64_t, int>> corners;
            for (int k = 0; k < 4; ++k) {
                const int64_t d = ahead(end, edge.CornerAlong(k));
                if (d > 0 && d < nearest)
                    corners.emplace_back(d, k);
            }
            std::sort(corners.begin(), corners.end());
            for (const auto& [d, k] : corners)
                ring.push_back(edge.Corner(k));
            if (next == first)
                break;
            piece = next;
        }
        sea.push_back(std::move(ring));
    }

    // Islands are holes in the sea around them; a coast of nothing but islands
    // stands in the open sea, which fills the box.
    const bool openSea
        = pieces.empty() && std::any_of(rings.begin(), rings.end(), [&](const std::vector<P>& land) {
              return TwiceArea(land) > 0
                  && std::none_of(rings.begin(), rings.end(), [&](const std::vector<P>& water) {
                         return TwiceArea(water) < 0 && Inside(water, land.front());
                     });
          });
    if (openSea)
        sea.push_back({ edge.Corner(0), edge.Corner(1), edge.Corner(2), edge.Corner(3) });
    sea.insert(sea.end(), rings.begin(), rings.end());

    std::vector<std::vector<Location>> out;
    for (const std::vector<P>& r : sea) {
        std::vector<Location> ring;
        for (const P& p : r) {
            const Location l { static_cast<int32_t>(p.x), static_cast<int32_t>(p.y) };
            if (ring.empty() || ring.back().x != l.x || ring.back().y != l.y)
                ring.push_back(l);
        }
        while (ring.size() > 1 && ring.back().x == ring.front().x && ring.back().y == ring.front().y)
            ring.pop_back();
        if (ring.size() >= 3)
            out.push_back(std::move(ring));
    }
    return out;
}

std::vector<ZXS_Point> ClipRing(const std::vector<ZXS_Point>& ring, const ZXS_Rect& rect)
{
    // Sutherland-Hodgman, one side of the rectangle after the other.
    std::vector<ZXS_Point> in = ring, out;
    for (int side = 0; side < 4 && in.size() >= 3; ++side) {
        const auto inside = [&](ZXS_Point p) {
            switch (side) {
            case 0:
                return p.x >= rect.left;
            case 1:
                return p.x <= rect.right;
            case 2:
                return p.y >= rect.top;
            default:
                return p.y <= rect.bottom;
            }
        };
        const auto cross = [&](ZXS_Point a, ZXS_Point b) {
            const bool vertical = side < 2;
            const double at = side == 0 ? rect.left
                : side == 1             ? rect.right
                : side == 2             ? rect.top
                                        : rect.bottom;
            const double t = vertical ? (at - a.x) / double(b.x - a.x) : (at - a.y) / double(b.y - a.y);
            ZXS_Point p;
            if (vertical) {
                p.x = static_cast<int32_t>(at);
                p.y = static_cast<int32_t>(std::lround(a.y + t * double(b.y - a.y)));
            } else {
                p.y = static_cast<int32_t>(at);
                p.x = static_cast<int32_t>(std::lround(a.x + t * double(b.x - a.x)));
            }
            return p;
        };
        out.clear();
        for (size_t i = 0; i < in.size(); ++i) {
            const ZXS_Point a = in[(i + in.size() - 1) % in.size()], b = in[i];
            if (inside(b)) {
                if (!inside(a))
                    out.push_back(cross(a, b));
                out.push_back(b);
            } else if (inside(a)) {
                out.push_back(cross(a, b));
            }
        }
        in.clear();
        for (const ZXS_Point& p : out) {
            if (in.empty() || !(in.back() == p))
                in.push_back(p);
        }
        while (in.size() > 1 && in.back() == in.front())
            in.pop_back();
    }
    if (in.size() < 3 || TwiceArea(in) == 0)
        return {};
    return in;
}

} // namespace mapc

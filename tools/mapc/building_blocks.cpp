#include "tools/mapc/building_blocks.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <span>
#include <utility>

#include "tools/mapc/lines.h"
#include "tools/mapc/objects.h"

namespace mapc {

namespace {

// The renderer fills at most 2048 parts of one object; a block keeps its
// largest courtyards within half of that.
constexpr size_t kMaxRings = 1024;
// The grid (map units) that finds a building's neighbours.
constexpr int64_t kBucket = 64;

struct Box { // map units, inclusive
    int64_t left = INT64_MAX, top = INT64_MAX, right = INT64_MIN, bottom = INT64_MIN;

    void Add(const ZXS_Point& p)
    {
        left = std::min<int64_t>(left, p.x);
        right = std::max<int64_t>(right, p.x);
        top = std::min<int64_t>(top, p.y);
        bottom = std::max<int64_t>(bottom, p.y);
    }
    bool Valid() const { return left <= right; }
    Box Grown(int64_t by) const { return { left - by, top - by, right + by, bottom + by }; }
    bool Meets(const Box& b) const
    {
        return left <= b.right && b.left <= right && top <= b.bottom && b.top <= bottom;
    }
};

struct CellRect { // cells, inclusive
    int64_t left, top, right, bottom;
};

int64_t FloorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

class UnionFind {
public:
    explicit UnionFind(size_t n)
        : m_parent(n)
    {
        std::iota(m_parent.begin(), m_parent.end(), 0u);
    }

    uint32_t Find(uint32_t a)
    {
        while (m_parent[a] != a) {
            m_parent[a] = m_parent[m_parent[a]];
            a = m_parent[a];
        }
        return a;
    }

    // The smaller index stays the root, so the groups do not depend on the
    // order the pairs are found in.
    void Unite(uint32_t a, uint32_t b)
    {
        a = Find(a);
        b = Find(b);
        if (a != b)
            m_parent[std::max(a, b)] = std::min(a, b);
    }

private:
    std::vector<uint32_t> m_parent;
};

// Buildings whose boxes, grown by `grow`, meet, in groups: group g is
// members[starts[g]] up to members[starts[g + 1]], in index order, the groups
// in the order of their first building.
struct GroupList {
    std::vector<uint32_t> members;
    std::vector<uint32_t> starts;
};

GroupList Groups(const std::vector<Box>& boxes, int64_t grow)
{
    UnionFind sets(boxes.size());
    // Every building under each grid square its grown box covers; the
    // buildings of a square are compared pairwise.
    std::vector<std::pair<uint64_t, uint32_t>> squares;
    for (uint32_t b = 0; b < boxes.size(); ++b) {
        if (!boxes[b].Valid())
            continue;
        const Box grown = boxes[b].Grown(grow);
        for (int64_t by = FloorDiv(grown.top, kBucket); by <= FloorDiv(grown.bottom, kBucket); ++by) {
            for (int64_t bx = FloorDiv(grown.left, kBucket); bx <= FloorDiv(grown.right, kBucket); ++bx)
                squares.emplace_back(
                    (static_cast<uint64_t>(static_cast<uint32_t>(bx)) << 32) | static_cast<uint32_t>(by), b);
        }
    }
    std::sort(squares.begin(), squares.end());
    for (size_t first = 0; first < squares.size();) {
        size_t end = first + 1;
        while (end < squares.size() && squares[end].first == squares[first].first)
            ++end;
        for (size_t i = first; i < end; ++i) {
            const Box grown = boxes[squares[i].second].Grown(grow);
            for (size_t j = first; j < i; ++j) {
                if (boxes[squares[j].second].Grown(grow).Meets(grown))
                    sets.Unite(squares[i].second, squares[j].second);
            }
        }
        first = end;
    }
    squares = {};
    std::vector<uint32_t> groupOf(boxes.size(), UINT32_MAX);
    GroupList groups;
    groups.starts.push_back(0);
    for (uint32_t b = 0; b < boxes.size(); ++b) {
        if (!boxes[b].Valid())
            continue;
        uint32_t& g = groupOf[sets.Find(b)];
        if (g == UINT32_MAX) {
            g = static_cast<uint32_t>(groups.starts.size() - 1);
            groups.starts.push_back(0);
        }
        ++groups.starts[g + 1];
        groupOf[b] = g;
    }
    for (size_t g = 1; g < groups.starts.size(); ++g)
        groups.starts[g] += groups.starts[g - 1];
    groups.members.resize(groups.starts.back());
    std::vector<uint32_t> filled(groups.starts.begin(), groups.starts.end() - 1);
    for (uint32_t b = 0; b < boxes.size(); ++b) {
        if (boxes[b].Valid())
            groups.members[filled[groupOf[b]]++] = b;
    }
    return groups;
}

// A binary raster of cells of the global lattice, cell (x, y) of the raster
// being lattice cell (originX + x, originY + y).
class Raster {
public:
    Raster(int64_t originX, int64_t originY, int width, int height, double cell)
        : m_originX(originX)
        , m_originY(originY)
        , m_width(width)
        , m_height(height)
        , m_cell(cell)
        , m_cells(static_cast<size_t>(width) * static_cast<size_t>(height), 0)
    {
    }

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    std::vector<uint8_t>& Cells() { return m_cells; }
    bool At(int x, int y) const
    {
        return x >= 0 && y >= 0 && x < m_width && y < m_height
            && m_cells[static_cast<size_t>(y) * static_cast<size_t>(m_width) + static_cast<size_t>(x)] != 0;
    }

    // Sets the cells whose centres lie inside the rings by the even-odd rule.
    void Fill(const Ring* const* first, const Ring* const* end)
    {
        m_crossings.clear();
        for (const Ring* const* r = first; r != end; ++r) {
            const Ring& ring = **r;
            for (size_t k = 0; k < ring.size(); ++k) {
                const ZXS_Point& p = ring[k];
                const ZXS_Point& q = ring[(k + 1) % ring.size()];
                if (p.y == q.y)
                    continue;
                // The rows whose centres lie in [low, high): a vertex counts
                // for one of the two edges that meet there.
                const double low = std::min(p.y, q.y), high = std::max(p.y, q.y);
                const int64_t first = std::max<int64_t>(Lattice(low) - m_originY, 0);
                const int64_t end = std::min<int64_t>(Lattice(high) - m_originY, m_height);
                for (int64_t y = first; y < end; ++y) {
                    const double centre = (static_cast<double>(m_originY + y) + 0.5) * m_cell;
                    const double x = p.x + (centre - p.y) * (double(q.x) - p.x) / (double(q.y) - p.y);
                    m_crossings.emplace_back(static_cast<int>(y), x);
                }
            }
        }
        std::sort(m_crossings.begin(), m_crossings.end());
        for (size_t k = 0; k + 1 < m_crossings.size();) {
            if (m_crossings[k].first != m_crossings[k + 1].first) {
                ++k; // an odd count in a row: not a closed outline there
                continue;
            }
            const size_t row = static_cast<size_t>(m_crossings[k].first) * static_cast<size_t>(m_width);
            const int64_t from = std::max<int64_t>(Lattice(m_crossings[k].second) - m_originX, 0);
            const int64_t to = std::min<int64_t>(Lattice(m_crossings[k + 1].second) - m_originX, m_width);
            for (int64_t x = from; x < to; ++x)
                m_cells[row + static_cast<size_t>(x)] = 1;
            k += 2;
        }
    }

    // Closes gaps narrower than the disc of `radius` cells: grown by it and shrunk back.
    void Close(double radius)
    {
        const int reach = static_cast<int>(std::floor(radius + 0.5));
        std::vector<int> halfWidths;
        for (int dy = -reach; dy <= reach; ++dy)
            halfWidths.push_back(
                static_cast<int>(std::floor(std::sqrt((radius + 0.5) * (radius + 0.5) - dy * dy))));
        Dilate(halfWidths);
        Invert();
        Dilate(halfWidths);
        Invert();
    }

    // The lattice index of the cell whose centre comes first at or after `at`.
    int64_t Lattice(double at) const { return static_cast<int64_t>(std::ceil(at / m_cell - 0.5)); }

private:
    void Invert()
    {
        for (uint8_t& c : m_cells)
            c ^= 1;
    }

    // Every cell within the shape (a row of half widths, one per row offset
    // from the middle) of a set cell is set.
    void Dilate(const std::vector<int>& halfWidths)
    {
        const size_t w = static_cast<size_t>(m_width);
        const int reach = static_cast<int>(halfWidths.size() / 2);
        // Each row grown sideways by each half width it is needed with.
        std::vector<int> widths = halfWidths;
        std::sort(widths.begin(), widths.end());
        widths.erase(std::unique(widths.begin(), widths.end()), widths.end());
        std::vector<std::vector<uint8_t>> sideways(widths.size(), std::vector<uint8_t>(m_cells.size()));
        for (size_t k = 0; k < widths.size(); ++k) {
            const int half = widths[k];
            for (int y = 0; y < m_height; ++y) {
                const uint8_t* in = &m_cells[static_cast<size_t>(y) * w];
                uint8_t* out = &sideways[k][static_cast<size_t>(y) * w];
                int count = 0; // set cells in [x - half, x + half]
                for (int x = 0; x < std::min(half, m_width); ++x)
                    count += in[x];
                for (int x = 0; x < m_width; ++x) {
                    if (x + half < m_width)
                        count += in[x + half];
                    if (x - half - 1 >= 0)
                        count -= in[x - half - 1];
                    out[x] = count > 0;
                }
            }
        }
        std::vector<uint8_t> grown(m_cells.size(), 0);
        for (int y = 0; y < m_height; ++y) {
            uint8_t* out = &grown[static_cast<size_t>(y) * w];
            for (int dy = -reach; dy <= reach; ++dy) {
                const int from = y + dy;
                if (from < 0 || from >= m_height)
                    continue;
                const size_t k = static_cast<size_t>(std::lower_bound(widths.begin(), widths.end(),
                                                         halfWidths[static_cast<size_t>(dy + reach)])
                    - widths.begin());
                const uint8_t* in = &sideways[k][static_cast<size_t>(from) * w];
                for (size_t x = 0; x < w; ++x)
                    out[x] |= in[x];
            }
        }
        m_cells = std::move(grown);
    }

    int64_t m_originX, m_originY;
    int m_width, m_height;
    double m_cell;
    std::vector<uint8_t> m_cells;
    std::vector<std::pair<int, double>> m_crossings;
};

// 4-connected components of the set cells, numbered from 1 in scan order;
// those not kept by `keep` (given the component's cell box) cleared to 0.
template <typename Keep> std::vector<int32_t> Components(const Raster& raster, Keep keep)
{
    const int w = raster.Width(), h = raster.Height();
    std::vector<int32_t> label(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
    std::vector<uint8_t> kept { 0 };
    std::vector<std::pair<int, int>> stack;
    auto index = [w](int x, int y) {
        return static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x);
    };
    int32_t next = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (!raster.At(x, y) || label[index(x, y)] != 0)
                continue;
            ++next;
            CellRect box { x, y, x, y };
            label[index(x, y)] = next;
            stack.emplace_back(x, y);
            while (!stack.empty()) {
                const auto [cx, cy] = stack.back();
                stack.pop_back();
                box = { std::min<int64_t>(box.left, cx), std::min<int64_t>(box.top, cy),
                    std::max<int64_t>(box.right, cx), std::max<int64_t>(box.bottom, cy) };
                for (const auto& [nx, ny] : { std::pair { cx + 1, cy }, std::pair { cx - 1, cy },
                         std::pair { cx, cy + 1 }, std::pair { cx, cy - 1 } }) {
                    if (raster.At(nx, ny) && label[index(nx, ny)] == 0) {
                        label[index(nx, ny)] = next;
                        stack.emplace_back(nx, ny);
                    }
                }
            }
            kept.push_back(keep(box) ? 1 : 0);
        }
    }
    for (int32_t& l : label) {
        if (!kept[static_cast<size_t>(l)])
            l = 0;
    }
    return label;
}

// The outlines of the labelled cells, each with its component: through the
// middles of the cells' edges between set and clear cells, which cuts the
// raster's steps in half, with the set cells on the left (so outer rings run
// anticlockwise with y up and courtyards clockwise). Where two cells of a
// component touch only at a corner the outline turns to keep them apart, so
// that no outline crosses itself or another.
using HalfCells = std::vector<std::pair<int32_t, int32_t>>; // in half cells from the raster's corner

struct Outline {
    int32_t component;
    HalfCells points;
};

std::vector<Outline> Outlines(const std::vector<int32_t>& label, int w, int h)
{
    auto set = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < w && y < h
            && label[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)] != 0;
    };
    constexpr int kDx[] = { 1, 0, -1, 0 }; // east, north, west, south
    constexpr int kDy[] = { 0, 1, 0, -1 };
    // The edge leaving vertex (x, y) that way, with its set cell on the left.
    auto leaves = [&](int x, int y, int d) {
        switch (d) {
        case 0:
            return set(x, y) && !set(x, y - 1);
        case 1:
            return set(x - 1, y) && !set(x, y);
        case 2:
            return set(x - 1, y - 1) && !set(x - 1, y);
        default:
            return set(x, y - 1) && !set(x - 1, y - 1);
        }
    };
    auto leftCell = [&](int x, int y, int d) {
        const int cx = d == 0 || d == 3 ? x : x - 1;
        const int cy = d == 0 || d == 1 ? y : y - 1;
        return label[static_cast<size_t>(cy) * static_cast<size_t>(w) + static_cast<size_t>(cx)];
    };
    const size_t vw = static_cast<size_t>(w) + 1;
    std::vector<uint8_t> walked(vw * (static_cast<size_t>(h) + 1), 0);
    std::vector<Outline> outlines;
    // Each set cell's sides that border a clear cell, as (vertex, way) with the cell on the left.
    constexpr int kSideX[] = { 0, 1, 1, 0 };
    constexpr int kSideY[] = { 0, 0, 1, 1 };
    for (int cy = 0; cy < h; ++cy) {
        for (int cx = 0; cx < w; ++cx) {
            if (!set(cx, cy))
                continue;
            for (int d = 0; d < 4; ++d) {
                const int vx = cx + kSideX[d], vy = cy + kSideY[d];
                if ((walked[static_cast<size_t>(vy) * vw + static_cast<size_t>(vx)] & (1 << d)) != 0
                    || !leaves(vx, vy, d))
                    continue;
                Outline o { leftCell(vx, vy, d), {} };
                int x = vx, y = vy, dir = d;
                do {
                    walked[static_cast<size_t>(y) * vw + static_cast<size_t>(x)]
                        |= static_cast<uint8_t>(1 << dir);
                    o.points.emplace_back(2 * x + kDx[dir], 2 * y + kDy[dir]);
                    x += kDx[dir];
                    y += kDy[dir];
                    // Left first: a corner shared with another cell is kept apart.
                    int next = -1;
                    for (int turn : { 1, 0, 3 }) {
                        if (leaves(x, y, (dir + turn) % 4)) {
                            next = (dir + turn) % 4;
                            break;
                        }
                    }
                    if (next < 0)
                        break; // cannot happen for the edges of a set of cells
                    dir = next;
                } while (x != vx || y != vy || dir != d);
                if (o.points.size() >= 4)
                    outlines.push_back(std::move(o));
            }
        }
    }
    return outlines;
}

// Twice the signed area of a ring.
int64_t DoubleArea(const HalfCells& ring)
{
    int64_t sum = 0;
    for (size_t k = 0; k < ring.size(); ++k) {
        const auto& [ax, ay] = ring[k];
        const auto& [bx, by] = ring[(k + 1) % ring.size()];
        sum += int64_t { ax } * by - int64_t { bx } * ay;
    }
    return sum;
}

int64_t Extent(const HalfCells& ring)
{
    int32_t left = INT32_MAX, top = INT32_MAX, right = INT32_MIN, bottom = INT32_MIN;
    for (const auto& [x, y] : ring) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    return int64_t { right } - left + (int64_t { bottom } - top);
}

class BlockMaker {
public:
    BlockMaker(const Footprints& buildings, const BlockOptions& options, const BlockSink& sink)
        : m_buildings(buildings)
        , m_options(options)
        , m_radius(options.closing / options.cell)
        , m_margin(2 * static_cast<int>(std::floor(m_radius + 0.5)) + 2)
        , m_sink(sink)
    {
        m_boxes.resize(buildings.Count());
        for (size_t b = 0; b < buildings.Count(); ++b) {
            for (uint32_t r = buildings.starts[b]; r < buildings.starts[b + 1]; ++r) {
                if (buildings.rings[r]->size() >= 3) {
                    for (const ZXS_Point& p : *buildings.rings[r])
                        m_boxes[b].Add(p);
                }
            }
        }
    }

    void Run()
    {
        const auto grow = static_cast<int64_t>(std::ceil(m_options.closing + m_options.cell));
        const GroupList groups = Groups(m_boxes, grow);
        for (size_t g = 0; g + 1 < groups.starts.size(); ++g) {
            const std::span<const uint32_t> group(
                groups.members.data() + groups.starts[g], groups.starts[g + 1] - groups.starts[g]);
            CellRect cells { INT64_MAX, INT64_MAX, INT64_MIN, INT64_MIN };
            for (uint32_t b : group) {
                const CellRect c = CellsOf(m_boxes[b]);
                cells = { std::min(cells.left, c.left), std::min(cells.top, c.top),
                    std::max(cells.right, c.right), std::max(cells.bottom, c.bottom) };
            }
            // A building alone is drawn by its own layer, and a group smaller
            // than a block that is kept needs no raster: the closing never
            // reaches beyond the group's box.
            if (group.size() == 1
                || static_cast<double>(cells.right - cells.left + cells.bottom - cells.top + 4)
                        * m_options.cell
                    <= static_cast<double>(m_options.minExtent))
                continue;
            // A large group is cut into tiles so that no raster grows without bound.
            const int64_t tile = m_options.tileCells;
            for (int64_t top = cells.top; top <= cells.bottom; top += tile) {
                for (int64_t left = cells.left; left <= cells.right; left += tile)
                    Tile(group,
                        { left, top, std::min(left + tile - 1, cells.right),
                            std::min(top + tile - 1, cells.bottom) });
            }
        }
    }

private:
    CellRect CellsOf(const Box& b) const
    {
        return { static_cast<int64_t>(std::floor(b.left / m_options.cell)),
            static_cast<int64_t>(std::floor(b.top / m_options.cell)),
            static_cast<int64_t>(std::floor(b.right / m_options.cell)),
            static_cast<int64_t>(std::floor(b.bottom / m_options.cell)) };
    }

    // The blocks of the group's buildings within a core of cells; the margin
    // around it lets the closing see the buildings beyond its edges.
    void Tile(std::span<const uint32_t> group, const CellRect& core)
    {
        const int64_t originX = core.left - m_margin, originY = core.top - m_margin;
        const int width = static_cast<int>(core.right - core.left + 1) + 2 * m_margin;
        const int height = static_cast<int>(core.bottom - core.top + 1) + 2 * m_margin;
        const CellRect all { originX, originY, originX + width - 1, originY + height - 1 };
        Raster raster(originX, originY, width, height, m_options.cell);
        for (uint32_t b : group) {
            const CellRect c = CellsOf(m_boxes[b]);
            if (c.left <= all.right && all.left <= c.right && c.top <= all.bottom && all.top <= c.bottom)
                raster.Fill(m_buildings.rings.data() + m_buildings.starts[b],
                    m_buildings.rings.data() + m_buildings.starts[b + 1]);
        }
        raster.Close(m_radius);
        // Only the core is this tile's: its neighbours draw the margin.
        std::vector<uint8_t>& grid = raster.Cells();
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (x < m_margin || y < m_margin || x >= width - m_margin || y >= height - m_margin)
                    grid[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] = 0;
            }
        }
        const double cell = m_options.cell;
        const std::vector<int32_t> label = Components(raster, [&](const CellRect& box) {
            return static_cast<double>(box.right - box.left + 1 + box.bottom - box.top + 1) * cell
                > static_cast<double>(m_options.minExtent);
        });
        std::vector<Outline> outlines = Outlines(label, width, height);

        // Per component: its outer ring, then its courtyards large enough to see.
        std::vector<std::pair<int32_t, size_t>> order; // component, outline
        for (size_t k = 0; k < outlines.size(); ++k) {
            const bool outer = DoubleArea(outlines[k].points) > 0;
            if (!outer
                && static_cast<double>(Extent(outlines[k].points)) * cell / 2
                    < static_cast<double>(m_options.minHoleExtent))
                continue;
            order.emplace_back(outlines[k].component * 2 + (outer ? 0 : 1), k);
        }
        std::stable_sort(
            order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<Ring> block;
        int32_t current = -1;
        auto flush = [&]() {
            if (!block.empty())
                Emit(std::move(block));
            block.clear();
        };
        for (const auto& [key, k] : order) {
            if (key / 2 != current) {
                flush();
                current = key / 2;
                if (key % 2 != 0)
                    continue; // courtyards of an outline that did not survive
            } else if (block.empty()) {
                continue;
            }
            Ring ring = Simplified(Points(outlines[k].points, originX, originY));
            if (ring.size() >= 3)
                block.push_back(std::move(ring));
        }
        flush();
    }

    // An outline in map units.
    Ring Points(const HalfCells& outline, int64_t originX, int64_t originY) const
    {
        const double half = m_options.cell / 2;
        Ring points;
        points.reserve(outline.size() + 1);
        for (const auto& [x, y] : outline) {
            const ZXS_Point p { static_cast<int32_t>(
                                    std::llround(static_cast<double>(2 * originX + x) * half)),
                static_cast<int32_t>(std::llround(static_cast<double>(2 * originY + y) * half)) };
            if (points.empty() || !(points.back() == p))
                points.push_back(p);
        }
        if (points.size() > 1 && points.back() == points.front())
            points.pop_back();
        points.push_back(points.front());
        return points;
    }

    // A ring (its first point repeated at its end) with fewer points and
    // without the repeat; a ring that would not fit a record is simplified further.
    Ring Simplified(const Ring& points) const
    {
        for (double tolerance = m_options.tolerance;; tolerance *= 2) {
            Ring ring;
            for (size_t i : Simplify(points, tolerance))
                ring.push_back(points[i]);
            ring.pop_back(); // the closing repeat
            if (ring.size() <= kMaxShapePoints)
                return ring;
        }
    }

    void Emit(std::vector<Ring> block)
    {
        if (block.size() > kMaxRings) {
            // The largest courtyards stay.
            std::stable_sort(block.begin() + 1, block.end(), [](const Ring& a, const Ring& b) {
                Box ba, bb;
                for (const ZXS_Point& p : a)
                    ba.Add(p);
                for (const ZXS_Point& p : b)
                    bb.Add(p);
                return ba.right - ba.left + ba.bottom - ba.top > bb.right - bb.left + bb.bottom - bb.top;
            });
            block.resize(kMaxRings);
        }
        m_sink(std::move(block));
    }

    const Footprints& m_buildings;
    const BlockOptions& m_options;
    double m_radius; // the closing distance in cells
    int m_margin; // cells
    std::vector<Box> m_boxes;
    const BlockSink& m_sink;
};

} // namespace

void BuildingBlocks(const Footprints& buildings, const BlockSink& sink, const BlockOptions& options)
{
    BlockMaker(buildings, options, sink).Run();
}

std::vector<std::vector<Ring>> BuildingBlocks(
    const std::vector<std::vector<Ring>>& buildings, const BlockOptions& options)
{
    Footprints footprints;
    for (const std::vector<Ring>& rings : buildings) {
        for (const Ring& ring : rings)
            footprints.rings.push_back(&ring);
        footprints.EndBuilding();
    }
    std::vector<std::vector<Ring>> blocks;
    BuildingBlocks(
        footprints, [&](std::vector<Ring>&& block) { blocks.push_back(std::move(block)); }, options);
    return blocks;
}

} // namespace mapc

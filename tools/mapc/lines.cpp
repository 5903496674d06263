#include "tools/mapc/lines.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace mapc {

std::vector<std::vector<int64_t>> JoinLines(const std::vector<std::vector<int64_t>>& ways, bool turn)
{
    std::unordered_multimap<int64_t, size_t> starts, ends;
    for (size_t i = 0; i < ways.size(); ++i) {
        if (ways[i].size() < 2)
            continue;
        starts.emplace(ways[i].front(), i);
        ends.emplace(ways[i].back(), i);
    }
    std::vector<bool> used(ways.size(), false);
    // An unused way with an end at the node in the table, taken.
    const auto take = [&](const std::unordered_multimap<int64_t, size_t>& table, int64_t node) -> int64_t {
        const auto [first, last] = table.equal_range(node);
        for (auto it = first; it != last; ++it) {
            if (!used[it->second]) {
                used[it->second] = true;
                return static_cast<int64_t>(it->second);
            }
        }
        return -1;
    };
    // Ways added at the line's end while it stays open: those that `meet` it
    // there, or with `turn` those that meet it the other way round; a way that
    // meets it backwards is turned.
    const auto grow = [&](std::vector<int64_t>& line, const std::unordered_multimap<int64_t, size_t>& meet,
                          const std::unordered_multimap<int64_t, size_t>& turnMeet, bool backwards) {
        while (line.front() != line.back()) {
            int64_t next = take(meet, line.back());
            bool reversed = backwards;
            if (next < 0 && turn) {
                next = take(turnMeet, line.back());
                reversed = !backwards;
            }
            if (next < 0)
                return;
            const std::vector<int64_t>& way = ways[static_cast<size_t>(next)];
            if (reversed)
                line.insert(line.end(), way.rbegin() + 1, way.rend());
            else
                line.insert(line.end(), way.begin() + 1, way.end());
        }
    };
    std::vector<std::vector<int64_t>> lines;
    for (size_t i = 0; i < ways.size(); ++i) {
        if (used[i] || ways[i].size() < 2)
            continue;
        used[i] = true;
        std::vector<int64_t> line = ways[i];
        // Onwards from the end, then (turned round) onwards from the start.
        grow(line, starts, ends, false);
        std::reverse(line.begin(), line.end());
        grow(line, ends, starts, true);
        std::reverse(line.begin(), line.end());
        lines.push_back(std::move(line));
    }
    return lines;
}

std::vector<size_t> Simplify(const std::vector<ZXS_Point>& points, double tolerance)
{
    if (points.size() <= 2) {
        std::vector<size_t> all(points.size());
        for (size_t i = 0; i < all.size(); ++i)
            all[i] = i;
        return all;
    }
    // Douglas-Peucker: a point stays when it lies farther than the tolerance
    // from the chord of the stretch it belongs to.
    std::vector<bool> keep(points.size(), false);
    keep.front() = keep.back() = true;
    std::vector<std::pair<size_t, size_t>> stretches { { 0, points.size() - 1 } };
    while (!stretches.empty()) {
        const auto [a, b] = stretches.back();
        stretches.pop_back();
        const double ax = points[a].x, ay = points[a].y;
        const double dx = points[b].x - ax, dy = points[b].y - ay;
        const double chord = std::hypot(dx, dy);
        double farthest = -1;
        size_t at = a;
        for (size_t i = a + 1; i < b; ++i) {
            const double px = points[i].x - ax, py = points[i].y - ay;
            // From the chord, or from its start when the stretch comes back to it.
            const double d = chord > 0 ? std::fabs(px * dy - py * dx) / chord : std::hypot(px, py);
            if (d > farthest) {
                farthest = d;
                at = i;
            }
        }
        if (farthest > tolerance) {
            keep[at] = true;
            stretches.emplace_back(a, at);
            stretches.emplace_back(at, b);
        }
    }
    std::vector<size_t> kept;
    for (size_t i = 0; i < points.size(); ++i) {
        if (keep[i])
            kept.push_back(i);
    }
    return kept;
}

} // namespace mapc

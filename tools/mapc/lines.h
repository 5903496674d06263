#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "kernel/doc/point_coding.h"

// Lines made of several ways, and lines with fewer points.
namespace mapc {

// Lines of node ids joined end to start where one ends at the node where
// another starts (with `turn`, also where two ends or two starts meet: a line
// is then turned round). Each way is used once; a closed ring comes out with
// its first node repeated at its end. Ways of fewer than two nodes are left out.
std::vector<std::vector<int64_t>> JoinLines(const std::vector<std::vector<int64_t>>& ways, bool turn);

// The indexes of the points a line keeps when no point may stray farther than
// the tolerance (map units) from the simplified line: the ends always.
std::vector<size_t> Simplify(const std::vector<ZXS_Point>& points, double tolerance);

} // namespace mapc

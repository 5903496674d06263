#include "tools/mapc/localities.h"

#include <algorithm>
#include <limits>

#include "tools/mapc/objects.h"

namespace mapc {

namespace {

double Distance2(ZXS_Point a, ZXS_Point b)
{
    const double dx = double(a.x) - b.x, dy = double(a.y) - b.y;
    return dx * dx + dy * dy;
}

} // namespace

int PlaceLevel(std::string_view place)
{
    if (OneOf(place, { "city", "town" }))
        return 0;
    if (OneOf(place, { "village", "hamlet", "isolated_dwelling" }))
        return 1;
    if (OneOf(place, { "suburb", "quarter", "neighbourhood", "borough", "city_block", "locality" }))
        return 2;
    return -1;
}

int32_t Nearest(const std::vector<Locality>& places, ZXS_Point at, std::initializer_list<int> levels)
{
    int32_t best = -1;
    double bestDistance = std::numeric_limits<double>::max();
    for (const Locality& l : places) {
        if (std::find(levels.begin(), levels.end(), l.level) == levels.end())
            continue;
        const double d = Distance2(l.at, at);
        if (d < bestDistance) {
            bestDistance = d;
            best = l.name;
        }
    }
    return best;
}

} // namespace mapc

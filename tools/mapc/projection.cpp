#include "tools/mapc/projection.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace mapc {

namespace {

constexpr double kEarthRadius = 6371000.0;
constexpr double kMargin = 1000.0;

} // namespace

GeoBox DataBox(const OsmData& data)
{
    GeoBox box { INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN };
    auto widen = [&](const Location& l) {
        box.west = std::min(box.west, l.x);
        box.east = std::max(box.east, l.x);
        box.south = std::min(box.south, l.y);
        box.north = std::max(box.north, l.y);
    };
    for (const OsmWay& w : data.ways) {
        for (int64_t id : w.nodes)
            widen(data.locations.at(id));
    }
    for (const OsmPoint& p : data.points)
        widen(p.location);
    for (const OsmArea& a : data.areas) {
        for (const auto& ring : a.rings) {
            for (int64_t id : ring)
                widen(data.locations.at(id));
        }
    }
    return box;
}

std::vector<double> ProjectionFor(const OsmData& data)
{
    const GeoBox box = DataBox(data);
    if (box.west > box.east)
        throw CompileError("the input holds no tagged node or way");
    const Location southWest { box.west, box.south }, northEast { box.east, box.north };
    const double west = southWest.LongitudeRadians(), south = southWest.LatitudeRadians();
    const double north = northEast.LatitudeRadians();
    const double scaleX = kEarthRadius * std::cos((south + north) / 2);
    // x = c0 + c1 lon, y = c6 + c8 lat: east to the right, north up.
    return { kMargin - scaleX * west, scaleX, 0, 0, 0, 0, kMargin + kEarthRadius * north, 0, -kEarthRadius, 0,
        0, 0 };
}

Projector::Projector(const std::vector<double>& coefficients)
{
    std::vector<uint8_t> bytes;
    for (double c : coefficients) {
        uint64_t bits = 0;
        std::memcpy(&bits, &c, sizeof bits);
        for (int i = 0; i < 8; ++i)
            bytes.push_back(static_cast<uint8_t>(bits >> (8 * i)));
    }
    m_transform.LoadCoefficients(bytes.data(), static_cast<uint32_t>(bytes.size()));
}

ZXS_Point Projector::operator()(const Location& at) const
{
    ZXS_Point p;
    if (!GeoToMap(&m_transform, at.LongitudeRadians(), at.LatitudeRadians(), p.x, p.y) || p.x < 0 || p.y < 0
        || p.x > 0xFFFFFF || p.y > 0xFFFFFF)
        throw CompileError("a position lies outside the map's coordinate range");
    return p;
}

} // namespace mapc

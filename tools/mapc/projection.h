#pragma once

#include <vector>

#include "kernel/doc/point_coding.h"
#include "kernel/doc/polynomial_transform.h"
#include "tools/mapc/osm_data.h"

// Where OpenStreetMap positions land on the map.
namespace mapc {

// The box of every position the data's ways, points and areas use; west
// greater than east when there is none.
GeoBox DataBox(const OsmData& data);

// The twelve coefficients that place the data's box on the map: one map unit
// per metre, north up, the box's west and north edges 1 km inside the map.
// Throws CompileError when the data holds no position at all.
std::vector<double> ProjectionFor(const OsmData& data);

// A position to map units through the map's own transform, so that the
// kernel finds every point where the compiler put it.
class Projector {
public:
    explicit Projector(const std::vector<double>& coefficients);

    // Throws CompileError for a position outside the map's coordinate range.
    ZXS_Point operator()(const Location& at) const;

private:
    CZXS_PolynomialTransform m_transform;
};

} // namespace mapc

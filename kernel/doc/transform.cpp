#include "kernel/doc/transform.h"

#include <cmath>
#include <cstring>

namespace {

int Fail(ZXS_Point3* result)
{
    if (result != nullptr)
        *result = ZXS_Point3 {};
    return 0;
}

bool ToMapUnit(double value, int32_t& out)
{
    const double rounded = std::round(value);
    if (!(rounded >= INT32_MIN && rounded <= INT32_MAX)) // also refuses NaN
        return false;
    out = static_cast<int32_t>(rounded);
    return true;
}

} // namespace

int CZXS_Transform::Forward(const ZXS_Point3* point, ZXS_Point3* result) const
{
    if (m_coefficients == nullptr || point == nullptr)
        return Fail(result);
    return 1;
}

int CZXS_Transform::Reverse(const ZXS_Point3* point, ZXS_Point3* result) const
{
    if (m_coefficients == nullptr || point == nullptr)
        return Fail(result);
    return 1;
}

void CZXS_Transform::SetCoefficients(const uint8_t* bytes, int16_t count)
{
    m_count = count;
    double* target = m_inline.data();
    if (count > 31) {
        m_heap.assign(static_cast<size_t>(count), 0.0);
        target = m_heap.data();
    }
    for (int16_t i = 0; i < count; ++i) {
        uint64_t bits = 0;
        for (int b = 7; b >= 0; --b)
            bits = (bits << 8) | bytes[i * 8 + b];
        std::memcpy(&target[i], &bits, sizeof bits);
    }
    m_coefficients = target;
}

int GeoToMap(const CZXS_Transform* transform, double longitude, double latitude, int32_t& x, int32_t& y)
{
    if (transform == nullptr)
        return 0;
    const ZXS_Point3 geo { longitude, latitude, 0 };
    ZXS_Point3 map;
    int32_t mx = 0, my = 0;
    if (transform->Forward(&geo, &map) == 0 || !ToMapUnit(map.x, mx) || !ToMapUnit(map.y, my))
        return 0;
    x = mx;
    y = my;
    return 1;
}

int MapToGeo(const CZXS_Transform* transform, int32_t x, int32_t y, double& longitude, double& latitude)
{
    if (transform == nullptr)
        return 0;
    const ZXS_Point3 map { static_cast<double>(x), static_cast<double>(y), 0 };
    ZXS_Point3 geo;
    if (transform->Reverse(&map, &geo) == 0)
        return 0;
    longitude = geo.x;
    latitude = geo.y;
    return 1;
}

#include "kernel/render/coords.h"

#include <algorithm>
#include <cmath>

#include "kernel/doc/transform.h"
#include "kernel/doc/tzx_header.h"

namespace {

constexpr int32_t kErrorRect = 9;
constexpr int32_t kErrorScale = 10;

int32_t RoundToInt32(double v)
{
    const double r = std::round(v); // half away from zero
    if (!(r > INT32_MIN))
        return INT32_MIN;
    if (!(r < INT32_MAX))
        return INT32_MAX;
    return static_cast<int32_t>(r);
}

int32_t AngleOf(double radians)
{
    // +pi wraps to 0x80000000, which reads back as +pi.
    const double r = std::round(radians * 2147483648.0 / M_PI);
    if (!(std::fabs(r) <= 2147483648.0))
        return 0;
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(r)));
}

double RadiansOf(int32_t angle) { return angle == INT32_MIN ? M_PI : angle * M_PI / 2147483648.0; }

} // namespace

CZXS_Coords::CZXS_Coords() = default;

int CZXS_Coords::SetScreenRect(const ZXS_ScreenRect* rect)
{
    if (rect == nullptr)
        return 0;
    if (rect->right < rect->left || rect->bottom < rect->top) {
        SetError(kErrorRect);
        return 0;
    }
    m_screen = *rect;
    return 1;
}

int CZXS_Coords::Check()
{
    if (m_screen.left != 0 || m_screen.top != 0 || m_screen.right < 1 || m_screen.bottom < 1) {
        SetError(kErrorRect);
        return 0;
    }
    if (m_scale < kMinScale || m_scale > kMaxScale) {
        SetError(kErrorScale);
        return 0;
    }
    return 1;
}

void CZXS_Coords::SetRotation(double radians)
{
    m_sin = std::sin(radians);
    m_cos = std::cos(radians);
    m_sin128 = static_cast<int16_t>(std::round(m_sin * 128));
    m_cos128 = static_cast<int16_t>(std::round(m_cos * 128));
    if (m_scale != kUnset) {
        BuildTables();
        BuildMatrix();
    }
}

int CZXS_Coords::SetPosition(int32_t x, int32_t y, int32_t scale)
{
    if (scale < kMinScale)
        return 0;
    if (scale == kUnset) {
        if (m_scale == kUnset) {
            SetError(kErrorScale);
            return 0;
        }
        scale = m_scale;
    }
    if (m_screen.right - m_screen.left < 1 || m_screen.bottom - m_screen.top < 1) {
        SetError(kErrorRect);
        return 0;
    }
    TakeCentreForUnset(x, y);
    if (scale != m_scale) {
        m_scale = scale;
        BuildTables();
    }
    SetCentre(x, y);
    return 1;
}

int CZXS_Coords::SetCentre(int32_t& x, int32_t& y, const ZXS_ScreenRect* rect)
{
    const ZXS_ScreenRect r = rect != nullptr ? *rect : m_screen;
    if (r.right - r.left < 1 || r.bottom - r.top < 1) {
        SetError(kErrorRect);
        return 0;
    }
    TakeCentreForUnset(x, y);
    x = std::clamp(x, 0, kMaxMapCoordinate);
    y = std::clamp(y, 0, kMaxMapCoordinate);
    m_offsetX = static_cast<int32_t>((r.left + r.right) / 2 - R8(ProjectCos(x) + ProjectSin(y)));
    m_offsetY = static_cast<int32_t>((r.top + r.bottom) / 2 - R8(ProjectCos(y) - ProjectSin(x)));
    BuildMatrix();
    return 1;
}

void CZXS_Coords::TakeCentreForUnset(int32_t& x, int32_t& y) const
{
    if (x != kUnset && y != kUnset)
        return;
    int32_t cx = 0, cy = 0;
    GetCentre(cx, cy);
    if (x == kUnset)
        x = cx;
    if (y == kUnset)
        y = cy;
}

void CZXS_Coords::GetCentre(int32_t& x, int32_t& y) const
{
    const int32_t sx = static_cast<int16_t>((m_screen.left + m_screen.right) / 2);
    const int32_t sy = static_cast<int16_t>((m_screen.top + m_screen.bottom) / 2);
    x = ScreenToMapX(sx, sy);
    y = ScreenToMapY(sx, sy);
}

int32_t CZXS_Coords::ScreenToMapX(int32_t sx, int32_t sy) const
{
    return RoundToInt32(m_kCos * sx - m_kSin * sy - m_cx);
}

int32_t CZXS_Coords::ScreenToMapY(int32_t sx, int32_t sy) const
{
    return RoundToInt32(m_kSin * sx + m_kCos * sy - m_cy);
}

void CZXS_Coords::BuildTables()
{
    const double c = m_cos * 1024.0 / m_scale;
    const double s = m_sin * 1024.0 / m_scale;
    const double steps[6] = { c, c * 256, c * 65536, s, s * 256, s * 65536 };
    for (int t = 0; t < 6; ++t) {
        double accumulator = 0;
        for (int i = 0; i < 256; ++i) {
            m_tables[t][i] = static_cast<int32_t>(accumulator + (accumulator < 0 ? -0.5 : 0.5));
            accumulator += steps[t];
        }
    }
}

void CZXS_Coords::BuildMatrix()
{
    const double k = m_scale / 128.0;
    m_kSin = k * m_sin;
    m_kCos = k * m_cos;
    m_cx = k * (m_offsetX * m_cos - m_offsetY * m_sin);
    m_cy = k * (m_offsetY * m_cos + m_offsetX * m_sin);
}

ZXS_MapRect CZXS_Coords::MapBoxOfScreenRect(const ZXS_ScreenRect& r) const
{
    const int32_t xs[4] = { ScreenToMapX(r.left, r.top), ScreenToMapX(r.right, r.top),
        ScreenToMapX(r.right, r.bottom), ScreenToMapX(r.left, r.bottom) };
    const int32_t ys[4] = { ScreenToMapY(r.left, r.top), ScreenToMapY(r.right, r.top),
        ScreenToMapY(r.right, r.bottom), ScreenToMapY(r.left, r.bottom) };
    return { *std::min_element(xs, xs + 4), *std::min_element(ys, ys + 4), *std::max_element(xs, xs + 4),
        *std::max_element(ys, ys + 4) };
}

ZXS_ScreenRect CZXS_Coords::ScreenBoxOfMapRect(const ZXS_MapRect& r) const
{
    const ZXS_ScreenPoint a = MapToScreen(r.left, r.top);
    const ZXS_ScreenPoint b = MapToScreen(r.right, r.bottom);
    return { std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y) };
}

ZXS_MapRect CZXS_Coords::MapRectOfInsetScreenRect(const ZXS_ScreenRect& r, int32_t margin) const
{
    const int32_t x1 = ScreenToMapX(r.left + margin, r.top + margin);
    const int32_t y1 = ScreenToMapY(r.left + margin, r.top + margin);
    const int32_t x2 = ScreenToMapX(r.right - margin, r.bottom - margin);
    const int32_t y2 = ScreenToMapY(r.right - margin, r.bottom - margin);
    return { std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2) };
}

double CZXS_Coords::MetresPerPixel(const CZXS_TzxHeader* header) const
{
    if (header == nullptr)
        return 1e20;
    double resolution = header->I32(CZXS_TzxHeader::kResolution);
    if (resolution == 0)
        resolution = header->U16(CZXS_TzxHeader::kResolution100) * 100.0;
    // A header without any resolution would divide by zero.
    if (resolution <= 0)
        return 1e20;
    return m_scale * 78.125 / resolution;
}

int CZXS_Coords::GeoToScreen(
    const CZXS_Transform* transform, double longitude, double latitude, ZXS_ScreenPoint& point) const
{
    int32_t mx = 0, my = 0;
    if (GeoToMap(transform, longitude, latitude, mx, my) == 0)
        return 0;
    point = MapToScreen(mx, my);
    return 1;
}

int CZXS_Coords::GeoToScreenAngles(
    const CZXS_Transform* transform, int32_t longitude, int32_t latitude, ZXS_ScreenPoint& point) const
{
    return GeoToScreen(transform, RadiansOf(longitude), RadiansOf(latitude), point);
}

int CZXS_Coords::ScreenToGeo(const CZXS_Transform* transform, const CZXS_TzxHeader* clampTo, int32_t sx,
    int32_t sy, double& longitude, double& latitude) const
{
    int32_t mx = ScreenToMapX(sx, sy);
    int32_t my = ScreenToMapY(sx, sy);
    if (clampTo != nullptr) {
        const int32_t l = clampTo->I32(CZXS_TzxHeader::kLeft), r = clampTo->I32(CZXS_TzxHeader::kRight);
        const int32_t t = clampTo->I32(CZXS_TzxHeader::kTop), b = clampTo->I32(CZXS_TzxHeader::kBottom);
        mx = std::clamp(mx, std::min(l, r), std::max(l, r));
        my = std::clamp(my, std::min(t, b), std::max(t, b));
    }
    return MapToGeo(transform, mx, my, longitude, latitude);
}

int CZXS_Coords::GetGeoBox(
    const CZXS_Transform* transform, const CZXS_TzxHeader* header, std::array<int32_t, 4>& box) const
{
    const int32_t w = m_screen.right + 1, h = m_screen.bottom + 1;
    const ZXS_ScreenPoint corners[4] = { { 0, 0 }, { w - 1, 0 }, { w - 1, h - 1 }, { 0, h - 1 } };
    double minLon = 0, minLat = 0, maxLon = 0, maxLat = 0;
    for (int i = 0; i < 4; ++i) {
        double lon = 0, lat = 0;
        if (ScreenToGeo(transform, header, corners[i].x, corners[i].y, lon, lat) == 0)
            return 0;
        minLon = i == 0 ? lon : std::min(minLon, lon);
        maxLon = i == 0 ? lon : std::max(maxLon, lon);
        minLat = i == 0 ? lat : std::min(minLat, lat);
        maxLat = i == 0 ? lat : std::max(maxLat, lat);
    }
    box = { AngleOf(minLon), AngleOf(minLat), AngleOf(maxLon), AngleOf(maxLat) };
    return 1;
}

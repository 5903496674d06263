#pragma once

#include <array>
#include <climits>
#include <cstdint>

#include "kernel/doc/object.h"
#include "kernel/render/screen_types.h"

class CZXS_Transform;
class CZXS_TzxHeader;

// A rectangle in map units (0..0xffffff, y downwards), inclusive.
struct ZXS_MapRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// The coordinate part of a map view: map units to screen pixels and back for
// one screen rectangle, scale (map units per 128 pixels) and rotation.
//
// The forward mapping runs for every point drawn, so it sums six tables of 256
// entries indexed by the three bytes of a coordinate, in eighths of a pixel. At
// the deepest zoom a rotated sum passes 2^31, so the sums are taken in 64 bits;
// screen points of far objects then reach about +-2^29 and are clipped later.
class CZXS_Coords : public CZXS_Object {
public:
    static constexpr int32_t kMinScale = 8;
    static constexpr int32_t kMaxScale = 10000000;
    static constexpr int32_t kUnset = INT32_MAX; // no scale yet; for a position: keep
    static constexpr int32_t kMaxMapCoordinate = 0xffffff;

    CZXS_Coords();
    const char16_t* ClassName() const override { return u"CZXS_Coords"; }

    // 0 for none; 0 with error 9 when right < left or bottom < top; else 1.
    int SetScreenRect(const ZXS_ScreenRect* rect);
    const ZXS_ScreenRect& ScreenRect() const { return m_screen; }
    // The rectangle starts at (0, 0) and spans at least 2 x 2 pixels (else error
    // 9) and the scale lies in 8..10,000,000 (else error 10): 1 or 0.
    int Check();

    // Keeps the offsets, so callers set the position again after a rotation.
    void SetRotation(double radians);
    // Puts map point (x, y) at the centre at `scale`. kUnset for x or y: the
    // point now at the centre; for the scale: keep it. 0 for a scale below 8 or
    // an empty screen rectangle, and nothing changes.
    int SetPosition(int32_t x, int32_t y, int32_t scale);
    // Puts the point at the centre of `rect` (default: the screen rectangle),
    // clamped into the map range and written back. 0 with error 9 for a
    // rectangle narrower or lower than 1.
    int SetCentre(int32_t& x, int32_t& y, const ZXS_ScreenRect* rect = nullptr);
    void GetCentre(int32_t& x, int32_t& y) const;

    int32_t Scale() const { return m_scale; }
    double Sine() const { return m_sin; }
    double Cosine() const { return m_cos; }
    int16_t Sine128() const { return m_sin128; }
    int16_t Cosine128() const { return m_cos128; }
    int32_t OffsetX() const { return m_offsetX; }
    int32_t OffsetY() const { return m_offsetY; }

    // Eighths of a pixel; only the low three bytes of v take part.
    int64_t ProjectCos(int32_t v) const
    {
        return static_cast<int64_t>(m_tables[0][v & 0xff]) + m_tables[1][(v >> 8) & 0xff]
            + m_tables[2][(v >> 16) & 0xff];
    }
    int64_t ProjectSin(int32_t v) const
    {
        return static_cast<int64_t>(m_tables[3][v & 0xff]) + m_tables[4][(v >> 8) & 0xff]
            + m_tables[5][(v >> 16) & 0xff];
    }
    // a / 8 rounded half away from zero.
    static int64_t R8(int64_t a) { return a >= 0 ? (a + 4) >> 3 : -((4 - a) >> 3); }

    ZXS_ScreenPoint MapToScreen(int32_t mx, int32_t my) const
    {
        return { static_cast<int32_t>(R8(ProjectCos(mx) + ProjectSin(my)) + m_offsetX),
            static_cast<int32_t>(R8(ProjectCos(my) - ProjectSin(mx)) + m_offsetY) };
    }
    // Rounded half away from zero, held to the 32-bit range.
    int32_t ScreenToMapX(int32_t sx, int32_t sy) const;
    int32_t ScreenToMapY(int32_t sx, int32_t sy) const;

    // Smallest and largest of the four corners mapped back.
    ZXS_MapRect MapBoxOfScreenRect(const ZXS_ScreenRect& rect) const;
    // Smallest and largest of the top-left and bottom-right corners mapped.
    ZXS_ScreenRect ScreenBoxOfMapRect(const ZXS_MapRect& rect) const;
    ZXS_MapRect MapRectOfInsetScreenRect(const ZXS_ScreenRect& rect, int32_t margin) const;

    // Metres covered by one pixel from the map header's resolution; 1e20
    // without a header or a resolution.
    double MetresPerPixel(const CZXS_TzxHeader* header) const;

    // Through the map's geographic transform (none: 0). Angles are 32-bit
    // values in units of pi / 2^31; the extent comes from the header.
    int GeoToScreen(
        const CZXS_Transform* transform, double longitude, double latitude, ZXS_ScreenPoint& point) const;
    int GeoToScreenAngles(
        const CZXS_Transform* transform, int32_t longitude, int32_t latitude, ZXS_ScreenPoint& point) const;
    int ScreenToGeo(const CZXS_Transform* transform, const CZXS_TzxHeader* clampTo, int32_t sx, int32_t sy,
        double& longitude, double& latitude) const;
    // Minimum longitude, minimum latitude, maximum longitude, maximum latitude
    // of the image corners, as angles; 0 when a corner cannot be converted.
    int GetGeoBox(
        const CZXS_Transform* transform, const CZXS_TzxHeader* header, std::array<int32_t, 4>& box) const;

private:
    // kUnset components become those of the point now at the centre.
    void TakeCentreForUnset(int32_t& x, int32_t& y) const;
    void BuildTables();
    void BuildMatrix();

    ZXS_ScreenRect m_screen;
    int32_t m_scale = kUnset;
    int16_t m_sin128 = 0;
    int16_t m_cos128 = 128;
    double m_sin = 0;
    double m_cos = 1;
    int32_t m_offsetX = 100;
    int32_t m_offsetY = 20;
    double m_kSin = 0;
    double m_kCos = 0;
    double m_cx = 0;
    double m_cy = 0;
    // Cosine tables for bytes 0, 1, 2, then sine tables for bytes 0, 1, 2.
    std::array<std::array<int32_t, 256>, 6> m_tables {};
};

#include "kernel/render/clipped_image.h"
#include "kernel/render/coords.h"

#include "kernel/doc/polynomial_transform.h"
#include "kernel/doc/tzx_header.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <random>

namespace {

constexpr int32_t kCentre = 0x800000;

CZXS_Coords MakeView(
    int32_t width, int32_t height, int32_t scale, int32_t tenths, int32_t x = kCentre, int32_t y = kCentre)
{
    CZXS_Coords view;
    const ZXS_ScreenRect rect = { 0, 0, width - 1, height - 1 };
    EXPECT_EQ(view.SetScreenRect(&rect), 1);
    view.SetRotation(tenths * M_PI / 1800);
    EXPECT_EQ(view.SetPosition(x, y, scale), 1);
    return view;
}

// The mapping in plain doubles: what the tables approximate.
void ExactScreen(const CZXS_Coords& v, double mx, double my, double& sx, double& sy)
{
    const double f = 128.0 / v.Scale();
    sx = (v.Cosine() * mx + v.Sine() * my) * f + v.OffsetX();
    sy = (v.Cosine() * my - v.Sine() * mx) * f + v.OffsetY();
}

} // namespace

TEST(ViewCoords, RoundingAndTheUnrotatedMapping)
{
    const std::pair<int64_t, int64_t> r8[] = { { -4, -1 }, { -3, 0 }, { 4, 1 }, { 3, 0 }, { 12, 2 },
        { -12, -2 }, { -11, -1 }, { -13, -2 }, { 0, 0 }, { 1LL << 34, 1LL << 31 } };
    for (const auto& [a, r] : r8)
        EXPECT_EQ(CZXS_Coords::R8(a), r) << a;

    // 128 map units per 128 pixels: one unit per pixel, y downwards.
    CZXS_Coords view = MakeView(240, 320, 128, 0, 1000, 2000);
    EXPECT_EQ(view.OffsetX(), 119 - 1000);
    EXPECT_EQ(view.OffsetY(), 159 - 2000);
    const ZXS_ScreenPoint p = view.MapToScreen(1010, 1990);
    EXPECT_EQ(p.x, 129);
    EXPECT_EQ(p.y, 149);
    // 300 units per 128 pixels: round(mx * 128 / 300) from separately rounded table entries.
    CZXS_Coords coarse = MakeView(240, 320, 300, 0, 0, 0);
    for (int32_t mx : { 0, 1, 2, 3, 299, 300, 65535, 65536, 0x123456 }) {
        const int64_t exact = std::llround(mx * 128.0 / 300);
        EXPECT_NEAR(coarse.MapToScreen(mx, 0).x - coarse.OffsetX(), exact, 1) << mx;
    }
    int32_t cx = 0, cy = 0;
    view.GetCentre(cx, cy);
    EXPECT_EQ(cx, 1000);
    EXPECT_EQ(cy, 2000);
}

TEST(ViewCoords, PositionScaleAndCentreChecks)
{
    CZXS_Coords view = MakeView(240, 320, 1000, 0);
    const int32_t offsetX = view.OffsetX();
    EXPECT_EQ(view.SetPosition(5, 5, 7), 0); // below the smallest scale: nothing changes
    EXPECT_EQ(view.Scale(), 1000);
    EXPECT_EQ(view.OffsetX(), offsetX);
    EXPECT_EQ(view.SetPosition(5, 5, 8), 1);
    EXPECT_EQ(view.Check(), 1);
    // Keep the scale, and the centre point when asked.
    EXPECT_EQ(view.SetPosition(CZXS_Coords::kUnset, CZXS_Coords::kUnset, 5000), 1);
    int32_t x = 0, y = 0;
    view.GetCentre(x, y);
    EXPECT_NEAR(x, 5, 5000 / 128 + 1); // within a pixel at the new scale
    EXPECT_NEAR(y, 5, 5000 / 128 + 1);
    EXPECT_EQ(view.SetPosition(700, 800, CZXS_Coords::kUnset), 1);
    EXPECT_EQ(view.Scale(), 5000);
    EXPECT_EQ(view.SetPosition(700, 800, 10000001), 1);
    EXPECT_EQ(view.Check(), 0);
    EXPECT_EQ(view.GetError(), 10);
    EXPECT_EQ(view.SetPosition(700, 800, 10000000), 1);
    EXPECT_EQ(view.Check(), 1);

    // The centre clamps into the map range and is written back.
    x = -5;
    y = 0x1000000;
    EXPECT_EQ(view.SetCentre(x, y), 1);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0xffffff);
    const ZXS_ScreenRect thin = { 0, 0, 0, 100 };
    EXPECT_EQ(view.SetCentre(x, y, &thin), 0);
    EXPECT_EQ(view.GetError(), 9);

    CZXS_Coords fresh;
    EXPECT_EQ(fresh.Check(), 0);
    EXPECT_EQ(fresh.GetError(), 9);
    const ZXS_ScreenRect reversed = { 10, 0, 5, 5 };
    EXPECT_EQ(fresh.SetScreenRect(&reversed), 0);
    EXPECT_EQ(fresh.GetError(), 9);
    EXPECT_EQ(fresh.SetScreenRect(nullptr), 0);
    const ZXS_ScreenRect offset = { 1, 0, 100, 100 };
    EXPECT_EQ(fresh.SetScreenRect(&offset), 1);
    EXPECT_EQ(fresh.SetPosition(1, 1, CZXS_Coords::kUnset), 0); // no scale to keep yet
    EXPECT_EQ(fresh.SetPosition(1, 1, 100), 1);
    EXPECT_EQ(fresh.Check(), 0); // the rectangle must start at (0, 0)
    EXPECT_EQ(fresh.GetError(), 9);
}

TEST(ViewCoords, MapToPixelsAndBackAtEveryScaleAndRotation)
{
    std::mt19937 random(1234);
    std::vector<int32_t> scales;
    for (double s = 8; s <= 10000000; s *= 1.37)
        scales.push_back(static_cast<int32_t>(s));
    scales.push_back(10000000);
    double worstForward = 0, worstBack = 0;
    // Every rotation, each with the next scale of the ladder and a random centre.
    for (int32_t tenths = 0; tenths < 3600; ++tenths) {
        const int32_t scale = scales[static_cast<size_t>(tenths) % scales.size()];
        std::uniform_int_distribution<int32_t> anywhere(0, 0xffffff);
        CZXS_Coords view = MakeView(480, 640, scale, tenths, anywhere(random), anywhere(random));
        const double k = scale / 128.0;
        std::uniform_int_distribution<int32_t> onScreen(-2000, 2000);
        for (int i = 0; i < 8; ++i) {
            // Points on and around the screen, and anywhere on the map.
            const int32_t mx
                = i < 4 ? view.ScreenToMapX(onScreen(random), onScreen(random)) : anywhere(random);
            const int32_t my
                = i < 4 ? view.ScreenToMapY(onScreen(random), onScreen(random)) : anywhere(random);
            if (mx < 0 || mx > 0xffffff || my < 0 || my > 0xffffff)
                continue;
            const ZXS_ScreenPoint p = view.MapToScreen(mx, my);
            double ex = 0, ey = 0;
            ExactScreen(view, mx, my, ex, ey);
            worstForward = std::max({ worstForward, std::fabs(p.x - ex), std::fabs(p.y - ey) });
            const int32_t bx = view.ScreenToMapX(p.x, p.y), by = view.ScreenToMapY(p.x, p.y);
            // Back within one pixel's worth of map units (and the rounding to whole units).
            worstBack
                = std::max(worstBack, std::max(std::abs(bx - mx), std::abs(by - my)) / std::max(k, 1.0));
            ASSERT_LE(std::abs(bx - mx), k + 1) << "scale " << scale << " rotation " << tenths;
            ASSERT_LE(std::abs(by - my), k + 1) << "scale " << scale << " rotation " << tenths;
        }
        // A pixel to the map and back lands on the same pixel where a map unit is
        // no larger than a pixel.
        if (scale >= 128) {
            const int32_t sx = onScreen(random) / 4 + 240, sy = onScreen(random) / 4 + 320;
            const int32_t mx = view.ScreenToMapX(sx, sy), my = view.ScreenToMapY(sx, sy);
            if (mx >= 0 && mx <= 0xffffff && my >= 0 && my <= 0xffffff) {
                const ZXS_ScreenPoint p = view.MapToScreen(mx, my);
                ASSERT_LE(std::abs(p.x - sx), 1) << "scale " << scale << " rotation " << tenths;
                ASSERT_LE(std::abs(p.y - sy), 1) << "scale " << scale << " rotation " << tenths;
            }
        }
    }
    // The six tables keep the forward mapping within a pixel of the exact one.
    EXPECT_LT(worstForward, 1.0);
    RecordProperty("worst_forward_pixels", std::to_string(worstForward));
    RecordProperty("worst_back_pixels", std::to_string(worstBack));
}

TEST(ViewCoords, FarPointsAtTheDeepestZoomDoNotWrap)
{
    // At scale 8 a map unit is 16 pixels: the far corners of the map lie about
    // 2^28 pixels away, and the rotated table sums pass 2^31.
    CZXS_Coords view = MakeView(64, 48, 8, 450);
    for (const auto& [mx, my] :
        { std::pair { 0xffffff, 0xffffff }, { 0, 0 }, { 0xffffff, 0 }, { 0, 0xffffff } }) {
        const ZXS_ScreenPoint p = view.MapToScreen(mx, my);
        double ex = 0, ey = 0;
        ExactScreen(view, mx, my, ex, ey);
        EXPECT_NEAR(p.x, ex, 1.0) << mx << "," << my;
        EXPECT_NEAR(p.y, ey, 1.0) << mx << "," << my;
    }

    // A road through the centre from one side of the map to the other, drawn
    // into the view image: it crosses the image through its centre and stays on
    // its ideal line.
    CZXS_ClippedImage image;
    ASSERT_EQ(image.Create(64, 48, 0), 0);
    CZX_Image::Pen pen;
    pen.outerColour = 0xffff;
    image.SetPen(pen);
    const int32_t d = 0x7ffff0;
    const ZXS_ScreenPoint a = view.MapToScreen(kCentre - d, kCentre - d / 3);
    const ZXS_ScreenPoint b = view.MapToScreen(kCentre + d, kCentre + d / 3);
    EXPECT_GT(std::max(std::abs(a.x), std::abs(a.y)), 1 << 26);
    image.DrawLine({ a.x, a.y, b.x, b.y });
    int drawn = 0;
    for (int32_t y = 0; y < 48; ++y) {
        for (int32_t x = 0; x < 64; ++x) {
            if (image.Surface()->Pixel(x, y) == 0)
                continue;
            ++drawn;
            // Distance from the line through a and b.
            const double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
            const double dist = std::fabs((x - a.x) * dy - (y - a.y) * dx) / std::hypot(dx, dy);
            EXPECT_LT(dist, 1.0) << x << "," << y;
        }
    }
    EXPECT_GE(drawn, 47);
    EXPECT_NE(image.Surface()->Pixel(31, 23) | image.Surface()->Pixel(32, 23) | image.Surface()->Pixel(31, 24)
            | image.Surface()->Pixel(32, 24),
        0);
}

TEST(ViewCoords, RectanglesMetresAndGeographicCoordinates)
{
    CZXS_Coords view = MakeView(100, 50, 128, 0, 5000, 6000);
    const ZXS_MapRect box = view.MapBoxOfScreenRect({ 0, 0, 99, 49 });
    EXPECT_EQ(box.left, 5000 - 49);
    EXPECT_EQ(box.top, 6000 - 24);
    EXPECT_EQ(box.right, 5000 + 50);
    EXPECT_EQ(box.bottom, 6000 + 25);
    const ZXS_ScreenRect back = view.ScreenBoxOfMapRect(box);
    EXPECT_EQ(back.left, 0);
    EXPECT_EQ(back.bottom, 49);
    const ZXS_MapRect inset = view.MapRectOfInsetScreenRect({ 0, 0, 99, 49 }, 10);
    EXPECT_EQ(inset.left, box.left + 10);
    EXPECT_EQ(inset.bottom, box.bottom - 10);

    CZXS_TzxHeader header;
    header.MakeFresh(0);
    EXPECT_EQ(view.MetresPerPixel(nullptr), 1e20);
    EXPECT_EQ(view.MetresPerPixel(&header), 1e20); // no resolution at all
    header.SetU16(CZXS_TzxHeader::kResolution100, 50);
    EXPECT_DOUBLE_EQ(view.MetresPerPixel(&header), 2.0);
    header.SetU32(CZXS_TzxHeader::kResolution, 10000);
    EXPECT_DOUBLE_EQ(view.MetresPerPixel(&header), 1.0);

    // Map x = 0x400000 + 1e6 * longitude, map y = 0x400000 - 1e6 * latitude.
    const double c[12] = { 0x400000, 1e6, 0, 0, 0, 0, 0x400000, 0, -1e6, 0, 0, 0 };
    uint8_t section[96];
    for (int i = 0; i < 12; ++i) {
        uint64_t bits;
        std::memcpy(&bits, &c[i], 8);
        for (int b = 0; b < 8; ++b)
            section[i * 8 + b] = static_cast<uint8_t>(bits >> (8 * b));
    }
    CZXS_PolynomialTransform transform;
    ASSERT_EQ(transform.LoadCoefficients(section, sizeof section), 1);
    CZXS_Coords geo = MakeView(100, 50, 128, 900, 0x400000, 0x400000);
    ZXS_ScreenPoint p;
    ASSERT_EQ(geo.GeoToScreen(&transform, 0.0, 0.0, p), 1);
    EXPECT_EQ(p.x, 49);
    EXPECT_EQ(p.y, 24);
    ASSERT_EQ(geo.GeoToScreenAngles(&transform, 0, 0, p), 1);
    EXPECT_EQ(p.x, 49);
    EXPECT_EQ(geo.GeoToScreen(nullptr, 0.0, 0.0, p), 0);
    double lon = 0, lat = 0;
    // Rotated by 90 degrees: ten pixels right on the screen is ten units south
    // (map y + 10), ten pixels down ten units west.
    ASSERT_EQ(geo.ScreenToGeo(&transform, nullptr, 59, 34, lon, lat), 1);
    EXPECT_NEAR(lon, -10e-6, 1e-9);
    EXPECT_NEAR(lat, -10e-6, 1e-9);

    std::array<int32_t, 4> angles {};
    ASSERT_EQ(geo.GetGeoBox(&transform, nullptr, angles), 1);
    const double toAngle = 2147483648.0 / M_PI;
    EXPECT_NEAR(angles[0], -25e-6 * toAngle, 2); // rotated: the screen's height runs east to west
    EXPECT_NEAR(angles[2], 24e-6 * toAngle, 2);
    EXPECT_NEAR(angles[1], -50e-6 * toAngle, 2);
    EXPECT_NEAR(angles[3], 49e-6 * toAngle, 2);
    // Clamped into the map's extent from the header.
    header.SetU32(CZXS_TzxHeader::kLeft, 0x400000);
    header.SetU32(CZXS_TzxHeader::kRight, 0x400000 + 10);
    header.SetU32(CZXS_TzxHeader::kTop, 0x400000 - 5);
    header.SetU32(CZXS_TzxHeader::kBottom, 0x400000 + 5);
    ASSERT_EQ(geo.GetGeoBox(&transform, &header, angles), 1);
    EXPECT_NEAR(angles[0], 0, 1);
    EXPECT_NEAR(angles[2], 10e-6 * toAngle, 2);
    EXPECT_NEAR(angles[1], -5e-6 * toAngle, 2);
    EXPECT_NEAR(angles[3], 5e-6 * toAngle, 2);
    EXPECT_EQ(geo.GetGeoBox(nullptr, &header, angles), 0);
}

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "kernel/doc/polynomial_transform.h"

namespace {

std::vector<uint8_t> Section(const std::vector<double>& c)
{
    std::vector<uint8_t> bytes(c.size() * 8);
    for (size_t i = 0; i < c.size(); ++i) {
        uint64_t bits = 0;
        std::memcpy(&bits, &c[i], 8);
        for (int b = 0; b < 8; ++b)
            bytes[i * 8 + b] = static_cast<uint8_t>(bits >> (8 * b));
    }
    return bytes;
}

std::unique_ptr<CZXS_PolynomialTransform> Load(const std::vector<double>& c)
{
    auto t = std::make_unique<CZXS_PolynomialTransform>();
    const auto bytes = Section(c);
    EXPECT_EQ(t->LoadCoefficients(bytes.data(), static_cast<uint32_t>(bytes.size())), 1);
    return t;
}

} // namespace

TEST(Transform, IdentityAndRounding)
{
    const auto identity = Load({ 0, 1, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0 });
    ZXS_Point3 in { 0.25, -0.5, 7 }, out { 0, 0, 9 };
    EXPECT_EQ(identity->Forward(&in, &out), 1);
    EXPECT_DOUBLE_EQ(out.x, 0.25);
    EXPECT_DOUBLE_EQ(out.y, -0.5);
    EXPECT_DOUBLE_EQ(out.z, 9); // z is left alone
    ZXS_Point3 back;
    EXPECT_EQ(identity->Reverse(&out, &back), 1);
    EXPECT_DOUBLE_EQ(back.x, 0.25);
    EXPECT_DOUBLE_EQ(back.y, -0.5);

    struct Case {
        double geo;
        int32_t map;
    };
    // Half away from zero on both sides of 0.
    for (const Case& c :
        { Case { 10.5, 11 }, Case { 10.49, 10 }, Case { -2.7, -3 }, Case { -2.5, -3 }, Case { -2.4, -2 } }) {
        int32_t x = 0, y = 0;
        EXPECT_EQ(GeoToMap(identity.get(), c.geo, 3.0, x, y), 1);
        EXPECT_EQ(x, c.map) << c.geo;
        EXPECT_EQ(y, 3);
    }
    int32_t x = 5, y = 5;
    EXPECT_EQ(GeoToMap(identity.get(), 3e9, 0, x, y), 0); // outside the 32-bit range
    EXPECT_EQ(GeoToMap(identity.get(), NAN, 0, x, y), 0);
    EXPECT_EQ(x, 5);
}

TEST(Transform, ReverseOnlyForInvertibleAffineMaps)
{
    // A real-looking map: 0.6 rad east, 0.97 rad north, y growing down.
    const double k = 1e8;
    const auto affine = Load({ -0.6 * k * 0.57, 0.57 * k, 0, 0, 0, 0, 0.97 * k, 0, -k, 0, 0, 0 });
    int32_t x = 0, y = 0;
    ASSERT_EQ(GeoToMap(affine.get(), 0.6012, 0.9681, x, y), 1);
    double lon = 0, lat = 0;
    ASSERT_EQ(MapToGeo(affine.get(), x, y, lon, lat), 1);
    EXPECT_NEAR(lon, 0.6012, 1e-7);
    EXPECT_NEAR(lat, 0.9681, 1e-7);

    // Turned by a right angle: x follows latitude, y longitude. Invertible all the same.
    const auto turned = Load({ 0, 0, 1000, 0, 0, 0, 0, -1000, 0, 0, 0, 0 });
    ASSERT_EQ(MapToGeo(turned.get(), 500, -250, lon, lat), 1);
    EXPECT_DOUBLE_EQ(lon, 0.25);
    EXPECT_DOUBLE_EQ(lat, 0.5);

    const auto curved = Load({ 0, 1, 0, 0, 1e-12, 0, 0, 0, 1, 0, 0, 0 });
    EXPECT_EQ(MapToGeo(curved.get(), 1, 1, lon, lat), 0);
    EXPECT_EQ(GeoToMap(curved.get(), 1, 1, x, y), 1);
    const auto flat = Load({ 0, 1, 2, 0, 0, 0, 0, 2, 4, 0, 0, 0 });
    EXPECT_EQ(MapToGeo(flat.get(), 1, 1, lon, lat), 0);

    // No transform section, or one too short for twelve coefficients.
    EXPECT_EQ(GeoToMap(nullptr, 1, 1, x, y), 0);
    EXPECT_EQ(MapToGeo(nullptr, 1, 1, lon, lat), 0);
    CZXS_PolynomialTransform empty;
    const auto shortSection = Section({ 0, 1, 0, 0, 0, 0, 0, 0, 1, 0, 0 });
    EXPECT_EQ(empty.LoadCoefficients(shortSection.data(), static_cast<uint32_t>(shortSection.size())), 0);
    ZXS_Point3 in { 1, 1, 1 }, out { 4, 4, 4 };
    EXPECT_EQ(empty.Forward(&in, &out), 0);
    EXPECT_DOUBLE_EQ(out.x, 0);
    EXPECT_DOUBLE_EQ(out.z, 0);
    EXPECT_EQ(GeoToMap(&empty, 1, 1, x, y), 0);
}

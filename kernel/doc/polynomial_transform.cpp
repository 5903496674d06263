#include "kernel/doc/polynomial_transform.h"

#include <cmath>

namespace {

constexpr double kTiny = 1e-7;

} // namespace

int CZXS_PolynomialTransform::LoadCoefficients(const uint8_t* section, uint32_t size)
{
    if (section == nullptr || size < kSectionBytes)
        return 0;
    SetCoefficients(section, kCoefficients);
    return 1;
}

int CZXS_PolynomialTransform::Forward(const ZXS_Point3* point, ZXS_Point3* result) const
{
    const double* c = Coefficients();
    if (c == nullptr || point == nullptr || result == nullptr)
        return CZXS_Transform::Forward(nullptr, result);
    const double X = point->x;
    const double Y = point->y;
    result->x = c[2] * Y + c[1] * X + c[5] * Y * Y + c[4] * X * Y + c[3] * X * X + c[0];
    result->y = c[8] * Y + c[7] * X + c[11] * Y * Y + c[10] * X * Y + c[9] * X * X + c[6];
    return 1;
}

int CZXS_PolynomialTransform::Reverse(const ZXS_Point3* point, ZXS_Point3* result) const
{
    const double* c = Coefficients();
    if (c == nullptr || point == nullptr || result == nullptr)
        return 0;
    if (c[3] != 0 || c[4] != 0 || c[5] != 0 || c[9] != 0 || c[10] != 0 || c[11] != 0)
        return 0;
    // The inverse of the affine part. Any invertible map has one, also one turned
    // by a right angle (c1 = c8 = 0).
    const double det = c[1] * c[8] - c[2] * c[7];
    if (std::fabs(det) < kTiny)
        return 0;
    const double dx = point->x - c[0];
    const double dy = point->y - c[6];
    result->x = (c[8] * dx - c[2] * dy) / det;
    result->y = (c[1] * dy - c[7] * dx) / det;
    return 1;
}

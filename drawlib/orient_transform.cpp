#include "drawlib/orient_transform.h"

#include <algorithm>
#include <climits>

namespace {

int Saturate(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); }

} // namespace

bool COrientTransform::SetFromPoints(int ax, int ay, int bx, int by, int cx, int cy, int xCodeIn, int yCodeIn)
{
    const int64_t a00 = int64_t(bx) - ax, a01 = int64_t(by) - ay;
    const int64_t a10 = int64_t(cx) - ax, a11 = int64_t(cy) - ay;
    const int64_t g = a00 * a11, h = a10 * a01;
    if (g * h != 0 || (g - h != 1 && g - h != -1))
        return false;
    // The determinant test alone lets a shear such as (1, 1 | 0, 1) through:
    // each axis must also map onto exactly one surface axis.
    const bool straight = a01 == 0 && a10 == 0;
    const bool exchanged = a00 == 0 && a11 == 0;
    if (!straight && !exchanged)
        return false;
    m00 = static_cast<int32_t>(a00);
    m01 = static_cast<int32_t>(a01);
    m10 = static_cast<int32_t>(a10);
    m11 = static_cast<int32_t>(a11);
    tx = ax;
    ty = ay;
    xCode = static_cast<uint8_t>(xCodeIn);
    yCode = static_cast<uint8_t>(yCodeIn);
    return true;
}

void COrientTransform::Apply(int& x, int& y) const
{
    const int64_t nx = int64_t(x) * m00 + int64_t(y) * m10 + tx;
    const int64_t ny = int64_t(x) * m01 + int64_t(y) * m11 + ty;
    x = Saturate(nx);
    y = Saturate(ny);
}

void COrientTransform::ApplyInImage(int& x, int& y, int imageWidth, int imageHeight) const
{
    const int64_t extents[3] = { 0, int64_t(imageWidth) - 1, int64_t(imageHeight) - 1 };
    const int64_t ox = extents[xCode < 3 ? xCode : 0];
    const int64_t oy = extents[yCode < 3 ? yCode : 0];
    const int64_t nx = int64_t(x) * m00 + int64_t(y) * m10 + ox;
    const int64_t ny = int64_t(x) * m01 + int64_t(y) * m11 + oy;
    x = Saturate(nx);
    y = Saturate(ny);
}

SourceWalk SourceWalkOf(const COrientTransform& o)
{
    if (o.m00 != 0)
        return { false, o.m00 < 0, o.m11 < 0 };
    // Exchanged axes: a surface column steps along the logical y axis (m10),
    // a surface row along the logical x axis (m01).
    return { true, o.m10 < 0, o.m01 < 0 };
}

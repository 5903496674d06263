#pragma once

#include "kernel/doc/transform.h"

// Second-order polynomial from longitude X and latitude Y (radians) to map units:
//   x = c0 + c1 X + c2 Y + c3 X^2 + c4 XY + c5 Y^2, y = c6 + ... + c11 Y^2.
// The reverse exists only when the polynomial is affine (c3-c5, c9-c11 all 0).
class CZXS_PolynomialTransform : public CZXS_Transform {
public:
    static constexpr int16_t kCoefficients = 12;
    static constexpr uint32_t kSectionBytes = kCoefficients * 8;

    CZXS_PolynomialTransform()
        : CZXS_Transform(0, kCoefficients)
    {
    }

    // Reads the twelve little-endian doubles at the start of the map file's
    // transform section. 0 without a section or when it is too short for them.
    int LoadCoefficients(const uint8_t* section, uint32_t size);

    int Forward(const ZXS_Point3* point, ZXS_Point3* result) const override;
    int Reverse(const ZXS_Point3* point, ZXS_Point3* result) const override;
};

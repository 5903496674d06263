#pragma once

#include <array>
#include <cstdint>
#include <vector>

// A point of a coordinate transform; the transforms read x and y and leave z.
struct ZXS_Point3 {
    double x = 0;
    double y = 0;
    double z = 0;
};

// Base of the map's coordinate transforms: a type and its coefficients.
class CZXS_Transform {
public:
    CZXS_Transform() = default;
    CZXS_Transform(const CZXS_Transform&) = delete;
    CZXS_Transform& operator=(const CZXS_Transform&) = delete;
    virtual ~CZXS_Transform() = default;

    // 1 on success; on failure 0, and Forward zeroes the result.
    virtual int Forward(const ZXS_Point3* point, ZXS_Point3* result) const;
    virtual int Reverse(const ZXS_Point3* point, ZXS_Point3* result) const;

    int16_t Type() const { return m_type; }
    int16_t CoefficientCount() const { return m_count; }
    const double* Coefficients() const { return m_coefficients; }

protected:
    explicit CZXS_Transform(int16_t type, int16_t count)
        : m_type(type)
        , m_count(count)
    {
    }
    // Stores `count` doubles read little-endian from `bytes`, inline when they fit.
    void SetCoefficients(const uint8_t* bytes, int16_t count);

private:
    int16_t m_type = -1;
    int16_t m_count = 0;
    std::array<double, 32> m_inline {};
    std::vector<double> m_heap;
    const double* m_coefficients = nullptr;
};

// Converts geographic coordinates (radians) to map units through `transform`,
// rounding half away from zero like the rest of the kernel's coordinate code.
// 0 without a transform, when it fails, or when the result leaves the 32-bit range.
int GeoToMap(const CZXS_Transform* transform, double longitude, double latitude, int32_t& x, int32_t& y);
// Converts map units to geographic coordinates; 0 without a transform or a reverse.
int MapToGeo(const CZXS_Transform* transform, int32_t x, int32_t y, double& longitude, double& latitude);

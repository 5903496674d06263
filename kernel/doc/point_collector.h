#pragma once

#include <cstdint>
#include <vector>

#include "kernel/doc/point_coding.h"

// The points of one map object gathered part by part, with each part's length.
// Appending reports a shortage of memory instead of throwing.
class CZXS_PointCollector {
public:
    static constexpr uint32_t kMaxParts = 2048;

    CZXS_PointCollector() = default;
    // Room for `capacity` points up front; false when memory is short.
    bool Reserve(uint32_t capacity);

    void Clear()
    {
        m_points.clear();
        m_parts.clear();
        m_partStart = 0;
    }
    bool Append(ZXS_Point p)
    {
        // Within the room already there nothing can fail.
        if (m_points.size() < m_points.capacity()) {
            m_points.push_back(p);
            return true;
        }
        return Grow(p);
    }
    // Closes the part begun after the previous one; false once the part table is full.
    bool EndPart()
    {
        if (m_parts.size() >= kMaxParts)
            return false;
        if (m_parts.size() == m_parts.capacity())
            return GrowParts();
        m_parts.push_back(Count() - m_partStart);
        m_partStart = Count();
        return true;
    }
    // Empties the collector and makes the points its one part; false when memory is short.
    bool SetPoints(const ZXS_Point* points, uint32_t n);
    // The segment (pair of consecutive points, from 0) nearest to `p` with its
    // nearest point; -1 without a segment. The first of equally near ones wins.
    int32_t NearestSegment(ZXS_Point p, ZXS_Point* projection) const;
    void Reverse();

    uint32_t Count() const { return static_cast<uint32_t>(m_points.size()); }
    const ZXS_Point* Points() const { return m_points.data(); }
    ZXS_Point At(uint32_t i) const { return m_points[i]; }
    uint32_t PartCount() const { return static_cast<uint32_t>(m_parts.size()); }
    uint32_t PartLength(uint32_t part) const { return m_parts[part]; }
    const std::vector<uint32_t>& PartLengths() const { return m_parts; }

private:
    bool Grow(ZXS_Point p);
    bool GrowParts();

    std::vector<ZXS_Point> m_points;
    std::vector<uint32_t> m_parts;
    uint32_t m_partStart = 0;
};

#pragma once

#include <cstdint>

#include "kernel/doc/object_record.h"
#include "kernel/doc/point_coding.h"

// Walks the points of one object record's run. The run must lie inside the
// point data it is given; a step cut short by the run's end ends the walk.
class CZXS_PointIterator {
public:
    // Positions on the run's first point (origin + the absolute point). False
    // when the run lies outside the point data, its coding is unknown or it is
    // too short for an absolute point.
    bool Begin(int32_t originX, int32_t originY, const uint8_t* pointData, uint32_t pointDataSize,
        uint32_t runStart, const CZXS_ObjectRecord& record);
    // 1 with the next point in Current(), 0 at the end. A closed shape ends with
    // its first point once more unless the last point already equals it.
    int Next();

    ZXS_Point Current() const { return m_current; }
    ZXS_Point Start() const { return m_start; }
    uint32_t Position() const { return m_position; }
    uint32_t RunLength() const { return m_runLength; }
    bool IsClosed() const { return m_closed; }

private:
    const uint8_t* m_run = nullptr;
    ZXS_Point m_current;
    ZXS_Point m_start;
    bool m_closed = false;
    bool m_closedDone = false;
    uint32_t m_position = 0;
    uint32_t m_runLength = 0;
    const CZXS_PointCoding* m_coding = nullptr;
};

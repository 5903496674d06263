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
        uint32_t runStart, const CZXS_ObjectRecord& record)
    {
        m_run = nullptr;
        m_position = 0;
        m_runLength = 0;
        m_scheme = record.Coding();
        const uint32_t length = record.RunLength();
        if (m_scheme > 2 || pointData == nullptr || uint64_t { runStart } + length > pointDataSize)
            return false;
        ZXS_Point first;
        const uint32_t used = CZXS_PointCoding::ReadAbsolute(m_scheme, pointData + runStart, length, first);
        if (used == 0)
            return false;
        m_run = pointData + runStart;
        m_runLength = length;
        m_position = used;
        m_closed = record.IsClosed();
        m_closedDone = false;
        m_start = { Add(originX, first.x), Add(originY, first.y) };
        m_current = m_start;
        return true;
    }
    // 1 with the next point in Current(), 0 at the end. A closed shape ends with
    // its first point once more unless the last point already equals it.
    int Next()
    {
        switch (m_scheme) {
        case 0:
            return NextIn<CZXS_PointCoding0>();
        case 1:
            return NextIn<CZXS_PointCoding1>();
        default:
            return NextIn<CZXS_PointCoding2>();
        }
    }
    // Next for a run known to be of this coding (Scheme()): a walk over many
    // points chooses its decoder once.
    template <class Coding> int NextIn()
    {
        if (m_run == nullptr)
            return 0;
        if (m_position < m_runLength) {
            ZXS_Point step;
            const uint32_t used = Coding::ReadDelta(m_run + m_position, m_runLength - m_position, step);
            if (used != 0) {
                m_position += used;
                m_current = { Add(m_current.x, step.x), Add(m_current.y, step.y) };
                return 1;
            }
            m_position = m_runLength; // a step cut short: the run ends here
        }
        if (m_closed && !m_closedDone && !(m_current == m_start)) {
            m_closedDone = true;
            m_current = m_start;
            return 1;
        }
        return 0;
    }

    ZXS_Point Current() const { return m_current; }
    ZXS_Point Start() const { return m_start; }
    uint32_t Position() const { return m_position; }
    uint32_t RunLength() const { return m_runLength; }
    bool IsClosed() const { return m_closed; }
    int Scheme() const { return m_scheme; }

private:
    // Wrapping addition: damaged data must not make the walk undefined.
    static int32_t Add(int32_t a, int32_t b)
    {
        return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
    }

    const uint8_t* m_run = nullptr;
    ZXS_Point m_current;
    ZXS_Point m_start;
    bool m_closed = false;
    bool m_closedDone = false;
    uint32_t m_position = 0;
    uint32_t m_runLength = 0;
    int m_scheme = 0;
};

#include "kernel/doc/point_iterator.h"

namespace {

// Wrapping addition: damaged data must not make the walk undefined.
int32_t Add(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

} // namespace

bool CZXS_PointIterator::Begin(int32_t originX, int32_t originY, const uint8_t* pointData,
    uint32_t pointDataSize, uint32_t runStart, const CZXS_ObjectRecord& record)
{
    m_run = nullptr;
    m_position = 0;
    m_runLength = 0;
    m_coding = CZXS_PointCoding::ForScheme(record.Coding());
    const uint32_t length = record.RunLength();
    if (m_coding == nullptr || pointData == nullptr || uint64_t { runStart } + length > pointDataSize)
        return false;
    ZXS_Point first;
    const uint32_t used = m_coding->DecodeAbsolute(pointData + runStart, length, first);
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

int CZXS_PointIterator::Next()
{
    if (m_run == nullptr)
        return 0;
    if (m_position < m_runLength) {
        ZXS_Point step;
        const uint32_t used = m_coding->DecodeDelta(m_run + m_position, m_runLength - m_position, step);
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

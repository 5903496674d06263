#include "kernel/router/router.h"

#include <cstring>

CZXS_Router::CZXS_Router() { m_result.Allocate(256, 128); }

CZXS_Router::~CZXS_Router() = default;

int CZXS_Router::AddPoint(int, int32_t, int32_t, int32_t, int32_t, int32_t, int)
{
    return IsReady() ? kNotSupported : kNotReady;
}

int CZXS_Router::Calculate(int) { return 0; }

int CZXS_Router::Attach(CZXS_TzxDoc* doc)
{
    m_doc = doc;
    return doc != nullptr ? 1 : 0;
}

void CZXS_Router::Detach() { m_doc = nullptr; }

bool CZXS_Router::PointAt(uint32_t index, CZXS_RoutePoint& point) const
{
    if (index >= m_result.Count())
        return false;
    std::memcpy(&point, m_result.Item(index), sizeof point);
    return true;
}

bool CZXS_Router::AppendPoint(const CZXS_RoutePoint& point)
{
    uint8_t bytes[sizeof(CZXS_RoutePoint)];
    std::memcpy(bytes, &point, sizeof point);
    return m_result.Append(bytes) >= 0;
}

void CZXS_Router::ReplacePoint(uint32_t index, const CZXS_RoutePoint& point)
{
    if (uint8_t* bytes = m_result.MutableElement(index))
        std::memcpy(bytes, &point, sizeof point);
}

void CZXS_Router::RemoveLastPoint()
{
    if (m_result.Count() > 0)
        m_result.Truncate(1);
}

void CZXS_Router::EmptyResult() { m_result.SetSize(0); }

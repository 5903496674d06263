#include "controls/blinker.h"

uint32_t CBlinker::Advance(uint32_t now)
{
    if (!m_started) {
        m_visible = 1;
        m_start = now;
        m_started = true;
        return 0;
    }
    const uint32_t period = uint32_t { m_on } + m_off;
    if (period == 0)
        return 0;
    const uint32_t elapsed = now - m_start;
    m_visible = elapsed % period <= m_on ? 1 : 0;
    return elapsed / period;
}

void CBlinker::Reset()
{
    m_start = 0;
    m_started = false;
    m_visible = 1;
}

void CBlinkerList::Add(uint16_t onMs, uint16_t offMs, const CScreenElement* element)
{
    m_blinkers.insert_or_assign(element, CBlinker(onMs, offMs));
}

CBlinker* CBlinkerList::Find(const CScreenElement* element)
{
    const auto it = m_blinkers.find(element);
    return it != m_blinkers.end() ? &it->second : nullptr;
}

void CBlinkerList::AdvanceAll(uint32_t now)
{
    for (auto& [element, blinker] : m_blinkers)
        blinker.Advance(now);
}

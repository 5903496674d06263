#include "traffic/jam_schedule.h"

void CJamSchedule::OnSettingsChanged()
{
    platform::CSLock lock(m_lock);
    if (m_state == STATE_AWAITED)
        m_state = 0;
}

void CJamSchedule::RequestNow()
{
    platform::CSLock lock(m_lock);
    m_state = STATE_AWAITED;
}

void CJamSchedule::OnJamReceived(bool success)
{
    platform::CSLock lock(m_lock);
    if (!success)
        m_state = STATE_FAILED;
    m_state |= STATE_RECEIVED;
}

void CJamSchedule::OnJamApplied(bool success)
{
    platform::CSLock lock(m_lock);
    if (!(m_state & STATE_RECEIVED))
        return;
    m_state = success ? ((m_state & STATE_AWAITED) ? STATE_APPLIED | STATE_AWAITED : STATE_APPLIED)
                      : STATE_FAILED;
}

bool CJamSchedule::Acknowledge(bool good)
{
    platform::CSLock lock(m_lock);
    if (!(m_state & STATE_APPLIED))
        return false;
    m_state = good ? STATE_GOOD : STATE_FAILED;
    return true;
}

uint8_t CJamSchedule::GetState()
{
    platform::CSLock lock(m_lock);
    return m_state;
}

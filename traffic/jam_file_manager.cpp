#include "traffic/jam_file_manager.h"

uint8_t CJamFileManager::GetSwitches()
{
    platform::CSLock lock(m_lock);
    return m_switches;
}

void CJamFileManager::SetSwitches(uint8_t switches)
{
    platform::CSLock lock(m_lock);
    m_switches = switches;
}

bool CJamFileManager::StartWorker(bool /*applyNow*/) { return false; }

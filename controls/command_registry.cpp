#include "controls/command_registry.h"

#include "controls/command_handlers.h"
#include "nav/map_controller.h"

#include <algorithm>

namespace {

constexpr uint32_t kToggles[] = { 10002, 10020, 10022, 10026, 10033, 10036, 10042 };
constexpr uint32_t kRadios[] = { 10010, 10011, 10012, 10013, 10023, 10028 };

bool Among(uint32_t id, const auto& ids)
{
    return std::find(std::begin(ids), std::end(ids), id) != std::end(ids);
}

} // namespace

int CCommandRegistry::Init()
{
    for (uint32_t id = kFirstCommand; id <= kLastCommand; ++id) {
        CCommandEntry& entry = m_entries[id - kFirstCommand];
        entry.id = static_cast<int32_t>(id);
        if (Among(id, kToggles))
            entry.kind = COMMAND_TOGGLE;
        else if (Among(id, kRadios))
            entry.kind = COMMAND_RADIO;
        entry.handler = GetCommandHandler(id);
        entry.alternate = GetAlternateCommandHandler(id);
    }
    if (g_MapController) {
        switch (g_MapController->GetTapMode()) {
        case TAP_SCROLL:
            UpdateRadioGroup(CMD_SCROLL);
            break;
        case TAP_ZOOM_WINDOW:
            UpdateRadioGroup(CMD_ZOOM_WINDOW);
            break;
        case TAP_OBJECT_NAME:
            UpdateRadioGroup(CMD_OBJECT_NAME);
            break;
        default:
            break;
        }
    }
    return 1;
}

void CCommandRegistry::Execute(uint32_t id)
{
    if (!IsCommand(id))
        return;
    CCommandEntry& entry = m_entries[id - kFirstCommand];
    if (entry.handler)
        entry.handler(entry);
    if (Among(id, kRadios))
        UpdateRadioGroup(id);
}

void CCommandRegistry::Invoke(uint32_t id)
{
    if (!IsCommand(id))
        return;
    CCommandEntry& entry = m_entries[id - kFirstCommand];
    if (entry.alternate)
        entry.alternate(entry);
}

void CCommandRegistry::UpdateRadioGroup(uint32_t id)
{
    if (!Among(id, kRadios))
        return;
    for (CCommandEntry& entry : m_entries)
        if (entry.kind == COMMAND_RADIO)
            entry.checked = static_cast<uint32_t>(entry.id) == id ? 1 : 0;
}

int32_t CCommandRegistry::IsChecked(uint32_t id) const
{
    return IsCommand(id) ? m_entries[id - kFirstCommand].checked : 0;
}

CommandKind CCommandRegistry::GetKind(uint32_t id) const
{
    return IsCommand(id) ? m_entries[id - kFirstCommand].kind : COMMAND_PLAIN;
}

CCommandEntry* CCommandRegistry::GetCommandEntry(uint32_t id)
{
    return IsCommand(id) ? &m_entries[id - kFirstCommand] : nullptr;
}

void ExecuteCommand(uint32_t id)
{
    if (g_CommandRegistry)
        g_CommandRegistry->Execute(id);
}

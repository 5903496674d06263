#include "controls/hard_key_map.h"

#include "app/modal_windows.h"
#include "controls/command_registry.h"
#include "platform/archive.h"
#include "platform/keys.h"
#include "settings/settings_record.h"

#include <atomic>

namespace {

struct KeySlotRow {
    int key;
    const char16_t* nameEn;
    const char16_t* nameRu;
    int32_t image;
};

constexpr KeySlotRow kKeySlots[CHardKeyMap::kSlotCount] = {
    { platform::VK_RECORD, u"Record", u"Запись", 868 },
    { platform::VK_APP1, u"Hot key 1", u"Кнопка 1", 863 },
    { platform::VK_APP2, u"Hot key 2", u"Кнопка 2", 864 },
    { platform::VK_APP3, u"Hot key 3", u"Кнопка 3", 865 },
    { platform::VK_APP4, u"Hot key 4", u"Кнопка 4", 866 },
    { platform::VK_LEFT, u"Left", u"Влево", 867 },
    { platform::VK_UP, u"Up", u"Вверх", 861 },
    { platform::VK_RIGHT, u"Right", u"Вправо", 869 },
    { platform::VK_DOWN, u"Down", u"Вниз", 862 },
    { platform::VK_START, u"Start", u"Старт", 871 },
};

// While the route wizard is in use the keys move and zoom the map whatever is
// assigned to them; every other key does nothing.
int32_t WizardCommand(int key)
{
    switch (key) {
    case platform::VK_LEFT:
        return CMD_MOVE_LEFT;
    case platform::VK_RIGHT:
        return CMD_MOVE_RIGHT;
    case platform::VK_UP:
        return CMD_MOVE_UP;
    case platform::VK_DOWN:
        return CMD_MOVE_DOWN;
    case platform::VK_APP3:
        return CMD_ZOOM_IN;
    case platform::VK_APP4:
        return CMD_ZOOM_OUT;
    default:
        return -1;
    }
}

std::atomic<platform::MessageTarget*> g_keysOwner { nullptr };

} // namespace

bool CHardKeySlot::SetCommand(int32_t command)
{
    if (command >= static_cast<int32_t>(kFirstCommand)
        && command <= static_cast<int32_t>(kLastAssignableCommand))
        m_command = command;
    return command >= static_cast<int32_t>(kFirstCommand) && command <= static_cast<int32_t>(kLastCommand);
}

void CHardKeySlot::SetNames(const QString& english, const QString& russian)
{
    m_nameEn = english;
    m_nameRu = russian;
}

CHardKeyMap::CHardKeyMap()
{
    for (int i = 0; i < kSlotCount; ++i) {
        platform::CSLock lock(m_lock);
        m_slots[i].SetNames(QString::fromUtf16(kKeySlots[i].nameEn), QString::fromUtf16(kKeySlots[i].nameRu));
        m_slots[i].SetImageId(kKeySlots[i].image);
    }
    SetDefaults();
}

bool CHardKeyMap::SetCommand(uint32_t slot, int32_t command)
{
    platform::CSLock lock(m_lock);
    CHardKeySlot* s = Slot(slot);
    return s && s->SetCommand(command);
}

int32_t CHardKeyMap::GetCommand(uint32_t slot)
{
    platform::CSLock lock(m_lock);
    const CHardKeySlot* s = Slot(slot);
    return s ? s->GetCommand() : -1;
}

int32_t CHardKeyMap::GetKeyImageId(uint32_t slot)
{
    platform::CSLock lock(m_lock);
    const CHardKeySlot* s = Slot(slot);
    return s ? s->GetImageId() : -1;
}

QString CHardKeyMap::GetKeyNameEn(uint32_t slot)
{
    platform::CSLock lock(m_lock);
    const CHardKeySlot* s = Slot(slot);
    return s ? s->GetNameEn() : QStringLiteral("-1");
}

QString CHardKeyMap::GetKeyNameRu(uint32_t slot)
{
    platform::CSLock lock(m_lock);
    const CHardKeySlot* s = Slot(slot);
    return s ? s->GetNameRu() : QStringLiteral("-1");
}

int CHardKeyMap::SlotOfKey(int key)
{
    for (int i = 0; i < kSlotCount; ++i)
        if (kKeySlots[i].key == key)
            return i;
    return -1;
}

void CHardKeyMap::SetDefaults()
{
    for (CHardKeySlot& slot : m_slots) {
        platform::CSLock lock(m_lock);
        slot.SetCommand(CMD_EMPTY);
    }
    const std::pair<uint32_t, int32_t> defaults[]
        = { { 7, CMD_MOVE_RIGHT }, { 5, CMD_MOVE_LEFT }, { 6, CMD_MOVE_UP }, { 8, CMD_MOVE_DOWN },
              { 1, CMD_DRIVING_MODE }, { 2, CMD_DOWNLOAD_JAM }, { 4, CMD_ZOOM_OUT }, { 3, CMD_ZOOM_IN } };
    if (g_bExpertMode.load())
        SetCommand(0, CMD_SHOW_TRANSPARENT_BUTTONS);
    for (const auto& [slot, command] : defaults)
        SetCommand(slot, command);
}

int CHardKeyMap::OnKeyDown(int& key)
{
    key = 0;
    return 1;
}

int CHardKeyMap::OnKeyUp(int& key)
{
    int32_t command = -1;
    if (IsRouteWizardOpen()) {
        command = WizardCommand(key);
    } else {
        // The Tab key asks the map controller for nothing it reads: it does nothing.
        const int slot = SlotOfKey(key);
        if (slot >= 0)
            command = GetCommand(static_cast<uint32_t>(slot));
    }
    // The lock is not held across the command, which may reach the key map again.
    if (command != -1)
        ExecuteCommand(static_cast<uint32_t>(command));
    key = 0;
    return 1;
}

void CHardKeyMap::Store(platform::Archive& archive)
{
    for (uint32_t slot = 0; slot < kSlotCount; ++slot)
        archive.WriteInt32(GetCommand(slot));
}

void CHardKeyMap::Load(platform::Archive& archive)
{
    // The whole block is read before any slot changes: a block cut short
    // leaves every slot as it was.
    std::array<int32_t, kSlotCount> commands;
    for (int32_t& command : commands)
        command = archive.ReadInt32();
    for (uint32_t slot = 0; slot < kSlotCount; ++slot) {
        const int32_t command = commands[slot];
        if (command < static_cast<int32_t>(kFirstCommand) || command > static_cast<int32_t>(kLastCommand))
            SetCommand(slot, CMD_EMPTY);
        else
            SetCommand(slot, command);
    }
}

int GrabHardwareKeys(platform::MessageTarget* window)
{
    g_keysOwner = window;
    return 1;
}

int ReleaseHardwareKeys(platform::MessageTarget* window)
{
    platform::MessageTarget* owner = window;
    g_keysOwner.compare_exchange_strong(owner, nullptr);
    return 1;
}

platform::MessageTarget* GetHardwareKeysOwner() { return g_keysOwner.load(); }

#include "controls/button_bar.h"

#include "foundation/screen_metrics.h"
#include "nav/map_controller.h"
#include "platform/archive.h"
#include "settings/settings_record.h"

namespace {

constexpr int32_t kEmptyCommand = 10000;
constexpr int32_t kLastBarCommand = 10046;

// Buttons 0-5 of each bar, by orientation.
constexpr std::array<int32_t, CButtonBar::kButtonCount> kBottomPortrait { 10020, 10010, 10011, 10036, 10026,
    10042 };
constexpr std::array<int32_t, CButtonBar::kButtonCount> kBottomLandscape { 10003, 10035, 10027, 10036, 10026,
    10042 };
constexpr std::array<int32_t, CButtonBar::kButtonCount> kTopPortrait { 10037, 10001, 10017, 10027, 10035,
    10003 };
constexpr std::array<int32_t, CButtonBar::kButtonCount> kTopLandscape { 10037, 10001, 10017, 10011, 10010,
    10020 };

bool IsBarCommand(int32_t command) { return command >= kEmptyCommand && command <= kLastBarCommand; }

} // namespace

CButtonBar::CButtonBar(int32_t barIndex)
    : CButtonPanel(0)
    , m_barIndex(barIndex)
{
    m_commands.fill(kEmptyCommand);
}

void CButtonBar::SetDefaultCommands()
{
    const bool portrait = GetScreenOrientation() == ORIENT_PORTRAIT;
    const auto& commands = m_barIndex == BAR_TOP ? (portrait ? kTopPortrait : kTopLandscape)
                                                 : (portrait ? kBottomPortrait : kBottomLandscape);
    platform::CSLock lock(m_buttonsLock);
    m_commands = commands;
}

void CButtonBar::Reset(int32_t barIndex)
{
    m_barIndex = barIndex;
    const bool expert = g_bExpertMode.load() != 0;
    SetBarState(expert ? BAR_ON_DEMAND : BAR_HIDDEN);
    if (barIndex == BAR_BOTTOM)
        SetState(expert ? STATE_SHOWN : STATE_HIDDEN);
    else
        SetState(STATE_SHOWN);
    SetDefaultCommands();
}

int32_t CButtonBar::GetButtonCommand(int button) const
{
    if (button < 0 || button >= kButtonCount)
        return -1;
    platform::CSLock lock(m_buttonsLock);
    return m_commands[static_cast<size_t>(button)];
}

int CButtonBar::SetButtonCommand(int button, int32_t command)
{
    if (button < 0 || button >= kButtonCount || !IsBarCommand(command))
        return 0;
    platform::CSLock lock(m_buttonsLock);
    m_commands[static_cast<size_t>(button)] = command;
    return 1;
}

void CButtonBar::SetBarState(int32_t state)
{
    const bool moving = g_MapController && g_MapController->IsMovingMode();
    if (state == BAR_HIDDEN && m_barIndex == BAR_BOTTOM && g_bExpertMode.load() != 0 && !moving)
        return;
    {
        platform::CSLock lock(m_stateLock);
        m_barState = state;
    }
    if (state == BAR_HIDDEN)
        SetState(STATE_HIDDEN);
    else if (state == BAR_SHOWN || state == BAR_ON_DEMAND)
        SetState(STATE_SHOWN);
}

int32_t CButtonBar::GetBarState() const
{
    platform::CSLock lock(m_stateLock);
    return m_barState;
}

void CButtonBar::SetState(int state)
{
    if (state != STATE_HIDDEN && m_barIndex == BAR_TOP && g_bExpertMode.load() == 0)
        state = STATE_HIDDEN;
    CButtonPanel::SetState(state);
}

void CButtonBar::Store(platform::Archive& archive)
{
    archive.WriteInt32(m_barIndex);
    archive.WriteInt32(GetBarState());
    for (int i = 0; i < kButtonCount; ++i)
        archive.WriteInt32(GetButtonCommand(i));
    const uint8_t reserved[8] {};
    archive.WriteBytes(reserved, sizeof reserved);
    archive.WriteInt32(GetState());
}

void CButtonBar::Load(platform::Archive& archive)
{
    // An index or a state no bar has leaves the bar's own.
    const int32_t index = archive.ReadInt32();
    if (index == BAR_BOTTOM || index == BAR_TOP)
        m_barIndex = index;
    const int32_t state = archive.ReadInt32();
    if (state >= BAR_HIDDEN && state <= BAR_ON_DEMAND)
        SetBarState(state);
    for (int i = 0; i < kButtonCount; ++i) {
        const int32_t command = archive.ReadInt32();
        if (!SetButtonCommand(i, command))
            SetButtonCommand(i, kEmptyCommand);
    }
    uint8_t reserved[8];
    archive.ReadBytes(reserved, sizeof reserved);
    SetState(archive.ReadInt32() != 0 ? STATE_SHOWN : STATE_HIDDEN);
}

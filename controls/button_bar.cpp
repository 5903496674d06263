#include "controls/button_bar.h"

#include "controls/command_registry.h"
#include "controls/map_popup_menu.h"
#include "foundation/screen_metrics.h"
#include "nav/map_controller.h"
#include "platform/archive.h"
#include "settings/settings_record.h"

#include <cstdlib>

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

bool IsExpert() { return g_bExpertMode.load() != 0; }

} // namespace

CButtonBar::CButtonBar(int32_t barIndex)
    : CButtonPanel(0)
    , m_barIndex(barIndex)
{
    SetAlpha(255);
    for (CStandaloneImageButton& button : m_buttons)
        button.Attach(nullptr, {}, this);
    m_request.kind = barIndex == BAR_TOP ? POPUP_TOP_BAR : POPUP_BOTTOM_BAR;
    m_request.element = this;
}

int CButtonBar::Attach(CDrawTool* surface, int32_t barIndex)
{
    SetSurface(surface);
    m_barIndex = barIndex == BAR_TOP ? BAR_TOP : BAR_BOTTOM;
    Layout();
    m_request.kind = m_barIndex == BAR_TOP ? POPUP_TOP_BAR : POPUP_BOTTOM_BAR;
    SetDefaultCommands();
    SetBarState(IsExpert() ? BAR_SHOWN : BAR_HIDDEN);
    CButtonPanel::SetState(STATE_HIDDEN);
    return 1;
}

void CButtonBar::Layout()
{
    const int width = GetScreenWidth(), height = GetScreenHeight();
    const int side = GetButtonSide();
    const int strip = ScaleByDpiY(4);
    const bool portrait = GetScreenOrientation() == ORIENT_PORTRAIT;
    const bool bottom = m_barIndex == BAR_BOTTOM;
    ElementPoint origin { 0, 0 };
    if (bottom)
        origin = portrait ? ElementPoint { 0, height - side } : ElementPoint { width - side, 0 };
    if (portrait)
        m_edgeStrip = bottom ? Rect { 0, height - strip, width, height } : Rect { 0, 0, width, strip };
    else
        m_edgeStrip = bottom ? Rect { width - strip, 0, width, height } : Rect { 0, 0, strip, height };
    platform::CSLock lock(m_buttonsLock);
    for (int i = 0; i < kButtonCount; ++i) {
        const ElementPoint at = portrait ? ElementPoint { origin.x + side * i, origin.y }
                                         : ElementPoint { origin.x, origin.y + side * i };
        m_buttons[static_cast<size_t>(i)].Attach(GetSurface(), at, this);
        m_buttons[static_cast<size_t>(i)].SetSize({ side, side });
    }
    ElementPoint first, last;
    ElementSize lastSize;
    m_buttons.front().GetPosition(first);
    m_buttons.back().GetPosition(last);
    m_buttons.back().GetSize(lastSize);
    SetPosition(origin);
    SetSize({ lastSize.cx + std::abs(last.x - first.x), lastSize.cy + std::abs(last.y - first.y) });
}

void CButtonBar::SetDefaultCommands()
{
    const bool portrait = GetScreenOrientation() == ORIENT_PORTRAIT;
    const auto& commands = m_barIndex == BAR_TOP ? (portrait ? kTopPortrait : kTopLandscape)
                                                 : (portrait ? kBottomPortrait : kBottomLandscape);
    for (int i = 0; i < kButtonCount; ++i)
        SetButtonCommand(i, commands[static_cast<size_t>(i)]);
}

void CButtonBar::Reset(int32_t barIndex)
{
    m_barIndex = barIndex == BAR_TOP ? BAR_TOP : BAR_BOTTOM;
    m_request.kind = m_barIndex == BAR_TOP ? POPUP_TOP_BAR : POPUP_BOTTOM_BAR;
    const bool expert = IsExpert();
    SetBarState(expert ? BAR_ON_DEMAND : BAR_HIDDEN);
    if (m_barIndex == BAR_BOTTOM)
        SetState(expert ? STATE_SHOWN : STATE_HIDDEN);
    else
        SetState(STATE_SHOWN);
    SetDefaultCommands();
    for (int i = 0; i < kButtonCount; ++i)
        ReleaseButton(i);
    m_pressed = -1;
}

int32_t CButtonBar::GetButtonCommand(int button) const
{
    if (button < 0 || button >= kButtonCount)
        return -1;
    platform::CSLock lock(m_buttonsLock);
    return m_buttons[static_cast<size_t>(button)].GetImageId();
}

int CButtonBar::SetButtonCommand(int button, int32_t command)
{
    if (button < 0 || button >= kButtonCount || !IsBarCommand(command))
        return 0;
    platform::CSLock lock(m_buttonsLock);
    m_buttons[static_cast<size_t>(button)].SetImageId(command);
    return 1;
}

int CButtonBar::IsButtonPressed(int button) const
{
    if (button < 0 || button >= kButtonCount)
        return 0;
    platform::CSLock lock(m_buttonsLock);
    return m_buttons[static_cast<size_t>(button)].GetPressed();
}

void CButtonBar::SetBarState(int32_t state)
{
    const bool moving = g_MapController && g_MapController->IsMovingMode();
    if (state == BAR_HIDDEN && m_barIndex == BAR_BOTTOM && IsExpert() && !moving)
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
    if (state != STATE_HIDDEN && m_barIndex == BAR_TOP && !IsExpert())
        state = STATE_HIDDEN;
    const bool changed = state != GetState();
    CButtonPanel::SetState(state);
    // The bar belongs to the controller: its neighbours move when it comes and goes.
    if (!changed || !g_MapController)
        return;
    const MapElements& elements = g_MapController->GetElements();
    if (elements.topBar.get() == this || elements.bottomBar.get() == this)
        g_MapController->LayoutElements();
}

int CButtonBar::HitTest(const ElementPoint& point) const
{
    if (GetState() == STATE_HIDDEN || !Contains(point))
        return -1;
    platform::CSLock lock(m_buttonsLock);
    for (int i = 0; i < kButtonCount; ++i)
        if (m_buttons[static_cast<size_t>(i)].Contains(point))
            return i;
    return -1;
}

void CButtonBar::ReleaseButton(int button)
{
    if (button < 0 || button >= kButtonCount)
        return;
    platform::CSLock lock(m_buttonsLock);
    m_buttons[static_cast<size_t>(button)].SetPressedWithHint(0);
}

void CButtonBar::ReleasePressed()
{
    if (GetState() != STATE_HIDDEN)
        ReleaseButton(m_request.mapX);
}

int CButtonBar::OnPointerDown(const ElementPoint& point)
{
    m_pressPoint = point;
    m_pressed = HitTest(point);
    if (m_pressed < 0)
        return 0;
    int32_t command = 0;
    {
        platform::CSLock lock(m_buttonsLock);
        CStandaloneImageButton& button = m_buttons[static_cast<size_t>(m_pressed)];
        button.SetPressedWithHint(1);
        command = button.GetImageId();
    }
    if (IsExpert()) {
        m_request.mapX = m_pressed;
        m_request.mapY = command;
        if (CMapPopupMenu* menu = g_MapPopupMenu.get())
            menu->ArmLongPress(m_request);
    }
    return 1;
}

int CButtonBar::OnPointerUp(const ElementPoint& point)
{
    if (CMapPopupMenu* menu = g_MapPopupMenu.get())
        menu->CancelLongPress();
    const int pressed = m_pressed;
    ReleaseButton(pressed);
    m_pressed = -1;
    const ElementPoint press = m_pressPoint;
    m_pressPoint = { -1, -1 };
    if (press == ElementPoint { -1, -1 })
        return 0;
    const int32_t state = GetBarState();
    if (state == BAR_ON_DEMAND && m_edgeStrip.Holds(press) && m_edgeStrip.Holds(point)) {
        SetState(GetState() == STATE_HIDDEN ? STATE_SHOWN : STATE_HIDDEN);
        return 1;
    }
    if (state == BAR_HIDDEN || GetState() == STATE_HIDDEN || pressed < 0)
        return pressed >= 0 ? 1 : 0;
    // The command runs outside the bar's locks: it may change the bar.
    if (HitTest(point) == pressed)
        ExecuteCommand(static_cast<uint32_t>(GetButtonCommand(pressed)));
    return 1;
}

int CButtonBar::OnDoubleClick(const ElementPoint& point)
{
    if (GetState() == STATE_HIDDEN || m_pressed < 0 || HitTest(point) != m_pressed)
        return 0;
    if (g_CommandRegistry)
        g_CommandRegistry->Invoke(static_cast<uint32_t>(GetButtonCommand(m_pressed)));
    return 1;
}

void CButtonBar::Draw()
{
    if (GetState() == STATE_HIDDEN)
        return;
    for (CStandaloneImageButton& button : m_buttons) {
        platform::CSLock lock(m_buttonsLock);
        button.Draw();
    }
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
    // The stored index is read past: a damaged file must not turn the top
    // bar into the bottom one. A state no bar has leaves the bar's own.
    archive.ReadInt32();
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

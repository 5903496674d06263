#include "controls/quick_menu_bar.h"

#include "app/modal_windows.h"
#include "controls/command_registry.h"
#include "foundation/language.h"
#include "foundation/screen_metrics.h"
#include "platform/keys.h"

CQuickMenuBar::CQuickMenuBar()
    : CButtonPanel(0)
{
    for (CStandaloneImageButton& button : m_buttons)
        button.Attach(nullptr, {}, this);
}

int CQuickMenuBar::Attach(CDrawTool* surface, const ElementPoint& position, CScreenElement* owner)
{
    SetSurface(surface);
    SetPosition(position);
    SetSize({ GetScreenWidth() - position.x - ScaleByDpiX(3), GetScreenHeight() - position.y });
    const int step = Step();
    {
        platform::CSLock lock(m_buttonsLock);
        m_buttons[0].Attach(surface, position, owner);
        m_buttons[1].Attach(surface, { position.x + step + ScaleByDpiX(32), position.y }, owner);
        m_buttons[1].SetImageId(CMD_DRIVING_MODE);
    }
    SetLanguageCommand();
    return 1;
}

int CQuickMenuBar::Step() const
{
    ElementSize size;
    GetSize(size);
    return (size.cx - ScaleByDpiX(32)) / 2;
}

void CQuickMenuBar::SetLanguageCommand()
{
    const int language = g_language.load();
    platform::CSLock lock(m_buttonsLock);
    m_buttons[0].SetImageId(language == LANGUAGE_ENGLISH ? CMD_QUICK_MENU_EN : CMD_QUICK_MENU_RU);
    m_languageApplied = language;
}

int32_t CQuickMenuBar::GetButtonCommand(int button) const
{
    if (button < 0 || button >= kButtonCount)
        return -1;
    platform::CSLock lock(m_buttonsLock);
    return m_buttons[static_cast<size_t>(button)].GetImageId();
}

int CQuickMenuBar::HitTest(const ElementPoint& point) const
{
    if (GetState() == STATE_HIDDEN || !Contains(point))
        return -1;
    ElementPoint at;
    GetPosition(at);
    const int step = Step();
    const int firstEnd = at.x + ScaleByDpiX(32) + step;
    if (point.x < firstEnd)
        return 0;
    // The rounding remainder at the right end belongs to neither button.
    return point.x < firstEnd + step ? 1 : -1;
}

void CQuickMenuBar::ShowPressed(int button, int value)
{
    if (button < 0 || button >= kButtonCount)
        return;
    platform::CSLock lock(m_buttonsLock);
    m_buttons[static_cast<size_t>(button)].SetPressedWithHint(value);
}

void CQuickMenuBar::Click(int button)
{
    // The command runs outside the lock: it may reach the bar again.
    const int32_t command = GetButtonCommand(button);
    if (command >= 0)
        ExecuteCommand(static_cast<uint32_t>(command));
}

int CQuickMenuBar::OnPointerDown(const ElementPoint& point)
{
    m_pressed = -1;
    if (GetState() == STATE_HIDDEN)
        return 0;
    const int index = HitTest(point);
    m_focused = index >= 0 ? 1 : 0;
    m_pressed = index;
    if (index >= 0) {
        m_focusedIndex = index;
        ShowPressed(index, 1);
    }
    return m_focused.load();
}

int CQuickMenuBar::OnPointerMove(const ElementPoint& point)
{
    if (GetState() == STATE_HIDDEN)
        return 0;
    const int index = HitTest(point);
    const int pressed = m_pressed.load();
    if (pressed >= 0)
        ShowPressed(pressed, index == pressed ? 1 : 0);
    m_focused = index != -1 ? 1 : 0;
    if (index >= 0)
        m_focusedIndex = index;
    return m_focused.load();
}

int CQuickMenuBar::OnPointerUp(const ElementPoint&)
{
    const int pressed = m_pressed.exchange(-1);
    if (GetState() == STATE_HIDDEN) {
        ShowPressed(pressed, 0);
        return 0;
    }
    const int target = m_focused.load() ? m_focusedIndex.load() : -1;
    ShowPressed(pressed, 0);
    if (pressed >= 0 && pressed == target)
        Click(pressed);
    return m_focused.load();
}

int CQuickMenuBar::OnKeyDown(int key)
{
    if (GetState() == STATE_HIDDEN || !m_focused.load())
        return 0;
    if (key == platform::VK_RETURN) {
        const int index = m_focusedIndex.load();
        m_pressed = index;
        ShowPressed(index, 1);
    }
    return 1;
}

int CQuickMenuBar::OnKeyUp(int key)
{
    const int pressed = m_pressed.exchange(-1);
    ShowPressed(pressed, 0);
    const bool shown = GetState() != STATE_HIDDEN;
    // The release of the key that opened the route wizard, and every key while
    // the wizard is in use, belong to the wizard: the hardware keys then move
    // and zoom the map.
    if (g_bSwallowKeyUp.exchange(0) != 0 || IsRouteWizardOpen())
        return shown && m_focused.load() && !IsRouteWizardOpen() ? 1 : 0;
    if (!shown)
        return 0;
    const int focused = m_focused.load();
    switch (key) {
    case platform::VK_TAB:
    case platform::VK_ESCAPE:
    case platform::VK_UP:
        m_focused = 0;
        return focused;
    case platform::VK_RETURN:
        if (focused)
            Click(m_focusedIndex.load());
        return m_focused.load();
    case platform::VK_LEFT:
        if (focused && m_focusedIndex.load() == 1) {
            m_focusedIndex = 0;
            return 1;
        }
        return 0;
    case platform::VK_RIGHT:
        if (focused && m_focusedIndex.load() == 0) {
            m_focusedIndex = 1;
            return 1;
        }
        return 0;
    case platform::VK_DOWN:
        m_focused = 1;
        return focused ? 0 : 1;
    default:
        return 0;
    }
}

void CQuickMenuBar::Draw()
{
    if (GetState() == STATE_HIDDEN)
        return;
    if (g_language.load() != m_languageApplied.load())
        SetLanguageCommand();
    const bool focused = m_focused.load() != 0;
    const int focusedIndex = m_focusedIndex.load();
    platform::CSLock lock(m_buttonsLock);
    for (int i = 0; i < kButtonCount; ++i)
        m_buttons[static_cast<size_t>(i)].DrawImage(focused && i == focusedIndex ? 1 : 0);
}

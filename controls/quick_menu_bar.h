#pragma once
// The quick bar: two buttons at the bottom right of the map, the quick menu
// and driving mode. It answers the stylus and the device's arrow, Enter, Tab
// and Escape keys; the map window offers it each key after the popup menu and
// before the hardware-key map.
#include "platform/sync.h"
#include "ui/button_panel.h"
#include "ui/image_button.h"

#include <array>
#include <atomic>
#include <cstdint>

class CQuickMenuBar : public CButtonPanel {
public:
    static constexpr int kButtonCount = 2;

    CQuickMenuBar();

    // Places the bar at `position` (its right end a few pixels short of the
    // screen's edge) with its buttons under `owner`'s alpha, and gives the
    // first button the quick menu of the language. Returns 1.
    int Attach(CDrawTool* surface, const ElementPoint& position, CScreenElement* owner);
    // The button under the point: 0, 1 or -1 (also while hidden).
    int HitTest(const ElementPoint& point) const;
    int32_t GetButtonCommand(int button) const;
    bool IsFocused() const { return m_focused.load() != 0; }
    int GetFocusedIndex() const { return m_focusedIndex.load(); }
    int GetPressedIndex() const { return m_pressed.load(); }

    int OnPointerDown(const ElementPoint& point) override;
    int OnPointerMove(const ElementPoint& point) override;
    int OnPointerUp(const ElementPoint& point) override;
    int OnDoubleClick(const ElementPoint&) override { return 0; }
    // Keys: virtual-key codes; 1 when the bar takes the key.
    int OnKeyDown(int key);
    int OnKeyUp(int key);
    void Draw() override;

private:
    int Step() const;
    void SetLanguageCommand();
    void ShowPressed(int button, int value);
    void Click(int button);

    mutable platform::CriticalSection m_buttonsLock;
    std::array<CStandaloneImageButton, kButtonCount> m_buttons;
    std::atomic<int32_t> m_pressed { -1 };
    std::atomic<int32_t> m_focused { 0 };
    std::atomic<int32_t> m_focusedIndex { 0 };
    std::atomic<int32_t> m_languageApplied { -1 };
};

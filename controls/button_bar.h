#pragma once
// A button bar: six command buttons along one edge of the map. The map
// controller owns two, the top bar (index 1; the left edge outside portrait)
// and the bottom bar (index 0; the right edge outside portrait). A tap runs a
// button's command; in expert mode a long press opens the popup menu, which
// can put another command on the button. In bar state 2 a tap that starts and
// ends on the thin strip along the bar's screen edge shows or hides the bar.
#include "nav/popup_context.h"
#include "platform/sync.h"
#include "ui/button_panel.h"
#include "ui/image_button.h"

#include <array>
#include <cstdint>

namespace platform {
class Archive;
}

class CButtonBar : public CButtonPanel {
public:
    enum : int32_t { BAR_BOTTOM = 0, BAR_TOP = 1 };
    // Bar states: hidden, shown always, shown and hidden by the edge strip.
    enum : int32_t { BAR_HIDDEN = 0, BAR_SHOWN = 1, BAR_ON_DEMAND = 2 };
    static constexpr int kButtonCount = 6;
    // The bar's block of the settings file: index, state, six commands, eight
    // reserved bytes, shown.
    static constexpr size_t kBlockSize = 4 + 4 + 4 * kButtonCount + 8 + 4;

    struct Rect {
        int32_t left = 0, top = 0, right = 0, bottom = 0;
        bool Holds(const ElementPoint& p) const
        {
            return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
        }
    };

    explicit CButtonBar(int32_t barIndex = BAR_BOTTOM);

    // The surface, the place for the screen's orientation, the default
    // commands and the bar state for the mode; the element stays hidden.
    int Attach(CDrawTool* surface, int32_t barIndex);
    // Places the bar and its buttons along its edge of the screen.
    void Layout();
    // The bar index, the bar state for the mode, the element shown in expert
    // mode (the top bar: as the element-state rule allows) and the default
    // commands of the index and the screen's orientation.
    void Reset(int32_t barIndex);
    int32_t GetBarIndex() const { return m_barIndex; }
    // -1 for a button above 5.
    int32_t GetButtonCommand(int button) const;
    // 0 for a button above 5 or a command outside 10000..10046.
    int SetButtonCommand(int button, int32_t command);
    // In expert mode, while moving mode is off, the bottom bar cannot be
    // hidden; otherwise state 0 hides the element and 1 and 2 show it.
    void SetBarState(int32_t state);
    int32_t GetBarState() const;
    // The element's shown state; in simple mode the top bar is never shown.
    // A change lets the controller place its elements again.
    void SetState(int state) override;
    void SetElementState(int state) { SetState(state); }
    // The button under the point, or -1 (also while hidden).
    int HitTest(const ElementPoint& point) const;
    Rect GetEdgeStrip() const { return m_edgeStrip; }
    // Whether a button shows pressed (the press of a plain command, or a
    // checked toggle).
    int IsButtonPressed(int button) const;
    // Lets go of the button the long press named (the popup menu took the release).
    void ReleasePressed();

    int OnPointerDown(const ElementPoint& point) override;
    int OnPointerUp(const ElementPoint& point) override;
    int OnDoubleClick(const ElementPoint& point) override;
    void Draw() override;

    // The block of the settings file. Loading takes a command of
    // 10000..10046 and empties a button for any other value; a stored index
    // other than the bar's own leaves the bar what it is.
    void Store(platform::Archive& archive);
    void Load(platform::Archive& archive);

private:
    void SetDefaultCommands();
    void ReleaseButton(int button);

    mutable platform::CriticalSection m_stateLock;
    mutable platform::CriticalSection m_buttonsLock;
    int32_t m_barIndex;
    int32_t m_barState = BAR_SHOWN;
    std::array<CStandaloneImageButton, kButtonCount> m_buttons;
    PopupContext m_request;
    ElementPoint m_pressPoint { -1, -1 };
    int32_t m_pressed = -1;
    Rect m_edgeStrip;
};

#pragma once
// A button bar: six command buttons along one edge of the map. The map
// controller owns two, the top bar (index 1) and the bottom bar (index 0).
//
// So far a bar holds what the settings keep of it (its index, its bar state,
// its six commands and whether it is shown) and reads and writes its block of
// the settings file; it is not drawn and takes no taps yet.
#include "platform/sync.h"
#include "ui/button_panel.h"

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

    explicit CButtonBar(int32_t barIndex = BAR_BOTTOM);

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
    void SetState(int state) override;
    void SetElementState(int state) { SetState(state); }

    // The block of the settings file. Loading takes a command of
    // 10000..10046 and empties a button for any other value.
    void Store(platform::Archive& archive);
    void Load(platform::Archive& archive);

private:
    void SetDefaultCommands();

    mutable platform::CriticalSection m_stateLock;
    mutable platform::CriticalSection m_buttonsLock;
    int32_t m_barIndex;
    int32_t m_barState = BAR_SHOWN;
    std::array<int32_t, kButtonCount> m_commands;
};

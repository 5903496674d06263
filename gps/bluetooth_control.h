#pragma once
// Bluetooth for the run: when the user's option says so, the radio is switched
// on while the program runs and put back as it was at exit. The state to put
// back is kept in the registry ("BT_State" of the application key) while the
// program holds the radio, so a run that did not end cleanly is put right by
// the next one. A radio whose state cannot be learnt is left alone: it is not
// switched on, and nothing is put back.
//
// Two stacks existed on the device: Widcomm (chosen when HKLM "\Software\Widcomm"
// exists), driven through its "Bluetooth console" window, and the platform's
// own. On Linux the platform's stack is rfkill; no Widcomm console window
// exists, so the Widcomm stack, should its key be present, fails every switch.
#include "platform/bluetooth_radio.h"
#include "platform/process_object.h"

#include <atomic>
#include <cstdint>
#include <memory>

// The option "Automatically turn on when program starts": 1 on, 0 off, 2 no
// Bluetooth driver found (the settings page then disables its check box).
inline std::atomic<int32_t> m_autoBluetooth { 0 };

// The application key, which these functions open but never create.
inline constexpr const char* kApplicationKey = "Software\\Orvantis\\Travenor Pro";

class CBluetoothControl {
public:
    enum : int32_t { STATE_OFF = 0, STATE_ON = 1, STATE_UNKNOWN = 2 };
    enum : int32_t { STACK_WIDCOMM = 1, STACK_PLATFORM = 2 };

    // With auto-on, switches the radio on for the run. The radio is the
    // platform's (rfkill) unless a test gives another.
    explicit CBluetoothControl(bool autoOn, std::unique_ptr<platform::BluetoothRadio> radio = nullptr);
    // With auto-on, puts the radio back and forgets "BT_State".
    virtual ~CBluetoothControl();
    CBluetoothControl(const CBluetoothControl&) = delete;
    CBluetoothControl& operator=(const CBluetoothControl&) = delete;

    int32_t RadioState() const { return m_radioState; }
    int32_t SavedState() const { return m_savedState; }
    int32_t StackType() const { return m_stackType; }

private:
    bool LoadSavedState();
    bool StoreSavedState();
    bool QueryRadio();
    bool SwitchOn();
    bool SetRadio(int32_t state);
    void DeleteSavedState();

    int32_t m_radioState = STATE_UNKNOWN;
    int32_t m_savedState = STATE_UNKNOWN;
    int32_t m_stackType = STACK_PLATFORM;
    bool m_autoOn = false;
    std::unique_ptr<platform::BluetoothRadio> m_radio;
};

// Read and write "AutoBT" of the application key into and from m_autoBluetooth.
// Without a value the option becomes 1 (and is written) when the device has a
// Bluetooth driver, else 2 (not written).
bool LoadAutoBtSetting(platform::BluetoothRadio* radio = nullptr);
bool SaveAutoBtSetting();
// Whether the device has a Bluetooth driver: an rfkill device of type bluetooth.
bool IsBluetoothDriverActive(platform::BluetoothRadio* radio = nullptr);

// The one control, made by the settings reader and deleted by the settings save.
inline platform::ProcessObject<CBluetoothControl> g_bluetoothControl;

#pragma once
// The Bluetooth radio as the platform's own stack switches it: on Linux,
// rfkill. The radio is on when a Bluetooth rfkill device is blocked neither
// by software nor by a hardware switch; switching goes through /dev/rfkill
// (all Bluetooth devices at once), or, where that cannot be written, through
// each device's "soft" file in /sys/class/rfkill. Both places are read under
// platform::SystemFilePath, so tests stand a folder in for them.
namespace platform {

class BluetoothRadio {
public:
    virtual ~BluetoothRadio() = default;
    // Whether the device has a Bluetooth radio at all.
    virtual bool HasRadio() = 0;
    // The radio's mode, 0 off or 1 on; false when it cannot be asked.
    virtual bool GetMode(int* mode) = 0;
    // Switches the radio on (1) or off (0); false when it did not take the mode.
    virtual bool SetMode(int mode) = 0;
};

class RfkillBluetoothRadio : public BluetoothRadio {
public:
    bool HasRadio() override;
    bool GetMode(int* mode) override;
    bool SetMode(int mode) override;
};

} // namespace platform

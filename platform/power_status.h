#pragma once
// The device's battery as the program asks for it: the charge in percent and
// the battery flags, from Linux's /sys/class/power_supply (the first battery
// that powers the system). Tests stand a folder in for the root with
// ScopedSystemRoot.
#include <cstdint>

namespace platform {

struct PowerStatus {
    enum : uint8_t {
        BATTERY_HIGH = 0x01,
        BATTERY_LOW = 0x02,
        BATTERY_CRITICAL = 0x04,
        BATTERY_CHARGING = 0x08,
        BATTERY_NONE = 0x80, // no system battery
        BATTERY_UNKNOWN = 0xFF,
    };
    static constexpr uint8_t kUnknownPercent = 255;

    uint8_t batteryLifePercent = kUnknownPercent;
    uint8_t batteryFlag = BATTERY_UNKNOWN;
};

// False when the power supplies cannot be listed at all. A machine without a
// battery answers an unknown percentage with the flag BATTERY_NONE. The
// system's own values are always current: `update` changes nothing here.
bool GetSystemPowerStatus(PowerStatus& status, bool update);

} // namespace platform

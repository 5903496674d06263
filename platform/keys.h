#pragma once
// The device's key codes and the one table that turns the keys of this
// machine into them. A device maker with other buttons changes the table in
// keys.cpp and nothing else; the README lists it.
namespace platform {

enum : int {
    VK_TAB = 0x09,
    VK_RETURN = 0x0D,
    VK_ESCAPE = 0x1B,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_START = 0x86, // the start key (134)
    VK_APP1 = 0xC1, // the four application buttons (193-196)
    VK_APP2 = 0xC2,
    VK_APP3 = 0xC3,
    VK_APP4 = 0xC4,
    VK_RECORD = 0xC5, // the record button (197)
};

// The device's key code for a Qt key, or 0 for a key the device does not have.
int VirtualKeyFromQt(int qtKey);

} // namespace platform

#pragma once
// Status codes of the traffic code: 0 success, negative failure, in the
// platform's 32-bit manner, with the traffic code's own range 0x80040004 on.
#include <cstdint>

using JamStatus = int32_t;

inline constexpr JamStatus JAM_OK = 0;
inline constexpr JamStatus JAM_E_FAIL = static_cast<JamStatus>(0x80004005); // creating the manager failed
inline constexpr JamStatus JAM_E_NOTIMPL = static_cast<JamStatus>(0x80004001);
inline constexpr JamStatus JAM_E_INVALIDARG
    = static_cast<JamStatus>(0x80070057); // unknown kind, bad configuration
inline constexpr JamStatus JAM_E_CONNECT
    = static_cast<JamStatus>(0x80040004); // connect, send or receive failed
inline constexpr JamStatus JAM_E_RESPONSE
    = static_cast<JamStatus>(0x80040005); // the provider's answer not understood
inline constexpr JamStatus JAM_E_GUID_FILE = static_cast<JamStatus>(0x80040006); // the identifier not saved
inline constexpr JamStatus JAM_E_JAM_FILE
    = static_cast<JamStatus>(0x80040007); // jam file not created or written
inline constexpr JamStatus JAM_E_MESSAGE
    = static_cast<JamStatus>(0x80040008); // a text message instead of data
inline constexpr JamStatus JAM_E_NO_NEW_DATA = static_cast<JamStatus>(0x8004000A);
inline constexpr JamStatus JAM_E_THREAD = static_cast<JamStatus>(0x8004000B); // worker or reader not started
inline constexpr JamStatus JAM_E_PORT = static_cast<JamStatus>(0x8004000C); // serial port not opened
inline constexpr JamStatus JAM_E_NOT_OPEN = static_cast<JamStatus>(0x8004000D); // no transport, or not opened
inline constexpr JamStatus JAM_E_LOW_BATTERY
    = static_cast<JamStatus>(0x8004000E); // receiver battery below 10 %
inline constexpr JamStatus JAM_E_OUT_OF_ZONE
    = static_cast<JamStatus>(0x8004000F); // receiver outside the zone
inline constexpr JamStatus JAM_E_BAD_COMMAND
    = static_cast<JamStatus>(0x80040010); // last receiver command corrupted

inline constexpr bool JamSucceeded(JamStatus status) { return status >= 0; }

#pragma once
// The GPS sharing link: on the device, the port layer could offer every fix
// to an external NMEA parser process through named shared memory ("NMEA file
// mapping Rez", its mutex "NMEA sync mutex Rez" and events "NMEA client open
// event Rez" / "NMEA perser open event Rez"). The link's enable flag starts off
// and nothing in the program switches it on, so the link is dormant: the port
// layer's hooks return at once and no shared memory, mutex, event or thread
// is ever made. No partner process exists on Linux, so the client behind the
// hooks is not built; the hooks, the flag and the 88-byte record keep their shape.
#include "gps/gps_fix.h"

#include <array>
#include <atomic>
#include <cstdint>

// The link's enable flag; the GPS source's reset passes 0.
inline std::atomic<uint8_t> m_nmeaShareEnabled { 0 };
void NmeaShareSetEnabled(bool enabled);

// Status values of the link.
enum : int {
    NMEA_SHARE_CONNECTED = 1, // mapped, parser present
    NMEA_SHARE_NOT_OPENED = 2,
    NMEA_SHARE_BAD_RECORD = 4,
    NMEA_SHARE_NO_PARSER = 8,
    NMEA_SHARE_MAPPED_ALONE = 9, // mapped by this side, parser absent
    NMEA_SHARE_FAILED = 16,
};

// The fix as the link offers it: 88 bytes, little-endian (size 88, zero,
// longitude, latitude, speed km/h, direction counter-clockwise from east,
// altitude, used, in view, zero, FILETIME, zero, VDOP, HDOP, PDOP).
std::array<uint8_t, 88> BuildNmeaShareRecord(const CGpsFix& fix);

// The link itself: with no client there is nothing to open and no parser.
int NmeaShareOpen();
void NmeaShareClose();
int NmeaShareProcessData(std::array<uint8_t, 88>* record);

// The port layer's hooks; each does nothing while the flag is off.
void NmeaShareOnSourceOpened(int portState);
void NmeaShareOnSourceClosed();
void NmeaShareOnFixRead(const CGpsFix& fix);

// How often a hook went past the enable flag (the tests' view of "never").
uint64_t NmeaShareHookEntries();

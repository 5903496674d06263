#include "gps/nmea_share.h"

#include "platform/local_time.h"

#include <bit>
#include <cstring>

namespace {

std::atomic<uint64_t> g_hookEntries { 0 };

void Put(std::array<uint8_t, 88>& record, size_t offset, uint64_t value, size_t size)
{
    for (size_t i = 0; i < size; ++i)
        record[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

void PutDouble(std::array<uint8_t, 88>& record, size_t offset, double value)
{
    Put(record, offset, std::bit_cast<uint64_t>(value), 8);
}

} // namespace

void NmeaShareSetEnabled(bool enabled) { m_nmeaShareEnabled = enabled ? 1 : 0; }

std::array<uint8_t, 88> BuildNmeaShareRecord(const CGpsFix& fix)
{
    std::array<uint8_t, 88> record {};
    Put(record, 0, 88, 4);
    PutDouble(record, 8, fix.GetLongitude().GetRadians());
    PutDouble(record, 16, fix.GetLatitude().GetRadians());
    PutDouble(record, 24, fix.m_speedKnots * kKnotsToKmh);
    PutDouble(record, 32, fix.m_course <= 90.0 ? 90.0 - fix.m_course : 450.0 - fix.m_course);
    PutDouble(record, 40, fix.m_altitude);
    record[48] = static_cast<uint8_t>(fix.m_satellitesUsed);
    record[49] = static_cast<uint8_t>(fix.m_satellitesInView);
    const GpsCalendarTime t = GpsUnixTimeToCalendar(fix.m_time);
    Put(record, 52,
        platform::LocalTimeToFileTime({ t.year, t.month, t.day, 0, t.hour, t.minute, t.second, 0 }), 8);
    PutDouble(record, 64, fix.m_vdop);
    PutDouble(record, 72, fix.m_hdop);
    PutDouble(record, 80, fix.m_pdop);
    return record;
}

int NmeaShareOpen() { return NMEA_SHARE_NO_PARSER; }

void NmeaShareClose() { }

int NmeaShareProcessData(std::array<uint8_t, 88>* record)
{
    return record ? NMEA_SHARE_NOT_OPENED : NMEA_SHARE_BAD_RECORD;
}

void NmeaShareOnSourceOpened(int portState)
{
    if (!m_nmeaShareEnabled || portState < 1 || portState > 4)
        return;
    ++g_hookEntries;
    NmeaShareOpen();
}

void NmeaShareOnSourceClosed()
{
    if (!m_nmeaShareEnabled)
        return;
    ++g_hookEntries;
    NmeaShareClose();
}

void NmeaShareOnFixRead(const CGpsFix& fix)
{
    if (!m_nmeaShareEnabled)
        return;
    ++g_hookEntries;
    std::array<uint8_t, 88> record = BuildNmeaShareRecord(fix);
    NmeaShareProcessData(&record);
}

uint64_t NmeaShareHookEntries() { return g_hookEntries; }

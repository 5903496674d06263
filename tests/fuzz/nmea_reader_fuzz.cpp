// Feeds arbitrary bytes to the NMEA reader whole and split in two at a place
// the input chooses, and checks that both give the same fix and that every
// member the parsers wrote lies in its range.
#include "gps/nmea_reader.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CGpsFix start;
    ResetGpsFix(start);

    CNmeaReader whole;
    CGpsFix wholeFix = start;
    whole.Feed(bytes, wholeFix);

    const size_t split = size == 0 ? 0 : data[0] * size / 256;
    CNmeaReader parts;
    CGpsFix partsFix = start;
    parts.Feed(bytes.substr(0, split), partsFix);
    parts.Feed(bytes.substr(split), partsFix);
    Check(wholeFix == partsFix);
    Check(whole.Accepted() == parts.Accepted() && whole.Refused() == parts.Refused());

    const CGpsFix& f = wholeFix;
    Check(f.m_status == 'A' || f.m_status == 'V');
    Check(f.m_speedKnots >= 0.0 && std::isfinite(f.m_speedKnots));
    Check(f.m_course >= 0.0 && f.m_course <= 360.0);
    Check(f.m_hdop >= 0.0 && f.m_vdop >= 0.0 && f.m_pdop >= 0.0);
    Check(f.m_satellitesUsed >= 0 && f.m_satellitesUsed <= 99);
    Check(f.m_satellitesInView >= 0);
    Check(std::abs(f.GetLatitude().GetRadians()) <= 1.5707963267948966);
    Check(std::abs(f.GetLongitude().GetRadians()) <= 3.141592653589793);
    Check(f.m_sentenceInterval >= 0 && f.m_sentenceInterval <= 15);
    return 0;
}

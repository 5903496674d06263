#pragma once
// NMEA sentences for tests: "$" + data + "*" + checksum + terminator.
#include <cstdio>
#include <string>

namespace testing_support {

inline std::string Nmea(const std::string& data, const char* terminator = "\r\n")
{
    unsigned sum = 0;
    for (char c : data)
        sum ^= static_cast<unsigned char>(c);
    char checksum[4];
    std::snprintf(checksum, sizeof checksum, "%02X", sum);
    return "$" + data + "*" + checksum + terminator;
}

// An RMC and a GGA at a time of day ("hhmmss" or "hhmmss.ss"), moving north
// by `step` thousandths of a minute per sentence.
inline std::string NmeaCycle(const std::string& talker, const std::string& time, int step)
{
    char latitude[32];
    std::snprintf(latitude, sizeof latitude, "5544.%04d", 1000 + step);
    return Nmea(talker + "RMC," + time + ",A," + latitude + ",N,03739.0480,E,12.5,045.0,230394,,")
        + Nmea(talker + "GGA," + time + "," + latitude + ",N,03739.0480,E,1,08,0.9,150.0,M,14.0,M,,");
}

} // namespace testing_support

// nmeadump: feeds NMEA logs through the program's reader, in the reads of a
// serial port, from the state a freshly opened source starts in, and prints
// the final fix of each as one JSON line with the reader's sentence counts.
#include "gps/gps_fix.h"
#include "gps/nmea_reader.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

void Usage()
{
    std::puts("usage: nmeadump LOG...\n"
              "Reads each NMEA log as the program reads a receiver and prints its final fix:\n"
              "  {\"file\":..., \"time\":\"YYYY-MM-DDThh:mm:ssZ\", \"lat\":..., \"lon\":... (degrees),\n"
              "   \"speed\":... (knots), \"track\":... (degrees), \"status\":\"A\" or \"V\",\n"
              "   \"used\":... (satellites), \"accepted\":..., \"refused\":... (sentences)}\n"
              "A log that cannot be read prints an error and makes the exit status 1.\n"
              "  --help  print this and exit");
}

std::string JsonString(const std::string& text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + '"';
}

bool Dump(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "nmeadump: cannot read %s: %s\n", path, std::strerror(errno));
        return false;
    }
    CGpsFix fix;
    fix.m_sentenceInterval = 1;
    ResetGpsFix(fix);
    CNmeaReader reader;
    // The reads a serial port gives one poll.
    std::vector<char> buffer(1024);
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        reader.Feed(std::string_view(buffer.data(), static_cast<size_t>(in.gcount())), fix);
    }
    if (in.bad()) {
        std::fprintf(stderr, "nmeadump: cannot read %s: %s\n", path, std::strerror(errno));
        return false;
    }
    const GpsCalendarTime t = fix.GetUtcTime();
    constexpr double kDegrees = 180.0 / 3.141592653589793;
    std::printf("{\"file\":%s,\"time\":\"%04d-%02d-%02dT%02d:%02d:%02dZ\",\"lat\":%.9f,\"lon\":%.9f,"
                "\"speed\":%.3f,\"track\":%.4f,\"status\":\"%c\",\"used\":%d,\"accepted\":%llu,"
                "\"refused\":%llu}\n",
        JsonString(path).c_str(), t.year, t.month, t.day, t.hour, t.minute, t.second,
        fix.GetLatitude().GetRadians() * kDegrees, fix.GetLongitude().GetRadians() * kDegrees,
        fix.m_speedKnots, fix.m_course, fix.m_status == 'A' ? 'A' : 'V', fix.m_satellitesUsed,
        static_cast<unsigned long long>(reader.Accepted()),
        static_cast<unsigned long long>(reader.Refused()));
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fputs("nmeadump: a log file is needed (nmeadump --help shows the usage)\n", stderr);
        return 2;
    }
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        Usage();
        return 0;
    }
    bool ok = true;
    for (int i = 1; i < argc; ++i)
        ok = Dump(argv[i]) && ok;
    return ok ? 0 : 1;
}

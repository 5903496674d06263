#pragma once
// The drive generator (tools/drivegen) for tests: places of Voradu by the
// city's own metres, a run of the generator, and what it reported of the drive
// it wrote. Header-only; the test program defines TRAVENOR_DRIVEGEN.
#include "tests/support/file_bytes.h"
#include "tests/support/run_command.h"

#include <QString>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace testing_support {

inline constexpr double kDrivePi = 3.14159265358979323846;

// Metres east and north of Voradu's centre (56.1 N, 38.2 E), as the city is drawn.
struct VoraduMetres {
    double x = 0;
    double y = 0;
};

inline VoraduMetres VoraduMetresOf(double latitude, double longitude)
{
    return { (longitude - 38.2) * 111320.0 * std::cos(56.1 * kDrivePi / 180), (latitude - 56.1) * 111320.0 };
}

// "LAT,LON" of a place of Voradu, as the generator takes it.
inline std::string VoraduPlace(double east, double north)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.7f,%.7f", 56.1 + north / 111320.0,
        38.2 + east / (111320.0 * std::cos(56.1 * kDrivePi / 180)));
    return text;
}

inline std::string BuildVoraduMap() { return std::string(TRAVENOR_BUILD_DATA_DIR) + "/mskmo0704.tzx"; }

// What the generator said of its drive; the seconds count from the log's first fix.
struct GeneratedDrive {
    int status = -1;
    std::string output;
    std::vector<std::pair<double, double>> route; // the planned route, latitude and longitude
    int seconds = 0;
    std::vector<std::pair<int, int>> stops; // second, length
    int detourFrom = -1, detourTo = -1;
    int lossFrom = -1, lossTo = -1;
    std::string log;
};

inline GeneratedDrive GenerateDrive(const std::string& arguments, const QString& out)
{
    GeneratedDrive d;
    const CommandResult r
        = RunCommand(std::string(TRAVENOR_DRIVEGEN) + " " + arguments + " -o '" + out.toStdString() + "'");
    d.status = r.status;
    d.output = r.output;
    std::istringstream lines(r.output);
    std::string word;
    while (lines >> word) {
        if (word == "route") {
            double lat = 0, lon = 0;
            lines >> lat >> lon;
            d.route.emplace_back(lat, lon);
        } else if (word == "seconds") {
            lines >> d.seconds;
        } else if (word == "stop") {
            int at = 0, length = 0;
            lines >> at >> length;
            d.stops.emplace_back(at, length);
        } else if (word == "detour") {
            lines >> d.detourFrom >> d.detourTo;
        } else if (word == "fixloss") {
            lines >> d.lossFrom >> d.lossTo;
        }
    }
    d.log = ReadFileBytes(out).toStdString();
    return d;
}

} // namespace testing_support

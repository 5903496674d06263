// The drive generator's logs read back with the program's own NMEA reader,
// one second at a time as the replay hands them over: every sentence taken,
// the car on its route, at rest where it stops, slower through the turns, off
// the route during the detour and without a fix while the receiver has lost it.
#include "gps/gps_fix.h"
#include "gps/nmea_reader.h"
#include "tests/support/drive_generator.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <sstream>

namespace {

using testing_support::GenerateDrive;
using testing_support::VoraduMetres;
using testing_support::VoraduPlace;

constexpr double kPi = testing_support::kDrivePi;

double DistanceToPath(const VoraduMetres& p, const std::vector<VoraduMetres>& path)
{
    double best = 1e18;
    for (size_t i = 0; i + 1 < path.size(); ++i) {
        const double dx = path[i + 1].x - path[i].x, dy = path[i + 1].y - path[i].y;
        const double len2 = dx * dx + dy * dy;
        const double t
            = len2 > 0 ? std::clamp(((p.x - path[i].x) * dx + (p.y - path[i].y) * dy) / len2, 0.0, 1.0) : 0.0;
        best = std::min(best, std::hypot(path[i].x + t * dx - p.x, path[i].y + t * dy - p.y));
    }
    return best;
}

std::string Voradu() { return testing_support::BuildVoraduMap(); }

// The log cut where the replay cuts it: one block from each RMC to the next.
std::vector<std::string> Blocks(const std::string& log)
{
    std::vector<std::string> blocks;
    size_t at = log.find("RMC,");
    while (at != std::string::npos) {
        const size_t start = log.rfind('$', at);
        const size_t next = log.find("RMC,", at + 4);
        const size_t end = next == std::string::npos ? log.size() : log.rfind('$', next);
        blocks.push_back(log.substr(start, end - start));
        at = next;
    }
    return blocks;
}

struct Second {
    VoraduMetres at;
    double knots;
    double course;
    char status;
    int clock; // seconds of the day
};

std::vector<Second> ReadBack(const std::string& log, CNmeaReader& reader)
{
    CGpsFix fix;
    fix.m_sentenceInterval = 1;
    ResetGpsFix(fix);
    std::vector<Second> seconds;
    for (const std::string& block : Blocks(log)) {
        reader.Feed(block, fix);
        const GpsCalendarTime t = fix.GetUtcTime();
        seconds.push_back({ testing_support::VoraduMetresOf(fix.GetLatitude().GetRadians() * 180 / kPi,
                                fix.GetLongitude().GetRadians() * 180 / kPi),
            fix.m_speedKnots, fix.m_course, fix.m_status, (t.hour * 60 + t.minute) * 60 + t.second });
    }
    return seconds;
}

class DriveLog : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString File(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

TEST_F(DriveLog, ADriveWithADetourAndALostFixReadsBackAsDriven)
{
    const std::string args = "--speed 50 --stops 2 --detour 150 --fix-loss 5 " + Voradu() + " "
        + VoraduPlace(-600, -400) + " " + VoraduPlace(800, 600);
    const auto d = GenerateDrive(args, File("drive.nm"));
    ASSERT_EQ(d.status, 0) << d.output;
    ASSERT_GE(d.route.size(), 3u);
    ASSERT_EQ(d.stops.size(), 2u);
    ASSERT_GE(d.detourFrom, 0);
    ASSERT_GT(d.lossFrom, d.detourTo) << "the fix is lost after the detour";
    EXPECT_EQ(d.lossTo - d.lossFrom, 5);

    // Every line is a whole sentence with the right checksum, as a receiver's.
    std::istringstream lines(d.log);
    std::string line;
    while (std::getline(lines, line)) {
        ASSERT_FALSE(line.empty());
        ASSERT_EQ(line.back(), '\r');
        ASSERT_LE(line.size() - 1, size_t(CNmeaReader::MAX_SENTENCE)) << line;
        ASSERT_EQ(line[0], '$');
        unsigned sum = 0;
        for (size_t i = 1; i < line.size() - 4; ++i)
            sum ^= static_cast<unsigned char>(line[i]);
        char expected[4];
        std::snprintf(expected, sizeof expected, "%02X", sum);
        ASSERT_EQ(line.substr(line.size() - 3, 2), expected) << line;
    }

    CNmeaReader reader;
    const std::vector<Second> s = ReadBack(d.log, reader);
    EXPECT_EQ(reader.Refused(), 0u);
    // RMC, GGA, GSA and two GSV each second.
    EXPECT_EQ(reader.Accepted(), 5u * s.size());
    ASSERT_EQ(int(s.size()), d.seconds);

    std::vector<VoraduMetres> route;
    for (const auto& [lat, lon] : d.route)
        route.push_back(testing_support::VoraduMetresOf(lat, lon));
    const VoraduMetres start = route.front();
    const VoraduMetres finish = route.back();
    int offRouteMost = 0;
    double farthest = 0;
    for (int k = 0; k < d.seconds; ++k) {
        SCOPED_TRACE(k);
        const Second& now = s[size_t(k)];
        if (k > 0) {
            EXPECT_EQ(now.clock, s[size_t(k) - 1].clock + 1) << "one fix a second";
        }
        const bool lost = k >= d.lossFrom && k < d.lossTo;
        EXPECT_EQ(now.status, lost ? 'V' : 'A');
        if (lost)
            continue;
        EXPECT_LE(now.knots, 50 / 1.852 + 0.1);
        const double off = DistanceToPath(now.at, route);
        if (k >= d.detourFrom && k < d.detourTo) {
            farthest = std::max(farthest, off);
            ++offRouteMost;
        } else {
            EXPECT_LT(off, 30.0) << "on the route outside the detour";
        }
    }
    // The detour leaves the route for a few hundred metres, and comes back.
    EXPECT_GT(farthest, 200.0);
    EXPECT_GT(offRouteMost, 10);
    EXPECT_LT(d.detourTo, d.seconds - 10);

    // At rest before pulling away, at each stop and at the finish.
    EXPECT_EQ(s.front().knots, 0.0);
    EXPECT_LT(std::hypot(s.front().at.x - start.x, s.front().at.y - start.y), 2.0);
    EXPECT_EQ(s.back().knots, 0.0);
    EXPECT_LT(std::hypot(s.back().at.x - finish.x, s.back().at.y - finish.y), 2.0);
    for (const auto& [at, length] : d.stops) {
        SCOPED_TRACE(at);
        for (int k = at; k < at + length - 1; ++k) {
            EXPECT_EQ(s[size_t(k)].knots, 0.0);
            EXPECT_LT(
                std::hypot(s[size_t(k)].at.x - s[size_t(at)].at.x, s[size_t(k)].at.y - s[size_t(at)].at.y),
                0.5);
        }
    }
    // Cruising somewhere, and slower where the course swings.
    double fastest = 0, fastestTurning = 0;
    for (int k = 1; k + 1 < d.seconds; ++k) {
        if (s[size_t(k)].status != 'A' || s[size_t(k) + 1].status != 'A')
            continue;
        fastest = std::max(fastest, s[size_t(k)].knots);
        double swing = std::abs(s[size_t(k) + 1].course - s[size_t(k) - 1].course);
        swing = swing > 180 ? 360 - swing : swing;
        if (swing > 45)
            fastestTurning = std::max(fastestTurning, s[size_t(k)].knots);
    }
    EXPECT_GT(fastest, 45 / 1.852);
    EXPECT_GT(fastestTurning, 0.0) << "the drive turns";
    EXPECT_LT(fastestTurning, 35 / 1.852) << "well below the 50 km/h of the straights";

    // The same arguments give the same bytes.
    const auto again = GenerateDrive(args, File("again.nm"));
    EXPECT_EQ(again.log, d.log);
}

TEST_F(DriveLog, BadArgumentsAndPlacesWithoutARouteAreRefused)
{
    const std::string a = VoraduPlace(-600, -400), b = VoraduPlace(800, 600);
    struct Case {
        std::string args;
        int status;
    };
    const Case cases[] = {
        { Voradu() + " " + a, 2 }, // one point
        { "--detour 10 " + Voradu() + " " + a + " " + b, 2 },
        { "--fix-loss 2.5 " + Voradu() + " " + a + " " + b, 2 },
        { "--start 2024-13-01T00:00:00 " + Voradu() + " " + a + " " + b, 2 },
        { Voradu() + " 91,38.2 " + b, 2 },
        { std::string(TRAVENOR_BUILD_DATA_DIR) + "/none.tzx " + a + " " + b, 1 },
        // Far out in the forest beyond the city: no road within reach.
        { Voradu() + " " + a + " " + VoraduPlace(0, 40000), 1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const auto d = GenerateDrive(c.args, File("refused.nm"));
        EXPECT_EQ(d.status, c.status) << d.output;
        EXPECT_FALSE(QFileInfo::exists(File("refused.nm")));
    }
}

} // namespace

// drivegen: routes a car through a map's road graph with the kernel's router
// and writes the NMEA log a receiver in that car would have sent: RMC, GGA, GSA
// and GSV once a second, checksummed, CR-LF. The car pulls away, slows for the
// turns, waits at a stop or two and comes to rest at the finish. Optionally it
// takes a wrong turn (a detour through a place beside the route) and the
// receiver loses its fix for a few seconds. Everything follows from the
// arguments: the same arguments give the same bytes.
//
// Besides the log it prints what a test needs to check it: the planned route
// (without the detour) and the seconds of the stops, the detour and the fix loss.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "kernel/api/app_interface.h"
#include "kernel/api/map_geo.h"
#include "kernel/api/route_interface.h"
#include "kernel/api/view_interface.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMetresPerDegree = 111320.0;
constexpr double kKnotsPerMetreSecond = 3600.0 / 1852.0;
// How the car drives: m/s² to speed up and to brake, the slowest a turn is
// taken and how long it waits at a stop.
constexpr double kAcceleration = 1.5;
constexpr double kDeceleration = 2.0;
constexpr double kSlowestTurn = 15.0 / 3.6;
constexpr double kUTurn = 8.0 / 3.6;
constexpr int kStopSeconds = 6;
// Seconds at rest with a fix before the car pulls away and after it arrives.
constexpr int kRestBefore = 3;
constexpr int kRestAfter = 5;
// The step the route is walked in (m) and the stretch a turn's angle is measured over.
constexpr double kStep = 1.0;
constexpr double kTurnWindow = 12.0;
// Farther than this from the planned route counts as off it (m).
constexpr double kOffRoute = 30.0;

int Usage(const char* message)
{
    if (message != nullptr)
        std::fprintf(stderr, "drivegen: %s\n", message);
    std::fprintf(message != nullptr ? stderr : stdout,
        "usage: drivegen [options] MAP.tzx LAT,LON LAT,LON [LAT,LON]... -o OUT.nm\n"
        "Routes from the first point through the others (degrees) on the map's road graph and\n"
        "writes the NMEA log (RMC, GGA, GSA, GSV at 1 Hz) of a car driving the route.\n"
        "  --fastest            the fastest route (default: the shortest, as the program routes\n"
        "                       by default)\n"
        "  --speed KMH          cruising speed (default 50)\n"
        "  --stops N            stops on the way, before sharp turns (default 1, at most 2)\n"
        "  --detour METRES      a wrong turn: the car drives through a place METRES to the right\n"
        "                       of the route's middle and on to the finish from there\n"
        "  --fix-loss SECONDS   the receiver loses its fix for SECONDS, two thirds into the drive\n"
        "  --start YYYY-MM-DDThh:mm:ss  the UTC time of the first fix (default 2024-05-04T09:30:00)\n"
        "  --talker XX          the sentences' talker (default GP)\n"
        "  --fonts DIR          the kernel's font folder (default: the build's data folder)\n"
        "  --report FILE        what is printed goes to FILE instead\n"
        "Prints the planned route as \"route LAT LON\" lines, then \"seconds N\", \"stop AT FOR\",\n"
        "\"detour LEAVES RETURNS\" and \"fixloss FROM TO\" (seconds from the log's first fix).\n");
    return message != nullptr ? 2 : 0;
}

struct LatLon {
    double lat = 0; // degrees
    double lon = 0;
};

// Metres east and north of the drive's start: a plane good for a city.
struct Plane {
    LatLon origin;
    double Cos() const { return std::cos(origin.lat * kPi / 180); }
    void ToMetres(const LatLon& p, double& east, double& north) const
    {
        east = (p.lon - origin.lon) * kMetresPerDegree * Cos();
        north = (p.lat - origin.lat) * kMetresPerDegree;
    }
    LatLon ToLatLon(double east, double north) const
    {
        return { origin.lat + north / kMetresPerDegree, origin.lon + east / (kMetresPerDegree * Cos()) };
    }
};

struct Vec {
    double x = 0;
    double y = 0;
};

// A path in metres with its running length.
class Path {
public:
    void Add(Vec p)
    {
        if (!m_points.empty()) {
            const Vec& last = m_points.back();
            const double d = std::hypot(p.x - last.x, p.y - last.y);
            if (d < 0.01)
                return;
            m_at.push_back(m_at.back() + d);
        } else {
            m_at.push_back(0);
        }
        m_points.push_back(p);
    }
    double Length() const { return m_at.empty() ? 0 : m_at.back(); }
    size_t Size() const { return m_points.size(); }
    const Vec& Point(size_t i) const { return m_points[i]; }
    Vec At(double s) const
    {
        if (m_points.size() < 2)
            return m_points.empty() ? Vec() : m_points[0];
        s = std::clamp(s, 0.0, Length());
        const size_t i = Segment(s);
        const double span = m_at[i + 1] - m_at[i];
        const double f = span > 0 ? (s - m_at[i]) / span : 0;
        return { m_points[i].x + f * (m_points[i + 1].x - m_points[i].x),
            m_points[i].y + f * (m_points[i + 1].y - m_points[i].y) };
    }
    // The stretch from s0 to s1, appended to `out`.
    void AppendStretch(double s0, double s1, Path& out) const
    {
        out.Add(At(s0));
        for (size_t i = 0; i < m_points.size(); ++i)
            if (m_at[i] > s0 && m_at[i] < s1)
                out.Add(m_points[i]);
        out.Add(At(s1));
    }
    // The direction of travel at s, as a bearing in degrees from north.
    double Bearing(double s) const
    {
        const Vec a = At(std::max(0.0, s - 1.0));
        const Vec b = At(std::min(Length(), s + 1.0));
        double degrees = std::atan2(b.x - a.x, b.y - a.y) * 180 / kPi;
        return degrees < 0 ? degrees + 360 : degrees;
    }
    // The distance from p to the nearest point of the path.
    double DistanceTo(Vec p) const
    {
        double best = 1e18;
        for (size_t i = 0; i + 1 < m_points.size(); ++i) {
            const Vec& a = m_points[i];
            const Vec& b = m_points[i + 1];
            const double dx = b.x - a.x, dy = b.y - a.y;
            const double len2 = dx * dx + dy * dy;
            const double t
                = len2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / len2, 0.0, 1.0) : 0;
            best = std::min(best, std::hypot(a.x + t * dx - p.x, a.y + t * dy - p.y));
        }
        return best;
    }

private:
    size_t Segment(double s) const
    {
        const auto it = std::upper_bound(m_at.begin(), m_at.end(), s);
        const size_t i = it == m_at.begin() ? 0 : static_cast<size_t>(it - m_at.begin()) - 1;
        return std::min(i, m_points.size() - 2);
    }

    std::vector<Vec> m_points;
    std::vector<double> m_at;
};

// The kernel with one map held in memory (never the file itself: the program
// may have it open) and a view to route in.
class Kernel {
public:
    ~Kernel()
    {
        if (m_viewMade)
            ZXS_ViewDestroy(&m_view);
        if (m_mapOpen)
            ZXS_MapClose(&m_map);
        ZXS_AppExit(&m_app);
    }
    bool Open(const std::string& mapPath, const std::string& fonts)
    {
        if (const int32_t code = ZXS_AppCreate(&m_app, nullptr, 0, fonts.c_str(), 0); code != 0) {
            std::fprintf(stderr, "drivegen: the kernel does not start (%d); fonts looked for in %s\n", code,
                fonts.c_str());
            return false;
        }
        const std::string base = mapPath.size() > 4 ? mapPath.substr(0, mapPath.size() - 4) : mapPath;
        if (!Read(mapPath, m_tzx)) {
            std::fprintf(stderr, "drivegen: cannot read the map %s\n", mapPath.c_str());
            return false;
        }
        if (!Read(base + ".zxg", m_zxg)) {
            std::fprintf(
                stderr, "drivegen: the map %s has no road graph (%s.zxg)\n", mapPath.c_str(), base.c_str());
            return false;
        }
        static const char owner = 0;
        if (const int32_t code
            = ZXS_MapOpenMemory(&m_map, &owner, m_tzx.data(), static_cast<uint32_t>(m_tzx.size()),
                m_zxg.data(), static_cast<uint32_t>(m_zxg.size()), nullptr, 0, nullptr, 0);
            code != 0) {
            std::fprintf(stderr, "drivegen: the map %s does not open (%d)\n", mapPath.c_str(), code);
            return false;
        }
        m_mapOpen = true;
        if (ZXS_ViewCreate(&m_view, &m_map) != 0) {
            std::fprintf(stderr, "drivegen: no view of the map\n");
            return false;
        }
        m_viewMade = true;
        return true;
    }
    bool ToMap(const LatLon& p, ZXS_Point& out) const
    {
        return ZXS_GeoToMap(&m_map, p.lon * kPi / 180, p.lat * kPi / 180, &out) == 0;
    }
    bool ToLatLon(int32_t x, int32_t y, LatLon& out) const
    {
        double lon = 0, lat = 0;
        if (ZXS_MapToGeo(&m_map, x, y, &lon, &lat) != 0)
            return false;
        out = { lat * 180 / kPi, lon * 180 / kPi };
        return true;
    }
    // One leg from a to b: its points, in order, appended.
    // `quiet`: a failure is no error to report (a trial).
    bool Route(const LatLon& a, const LatLon& b, int32_t radius, std::vector<LatLon>& out, bool quiet = false)
    {
        ZXS_Point pa, pb;
        if (!ToMap(a, pa) || !ToMap(b, pb)) {
            if (!quiet)
                std::fprintf(stderr, "drivegen: a point lies outside the map's reach\n");
            return false;
        }
        int32_t code = ZXS_RouteReset(&m_view);
        if (code == 0)
            code = ZXS_RouteSetStart(&m_view, pa.x, pa.y, radius, -1, 0);
        if (code == 0)
            code = ZXS_RouteSetFinish(&m_view, pb.x, pb.y, radius, -1, 0);
        if (code == 0)
            code = ZXS_RouteCalculate(&m_view, m_option);
        const int32_t count = code == 0 ? ZXS_RouteGetPoints(&m_view, nullptr, 0) : 0;
        if (code != 0 || count < 2) {
            if (quiet)
                return false;
            std::fprintf(stderr, "drivegen: no route from %.6f,%.6f to %.6f,%.6f (%d)\n", a.lat, a.lon, b.lat,
                b.lon, code);
            return false;
        }
        std::vector<CZXS_RoutePoint> points(static_cast<size_t>(count));
        const int32_t got = ZXS_RouteGetPoints(&m_view, points.data(), count);
        for (int32_t i = 0; i < got; ++i) {
            // The caller's own points may lie off the road: the car starts and
            // ends where the route meets the road.
            if (points[size_t(i)].flags & (CZXS_RoutePoint::kCallerStart | CZXS_RoutePoint::kCallerFinish))
                continue;
            LatLon p;
            if (!ToLatLon(points[size_t(i)].x, points[size_t(i)].y, p))
                return false;
            out.push_back(p);
        }
        return true;
    }
    // 1 the shortest route, 2 the fastest.
    void SetOption(int32_t option) { m_option = option; }
    // Map units per metre near p.
    double UnitsPerMetre(const LatLon& p) const
    {
        ZXS_Point a, b;
        if (!ToMap(p, a) || !ToMap({ p.lat + 1000 / kMetresPerDegree, p.lon }, b))
            return 1;
        return std::max(1e-6, std::hypot(double(b.x) - a.x, double(b.y) - a.y) / 1000);
    }

private:
    static bool Read(const std::string& path, std::vector<uint8_t>& bytes)
    {
        std::ifstream in(path, std::ios::binary);
        if (!in)
            return false;
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return !bytes.empty();
    }

    CZXS_AppHandle m_app;
    CZXS_MapHandle m_map;
    CZXS_ViewHandle m_view;
    int32_t m_option = 1;
    bool m_mapOpen = false;
    bool m_viewMade = false;
    std::vector<uint8_t> m_tzx;
    std::vector<uint8_t> m_zxg;
};

bool ParseLatLon(const char* text, LatLon& out)
{
    char* end = nullptr;
    out.lat = std::strtod(text, &end);
    if (end == text || *end != ',')
        return false;
    const char* second = end + 1;
    out.lon = std::strtod(second, &end);
    return end != second && *end == 0 && std::abs(out.lat) <= 90 && std::abs(out.lon) <= 180;
}

bool ParseNumber(const char* text, double low, double high, double& out)
{
    char* end = nullptr;
    out = std::strtod(text, &end);
    return end != text && *end == 0 && out >= low && out <= high;
}

struct UtcTime {
    int year = 2024, month = 5, day = 4, hour = 9, minute = 30, second = 0;
};

bool ParseStart(const char* text, UtcTime& t)
{
    char tail = 0;
    if (std::sscanf(text, "%4d-%2d-%2dT%2d:%2d:%2d%c", &t.year, &t.month, &t.day, &t.hour, &t.minute,
            &t.second, &tail)
        != 6)
        return false;
    return t.year >= 1980 && t.year <= 2069 && t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 28
        && t.hour >= 0 && t.hour < 24 && t.minute >= 0 && t.minute < 60 && t.second >= 0 && t.second < 60;
}

// The time of day and date `seconds` after the start (days roll within the
// month; the start's day is at most 28 and drives are short).
void Advance(const UtcTime& start, int seconds, UtcTime& t)
{
    const long total = ((start.hour * 60L + start.minute) * 60 + start.second) + seconds;
    t = start;
    t.day += static_cast<int>(total / 86400);
    const long inDay = total % 86400;
    t.hour = static_cast<int>(inDay / 3600);
    t.minute = static_cast<int>(inDay / 60 % 60);
    t.second = static_cast<int>(inDay % 60);
}

std::string Sentence(const std::string& data)
{
    unsigned sum = 0;
    for (const char c : data)
        sum ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
    return "$" + data + tail;
}

std::string Angle(double degrees, int degreeDigits, char positive, char negative)
{
    const double a = std::abs(degrees);
    int whole = static_cast<int>(a);
    double minutes = std::round((a - whole) * 60.0 * 10000) / 10000;
    if (minutes >= 60) {
        ++whole;
        minutes -= 60;
    }
    char text[32];
    std::snprintf(
        text, sizeof text, "%0*d%07.4f,%c", degreeDigits, whole, minutes, degrees < 0 ? negative : positive);
    return text;
}

// The satellites in view: fixed PRNs whose places drift slowly over the sky,
// and signal strengths that wander deterministically.
struct Satellite {
    int prn;
    int elevation;
    int azimuth;
};
constexpr Satellite kSky[] = { { 2, 62, 48 }, { 5, 41, 131 }, { 9, 18, 199 }, { 12, 73, 287 },
    { 15, 27, 312 }, { 18, 35, 76 }, { 21, 12, 248 }, { 25, 50, 163 } };

int SignalToNoise(int prn, int second)
{
    // A small hash of the satellite and the second: 32-47 dB-Hz.
    uint32_t h = static_cast<uint32_t>(prn) * 2654435761u ^ static_cast<uint32_t>(second / 3) * 40503u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return 32 + static_cast<int>(h % 16);
}

struct Sample {
    LatLon position;
    double speed = 0; // m/s
    double course = 0; // degrees
    bool fix = true;
};

std::string Second(const std::string& talker, const UtcTime& t, const Sample& s, int index)
{
    char time[16], date[8];
    std::snprintf(time, sizeof time, "%02d%02d%02d.00", t.hour, t.minute, t.second);
    std::snprintf(date, sizeof date, "%02d%02d%02d", t.day, t.month, t.year % 100);
    std::string out;
    char buffer[128];
    if (s.fix) {
        const std::string where
            = Angle(s.position.lat, 2, 'N', 'S') + "," + Angle(s.position.lon, 3, 'E', 'W');
        std::snprintf(buffer, sizeof buffer, "%sRMC,%s,A,%s,%.1f,%.1f,%s,,,A", talker.c_str(), time,
            where.c_str(), s.speed * kKnotsPerMetreSecond, s.course, date);
        out += Sentence(buffer);
        std::snprintf(buffer, sizeof buffer, "%sGGA,%s,%s,1,08,0.9,152.4,M,14.2,M,,", talker.c_str(), time,
            where.c_str());
        out += Sentence(buffer);
        std::string gsa = talker + "GSA,A,3";
        for (const Satellite& sat : kSky) {
            std::snprintf(buffer, sizeof buffer, ",%02d", sat.prn);
            gsa += buffer;
        }
        out += Sentence(gsa + ",,,,1.6,0.9,1.3");
    } else {
        std::snprintf(buffer, sizeof buffer, "%sRMC,%s,V,,,,,,,%s,,,N", talker.c_str(), time, date);
        out += Sentence(buffer);
        std::snprintf(buffer, sizeof buffer, "%sGGA,%s,,,,,0,00,99.99,,,,,,", talker.c_str(), time);
        out += Sentence(buffer);
        out += Sentence(talker + "GSA,A,1,,,,,,,,,,,,,99.99,99.99,99.99");
    }
    constexpr int kInView = static_cast<int>(std::size(kSky));
    for (int part = 0; part < 2; ++part) {
        std::snprintf(buffer, sizeof buffer, "%sGSV,2,%d,%02d", talker.c_str(), part + 1, kInView);
        std::string gsv = buffer;
        for (int k = part * 4; k < part * 4 + 4; ++k) {
            const Satellite& sat = kSky[k];
            const int azimuth = (sat.azimuth + index / 120) % 360;
            if (s.fix)
                std::snprintf(buffer, sizeof buffer, ",%02d,%02d,%03d,%02d", sat.prn, sat.elevation, azimuth,
                    SignalToNoise(sat.prn, index));
            else
                std::snprintf(buffer, sizeof buffer, ",%02d,%02d,%03d,", sat.prn, sat.elevation, azimuth);
            gsv += buffer;
        }
        out += Sentence(gsv);
    }
    return out;
}

// The change of direction (degrees, 0-180) over the stretch around s.
double TurnAt(const Path& path, double s)
{
    const double before = path.Bearing(std::max(0.0, s - kTurnWindow));
    const double after = path.Bearing(std::min(path.Length(), s + kTurnWindow));
    double d = std::abs(after - before);
    return d > 180 ? 360 - d : d;
}

} // namespace

int main(int argc, char** argv)
{
    std::string mapPath, outPath, reportPath, talker = "GP";
    std::string fonts = std::string(TRAVENOR_BUILD_DATA_DIR) + "/";
    std::vector<LatLon> points;
    double cruise = 50, detour = 0, fixLoss = 0, stops = 1;
    bool fastest = false;
    UtcTime start;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h")
            return Usage(nullptr);
        if (arg == "--fastest") {
            fastest = true;
        } else if (arg == "--speed" && hasValue) {
            if (!ParseNumber(argv[++i], 10, 130, cruise))
                return Usage("--speed takes 10 to 130 km/h");
        } else if (arg == "--stops" && hasValue) {
            if (!ParseNumber(argv[++i], 0, 2, stops) || stops != std::floor(stops))
                return Usage("--stops takes 0, 1 or 2");
        } else if (arg == "--detour" && hasValue) {
            if (!ParseNumber(argv[++i], 50, 2000, detour))
                return Usage("--detour takes 50 to 2000 metres");
        } else if (arg == "--fix-loss" && hasValue) {
            if (!ParseNumber(argv[++i], 1, 120, fixLoss) || fixLoss != std::floor(fixLoss))
                return Usage("--fix-loss takes 1 to 120 seconds");
        } else if (arg == "--start" && hasValue) {
            if (!ParseStart(argv[++i], start))
                return Usage("--start takes YYYY-MM-DDThh:mm:ss (a day up to 28)");
        } else if (arg == "--talker" && hasValue) {
            talker = argv[++i];
            if (talker.size() != 2 || !std::isupper(static_cast<unsigned char>(talker[0]))
                || !std::isupper(static_cast<unsigned char>(talker[1])))
                return Usage("--talker takes two capital letters");
        } else if (arg == "--fonts" && hasValue) {
            fonts = std::string(argv[++i]) + "/";
        } else if (arg == "--report" && hasValue) {
            reportPath = argv[++i];
        } else if (arg == "-o" && hasValue) {
            outPath = argv[++i];
        } else if (!arg.empty() && arg[0] != '-' && mapPath.empty()) {
            mapPath = arg;
        } else if (LatLon p; ParseLatLon(argv[i], p)) {
            points.push_back(p);
        } else {
            return Usage(("unknown argument " + arg).c_str());
        }
    }
    if (mapPath.empty() || outPath.empty() || points.size() < 2)
        return Usage("a map, two or more points and -o OUT.nm are needed");

    Kernel kernel;
    if (!kernel.Open(mapPath, fonts))
        return 1;
    kernel.SetOption(fastest ? 2 : 1);
    const int32_t radius = static_cast<int32_t>(std::lround(200 * kernel.UnitsPerMetre(points[0])));

    // The planned route, leg by leg.
    std::vector<std::vector<LatLon>> legs(points.size() - 1);
    for (size_t i = 0; i + 1 < points.size(); ++i)
        if (!kernel.Route(points[i], points[i + 1], radius, legs[i]))
            return 1;
    const Plane plane { legs[0].front() };
    Path planned;
    for (const auto& leg : legs)
        for (const LatLon& p : leg) {
            Vec v;
            plane.ToMetres(p, v.x, v.y);
            planned.Add(v);
        }
    if (planned.Length() < 50) {
        std::fprintf(stderr, "drivegen: the route is only %.0f m long\n", planned.Length());
        return 1;
    }

    // The driven path: the planned one, or with the detour through a place to
    // the right of the route's middle, in the leg that holds the middle.
    Path driven = planned;
    if (detour > 0) {
        // The wrong turn: the car leaves the route before a place DETOUR
        // metres to its right (else its left) of the route's middle (else a
        // little before or after it), drives through that place and rejoins
        // the route farther on. The first such way that needs no U-turn and
        // takes the car well away from the route is driven.
        bool found = false;
        for (const double along : { 0.5, 0.4, 0.6, 0.3, 0.7 }) {
            for (const double side : { 1.0, -1.0, 1.5, -1.5 }) {
                for (const double rejoin : { 2.0, 3.0, 4.0 }) {
                    const double middle = planned.Length() * along;
                    const double leave = std::max(0.0, middle - detour / 2);
                    const double back = middle + rejoin * detour;
                    if (back >= planned.Length() - 50)
                        continue;
                    const Vec at = planned.At(middle);
                    const double bearing = planned.Bearing(middle) * kPi / 180;
                    const double offset = side * detour;
                    const LatLon via = plane.ToLatLon(
                        at.x + offset * std::cos(bearing), at.y - offset * std::sin(bearing));
                    const Vec from = planned.At(leave), to = planned.At(back);
                    std::vector<LatLon> out, in;
                    if (!kernel.Route(plane.ToLatLon(from.x, from.y), via, radius, out, true)
                        || !kernel.Route(via, plane.ToLatLon(to.x, to.y), radius, in, true))
                        continue;
                    Path candidate;
                    planned.AppendStretch(0, leave, candidate);
                    for (const auto* part : { &out, &in })
                        for (const LatLon& p : *part) {
                            Vec v;
                            plane.ToMetres(p, v.x, v.y);
                            candidate.Add(v);
                        }
                    planned.AppendStretch(back, planned.Length(), candidate);
                    double sharpest = 0, farthest = 0;
                    for (double d = kTurnWindow; d < candidate.Length() - kTurnWindow; d += 2) {
                        sharpest = std::max(sharpest, TurnAt(candidate, d));
                        farthest = std::max(farthest, planned.DistanceTo(candidate.At(d)));
                    }
                    if (sharpest < 150 && farthest >= detour / 2) {
                        driven = candidate;
                        found = true;
                        break;
                    }
                }
                if (found)
                    break;
            }
            if (found)
                break;
        }
        if (!found) {
            std::fprintf(
                stderr, "drivegen: no wrong turn of %.0f m without a U-turn off this route\n", detour);
            return 1;
        }
    }

    // The speed the road allows at each step: the cruising speed, less
    // through a turn, nothing at a stop; then what speeding up and braking allow.
    const double length = driven.Length();
    const size_t steps = static_cast<size_t>(std::ceil(length / kStep)) + 1;
    std::vector<double> limit(steps, cruise / 3.6);
    std::vector<double> turn(steps, 0);
    for (size_t i = 0; i < steps; ++i) {
        const double s = std::min(length, double(i) * kStep);
        turn[i] = TurnAt(driven, s);
        if (turn[i] > 150)
            limit[i] = kUTurn;
        else if (turn[i] > 20)
            limit[i] = std::clamp(cruise / 3.6 * (1 - turn[i] / 120), kSlowestTurn, cruise / 3.6);
    }
    // Stops: past a third (and two thirds) of the way, before the next sharp
    // turn within a fifth of the way, else at the lights where the car is
    // then (or next is on the planned route); always on the planned route (a wrong turn is no place to wait)
    // and well apart from the finish.
    std::vector<size_t> stopAt;
    const size_t window = static_cast<size_t>(kTurnWindow / kStep);
    auto onRoute = [&](size_t i) { return planned.DistanceTo(driven.At(double(i) * kStep)) < kOffRoute; };
    for (int k = 1; k <= static_cast<int>(stops); ++k) {
        const size_t from = std::max<size_t>(
            static_cast<size_t>(double(steps) * k / (stops + 1)), stopAt.empty() ? 1 : stopAt.back() + 50);
        const size_t last = steps > 50 ? steps - 50 : 0;
        std::optional<size_t> at;
        for (size_t i = from; i < std::min(last, from + steps / 5) && !at; ++i)
            if (turn[i] >= 60 && i > from + window && onRoute(i - window))
                at = i - window;
        for (size_t i = from; i < last && !at; ++i)
            if (onRoute(i))
                at = i;
        if (at)
            stopAt.push_back(*at);
    }
    for (const size_t i : stopAt)
        limit[i] = 0;
    std::vector<double> v = limit;
    v.front() = 0;
    v.back() = 0;
    for (size_t i = 1; i < steps; ++i)
        v[i] = std::min(v[i], std::sqrt(v[i - 1] * v[i - 1] + 2 * kAcceleration * kStep));
    for (size_t i = steps - 1; i-- > 0;)
        v[i] = std::min(v[i], std::sqrt(v[i + 1] * v[i + 1] + 2 * kDeceleration * kStep));

    // When the car reaches each step and when it leaves it (s): it waits at
    // the start and at the stops.
    std::vector<double> reach(steps, kRestBefore), leave(steps, kRestBefore);
    for (size_t i = 1; i < steps; ++i) {
        reach[i] = leave[i - 1] + kStep / std::max(0.05, (v[i - 1] + v[i]) / 2);
        const bool stop = std::find(stopAt.begin(), stopAt.end(), i) != stopAt.end();
        leave[i] = reach[i] + (stop ? kStopSeconds : 0);
    }
    const int seconds = static_cast<int>(std::ceil(reach.back())) + kRestAfter;

    // One sample a second.
    std::vector<Sample> samples;
    double course = driven.Bearing(0);
    for (int k = 0; k <= seconds; ++k) {
        double s = length, speed = 0;
        if (k < reach.back()) {
            const size_t i = static_cast<size_t>(
                std::upper_bound(reach.begin(), reach.end(), double(k)) - reach.begin());
            const size_t a = i > 0 ? i - 1 : 0;
            if (i == 0 || k < leave[a]) {
                s = double(a) * kStep;
            } else {
                const double f = (k - leave[a]) / (reach[i] - leave[a]);
                s = std::min(length, (double(a) + f) * kStep);
                speed = v[a] + f * (v[i] - v[a]);
            }
        }
        if (speed > 0.3)
            course = driven.Bearing(s);
        else
            speed = 0;
        const Vec p = driven.At(s);
        samples.push_back({ plane.ToLatLon(p.x, p.y), speed, course, true });
    }

    int lossFrom = -1, lossTo = -1;
    if (fixLoss > 0) {
        lossFrom = seconds * 2 / 3;
        lossTo = std::min(seconds - 1, lossFrom + static_cast<int>(fixLoss));
        for (int k = lossFrom; k < lossTo; ++k)
            samples[size_t(k)].fix = false;
    }

    std::string log;
    for (int k = 0; k <= seconds; ++k) {
        UtcTime now;
        Advance(start, k, now);
        log += Second(talker, now, samples[size_t(k)], k);
    }
    std::ofstream out(outPath, std::ios::binary | std::ios::trunc);
    if (!out.write(log.data(), static_cast<std::streamsize>(log.size())) || !out.flush()) {
        std::fprintf(stderr, "drivegen: cannot write %s\n", outPath.c_str());
        return 1;
    }

    FILE* report = stdout;
    if (!reportPath.empty() && (report = std::fopen(reportPath.c_str(), "w")) == nullptr) {
        std::fprintf(stderr, "drivegen: cannot write %s\n", reportPath.c_str());
        return 1;
    }
    for (size_t i = 0; i < planned.Size(); ++i) {
        const LatLon p = plane.ToLatLon(planned.Point(i).x, planned.Point(i).y);
        std::fprintf(report, "route %.7f %.7f\n", p.lat, p.lon);
    }
    std::fprintf(report, "seconds %d\n", seconds + 1);
    for (const size_t i : stopAt)
        std::fprintf(report, "stop %d %d\n", static_cast<int>(std::ceil(reach[i])), kStopSeconds);
    if (detour > 0) {
        int leaves = -1, returns = -1;
        for (int k = 0; k <= seconds; ++k) {
            Vec p;
            plane.ToMetres(samples[size_t(k)].position, p.x, p.y);
            const bool off = planned.DistanceTo(p) > kOffRoute;
            if (off && leaves < 0)
                leaves = k;
            if (off)
                returns = k + 1;
        }
        std::fprintf(report, "detour %d %d\n", leaves, returns);
    }
    if (lossFrom >= 0)
        std::fprintf(report, "fixloss %d %d\n", lossFrom, lossTo);
    if (report != stdout && std::fclose(report) != 0) {
        std::fprintf(stderr, "drivegen: cannot write %s\n", reportPath.c_str());
        return 1;
    }
    return 0;
}

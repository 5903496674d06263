#include "gps/gps_source.h"

#include "app/device_config.h"
#include "foundation/plane_geometry.h"
#include "gps/gps_source_names.h"
#include "gps/nmea_share.h"
#include "kernel/api/map_geo.h"
#include "nav/map_controller.h"

#include <optional>

namespace {

// Ticks are 250 ms: while there is no fix the port is read every 2000 ms, and
// the tenth failed read in a row counts as a receiver that has gone.
constexpr int32_t kTickMs = 250;
constexpr int32_t kSkipLimitMs = 1900;
constexpr int32_t kFailureLimitMs = 2000;

// The default average: 5 samples of 20 km/h.
constexpr int32_t kDefaultSpeedSamples = 5;
constexpr double kDefaultSpeedSum = 100.0;

// The standing-still filter: a move under 100 m at under 2 km/h is noise; under
// 1 km/h the point stays put; a fix with a worse horizontal dilution is held.
constexpr double kStillMetres = 100.0;
constexpr double kStillKmh = 2.0;
constexpr double kStoppedKmh = 1.0;
constexpr double kWorstHdop = 25.0;

// Keeps the fix's position across a port opening, which resets the fix.
class PositionKeeper {
public:
    explicit PositionKeeper(CGpsFix* fix)
        : m_fix(fix)
        , m_saved(fix ? *fix : CGeoPos())
    {
    }
    ~PositionKeeper()
    {
        if (m_fix)
            static_cast<CGeoPos&>(*m_fix) = m_saved;
    }
    PositionKeeper(const PositionKeeper&) = delete;
    PositionKeeper& operator=(const PositionKeeper&) = delete;

private:
    CGpsFix* m_fix;
    CGeoPos m_saved;
};

} // namespace

int CGpsSource::MapLink::IsFixInsideMap(const CGeoPos& position)
{
    if (!g_MapController)
        return 0;
    CGeoPos shown;
    return g_MapController->IsFixInsideMap(position, shown);
}

bool CGpsSource::MapLink::GeoToMap(double longitude, double latitude, int32_t* x, int32_t* y)
{
    if (!g_MapController)
        return false;
    ZXS_Point point {};
    if (ZXS_GeoToMap(g_MapController->GetMapSet().ActiveMap(), longitude, latitude, &point) != 0)
        return false;
    *x = point.x;
    *y = point.y;
    return true;
}

bool SetExistingNmFile(QString& target, const QString& path)
{
    if (!IsReplayFile(path))
        return false;
    target = path;
    return true;
}

CGpsSource::CGpsSource(std::unique_ptr<CGpsPort> port, std::unique_ptr<MapLink> map)
    : m_port(port ? std::move(port) : std::make_unique<CGpsPort>())
    , m_map(map ? std::move(map) : std::make_unique<MapLink>())
{
    SetDefaults();
    m_positionChanged = 1;
    m_fix = nullptr;
    m_mapPositionValid = 0;
    m_speedSamples = 0;
    m_speedSum = 0.0;
    // Guidance and tracking ask the geometry for "the GPS position": it is this source's.
    SetGpsMapPositionHandler([this](bool takeLock, MapPoint& position) {
        std::optional<platform::CSLock> lock;
        if (takeLock)
            lock.emplace(m_lock);
        if (!m_mapPositionValid)
            return false;
        position = { m_mapX, m_mapY };
        return true;
    });
}

CGpsSource::~CGpsSource()
{
    SetGpsMapPositionHandler(nullptr);
    platform::CSLock lock(m_lock);
    m_port->GpsPortClose();
}

void CGpsSource::ResetFix()
{
    {
        platform::CSLock lock(m_lock);
        m_fix = m_port->GpsPortGetFix();
        ResetGpsFix(*m_fix);
    }
    NmeaShareSetEnabled(false);
}

void CGpsSource::SetDefaults()
{
    {
        platform::CSLock lock(m_lock);
        m_port->GpsPortClose();
        m_port->GpsPortSetReplayOptions(GpsReplayOptions {});
    }
    m_replayFile = QString::fromLatin1(kDefaultReplayFile);
    SetLogFileName(QString::fromLatin1(kDefaultLogFile));
    ResetAverageSpeed();
}

void CGpsSource::Poll()
{
    if (GetPortState() == GPS_PORT_CLOSED)
        return;
    platform::CSLock lock(m_lock);
    CGpsFix* fix = m_port->GpsPortGetFix();
    m_fix = fix;

    bool ok = true;
    if (fix->m_status == 'V') {
        m_skipMs += kTickMs;
        if (m_skipMs > kSkipLimitMs) {
            m_skipMs = 0;
            ok = m_port->GpsPortPoll() == GPS_S_OK;
        }
    } else {
        m_skipMs = 0;
        ok = m_port->GpsPortPoll() == GPS_S_OK;
    }

    if (m_previousPosition.IsEqual(*fix)) {
        m_positionChanged = 0;
    } else {
        m_previousPosition = *fix;
        m_positionChanged = 1;
    }

    if (!ok) {
        if (m_failureMs <= kFailureLimitMs) {
            m_failureMs += kTickMs;
        } else {
            m_failureMs = 0;
            fix->m_satellitesUsed = 0;
            fix->m_satellitesInView = 0;
            // A receiver that has gone silent (or a link that dropped) leaves
            // no fix behind, only where it was last.
            int32_t state = GPS_PORT_CLOSED;
            m_port->GpsPortGetState(&state);
            if (state == GPS_PORT_SERIAL || state == GPS_PORT_SERIAL_LOG)
                fix->m_status = 'V';
        }
    } else {
        m_failureMs = 0;
        if (fix->m_status != 'V') {
            ++m_speedSamples;
            m_speedSum += fix->m_speedKnots * kKnotsToKmh;
        }
    }

    FilterFix();
    // A fix outside the map stays where it was measured; it is only marked.
    m_fixOutsideMap = m_map->IsFixInsideMap(*fix) == 0;
    if (m_positionChanged)
        UpdateMapPosition();
}

int CGpsSource::FilterFix()
{
    platform::CSLock lock(m_lock);
    CGpsFix* fix = m_port->GpsPortGetFix();
    if (!m_filterStarted) {
        m_filterStarted = true;
        m_lastGood = *fix;
        m_savedCourse = fix->m_course;
    }
    const CGeoPos position = *fix;
    const double kmh = fix->m_speedKnots * kKnotsToKmh;
    const bool standingStill = m_lastGood.IsValid()
        && m_lastGood.DistanceToMetres(position, geo::kOwnLatitude) < kStillMetres && kmh < kStillKmh;
    if (!standingStill && fix->m_status != 'V' && position.IsValid() && fix->m_hdop <= kWorstHdop
        && m_map->IsFixInsideMap(position) != 0) {
        m_lastGood = position;
        m_savedCourse = fix->m_course;
        return 1;
    }
    fix->m_course = m_savedCourse;
    if (kmh < kStoppedKmh)
        static_cast<CGeoPos&>(*fix) = m_lastGood;
    else
        m_lastGood = position;
    return 0;
}

int CGpsSource::UpdateMapPosition()
{
    platform::CSLock lock(m_lock);
    int32_t x = 0, y = 0;
    if (m_fix && m_fix->IsValid()
        && m_map->GeoToMap(m_fix->GetLongitude().GetRadians(), m_fix->GetLatitude().GetRadians(), &x, &y)) {
        m_mapX = x;
        m_mapY = y;
        m_mapPositionValid = 1;
        return 1;
    }
    m_mapPositionValid = 0;
    return 0;
}

bool CGpsSource::OpenPort(int32_t number, int32_t baud)
{
    if (number == GPS_SOURCE_DRIVER) {
        QString name;
        return IsGpsIntermediateDriverPresent(&name) && OpenSource(name, baud, 1);
    }
    if (number == GPS_SOURCE_REPLAY)
        return StartReplay();
    if (number < 0 || number > 9) {
        // "None", or no source at all: nothing is opened, least of all a
        // device that happens to be called COM10.
        Close();
        return false;
    }
    platform::CSLock lock(m_lock);
    PositionKeeper keep(m_port->GpsPortGetFix());
    return m_port->GpsPortOpenByNumber(number, baud) == GPS_S_OK;
}

bool CGpsSource::OpenSource(const QString& name, int32_t baud, int byName)
{
    if (byName) {
        platform::CSLock lock(m_lock);
        PositionKeeper keep(m_port->GpsPortGetFix());
        return m_port->GpsPortOpenByName(name, baud, 1) == GPS_S_OK;
    }
    int32_t number = GPS_SOURCE_NONE;
    if (!ParseGpsSourceName(name, &number))
        return false;
    if (number == GPS_SOURCE_REPLAY)
        return true; // the replay starts through StartReplay
    return OpenPort(number, baud);
}

void CGpsSource::Close()
{
    platform::CSLock lock(m_lock);
    m_port->GpsPortClose();
}

int32_t CGpsSource::GetPortState()
{
    platform::CSLock lock(m_lock);
    int32_t state = GPS_PORT_CLOSED;
    m_port->GpsPortGetState(&state);
    return state;
}

bool CGpsSource::HasReplayFile() { return IsReplayFile(m_replayFile); }

bool CGpsSource::StartReplay()
{
    if (!HasReplayFile())
        return false;
    platform::CSLock lock(m_lock);
    return m_port->GpsPortOpenReplay(m_replayFile, POLL_PERIOD) == GPS_S_OK;
}

bool CGpsSource::SetReplayFileName(const QString& path) { return SetExistingNmFile(m_replayFile, path); }

bool CGpsSource::SetLogFileName(const QString& path)
{
    if (!IsLogFileName(path))
        return false;
    m_logFile = path;
    return true;
}

bool CGpsSource::StartLog()
{
    platform::CSLock lock(m_lock);
    return m_port->GpsPortStartLog(m_logFile) == GPS_S_OK;
}

bool CGpsSource::StopLog()
{
    platform::CSLock lock(m_lock);
    m_port->GpsPortStopLog();
    return true;
}

void CGpsSource::SetReplayOptions(int32_t reverse, int32_t loop, double speedFactor, int32_t reserved)
{
    platform::CSLock lock(m_lock);
    m_port->GpsPortSetReplayOptions({ reverse, loop, speedFactor, reserved });
}

void CGpsSource::GetReplayOptions(int32_t* reverse, int32_t* loop, double* speedFactor, int32_t* reserved)
{
    platform::CSLock lock(m_lock);
    const GpsReplayOptions options = m_port->GpsPortGetReplayOptions();
    *reverse = options.reverse;
    *loop = options.loop;
    *speedFactor = options.speedFactor;
    *reserved = options.reserved;
}

void CGpsSource::ResetAverageSpeed()
{
    platform::CSLock lock(m_lock);
    m_speedSamples = kDefaultSpeedSamples;
    m_speedSum = kDefaultSpeedSum;
}

double CGpsSource::GetAverageSpeed()
{
    platform::CSLock lock(m_lock);
    return m_speedSamples > 0 ? m_speedSum / m_speedSamples : 20.0;
}

void CGpsSource::SaveSettings(platform::Archive& archive)
{
    int32_t reverse = 0, loop = 0, reserved = 0;
    double speedFactor = 1.0;
    GetReplayOptions(&reverse, &loop, &speedFactor, &reserved);
    const int32_t state = GetPortState();
    archive.WriteInt32(reverse);
    archive.WriteInt32(loop);
    archive.WriteDouble(speedFactor);
    archive.WriteInt32(reserved);
    archive.WriteString(m_replayFile);
    archive.WriteString(m_logFile);
    archive.WriteInt32(state == GPS_PORT_SERIAL_LOG || state == GPS_PORT_REPLAY_LOG ? 1 : 0);
}

CGpsSource::SettingsBlock CGpsSource::ReadSettings(platform::Archive& archive)
{
    SettingsBlock block;
    block.reverse = archive.ReadInt32();
    block.loop = archive.ReadInt32();
    block.speedFactor = archive.ReadDouble();
    block.reserved = archive.ReadInt32();
    block.replayFile = archive.ReadString();
    block.logFile = archive.ReadString();
    block.logging = archive.ReadInt32();
    return block;
}

void CGpsSource::LoadSettings(platform::Archive& archive)
{
    // The whole block is read before anything is applied: a short block
    // changes nothing. The log is not restarted by loading settings.
    const SettingsBlock block = ReadSettings(archive);
    SetReplayOptions(block.reverse, block.loop, block.speedFactor, block.reserved);
    SetExistingNmFile(m_replayFile, block.replayFile);
    SetLogFileName(block.logFile);
}

#include "gps/gps_port.h"

#include "foundation/path_helpers.h"
#include "gps/nmea_share.h"
#include "platform/paths.h"

#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Opens a file for the port layer: never shared, like every file the device opens without sharing.
platform::UniqueFd OpenExclusive(const QString& devicePath, int flags)
{
    const QByteArray local = platform::DevicePathToLocal(devicePath).toLocal8Bit();
    platform::UniqueFd file(::open(local.constData(), flags | O_CLOEXEC, 0644));
    if (file && ::flock(file.Get(), LOCK_EX | LOCK_NB) != 0)
        file.Reset();
    return file;
}

// Reads exactly `size` bytes at `offset` unless the file ends first; the count, -1 on failure.
int64_t ReadAt(int fd, char* buffer, int64_t size, int64_t offset)
{
    int64_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, buffer + done, static_cast<size_t>(size - done), offset + done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += n;
    }
    return done;
}

// "$xxRMC" with any two-letter talker.
bool IsRmcTag(const char* p)
{
    const auto upper = [](char c) { return c >= 'A' && c <= 'Z'; };
    return p[0] == '$' && upper(p[1]) && upper(p[2]) && p[3] == 'R' && p[4] == 'M' && p[5] == 'C';
}

constexpr int64_t kTag = 6;
constexpr int64_t kSearchChunk = 4096;

} // namespace

double ClampReplaySpeedFactor(double factor)
{
    if (!std::isfinite(factor))
        return 1.0;
    return std::clamp(
        factor, kReplaySpeedFactors[0], kReplaySpeedFactors[std::size(kReplaySpeedFactors) - 1]);
}

bool IsReplayFile(const QString& path)
{
    if (GetFileExtension(path).compare(QLatin1String("nm"), Qt::CaseInsensitive) != 0)
        return false;
    const QFileInfo info(platform::DevicePathToLocal(path));
    return info.exists() && info.isFile();
}

bool IsLogFileName(const QString& path) { return GetFileExtension(path) == QLatin1String("nm"); }

CGpsPort::CGpsPort(CGpsFix& fix)
    : m_fix(fix)
{
}

CGpsPort::~CGpsPort() { GpsPortClose(); }

void CGpsPort::ResetForOpening()
{
    m_fix.m_sentenceInterval = 1;
    ResetGpsFix(m_fix);
    m_reader.Reset();
}

int32_t CGpsPort::GpsPortOpenByNumber(int32_t number, int32_t baud)
{
    return GpsPortOpenByName(QStringLiteral("COM%1:").arg(static_cast<uint8_t>(number)), baud, 0);
}

int32_t CGpsPort::GpsPortOpenByName(const QString& name, int32_t baud, int32_t keepLine)
{
    GpsPortClose();
    ResetForOpening();
    m_replayMode = false;
    if (CGpsdClient::IsGpsdName(name)) {
        auto gpsd = std::make_unique<CGpsdClient>();
        if (!gpsd->Open(name))
            return GPS_E_FAIL;
        m_gpsd = std::move(gpsd);
    } else {
        auto serial = std::make_unique<platform::SerialPort>();
        if (!serial->Open(name, baud, keepLine != 0))
            return GPS_E_FAIL;
        m_serial = std::move(serial);
    }
    m_state = GPS_PORT_SERIAL;
    NmeaShareOnSourceOpened(m_state);
    return GPS_S_OK;
}

int32_t CGpsPort::GpsPortOpenReplay(const QString& path, int32_t pacing)
{
    if (!IsReplayFile(path) || pacing < 1)
        return GPS_E_FAIL;
    m_replayFile = path;
    m_pacing = pacing;
    GpsPortClose();
    ResetForOpening();
    m_replayMode = true;
    m_replayFd = OpenExclusive(path, O_RDONLY);
    if (!m_replayFd)
        return GPS_E_FAIL;
    m_replayPos = 0;
    m_elapsed = 0.0;
    if (m_options.reverse) {
        struct stat info { };
        if (::fstat(m_replayFd.Get(), &info) != 0) {
            GpsPortClose();
            return GPS_E_FAIL;
        }
        m_replayPos = info.st_size;
    }
    m_state = GPS_PORT_REPLAY;
    NmeaShareOnSourceOpened(m_state);
    return GPS_S_OK;
}

int32_t CGpsPort::GpsPortClose()
{
    GpsPortStopLog();
    m_serial.reset();
    m_gpsd.reset();
    m_replayFd.Reset();
    m_state = GPS_PORT_CLOSED;
    NmeaShareOnSourceClosed();
    return GPS_S_OK;
}

int32_t CGpsPort::GpsPortStartLog(const QString& path)
{
    // A log records a source: with none open there is nothing to record.
    if (!IsLogFileName(path) || m_state == GPS_PORT_CLOSED)
        return GPS_E_FAIL;
    platform::UniqueFd log = OpenExclusive(path, O_WRONLY | O_CREAT | O_APPEND);
    if (!log)
        return GPS_E_FAIL;
    GpsPortStopLog();
    m_logFile = path;
    m_logFd = std::move(log);
    m_logging = true;
    m_state = m_replayMode ? GPS_PORT_REPLAY_LOG : GPS_PORT_SERIAL_LOG;
    return GPS_S_OK;
}

int32_t CGpsPort::GpsPortStopLog()
{
    m_logFd.Reset();
    m_logging = false;
    if (m_state == GPS_PORT_SERIAL_LOG || m_state == GPS_PORT_REPLAY_LOG)
        m_state = m_replayMode ? GPS_PORT_REPLAY : GPS_PORT_SERIAL;
    return GPS_S_OK;
}

int32_t CGpsPort::GpsPortGetState(int32_t* state) const
{
    *state = m_state;
    return GPS_S_OK;
}

void CGpsPort::GpsPortSetReplayOptions(const GpsReplayOptions& options)
{
    m_options = options;
    m_options.speedFactor = ClampReplaySpeedFactor(options.speedFactor);
}

GpsReplayOptions CGpsPort::GpsPortGetReplayOptions() const { return m_options; }

int CGpsPort::InputFd() const { return m_serial ? m_serial->Fd() : m_gpsd ? m_gpsd->Fd() : -1; }

int32_t CGpsPort::GpsPortPoll()
{
    const int result = ReadNmea();
    if (m_state == GPS_PORT_CLOSED)
        NmeaShareOnSourceClosed();
    if (result != 1)
        return GPS_E_FAIL;
    NmeaShareOnFixRead(m_fix);
    return GPS_S_OK;
}

int CGpsPort::ReadNmea()
{
    if (m_serial || m_gpsd)
        return ReadLive();
    if (m_replayFd.IsOpen())
        return ReadReplay();
    return 0;
}

void CGpsPort::AppendToLog(const char* data, size_t size)
{
    if (!m_logging || !m_logFd)
        return;
    while (size > 0) {
        const ssize_t n = ::write(m_logFd.Get(), data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            // A log that cannot take the bytes (a full disk) stops rather than
            // claim to record what it lost.
            GpsPortStopLog();
            return;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
}

int CGpsPort::ReadLive()
{
    m_buffer.resize(MAX_READ);
    size_t total = 0;
    while (total < m_buffer.size()) {
        const ssize_t n = m_serial ? m_serial->Read(m_buffer.data() + total, m_buffer.size() - total)
                                   : m_gpsd->Read(m_buffer.data() + total, m_buffer.size() - total);
        if (n <= 0)
            break;
        total += static_cast<size_t>(n);
    }
    if (total == 0)
        return 0;
    AppendToLog(m_buffer.data(), total);
    const int sentences = m_reader.Feed(std::string_view(m_buffer.data(), total), m_fix);
    return sentences > 0 ? 1 : 0;
}

int CGpsPort::ReadReplay()
{
    if (m_pacing < 0)
        return 0;
    if (m_pollPeriod < 0.0)
        m_pollPeriod = m_pacing / 1000.0;
    // At most one block per poll; the user's factor itself stays as chosen.
    const double interval = m_fix.m_sentenceInterval;
    double factor = m_options.speedFactor;
    if (interval != 0.0 && interval / m_pollPeriod < factor)
        factor = interval / m_pollPeriod;
    const double due = (1.0 / factor) * interval;
    if (m_elapsed < due) {
        m_elapsed += m_pollPeriod;
        return 0;
    }

    int64_t start = 0, length = 0;
    if (!NextBlock(&start, &length)) {
        const bool wasLogging = m_logging;
        const QString log = m_logFile;
        GpsPortClose();
        if (m_options.loop && GpsPortOpenReplay(m_replayFile, m_pacing) == GPS_S_OK && wasLogging)
            GpsPortStartLog(log);
        return 2;
    }
    m_buffer.resize(static_cast<size_t>(length));
    if (ReadAt(m_replayFd.Get(), m_buffer.data(), length, start) != length)
        return 0;
    m_replayPos = m_options.reverse ? start : start + length;
    m_elapsed = m_pollPeriod;
    AppendToLog(m_buffer.data(), static_cast<size_t>(length));
    m_reader.Feed(std::string_view(m_buffer.data(), static_cast<size_t>(length)), m_fix);
    return 1;
}

bool CGpsPort::NextBlock(int64_t* start, int64_t* length)
{
    struct stat info { };
    if (::fstat(m_replayFd.Get(), &info) != 0)
        return false;
    const int64_t size = info.st_size;
    if (!m_options.reverse) {
        if (m_replayPos >= size)
            return false;
        const int64_t tag = FindRmcForward(m_replayPos + 1);
        const int64_t end = tag < 0 ? size : tag;
        *start = m_replayPos;
        *length = std::min(end - m_replayPos, static_cast<int64_t>(MAX_BLOCK));
        return true;
    }
    const int64_t before = std::min(m_replayPos, size);
    if (before <= 0)
        return false;
    const int64_t tag = FindRmcBackward(before);
    *start = std::max(tag < 0 ? 0 : tag, before - static_cast<int64_t>(MAX_BLOCK));
    *length = before - *start;
    return true;
}

int64_t CGpsPort::FindRmcForward(int64_t from) const
{
    std::vector<char> chunk(static_cast<size_t>(kSearchChunk + kTag - 1));
    for (int64_t at = from;; at += kSearchChunk) {
        const int64_t n = ReadAt(m_replayFd.Get(), chunk.data(), static_cast<int64_t>(chunk.size()), at);
        if (n < kTag)
            return -1;
        // Chunks overlap by a tag's length less one, so no tag is split.
        for (int64_t i = 0; i + kTag <= n && i < kSearchChunk; ++i) {
            if (IsRmcTag(chunk.data() + i))
                return at + i;
        }
        if (n < static_cast<int64_t>(chunk.size()))
            return -1;
    }
}

int64_t CGpsPort::FindRmcBackward(int64_t before) const
{
    std::vector<char> chunk(static_cast<size_t>(kSearchChunk + kTag - 1));
    int64_t end = before;
    while (end > 0) {
        const int64_t start = std::max<int64_t>(0, end - static_cast<int64_t>(chunk.size()));
        const int64_t n = ReadAt(m_replayFd.Get(), chunk.data(), end - start, start);
        if (n != end - start)
            return -1;
        for (int64_t i = n - kTag; i >= 0; --i) {
            if (IsRmcTag(chunk.data() + i))
                return start + i;
        }
        if (start == 0)
            break;
        end = start + kTag - 1;
    }
    return -1;
}

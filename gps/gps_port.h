#pragma once
// The GPS port layer: the one open GPS source (a serial port, gpsd, or an
// NMEA log replayed as if a receiver sent it), the NMEA log that may record
// every byte read from it, and the live fix it fills. It has no thread of its
// own: the 250 ms tick polls it through the GPS source, which holds
// g_gpsFixLock around every call. Entry points answer GPS_S_OK or GPS_E_FAIL.
//
// A poll drains what a live source has (never a fixed read that lets the
// port's queue fill); it succeeds when the read brought at least one whole
// sentence, so a receiver that falls silent shows as failing polls. A replay
// reads one block per due tick: the bytes from one RMC sentence (any talker)
// to the next, paced by the RMC interval and the speed factor, forwards or
// from the end backwards, the file's last block included; a file that is
// replayed to its end closes, or with loop starts again.
#include "gps/gps_fix.h"
#include "gps/gpsd_client.h"
#include "gps/nmea_reader.h"
#include "platform/serial_port.h"

#include "platform/unique_fd.h"
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

inline constexpr int32_t GPS_S_OK = 0;
inline constexpr int32_t GPS_E_FAIL = static_cast<int32_t>(0x80004005u);

enum : int32_t {
    GPS_PORT_CLOSED = 0,
    GPS_PORT_SERIAL = 1, // a serial port or gpsd
    GPS_PORT_REPLAY = 2,
    GPS_PORT_SERIAL_LOG = 3,
    GPS_PORT_REPLAY_LOG = 4,
};

struct GpsReplayOptions {
    int32_t reverse = 0; // read from the end of the file backwards
    int32_t loop = 0; // start again when the file is exhausted
    double speedFactor = 1.0; // "times faster"
    int32_t reserved = 0; // kept and returned, used nowhere
    bool operator==(const GpsReplayOptions&) const = default;
};

// The replay speeds the user chooses from; every factor the port takes is
// clamped to their range (a factor that is not a number is 1).
inline constexpr double kReplaySpeedFactors[] = { 0.25, 0.5, 1.0, 2.0, 4.0 };
double ClampReplaySpeedFactor(double factor);

// The one rule for replay files: an existing file (not a folder) whose
// extension is "nm" in any case.
bool IsReplayFile(const QString& path);
// The rule for log files: the extension is exactly "nm" (the file need not exist).
bool IsLogFileName(const QString& path);

class CGpsPort {
public:
    // The most a poll takes from a live source.
    enum : size_t { MAX_READ = 65536 };
    // The longest replay block; a longer stretch without RMC is read in pieces.
    enum : int64_t { MAX_BLOCK = 65536 };

    explicit CGpsPort(CGpsFix& fix = g_gpsFix);
    virtual ~CGpsPort();
    CGpsPort(const CGpsPort&) = delete;
    CGpsPort& operator=(const CGpsPort&) = delete;

    // "COM%d:" with the number; the port's line set to 8N1 at `baud`.
    virtual int32_t GpsPortOpenByNumber(int32_t number, int32_t baud);
    // A port by name: "COMn:", a device path, or gpsd ("gpsd://host:port").
    // With keepLine the port's line settings are left as its driver has them.
    virtual int32_t GpsPortOpenByName(const QString& name, int32_t baud, int32_t keepLine);
    // A replay file (device or local path) paced for polls `pacing` ms apart.
    virtual int32_t GpsPortOpenReplay(const QString& path, int32_t pacing);
    virtual int32_t GpsPortClose();
    // Starts appending every byte read to the log; needs an open source, and
    // fails, keeping a running log, when the file cannot be had exclusively.
    virtual int32_t GpsPortStartLog(const QString& path);
    virtual int32_t GpsPortStopLog();
    virtual int32_t GpsPortPoll();
    virtual int32_t GpsPortGetState(int32_t* state) const;
    CGpsFix* GpsPortGetFix() { return &m_fix; }
    virtual void GpsPortSetReplayOptions(const GpsReplayOptions& options);
    virtual GpsReplayOptions GpsPortGetReplayOptions() const;

    const CNmeaReader& Reader() const { return m_reader; }
    // The descriptor a live source's input arrives on, for callers that wait
    // for input (tools, tests) rather than poll on a tick; -1 without one.
    int InputFd() const;

protected:
    // One read of a poll: 0 nothing read (or a failed read), 1 read, 2 the
    // replay file is exhausted.
    int ReadNmea();

private:
    void ResetForOpening();
    int ReadLive();
    int ReadReplay();
    // The next (or, in reverse, previous) block's place in the replay file;
    // false when the file has none left.
    bool NextBlock(int64_t* start, int64_t* length);
    int64_t FindRmcForward(int64_t from) const;
    int64_t FindRmcBackward(int64_t before) const;
    void AppendToLog(const char* data, size_t size);

    CGpsFix& m_fix;
    CNmeaReader m_reader;
    int32_t m_state = GPS_PORT_CLOSED;
    bool m_replayMode = false;
    bool m_logging = false;
    GpsReplayOptions m_options;
    int32_t m_pacing = -1;
    double m_pollPeriod = -1.0; // seconds, fixed at the first replay read
    double m_elapsed = 0.0;
    QString m_replayFile;
    QString m_logFile;

    std::unique_ptr<platform::SerialPort> m_serial;
    std::unique_ptr<CGpsdClient> m_gpsd;
    platform::UniqueFd m_replayFd;
    int64_t m_replayPos = 0; // forwards: the next block's start; backwards: the last block's
    platform::UniqueFd m_logFd;
    std::vector<char> m_buffer;
};

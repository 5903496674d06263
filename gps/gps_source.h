#pragma once
// The GPS source: the application's owner of GPS input. It opens and closes
// sources through the port layer, is polled by the 250 ms tick, filters
// standing-still noise out of the fix, marks a fix that lies outside the map,
// converts the fix into map coordinates for everyone else, keeps the running
// average speed and reads and writes its block of the settings file.
//
// Every call into the port layer, and the whole of a poll, holds g_gpsFixLock.
// Only the user-interface thread calls these operations.
#include "gps/gps_fix.h"
#include "gps/gps_port.h"
#include "platform/archive.h"
#include "platform/process_object.h"

#include <QString>
#include <cstdint>
#include <memory>

class CGpsSource {
public:
    // What the source asks of the map: whether a position lies inside the
    // map's geographic rectangle (never moving it) and where it lies in map
    // units. The default asks the map controller and the kernel.
    class MapLink {
    public:
        virtual ~MapLink() = default;
        // 1 inside the map; 0 outside or while no map is open.
        virtual int IsFixInsideMap(const CGeoPos& position);
        virtual bool GeoToMap(double longitude, double latitude, int32_t* x, int32_t* y);
    };

    static constexpr const char* kDefaultReplayFile = "\\My Documents\\NMEALogRead.nm";
    static constexpr const char* kDefaultLogFile = "\\My Documents\\NMEALogWrite.nm";
    // The tick period, which paces a replay.
    enum : int32_t { POLL_PERIOD = 250 };

    explicit CGpsSource(std::unique_ptr<CGpsPort> port = nullptr, std::unique_ptr<MapLink> map = nullptr);
    ~CGpsSource();
    CGpsSource(const CGpsSource&) = delete;
    CGpsSource& operator=(const CGpsSource&) = delete;

    void ResetFix();
    void SetDefaults();
    void Poll();
    // Sources 0-9 are serial ports, 11 starts the replay, 12 opens the
    // platform's GPS driver; 10 ("none") closes the source and opens nothing.
    // The fix's position survives the opening.
    bool OpenPort(int32_t number, int32_t baud);
    bool OpenSource(const QString& name, int32_t baud, int byName);
    void Close();
    int32_t GetPortState();
    bool StartReplay();
    bool HasReplayFile();
    // The replay file, taken only when it names one (SetExistingNmFile).
    bool SetReplayFileName(const QString& path);
    bool SetLogFileName(const QString& path);
    QString GetReplayFileName() const { return m_replayFile; }
    QString GetLogFileName() const { return m_logFile; }
    bool StartLog();
    bool StopLog();
    void SetReplayOptions(int32_t reverse, int32_t loop, double speedFactor, int32_t reserved);
    void GetReplayOptions(int32_t* reverse, int32_t* loop, double* speedFactor, int32_t* reserved);
    void GetMapPosition(int32_t* x, int32_t* y) const
    {
        *x = m_mapX;
        *y = m_mapY;
    }
    int32_t IsMapPositionValid() const { return m_mapPositionValid; }
    int UpdateMapPosition();
    void ResetAverageSpeed();
    double GetAverageSpeed();
    void OnFrame() { }
    // Whether the last poll found the fix outside the map (or no map open).
    bool IsFixOutsideMap() const { return m_fixOutsideMap; }
    // The standing-still filter; 1 when the fix was taken as a new good position.
    int FilterFix();

    // The GPS block of the settings file: replay options, replay and log
    // file names and whether the log was being written.
    struct SettingsBlock {
        int32_t reverse = 0;
        int32_t loop = 0;
        double speedFactor = 1.0;
        int32_t reserved = 0;
        QString replayFile;
        QString logFile;
        int32_t logging = 0;
    };
    void SaveSettings(platform::Archive& archive);
    void LoadSettings(platform::Archive& archive);
    // The block as read, nothing applied (the settings reader checks a whole
    // file before it applies any of it).
    static SettingsBlock ReadSettings(platform::Archive& archive);

    CGpsPort& Port() { return *m_port; }

private:
    friend bool SetExistingNmFile(QString& target, const QString& path);

    QString m_replayFile;
    QString m_logFile;
    int32_t m_speedSamples = 0;
    double m_speedSum = 0.0; // km/h
    CGpsFix* m_fix = nullptr; // the port layer's live fix once ResetFix ran
    platform::CriticalSection& m_lock = g_gpsFixLock;
    int32_t m_positionChanged = 1;
    int32_t m_mapX = 0;
    int32_t m_mapY = 0;
    int32_t m_mapPositionValid = 0;

    std::unique_ptr<CGpsPort> m_port;
    std::unique_ptr<MapLink> m_map;
    bool m_fixOutsideMap = true;
    // The poll's memory: the previous poll's position, the time skipped while
    // there is no fix and the time of failed reads (ms).
    CGeoPos m_previousPosition;
    int32_t m_skipMs = 0;
    int32_t m_failureMs = 0;
    // The filter's memory: the last good position and the course held with it.
    bool m_filterStarted = false;
    CGeoPos m_lastGood;
    double m_savedCourse = 0.0;
};

// Sets the target to the path when the path names a replay file (an existing
// file with the extension "nm" in any case); false, unchanged, otherwise.
bool SetExistingNmFile(QString& target, const QString& path);

inline platform::ProcessObject<CGpsSource> g_gpsSource;

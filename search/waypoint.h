#pragma once
// The user's waypoints: the waypoint record, the one waypoint list with its
// proximity alerts, and the playing of a waypoint's sound. The list's file is
// waypoint_file.cpp; the voice recorder of the waypoint dialogs is
// voice_recorder.h.
#include "foundation/geo_pos.h"
#include "platform/process_object.h"

#include <QString>
#include <cstdint>
#include <vector>

inline constexpr int32_t kNoMapCoordinate = 0x8000000;

// A waypoint: a named point with a type (a POI category or a colour name)
// that chooses its symbol. Copied freely; the list keeps copies.
class CWaypoint {
public:
    CWaypoint() = default;
    CWaypoint(const CWaypoint&) = default;
    // Copies every member; assignment to itself changes nothing.
    CWaypoint& operator=(const CWaypoint& other);

    // The alerts' identity: name, type, file path, position (both valid and
    // exactly equal), altitude and both times. Sound, address, ids and map
    // coordinates take no part.
    bool operator==(const CWaypoint& other) const;

    QString m_name;
    QString m_type; // a POI category name or a colour name
    int32_t m_bitmapId = 0; // derived from the type when the waypoint is added
    int32_t m_iconId = 0;
    QString m_filePath; // the waypoint file it was loaded from or last saved to
    QString m_soundPath; // played on approach; may be empty
    QString m_address; // found when added; empty when the waypoint lies beyond the map
    CGeoPos m_position;
    // Kept through copies and nothing more.
    uint32_t m_extraValue = 0;
    uint16_t m_extraCount = 1;
    uint8_t m_extraByte1 = 0;
    uint8_t m_extraByte2 = 0;
    int32_t m_mapX = kNoMapCoordinate;
    int32_t m_mapY = kNoMapCoordinate;
    double m_altitude = 0.0; // metres
    int64_t m_firstTime = 0; // seconds since 1970
    int64_t m_secondTime = 0;
};

class CWaypointListBase {
public:
    CWaypointListBase() = default;
    virtual ~CWaypointListBase() = default;
    CWaypointListBase(const CWaypointListBase&) = delete;
    CWaypointListBase& operator=(const CWaypointListBase&) = delete;

    // Whether an alert pass is due now: the base answers the alerts switch.
    virtual int IsAlertDue();
    // Called after every alert pass.
    virtual void OnAlertCheckDone() { }
    // The squared distance the alerts compare with the squared radius.
    virtual double SquaredDistance(const CGeoPos& fix, const CWaypoint& waypoint);
    virtual int RemoveAt(int index);
    virtual void RemoveAll();
    // Adds a waypoint; the base appends it unchecked. Returns its index, -1 refused.
    virtual int Add(CWaypoint& waypoint) { return Append(waypoint); }
    // Appends the waypoints of a waypoint file; 1 when the file was read.
    virtual int LoadFile(const QString& path, int mode);

    int Append(const CWaypoint& waypoint);
    CWaypoint* GetAt(int index);
    const CWaypoint* GetAt(int index) const;
    int GetWaypointCount() const { return static_cast<int>(m_waypoints.size()); }

    // The alert radius of a new list and of the settings' defaults: 160 m.
    static constexpr double kDefaultAlertRadius = 0.00144;
    double GetAlertRadius() const { return m_alertRadius; }
    void SetAlertRadius(double degrees) { m_alertRadius = degrees; }
    int32_t GetAlertsOn() const { return m_alertsOn; }
    void SetAlertsOn(int32_t on) { m_alertsOn = on; }

protected:
    std::vector<CWaypoint> m_waypoints;
    double m_alertRadius = kDefaultAlertRadius; // degrees of arc
    int32_t m_alertsOn = 1;
};

class CWaypointList : public CWaypointListBase {
public:
    // Every 8th call while alerts are on.
    int IsAlertDue() override;
    // The fix's weighted angular distance to the waypoint, in degrees, squared.
    double SquaredDistance(const CGeoPos& fix, const CWaypoint& waypoint) override;
    // Computes the waypoint's map point, address and symbol ids and appends a
    // copy: -1 (refused) for an invalid position, a point off the map, or a
    // place with no addressable object near it. The caller's record keeps
    // what was computed either way.
    int Add(CWaypoint& waypoint) override;
    int LoadFile(const QString& path, int mode) override;

    // Writes every waypoint in list order; 0 when the file cannot be written
    // (the old file then stays as it was).
    int SaveFile(const QString& path, int mode);
    // Loads every file of folder + mask; 1 when all loaded (or none matched).
    int LoadFolder(const QString& folder, const QString& mask, int mode);

    // Adds a waypoint of type "Синий" at the current GPS fix; the index, or
    // -1 when it was refused.
    int AddAtGpsFix();
    // North-west and south-east corners over the waypoints with a valid
    // position; 0 when there is none.
    int GetBounds(CGeoPos& northWest, CGeoPos& southEast) const;
    // The 250 ms tick's alert pass: each waypoint sounds once when the fix
    // comes within the alert radius. 0 when no pass was due.
    int CheckProximityAlerts();

    // The default waypoint file did not load at start-up: the save at exit
    // then keeps it (see SaveDefaultWaypoints).
    bool IsDefaultFileUnread() const { return m_defaultFileUnread; }
    void SetDefaultFileUnread(bool unread) { m_defaultFileUnread = unread; }

private:
    // Whether the alert pass may use the fix; a lost fix alerts nothing.
    static bool CanUseFix(const CGeoPos& fix, char status);

    int32_t m_tickCounter = 0;
    std::vector<CWaypoint> m_alerted; // in range at the last pass
    bool m_defaultFileUnread = false;
};

inline platform::ProcessObject<CWaypointList> g_waypoints;

// Plays the waypoint's ".wav" file, else the program's waypoint chime (WAVE resource 520).
void PlayWaypointSound(const CWaypoint& waypoint);

inline constexpr int IDR_WAVE_WAYPOINT = 520;

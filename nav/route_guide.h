#pragma once
// Guidance along the computed route: the guide nodes taken from the kernel
// router's route points, each with its distance to the end, and among them the
// maneuver nodes with the picture of their turn; the answers the maneuver
// panel, the diagrams and the map drawing ask for (next maneuvers and their
// distances, remaining distance, route rectangle); and the tracking of the GPS
// position along the route with its notices and voice prompts.
//
// The guidance has no lock of its own: every caller holds the route's point
// lock. Tracking and prompts run on the user-interface thread; the prompts
// are spoken by an audio worker so that the tick never waits for a sound.
#include "foundation/geo_pos.h"
#include "foundation/plane_geometry.h"
#include "kernel/api/map_handle.h"
#include "kernel/api/types.h"
#include "nav/voice_prompts.h"
#include "ui/screen_element.h"

#include <cstdint>
#include <vector>

class CRoute;

// Picture ids of the maneuvers.
enum : int32_t {
    PICTURE_NONE = 13300,
    PICTURE_START = 13301,
    PICTURE_FINISH = 13302,
    PICTURE_FIRST_VIA = 13330,
    PICTURE_LATER_VIA = 13331,
};

struct GuideNode {
    // Maneuver bits; the value / 8 is the picture index.
    enum : uint16_t { MANEUVER = 0x1, FORK = 0x2, CANDIDATE = 0x1 };
    // Router marks copied from the route point.
    enum : uint8_t {
        LEG_START = 0x01,
        START_PROJECTION = 0x02,
        JUNCTION_ENTRY = 0x08,
        FINISH_PROJECTION = 0x20,
        LEG_END = 0x40,
    };

    CGeoPos position;
    int32_t distanceToEnd = 0; // metres along the route
    uint16_t maneuver = CANDIDATE;
    uint8_t branches = 0;
    uint8_t flags = 0;
    int32_t x = 0x8000000;
    int32_t y = 0x8000000;
    int32_t object = -1; // the road element the route point lies on

    MapPoint Point() const { return { x, y }; }
    bool IsManeuver() const { return (maneuver & MANEUVER) != 0; }
    bool IsFork() const { return (maneuver & FORK) != 0; }
    bool IsPlainManeuver() const { return (maneuver & (MANEUVER | FORK)) == MANEUVER; }
    int32_t Picture() const { return PICTURE_NONE + maneuver / 8; }
    // A junction: the router counted more branches where the route entered the road.
    bool IsJunction() const { return branches >= ((flags & JUNCTION_ENTRY) ? 3 : 2); }
};

struct ManeuverInfo {
    int32_t picture = PICTURE_NONE;
    int32_t distance = -1;
    int32_t node = -1;
};

struct GuideRect {
    int32_t left = -1;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool IsEmpty() const { return left == -1; }
};

// The picture of a turn from the signed squared cosine of the interior angle
// and the side of the turn (1 left or on the line, 2 right).
int32_t ManeuverPicture(double signedSquaredCos, int side);

class CRouteGuide : public CScreenElement {
public:
    enum : int {
        DONE_FIRST = 0,
        DONE_SECOND = 1,
        DONE_FINAL = 2,
    };
    static constexpr double kDefaultCorridor = 70.0;
    static constexpr double kDefaultSensitivity = 0.72;
    // The distances a prompt can be given at, metres.
    static constexpr int32_t kPromptDistances[19]
        = { 30, 40, 50, 60, 70, 80, 90, 100, 120, 140, 160, 180, 200, 250, 300, 350, 400, 450, 500 };

    // The route tells whether a computed route exists.
    explicit CRouteGuide(const CRoute* route);
    ~CRouteGuide() override;
    CRouteGuide(const CRouteGuide&) = delete;
    CRouteGuide& operator=(const CRouteGuide&) = delete;

    int SetSurface(CDrawTool* surface) override;

    // Nodes from the route the map view's router holds; 0 when there is none.
    int Build();
    // Nodes from the given route points of the map.
    int BuildFromRoutePoints(std::vector<CZXS_RoutePoint> points, const CZXS_MapHandle* map);
    void Reset();

    int32_t FindNextManeuver(int32_t from);
    int32_t GetManeuverPicture(int32_t from);
    int GetNextManeuvers(ManeuverInfo* entries, int count);
    int FillManeuverDistances(ManeuverInfo* entries, int count);
    double GetRemainingDistance() const;
    int32_t FindNearestNode() const;
    GuideRect GetRectFrom(int32_t first, int32_t last) const;
    int GetRouteRect(GuideRect& rect) const;
    int GetCurrentNodePosition(CGeoPos& position) const;

    const std::vector<GuideNode>& GetNodes() const { return m_nodes; }
    int NodeCount() const { return static_cast<int>(m_nodes.size()); }
    int IsOnRoute() const { return m_onRoute; }
    int32_t GetCurrentNode() const { return m_current; }
    double GetDistanceToCurrentNode() const { return m_distanceToCurrent; }
    double GetCorridorWidth() const { return m_corridor; }
    void SetCorridorWidth(double metres) { m_corridor = metres; }
    double GetSensitivity() const { return m_sensitivity; }
    void SetSensitivity(double value) { m_sensitivity = value; }
    int GetForksOnly() const { return m_forksOnly; }
    // Also makes the next-maneuver search start afresh.
    void SetForksOnly(int on);
    void InvalidateManeuverCache() { m_cacheFlags |= 1; }
    void ClearPromptFlags();

    // Tracking and prompts.
    int Track();
    void UpdatePrompts();
    int IsAtManeuver(int32_t n) const;
    void SayManeuver(int32_t picture, int32_t distance, int32_t& done, bool final);
    void SayDistancePrompt(int32_t picture, double distanceToManeuver, int32_t threshold, int32_t& done);
    void SetOnRoute(int onRoute);

    void SetFirstPromptOn(int on) { m_firstOn = on; }
    int IsFirstPromptOn() const { return m_firstOn; }
    void SetSecondPromptOn(int on) { m_secondOn = on; }
    int IsSecondPromptOn() const { return m_secondOn; }
    // Switching it off also ends any pending repeat.
    void SetFinalPromptOn(int on);
    int IsFinalPromptOn() const { return m_finalOn; }
    void SetFirstPromptDistance(int32_t metres) { m_firstDistance = metres; }
    int32_t GetFirstPromptDistance() const { return m_firstDistance; }
    void SetSecondPromptDistance(int32_t metres) { m_secondDistance = metres; }
    int32_t GetSecondPromptDistance() const { return m_secondDistance; }
    void SetRepeatCount(uint8_t count) { m_repeatCount = count; }
    uint8_t GetRepeatCount() const { return m_repeatCount; }

    CVoicePrompts& Prompts() { return m_prompts; }

private:
    bool HasRoute() const;
    void RemoveDuplicates();
    void ShowRouteNotice(bool onRoute) const;
    void TrackOffRoute(const MapPoint& p, bool moved, bool guiding);
    void TrackOnRoute(const MapPoint& p);
    int32_t FindNearestPolylineSegment(
        const MapPoint& p, int32_t& current, int32_t first, int32_t last, double s, double t) const;

    const CRoute* m_route;
    std::vector<GuideNode> m_nodes;
    GuideRect m_rect;
    int m_onRoute = 0;
    int32_t m_current = 0;
    double m_corridor = kDefaultCorridor;
    double m_sensitivity = kDefaultSensitivity;
    int32_t m_done[3] = { 0, 0, 0 };
    int m_firstOn = 1;
    int m_secondOn = 1;
    int m_finalOn = 1;
    int32_t m_firstDistance = 160;
    int32_t m_secondDistance = 80;
    uint8_t m_repeatCount = 2;
    uint8_t m_repeatCounter = 10;
    double m_distanceToCurrent = -1.0;
    uint8_t m_cacheFlags = 0;
    uint8_t m_forksOnly = 0;

    // The next-maneuver cache.
    int32_t m_cachedStart = -1;
    int32_t m_cachedAnswer = -1;
    // Tracking state.
    MapPoint m_lastMatched { -1, 0 };
    int32_t m_trackTime = 0;
    int32_t m_offRoutePasses = 0;
    // A reset while on the route: the next match regains the route without a notice.
    bool m_quietRematch = false;
    // Prompt state.
    int32_t m_lastManeuver = -1;
    bool m_lastManeuverKnown = false;
    int32_t m_repeatTime = 0;
    int32_t m_lastFinalPicture = PICTURE_NONE;

    CVoicePrompts m_prompts;
};

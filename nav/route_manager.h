#pragma once
// The owner of everything that belongs to the route: the route with its
// points, the guidance with its maneuvers and prompts. It computes routes
// through the kernel's router and guards that with the busy word, which it
// shares with the map reopening and the traffic-jam worker:
//   0 free; -1 a computation runs (user-interface thread; nested computations
//   on that thread count their depth); 1 the jam worker changes the jam data;
//   2 the map is being reopened.
// States 1 and 2 are ended by the controller's tick, which then rebuilds a
// route that was asked for meanwhile.
#include "controls/maneuver_panel.h"
#include "nav/route.h"
#include "nav/route_guide.h"
#include "ui/screen_element.h"

#include <QString>
#include <atomic>
#include <cstdint>
#include <thread>

class CRouteManager : public CScreenElement {
public:
    enum : int32_t {
        BUSY_FREE = 0,
        BUSY_COMPUTING = -1,
        BUSY_JAMS = 1,
        BUSY_REOPENING = 2,
    };

    CRouteManager();
    ~CRouteManager() override;
    CRouteManager(const CRouteManager&) = delete;
    CRouteManager& operator=(const CRouteManager&) = delete;

    void Draw() override;
    int SetSurface(CDrawTool* surface) override;

    // Recomputes the route through its points; 5 while the word is held by
    // the jam worker or the map reopening (the route is rebuilt later).
    int32_t Recalculate();
    int32_t SetPointAndRecalculate(const MapPoint& point, int slot);

    // The busy word. TakeBusy(owner) takes it from 0 to `owner` (1 or 2) and
    // answers true also when `owner` holds it already; the map reopening also
    // takes it over from a computation running on the calling thread, which
    // reopens the map itself after running out of memory. ReleaseBusy(owner)
    // gives it back when `owner` holds it.
    bool TakeBusy(int32_t owner);
    bool ReleaseBusy(int32_t owner);
    int32_t GetBusyWord() const { return m_busy.load(); }
    // Whether a request was answered busy since the last computation.
    bool IsReroutePending() const { return m_reroutePending.load() != 0; }

    int RebuildGuidance();
    void UpdateGuidance();
    void ResetGuidance();
    // "Start", "Station %d", "Finish" with " (pointed)" for a set point, by language.
    QString GetPointCaption(int language, int slot);
    // The kernel draws the computed route onto the view's image.
    int32_t DrawRouteLine();
    // "Forks only" changed in the settings: stored in the guidance, the
    // options marked changed and the next-maneuver search started afresh.
    void SetOptionAndInvalidate(uint8_t value);

    // Guidance reads, each under the route's point lock.
    int32_t FindNextManeuver(int32_t from);
    GuideRect GetRectFrom(int32_t first, int32_t last);
    int GetNextManeuvers(ManeuverInfo* entries, int count);
    int FillManeuverDistances(ManeuverInfo* entries, int count);
    // Metres left to the finish; -1.0 without a route or off it.
    double GetRemainingDistance();

    // Forwarders.
    int32_t ClearRoute() { return m_route.Clear(); }
    int HasRoute() const { return m_route.GetState(); }
    int IsOnRoute() const { return m_guide.IsOnRoute(); }
    int32_t GetCurrentNode() const { return m_guide.GetCurrentNode(); }
    double GetCorridorWidth() const { return m_guide.GetCorridorWidth(); }
    void SetCorridorWidth(double metres) { m_guide.SetCorridorWidth(metres); }
    int32_t GetRouteLengthTime() const { return m_route.GetRouteLengthTime(); }
    void SetRouteLengthTime(int32_t ms) { m_route.SetRouteLengthTime(ms); }
    int GetRerouteOnDeviation() const { return m_route.GetRerouteOnDeviation(); }
    void SetRerouteOnDeviation(int on) { m_route.SetRerouteOnDeviation(on); }
    int GetRerouteAfterJams() const { return m_route.GetRerouteAfterJams(); }
    void SetRerouteAfterJams(int on) { m_route.SetRerouteAfterJams(on); }
    int32_t GetDeviationDelay() const { return m_route.GetDeviationDelay(); }
    void SetDeviationDelay(int32_t seconds) { m_route.SetDeviationDelay(seconds); }
    int GetRouteRect(GuideRect& rect) const { return m_guide.GetRouteRect(rect); }
    int GetCurrentNodePosition(CGeoPos& position) const { return m_guide.GetCurrentNodePosition(position); }
    const std::vector<GuideNode>& GetGuideNodes() const { return m_guide.GetNodes(); }
    void ClearPromptFlags() { m_guide.ClearPromptFlags(); }
    CRouteGuide& GetGuide() { return m_guide; }
    CRoute& GetRoute() { return m_route; }

    // The next-maneuver panel (command 10033 shows and hides it).
    CManeuverPanel& GetOrientationPanel() { return m_panel; }
    uint8_t GetOptionsChanged() const { return m_optionsChanged; }
    // "Save route when exit": the route is saved at exit and restored at the
    // next start (1, the default) or not (0).
    int32_t GetSaveRouteOnExit() const { return m_saveRouteOnExit; }
    void SetSaveRouteOnExit(int32_t on) { m_saveRouteOnExit = on ? 1 : 0; }

private:
    std::atomic<int32_t> m_busy { BUSY_FREE };
    // The thread computing while the word is -1, and how deep its computations nest.
    std::atomic<std::thread::id> m_busyOwner {};
    int m_nesting = 0;
    std::atomic<uint8_t> m_reroutePending { 0 };
    CManeuverPanel m_panel;
    CRoute m_route;
    CRouteGuide m_guide;
    uint8_t m_optionsChanged = 0;
    int32_t m_saveRouteOnExit = 1;
};

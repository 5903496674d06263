#pragma once
// The orientation panel: a column of up to two boxes at the top left of the
// map, each with the picture of one of the next maneuvers and the distance to
// it; the next maneuver's picture blinks as it comes near. Off the route an
// arrow points towards the route instead. The route manager owns it and draws
// it on the draw thread.
#include "nav/route_guide.h"
#include "ui/target_arrow.h"

#include <atomic>

class CBlinker;
class CRouteManager;

class CManeuverPanel : public CScreenElement {
public:
    enum : int { MAX_MODE = 2, ORDER_LAST_FIRST = 2 };

    CManeuverPanel();

    // Attached hidden at the top left, half transparent. 0 without a surface.
    int Attach(CDrawTool* surface, CRouteManager* owner);
    // Shows `mode` boxes (0..2) when they fit on the screen from the panel's
    // place; `order` 2 puts the next maneuver at the bottom, a negative order
    // picks the default of the mode. 0 when they do not fit (nothing changes).
    int SetMode(int mode, int order);
    // The settings' option: 0 one box, 1 and 2 two boxes in that order.
    int ApplyOption(int option);

    int GetHeight() const { return m_itemHeight; }
    int GetMode() const { return m_mode.load(); }
    int GetOrder() const { return m_order.load(); }
    void Show(bool on) { SetState(on ? STATE_SHOWN : STATE_HIDDEN); }
    bool IsShown() const { return GetState() != STATE_HIDDEN; }
    // The entries are looked up afresh on the next frame.
    void SetLastNode(int32_t node) { m_lastNode = node; }
    int32_t GetLastNode() const { return m_lastNode.load(); }

    void SetState(int state) override;
    void SetAlpha(unsigned alpha) override;
    void Draw() override;

    // Metres before a maneuver from which its picture blinks, at a speed.
    static int BlinkDistance(double kmh);
    // What the last frame drew (draw thread): the boxes' pictures in drawing
    // order, and whether the arrow was drawn instead.
    const std::vector<int32_t>& GetDrawnPictures() const { return m_drawn; }
    bool DrewArrow() const { return m_drewArrow; }

    // One box at (x, y): the entry's picture (blank: none) over its distance.
    void DrawBox(const ManeuverInfo& entry, bool blank, int x, int y);

private:
    void DrawArrow(const ElementPoint& at);

    const CBlinker* m_blinker = nullptr;
    std::atomic<int32_t> m_lastNode { -1 };
    std::atomic<int16_t> m_mode { 1 };
    std::atomic<int16_t> m_order { 0 };
    int32_t m_itemHeight = 0;
    int32_t m_screenWidth = 0;
    int32_t m_screenHeight = 0;
    ManeuverInfo m_entries[MAX_MODE];
    CRouteManager* m_owner = nullptr;
    CTargetArrow m_arrow;
    // Draw thread: what the arrow was last aimed from.
    CGeoPos m_arrowFrom;
    int m_arrowHadRoute = -1;
    std::vector<int32_t> m_drawn;
    bool m_drewArrow = false;
};

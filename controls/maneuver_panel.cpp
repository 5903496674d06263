#include "controls/maneuver_panel.h"

#include "controls/blinker.h"
#include "drawlib/glyph_sets.h"
#include "foundation/screen_metrics.h"
#include "foundation/string_helpers.h"
#include "gps/gps_fix.h"
#include "nav/map_controller.h"
#include "nav/route_manager.h"
#include "ui/element_drawing.h"

namespace {
constexpr int kPanelAlpha = 128;
constexpr uint32_t kBoxColour = 0xFFFFFFFF;
constexpr uint32_t kFrameColour = 0;

int BoxHeight() { return ScaleByDpiY(20); }
} // namespace

CManeuverPanel::CManeuverPanel()
    : m_itemHeight(ScaleByDpiX(60))
{
}

int CManeuverPanel::Attach(CDrawTool* surface, CRouteManager* owner)
{
    if (!SetSurface(surface))
        return 0;
    m_owner = owner;
    m_lastNode = -1;
    m_screenWidth = GetScreenWidth();
    m_screenHeight = GetScreenHeight();
    SetPosition({ 0, 0 });
    m_itemHeight = ScaleByDpiX(60);
    m_arrow.SetSurface(surface);
    SetState(STATE_HIDDEN);
    SetAlpha(kPanelAlpha);
    // The panel blinks with the GPS marker.
    m_blinker = g_MapController ? g_MapController->GetBlinkers().Find(nullptr) : nullptr;
    return 1;
}

int CManeuverPanel::SetMode(int mode, int order)
{
    mode = std::clamp(mode, 0, int(MAX_MODE));
    if (m_x + m_itemHeight >= m_screenWidth || m_y + mode * (m_itemHeight + BoxHeight()) >= m_screenHeight)
        return 0;
    m_mode = static_cast<int16_t>(mode);
    m_lastNode = -1;
    m_order = static_cast<int16_t>(order < 0 ? (mode == 2 ? 1 : 0) : order);
    return 1;
}

int CManeuverPanel::ApplyOption(int option)
{
    switch (option) {
    case 0:
        if (m_x + m_itemHeight >= m_screenWidth || m_y + m_itemHeight + BoxHeight() >= m_screenHeight)
            return 0;
        m_lastNode = -1;
        m_mode = 1;
        m_order = 0;
        return 1;
    case 1:
    case 2:
        return SetMode(2, option);
    default:
        return 0;
    }
}

void CManeuverPanel::SetState(int state)
{
    CScreenElement::SetState(state);
    m_arrow.SetState(state);
}

void CManeuverPanel::SetAlpha(unsigned alpha)
{
    CScreenElement::SetAlpha(alpha);
    m_arrow.SetAlpha(alpha);
}

int CManeuverPanel::BlinkDistance(double kmh) { return kmh <= 50 ? 90 : kmh <= 100 ? 140 : 200; }

void CManeuverPanel::DrawArrow(const ElementPoint& at)
{
    CGeoPos position;
    double course = 0;
    {
        platform::CSLock lock(g_gpsFixLock);
        position = g_gpsFix;
        course = g_gpsFix.m_course;
    }
    const int hasRoute = m_owner->HasRoute() ? 1 : 0;
    if (!position.IsEqual(m_arrowFrom) || hasRoute != m_arrowHadRoute) {
        CGeoPos target;
        if (!m_owner->GetCurrentNodePosition(target))
            target = position;
        m_arrow.Update(position, target, course, hasRoute);
        m_arrowHadRoute = hasRoute;
        m_arrowFrom = hasRoute ? position : CGeoPos {};
    }
    m_arrow.DrawAt(at);
    m_lastNode = -1;
    m_drewArrow = true;
}

void CManeuverPanel::DrawBox(const ManeuverInfo& entry, bool blank, int x, int y)
{
    const int picture = blank ? PICTURE_NONE : entry.picture;
    m_drawn.push_back(picture);
    const ElementSize size = GetImageSize(m_surface, picture);
    DrawKeyedImage(m_surface, picture, x, y, size, GetAlpha());
    FillRectAlpha(m_surface, x, y + size.cy, size.cx, BoxHeight(), kBoxColour, GetAlpha());
    if (entry.distance > 0) {
        QString text;
        FormatDistance(entry.distance, text);
        FontDrawString(GetToolFont(FONT_DIGITS), text, x + 1, y + size.cy + 1);
    }
    DrawRectOutline(m_surface, x, y, size.cx + 1, size.cy + BoxHeight(), kFrameColour);
    DrawLineOn(m_surface, x, y + size.cy, x + size.cx, y + size.cy, kFrameColour);
}

void CManeuverPanel::Draw()
{
    m_drawn.clear();
    m_drewArrow = false;
    if (GetState() == STATE_HIDDEN || !m_owner)
        return;
    int x = m_x, y = m_y;
    if (CMapController* controller = g_MapController.get()) {
        const CScreenElement* topBar = controller->GetElements().topBar.get();
        if (topBar && topBar->GetState() == STATE_SHOWN) {
            if (GetScreenOrientation() == ORIENT_PORTRAIT)
                y += GetButtonSide();
            else
                x += GetButtonSide();
        }
        if (controller->GetAddressPanel().GetState() == STATE_SHOWN && m_mode < 3)
            y += ScaleByDpiY(19);
    }
    if (!m_owner->IsOnRoute()) {
        DrawArrow({ x, y });
        return;
    }
    double kmh = 0;
    {
        platform::CSLock lock(g_gpsFixLock);
        kmh = g_gpsFix.m_speedKnots * kKnotsToKmh;
    }
    const int blinkDistance = BlinkDistance(kmh);
    const int mode = m_mode;
    m_owner->GetNextManeuvers(m_entries, mode);
    if (!m_owner->FillManeuverDistances(m_entries, mode))
        return;
    m_lastNode = mode > 0 ? m_entries[0].node : -1;
    int count = 0;
    while (count < mode && m_entries[count].node != -1)
        ++count;
    const bool dark = m_blinker && !m_blinker->IsVisible();
    for (int k = 0; k < count; ++k) {
        const int i = m_order == ORDER_LAST_FIRST ? count - 1 - k : k;
        const ManeuverInfo& entry = m_entries[i];
        DrawBox(entry, i == 0 && dark && entry.distance < blinkDistance, x, y);
        y += m_itemHeight + BoxHeight();
    }
}

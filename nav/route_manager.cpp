#include "nav/route_manager.h"

#include "kernel/api/route_interface.h"
#include "nav/map_controller.h"

CRouteManager::CRouteManager()
    : m_route(this)
    , m_guide(&m_route)
{
}

CRouteManager::~CRouteManager() = default;

void CRouteManager::Draw()
{
    m_route.Draw();
    m_panel.Draw();
}

int CRouteManager::SetSurface(CDrawTool* surface)
{
    const int base = CScreenElement::SetSurface(surface);
    const int route = m_route.SetSurface(surface);
    const int panel = m_panel.Attach(surface, this);
    m_guide.SetSurface(surface);
    return base && route && panel ? 1 : 0;
}

int32_t CRouteManager::Recalculate()
{
    const std::thread::id self = std::this_thread::get_id();
    int32_t held = BUSY_FREE;
    if (m_busy.compare_exchange_strong(held, BUSY_COMPUTING)) {
        m_busyOwner = self;
        m_nesting = 0;
    } else if (held == BUSY_COMPUTING && m_busyOwner.load() == self) {
        // A computation further up this thread's stack: the word stays held
        // until the outermost one ends.
        ++m_nesting;
    } else {
        m_reroutePending = 1;
        return ROUTE_BUSY;
    }
    const int32_t result = m_route.Calculate();
    m_reroutePending = 0;
    RebuildGuidance();
    if (m_nesting > 0) {
        --m_nesting;
    } else {
        m_busyOwner = std::thread::id {};
        // A reopening during the computation has taken the word over (2): the tick gives it back.
        held = BUSY_COMPUTING;
        m_busy.compare_exchange_strong(held, BUSY_FREE);
    }
    return result;
}

int32_t CRouteManager::SetPointAndRecalculate(const MapPoint& point, int slot)
{
    const int32_t result = m_route.SetPoints(&point, 1, slot);
    if (result == ROUTE_OK)
        return Recalculate();
    RebuildGuidance();
    return result;
}

bool CRouteManager::TakeBusy(int32_t owner)
{
    int32_t held = BUSY_FREE;
    if (m_busy.compare_exchange_strong(held, owner) || held == owner)
        return true;
    if (owner == BUSY_REOPENING && held == BUSY_COMPUTING && m_busyOwner.load() == std::this_thread::get_id())
        return m_busy.compare_exchange_strong(held, owner);
    return false;
}

bool CRouteManager::ReleaseBusy(int32_t owner)
{
    int32_t held = owner;
    return m_busy.compare_exchange_strong(held, BUSY_FREE);
}

int CRouteManager::RebuildGuidance()
{
    if (m_route.GetState() != 1)
        return 0;
    platform::CSLock lock(m_route.GetPointLock());
    if (!m_guide.Build())
        return 0;
    m_route.SetRouteLength(m_guide.GetNodes().front().distanceToEnd);
    return 1;
}

void CRouteManager::UpdateGuidance()
{
    platform::CSLock lock(m_route.GetPointLock());
    m_guide.Track();
    m_route.RouteLengthTick();
}

void CRouteManager::ResetGuidance()
{
    platform::CSLock lock(m_route.GetPointLock());
    m_guide.Reset();
    m_panel.SetLastNode(-1);
    m_route.SetRouteLength(-1);
}

QString CRouteManager::GetPointCaption(int language, int slot)
{
    QString caption;
    if (language == 0)
        caption = slot == CRoute::SLOT_START ? QStringLiteral("Start")
            : slot == CRoute::SLOT_FINISH    ? QStringLiteral("Finish")
                                             : QStringLiteral("Station %1").arg(slot);
    else if (language == 1)
        caption = slot == CRoute::SLOT_START ? QStringLiteral("Старт")
            : slot == CRoute::SLOT_FINISH    ? QStringLiteral("Финиш")
                                             : QStringLiteral("Пункт %1").arg(slot);
    else
        return {};
    if (m_route.IsPointSet(slot))
        caption += language == 0 ? QStringLiteral(" (pointed)") : QStringLiteral(" (указан)");
    return caption;
}

int32_t CRouteManager::DrawRouteLine()
{
    const int shown = m_route.CScreenElement::GetState();
    if (shown != STATE_SHOWN || m_route.GetState() != 1)
        return shown;
    return ZXS_RouteDraw(g_MapController->GetView());
}

void CRouteManager::SetOptionAndInvalidate(uint8_t value)
{
    platform::CSLock lock(m_route.GetPointLock());
    m_guide.SetForksOnly(value);
    m_optionsChanged |= 1;
    m_panel.SetLastNode(-1);
}

int32_t CRouteManager::FindNextManeuver(int32_t from)
{
    platform::CSLock lock(m_route.GetPointLock());
    return m_guide.FindNextManeuver(from);
}

GuideRect CRouteManager::GetRectFrom(int32_t first, int32_t last)
{
    platform::CSLock lock(m_route.GetPointLock());
    if (m_route.GetState() != 1)
        return {};
    return m_guide.GetRectFrom(first, last);
}

int CRouteManager::GetNextManeuvers(ManeuverInfo* entries, int count)
{
    platform::CSLock lock(m_route.GetPointLock());
    return m_guide.GetNextManeuvers(entries, count);
}

int CRouteManager::FillManeuverDistances(ManeuverInfo* entries, int count)
{
    platform::CSLock lock(m_route.GetPointLock());
    return m_guide.FillManeuverDistances(entries, count);
}

double CRouteManager::GetRemainingDistance()
{
    if (!HasRoute())
        return -1.0;
    platform::CSLock lock(m_route.GetPointLock());
    return m_guide.GetRemainingDistance();
}

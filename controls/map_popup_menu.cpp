#include "controls/map_popup_menu.h"

#include "controls/button_folders.h"
#include "controls/command_registry.h"
#include "controls/diagram_button.h"
#include "controls/object_type_icons.h"
#include "foundation/language.h"
#include "foundation/screen_metrics.h"
#include "kernel/api/view_interface.h"
#include "nav/map_controller.h"
#include "platform/timers.h"
#include "search/waypoint.h"
#include "settings/settings_record.h"

#include <algorithm>

namespace {

struct CommandGroup {
    const char16_t* en;
    const char16_t* ru;
    std::initializer_list<uint32_t> commands;
};

// The command submenus of a button's menu, in row order.
const CommandGroup kCommandGroups[] = {
    { u"Moving", u"Движение", { 10042, 10034, 10036, 10026, 10033, 10022 } },
    { u"Map", u"Карта", { 10011, 10010, 10023, 10020, 10008, 10009, 10006, 10007, 10004, 10005 } },
    { u"Route", u"Маршрут", { 10038, 10012, 10013, 10028, 10027, 10021, 10040, 10046, 10024, 10035 } },
    { u"Settings", u"Настройки", { 10001 } },
    { u"Search", u"Поиск", { 10039, 10017, 10032, 10044, 10018, 10025 } },
    { u"Miscel.", u"Разное", { 10037, 10045, 10041, 10002, 10019, 10014, 10030, 10031, 10003, 10000 } },
};

struct RoutePointRow {
    uint32_t icon;
    int32_t value;
};
const RoutePointRow kRoutePointRows[4] = { { 192, 10336 }, { 819, 10367 }, { 819, 10368 }, { 191, 10337 } };
constexpr uint32_t kDeleteRoutePointIcon = 786;

QString Text(const char16_t* text) { return QString::fromUtf16(text); }

} // namespace

int32_t PressRadius(CMapController& controller)
{
    CZXS_ViewHandle* view = controller.GetView();
    if (!view)
        return 0;
    return static_cast<int32_t>(ZXS_ViewScreenToMapDist(view, (GetScreenWidth() + GetScreenHeight()) / 6));
}

CMapPopupMenu::CMapPopupMenu() = default;

CMapPopupMenu::~CMapPopupMenu()
{
    Clear();
    m_commandWnd.reset();
}

void CMapPopupMenu::CreateCommandWindow()
{
    if (!m_commandWnd)
        m_commandWnd = std::make_unique<CPopupCommandWnd>();
}

int CMapPopupMenu::Attach(CDrawTool* surface, platform::MessageTarget* timerWindow)
{
    if (!surface || !timerWindow || !SetSurface(surface))
        return 0;
    m_timerWindow = timerWindow;
    platform::CSLock lock(m_lock);
    return m_root.Attach(surface, this);
}

void CMapPopupMenu::KillLongPressTimer()
{
    if (m_timerWindow)
        platform::KillTimer(m_timerWindow, kLongPressTimer);
}

void CMapPopupMenu::ArmLongPress(const PopupContext& context)
{
    platform::CSLock lock(m_lock);
    CloseAll();
    m_context = context;
    if (m_timerWindow)
        platform::SetTimer(m_timerWindow, kLongPressTimer, kLongPressMs);
    m_road = context.kind == POPUP_MAP ? context.objectId : -1;
}

void CMapPopupMenu::CancelLongPress() { KillLongPressTimer(); }

void CMapPopupMenu::Show()
{
    // The map menu's look-ups run before the lock: the draw thread takes it in every frame.
    const PopupContext request = GetContext();
    MapFacts facts;
    if (request.kind == POPUP_MAP)
        facts = GatherMapFacts(request);
    platform::CSLock lock(m_lock);
    if (m_commandWnd)
        m_commandWnd->SetContext(&m_context);
    switch (m_context.kind) {
    case POPUP_TRANSPARENT_BUTTON:
        BuildFolderMenu();
        break;
    case POPUP_TOP_BAR:
    case POPUP_BOTTOM_BAR:
        BuildCommandMenu();
        break;
    case POPUP_MAP:
        BuildMapMenu(facts);
        m_context.spare = facts.passageFlags;
        break;
    default:
        Clear();
        break;
    }
    m_shownContext = m_context;
    if (m_root.ShowAt(m_press, m_press)) {
        m_swallow = 1;
        PushLevel(&m_root);
    }
}

CMapPopupMenu::MapFacts CMapPopupMenu::GatherMapFacts(const PopupContext& context)
{
    MapFacts facts;
    facts.expert = g_bExpertMode.load() != 0;
    facts.road = context.objectId;
    CMapController* controller = g_MapController.get();
    if (!controller)
        return facts;
    CPoiQuery& poi = controller->GetPoiSearcher();
    if (poi.QueryAtPoint(context.mapX, context.mapY, kPoiSquareMetres) && poi.GetResultCount() > 0) {
        facts.poiFound = true;
        for (const CPoiResult& result : poi.GetPointResults())
            if (std::find(facts.poiCategories.begin(), facts.poiCategories.end(), result.category)
                == facts.poiCategories.end())
                facts.poiCategories.push_back(result.category);
    }
    CAddressSearcher& addresses = controller->GetAddressSearcher();
    addresses.FindAddressesAtPoint(context.mapX, context.mapY, controller->GetScale());
    for (int i = addresses.GetAddressCount() - 1; i >= 0; --i)
        if (const CAddressEntry* entry = addresses.GetAddressAt(i))
            facts.addresses.push_back(entry->text + entry->ownName);

    const int32_t radius = PressRadius(*controller);
    if (g_waypoints && g_waypoints->GetWaypointCount() > 0) {
        facts.waypointsExist = true;
        const int nearest = CPopupCommandWnd::FindNearestWaypoint(context.mapX, context.mapY);
        if (const CWaypoint* waypoint = g_waypoints->GetAt(nearest)) {
            const double dx = static_cast<double>(waypoint->m_mapX) - context.mapX;
            const double dy = static_cast<double>(waypoint->m_mapY) - context.mapY;
            facts.waypointNear = radius > 0 && dx * dx + dy * dy <= double(radius) * radius;
        }
    }
    CRouteManager& routes = controller->GetRouteManager();
    for (int slot = 0; slot < 4; ++slot) {
        facts.routeCaptionsEn[slot] = routes.GetPointCaption(LANGUAGE_ENGLISH, slot);
        facts.routeCaptionsRu[slot] = routes.GetPointCaption(LANGUAGE_RUSSIAN, slot);
    }
    facts.nearRoutePoint = routes.GetRoute().FindPointNear({ context.mapX, context.mapY }, radius);

    if (const CDiagramButton* diagrams = controller->GetWidgetSet(); diagrams
        && diagrams->GetState() != STATE_HIDDEN && diagrams->HitTest({ context.screenX, context.screenY })) {
        facts.overDiagram = true;
        if (g_CommandRegistry)
            facts.shownDiagramMessage = g_CommandRegistry->GetMessageId(diagrams->GetDiagram());
    }

    if (facts.expert && facts.road >= 0) {
        // Until the disabled-road store keeps the user's closures, the map's
        // own passage setting is all there is: nothing set elsewhere would
        // remain after an edit.
        const uint8_t flags = GetRoadPassageFlags(*controller, facts.road);
        facts.passageFlags = flags;
        facts.closeEnabled = !(flags & PASSAGE_CLOSED);
        facts.noBackwardEnabled = !(flags & PASSAGE_NO_BACKWARD);
        facts.openEnabled = flags != 0;
    }
    return facts;
}

void CMapPopupMenu::BuildCommandMenu()
{
    platform::CSLock lock(m_lock);
    Clear();
    for (const CommandGroup& group : kCommandGroups) {
        CTreeMenu* submenu = m_root.AddSubmenu(Text(group.en), Text(group.ru), false, false, 0);
        for (const uint32_t command : group.commands)
            submenu->AddCommand(command, false, false);
    }
    if ((m_context.kind == POPUP_TOP_BAR || m_context.kind == POPUP_BOTTOM_BAR) && g_CommandRegistry) {
        const uint32_t command = static_cast<uint32_t>(m_context.mapY);
        if (CCommandRegistry::IsCommand(command))
            if (CTreeMenuItem* row = m_root.FindByValue(g_CommandRegistry->GetMessageId(command)))
                row->state |= CTreeMenuItem::STATE_CHECKED;
    } else if (m_context.kind == POPUP_TRANSPARENT_BUTTON && g_CommandRegistry) {
        const uint32_t held = static_cast<uint32_t>(m_context.mapY);
        if (CCommandRegistry::IsAssignableCommand(held))
            MarkCommand(g_CommandRegistry->GetMessageId(held), true);
    }
}

void CMapPopupMenu::MarkCommand(int32_t messageId, bool on)
{
    platform::CSLock lock(m_lock);
    if (CTreeMenuItem* row = m_root.FindByValue(messageId)) {
        if (on)
            row->state |= CTreeMenuItem::STATE_CHECKED;
        else
            row->state &= ~CTreeMenuItem::STATE_CHECKED;
    }
}

void CMapPopupMenu::BuildFolderMenu()
{
    BuildCommandMenu();
    const int32_t held = m_context.mapY;
    CTreeMenu* folder = m_root.AddSubmenu(Text(u"Folder"), Text(u"Папка"), false, false, 0);
    if (held == BUTTON_NEW_FOLDER)
        folder->AddItem(Text(u"Folder name…"), Text(u"Имя папки…"), 0, POPUP_MSG_FOLDER_NAME, false, false);
    folder->AddItem(
        Text(u"Folder"), Text(u"Папка"), 746, POPUP_MSG_NEW_FOLDER, false, held == BUTTON_NEW_FOLDER);
    folder->AddItem(Text(u"Level up"), Text(u"Уровень вверх"), 747, POPUP_MSG_LEVEL_UP,
        m_context.centreX == 0, held == BUTTON_LEVEL_UP);
    int32_t checked = 0;
    if (g_CommandRegistry && CCommandRegistry::IsDiagram(static_cast<uint32_t>(held)))
        checked = g_CommandRegistry->GetMessageId(static_cast<uint32_t>(held));
    AddDiagramsMenu(checked);
}

void CMapPopupMenu::AddDiagramsMenu(int32_t checkedMessage)
{
    CTreeMenu* diagrams = m_root.AddSubmenu(Text(u"Diagrams"), Text(u"Диаграммы"), false, false, 0);
    for (uint32_t id = 14000; id <= 14006; ++id) {
        const bool checked = g_CommandRegistry && checkedMessage != 0
            && g_CommandRegistry->GetMessageId(id) == checkedMessage;
        diagrams->AddCommand(id, false, checked);
    }
}

void CMapPopupMenu::BuildMapMenu(const MapFacts& facts)
{
    Clear();
    CTreeMenu* poi = m_root.AddSubmenu(Text(u"POI"), Text(u"Объекты"), !facts.poiFound, false, 0);
    for (const QString& category : facts.poiCategories)
        poi->AddItem(category, category, static_cast<uint32_t>(GetCategoryIconId(category)),
            POPUP_MSG_POI_HERE, !facts.expert, false);
    if (facts.expert)
        m_root.AddItem(
            Text(u"POI search…"), Text(u"Поиск объектов…"), 0, POPUP_MSG_POI_SEARCH_HERE, false, false);

    CTreeMenu* addresses = m_root.AddSubmenu(Text(u"Address"), Text(u"Адрес"), false, false, 0);
    for (const QString& address : facts.addresses)
        addresses->AddCaption(address, address);

    CTreeMenu* waypoints = m_root.AddSubmenu(Text(u"Waypoints"), Text(u"Закладки"), false, false, 0);
    waypoints->AddItem(
        Text(u"Add waypoint…"), Text(u"Добавить закладку…"), 0, POPUP_MSG_ADD_WAYPOINT, false, false);
    waypoints->AddItem(Text(u"Waypoint prop.…"), Text(u"Св-ва закладки…"), 0, POPUP_MSG_WAYPOINT_PROPERTIES,
        !facts.waypointsExist, false);
    // Deleting acts only on a waypoint near the press, as the route's "Delete" does.
    waypoints->AddItem(Text(u"Delete waypoint"), Text(u"Удалить закладку"), 0, POPUP_MSG_DELETE_WAYPOINT,
        !facts.waypointNear, false);

    CTreeMenu* route = m_root.AddSubmenu(Text(u"Route"), Text(u"Маршрут"), false, false, 0);
    for (int slot = 0; slot < 4; ++slot)
        route->AddItem(facts.routeCaptionsEn[slot], facts.routeCaptionsRu[slot], kRoutePointRows[slot].icon,
            kRoutePointRows[slot].value, false, false);
    if (facts.nearRoutePoint != 255) {
        route->AddSeparator();
        route->AddItem(Text(u"Delete"), Text(u"Удалить"), kDeleteRoutePointIcon + facts.nearRoutePoint,
            POPUP_MSG_DELETE_ROUTE_POINT, false, false);
    }

    if (facts.overDiagram)
        AddDiagramsMenu(facts.shownDiagramMessage);

    if (facts.expert) {
        CTreeMenu* passage = m_root.AddSubmenu(Text(u"Passage"), Text(u"Проезд"), facts.road < 0, false, 0);
        if (facts.road >= 0) {
            passage->AddItem(Text(u"Close passage"), Text(u"Закрыть проезд"), 0, POPUP_MSG_CLOSE_PASSAGE,
                !facts.closeEnabled, false);
            passage->AddItem(Text(u"No backward passage"), Text(u"Нет проезда назад"), 0,
                POPUP_MSG_NO_BACKWARD, !facts.noBackwardEnabled, false);
            passage->AddItem(Text(u"Open passage"), Text(u"Открыть проезд"), 0, POPUP_MSG_OPEN_PASSAGE,
                !facts.openEnabled, false);
        }
    }
    m_root.AddSeparator();
    m_root.AddItem(Text(u"Help"), Text(u"Справка"), 0, POPUP_MSG_HELP, false, false);
}

int CMapPopupMenu::OnPointerDown(const ElementPoint& point)
{
    m_press = point;
    platform::CSLock lock(m_lock);
    if (m_levels.empty())
        return 0;
    while (!m_levels.empty() && m_levels.back()->OnPointerDown(point) == 0)
        m_levels.pop_back();
    if (m_levels.empty())
        m_swallow = 1;
    return 1;
}

int CMapPopupMenu::OnPointerMove(const ElementPoint& point)
{
    const int dx = point.x - m_press.x, dy = point.y - m_press.y;
    if (dx * dx + dy * dy > kStillRadiusSquared)
        KillLongPressTimer();
    platform::CSLock lock(m_lock);
    if (m_swallow)
        return 1;
    if (m_levels.empty())
        return 0;
    while (!m_levels.empty() && m_levels.back()->OnPointerMove(point) == 0)
        m_levels.pop_back();
    if (m_levels.empty())
        m_swallow = 1;
    return 1;
}

int CMapPopupMenu::OnPointerUp(const ElementPoint& point)
{
    platform::CSLock lock(m_lock);
    if (m_levels.empty()) {
        if (!m_swallow)
            return UP_NOT_MINE;
        m_swallow = 0;
        return UP_CLOSED;
    }
    if (m_swallow) {
        m_swallow = 0;
        return UP_SWALLOWED;
    }
    while (!m_levels.empty()) {
        const int answer = m_levels.back()->OnPointerUp(point);
        if (answer == CTreeMenu::UP_NOT_HERE) {
            m_levels.pop_back();
            continue;
        }
        if (answer == CTreeMenu::UP_POSTED)
            CloseAll();
        return answer;
    }
    CloseAll();
    return UP_CLOSED;
}

bool CMapPopupMenu::IsOpen() const
{
    platform::CSLock lock(m_lock);
    return !m_levels.empty();
}

int CMapPopupMenu::OnKeyDown(int key)
{
    platform::CSLock lock(m_lock);
    if (m_levels.empty())
        return 0;
    if (m_levels.back()->OnKeyDown(key) == 0)
        CloseAll();
    return 1;
}

int CMapPopupMenu::OnKeyUp(int key)
{
    platform::CSLock lock(m_lock);
    if (m_levels.empty())
        return 0;
    if (key == kLeftKey)
        m_levels.pop_back();
    else if (m_levels.back()->OnKeyUp(key) == 0)
        CloseAll();
    return 1;
}

void CMapPopupMenu::OnTick(int elapsedMs)
{
    platform::CSLock lock(m_lock);
    if (!m_levels.empty())
        m_levels.back()->OnTick(elapsedMs);
}

void CMapPopupMenu::Draw()
{
    platform::CSLock lock(m_lock);
    for (CTreeMenu* level : m_levels)
        level->Draw();
}

void CMapPopupMenu::PushLevel(CTreeMenu* level)
{
    platform::CSLock lock(m_lock);
    m_levels.push_back(level);
}

void CMapPopupMenu::CloseAll()
{
    platform::CSLock lock(m_lock);
    KillLongPressTimer();
    m_levels.clear();
}

void CMapPopupMenu::Clear()
{
    platform::CSLock lock(m_lock);
    m_levels.clear();
    m_root.Clear();
}

void CMapPopupMenu::PostChoice(int32_t value)
{
    if (m_commandWnd)
        m_commandWnd->PostChoice(static_cast<uint32_t>(value), m_shownContext);
}

std::vector<CTreeMenu*> CMapPopupMenu::OpenLevels() const
{
    platform::CSLock lock(m_lock);
    return m_levels;
}

PopupContext CMapPopupMenu::GetContext() const
{
    platform::CSLock lock(m_lock);
    return m_context;
}

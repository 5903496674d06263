#include "controls/popup_command_wnd.h"

#include "app/app_messages.h"
#include "app/launcher.h"
#include "app/main_frame.h"
#include "app/map_wnd.h"
#include "controls/button_folders.h"
#include "controls/command_registry.h"
#include "controls/diagram_button.h"
#include "controls/map_popup_menu.h"
#include "controls/move_dlg.h"
#include "kernel/api/passage_interface.h"
#include "kernel/api/result_codes.h"
#include "nav/map_controller.h"
#include "platform/message_box.h"
#include "search/waypoint.h"
#include "search/waypoint_dialog_parts.h"
#include "search/waypoint_edit_dlg.h"

#include <limits>

bool CPopupCommandWnd::PostChoice(uint32_t message, const PopupContext& context)
{
    const platform::LPARAM key = ++m_nextKey;
    m_posted[key] = context;
    if (platform::post(this, message, 0, key))
        return true;
    m_posted.erase(key);
    return false;
}

platform::LRESULT CPopupCommandWnd::OnMessage(uint32_t message, platform::WPARAM, platform::LPARAM lParam)
{
    PopupContext context;
    if (const auto posted = m_posted.find(lParam); lParam != 0 && posted != m_posted.end()) {
        context = posted->second;
        m_posted.erase(posted);
    } else if (m_context) {
        context = *m_context;
    } else {
        return 0;
    }
    Execute(message, context);
    return 0;
}

void CPopupCommandWnd::Execute(uint32_t message, const PopupContext& context)
{
    switch (message) {
    case POPUP_MSG_NOTHING:
        return;
    case POPUP_MSG_NEW_FOLDER:
        AssignCommand(context, BUTTON_NEW_FOLDER);
        return;
    case POPUP_MSG_LEVEL_UP:
        AssignCommand(context, BUTTON_LEVEL_UP);
        return;
    case POPUP_MSG_FOLDER_NAME:
        if (context.kind == POPUP_TRANSPARENT_BUTTON)
            GetTransparentButtonRoot().RenameFolder(context.mapX, context.centreX);
        return;
    case POPUP_MSG_MOVE_DIALOG:
        OnMoveDialog(context);
        return;
    case POPUP_MSG_ADD_WAYPOINT:
        OnAddWaypoint(context);
        return;
    case POPUP_MSG_DELETE_WAYPOINT:
        OnDeleteWaypoint(context);
        return;
    case POPUP_MSG_WAYPOINT_PROPERTIES:
        OnWaypointProperties(context);
        return;
    case POPUP_MSG_POI_HERE:
        CLauncher::SearchSheet(SEARCH_PAGE_POI, context.mapX, context.mapY, 40);
        return;
    case POPUP_MSG_POI_SEARCH_HERE:
        CLauncher::SearchSheet(SEARCH_PAGE_POI, context.mapX, context.mapY, -1);
        return;
    case POPUP_MSG_ROUTE_START:
        OnRoutePointHere(context, 0);
        return;
    case POPUP_MSG_ROUTE_STATION_1:
        OnRoutePointHere(context, 1);
        return;
    case POPUP_MSG_ROUTE_STATION_2:
        OnRoutePointHere(context, 2);
        return;
    case POPUP_MSG_ROUTE_FINISH:
        OnRoutePointHere(context, 3);
        return;
    case POPUP_MSG_DELETE_ROUTE_POINT:
        OnDeleteRoutePoint(context);
        return;
    case POPUP_MSG_OPEN_PASSAGE:
        OnPassage(context, 0, 0, 0);
        return;
    case POPUP_MSG_CLOSE_PASSAGE:
        OnPassage(context, 15, static_cast<uint8_t>(context.spare | PASSAGE_CLOSED), -1);
        return;
    case POPUP_MSG_NO_BACKWARD:
        OnPassage(context, 15, static_cast<uint8_t>(context.spare | PASSAGE_NO_BACKWARD), -1);
        return;
    case POPUP_MSG_PASSAGE_VALUE_15:
        OnPassage(context, 15, PASSAGE_CLOSED | PASSAGE_NO_BACKWARD, -1);
        return;
    case POPUP_MSG_HELP:
        if (CMainFrame* frame = CMapWnd::GetMainFrame())
            platform::post(frame, WM_APP_HELP);
        return;
    default:
        break;
    }
    if (message >= POPUP_MSG_PASSAGE_VALUE_FIRST && message <= POPUP_MSG_PASSAGE_VALUE_LAST) {
        OnPassage(context, static_cast<int>(message - POPUP_MSG_PASSAGE_VALUE_FIRST),
            PASSAGE_CLOSED | PASSAGE_NO_BACKWARD, -1);
        return;
    }
    if (!g_CommandRegistry)
        return;
    // A command's or a diagram's own popup message puts it on the pressed button.
    for (uint32_t id = 10000; id <= 10046; ++id)
        if (g_CommandRegistry->GetMessageId(id) == static_cast<int32_t>(message)) {
            AssignCommand(context, static_cast<int32_t>(id));
            return;
        }
    for (uint32_t id = 14000; id <= 14006; ++id)
        if (g_CommandRegistry->GetMessageId(id) == static_cast<int32_t>(message)) {
            AssignDiagram(context, static_cast<int32_t>(id));
            return;
        }
}

void CPopupCommandWnd::AssignCommand(const PopupContext& context, int32_t command)
{
    switch (context.kind) {
    case POPUP_TRANSPARENT_BUTTON:
        // Word a: the button; word c: its folder.
        GetTransparentButtonRoot().AssignCommand(context.mapX, command, context.centreX);
        break;
    case POPUP_TOP_BAR:
        if (g_MapController)
            g_MapController->GetTopButtonBar().SetButtonCommand(context.mapX, command);
        break;
    case POPUP_BOTTOM_BAR:
        if (g_MapController)
            g_MapController->GetBottomButtonBar().SetButtonCommand(context.mapX, command);
        break;
    default:
        break;
    }
}

void CPopupCommandWnd::AssignDiagram(const PopupContext& context, int32_t diagram)
{
    if (context.kind == POPUP_TRANSPARENT_BUTTON) {
        AssignCommand(context, diagram);
    } else if (context.kind == POPUP_MAP && g_MapController) {
        if (CDiagramButton* button = g_MapController->GetWidgetSet())
            button->SetDiagram(diagram);
    }
}

void CPopupCommandWnd::OnRoutePointHere(const PopupContext& context, int slot)
{
    if (context.kind != POPUP_MAP || !g_MapController)
        return;
    CMapController& controller = *g_MapController;
    const ElementPoint point { context.mapX, context.mapY };
    controller.Lock();
    if (slot == CRoute::SLOT_START)
        controller.SetRouteStartAt(point, true);
    else if (slot == CRoute::SLOT_FINISH)
        controller.SetRouteFinishAt(point, true);
    else
        controller.SetRoutePointAt(point, true, slot);
    controller.Unlock();
}

void CPopupCommandWnd::OnDeleteRoutePoint(const PopupContext& context)
{
    if (context.kind != POPUP_MAP || !g_MapController)
        return;
    CMapController& controller = *g_MapController;
    CRouteManager& manager = controller.GetRouteManager();
    const uint8_t slot
        = manager.GetRoute().FindPointNear({ context.mapX, context.mapY }, PressRadius(controller));
    if (slot == 255)
        return; // the route changed since the menu opened
    controller.Lock();
    const MapPoint unset { kUnsetCoordinate, kUnsetCoordinate };
    int32_t result = manager.GetRoute().SetPoints(&unset, 1, slot);
    if (result == 0)
        result = manager.Recalculate();
    else
        manager.RebuildGuidance();
    controller.ReportRouteResult(result);
    controller.Unlock();
}

int CPopupCommandWnd::FindNearestWaypoint(int32_t x, int32_t y)
{
    if (!g_waypoints)
        return -1;
    const CWaypointList& list = *g_waypoints;
    int best = -1;
    double bestDistance = std::numeric_limits<double>::infinity();
    for (int i = 0; i < list.GetWaypointCount(); ++i) {
        const CWaypoint* waypoint = list.GetAt(i);
        const double dx = static_cast<double>(waypoint->m_mapX) - x;
        const double dy = static_cast<double>(waypoint->m_mapY) - y;
        const double d = dx * dx + dy * dy;
        if (best < 0 || d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

namespace {

// The nearest waypoint within the press radius, -1 when none lies that near:
// a press must never remove a waypoint kilometres away.
int FindWaypointNearPress(const PopupContext& context)
{
    if (!g_MapController)
        return -1;
    const int index = CPopupCommandWnd::FindNearestWaypoint(context.mapX, context.mapY);
    if (index < 0)
        return -1;
    const CWaypoint* waypoint = g_waypoints->GetAt(index);
    const double radius = PressRadius(*g_MapController);
    const double dx = static_cast<double>(waypoint->m_mapX) - context.mapX;
    const double dy = static_cast<double>(waypoint->m_mapY) - context.mapY;
    return radius > 0 && dx * dx + dy * dy <= radius * radius ? index : -1;
}

} // namespace

void CPopupCommandWnd::OnMoveDialog(const PopupContext& context)
{
    if (context.kind != POPUP_MAP || !g_MapController)
        return;
    CGeoPos centre, pointed;
    if (!g_MapController->MapPointToGeoPos({ context.centreX, context.centreY }, centre)
        || !g_MapController->MapPointToGeoPos({ context.mapX, context.mapY }, pointed))
        return;
    CMoveDlg dialog;
    dialog.SetPositions(centre, pointed);
    dialog.DoModal();
}

void CPopupCommandWnd::OnAddWaypoint(const PopupContext& context)
{
    CGeoPos position;
    if (context.kind == POPUP_MAP && g_waypoints && g_MapController
        && g_MapController->MapPointToGeoPos({ context.mapX, context.mapY }, position)) {
        CWaypointEditDlg dialog(nullptr, &position);
        if (dialog.DoModal() == platform::IDOK && g_waypoints->Add(dialog.m_waypoint) < 0)
            ShowWaypointRefused(nullptr);
    }
    if (CMainFrame* frame = CMapWnd::GetMainFrame())
        frame->BringToForeground();
}

void CPopupCommandWnd::OnWaypointProperties(const PopupContext& context)
{
    if (context.kind == POPUP_MAP && g_waypoints && g_waypoints->GetWaypointCount() > 0) {
        const int index = FindNearestWaypoint(context.mapX, context.mapY);
        if (CWaypoint* waypoint = index >= 0 ? g_waypoints->GetAt(index) : nullptr) {
            CWaypointEditDlg dialog(waypoint);
            if (dialog.DoModal() == platform::IDOK)
                *waypoint = dialog.m_waypoint;
        }
    }
    if (CMainFrame* frame = CMapWnd::GetMainFrame())
        frame->BringToForeground();
}

void CPopupCommandWnd::OnDeleteWaypoint(const PopupContext& context)
{
    if (context.kind != POPUP_MAP || !g_waypoints || g_waypoints->GetWaypointCount() == 0)
        return;
    const int index = FindWaypointNearPress(context);
    if (index >= 0) {
        g_waypoints->RemoveAt(index);
        if (g_MapController)
            g_MapController->PublishWaypointMarks();
    }
}

void CPopupCommandWnd::OnPassage(const PopupContext& context, int value, uint8_t flags, int32_t seconds)
{
    if (context.kind == POPUP_MAP && g_MapController)
        SetRoadPassage(*g_MapController, context.objectId, value, flags, seconds);
}

uint8_t GetRoadPassageFlags(CMapController& controller, int32_t road)
{
    if (road < 0)
        return 0;
    CZXS_PassageRecord record;
    if (ZXS_RoadGetPassageRec(controller.GetMapSet().ActiveMap(), road, &record) != 0)
        return 0;
    // Only a closure is the user's; a jam slows a road without closing it.
    return record.costClass == 15 ? record.passage & (PASSAGE_CLOSED | PASSAGE_NO_BACKWARD) : 0;
}

int32_t SetRoadPassage(CMapController& controller, int32_t road, int value, uint8_t flags, int32_t seconds)
{
    if (road < 0)
        return ZXS_ERR_PARAM;
    CZXS_PassageRecord record;
    record.costClass = static_cast<uint16_t>(value & 0x0F);
    record.valueB = 0;
    record.lifetime = seconds;
    record.passage = flags & (PASSAGE_CLOSED | PASSAGE_NO_BACKWARD);
    // A road closed or opened again is the user's: the disabled-road store
    // keeps it in its file and the map's journal. Other values only tune the
    // road's cost for this map.
    const int32_t result = value == 0 || value == 15
        ? controller.SetPassage(road, record)
        : ZXS_RoadSetPassageRec(controller.GetMapSet().ActiveMap(), road, &record);
    controller.SetRedrawFlag(1);
    return result;
}

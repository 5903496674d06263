#include "controls/command_handlers.h"

#include "nav/map_controller.h"

namespace {

template <int Mode> void SetTapModeHandler(CCommandEntry&) { g_MapController->SetTapMode(Mode); }

// Always up comes with GPS tracking: switching either off ends the other, and
// each clears its own flag before it runs the other, so the chain stops there.
void GpsTracking(CCommandEntry& entry)
{
    CMapController& controller = *g_MapController;
    if (controller.IsFollowGps()) {
        controller.SetFollowGps(0);
        if (controller.IsAlwaysUp())
            ExecuteCommand(CMD_ALWAYS_UP);
        if (controller.IsJunctionZoom())
            ExecuteCommand(CMD_ROAD_JUNCTION);
    } else {
        controller.SetFollowGps(1);
    }
    entry.Flip();
}

void AlwaysUp(CCommandEntry& entry)
{
    CMapController& controller = *g_MapController;
    if (!controller.IsAlwaysUp()) {
        controller.SetAlwaysUp(1);
        if (!controller.IsFollowGps())
            ExecuteCommand(CMD_GPS_TRACKING);
    } else {
        controller.SetAlwaysUp(0);
        if (controller.IsFollowGps())
            ExecuteCommand(CMD_GPS_TRACKING);
    }
    entry.Flip();
}

void RoadJunction(CCommandEntry& entry)
{
    entry.Flip();
    g_MapController->SetJunctionZoom(entry.checked);
}

void DrivingMode(CCommandEntry& entry)
{
    entry.Flip();
    g_MapController->SetMovingMode(entry.checked == 1);
}

void ZoomSlider(CCommandEntry& entry)
{
    g_MapController->ShowZoomSlider(!g_MapController->IsZoomSliderShown());
    entry.Flip();
}

} // namespace

CommandHandler GetCommandHandler(uint32_t id)
{
    switch (id) {
    case CMD_ZOOM_WINDOW:
        return &SetTapModeHandler<TAP_ZOOM_WINDOW>;
    case CMD_SCROLL:
        return &SetTapModeHandler<TAP_SCROLL>;
    case CMD_FIRST_POINT:
        return &SetTapModeHandler<TAP_FIRST_POINT>;
    case CMD_LAST_POINT:
        return &SetTapModeHandler<TAP_LAST_POINT>;
    case CMD_OBJECT_NAME:
        return &SetTapModeHandler<TAP_OBJECT_NAME>;
    case CMD_ROUTE_FINISH_ONLY:
        return &SetTapModeHandler<TAP_ROUTE_FINISH_ONLY>;
    case CMD_GPS_TRACKING:
        return &GpsTracking;
    case CMD_ALWAYS_UP:
        return &AlwaysUp;
    case CMD_ROAD_JUNCTION:
        return &RoadJunction;
    case CMD_DRIVING_MODE:
        return &DrivingMode;
    case CMD_ZOOM_SLIDER:
        return &ZoomSlider;
    default:
        return nullptr;
    }
}

CommandHandler GetAlternateCommandHandler(uint32_t) { return nullptr; }

#pragma once
// The launchers of the program's four big sheets over the map screen: the
// route wizard (modeless, kept between uses), the waypoint editor, the search
// wizard and the search sheet.
//
// A window asked for before its class exists opens nothing and answers -1,
// as a sheet that cannot open does; what was asked for goes to the
// pending-window observer, which tests install to see which window a command
// opens and with what.
#include "kernel/api/types.h"

#include <QString>
#include <cstdint>
#include <functional>

class CWizardRoute;

enum : int {
    // Pages of the search sheet.
    SEARCH_PAGE_WAYPOINTS = 0,
    SEARCH_PAGE_POI = 1,
    SEARCH_PAGE_ADDRESS = 2,
    // Modes of the route wizard.
    ROUTE_WIZARD_SHOW = 0,
    ROUTE_WIZARD_HIDE = 1,
    ROUTE_WIZARD_CLOSE = 2,
};

class CLauncher {
public:
    // Shows (with the map point picked for it, when given), hides or closes
    // the route wizard (closing an unfinished one cancels it). -1.
    static int RouteWizard(int mode, const ZXS_Point* point);
    // Runs the waypoint-editor wizard; its modal result.
    static int WaypointEditor(int page);
    // The search wizard from `page` (beyond the first: for another wizard,
    // which gets 1303 with the map point of the object found in `positionOut`,
    // or 1302 for Back on its first page); its modal result, -1 for a
    // language other than English and Russian.
    static int SearchWizard(int page, ZXS_Point* positionOut);
    // The search sheet on `page`, told the map point the user pointed at
    // (-1, -1: none) and the size of the area around it in metres (-1: the
    // page's own); -1 for a language other than English and Russian.
    static int SearchSheet(int page, int32_t pointedX = -1, int32_t pointedY = -1, int32_t distance = -1);
};

// The route wizard while it exists, else nullptr.
CWizardRoute* GetRouteWizard();

// A window asked for before its class exists: its class name and what it was
// asked with (page or mode, a map point, a distance).
struct PendingWindowRequest {
    QString window;
    int page = -1;
    int32_t x = -1;
    int32_t y = -1;
    int32_t distance = -1;
};

using PendingWindowObserver = std::function<int(const PendingWindowRequest& request)>;
// The observer answers what the window would have returned; none restores -1.
void SetPendingWindowObserver(PendingWindowObserver observer);
// Asks for a window that is not built yet: the observer's answer, else -1.
int RequestPendingWindow(const PendingWindowRequest& request);

#pragma once
// The launchers of the program's four big sheets over the map screen: the
// route wizard (modeless, kept between uses), the waypoint editor, the search
// wizard and the search sheet.
#include "kernel/api/types.h"

#include <cstdint>

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

#include "app/launcher.h"

#include "foundation/language.h"
#include "search/wizard_waypoints.h"

#include <utility>

namespace {
PendingWindowObserver g_pendingWindowObserver;
}

int CLauncher::RouteWizard(int mode, const ZXS_Point* point)
{
    PendingWindowRequest request { QStringLiteral("CWizardRoute"), mode };
    if (point) {
        request.x = point->x;
        request.y = point->y;
    }
    RequestPendingWindow(request);
    return -1;
}

int CLauncher::WaypointEditor(int /*page*/)
{
    // The wizard has its one page.
    CWizardWaypoints wizard(nullptr);
    return wizard.DoModal();
}

int CLauncher::SearchWizard(int page, CGeoPos* /*positionOut*/)
{
    return RequestPendingWindow({ QStringLiteral("CWizardSearch"), page });
}

int CLauncher::SearchSheet(int page, int32_t pointedX, int32_t pointedY, int32_t distance)
{
    const int language = g_language.load();
    if (language != LANGUAGE_ENGLISH && language != LANGUAGE_RUSSIAN)
        return -1;
    return RequestPendingWindow({ QStringLiteral("CSheetSearch"), page, pointedX, pointedY, distance });
}

void SetPendingWindowObserver(PendingWindowObserver observer)
{
    g_pendingWindowObserver = std::move(observer);
}

int RequestPendingWindow(const PendingWindowRequest& request)
{
    return g_pendingWindowObserver ? g_pendingWindowObserver(request) : -1;
}

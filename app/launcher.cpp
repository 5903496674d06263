#include "app/launcher.h"

#include "app/modal_windows.h"
#include "app/travenor_app.h"
#include "foundation/language.h"
#include "kernel/api/types.h"
#include "platform/display.h"
#include "platform/message_box.h"
#include "search/route_wizard.h"
#include "search/sheet_search.h"
#include "search/wizard_search.h"
#include "search/wizard_waypoints.h"
#include <QApplication>

#include <QPointer>

#include <utility>

namespace {
// The one route wizard, from its opening until it is closed.
QPointer<CWizardRoute> g_routeWizard;
} // namespace

CWizardRoute* GetRouteWizard() { return g_routeWizard.data(); }

int CLauncher::RouteWizard(int mode, const ZXS_Point* point)
{
    g_bSwallowKeyUp = 1;
    CWizardRoute* wizard = g_routeWizard.data();
    switch (mode) {
    case ROUTE_WIZARD_SHOW: {
        const int language = g_language.load();
        if (!wizard && language != LANGUAGE_ENGLISH && language != LANGUAGE_RUSSIAN)
            return -1;
        if (!wizard) {
            wizard = new CWizardRoute(Bilingual(u"Wizard route", u"Мастер-маршрут"));
            g_routeWizard = wizard;
            RegisterModalWindow({ wizard, 0, {} });
            if (!wizard->Create()) {
                CLauncher::RouteWizard(ROUTE_WIZARD_CLOSE, nullptr);
                return -1;
            }
            wizard->EnsureFullScreen();
            return -1;
        }
        RegisterModalWindow({ wizard, 0, {} });
        wizard->EnsureFullScreen();
        wizard->show();
        wizard->raise();
        wizard->activateWindow();
        if (point)
            wizard->OnMapPicked({ point->x, point->y });
        return -1;
    }
    case ROUTE_WIZARD_HIDE:
        if (wizard) {
            wizard->hide();
            UnregisterModalWindow({ wizard, 0, {} });
        }
        ActivateMapScreen();
        return -1;
    case ROUTE_WIZARD_CLOSE:
        if (!wizard)
            return -1;
        // Every end goes through the wizard's Finish, which settles the route
        // and comes back here to close it.
        if (!wizard->IsFinishing()) {
            wizard->Finish(platform::IDCANCEL);
            return -1;
        }
        g_routeWizard.clear();
        wizard->hide();
        // Closed from its own handlers: deleted once they have returned.
        wizard->deleteLater();
        UnregisterModalWindow({ wizard, 0, {} });
        ActivateMapScreen();
        return -1;
    default:
        return -1;
    }
}

int CLauncher::WaypointEditor(int page)
{
    CWizardWaypoints wizard(nullptr);
    return RunSheetModal(wizard, page, 0);
}

int CLauncher::SearchWizard(int page, ZXS_Point* positionOut)
{
    const int language = g_language.load();
    if (language != LANGUAGE_ENGLISH && language != LANGUAGE_RUSSIAN)
        return -1;
    CWizardSearch wizard(Bilingual(u"Wizard search", u"Мастер поиска"));
    // Opened beyond the first page: another wizard asks for an object.
    wizard.SetNested(page != 0);
    const int result = RunSheetModal(wizard, page, 0);
    if (result == -1)
        return -1;
    if (positionOut != nullptr)
        wizard.m_sch4.GetResultPosition(positionOut->x, positionOut->y);
    return result;
}

int CLauncher::SearchSheet(int page, int32_t pointedX, int32_t pointedY, int32_t distance)
{
    const int language = g_language.load();
    if (language != LANGUAGE_ENGLISH && language != LANGUAGE_RUSSIAN)
        return -1;
    if (page != SEARCH_PAGE_WAYPOINTS && page != SEARCH_PAGE_POI && page != SEARCH_PAGE_ADDRESS)
        return -1;
    CSheetSearch sheet(language == LANGUAGE_ENGLISH ? QStringLiteral("Search") : QStringLiteral("Поиск"));
    sheet.SetPointedPosition(distance, ZXS_Point { pointedX, pointedY });
    // The search sheet gives the memory reserve back while it is open.
    return RunSheetModal(sheet, page, 1);
}

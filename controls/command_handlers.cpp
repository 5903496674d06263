#include "controls/command_handlers.h"

#include "app/app_messages.h"
#include "app/launcher.h"
#include "app/main_frame.h"
#include "app/map_wnd.h"
#include "app/travenor_app.h"
#include "controls/button_folders.h"
#include "foundation/app_services.h"
#include "foundation/draw_suspender.h"
#include "foundation/language.h"
#include "foundation/path_helpers.h"
#include "foundation/scale_list.h"
#include "foundation/screen_metrics.h"
#include "gps/gps_source.h"
#include "gps/gps_source_names.h"
#include "nav/map_controller.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/system_programs.h"
#include "search/waypoint.h"
#include "settings/settings_menu_dlg.h"
#include "settings/settings_record.h"
#include "ui/button_grid_dlg.h"
#include "ui/message_window.h"

#include <chrono>
#include <thread>

namespace {

void SendToMainFrame(uint32_t message, platform::WPARAM wParam = 0)
{
    if (CMainFrame* frame = CMapWnd::GetMainFrame())
        platform::send(frame, message, wParam);
}

// Map movement and zoom.

template <int Dx, int Dy> void Move(CCommandEntry&) { g_MapController->Pan(Dx, Dy, 1); }

void ZoomIn(CCommandEntry&)
{
    CMapController& controller = *g_MapController;
    const int32_t scale = controller.GetScale();
    if (scale >= GetMinMapScale()) {
        controller.SetScale(GetNextScaleDown(scale));
        controller.SetRedrawFlag(1);
    }
}

void ZoomOut(CCommandEntry&)
{
    CMapController& controller = *g_MapController;
    const int32_t scale = controller.GetScale();
    if (GetMaxMapScale() >= scale) {
        controller.SetScale(GetNextScaleUp(scale));
        controller.SetRedrawFlag(1);
    }
}

void ShowWholeRoute(CCommandEntry&) { g_MapController->ShowWholeRoute(); }

void ShowAllWaypoints(CCommandEntry&)
{
    FocusBack();
    g_MapController->ShowAllWaypoints();
    FocusBack();
}

void ShowRoutePart(CCommandEntry&) { g_MapController->ShowRoutePart(); }

// Tap modes; the registry checks the radio afterwards.

template <int Mode> void SetTapModeHandler(CCommandEntry&) { g_MapController->SetTapMode(Mode); }

// A double tap on the route's first or last point: the address page, so that
// the point can be chosen by its address.
void SearchAddressForPoint(CCommandEntry&) { CLauncher::SearchSheet(SEARCH_PAGE_ADDRESS); }

// Toggles: the state changes, then the entry's flag flips.

// The overlay comes with the transparent buttons; without it there is nothing to show.
// Shows or hides the overlay; either way it starts again at the root folder.
void TransparentButtons(CCommandEntry& entry)
{
    CScreenButtonFolders& folders = GetTransparentButtonRoot();
    const bool shown = !folders.IsShown();
    folders.SetShown(shown);
    entry.checked = shown ? 1 : 0;
    if (g_MapController)
        g_MapController->SetRedrawFlag(1);
}

void ZoomSlider(CCommandEntry& entry)
{
    g_MapController->ShowZoomSlider(!g_MapController->IsZoomSliderShown());
    entry.Flip();
}

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

void OrientationPanel(CCommandEntry& entry)
{
    CManeuverPanel& panel = g_MapController->GetOrientationPanel();
    panel.Show(!panel.IsShown());
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

// Route.

void DeleteRoute(CCommandEntry&) { g_MapController->DeleteRoute(); }
void RecoverRoute(CCommandEntry&) { g_MapController->RecoverRoute(); }
void RecreateRoute(CCommandEntry&) { g_MapController->RecreateRoute(); }

// The points in reverse order.
void BackRoute(CCommandEntry&) { g_MapController->BuildRoute(nullptr, 0, 1, 255, nullptr, 0); }

void RouteWizard(CCommandEntry&) { CLauncher::RouteWizard(ROUTE_WIZARD_SHOW, nullptr); }

// Search and waypoints.

void AddressSearch(CCommandEntry&)
{
    FocusBack();
    CLauncher::SearchSheet(SEARCH_PAGE_ADDRESS);
    FocusBack();
}

void EditWaypoints(CCommandEntry&) { CLauncher::SearchSheet(SEARCH_PAGE_WAYPOINTS); }
void PoiSearch(CCommandEntry&) { CLauncher::SearchSheet(SEARCH_PAGE_POI); }

void SearchWizard(CCommandEntry&)
{
    CLauncher::SearchWizard(0, nullptr);
    FocusBack();
}

void WaypointEditor(CCommandEntry&) { CLauncher::WaypointEditor(0); }

void AddWaypointAtGps(CCommandEntry&)
{
    if (g_waypoints)
        g_waypoints->AddAtGpsFix();
}

// Application.

void Settings(CCommandEntry&)
{
    FocusBack();
    CSettingsMenuDlg().DoModal();
    FocusBack();
}

void Exit(CCommandEntry&)
{
    if (g_messageWnd)
        g_messageWnd->AskCloseOrMinimize(ROUTE_LATER_TIMEOUT);
}

void Help(CCommandEntry&) { SendToMainFrame(WM_APP_HELP); }

void HideMessage(CCommandEntry&)
{
    if (g_messageWnd)
        g_messageWnd->SetState(CScreenElement::STATE_HIDDEN);
}

void Minimize(CCommandEntry& entry)
{
    HideMessage(entry);
    SendToMainFrame(MSG_GO_TO_BACKGROUND);
}

void Close(CCommandEntry&) { CloseApplication(); }

void EditionOnly(CCommandEntry&) { ShowEditionOnlyMessage(); }

void DownloadJam(CCommandEntry&) { g_MapController->RequestJamDownload(); }

// The phone application is the command line set for "cprog.exe" (see
// platform/system_programs.h); without one there is no phone to start.
void Phone(CCommandEntry&)
{
    const QString program = QStringLiteral("\\Windows\\cprog.exe");
    if (!platform::HasSystemProgram(program)) {
        if (g_messageWnd)
            g_messageWnd->ShowNoPhoneApp(MESSAGE_NO_TIMEOUT);
        return;
    }
    SendToMainFrame(MSG_GO_TO_BACKGROUND);
    platform::StartSystemProgram(program, QString());
}

// The GPS source closed and opened again with its settings; the fix it had is
// kept across, and a running NMEA log starts again. Drawing stays paused
// meanwhile, so that no frame reads the fix or the port while it is closed.
void RestoreGps(CCommandEntry&)
{
    if (g_gpsSourceNumber.load() == GPS_SOURCE_REPLAY || !g_gpsSource)
        return;
    g_drawSuspender.Suspend();
    const int32_t state = g_gpsSource->GetPortState();
    const CGpsFix fix = CopyCurrentGpsFix();
    g_gpsSource->Close();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const bool opened = g_gpsSource->OpenPort(g_gpsSourceNumber.load(), g_gpsBaudRate.load());
    {
        platform::CSLock lock(g_gpsFixLock);
        if (opened)
            g_gpsFix = fix;
        else
            g_gpsFix.m_status = 'V'; // no receiver: no fix, whatever the opening left
    }
    if (opened && state == GPS_PORT_SERIAL_LOG)
        g_gpsSource->StartLog();
    FocusBack();
    g_drawSuspender.Resume(0);
}

// The quick menu.

struct QuickCellText {
    int32_t command;
    const char16_t* captionEn;
    const char16_t* descriptionEn;
    const char16_t* captionRu;
    const char16_t* descriptionRu;
};

// The zoom cell's texts follow the slider: index 0 while it is shown, 1 while hidden.
constexpr QuickCellText kZoomCells[2] = {
    { CMD_ZOOM_SLIDER, u"Zoom", u"Hide smooth zoom slider", u"Масштаб", u"Скрыть линейку масштаба" },
    { CMD_ZOOM_SLIDER, u"Zoom", u"Show smooth zoom slider", u"Масштаб", u"Показывать линейку масштаба" },
};

constexpr QuickCellText kQuickCells[] = {
    { CMD_SETTINGS, u"Settings", u"Open general settings", u"Настройки", u"Открыть общие настройки" },
    { CMD_EXIT, u"Exit", u"Exit from Travenor Pro application", u"Выход",
        u"Выход из приложения Travenor Pro" },
    { CMD_ADD_WAYPOINT, u"Waypoint", u"Add a waypoint at the current location", u"Закладка",
        u"Добавить закладку на текущем местоположении" },
    { CMD_WAYPOINT_EDITOR, u"Waypoints", u"Edit personal waypoints on the map", u"Закладки",
        u"Редактировать личные закладки на карте" },
    { CMD_ADDRESS_SEARCH, u"Search", u"Addresses and city objects", u"Поиск",
        u"Искать адреса и городские объекты" },
    { CMD_SEARCH_WIZARD, u"Search", u"Search for addresses and city objects", u"Поиск",
        u"Искать адреса и городские объекты" },
    { CMD_ROUTE_WIZARD, u"Route", u"Connect several points with a route", u"Маршрут",
        u"Соединить несколько точек маршрутом" },
    { CMD_RECOVER_ROUTE, u"Recover", u"Create a route from GPS to the pointed finish", u"Восстанов.",
        u"Проложить маршрут от GPS к заданному финишу" },
    { CMD_DOWNLOAD_JAM, u"Jam", u"Download jam", u"Пробки",
        u"Загрузить пробки (при подключенном источнике)" },
};

// Commands by index: upright expert, upright simple, landscape expert, landscape simple.
constexpr int32_t kQuickLayouts[4][8] = {
    { CMD_SETTINGS, CMD_EXIT, CMD_ADD_WAYPOINT, CMD_ADDRESS_SEARCH, CMD_RECOVER_ROUTE, CMD_DOWNLOAD_JAM,
        CMD_ZOOM_SLIDER, kQuickMenuCancel },
    { CMD_SETTINGS, CMD_EXIT, CMD_WAYPOINT_EDITOR, CMD_ROUTE_WIZARD, CMD_SEARCH_WIZARD, CMD_DOWNLOAD_JAM,
        CMD_ZOOM_SLIDER, kQuickMenuCancel },
    { kQuickMenuCancel, CMD_DOWNLOAD_JAM, CMD_ADDRESS_SEARCH, CMD_EXIT, CMD_ZOOM_SLIDER, CMD_RECOVER_ROUTE,
        CMD_ADD_WAYPOINT, CMD_SETTINGS },
    { kQuickMenuCancel, CMD_DOWNLOAD_JAM, CMD_ROUTE_WIZARD, CMD_EXIT, CMD_ZOOM_SLIDER, CMD_SEARCH_WIZARD,
        CMD_WAYPOINT_EDITOR, CMD_SETTINGS },
};

void QuickMenu(CCommandEntry&)
{
    CButtonGridDlg grid(4, 2);
    const int orientation = GetEffectiveOrientation();
    const bool sliderShown = g_MapController && g_MapController->IsZoomSliderShown();
    for (int index = 0; index < 8; ++index) {
        QuickMenuCell cell;
        if (GetQuickMenuCell(
                index, orientation, g_bExpertMode.load() != 0, g_language.load(), sliderShown, cell))
            // The cancel cell's 2 is no command and names no picture of its own.
            grid.SetCellByIndex(index, cell.command, cell.caption, cell.description, cell.state,
                PRESS_STEP_IMAGE_OFFSET, cell.command == kQuickMenuCancel ? 0 : 3);
    }
    g_drawSuspender.Suspend();
    const int result = grid.DoModal();
    g_drawSuspender.Resume(1);
    g_CommandRegistry->SetLastQuickMenuChoice(result);
    FocusBack();
    if (CCommandRegistry::IsCommand(static_cast<uint32_t>(result)))
        ExecuteCommand(static_cast<uint32_t>(result));
}

// The screenshot.

void Screenshot(CCommandEntry&)
{
    const int32_t storedFormat = g_screenshotFormat;
    platform::FileDialogRequest request;
    request.open = false;
    request.defaultExt = storedFormat == 1 ? QStringLiteral("jpg") : QStringLiteral("bmp");
    request.fileName = ProposeScreenshotName(g_screenshotFolder, storedFormat);
    request.flags = platform::OFN_OVERWRITEPROMPT;
    request.filter = storedFormat == 1 ? QStringLiteral("JPEG Files (*.jpg)|*.jpg|BMP Files (*.bmp)|*.bmp||")
                                       : QStringLiteral("BMP Files (*.bmp)|*.bmp|JPEG Files (*.jpg)|*.jpg||");
    const std::optional<QString> chosen = platform::ShowFileDialog(nullptr, request);
    if (!chosen) {
        FocusBack();
        return;
    }
    const QString path = *chosen;
    const int format = ScreenshotFormatOfPath(path);
    int32_t quality = g_screenshotQuality;
    bool saved = false;
    bool asked = true;
    if (format == 1) {
        CRangeEnumerator qualities(quality, 100, 10, 10);
        CListChoiceDlg choice(&qualities);
        choice.m_prompt = Bilingual(u"Compression quality:", u"Качество сжатия:");
        asked = choice.DoModal() == platform::IDOK;
        quality = qualities.m_current;
    }
    if (asked && format >= 0 && g_MapController)
        saved = g_MapController->SaveScreenshot(path, format, quality) != 0;
    if (saved) {
        g_screenshotQuality = quality;
        g_screenshotFormat = format;
        g_screenshotFolder = GetFolderPart(path);
    } else if (asked) {
        // Also a name that is no picture format: nothing was written, and the user is told.
        AppMessageBoxText(Bilingual(u"Can't save the file.", u"Невозможно сохранить файл."), platform::MB_OK);
    }
    FocusBack();
}

} // namespace

int ShowEditionOnlyMessage()
{
    const int language = g_language.load();
    if (language != LANGUAGE_ENGLISH && language != LANGUAGE_RUSSIAN)
        return 0;
    const QString text = Bilingual(u"This option is available only in Travenor Pro Harrowick.",
        u"Данная опция доступна только в Travenor Pro Harrowick.");
    const QString title = QStringLiteral("Travenor Pro");
    if (g_MapController && g_MapController->IsMapScreenActive() && g_messageWnd)
        g_messageWnd->Show(title, text, MESSAGE_CLOSE_BUTTON, MESSAGE_NO_TIMEOUT, 0);
    else
        AppMessageBox(nullptr, text, title, platform::MB_OK);
    return 0;
}

void FocusBack()
{
    if (CMainFrame* frame = CMapWnd::GetMainFrame())
        frame->BringToForeground();
}

CRangeEnumerator::CRangeEnumerator(int32_t current, int32_t maximum, int32_t minimum, int32_t step)
    : m_maximum(maximum)
    , m_minimum(minimum)
    , m_step(step)
{
    m_current = current;
}

bool CRangeEnumerator::Next(int index, QString& name, int32_t& value)
{
    const int64_t v = int64_t(m_minimum) + int64_t(index) * m_step;
    if (index < 0 || v > m_maximum)
        return false;
    value = static_cast<int32_t>(v);
    name = QString::number(value);
    return true;
}

bool GetQuickMenuCell(
    int index, int orientation, bool expert, int language, bool sliderShown, QuickMenuCell& cell)
{
    if (index < 0 || index >= 8 || (language != LANGUAGE_ENGLISH && language != LANGUAGE_RUSSIAN))
        return false;
    int layout;
    if (orientation == ORIENT_PORTRAIT || orientation == ORIENT_SQUARE)
        layout = expert ? 0 : 1;
    else if (orientation == ORIENT_LANDSCAPE)
        layout = expert ? 2 : 3;
    else
        return false;
    cell = {};
    cell.command = kQuickLayouts[layout][index];
    if (cell.command == kQuickMenuCancel) {
        cell.caption = language == LANGUAGE_ENGLISH ? QStringLiteral("Cancel") : QStringLiteral("Отмена");
        cell.description = language == LANGUAGE_ENGLISH ? QStringLiteral("Exit from the menu")
                                                        : QStringLiteral("Выход из меню");
        return true;
    }
    const QuickCellText* text = nullptr;
    if (cell.command == CMD_ZOOM_SLIDER) {
        text = &kZoomCells[sliderShown ? 0 : 1];
        cell.state = sliderShown ? 3 : 1;
    } else {
        for (const QuickCellText& t : kQuickCells)
            if (t.command == cell.command)
                text = &t;
    }
    const bool english = language == LANGUAGE_ENGLISH;
    cell.caption = QString::fromUtf16(english ? text->captionEn : text->captionRu);
    cell.description = QString::fromUtf16(english ? text->descriptionEn : text->descriptionRu);
    return true;
}

QString ProposeScreenshotName(const QString& folder, int32_t format)
{
    const QString base = folder.isEmpty()
        ? platform::DevicePathToLocal(QStringLiteral("\\My Documents\\KVRA screen.bmp"))
        : folder + QStringLiteral("KVRA screen.bmp");
    const QString free = FindFreeScreenshotName(base);
    return format == 1 ? RemoveExtension(free) + QStringLiteral(".jpg") : free;
}

int ScreenshotFormatOfPath(const QString& path)
{
    const QString extension = GetFileExtension(path).toLower();
    if (extension == QLatin1String("bmp"))
        return 0;
    if (extension == QLatin1String("jpg") || extension == QLatin1String("jpeg"))
        return 1;
    return -1;
}

CommandHandler GetCommandHandler(uint32_t id)
{
    switch (id) {
    case CMD_SETTINGS:
        return &Settings;
    case CMD_SHOW_TRANSPARENT_BUTTONS:
        return &TransparentButtons;
    case CMD_EXIT:
        return &Exit;
    case CMD_MOVE_RIGHT:
        return &Move<-40, 0>;
    case CMD_MOVE_LEFT:
        return &Move<40, 0>;
    case CMD_MOVE_UP:
        return &Move<0, 40>;
    case CMD_MOVE_DOWN:
        return &Move<0, -40>;
    case CMD_ZOOM_IN:
    case CMD_ZOOM_IN_BUTTON:
        return &ZoomIn;
    case CMD_ZOOM_OUT:
    case CMD_ZOOM_OUT_BUTTON:
        return &ZoomOut;
    case CMD_ZOOM_WINDOW:
        return &SetTapModeHandler<TAP_ZOOM_WINDOW>;
    case CMD_SCROLL:
        return &SetTapModeHandler<TAP_SCROLL>;
    case CMD_FIRST_POINT:
        return &SetTapModeHandler<TAP_FIRST_POINT>;
    case CMD_LAST_POINT:
        return &SetTapModeHandler<TAP_LAST_POINT>;
    case CMD_PHONE:
        return &Phone;
    case CMD_ADDRESS_SEARCH:
        return &AddressSearch;
    case CMD_EDIT_WAYPOINTS:
        return &EditWaypoints;
    case CMD_HELP:
        return &Help;
    case CMD_ZOOM_SLIDER:
        return &ZoomSlider;
    case CMD_DELETE_ROUTE:
        return &DeleteRoute;
    case CMD_GPS_TRACKING:
        return &GpsTracking;
    case CMD_OBJECT_NAME:
        return &SetTapModeHandler<TAP_OBJECT_NAME>;
    case CMD_SHOW_ROUTE:
        return &ShowWholeRoute;
    case CMD_SHOW_WAYPOINTS:
        return &ShowAllWaypoints;
    case CMD_ALWAYS_UP:
        return &AlwaysUp;
    case CMD_RECOVER_ROUTE:
        return &RecoverRoute;
    case CMD_ROUTE_FINISH_ONLY:
        return &SetTapModeHandler<TAP_ROUTE_FINISH_ONLY>;
    case CMD_MINIMIZE:
        return &Minimize;
    case CMD_CLOSE:
        return &Close;
    case CMD_POI_SEARCH:
        return &PoiSearch;
    case CMD_ORIENTATION_PANEL:
        return &OrientationPanel;
    case CMD_ADD_WAYPOINT:
        return &AddWaypointAtGps;
    case CMD_SHOW_ROUTE_PART:
        return &ShowRoutePart;
    case CMD_ROAD_JUNCTION:
        return &RoadJunction;
    case CMD_DOWNLOAD_JAM:
        return &DownloadJam;
    case CMD_ROUTE_WIZARD:
        return &RouteWizard;
    case CMD_SEARCH_WIZARD:
        return &SearchWizard;
    case CMD_RECREATE_ROUTE:
        return &RecreateRoute;
    case CMD_SCREENSHOT:
        return &Screenshot;
    case CMD_DRIVING_MODE:
        return &DrivingMode;
    case CMD_HARROWICK:
        return &EditionOnly;
    case CMD_WAYPOINT_EDITOR:
        return &WaypointEditor;
    case CMD_RESTORE_GPS:
        return &RestoreGps;
    case CMD_BACK_ROUTE:
        return &BackRoute;
    case CMD_HIDE_MESSAGE:
        return &HideMessage;
    case CMD_QUICK_MENU_EN:
    case CMD_QUICK_MENU_RU:
        return &QuickMenu;
    default:
        // 10000, 10015, 10016 and 10029 (the empty command), 10050 and 10053.
        return nullptr;
    }
}

CommandHandler GetAlternateCommandHandler(uint32_t id)
{
    return id == CMD_FIRST_POINT || id == CMD_LAST_POINT ? &SearchAddressForPoint : nullptr;
}

#include "app/load_application_data.h"

#include "app/device_config.h"
#include "app/kn_exception.h"
#include "app/loading_wnd.h"
#include "app/travenor_app.h"
#include "controls/button_folders.h"
#include "drawlib/screen_draw_tool.h"
#include "foundation/app_services.h"
#include "foundation/path_helpers.h"
#include "foundation/scale_list.h"
#include "nav/map_controller.h"
#include "platform/message_box.h"
#include "platform/messages.h"
#include "settings/settings_file.h"
#include "settings/settings_record.h"
#include "settings/ui_mode.h"
#include "traffic/jam_glue.h"
#include "ui/button_hint.h"
#include "ui/message_window.h"

#include <QCoreApplication>
#include <initializer_list>
#include <utility>

namespace {

// Appends the ids from..to, both included.
void AddRange(std::vector<uint32_t>& ids, uint32_t from, uint32_t to)
{
    for (uint32_t id = from; id <= to; ++id)
        ids.push_back(id);
}

std::vector<uint32_t> Ids(std::initializer_list<std::pair<uint32_t, uint32_t>> ranges)
{
    std::vector<uint32_t> ids;
    for (const auto& [from, to] : ranges)
        AddRange(ids, from, to);
    return ids;
}

std::vector<uint32_t> RequiredImages()
{
    // The fonts first: without them nothing of the interface can be drawn.
    std::vector<uint32_t> ids { 761, 196, 758, 795, 217, 179 };
    for (uint32_t command = 10000; command <= 10052; ++command)
        if (command != 10015)
            for (uint32_t step = 0; step < 3; ++step)
                ids.push_back(command + 700 * step);
    AddRange(ids, 14000, 14006);
    ids.insert(ids.end(), { 14051, 2, 3, 702, 703, 1402, 1403, 13000, 13001, 13100, 13101, 13200, 13201 });
    AddRange(ids, 13300, 13331);
    AddRange(ids, 653, 658);
    ids.insert(ids.end(), { 180, 181, 183, 184 });
    AddRange(ids, 186, 195);
    ids.insert(ids.end(), { 200, 204, 205, 208, 209, 210, 226 });
    AddRange(ids, 255, 260);
    ids.insert(ids.end(),
        { 735, 737, 742, 744, 746, 747, 749, 765, 768, 770, 780, 809, 810, 819, 834, 835, 836, 843, 845, 846,
            847, 849, 850, 855 });
    return ids;
}

const char kMissingFilesText[]
    = "Невозможно запустить Travenor Pro, т.к. не хватает одного или нескольких\t\t\tфайлов необходимых для "
      "запуска программы или версия этих файлов не\t\t\tсоответствует версии программы. Переустановите "
      "Travenor Pro.\n\t\t\tTravenor Pro cannot be launched, as there is not one or more files\t\t\tneeded "
      "to "
      "run the program, or a version of these files does not\t\t\tconform to a program version. Re-install "
      "the "
      "Travenor Pro.\n";

// The progress reported after each part of the required pictures.
constexpr int kRequiredPartProgress[] = { 26, 29, 32, 35, 38, 41 };

bool LoadImages(const QString& module, const std::vector<uint32_t>& ids)
{
    bool all = true;
    for (uint32_t id : ids)
        all = g_drawTool->LoadResource(module, id) && all;
    return all;
}

[[noreturn]] void Fail()
{
    AppMessageBox(nullptr, MissingFilesMessage(), AppTitle(), platform::MB_OK | platform::MB_ICONHAND);
    FatalExit(CTravenorApp::EXIT_FAILED);
}

// The traffic manager's events reach the map controller on the user-interface thread.
void OnJamEvent(int event, JamStatus status, const uint64_t* jamTime)
{
    const bool timed = jamTime != nullptr;
    const uint64_t time = timed ? *jamTime : 0;
    platform::PostToMainThread([event, status, timed, time] {
        if (CMapController* controller = g_MapController.get())
            controller->OnJamManagerEvent(event, status, timed ? &time : nullptr);
    });
}

} // namespace

const std::vector<std::vector<uint32_t>>& RequiredImageParts()
{
    static const std::vector<std::vector<uint32_t>> parts = [] {
        const std::vector<uint32_t> all = RequiredImages();
        std::vector<std::vector<uint32_t>> split(std::size(kRequiredPartProgress));
        const size_t per = (all.size() + split.size() - 1) / split.size();
        for (size_t i = 0; i < all.size(); ++i)
            split[i / per].push_back(all[i]);
        return split;
    }();
    return parts;
}

const std::vector<uint32_t>& OptionalImages()
{
    static const std::vector<uint32_t> ids = [] {
        std::vector<uint32_t> list
            = Ids({ { 197, 198 }, { 206, 207 }, { 214, 216 }, { 218, 225 }, { 227, 234 }, { 236, 242 },
                { 244, 254 }, { 261, 296 }, { 298, 299 }, { 301, 309 }, { 311, 316 }, { 548, 600 },
                { 752, 754 }, { 756, 757 }, { 762, 762 }, { 799, 800 }, { 1348, 1348 }, { 13334, 13334 } });
        // Pictures the on-map elements draw that the program has always had
        // to have without loading them: the diagram icons, the POI category
        // icons and the waypoint colour icons.
        AddRange(list, 772, 777);
        AddRange(list, 601, 652);
        AddRange(list, 665, 670);
        return list;
    }();
    return ids;
}

const std::vector<uint32_t>& OptionalImagesAfterTargetArrows()
{
    static const std::vector<uint32_t> ids
        = Ids({ { 478, 502 }, { 13333, 13333 }, { 786, 789 }, { 378, 378 }, { 660, 664 } });
    return ids;
}

const std::vector<uint32_t>& OptionalImageChain()
{
    static const std::vector<uint32_t> ids = [] {
        std::vector<uint32_t> list { 861, 862, 869, 867, 871, 863, 864, 865, 866, 868 };
        AddRange(list, 15111, 15125);
        return list;
    }();
    return ids;
}

QString MissingFilesMessage() { return QString::fromUtf8(kMissingFilesText); }

int LoadApplicationData()
{
    SetLoadingProgress(23);
    if (GetProgramFolder().isEmpty())
        Fail();

    const QString module = g_resourceDll ? g_resourceDll->Handle() : QString();
    const auto& parts = RequiredImageParts();
    for (size_t i = 0; i < parts.size(); ++i) {
        for (uint32_t id : parts[i])
            if (!g_drawTool->LoadResource(module, id))
                Fail();
        SetLoadingProgress(kRequiredPartProgress[i]);
    }
    LoadImages(module, OptionalImages());
    SetLoadingProgress(44);
    LoadImages(module, OptionalImagesAfterTargetArrows());
    for (uint32_t id : OptionalImageChain())
        if (!g_drawTool->LoadResource(module, id))
            break;
    if (g_resourceDll)
        g_resourceDll->Free();
    SetLoadingProgress(47);

    CMapController& controller = *g_MapController;
    bool ready = false;
    try {
        ready = controller.Attach(g_drawTool.get()) != 0;
    } catch (const CKNException& error) {
        error.ReportError();
    }
    SetLoadingProgress(58);
    GetTransparentButtonRoot().SetSurface(g_drawTool.get());
    ready = ready && g_infoLabel->Init(g_drawTool.get(), 0) && g_buttonHint->Init(g_drawTool.get(), 0)
        && g_messageWnd->Attach(g_drawTool.get(), nullptr, 0);

    // The settings are read whether or not the map is there: reading them
    // opens the GPS source.
    g_settingsFile->Load(CSettingsFile::FLAG_WAYPOINTS | CSettingsFile::FLAG_VERSION);
    controller.GetMapSet().ApplyFontScale();
    controller.OpenView();
    FillScaleList();
    SetDockWareDisabled(0);
    if (!ready)
        Fail();

    controller.LayoutElements();
    controller.GetJamFiles().StartWorker(false);
    SetJamCallback(OnJamEvent);
    CreateJamManager(g_jamSettings, controller.GetJamFiles().GetJamPath());
    if (g_jamSettings.downloadEnabled)
        controller.RequestJamDownload();
    controller.SetMapReady();

    // The route comes back before the version records are written, so that
    // the route of the version run before is still found.
    g_settingsFile->RestoreRoute(0);
    g_settingsFile->WriteVersionRecords(0);
    ApplyUiMode(g_bExpertMode, 0);
    return 1;
}

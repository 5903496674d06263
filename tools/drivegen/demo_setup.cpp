// travenor_demo_setup: makes a folder from which the program replays a drive.
// Given the program's data folder, the demo folder (the run's "\My Documents")
// with the drive's NMEA log in it, and the drive's start and finish, it builds
// the program's objects on the shipped map and lets the program itself write
// what a user who had set the drive up would leave behind: the settings file
// (GPS source 11 replaying the log at its own pace, prompts and the notices
// of leaving and rejoining the route on, re-routing after a deviation), the
// route file with the destination, and the registry file naming both.
#include "app/process_objects.h"
#include "drawlib/screen_draw_tool.h"
#include "foundation/path_helpers.h"
#include "foundation/scale_list.h"
#include "gps/gps_fix.h"
#include "gps/gps_source.h"
#include "gps/gps_source_names.h"
#include "kernel/api/map_geo.h"
#include "nav/map_controller.h"
#include "nav/route.h"
#include "platform/message_box.h"
#include "platform/options.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "settings/settings_file.h"
#include "settings/settings_record.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>

namespace {

constexpr double kPi = 3.14159265358979323846;

int Usage(const char* message)
{
    if (message != nullptr)
        std::fprintf(stderr, "travenor_demo_setup: %s\n", message);
    std::fprintf(message != nullptr ? stderr : stdout,
        "usage: travenor_demo_setup DATA_DIR DEMO_DIR LOG.nm START_LAT,LON FINISH_LAT,LON\n"
        "Writes into DEMO_DIR the settings file, the route file and the registry file\n"
        "(registry.ini) that make the program replay DEMO_DIR/LOG.nm along the route when run\n"
        "with --documents DEMO_DIR --config DEMO_DIR/registry.ini.\n");
    return message != nullptr ? 2 : 0;
}

bool ParsePlace(const char* text, double& lat, double& lon)
{
    char tail = 0;
    return std::sscanf(text, "%lf,%lf%c", &lat, &lon, &tail) == 2 && std::abs(lat) <= 90
        && std::abs(lon) <= 180;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0))
        return Usage(nullptr);
    if (argc != 6)
        return Usage("five arguments are needed");
    double places[4];
    if (!ParsePlace(argv[4], places[0], places[1]) || !ParsePlace(argv[5], places[2], places[3]))
        return Usage("a place is LAT,LON in degrees");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    const QString demo = QDir(QString::fromLocal8Bit(argv[2])).absolutePath();
    const QString log = QString::fromLocal8Bit(argv[3]);
    if (!QFile::exists(demo + QLatin1Char('/') + log)) {
        std::fprintf(stderr, "travenor_demo_setup: %s is not in %s\n", argv[3], argv[2]);
        return 1;
    }
    const QString registryFile = demo + QStringLiteral("/registry.ini");
    QFile::remove(registryFile);
    // The program runs from a folder of its own here, so that what it writes
    // beside the map (the passage journal, the closed roads) stays out of the
    // data folder it is given.
    QTemporaryDir program;
    const QString data = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    // The map is copied: the kernel opens a map file exclusively, and the
    // program may be running on the data folder meanwhile.
    for (const char* name : { "Fonts", "resources" })
        QFile::link(data + QLatin1Char('/') + QLatin1String(name), program.filePath(QLatin1String(name)));
    for (const char* name : { "mskmo0704.tzx", "mskmo0704.zxg", "mskmo0704.zxp" })
        QFile::copy(data + QLatin1Char('/') + QLatin1String(name), program.filePath(QLatin1String(name)));
    // Nobody is there to answer a question: it is printed and refused.
    platform::SetMessageBoxAnswerer([](const platform::MessageBoxRequest& request) {
        std::fprintf(stderr, "travenor_demo_setup: %s\n", qPrintable(request.text));
        return platform::IDCANCEL;
    });
    platform::Options options = platform::options();
    options.dataDir = program.path();
    options.documentsDir = demo;
    options.configFile = registryFile;
    platform::setOptions(options);
    ForgetProgramFolder();

    int status = 1;
    {
        CProcessObjects objects;
        FillScaleList();
        CMapController& controller = *g_MapController;
        if (controller.Attach(g_drawTool.get()) != 1 || controller.OpenView() != 1) {
            std::fprintf(stderr, "travenor_demo_setup: the map of %s does not open\n", argv[1]);
            return 1;
        }
        g_settingsFile->SetDefaults();

        MapPoint route[4] = { { kUnsetCoordinate, kUnsetCoordinate }, { kUnsetCoordinate, kUnsetCoordinate },
            { kUnsetCoordinate, kUnsetCoordinate }, { kUnsetCoordinate, kUnsetCoordinate } };
        for (int k = 0; k < 2; ++k) {
            ZXS_Point p;
            if (ZXS_GeoToMap(controller.GetMapSet().ActiveMap(), places[2 * k + 1] * kPi / 180,
                    places[2 * k] * kPi / 180, &p)
                != 0) {
                std::fprintf(stderr, "travenor_demo_setup: a place lies outside the map\n");
                return 1;
            }
            route[k == 0 ? CRoute::SLOT_START : CRoute::SLOT_FINISH] = { p.x, p.y };
        }

        // The fix and the map where the drive starts.
        CGeoPos start;
        {
            platform::CSLock lock(g_gpsFixLock);
            g_gpsFix.SetChecked(places[0] * kPi / 180, places[1] * kPi / 180, true);
            start = g_gpsFix;
            g_gpsSource->UpdateMapPosition();
        }
        controller.SetStartCentre(start);

        const QString replay = QStringLiteral("\\My Documents\\") + log;
        g_gpsSource->Close();
        g_gpsSource->SetReplayOptions(0, 0, 1.0, 0);
        if (!g_gpsSource->SetReplayFileName(replay)) {
            std::fprintf(stderr, "travenor_demo_setup: %s is no replay file\n", argv[3]);
            return 1;
        }
        g_gpsSourceNumber = GPS_SOURCE_REPLAY;
        g_leavingRouteMessages = 1;
        CRouteManager& routes = controller.GetRouteManager();
        routes.SetRerouteOnDeviation(1);
        routes.SetSaveRouteOnExit(1);
        CRouteGuide& guide = routes.GetGuide();
        guide.SetFirstPromptOn(1);
        guide.SetSecondPromptOn(1);
        guide.SetFinalPromptOn(1);

        CRoute& r = routes.GetRoute();
        const bool routed = r.SetPoints(route, 4, 0) == 0 && r.Calculate() == 0;
        if (!routed)
            std::fprintf(stderr, "travenor_demo_setup: no route between the places\n");
        else if (!g_settingsFile->SaveRoute(CSettingsFile::ROUTE_FORCE))
            std::fprintf(stderr, "travenor_demo_setup: the route file is not written\n");
        else if (!g_settingsFile->Write(QStringLiteral("\\My Documents\\Travenor Pro settings.kns")))
            std::fprintf(stderr, "travenor_demo_setup: the settings file is not written\n");
        else
            status = 0;
        g_settingsFile->WriteVersionRecords(0);
        // The simple interface, without the question of the first start.
        platform::WriteProfileInt(QStringLiteral("Settings"), QStringLiteral("expert mode"), 0);
        routes.ClearRoute();
    }
    return status;
}

#pragma once
// The map controller on the map compiled from the Ostankino extract (beside
// the benchmarks' folder, in <build>/maps), opened from a program folder of
// its own, for the search benchmarks.
#include "foundation/path_helpers.h"
#include "foundation/scale_list.h"
#include "nav/map_controller.h"
#include "platform/options.h"

#include <QFile>
#include <QTemporaryDir>
#include <filesystem>

class OstankinoMap {
public:
    OstankinoMap()
    {
        const QString from = QString::fromStdString(
            (std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "maps"
                / "moscow-ostankino")
                .string());
        for (const char* extension : { ".tzx", ".zxg", ".zxp" })
            QFile::copy(from + QLatin1String(extension),
                m_folder.filePath(QStringLiteral("mskmo0704") + QLatin1String(extension)));
        QFile::link(
            QStringLiteral(TRAVENOR_BUILD_DATA_DIR "/Fonts"), m_folder.filePath(QStringLiteral("Fonts")));
        platform::Options options = platform::options();
        options.dataDir = m_folder.path();
        platform::setOptions(options);
        ForgetProgramFolder();
        FillScaleList();
        g_MapController.Create();
        open = g_MapController->GetMapSet().OpenWithFonts();
        g_MapController->GetAddressSearcher().SetMapView(g_MapController.get());
        g_MapController->GetPoiSearcher().SetMapView(g_MapController.get());
        g_MapController->GetPoiSearcher().LoadCategoryNames();
    }
    ~OstankinoMap() { g_MapController.Destroy(); }
    OstankinoMap(const OstankinoMap&) = delete;
    OstankinoMap& operator=(const OstankinoMap&) = delete;

    const CZXS_MapHandle* Map() const { return g_MapController->GetMapSet().ActiveMap(); }

    bool open = false;

private:
    QTemporaryDir m_folder;
};

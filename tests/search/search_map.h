#pragma once
// The map controller attached to a test map for the length of a test: the
// shipped Voradu map, an OpenStreetMap extract the map compiler built, or a
// small map written for the test, put into a program folder of the test's own
// under the release map's name, so that the controller's map set opens it.
#include "drawlib/screen_draw_tool.h"
#include "foundation/scale_list.h"
#include "nav/map_controller.h"
#include "tests/support/map_fixture.h"
#include "tests/support/program_folder.h"
#include "tools/mapwriter/poi_writer.h"

#include <QFile>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace search_testing {

// "voradu", or the name of a compiled extract ("monaco", "moscow-ostankino").
inline QString MapPath(const std::string& name)
{
    if (name == "voradu")
        return testing_support::BuildDataFolder() + QStringLiteral("/mskmo0704.tzx");
    return QStringLiteral(TRAVENOR_COMPILED_MAPS_DIR "/%1.tzx").arg(QString::fromStdString(name));
}

class SearchMap {
public:
    explicit SearchMap(const std::string& name)
        : SearchMap(name, nullptr)
    {
    }
    // The map with a POI set of the test's own in place of its own.
    SearchMap(const std::string& name, const mapwriter::PoiSetDescription& pois)
        : SearchMap(name, &pois)
    {
    }
    explicit SearchMap(const mapwriter::MapDescription& map)
    {
        mapwriter::SaveFile(
            m_folder.File(QStringLiteral("mskmo0704.tzx")).toStdString(), mapwriter::WriteTzx(map));
        Attach();
    }
    ~SearchMap()
    {
        m_controller.reset();
        m_drawTool.reset();
    }
    SearchMap(const SearchMap&) = delete;
    SearchMap& operator=(const SearchMap&) = delete;

    CMapController& Controller() { return *g_MapController; }
    CZXS_MapHandle* Map() { return g_MapController->GetMapSet().ActiveMap(); }
    CAddressSearcher& Searcher() { return g_MapController->GetAddressSearcher(); }
    CPoiQuery& Pois() { return g_MapController->GetPoiSearcher(); }
    testing_support::ProgramFolder& Folder() { return m_folder; }

    bool opened = false;

private:
    SearchMap(const std::string& name, const mapwriter::PoiSetDescription* pois)
    {
        const QString path = MapPath(name);
        for (const char* extension : { ".tzx", ".zxg", ".zxp" }) {
            const QString from = path.chopped(4) + QLatin1String(extension);
            const QString to = m_folder.File(QStringLiteral("mskmo0704") + QLatin1String(extension));
            if (pois != nullptr && QLatin1String(extension) == QLatin1String(".zxp"))
                mapwriter::SaveFile(to.toStdString(), mapwriter::WriteZxp(*pois));
            else if (QFile::exists(from))
                QFile::copy(from, to);
        }
        Attach();
    }
    void Attach()
    {
        FillScaleList();
        m_drawTool.emplace(g_drawTool);
        m_controller.emplace(g_MapController);
        opened = g_MapController->Attach(g_drawTool.get()) == 1 && g_MapController->OpenView() == 1;
    }

    testing_support::ProgramFolder m_folder;
    std::optional<platform::ScopedProcessObject<CScreenDrawTool>> m_drawTool;
    std::optional<platform::ScopedProcessObject<CMapController>> m_controller;
};

} // namespace search_testing

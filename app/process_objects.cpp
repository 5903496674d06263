#include "app/process_objects.h"

#include "app/travenor_app.h"
#include "controls/button_folders.h"
#include "controls/command_registry.h"
#include "controls/hard_key_map.h"
#include "controls/map_popup_menu.h"
#include "drawlib/screen_draw_tool.h"
#include "gps/gps_source.h"
#include "nav/map_controller.h"
#include "search/waypoint.h"
#include "settings/settings_file.h"
#include "traffic/roz_command_log.h"
#include "ui/button_hint.h"
#include "ui/message_window.h"

namespace {

template <auto& holder> ProcessObjectEntry Entry(const char* name)
{
    return { name, [] { holder.Create(); }, [] { holder.Destroy(); },
        [] { return static_cast<bool>(holder); } };
}

} // namespace

const std::vector<ProcessObjectEntry>& ProcessObjectList()
{
    // The order the program has always built its objects in. A subsystem's
    // object takes its place here when the subsystem is built (DEVELOPERS.md).
    static const std::vector<ProcessObjectEntry> list {
        Entry<theApp>("theApp"), Entry<g_CommandRegistry>("g_CommandRegistry"),
        Entry<g_HardKeyMap>("g_HardKeyMap"), Entry<g_drawTool>("g_drawTool"),
        Entry<g_MapController>("g_MapController"), Entry<g_transparentButtonRoot>("g_transparentButtonRoot"),
        Entry<g_waypoints>("g_waypoints"), Entry<g_gpsSource>("g_gpsSource"),
        Entry<g_settingsFile>("g_settingsFile"), Entry<g_MapPopupMenu>("g_MapPopupMenu"),
        Entry<g_infoLabel>("g_infoLabel"), Entry<g_buttonHint>("g_buttonHint"),
        Entry<g_messageWnd>("g_messageWnd"), Entry<g_resourceDll>("g_resourceDll"),
        // the list of open modal windows
        Entry<g_rozCommandLog>("g_rozCommandLog"),
        // the GPS code's objects
    };
    return list;
}

CProcessObjects::CProcessObjects(Observer observer)
    : m_observer(std::move(observer))
{
    for (const ProcessObjectEntry& entry : ProcessObjectList()) {
        entry.build();
        ++m_built;
        if (m_observer)
            m_observer(entry, true);
    }
}

CProcessObjects::~CProcessObjects()
{
    const auto& list = ProcessObjectList();
    while (m_built > 0) {
        const ProcessObjectEntry& entry = list[--m_built];
        entry.tearDown();
        if (m_observer)
            m_observer(entry, false);
    }
}

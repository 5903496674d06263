#include "app/process_objects.h"

#include "app/travenor_app.h"
#include "drawlib/screen_draw_tool.h"
#include "ui/message_window.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Names()
{
    std::vector<std::string> names;
    for (const ProcessObjectEntry& entry : ProcessObjectList())
        names.emplace_back(entry.name);
    return names;
}

TEST(ProcessObjects, BuiltInTheProgramsOrderAndTornDownInReverse)
{
    // The order the program builds its process-wide objects in; objects of
    // subsystems still to come take their places between these.
    const std::vector<std::string> order { "theApp", "g_CommandRegistry", "g_HardKeyMap", "g_drawTool",
        "g_MapController", "g_transparentButtonRoot", "g_waypoints", "g_gpsSource", "g_settingsFile",
        "g_MapPopupMenu", "g_infoLabel", "g_buttonHint", "g_messageWnd", "g_resourceDll", "g_rozCommandLog" };
    ASSERT_EQ(Names(), order);

    const auto& list = ProcessObjectList();
    std::vector<std::string> built, tornDown;
    {
        CProcessObjects objects([&](const ProcessObjectEntry& entry, bool isBuilt) {
            // Each step sees every object before it in the list and none after.
            const size_t index = static_cast<size_t>(&entry - list.data());
            for (size_t i = 0; i < list.size(); ++i) {
                const bool shouldExist = isBuilt ? i <= index : i < index;
                EXPECT_EQ(list[i].exists(), shouldExist)
                    << list[i].name << " when " << entry.name << (isBuilt ? " was built" : " was torn down");
            }
            (isBuilt ? built : tornDown).emplace_back(entry.name);
        });
        EXPECT_TRUE(theApp && g_drawTool && g_messageWnd);
    }
    EXPECT_EQ(built, order);
    EXPECT_EQ(tornDown, std::vector<std::string>(order.rbegin(), order.rend()));
    EXPECT_FALSE(theApp || g_drawTool || g_messageWnd);
}

} // namespace

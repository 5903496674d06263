// The interface's process-wide objects for every test of this program, built
// in the order the program's start-up list builds them and torn down in reverse.
#include "drawlib/screen_draw_tool.h"
#include "ui/button_hint.h"
#include "ui/message_window.h"

#include <gtest/gtest.h>

namespace {

class InterfaceObjects : public ::testing::Environment {
public:
    void SetUp() override
    {
        g_drawTool.Create();
        g_infoLabel.Create();
        g_buttonHint.Create();
        g_messageWnd.Create();
    }
    void TearDown() override
    {
        g_messageWnd.Destroy();
        g_buttonHint.Destroy();
        g_infoLabel.Destroy();
        g_drawTool.Destroy();
    }
};

[[maybe_unused]] const ::testing::Environment* const kInterfaceObjects
    = ::testing::AddGlobalTestEnvironment(new InterfaceObjects);

} // namespace

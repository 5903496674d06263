#pragma once
// The map controller on the shipped Voradu map for the length of a test: a
// program folder with the map, an emulated screen with the draw tool's buffer
// and the program's pictures, the command registry, and the controller
// attached with its view open at the map's centre.
#include "controls/command_registry.h"
#include "drawlib/screen_draw_tool.h"
#include "foundation/scale_list.h"
#include "kernel/api/map_query.h"
#include "kernel/api/view_interface.h"
#include "nav/map_controller.h"
#include "platform/display.h"
#include "settings/settings_record.h"
#include "tests/support/program_folder.h"
#include "tests/ui/ui_testing.h"
#include "ui/message_window.h"

#include <QDir>
#include <QImage>
#include <gtest/gtest.h>
#include <optional>

namespace navtest {

// Expert mode (1) or simple mode (0) for a test's scope.
class ExpertMode {
public:
    explicit ExpertMode(int32_t on)
        : m_saved(g_bExpertMode.exchange(on))
    {
    }
    ~ExpertMode() { g_bExpertMode = m_saved; }

private:
    int32_t m_saved;
};

class ControllerRig {
public:
    // `map`: another compiled map (its path without extension) in the shipped map's place.
    // `allPictures`: every picture and glyph font of the screen class, as the
    // program loads them, not only those the map drawing needs.
    ControllerRig(int width = 240, int height = 320, int dpi = 96, int language = LANGUAGE_ENGLISH,
        const QString& map = {}, bool allPictures = false)
        : m_screen(width, height, dpi, language)
        , m_display(QSize(width, height), dpi)
    {
        m_folder.CopyShippedMap(QStringLiteral("mskmo0704"), map);
        FillScaleList();
        m_drawTool.emplace(g_drawTool);
        m_messages.emplace(g_messageWnd);
        g_drawTool->Init(&m_display, true);
        const QString module = testing_support::BuildDataFolder()
            + (dpi == 192 ? QStringLiteral("/resources/vga") : QStringLiteral("/resources/qvga"));
        if (allPictures) {
            for (const QString& file : QDir(module).entryList({ QStringLiteral("*.bmp") }, QDir::Files))
                g_drawTool->LoadResource(module, file.chopped(4).toUInt());
        } else {
            for (uint32_t id : kPictures)
                g_drawTool->LoadResource(module, id);
        }
        m_controller.emplace(g_MapController);
        m_registry.emplace(g_CommandRegistry);
        g_CommandRegistry->Init();
        EXPECT_EQ(g_MapController->Attach(g_drawTool.get()), 1);
        EXPECT_EQ(g_MapController->OpenView(), 1);
        ZXS_Point centre;
        ZXS_MapGetCenter(Map(), &centre);
        g_MapController->SetCentre(centre.x, centre.y);
    }
    ~ControllerRig()
    {
        m_registry.reset();
        m_controller.reset();
        g_drawTool->DestroyBuffer();
        m_messages.reset();
        m_drawTool.reset();
    }
    // The program ended and started again on the same program folder: the
    // controller goes with its map and kernel, and a new one attaches.
    void Restart()
    {
        m_controller.reset();
        m_controller.emplace(g_MapController);
        EXPECT_EQ(g_MapController->Attach(g_drawTool.get()), 1);
        EXPECT_EQ(g_MapController->OpenView(), 1);
        ZXS_Point centre;
        ZXS_MapGetCenter(Map(), &centre);
        g_MapController->SetCentre(centre.x, centre.y);
    }
    ControllerRig(const ControllerRig&) = delete;
    ControllerRig& operator=(const ControllerRig&) = delete;

    CMapController& Controller() { return *g_MapController; }
    CZXS_MapHandle* Map() { return g_MapController->GetMapSet().ActiveMap(); }
    uitest::ScriptedMessageBoxes& Boxes() { return m_boxes; }
    // The view rendered at the controller's state, synchronously: the quick
    // frame, then the full one the render thread would make.
    void Render()
    {
        ASSERT_EQ(g_MapController->RenderNow(), 0);
        ASSERT_EQ(ZXS_ViewClear(g_MapController->GetView()), 0);
        ASSERT_EQ(ZXS_ViewRender(g_MapController->GetView(), 0, nullptr), 0);
    }

    // The pictures the map drawing uses, those the on-map elements take their sizes from, and the fonts.
    static constexpr uint32_t kPictures[] = { 218, 219, 220, 221, 222, 223, 224, 225, 227, 228, 229, 230, 231,
        232, 233, 234, 236, 237, 238, 239, 240, 241, 242, 244, 245, 246, 247, 248, 249, 250, 251, 252, 253,
        254, 502, 653, 654, 655, 656, 657, 658, 786, 787, 788, 789, 197, 198, 207, 757, 1348, 10048, 10049,
        196, 217, 758, 761, 795 };

private:
    testing_support::ProgramFolder m_folder;
    uitest::OnScreen m_screen;
    uitest::ScriptedMessageBoxes m_boxes { platform::IDNO };
    platform::Display m_display;
    std::optional<platform::ScopedProcessObject<CScreenDrawTool>> m_drawTool;
    std::optional<platform::ScopedProcessObject<CMessageWindow>> m_messages;
    std::optional<platform::ScopedProcessObject<CMapController>> m_controller;
    std::optional<platform::ScopedProcessObject<CCommandRegistry>> m_registry;
};

} // namespace navtest

// The command registry: its vocabulary, the radio group, the checked getters
// for ids of neither range, the settings pages' command list and the diagrams
// drawn through it.
#include "controls/command_registry.h"

#include "drawlib/screen_draw_tool.h"
#include "foundation/page_image_list.h"
#include "search/sheet_search.h"
#include "tests/nav/controller_rig.h"
#include "tests/support/modal_answer.h"

#include <QTreeWidget>
#include <algorithm>
#include <gtest/gtest.h>
#include <set>

namespace {

using navtest::ControllerRig;

constexpr uint32_t kRadios[] = { 10010, 10011, 10012, 10013, 10023, 10028 };
constexpr uint32_t kToggles[] = { 10002, 10020, 10022, 10026, 10033, 10036, 10042 };

std::vector<int32_t> Surface()
{
    std::vector<int32_t> pixels;
    for (int y = 0; y < g_drawTool->GetHeight(); ++y)
        for (int x = 0; x < g_drawTool->GetWidth(); ++x)
            pixels.push_back(g_drawTool->GetPixel(x, y, false));
    return pixels;
}

TEST(CommandRegistry, EveryAssignableCommandHasItsNamesImageAndMenuMessage)
{
    platform::ScopedProcessObject<CCommandRegistry> registry(g_CommandRegistry);
    ASSERT_EQ(registry->Init(), 1);
    std::set<int32_t> messages;
    for (uint32_t id = kFirstCommand; id <= kLastAssignableCommand; ++id) {
        SCOPED_TRACE(id);
        EXPECT_FALSE(registry->GetNameEn(id).isEmpty());
        EXPECT_FALSE(registry->GetNameRu(id).isEmpty());
        EXPECT_FALSE(registry->GetShortNameEn(id).isEmpty());
        EXPECT_FALSE(registry->GetShortNameRu(id).isEmpty());
        EXPECT_GT(registry->GetImageId(id), 0);
        const int32_t message = registry->GetMessageId(id);
        EXPECT_TRUE(message >= 10300 && message <= 10382) << message;
        messages.insert(message);
        EXPECT_EQ(registry->GetCommandEntry(id)->id, int32_t(id));
    }
    // The four empty commands share one message; every other command has its own.
    EXPECT_EQ(messages.size(), size_t(kAssignableCommandCount - 3));
    for (uint32_t id = kLastAssignableCommand + 1; id <= kLastCommand; ++id) {
        EXPECT_TRUE(registry->GetNameEn(id).isEmpty()) << id;
        EXPECT_EQ(registry->GetImageId(id), 0);
        EXPECT_EQ(registry->GetMessageId(id), 0);
    }
    for (uint32_t id : kRadios)
        EXPECT_EQ(registry->GetKind(id), COMMAND_RADIO) << id;
    for (uint32_t id : kToggles)
        EXPECT_EQ(registry->GetKind(id), COMMAND_TOGGLE) << id;
    EXPECT_EQ(registry->GetNameRu(CMD_SCREENSHOT), QStringLiteral("Сохранить снимок карты "))
        << "with its blank";
    EXPECT_EQ(registry->GetImageId(CMD_DOWNLOAD_JAM), 14051);
    EXPECT_EQ(registry->GetShortNameEn(14006), QStringLiteral("Jam"));
    EXPECT_EQ(registry->GetImageId(14003), 14003) << "a diagram is drawn live, by its own id";
    EXPECT_EQ(registry->GetMessageId(14000), 10363);
}

TEST(CommandRegistry, IdsOfNeitherRangeAnswerNothing)
{
    platform::ScopedProcessObject<CCommandRegistry> registry(g_CommandRegistry);
    registry->Init();
    // As a damaged settings file or a folder item could pass them.
    for (uint32_t id : { 0u, 9999u, 10054u, 13000u, 13001u, 13999u, 14007u, 0x7FFFFFFFu, 0xFFFFFFFFu }) {
        SCOPED_TRACE(id);
        EXPECT_TRUE(registry->GetNameEn(id).isEmpty());
        EXPECT_TRUE(registry->GetShortNameRu(id).isEmpty());
        EXPECT_EQ(registry->GetImageId(id), 0);
        EXPECT_EQ(registry->GetMessageId(id), 0);
        EXPECT_EQ(registry->GetCommandEntry(id), nullptr);
        EXPECT_EQ(registry->GetDiagramEntry(id), nullptr);
        EXPECT_EQ(registry->IsChecked(id), 0);
        registry->Execute(id);
        registry->Invoke(id);
        registry->UpdateRadioGroup(id);
    }
}

TEST(CommandRegistry, NamesFollowTheLanguageAndAnotherLanguageGivesMinusOne)
{
    platform::ScopedProcessObject<CCommandRegistry> registry(g_CommandRegistry);
    registry->Init();
    const int saved = g_language;
    g_language = LANGUAGE_ENGLISH;
    EXPECT_EQ(registry->GetName(CMD_SETTINGS), QStringLiteral("General settings"));
    g_language = LANGUAGE_RUSSIAN;
    EXPECT_EQ(registry->GetShortName(CMD_SETTINGS), QStringLiteral("Общие настр."));
    g_language = 2;
    EXPECT_EQ(registry->GetName(CMD_SETTINGS), QStringLiteral("-1"));
    EXPECT_EQ(registry->GetShortName(14001), QStringLiteral("-1"));
    g_language = saved;
}

TEST(CommandRegistry, TheRadioGroupFollowsTheLastTapModeAndTogglesLeaveIt)
{
    ControllerRig rig;
    CCommandRegistry& registry = *g_CommandRegistry;
    auto checkedRadios = [&] {
        std::vector<uint32_t> checked;
        for (uint32_t id : kRadios)
            if (registry.IsChecked(id))
                checked.push_back(id);
        return checked;
    };
    EXPECT_EQ(checkedRadios(), std::vector<uint32_t> { CMD_SCROLL }) << "Init: the controller's tap mode";
    registry.Execute(CMD_OBJECT_NAME);
    EXPECT_EQ(checkedRadios(), std::vector<uint32_t> { CMD_OBJECT_NAME });
    for (uint32_t id : { CMD_GPS_TRACKING, CMD_ZOOM_SLIDER, CMD_ALWAYS_UP, CMD_GPS_TRACKING })
        registry.Execute(id);
    EXPECT_EQ(checkedRadios(), std::vector<uint32_t> { CMD_OBJECT_NAME }) << "toggles never touch the radios";
    // The double tap opens the address search but changes no tap mode.
    bool searchOpened = false;
    testing_support::WhenModalOpens([&](QWidget* modal) {
        auto* sheet = dynamic_cast<CSheetSearch*>(modal);
        searchOpened = sheet != nullptr;
        if (sheet != nullptr)
            sheet->OnCancel();
        else
            modal->close();
    });
    registry.Invoke(CMD_FIRST_POINT);
    EXPECT_TRUE(searchOpened);
    registry.Invoke(CMD_SCROLL);
    EXPECT_EQ(checkedRadios(), std::vector<uint32_t> { CMD_OBJECT_NAME });
    EXPECT_EQ(rig.Controller().GetTapMode(), TAP_OBJECT_NAME);

    // A tap mode the registry has no radio for at start leaves them all as built.
    rig.Controller().SetTapMode(TAP_FIRST_POINT);
    CCommandRegistry fresh;
    fresh.Init();
    for (uint32_t id : kRadios)
        EXPECT_EQ(fresh.IsChecked(id), 0) << id;
}

TEST(CommandRegistry, TheSettingsListHoldsTheAssignableCommandsAndSortsByCodeUnits)
{
    ControllerRig rig(240, 320, 96, LANGUAGE_ENGLISH);
    const CCommandRegistry& registry = *g_CommandRegistry;
    const QString module = testing_support::BuildDataFolder() + QStringLiteral("/resources/qvga");
    for (uint32_t id = kFirstCommand; id <= kLastAssignableCommand; ++id)
        g_drawTool->LoadResource(module, uint32_t(registry.GetImageId(id)));
    CImageList images(16);
    registry.FillImageList(images);
    ASSERT_EQ(images.Count(), kAssignableCommandCount);
    QTreeWidget list;
    registry.FillListView(&list, &images);
    ASSERT_EQ(list.topLevelItemCount(), kAssignableCommandCount);
    for (int i = 0; i < kAssignableCommandCount; ++i) {
        const QTreeWidgetItem* item = list.topLevelItem(i);
        EXPECT_EQ(item->data(0, Qt::UserRole).toInt(), int(kFirstCommand) + i);
        EXPECT_EQ(item->text(0), registry.GetName(kFirstCommand + i));
        EXPECT_FALSE(item->icon(0).isNull());
    }
    EXPECT_GT(g_drawTool->CachedBitmapCount(), 0u);
    CCommandRegistry::FreeScreenBitmaps();
    EXPECT_EQ(g_drawTool->CachedBitmapCount(), 0u);

    std::vector<uint32_t> ids;
    for (uint32_t id = kFirstCommand; id <= kLastAssignableCommand; ++id)
        ids.push_back(id);
    std::stable_sort(ids.begin(), ids.end(),
        [](uint32_t a, uint32_t b) { return CCommandRegistry::CompareCommandNames(a, b, 0) < 0; });
    EXPECT_EQ(registry.GetName(ids.front()), QStringLiteral("Add a waypoint"));
    EXPECT_EQ(registry.GetName(ids.back()), QStringLiteral("Zoom window"));
    // Code units, not a collation: "GPS tracking" (capital P) before "General settings".
    const auto at = [&](uint32_t id) { return std::find(ids.begin(), ids.end(), id) - ids.begin(); };
    EXPECT_LT(at(CMD_GPS_TRACKING), at(CMD_SETTINGS));
    EXPECT_EQ(CCommandRegistry::CompareCommandNames(CMD_EXIT, CMD_HELP, 1), 0)
        << "a sort flag compares nothing";

    // The folder items by their own texts: "Folder" < "General settings" < "One level up".
    EXPECT_EQ(CCommandRegistry::CompareFolderItems(kFolderItemNewFolder, CMD_SETTINGS, 0), -1);
    EXPECT_EQ(CCommandRegistry::CompareFolderItems(kFolderItemLevelUp, CMD_SETTINGS, 0), 1);
    g_language = LANGUAGE_RUSSIAN;
    // Latin ("GPS-сопровождение") before Cyrillic ("Выход из приложения").
    EXPECT_EQ(CCommandRegistry::CompareCommandNames(CMD_GPS_TRACKING, CMD_EXIT, 0), -1);
    EXPECT_EQ(CCommandRegistry::CompareFolderItems(kFolderItemNewFolder, CMD_EXIT, 0), 1)
        << "Папка after Выход";
}

TEST(CommandRegistry, ADiagramIsDrawnWithItsIconAndFrameOnlyWhileItsWidgetShows)
{
    ControllerRig rig;
    const QString module = testing_support::BuildDataFolder() + QStringLiteral("/resources/qvga");
    for (uint32_t id : { 775u, 780u })
        ASSERT_TRUE(g_drawTool->LoadResource(module, id));
    struct Widget : CScreenElement {
        int draws = 0;
        void Draw() override { ++draws; }
    } widget;
    g_CommandRegistry->SetDiagramWidget(14003, &widget);
    const std::vector<int32_t> before = Surface();
    widget.SetState(CScreenElement::STATE_HIDDEN);
    g_CommandRegistry->DrawDiagram(14003, g_drawTool.get(), 50, 60, 255);
    EXPECT_EQ(widget.draws, 0);
    EXPECT_EQ(Surface(), before) << "not even the icon";

    widget.SetState(CScreenElement::STATE_SHOWN);
    g_CommandRegistry->DrawDiagram(14003, g_drawTool.get(), 50, 60, 0x1C0);
    EXPECT_EQ(widget.draws, 1);
    // The icon (14 x 16) sits 8 pixels left of x, centred on 40 pixels; the
    // frame (46 x 25) right of it, one pixel higher; the widget inside it.
    const int iconY = 60 + (40 - 16) / 2, frameX = 50 + 14 + 1 - 8, frameY = iconY - 1;
    ElementPoint at;
    ElementSize size;
    widget.GetPosition(at);
    widget.GetSize(size);
    EXPECT_EQ(at, (ElementPoint { frameX + 2, frameY + 2 }));
    EXPECT_EQ(size, (ElementSize { 46 - 5, 25 - 5 }));
    EXPECT_EQ(widget.GetAlpha(), 0xC0) << "the alpha's low byte";
    EXPECT_NE(Surface(), before);
}

} // namespace

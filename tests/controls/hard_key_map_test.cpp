// The hardware keys: their slots and defaults, the key block of the settings
// file, and a key released on the map running its slot's command, also when
// pressed on the program's own device window.
#include "controls/hard_key_map.h"

#include "app/app_messages.h"
#include "app/main_frame.h"
#include "app/map_wnd.h"
#include "app/modal_windows.h"
#include "app/process_objects.h"
#include "app/travenor_app.h"
#include "controls/command_registry.h"
#include "platform/archive.h"
#include "platform/display.h"
#include "platform/keys.h"
#include "settings/settings_record.h"
#include "tests/app/app_rig.h"
#include "tests/nav/controller_rig.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QTest>
#include <gtest/gtest.h>

namespace {

std::vector<int32_t> Commands(CHardKeyMap& keys)
{
    std::vector<int32_t> commands;
    for (uint32_t slot = 0; slot < CHardKeyMap::kSlotCount; ++slot)
        commands.push_back(keys.GetCommand(slot));
    return commands;
}

TEST(HardKeyMap, SlotsTakeOnlyAssignableCommandsAndRefuseSlotsBeyondNine)
{
    CHardKeyMap keys;
    const struct {
        uint32_t slot;
        int32_t command;
        bool accepted;
        int32_t after;
    } cases[] = {
        { 3, 10046, true, 10046 },
        { 3, 10050, true, 10046 }, // an internal command is accepted and changes nothing
        { 3, 9999, false, 10046 },
        { 3, 10054, false, 10046 },
        { 10, 10004, false, -1 },
        { 0xFFFFFFFF, 10004, false, -1 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.slot << " " << c.command);
        EXPECT_EQ(keys.SetCommand(c.slot, c.command), c.accepted);
        EXPECT_EQ(keys.GetCommand(c.slot), c.after);
    }
    EXPECT_EQ(keys.GetKeyNameEn(10), QStringLiteral("-1"));
    EXPECT_EQ(keys.GetKeyImageId(10), -1);
    EXPECT_EQ(keys.GetKeyNameRu(0), QStringLiteral("Запись"));
    EXPECT_EQ(keys.GetKeyImageId(9), 871);
}

TEST(HardKeyMap, TheRecordButtonShowsTheTransparentButtonsOnlyInExpertMode)
{
    const std::vector<int32_t> simple { 10000, 10042, 10037, 10008, 10009, 10005, 10006, 10004, 10007,
        10000 };
    g_bExpertMode = 0;
    CHardKeyMap keys;
    EXPECT_EQ(Commands(keys), simple);
    g_bExpertMode = 1;
    keys.SetDefaults();
    std::vector<int32_t> expert = simple;
    expert[0] = 10002;
    EXPECT_EQ(Commands(keys), expert);
    g_bExpertMode = 0;
    keys.SetDefaults();
    EXPECT_EQ(Commands(keys), simple);
}

TEST(HardKeyMap, TheKeyBlockIsTenLittleEndianCommandsAndLoadsOnlyWhatIsInRange)
{
    CHardKeyMap keys;
    for (uint32_t slot = 0; slot < CHardKeyMap::kSlotCount; ++slot)
        keys.SetCommand(slot, int32_t(10030 + slot));
    platform::Archive out;
    keys.Store(out);
    ASSERT_EQ(out.Data().size(), size_t(CHardKeyMap::kBlockSize));
    EXPECT_EQ(std::vector<uint8_t>(out.Data().begin(), out.Data().begin() + 8),
        (std::vector<uint8_t> { 0x2E, 0x27, 0, 0, 0x2F, 0x27, 0, 0 }));
    CHardKeyMap again;
    platform::Archive in(out.Data());
    again.Load(in);
    EXPECT_EQ(Commands(again), Commands(keys));
    EXPECT_EQ(in.Remaining(), 0u);

    // 10004 is stored, an internal 10047 leaves the slot, 9999 and the rest empty it.
    const int32_t values[CHardKeyMap::kSlotCount]
        = { 10004, 10047, 9999, -1, 14000, 13000, 10053, 10000, 0, 10046 };
    platform::Archive block;
    for (int32_t v : values)
        block.WriteInt32(v);
    platform::Archive damaged(block.Data());
    again.Load(damaged);
    EXPECT_EQ(Commands(again),
        (std::vector<int32_t> { 10004, 10031, 10000, 10000, 10000, 10000, 10036, 10000, 10000, 10046 }));

    // A block cut short is refused by the archive and changes no slot.
    const std::vector<uint8_t> cut(block.Data().begin(), block.Data().begin() + 38);
    platform::Archive shortBlock(cut);
    const std::vector<int32_t> before = Commands(again);
    EXPECT_THROW(again.Load(shortBlock), platform::ArchiveException);
    EXPECT_EQ(Commands(again), before);
}

TEST(HardKeyMap, AReleasedKeyRunsItsSlotsCommandAndTheWizardFixesTheMapKeys)
{
    navtest::ControllerRig rig;
    CMapController& c = rig.Controller();
    platform::ScopedProcessObject<CHardKeyMap> keys(g_HardKeyMap);
    const int32_t scale = c.GetScale();
    const auto release = [&](int key) {
        int code = key;
        EXPECT_EQ(g_HardKeyMap->OnKeyDown(code), 1);
        EXPECT_EQ(code, 0);
        code = key;
        EXPECT_EQ(g_HardKeyMap->OnKeyUp(code), 1);
        EXPECT_EQ(code, 0);
    };
    release(platform::VK_APP3);
    EXPECT_EQ(c.GetScale(), GetNextScaleDown(scale)) << "Hot key 3 zooms in";
    release(platform::VK_APP1);
    EXPECT_TRUE(c.IsMovingMode()) << "Hot key 1: driving mode";
    release(platform::VK_APP1);
    EXPECT_FALSE(c.IsMovingMode());
    for (int key : { 198, int(platform::VK_START), int(platform::VK_TAB), int(platform::VK_RETURN) }) {
        const int32_t now = c.GetScale();
        release(key);
        EXPECT_EQ(c.GetScale(), now) << key;
        EXPECT_FALSE(c.IsMovingMode()) << key;
    }

    // While the route wizard is in use: Hot key 1 does nothing, Hot key 3
    // zooms in whatever it is assigned.
    g_HardKeyMap->SetCommand(3, CMD_SETTINGS);
    SetRouteWizardInUse(true);
    const int32_t before = c.GetScale();
    release(platform::VK_APP1);
    EXPECT_FALSE(c.IsMovingMode());
    release(platform::VK_APP3);
    EXPECT_EQ(c.GetScale(), GetNextScaleDown(before));
    SetRouteWizardInUse(false);
}

TEST(HardKeyMap, AKeyOnTheDeviceWindowRunsItsCommandAndTheKeysFollowTheForeground)
{
    apptest::AppRig rig;
    rig.SetProfileInt(QStringLiteral("expert mode"), 0);
    CProcessObjects objects;
    apptest::RunProgram([] {
        CMainFrame* frame = theApp->GetMainWnd();
        QWidget* screen = theApp->GetDeviceScreen();
        EXPECT_EQ(GetHardwareKeysOwner(), frame->GetMapWnd()) << "taken when the map window was made";
        ASSERT_TRUE(g_HardKeyMap->SetCommand(1, CMD_GPS_TRACKING));
        // Held: the key repeats, the command runs once, on the release.
        QTest::keyPress(screen, Qt::Key_F1);
        for (QEvent::Type type : { QEvent::KeyRelease, QEvent::KeyPress }) {
            QKeyEvent repeat(type, Qt::Key_F1, Qt::NoModifier, QString(), true);
            QCoreApplication::sendEvent(screen, &repeat);
        }
        EXPECT_FALSE(g_MapController->IsFollowGps());
        QTest::keyRelease(screen, Qt::Key_F1);
        EXPECT_TRUE(g_MapController->IsFollowGps());
        EXPECT_EQ(g_CommandRegistry->IsChecked(CMD_GPS_TRACKING), 1);
        QTest::keyClick(screen, Qt::Key_F1);
        EXPECT_FALSE(g_MapController->IsFollowGps());

        platform::send(frame, MSG_GO_TO_BACKGROUND);
        EXPECT_EQ(GetHardwareKeysOwner(), nullptr) << "given back in the background";
        platform::send(frame, MSG_COME_TO_FRONT);
        EXPECT_EQ(GetHardwareKeysOwner(), frame->GetMapWnd());
        platform::send(frame, platform::WM_CLOSE);
        EXPECT_EQ(GetHardwareKeysOwner(), nullptr) << "given back at the close";
    });
}

} // namespace

// The transparent buttons: the tap zones of both orientations, taps that run
// commands and walk the folder tree, the default tree, and the folder block
// of the settings file, whole and damaged.
#include "controls/button_folders.h"

#include "controls/command_registry.h"
#include "platform/archive.h"
#include "tests/controls/widget_rig.h"
#include "tests/support/scoped_screen.h"

#include <gtest/gtest.h>
#include <random>

namespace {

using controlstest::WidgetRig;

TEST(TransparentButtons, EachZoneOfTheScreenIsOneButton)
{
    const struct {
        int width, height;
        int x, y;
        int zone;
    } table[] = {
        // Portrait 240x320: the centre box is x 90..149, y 138..181.
        { 240, 320, 120, 160, 0 },
        { 240, 320, 90, 138, 0 }, // the box's top-left corner belongs to it
        { 240, 320, 149, 181, 0 },
        { 240, 320, 150, 160, 3 }, // just right of the box: the cell below-right
        { 240, 320, 89, 160, 4 },
        { 240, 320, 120, 137, 2 },
        { 240, 320, 100, 182, 4 },
        { 240, 320, 0, 0, 5 },
        { 240, 320, 60, 0, 6 },
        { 240, 320, 239, 0, 8 },
        { 240, 320, 0, 80, 16 },
        { 240, 320, 60, 80, 1 },
        { 240, 320, 239, 80, 9 },
        { 240, 320, 0, 160, 15 },
        { 240, 320, 239, 239, 10 },
        { 240, 320, 0, 319, 14 },
        { 240, 320, 60, 319, 13 },
        { 240, 320, 120, 319, 12 },
        { 240, 320, 239, 319, 11 },
        { 240, 320, 240, 0, -1 }, // off the screen
        { 240, 320, -1, 0, -1 },
        { 240, 320, 0, 320, -1 },
        // Landscape 320x240: the centre box is x 130..189, y 98..141.
        { 320, 240, 160, 120, 0 },
        { 320, 240, 130, 98, 0 },
        { 320, 240, 129, 120, 4 },
        { 320, 240, 190, 98, 2 },
        { 320, 240, 300, 10, 8 },
        { 320, 240, 10, 230, 14 },
        { 320, 240, 319, 239, 11 },
        { 320, 240, 100, 100, 1 },
    };
    for (const auto& row : table) {
        ScopedScreen screen(row.width, row.height, 96);
        CScreenButtonFolders folders;
        EXPECT_EQ(folders.TapToZone({ row.x, row.y }), row.zone)
            << row.width << "x" << row.height << " at " << row.x << "," << row.y;
    }
}

TEST(TransparentButtons, TheDefaultTreeHoldsTheRootAndFourFolders)
{
    CScreenButtonFolders folders;
    ASSERT_EQ(folders.GetFolderCount(), 5);
    // Button 5 of the root opens "Map", 16 "Settings", 15 "Diagrams" and 14 "Route".
    const std::array<int32_t, 17> root { 10002, 10001, 10017, 10028, 10027, 1, 14006, 10019, 10003, 10037,
        10021, 10042, 10041, 10034, 4, 3, 2 };
    const std::array<std::array<int32_t, 17>, 4> children { {
        { 10002, 10035, 10024, 10007, 10008, 0, 10011, 10010, 10003, 10025, 10006, 10004, 10005, 10009, 10020,
            10041, 10023 },
        { 10002, 10000, 10000, 10000, 10018, 0, 10001, 10014, 10003, 10000, 10000, 10000, 10000, 10000, 10019,
            10032, 10017 },
        { 10002, 14001, 14002, 10000, 14006, 0, 10000, 10000, 10000, 14003, 14005, 10000, 10000, 10000, 10000,
            14004, 14000 },
        { 10002, 10038, 10028, 10021, 10040, 0, 10024, 10035, 10003, 10022, 10026, 10042, 10018, 10032, 10017,
            10027, 10012 },
    } };
    const int rootButtons[] = { 5, 16, 15, 14 };
    const char* names[] = { "Map", "Settings", "Diagrams", "Route" };
    for (int b = 0; b < 17; ++b)
        EXPECT_EQ(folders.GetButtonCommand(0, b), root[static_cast<size_t>(b)]) << "root button " << b;
    for (int f = 1; f <= 4; ++f) {
        for (int b = 0; b < 17; ++b)
            EXPECT_EQ(
                folders.GetButtonCommand(f, b), children[static_cast<size_t>(f - 1)][static_cast<size_t>(b)])
                << "folder " << f << " button " << b;
        int32_t parent = -2, button = -2;
        ASSERT_TRUE(folders.GetFolderParent(f, &parent, &button));
        EXPECT_EQ(parent, 0);
        EXPECT_EQ(button, rootButtons[f - 1]);
        const int32_t language = g_language.exchange(LANGUAGE_ENGLISH);
        EXPECT_EQ(folders.GetFolderName(f), QString::fromUtf8(names[f - 1]));
        g_language = language;
    }
}

// A tap as the screen gives it: down and up at one place.
void Tap(CButtonFolders& folders, int x, int y)
{
    EXPECT_EQ(folders.OnPointerDown({ x, y }), 1);
    EXPECT_EQ(folders.OnPointerUp({ x, y }), 1);
}

TEST(TransparentButtons, TapsOpenFoldersGoUpAndRunCommands)
{
    for (const QSize size : { QSize(240, 320), QSize(320, 240) }) {
        WidgetRig rig(size.width(), size.height());
        platform::ScopedProcessObject<CButtonHint> hint(g_buttonHint); // a pressed button shows its name
        platform::ScopedProcessObject<CScreenButtonFolders> scoped(g_transparentButtonRoot);
        CScreenButtonFolders& folders = GetTransparentButtonRoot();
        folders.SetSurface(g_drawTool.get());
        const int w = size.width(), h = size.height();
        // Hidden, the overlay lets every tap through to the map.
        EXPECT_EQ(folders.OnPointerDown({ 5, 5 }), 0);
        EXPECT_EQ(folders.OnPointerUp({ 5, 5 }), 0);

        ExecuteCommand(10002);
        ASSERT_TRUE(folders.IsShown());
        Tap(folders, 5, 5); // button 5: "Map"
        EXPECT_EQ(folders.GetCurrentFolder(), 1);
        Tap(folders, 5, 5); // the same place in "Map" goes up
        EXPECT_EQ(folders.GetCurrentFolder(), 0);
        Tap(folders, 5, h / 4 + 5); // button 16: "Settings"
        EXPECT_EQ(folders.GetCurrentFolder(), 2);

        // Down on one button and up on another runs nothing and lets the first go.
        EXPECT_EQ(folders.OnPointerDown({ 5, 5 }), 1);
        EXPECT_EQ(folders.GetPressedButton(), 5);
        EXPECT_EQ(folders.OnPointerUp({ w - 5, h - 5 }), 1);
        EXPECT_EQ(folders.GetCurrentFolder(), 2);
        EXPECT_EQ(folders.GetPressedButton(), -1);

        // A command: zoom in (button 4 of the root holds it; the map gets finer).
        Tap(folders, 5, 5);
        ASSERT_EQ(folders.GetCurrentFolder(), 0);
        ASSERT_TRUE(folders.SetButtonCommand(0, 9, 10008));
        const int32_t scale = rig.Controller().GetScale();
        Tap(folders, w - 5, h / 4 + 5); // button 9
        EXPECT_LT(rig.Controller().GetScale(), scale) << w << "x" << h;

        // The centre button hides the overlay; showing it again starts at the root.
        Tap(folders, 5, 5);
        ASSERT_EQ(folders.GetCurrentFolder(), 1);
        Tap(folders, w / 2, h / 2);
        EXPECT_FALSE(folders.IsShown());
        ExecuteCommand(10002);
        EXPECT_EQ(folders.GetCurrentFolder(), 0);
        ExecuteCommand(10002);
    }
}

std::vector<uint8_t> Stored(CButtonFolders& folders)
{
    platform::Archive archive;
    folders.Store(archive);
    return archive.Data();
}

// A block of folders written by hand: (17 ids, parent, button) each, then the display fields.
std::vector<uint8_t> Block(int32_t count, const std::vector<std::array<int32_t, 19>>& records, size_t cut = 0)
{
    platform::Archive archive;
    archive.WriteInt32(count);
    for (const auto& record : records)
        for (int32_t word : record)
            archive.WriteInt32(word);
    for (uint8_t b : { 1, 160, 1, 220, 1, 120 })
        archive.WriteUInt8(b);
    archive.WriteInt32(1);
    std::vector<uint8_t> bytes = archive.Data();
    bytes.resize(bytes.size() - cut);
    return bytes;
}

std::array<int32_t, 19> Record(
    int32_t parent, int32_t button, std::initializer_list<std::pair<int, int32_t>> ids)
{
    std::array<int32_t, 19> record;
    record.fill(10000);
    for (const auto& [b, id] : ids)
        record[static_cast<size_t>(b)] = id;
    record[17] = parent;
    record[18] = button;
    return record;
}

TEST(TransparentButtons, TheFolderBlockRoundTripsByteForByte)
{
    CScreenButtonFolders folders;
    folders.SetButtonCommand(2, 7, 14003);
    folders.SetGridShown(0);
    folders.SetBackgroundAlpha(77);
    const std::vector<uint8_t> bytes = Stored(folders);
    ASSERT_EQ(bytes.size(), 4 + 5 * CButtonFolders::kRecordSize + 6 + 4);

    CScreenButtonFolders other;
    other.SetButtonCommand(0, 1, 10040);
    platform::Archive in(bytes);
    other.Load(in);
    EXPECT_EQ(Stored(other), bytes);

    // A sub-folder two levels down, and an id no button holds reading as empty.
    const std::vector<uint8_t> deep = Block(3,
        { Record(-1, -1, { { 0, 10002 }, { 3, 1 } }), Record(0, 3, { { 5, 0 }, { 8, 2 } }),
            Record(1, 8, { { 5, 1 }, { 6, 12000 }, { 7, 14006 } }) });
    platform::Archive deepIn(deep);
    other.Load(deepIn);
    EXPECT_EQ(other.GetFolderCount(), 3);
    EXPECT_EQ(other.GetButtonCommand(2, 6), 10000);
    EXPECT_EQ(other.GetButtonCommand(2, 7), 14006);
    EXPECT_EQ(other.GetButtonCommand(1, 8), 2);
}

TEST(TransparentButtons, ADamagedFolderBlockLoadsTheDefaults)
{
    const auto root = Record(-1, -1, { { 3, 1 } });
    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
        bool throws;
    } table[] = {
        { "a parent after the folder", Block(2, { root, Record(1, 3, {}) }), false },
        { "a parent button that does not link to it", Block(2, { root, Record(0, 4, {}) }), false },
        { "a parent button beyond 16", Block(2, { Record(-1, -1, {}), Record(0, 17, {}) }), false },
        { "a link beyond the folders", Block(2, { root, Record(0, 3, { { 9, 7 } }) }), false },
        { "a down link to another folder's child",
            Block(
                3, { Record(-1, -1, { { 3, 1 }, { 4, 2 } }), Record(0, 3, { { 6, 2 } }), Record(0, 4, {}) }),
            false },
        { "a root with a parent", Block(1, { Record(0, 0, {}) }), false },
        { "no folder at all", Block(0, {}), false },
        { "a million folders", Block(1000000, { root }), true },
        { "a negative count", Block(-1, {}), true },
        { "cut inside a record", Block(2, { root, Record(0, 3, {}) }, 50), true },
        { "cut in the display fields", Block(2, { root, Record(0, 3, {}) }, 3), true },
    };
    for (const auto& row : table) {
        CScreenButtonFolders folders;
        folders.SetButtonCommand(0, 1, 10040);
        platform::Archive archive(row.bytes);
        if (row.throws)
            EXPECT_THROW(folders.Load(archive), platform::ArchiveException) << row.what;
        else
            EXPECT_NO_THROW(folders.Load(archive)) << row.what;
        EXPECT_EQ(folders.GetFolderCount(), 5) << row.what;
        EXPECT_EQ(folders.GetButtonCommand(0, 1), 10001) << row.what;
        EXPECT_FALSE(folders.IsShown()) << row.what;
    }
}

// The folder block as stored, checked as a loaded file is.
bool TreeIsConsistent(CButtonFolders& folders)
{
    const std::vector<uint8_t> bytes = Stored(folders);
    platform::Archive in(bytes);
    return CButtonFolders::IsConsistent(CButtonFolders::ReadBlock(in));
}

TEST(TransparentButtons, ReassigningAFolderButtonRemovesItsSubtreeAndRenumbersEveryLink)
{
    CScreenButtonFolders folders;
    const int a = folders.AssignCommand(1, 13000, 1, "A", "A"); // under "Map"
    const int b = folders.AssignCommand(2, 13000, a, "B", "B");
    const int c = folders.AssignCommand(1, 13000, 2, "C", "C"); // under "Settings"
    const int d = folders.AssignCommand(4, 13000, c, "D", "D");
    ASSERT_EQ(std::vector<int>({ a, b, c, d }), std::vector<int>({ 5, 6, 7, 8 }));
    folders.AssignCommand(3, 13001, d); // a second way up from D
    EXPECT_EQ(folders.AssignCommand(3, 13001, 0), -1);
    EXPECT_EQ(folders.GetButtonCommand(0, 3), 10028) << "no level up on the root";
    folders.OpenFolder(d);

    // Zoom in where "A" was: A and B go, C and D move down two places.
    EXPECT_EQ(folders.AssignCommand(1, 10008, 1), -1);
    ASSERT_EQ(folders.GetFolderCount(), 7);
    EXPECT_EQ(folders.GetButtonCommand(1, 1), 10008);
    EXPECT_EQ(folders.GetButtonCommand(2, 1), 5) << "the link down to C";
    EXPECT_EQ(folders.GetButtonCommand(5, 4), 6) << "C's link down to D";
    EXPECT_EQ(folders.GetButtonCommand(6, 5), 5) << "D's up link";
    EXPECT_EQ(folders.GetButtonCommand(6, 3), 5) << "D's own level-up link";
    int32_t parent = 0, button = 0;
    ASSERT_TRUE(folders.GetFolderParent(6, &parent, &button));
    EXPECT_EQ(parent, 5);
    EXPECT_EQ(button, 4);
    EXPECT_EQ(folders.GetCurrentFolder(), 6) << "D stays on screen";
    EXPECT_TRUE(TreeIsConsistent(folders));

    // A folder with a sub-folder of its own is not removed by itself.
    EXPECT_FALSE(folders.DeleteFolderLink(2, 1));
    EXPECT_EQ(folders.GetFolderCount(), 7);
    EXPECT_TRUE(folders.DeleteFolderTree(2, 1));
    EXPECT_EQ(folders.GetFolderCount(), 5);
    EXPECT_EQ(folders.GetCurrentFolder(), 2) << "the folder that held the tree";
}

TEST(TransparentButtons, ANewFolderIsProposedTheFirstFreeNumber)
{
    CScreenButtonFolders folders;
    EXPECT_EQ(folders.ProposeFolderName(3), (std::array<QString, 2> { "Folder 1", "Папка 1" }));
    folders.AssignCommand(2, 13000, 3, "Folder 1", "Папка 1");
    EXPECT_EQ(folders.ProposeFolderName(3), (std::array<QString, 2> { "Folder 2", "Папка 2" }));
    EXPECT_EQ(folders.ProposeFolderName(2)[0], "Folder 1") << "another folder's children do not count";
    EXPECT_TRUE(folders.RenameFolder(2, 3, "Tools"));
    EXPECT_FALSE(folders.RenameFolder(3, 3, "Tools")) << "the button opens no folder";
    EXPECT_EQ(folders.ProposeFolderName(3)[0], "Folder 1");
}

TEST(TransparentButtons, RandomEditsKeepOneConsistentTree)
{
    std::mt19937 random(31);
    CScreenButtonFolders folders;
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int step = 0; step < 3000; ++step) {
        const int folder = pick(folders.GetFolderCount());
        const int button = 1 + pick(16);
        const QString name = QStringLiteral("F%1").arg(step);
        switch (pick(6)) {
        case 0:
        case 1:
            folders.AssignCommand(button, 13000, folder, name, name);
            break;
        case 2:
            folders.AssignCommand(button, 10000 + pick(47), folder);
            break;
        case 3:
            folders.AssignCommand(button, 13001, folder);
            break;
        case 4:
            folders.RenameFolder(button, folder, name);
            break;
        default:
            folders.DeleteFolderTree(folder, button);
            folders.OpenFolder(pick(folders.GetFolderCount()));
            break;
        }
        ASSERT_TRUE(TreeIsConsistent(folders)) << "step " << step;
        ASSERT_LT(folders.GetCurrentFolder(), folders.GetFolderCount()) << "step " << step;
        if (step % 250 == 0) {
            // What a file keeps of the tree comes back the same.
            const std::vector<uint8_t> bytes = Stored(folders);
            platform::Archive names;
            folders.SerializeNames(names);
            CScreenButtonFolders loaded;
            platform::Archive in(bytes);
            loaded.Load(in);
            platform::Archive namesIn(names.Data());
            loaded.SerializeNames(namesIn);
            ASSERT_EQ(Stored(loaded), bytes) << "step " << step;
            platform::Archive namesAgain;
            loaded.SerializeNames(namesAgain);
            ASSERT_EQ(namesAgain.Data(), names.Data()) << "step " << step;
        }
    }
    EXPECT_GT(folders.GetFolderCount(), 5);
}

} // namespace

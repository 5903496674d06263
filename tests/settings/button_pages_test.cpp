// The pages of the Toolbars and Transparent buttons sheets as a user taps
// them: what each changes on the map screen's bars, switches and button
// folders, and when.
#include "app/main_frame.h"
#include "app/process_objects.h"
#include "app/travenor_app.h"
#include "controls/bitmap_element.h"
#include "controls/button_bar.h"
#include "controls/button_folders.h"
#include "controls/command_registry.h"
#include "controls/diagram_button.h"
#include "controls/transp_buttons_layout_dlg.h"
#include "foundation/screen_metrics.h"
#include "nav/map_controller.h"
#include "settings/settings_page_layout.h"
#include "settings/settings_record.h"
#include "settings/settings_sheets.h"
#include "tests/app/app_rig.h"
#include "tests/settings/settings_pages_support.h"
#include "tests/support/modal_answer.h"
#include "tests/support/screenshot.h"
#include "ui/text_entry_dlg.h"

#include <QComboBox>
#include <QHeaderView>
#include <QSlider>
#include <QTreeWidget>

using namespace settingstest;
using settings_layout::Combo;

namespace {

QStringList Texts(const QComboBox* combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

// The map screen of the running program in expert mode, with its settings
// menu opened by the Settings command: the sheet of `entry` answered as a
// person would, then the menu left.
template <class Sheet> void ThroughTheSettingsMenu(int entry, std::function<void(Sheet*)> answer)
{
    testing_support::WhenModalOpens([entry, answer](QWidget* window) {
        auto* menu = dynamic_cast<CSettingsMenuDlg*>(window);
        ASSERT_NE(menu, nullptr);
        WhenSheetOpens<Sheet>(answer);
        TapEntry(*menu, entry);
        TapEntry(*menu, SETTINGS_EXIT);
    });
    ExecuteCommand(CMD_SETTINGS);
}

template <class Body> void OnTheMapScreen(Body body)
{
    apptest::AppRig rig;
    rig.SetRunBefore();
    rig.SetProfileInt(QStringLiteral("expert mode"), 1);
    CProcessObjects objects;
    g_language = LANGUAGE_ENGLISH;
    g_listStates = {};
    apptest::RunProgram([&] {
        body();
        platform::send(theApp->GetMainWnd(), platform::WM_CLOSE);
    });
}

} // namespace

TEST(ToolbarsPage, APickedCommandIsOnTheChosenButtonAtOnceAndTheLookOnOk)
{
    SettingsProgram program;
    ASSERT_TRUE(program.attached);
    g_language = LANGUAGE_ENGLISH;
    g_listStates = {};
    CButtonBar& top = g_MapController->GetTopButtonBar();
    CButtonBar& bottom = g_MapController->GetBottomButtonBar();
    top.SetBarState(CButtonBar::BAR_SHOWN);
    ASSERT_EQ(top.SetButtonCommand(1, CMD_ZOOM_OUT), 1);

    CSheetToolbars sheet(QStringLiteral("Toolbars"), nullptr);
    ASSERT_TRUE(sheet.Create());
    // Portrait: the bars lie along the top and the bottom.
    EXPECT_EQ(sheet.GetTabControl()->TabBar()->tabText(0), QStringLiteral("Top"));
    CPageToolbars& page = sheet.m_top;
    EXPECT_EQ(
        Texts(Combo(page, IDC_TOOLBAR_APPEARANCE)), QStringList({ "Show always", "Show on click", "Hide" }));
    EXPECT_EQ(page.GetCurSel(IDC_TOOLBAR_APPEARANCE), 0);
    EXPECT_EQ(Combo(page, IDC_TOOLBAR_BUTTON)->itemText(5), QStringLiteral("Button 6"));

    // Another button number shows that button's command.
    ASSERT_TRUE(page.SelectDlgItem(IDC_TOOLBAR_BUTTON, 1));
    EXPECT_TRUE(FindRowByData(page.Commands(), CMD_ZOOM_OUT)->isSelected());
    ASSERT_TRUE(page.SelectDlgItem(IDC_TOOLBAR_BUTTON, 2));
    EXPECT_FALSE(FindRowByData(page.Commands(), CMD_ZOOM_OUT)->isSelected());
    TapRow(page.Commands(), FindRowByData(page.Commands(), CMD_ZOOM_IN));
    EXPECT_EQ(top.GetButtonCommand(2), int32_t(CMD_ZOOM_IN)) << "the third button, at once";

    // The bottom bar cannot be hidden.
    TapTab(sheet, 1);
    EXPECT_EQ(Texts(Combo(sheet.m_bottom, IDC_TOOLBAR_APPEARANCE)),
        QStringList({ "Show always", "Show on click" }));
    TapRow(sheet.m_bottom.Commands(), FindRowByData(sheet.m_bottom.Commands(), CMD_SETTINGS));
    EXPECT_EQ(bottom.GetButtonCommand(0), int32_t(CMD_SETTINGS));

    // "Hide" waits for OK.
    TapTab(sheet, 0);
    ASSERT_TRUE(page.SelectDlgItem(IDC_TOOLBAR_APPEARANCE, 2));
    EXPECT_EQ(top.GetBarState(), CButtonBar::BAR_SHOWN);
    Tap(sheet, platform::IDOK);
    EXPECT_EQ(top.GetBarState(), CButtonBar::BAR_HIDDEN);
    EXPECT_EQ(top.GetButtonCommand(2), int32_t(CMD_ZOOM_IN));
}

TEST(ToolbarsPage, LandscapeNamesTheBarsLeftAndRightAndTheSortIsShared)
{
    SettingsProgram program(QSize(640, 480));
    g_language = LANGUAGE_RUSSIAN;
    g_listStates = {};
    CSheetToolbars sheet(QStringLiteral("Панели кнопок"), nullptr);
    ASSERT_TRUE(sheet.Create());
    QStringList titles;
    for (int i = 0; i < 3; ++i)
        titles << sheet.GetTabControl()->TabBar()->tabText(i);
    EXPECT_EQ(titles, QStringList({ "Левая", "Правая", "Прочие" }));
    QTreeWidget* list = sheet.m_top.Commands();
    const std::vector<int> inserted = RowOrder(list);
    TapHeader(list, 0);
    EXPECT_NE(RowOrder(list), inserted);
    TapTab(sheet, 1);
    EXPECT_EQ(RowOrder(sheet.m_bottom.Commands()), RowOrder(list)) << "one remembered sort for both bars";
    TapHeader(list, 0);
    TapHeader(list, 0);
    EXPECT_EQ(RowOrder(list), inserted);
    Tap(sheet, platform::IDCANCEL);
}

TEST(OtherPage, TheSwitchesTakeEffectOnOkAndCancelKeepsThem)
{
    SettingsProgram program;
    ASSERT_TRUE(program.attached);
    g_language = LANGUAGE_ENGLISH;
    CMapController& controller = *g_MapController;
    controller.SetCentreMarkerShown(true);
    controller.GetScaleBarElement()->SetState(1);
    controller.GetWidgetSet()->SetState(1);
    g_buttonTooltips = 1;

    for (const bool ok : { false, true }) {
        CSheetToolbars sheet(QStringLiteral("Toolbars"), nullptr);
        ASSERT_TRUE(sheet.Create());
        TapTab(sheet, 2);
        CPageOther& page = sheet.m_other;
        EXPECT_EQ(page.GetDlgItemText(IDC_OTHER_DIAGRAM), QStringLiteral("Diagram"));
        for (const int id :
            { IDC_OTHER_CENTRE_MARKER, IDC_OTHER_SCALE_BRACKET, IDC_OTHER_DIAGRAM, IDC_OTHER_TOOLTIPS }) {
            EXPECT_TRUE(page.IsDlgButtonChecked(id)) << id;
            Tap(page, id);
        }
        Tap(sheet, ok ? platform::IDOK : platform::IDCANCEL);
        EXPECT_EQ(controller.GetCentreMarkerShown(), !ok);
        EXPECT_EQ(controller.GetScaleBarElement()->GetState() != 0, !ok);
        EXPECT_EQ(controller.GetWidgetSet()->GetState() != 0, !ok);
        EXPECT_EQ(g_buttonTooltips != 0, !ok);
    }
}

TEST(BrightnessPage, SlidersAndSwitchesWaitForOkAndTheNamesSwitchAtOnce)
{
    SettingsProgram program;
    g_language = LANGUAGE_ENGLISH;
    CScreenButtonFolders& panel = GetTransparentButtonRoot();
    panel.SetGridAlpha(160);
    panel.SetGridShown(1);
    panel.SetAlpha(128);
    panel.SetBackgroundAlpha(1);
    panel.SetShowCaptions(1);

    CSheetTransparentButtons sheet(QStringLiteral("Transparent buttons"), nullptr);
    ASSERT_TRUE(sheet.Create());
    CPageBrightness& page = sheet.m_brightness;
    EXPECT_EQ(page.GetDlgItemText(IDC_BRIGHTNESS_GRID_PERCENT), QStringLiteral("62%"));
    EXPECT_EQ(page.GetDlgItemText(IDC_BRIGHTNESS_ICONS_PERCENT), QStringLiteral("50%"));
    EXPECT_EQ(page.GetDlgItemText(IDC_BRIGHTNESS_BACKGROUND_PERCENT), QStringLiteral("0%"));
    auto* grid = page.GetDlgItemAs<QSlider>(IDC_BRIGHTNESS_GRID);
    QTest::keyClick(grid, Qt::Key_End);
    EXPECT_EQ(page.GetDlgItemText(IDC_BRIGHTNESS_GRID_PERCENT), QStringLiteral("100%"));

    // Away and back: the panel's values again.
    TapTab(sheet, 1);
    TapTab(sheet, 0);
    EXPECT_EQ(grid->value(), 160);

    // "On" of the grid off: its slider goes grey at once.
    QTest::keyClick(grid, Qt::Key_Home);
    Tap(page, IDC_BRIGHTNESS_GRID_ON);
    EXPECT_FALSE(page.IsDlgItemEnabled(IDC_BRIGHTNESS_GRID));
    EXPECT_EQ(page.GetDlgItemText(IDC_BRIGHTNESS_GRID_PERCENT), QStringLiteral("0%"));
    Tap(page, IDC_BRIGHTNESS_NAMES);
    EXPECT_EQ(panel.GetShowCaptions(), 0) << "at the tap";
    EXPECT_EQ(panel.GetGridShown(), 1) << "the rest waits for OK";
    Tap(sheet, platform::IDOK);
    EXPECT_EQ(panel.GetGridShown(), 0);
    EXPECT_EQ(panel.GetGridAlpha(), 0) << "the hidden grid's slider is still stored";
    EXPECT_EQ(panel.GetAlpha(), 128);
    EXPECT_EQ(panel.GetBackgroundAlpha(), 1);
}

TEST(ButtonValuesPage, APickedValueGoesOnTheButtonOfThePickedNode)
{
    SettingsProgram program;
    g_language = LANGUAGE_ENGLISH;
    g_listStates = {};
    CScreenButtonFolders& panel = GetTransparentButtonRoot();
    panel.Reset();
    ASSERT_TRUE(panel.SetButtonCommand(0, 3, CMD_ZOOM_OUT));
    const int folders = panel.GetFolderCount();

    CSheetTransparentButtons sheet(QStringLiteral("Transparent buttons"), nullptr);
    ASSERT_TRUE(sheet.Create());
    TapTab(sheet, 1);
    CPageButtonValues& page = sheet.m_values;
    QTreeWidget* tree = page.Tree();
    QTreeWidget* values = page.Values();
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), QStringLiteral("Transparent buttons"));
    EXPECT_EQ(values->topLevelItemCount(), 47 + 2 + 7);

    // A value picked with the root chosen assigns nothing.
    TapRow(tree, tree->topLevelItem(0));
    TapRow(values, FindRowByData(values, CMD_SETTINGS));
    EXPECT_EQ(panel.GetButtonCommand(0, 3), int32_t(CMD_ZOOM_OUT));

    // A button's node shows its value; another value goes on the button at once.
    TapRow(tree, page.FindButtonNode(0, 3));
    EXPECT_TRUE(FindRowByData(values, CMD_ZOOM_OUT)->isSelected());
    TapRow(values, FindRowByData(values, CMD_ZOOM_IN));
    EXPECT_EQ(panel.GetButtonCommand(0, 3), int32_t(CMD_ZOOM_IN));
    EXPECT_EQ(page.FindButtonNode(0, 3)->text(0),
        QStringLiteral("3: ") + g_CommandRegistry->GetNameEn(CMD_ZOOM_IN));
    // The same value again only lets go of it; one level up from the top does nothing.
    TapRow(values, FindRowByData(values, CMD_ZOOM_IN));
    EXPECT_FALSE(FindRowByData(values, CMD_ZOOM_IN)->isSelected());
    TapRow(values, FindRowByData(values, VALUE_LEVEL_UP));
    EXPECT_EQ(panel.GetButtonCommand(0, 3), int32_t(CMD_ZOOM_IN));

    // "Folder" asks for the new folder's name; a cancel makes none.
    testing_support::WhenModalOpens([](QWidget* window) {
        auto* name = dynamic_cast<CTextEntryDlg*>(window);
        ASSERT_NE(name, nullptr);
        Tap(*name, platform::IDCANCEL);
    });
    TapRow(values, FindRowByData(values, VALUE_FOLDER));
    EXPECT_EQ(panel.GetFolderCount(), folders);
    EXPECT_EQ(panel.GetButtonCommand(0, 3), int32_t(CMD_ZOOM_IN));

    QString folderName;
    testing_support::WhenModalOpens([&](QWidget* window) {
        auto* name = dynamic_cast<CTextEntryDlg*>(window);
        ASSERT_NE(name, nullptr);
        Tap(*name, platform::IDOK);
    });
    TapRow(values, FindRowByData(values, VALUE_FOLDER));
    ASSERT_EQ(panel.GetFolderCount(), folders + 1);
    const int folder = panel.GetButtonCommand(0, 3);
    QTreeWidgetItem* node = page.FindButtonNode(0, 3);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->text(0), QStringLiteral("3: ") + panel.GetFolderName(folder));
    EXPECT_EQ(node->childCount(), CButtonFolders::kButtonsPerFolder) << "the new folder's buttons under it";
    ASSERT_NE(page.FindButtonNode(folder, 0), nullptr);

    // A command in place of the folder link takes the folder and its nodes away.
    TapRow(tree, page.FindButtonNode(0, 3));
    TapRow(values, FindRowByData(values, CMD_SETTINGS));
    EXPECT_EQ(panel.GetFolderCount(), folders);
    EXPECT_EQ(page.FindButtonNode(0, 3)->childCount(), 0);
    EXPECT_EQ(page.FindButtonNode(folder, 0), nullptr);
    Tap(sheet, platform::IDCANCEL);
    EXPECT_EQ(panel.GetButtonCommand(0, 3), int32_t(CMD_SETTINGS)) << "Cancel keeps it";
}

// "Layout ..." opens a picture of where each button stands on this screen,
// numbered as the tree names the buttons, over the zone grid.
TEST(ButtonValuesPage, LayoutShowsWhereEachButtonStandsOnThisScreen)
{
    for (const QSize screen : { QSize(240, 320), QSize(640, 480) }) {
        SettingsProgram program(screen);
        g_language = LANGUAGE_RUSSIAN;
        CSheetTransparentButtons sheet(QStringLiteral("Прозрачные кнопки"), nullptr);
        ASSERT_TRUE(sheet.Create());
        TapTab(sheet, 1);
        CPageButtonValues& page = sheet.m_values;
        EXPECT_EQ(page.GetDlgItemText(IDC_VALUES_LAYOUT), QStringLiteral("Раскладка ..."));
        bool shown = false;
        testing_support::WhenModalOpens([&](QWidget* window) {
            auto* dialog = dynamic_cast<CTranspButtonsLayoutDlg*>(window);
            ASSERT_NE(dialog, nullptr);
            shown = true;
            EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Layout transp. buttons"));
            EXPECT_EQ(dialog->GetTemplateId(), screen.width() > screen.height() ? 887 : 961);
            QWidget* picture = dialog->GetDlgItem(IDC_TRANSP_BUTTONS_LAYOUT_PICTURE);
            ASSERT_NE(picture, nullptr);
            EXPECT_GT(picture->width(), screen.width() / 2);
            testing_support::SaveScreenshot(*dialog,
                QStringLiteral("transp_buttons_layout_%1x%2").arg(screen.width()).arg(screen.height()));
            Tap(*dialog, platform::IDOK);
        });
        Tap(page, IDC_VALUES_LAYOUT);
        EXPECT_TRUE(shown);
        EXPECT_TRUE(sheet.isVisible()) << "back on the page";

        // Drawn at the screen's own size: each button where the overlay puts
        // it, the grid's lines where a tap changes zone.
        const int w = screen.width(), h = screen.height(), side = GetButtonSide();
        const QImage image = DrawTransparentButtonLayout(QSize(w + 1, h + 1));
        const QColor button(0x10, 0x3a, 0x78);
        const CScreenButtonFolders& panel = GetTransparentButtonRoot();
        for (int b = 0; b < CButtonFolders::kButtonsPerFolder; ++b) {
            const ElementPoint at = panel.GetButtonPlace(b).at;
            EXPECT_EQ(image.pixelColor(at.x + 3, at.y + side / 2), button) << b;
            EXPECT_EQ(image.pixelColor(at.x + side - 4, at.y + 3), button) << b;
        }
        EXPECT_EQ(image.pixelColor(w / 4, 1), QColor(Qt::red));
        EXPECT_EQ(image.pixelColor(w - 2, 3 * (h / 4)), QColor(Qt::red));
        EXPECT_EQ(image.pixelColor(w / 2 + 2, 3), QColor(0x80, 0x80, 0x80)) << "no grid line there";
        Tap(sheet, platform::IDCANCEL);
    }
}

// In the running program: a button's value picked on the Values page is what
// that button of the overlay runs on the map screen.
TEST(ButtonValuesPage, AValuePickedOnThePageRunsFromTheOverlay)
{
    OnTheMapScreen([] {
        CScreenButtonFolders& panel = GetTransparentButtonRoot();
        ThroughTheSettingsMenu<CSheetTransparentButtons>(
            SETTINGS_TRANSPARENT_BUTTONS, [](CSheetTransparentButtons* sheet) {
                TapTab(*sheet, 1);
                CPageButtonValues& page = sheet->m_values;
                TapRow(page.Tree(), page.FindButtonNode(0, 3));
                TapRow(page.Values(), FindRowByData(page.Values(), CMD_ZOOM_IN));
                Tap(*sheet, platform::IDOK);
            });
        EXPECT_EQ(panel.GetButtonCommand(0, 3), int32_t(CMD_ZOOM_IN));
        const int32_t scale = g_MapController->GetScale();
        ExecuteCommand(10002);
        ASSERT_TRUE(panel.IsShown());
        // Button 3 of the top folder: the cell below and right of the centre.
        QWidget* screen = theApp->GetDeviceScreen();
        const QPoint zone(5 * screen->width() / 8, 5 * screen->height() / 8);
        ASSERT_EQ(panel.TapToZone({ zone.x(), zone.y() }), 3);
        QTest::mouseClick(screen, Qt::LeftButton, {}, zone);
        EXPECT_TRUE(AwaitTrue([&] { return g_MapController->GetScale() < scale; })) << "zoomed in";
        ExecuteCommand(10002);
    });
}

// In the running program: a command put on a bottom bar button on the
// Toolbars page runs when that button is tapped on the map screen.
TEST(ToolbarsPage, ACommandPutOnABarRunsFromTheMapScreen)
{
    OnTheMapScreen([] {
        CButtonBar& bottom = g_MapController->GetBottomButtonBar();
        bottom.SetBarState(CButtonBar::BAR_SHOWN);
        ThroughTheSettingsMenu<CSheetToolbars>(SETTINGS_TOOLBARS, [](CSheetToolbars* sheet) {
            TapTab(*sheet, 1);
            CPageToolbars& page = sheet->m_bottom;
            ASSERT_TRUE(page.SelectDlgItem(IDC_TOOLBAR_BUTTON, 1));
            TapRow(page.Commands(), FindRowByData(page.Commands(), CMD_ZOOM_IN));
            Tap(*sheet, platform::IDOK);
        });
        EXPECT_EQ(bottom.GetButtonCommand(1), int32_t(CMD_ZOOM_IN));
        const int32_t scale = g_MapController->GetScale();
        const int side = GetButtonSide();
        QWidget* screen = theApp->GetDeviceScreen();
        const QPoint onButton(side + side / 2, screen->height() - side / 2);
        QTest::mouseClick(screen, Qt::LeftButton, {}, onButton);
        EXPECT_TRUE(AwaitTrue([&] { return g_MapController->GetScale() < scale; })) << "zoomed in";
    });
}

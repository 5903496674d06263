// Every sheet of the settings menu in both languages on the smallest and the
// largest screen: its caption and tab titles, and every page's controls
// inside the page, none cut off. The pictures land in the build's
// "screenshots" folder for a person to look at.
#include "drawlib/screen_draw_tool.h"
#include "settings/settings_menu_dlg.h"
#include "settings/settings_sheets.h"
#include "tests/settings/settings_pages_support.h"
#include "tests/support/screenshot.h"

#include <QAbstractButton>
#include <QLabel>
#include <QTabBar>
#include <memory>

using namespace settingstest;

namespace {

struct SheetCase {
    int entry;
    const char* name;
    QStringList english;
    QStringList russian;
    std::function<std::unique_ptr<CSettingsSheet>(const QString&)> make;
    // Titles that differ on a landscape screen.
    QStringList englishLandscape = {};
    QStringList russianLandscape = {};
};

template <class Sheet> std::function<std::unique_ptr<CSettingsSheet>(const QString&)> Maker()
{
    return [](const QString& caption) { return std::make_unique<Sheet>(caption, nullptr); };
}

// The controls of a page that stick out of its sides (a page too tall for
// the screen scrolls) or are squeezed below their own smallest size, which
// cuts their text.
QStringList Misplaced(CPropertyPage& page)
{
    QStringList bad;
    for (QWidget* w : page.findChildren<QWidget*>()) {
        bool number = false;
        w->objectName().toInt(&number);
        if (!number || !w->isVisibleTo(&page))
            continue;
        const int left = w->mapTo(&page, QPoint(0, 0)).x();
        const auto* label = qobject_cast<QLabel*>(w);
        const bool wraps = label && label->wordWrap();
        const bool text = qobject_cast<QAbstractButton*>(w) || (label && !wraps);
        if (left < 0 || left + w->width() > page.width() || w->height() < w->minimumSizeHint().height()
            || (text && w->width() < w->minimumSizeHint().width()))
            bad << w->objectName();
    }
    return bad;
}

} // namespace

TEST(SettingsScreens, EverySheetInBothLanguagesFitsTheSmallestAndTheLargestScreen)
{
    const std::vector<SheetCase> sheets = {
        { SETTINGS_LANGUAGE, "language", { "Language" }, { "Язык" }, Maker<CSheetLanguage>() },
        { SETTINGS_GENERAL, "general", { "General", "Files", "Connections" },
            { "Общие", "Файлы", "Соединения" }, Maker<CSheetGeneral>() },
        { SETTINGS_GPS, "gps", { "Settings", "Write", "Read" }, { "Настройки", "Запись", "Чтение" },
            Maker<CSheetGps>() },
        { SETTINGS_TRAFFIC, "traffic", { "Jam", "Blocking" }, { "Пробки", "Запреты" },
            Maker<CSheetTraffic>() },
        { SETTINGS_DRIVING, "driving", { "General", "Tips" }, { "Общие", "Подсказки" },
            Maker<CSheetDriving>() },
        { SETTINGS_APPEARANCE, "map", { "Map" }, { "Карта" }, Maker<CSheetMap>() },
        { SETTINGS_SOUND, "sound", { "Sound" }, { "Звук" }, Maker<CSheetSound>() },
        { SETTINGS_ROUTE, "route", { "General", "Tips", "Files", "Properties" },
            { "Общие", "Подсказки", "Файлы", "Свойства" }, Maker<CSheetRoute>() },
        { SETTINGS_HARDWARE_BUTTONS, "hardware_buttons", { "Hardware buttons" }, { "Аппаратные кнопки" },
            Maker<CSheetHardwareButtons>() },
        { SETTINGS_TOOLBARS, "toolbars", { "Top", "Bottom", "Other" }, { "Верхняя", "Нижняя", "Прочие" },
            Maker<CSheetToolbars>(), { "Left", "Right", "Other" }, { "Левая", "Правая", "Прочие" } },
        { SETTINGS_TRANSPARENT_BUTTONS, "transparent_buttons", { "Brightness", "Values" },
            { "Яркость", "Значения" }, Maker<CSheetTransparentButtons>() },
        { SETTINGS_INFORMATION, "information", { "Information" }, { "Информация" },
            Maker<CSheetInformation>() },
    };
    for (const QSize screen : { QSize(240, 320), QSize(640, 480) }) {
        SettingsProgram program(screen);
        MenuPictures pictures(screen);
        g_bExpertMode = 1;
        for (const int language : { LANGUAGE_ENGLISH, LANGUAGE_RUSSIAN }) {
            g_language = language;
            const QString suffix = QStringLiteral("_%1_%2x%3")
                                       .arg(language == LANGUAGE_ENGLISH ? "en" : "ru")
                                       .arg(screen.width())
                                       .arg(screen.height());
            {
                CSettingsMenuDlg menu;
                ASSERT_TRUE(menu.Create());
                EXPECT_EQ(menu.List()->item(SETTINGS_EXIT)->text(),
                    language == LANGUAGE_ENGLISH ? QStringLiteral("Exit") : QStringLiteral("Выход"));
                testing_support::SaveScreenshot(menu, QStringLiteral("settings_menu") + suffix);
                menu.EndDialog(platform::IDCANCEL);
            }
            for (const SheetCase& c : sheets) {
                const QString caption = SettingsEntryName(c.entry);
                std::unique_ptr<CSettingsSheet> sheet = c.make(caption);
                ASSERT_TRUE(sheet->Create());
                EXPECT_EQ(sheet->windowTitle(), caption);
                QStringList titles;
                for (int i = 0; i < sheet->GetPageCount(); ++i)
                    titles << sheet->GetTabControl()->TabBar()->tabText(i);
                const bool landscape = screen.width() > screen.height() && !c.englishLandscape.isEmpty();
                const QStringList& english = landscape ? c.englishLandscape : c.english;
                const QStringList& russian = landscape ? c.russianLandscape : c.russian;
                EXPECT_EQ(titles, language == LANGUAGE_ENGLISH ? english : russian) << c.name;
                // Every title shows whole: the tabs need no more than the bar's width.
                QTabBar* tabs = sheet->GetTabControl()->TabBar();
                EXPECT_LE(tabs->sizeHint().width(), tabs->width()) << c.name << suffix.toStdString();
                for (int i = 0; i < sheet->GetPageCount(); ++i) {
                    TapTab(*sheet, i);
                    ASSERT_EQ(sheet->GetActiveIndex(), i) << c.name;
                    testing_support::SaveScreenshot(
                        *sheet, QStringLiteral("settings_%1_%2").arg(c.name).arg(i) + suffix);
                    EXPECT_EQ(Misplaced(*sheet->GetPage(i)).join(QLatin1Char(' ')).toStdString(), "")
                        << c.name << " page " << i << suffix.toStdString();
                }
                Tap(*sheet, platform::IDCANCEL);
            }
        }
    }
}

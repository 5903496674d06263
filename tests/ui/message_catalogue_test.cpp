#include "fake_ui_hooks.h"
#include "platform/sound.h"
#include "ui_testing.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

struct CatalogueRow {
    const char* name;
    std::function<int(CMessageWindow&, int)> show;
    int timeout;
    const char* title[2];
    const char* text[2];
    bool close;
    int wave[2];
    bool routePosition;
};

const char kRoute[] = "Route";
const char kRouteRu[] = "Маршрут";
const char kProgram[] = "Travenor Pro";

const std::vector<CatalogueRow>& Catalogue()
{
    static const std::vector<CatalogueRow> rows {
        { "ShowOffRoute", [](CMessageWindow& w, int t) { return w.ShowOffRoute(t); }, 2500,
            { kRoute, kRouteRu }, { "You're off the route.", "Вы ушли с маршрута." }, false, { 509, 510 },
            true },
        { "ShowBackOnRoute", [](CMessageWindow& w, int t) { return w.ShowBackOnRoute(t); }, 2500,
            { kRoute, kRouteRu }, { "You're on the route.", "Вы вернулись на маршрут." }, false, { 513, 514 },
            true },
        { "ShowRouteReady", [](CMessageWindow& w, int t) { return w.ShowRouteReady(t); }, 2500,
            { kRoute, kRouteRu }, { "The route is ready.", "Маршрут проложен." }, false, { 515, 516 }, true },
        { "ShowRoutingWait", [](CMessageWindow& w, int t) { return w.ShowRoutingWait(t); }, -1,
            { "Wait, please", "Подождите, пожалуйста." },
            { "This process can take several tens of seconds. Please, wait.",
                "Идет прокладка маршрута. Этот процесс может занять до нескольких десятков секунд. "
                "Пожалуйста, "
                "подождите." },
            false, { 0, 0 }, false },
        { "ShowJunctionNeedsDrivingMode",
            [](CMessageWindow& w, int t) { return w.ShowJunctionNeedsDrivingMode(t); }, -1,
            { "Road junction", "Дорожная развязка" },
            { "\"Road junction\" button is available in Driving mode mode only. Please, turn on \"Driving "
              "mode\".",
                "Кнопка \"Дорожная развязка\" демонстрирует на экране дорожную развязку, только если включен "
                "Режим движения. Включите Режим движения, нажав на кнопку \"Режим движения\", а затем "
                "используйте "
                "кнопку \"Дорожная развязка\"." },
            true, { 0, 0 }, false },
        { "ShowCannotConnectPoints", [](CMessageWindow& w, int t) { return w.ShowCannotConnectPoints(t); },
            7000, { kRoute, kRouteRu },
            { "Can't connect these two points by a route. Please, try to choose another start or finish for "
              "your "
              "route.",
                "Не могу соединить две указанные точки маршрутом. Пожалуйста, укажите другое начало или "
                "конец "
                "маршрута. Маршрут не проложен." },
            true, { 507, 508 }, false },
        { "ShowNotSupported",
            [](CMessageWindow& w, int t) { return w.ShowNotSupported("Caller's title", t); }, 7000,
            { "Caller's title", "Caller's title" },
            { "This function is not supported in the version. It's may be concerned with absent some of "
              "program "
              "file. In this case needed reinstall program. ",
                "В этой версии не поддерживается данная функция. Это может быть связано с отсутствием "
                "некоторых "
                "файлов." },
            false, { 0, 0 }, false },
        { "ShowPointsSavedRouteLater",
            [](CMessageWindow& w, int t) { return w.ShowPointsSavedRouteLater(t); }, 10000,
            { kRoute, kRouteRu },
            { "The points were saved but the route will be created later",
                "Точки сохранены, но маршрут будет проложен позже" },
            true, { 0, 0 }, false },
        { "ShowNoSegmentsNearPoint", [](CMessageWindow& w, int t) { return w.ShowNoSegmentsNearPoint(t); },
            7000, { kRoute, kRouteRu },
            { "There're no segments of the map near the point. Please, try to choose another point.",
                "На карте нет элементов, расположенных около указанной точки. Пожалуйста, укажите другую "
                "точку. "
                "Маршрут не проложен." },
            true, { 511, 512 }, false },
        { "ShowInstalled", [](CMessageWindow& w, int t) { return w.ShowInstalled(t); }, -1,
            { kProgram, kProgram },
            { "Congratulations on successful installation of Travenor Pro Voradu. To start to work with "
              "Travenor "
              "Pro please close this dialog.",
                "Поздравляем Вас с успешной установкой Travenor Pro Voradu. Чтобы начать работу с Travenor "
                "Prо, "
                "пожалуйста, закройте диалог." },
            true, { 0, 0 }, false },
        { "ShowNoPhoneApp", [](CMessageWindow& w, int t) { return w.ShowNoPhoneApp(t); }, -1,
            { kProgram, kProgram },
            { "Приложение Телефон не обнаружено на КПК", "Приложение Телефон не обнаружено на КПК" }, true,
            { 0, 0 }, false },
        { "ShowSettingsFileUnreadable",
            [](CMessageWindow& w, int t) { return w.ShowSettingsFileUnreadable(t); }, -1,
            { kProgram, kProgram },
            { "Не могу открыть kns файл(файл настроек Travenor Pro). Будут использованы настройки по "
              "умолчанию. "
              "Can't open kns(Travenor Pro Settings) file. The default settings will be used.",
                "Не могу открыть kns файл(файл настроек Travenor Pro). Будут использованы настройки по "
                "умолчанию. "
                "Can't open kns(Travenor Pro Settings) file. The default settings will be used." },
            true, { 0, 0 }, false },
        { "ShowRouteFileUnreadable", [](CMessageWindow& w, int t) { return w.ShowRouteFileUnreadable(t); },
            -1, { kProgram, kProgram }, { "Can't open route file.", "Не могу открыть файл с маршрутом." },
            true, { 0, 0 }, false },
        { "ShowBanFilesInaccessible(open)",
            [](CMessageWindow& w, int t) { return w.ShowBanFilesInaccessible(t); }, -1,
            { kProgram, kProgram },
            { "Jam can't be opened because the blocking isn't in the system file. Execute \"Save all...\" on "
              "page "
              "\"Blocking\" to move all blockings to the system file.",
                "Проезд не может быть открыт, поскольку запрет проезда находится не в системном файле. Для "
                "переноса всех запретов проездов в системный файл выполните \"Сохранить все...\" на вкладке "
                "\"Запреты\"." },
            true, { 0, 0 }, false },
        { "AskCloseOrMinimize", [](CMessageWindow& w, int t) { return w.AskCloseOrMinimize(t); }, 10000,
            { kProgram, kProgram },
            { "Instead of closing, you can minimize the application. To restore it back to the screen tap "
              "the "
              "Travenor Pro icon in the Today's window tray",
                "Помимо выхода, Вы можете временно свернуть программу. Чтобы вернуть ее на экран, нажмите "
                "иконку "
                "Travenor Pro на нижней панели окна Today" },
            true, { 0, 0 }, false },
        { "AskScreenChanged", [](CMessageWindow& w, int t) { return w.AskScreenChanged(t); }, -1,
            { kProgram, kProgram },
            { "Screen size/orientation was changed. Minimize application and restore previose orientation, "
              "or "
              "quit from application",
                "Размеры (ориентация) экрана были изменены во время работы Travenor Pro. Сверните приложение "
                "и "
                "восстановите исходную ориентацию, или выйдите из приложения" },
            false, { 0, 0 }, false },
        { "ShowRouteUnknownError(12)",
            [](CMessageWindow& w, int t) { return w.ShowRouteUnknownError(12, t); }, 7000,
            { kRoute, kRouteRu },
            { "Unknown error while creating the route. Perhabs, not enough memory on the Pocket PC (12).",
                "Неизвестная ошибка при создании маршрута. Вероятно, не хватает памяти на КПК. (12)." },
            true, { 0, 0 }, false },
    };
    return rows;
}

bool IsQuestion(const CatalogueRow& row) { return QString(row.name).startsWith("Ask"); }

// Shown whatever the language.
bool IsLanguageFree(const CatalogueRow& row)
{
    const QString name(row.name);
    return name == "ShowNoPhoneApp" || name == "ShowSettingsFileUnreadable"
        || name.startsWith("ShowBanFiles");
}

TEST(MessageCatalogue, EveryNoticeInBothLanguages)
{
    for (int language : { LANGUAGE_ENGLISH, LANGUAGE_RUSSIAN }) {
        uitest::OnScreen screen(240, 320, 96, language);
        uitest::FakeUiHooks hooks;
        hooks.jamFilesOpen = true;
        for (const CatalogueRow& row : Catalogue()) {
            SCOPED_TRACE(std::string(row.name) + " language " + std::to_string(language));
            CMessageWindow window;
            hooks.window = &window;
            platform::ClearSoundPlayLog();
            ASSERT_EQ(row.show(window, row.timeout), 1);
            EXPECT_EQ(window.GetState(), 1);
            EXPECT_EQ(window.GetTitle(), QString::fromUtf8(row.title[language]));
            EXPECT_EQ(window.GetText(), QString::fromUtf8(row.text[language]));
            EXPECT_EQ(window.GetFlags(), row.close ? 1u : 0u);
            EXPECT_EQ(window.GetTimeout(), row.timeout);
            EXPECT_EQ(window.CapturesInput(), row.close || IsQuestion(row) ? 1 : 0);
            ElementPoint at;
            window.GetPosition(at);
            EXPECT_EQ(at, (ElementPoint { 20, row.routePosition ? 124 : 50 }));
            const auto played = platform::SoundPlayLog();
            if (row.wave[language]) {
                ASSERT_EQ(played.size(), 1u);
                EXPECT_EQ(played[0].source, QStringLiteral("res:%1").arg(row.wave[language]));
                EXPECT_EQ(played[0].flags, 0x40005u);
            } else {
                EXPECT_TRUE(played.empty());
            }
            if (IsQuestion(row)) {
                ASSERT_EQ(window.GetButtonCount(), 2);
                const CTextButton minimize = window.GetButton(0), close = window.GetButton(1);
                EXPECT_EQ(minimize.GetImageId(), 10030);
                EXPECT_EQ(close.GetImageId(), 10031);
                EXPECT_EQ(minimize.GetCaption(), language ? QString("Свернуть") : QString("Minimize"));
                EXPECT_EQ(close.GetCaption(), language ? QString("Закрыть") : QString("Close"));
                EXPECT_EQ(minimize.GetStyle(), 29u);
                EXPECT_EQ(minimize.GetBackground(), 3u);
                EXPECT_EQ(minimize.GetMargin(), 2);
                EXPECT_EQ(minimize.GetTextFlags(), 21u);
            } else {
                EXPECT_EQ(window.GetButtonCount(), 0);
            }
        }
    }
}

TEST(MessageCatalogue, ALanguageWithoutTextsShowsOnlyTheLanguageFreeNotices)
{
    uitest::OnScreen screen(240, 320, 96, 2);
    uitest::FakeUiHooks hooks;
    hooks.jamFilesOpen = true;
    for (const CatalogueRow& row : Catalogue()) {
        SCOPED_TRACE(row.name);
        CMessageWindow window;
        hooks.window = &window;
        const bool shown = IsLanguageFree(row);
        EXPECT_EQ(row.show(window, row.timeout), shown ? 1 : 0);
        EXPECT_EQ(window.GetState(), shown ? 1 : 0);
    }
}

TEST(MessageCatalogue, RouteReadyWithItsOptionOffLeavesTheWindowAsItWas)
{
    uitest::OnScreen screen(240, 320, 96, LANGUAGE_ENGLISH);
    uitest::FakeUiHooks hooks;
    hooks.routeMessages = false;
    CMessageWindow window;
    hooks.window = &window;
    window.ShowRouteFileUnreadable(-1);
    platform::ClearSoundPlayLog();
    EXPECT_EQ(window.ShowRouteReady(2500), 1);
    EXPECT_EQ(window.GetText(), "Can't open route file.");
    EXPECT_TRUE(platform::SoundPlayLog().empty());
}

TEST(MessageCatalogue, InaccessibleBanFilesNameTheSecondFileFirst)
{
    struct Case {
        int language;
        const char* expected;
    };
    const Case cases[] = {
        { LANGUAGE_ENGLISH,
            "You cannot edit ban on thoroughfares because of files \"B%s.dt\" and/or \"A.dt\" are "
            "inaccessible." },
        { LANGUAGE_RUSSIAN,
            "Нет доступа к файлам \"B%s.dt\" и/или \"A.dt\", поэтому Вы не сможете редактировать запреты "
            "проездов." },
        { 2,
            "Нет доступа к файлам \"B%s.dt\" и/или \"A.dt\", поэтому Вы не сможете редактировать запреты "
            "проездов." },
    };
    for (const Case& c : cases) {
        uitest::OnScreen screen(240, 320, 96, c.language);
        uitest::FakeUiHooks hooks;
        hooks.jamFirst = "A.dt";
        hooks.jamSecond = "B%s.dt"; // a name is inserted as it is
        CMessageWindow window;
        hooks.window = &window;
        EXPECT_EQ(window.ShowBanFilesInaccessible(-1), 1);
        EXPECT_EQ(window.GetText(), QString::fromUtf8(c.expected));
    }
}

} // namespace

// The program's notices on the message window, each in the interface language.
#include "drawlib/glyph_sets.h"
#include "foundation/language.h"
#include "foundation/screen_metrics.h"
#include "ui/element_drawing.h"
#include "ui/message_window.h"
#include "ui/ui_hooks.h"

#include <QStringList>
#include <algorithm>

namespace {

constexpr char16_t kRouteEn[] = u"Route";
constexpr char16_t kRouteRu[] = u"Маршрут";
constexpr char16_t kProgramTitle[] = u"Travenor Pro";

struct Notice {
    const char16_t* title[2];
    const char16_t* text[2];
    bool closeButton;
    int wave[2];
};

constexpr Notice kOffRoute { { kRouteEn, kRouteRu }, { u"You're off the route.", u"Вы ушли с маршрута." },
    false, { 509, 510 } };
constexpr Notice kBackOnRoute { { kRouteEn, kRouteRu },
    { u"You're on the route.", u"Вы вернулись на маршрут." }, false, { 513, 514 } };
constexpr Notice kRouteReady { { kRouteEn, kRouteRu }, { u"The route is ready.", u"Маршрут проложен." },
    false, { 515, 516 } };
constexpr Notice kRoutingWait { { u"Wait, please", u"Подождите, пожалуйста." },
    { u"This process can take several tens of seconds. Please, wait.",
        u"Идет прокладка маршрута. Этот процесс может занять до нескольких десятков секунд. Пожалуйста, "
        u"подождите." },
    false, { 0, 0 } };
constexpr Notice kJunctionNeedsDrivingMode { { u"Road junction", u"Дорожная развязка" },
    { u"\"Road junction\" button is available in Driving mode mode only. Please, turn on \"Driving mode\".",
        u"Кнопка \"Дорожная развязка\" демонстрирует на экране дорожную развязку, только если включен Режим "
        u"движения. Включите Режим движения, нажав на кнопку \"Режим движения\", а затем используйте кнопку "
        u"\"Дорожная развязка\"." },
    true, { 0, 0 } };
constexpr Notice kCannotConnectPoints { { kRouteEn, kRouteRu },
    { u"Can't connect these two points by a route. Please, try to choose another start or finish for your "
      u"route.",
        u"Не могу соединить две указанные точки маршрутом. Пожалуйста, укажите другое начало или конец "
        u"маршрута. Маршрут не проложен." },
    true, { 507, 508 } };
constexpr Notice kNotSupported { { nullptr, nullptr },
    { u"This function is not supported in the version. It's may be concerned with absent some of program "
      u"file. "
      u"In this case needed reinstall program. ",
        u"В этой версии не поддерживается данная функция. Это может быть связано с отсутствием некоторых "
        u"файлов." },
    false, { 0, 0 } };
constexpr Notice kPointsSavedRouteLater { { kRouteEn, kRouteRu },
    { u"The points were saved but the route will be created later",
        u"Точки сохранены, но маршрут будет проложен позже" },
    true, { 0, 0 } };
constexpr Notice kNoSegmentsNearPoint { { kRouteEn, kRouteRu },
    { u"There're no segments of the map near the point. Please, try to choose another point.",
        u"На карте нет элементов, расположенных около указанной точки. Пожалуйста, укажите другую точку. "
        u"Маршрут не проложен." },
    true, { 511, 512 } };
constexpr Notice kInstalled { { kProgramTitle, kProgramTitle },
    { u"Congratulations on successful installation of Travenor Pro Voradu. To start to work with Travenor "
      u"Pro "
      u"please close this dialog.",
        u"Поздравляем Вас с успешной установкой Travenor Pro Voradu. Чтобы начать работу с Travenor Prо, "
        u"пожалуйста, закройте диалог." },
    true, { 0, 0 } };
constexpr char16_t kNoPhoneAppText[] = u"Приложение Телефон не обнаружено на КПК";
constexpr char16_t kSettingsFileUnreadableText[]
    = u"Не могу открыть kns файл(файл настроек Travenor Pro). Будут использованы настройки по умолчанию. "
      u"Can't open kns(Travenor Pro Settings) file. The default settings will be used.";
constexpr Notice kRouteFileUnreadable { { kProgramTitle, kProgramTitle },
    { u"Can't open route file.", u"Не могу открыть файл с маршрутом." }, true, { 0, 0 } };
constexpr const char16_t* kBanFilesOpenText[2] {
    u"Jam can't be opened because the blocking isn't in the system file. Execute \"Save all...\" on page "
    u"\"Blocking\" to move all blockings to the system file.",
    u"Проезд не может быть открыт, поскольку запрет проезда находится не в системном файле. Для переноса "
    u"всех "
    u"запретов проездов в системный файл выполните \"Сохранить все...\" на вкладке \"Запреты\".",
};
constexpr const char16_t* kBanFilesInaccessibleFormat[2] {
    u"You cannot edit ban on thoroughfares because of files \"%s\" and/or \"%s\" are inaccessible.",
    u"Нет доступа к файлам \"%s\" и/или \"%s\", поэтому Вы не сможете редактировать запреты проездов.",
};
constexpr const char16_t* kCloseOrMinimizeText[2] {
    u"Instead of closing, you can minimize the application. To restore it back to the screen tap the "
    u"Travenor "
    u"Pro icon in the Today's window tray",
    u"Помимо выхода, Вы можете временно свернуть программу. Чтобы вернуть ее на экран, нажмите иконку "
    u"Travenor "
    u"Pro на нижней панели окна Today",
};
constexpr const char16_t* kScreenChangedText[2] {
    u"Screen size/orientation was changed. Minimize application and restore previose orientation, or quit "
    u"from "
    u"application",
    u"Размеры (ориентация) экрана были изменены во время работы Travenor Pro. Сверните приложение и "
    u"восстановите исходную ориентацию, или выйдите из приложения",
};
constexpr const char16_t* kMinimizeCaption[2] { u"Minimize", u"Свернуть" };
constexpr const char16_t* kCloseCaption[2] { u"Close", u"Закрыть" };
constexpr const char16_t* kUnknownErrorFormat[2] {
    u"Unknown error while creating the route. Perhabs, not enough memory on the Pocket PC (%d).",
    u"Неизвестная ошибка при создании маршрута. Вероятно, не хватает памяти на КПК. (%d).",
};

constexpr int kMinimizeCommand = 10030;
constexpr int kCloseCommand = 10031;
constexpr uint32_t kQuestionButtonStyle = TEXT_BUTTON_CAPTION | TEXT_BUTTON_BACKGROUND
    | TEXT_BUTTON_IMAGE_BACKGROUND | TEXT_BUTTON_PRESS_ANIMATION;
constexpr int kQuestionButtonMargin = 2;
constexpr uint32_t kCentredTextFlags = 21;

QString Text(const char16_t* s) { return QString::fromUtf16(s); }

// The interface language as an index, or -1 for one without texts.
int LanguageIndex()
{
    const int language = g_language.load();
    return language == LANGUAGE_ENGLISH || language == LANGUAGE_RUSSIAN ? language : -1;
}

// Replaces each "%s" of `format` in turn, leaving the inserted names alone.
QString FillNames(const QString& format, const QStringList& names)
{
    QString result;
    qsizetype from = 0;
    for (const QString& name : names) {
        const qsizetype at = format.indexOf(QStringLiteral("%s"), from);
        if (at < 0)
            break;
        result += format.mid(from, at - from) + name;
        from = at + 2;
    }
    return result + format.mid(from);
}

// The route notices stand lower, both coordinates scaled horizontally.
ElementPoint RouteNoticePosition() { return { ScaleByDpiX(20), ScaleByDpiX(124) }; }

int ShowNotice(CMessageWindow& window, const Notice& notice, int timeoutMs,
    const std::optional<ElementPoint>& position = std::nullopt, const QString& title = {})
{
    const int language = LanguageIndex();
    if (language < 0)
        return 0;
    return window.Show(notice.title[language] ? Text(notice.title[language]) : title,
        Text(notice.text[language]), notice.closeButton ? uint32_t(MESSAGE_CLOSE_BUTTON) : 0u, timeoutMs,
        notice.wave[language], position);
}

} // namespace

int CMessageWindow::ShowOffRoute(int timeoutMs)
{
    return ShowNotice(*this, kOffRoute, timeoutMs, RouteNoticePosition());
}

int CMessageWindow::ShowBackOnRoute(int timeoutMs)
{
    return ShowNotice(*this, kBackOnRoute, timeoutMs, RouteNoticePosition());
}

int CMessageWindow::ShowRouteReady(int timeoutMs)
{
    if (!UiHooks().IsCreatingRouteMessagesEnabled())
        return 1;
    return ShowNotice(*this, kRouteReady, timeoutMs, RouteNoticePosition());
}

int CMessageWindow::ShowRoutingWait(int timeoutMs) { return ShowNotice(*this, kRoutingWait, timeoutMs); }

int CMessageWindow::ShowJunctionNeedsDrivingMode(int timeoutMs)
{
    return ShowNotice(*this, kJunctionNeedsDrivingMode, timeoutMs);
}

int CMessageWindow::ShowCannotConnectPoints(int timeoutMs)
{
    return ShowNotice(*this, kCannotConnectPoints, timeoutMs);
}

int CMessageWindow::ShowNotSupported(const QString& title, int timeoutMs)
{
    return ShowNotice(*this, kNotSupported, timeoutMs, std::nullopt, title);
}

int CMessageWindow::ShowPointsSavedRouteLater(int timeoutMs)
{
    return ShowNotice(*this, kPointsSavedRouteLater, timeoutMs);
}

int CMessageWindow::ShowNoSegmentsNearPoint(int timeoutMs)
{
    return ShowNotice(*this, kNoSegmentsNearPoint, timeoutMs);
}

int CMessageWindow::ShowInstalled(int timeoutMs) { return ShowNotice(*this, kInstalled, timeoutMs); }

int CMessageWindow::ShowNoPhoneApp(int timeoutMs)
{
    return Show(Text(kProgramTitle), Text(kNoPhoneAppText), MESSAGE_CLOSE_BUTTON, timeoutMs, 0);
}

int CMessageWindow::ShowSettingsFileUnreadable(int timeoutMs)
{
    return Show(Text(kProgramTitle), Text(kSettingsFileUnreadableText), MESSAGE_CLOSE_BUTTON, timeoutMs, 0);
}

int CMessageWindow::ShowRouteFileUnreadable(int timeoutMs)
{
    return ShowNotice(*this, kRouteFileUnreadable, timeoutMs);
}

int CMessageWindow::ShowBanFilesInaccessible(int timeoutMs)
{
    const int language = g_language.load() == LANGUAGE_ENGLISH ? 0 : 1;
    CUiHooks& hooks = UiHooks();
    QString text;
    if (hooks.AreJamFilesOpen()) {
        text = Text(kBanFilesOpenText[language]);
    } else {
        QString first, second;
        hooks.GetJamFileNames(first, second);
        text = FillNames(Text(kBanFilesInaccessibleFormat[language]), QStringList { second, first });
    }
    return Show(Text(kProgramTitle), text, MESSAGE_CLOSE_BUTTON, timeoutMs, 0);
}

int CMessageWindow::AskQuestion(const QString& text, int timeoutMs, bool closeButton)
{
    const int language = LanguageIndex();
    const ElementSize buttonSize = GetImageSize(m_surface, QUESTION_BUTTON_IMAGE);
    Show(Text(kProgramTitle), text, closeButton ? uint32_t(MESSAGE_CLOSE_BUTTON) : 0u, timeoutMs, 0,
        std::nullopt, {}, 2, buttonSize.cy + 5);
    platform::CSLock lock(m_lock);
    ElementRect area;
    GetButtonArea(area);
    const int w = buttonSize.cx, h = buttonSize.cy;
    const int y = m_y + area.bottom - h - 4;
    const int gap = std::max(0, (area.right - area.left - 2 * w) / 3);
    const int x0 = m_x + area.left + gap;
    const int x1 = x0 + w + gap;
    CGlyphFont* font = GetToolFont(FONT_TEXT);
    SetButton(0, kMinimizeCommand, { x0, y }, buttonSize, Text(kMinimizeCaption[language]),
        kQuestionButtonStyle, QUESTION_BUTTON_IMAGE, kQuestionButtonMargin, font, kCentredTextFlags);
    SetButton(1, kCloseCommand, { x1, y }, buttonSize, Text(kCloseCaption[language]), kQuestionButtonStyle,
        QUESTION_BUTTON_IMAGE, kQuestionButtonMargin, font, kCentredTextFlags);
    return 1;
}

int CMessageWindow::AskCloseOrMinimize(int timeoutMs)
{
    const int language = LanguageIndex();
    if (language < 0)
        return 0;
    return AskQuestion(Text(kCloseOrMinimizeText[language]), timeoutMs, true);
}

int CMessageWindow::AskScreenChanged(int timeoutMs)
{
    const int language = LanguageIndex();
    if (language < 0)
        return 0;
    return AskQuestion(Text(kScreenChangedText[language]), timeoutMs, false);
}

int CMessageWindow::ShowRouteUnknownError(int code, int timeoutMs)
{
    const int language = LanguageIndex();
    if (language < 0)
        return 0;
    const QString text
        = Text(kUnknownErrorFormat[language]).replace(QStringLiteral("%d"), QString::number(code));
    return Show(Text(language == 0 ? kRouteEn : kRouteRu), text, MESSAGE_CLOSE_BUTTON, timeoutMs, 0);
}

QString RouteFailureText(int code)
{
    const int language = LanguageIndex();
    if (language < 0)
        return QString();
    switch (code) {
    case 1:
        return Text(kNotSupported.text[language]);
    case 62:
        return Text(kCannotConnectPoints.text[language]);
    case 64:
    case 65:
        return Text(kNoSegmentsNearPoint.text[language]);
    default:
        return Text(kUnknownErrorFormat[language]).replace(QStringLiteral("%d"), QString::number(code));
    }
}

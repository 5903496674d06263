#include "controls/command_registry.h"

#include "controls/command_handlers.h"
#include "drawlib/screen_draw_tool.h"
#include "foundation/language.h"
#include "foundation/page_image_list.h"
#include "foundation/screen_metrics.h"
#include "nav/map_controller.h"
#include "ui/element_drawing.h"

#include <QTreeWidget>
#include <algorithm>

namespace {

struct CommandRow {
    uint32_t id;
    CommandKind kind;
    const char16_t* nameEn;
    const char16_t* nameRu;
    const char16_t* shortEn;
    const char16_t* shortRu;
    int32_t image;
    int32_t message;
};

constexpr CommandKind P = COMMAND_PLAIN;
constexpr CommandKind T = COMMAND_TOGGLE;
constexpr CommandKind R = COMMAND_RADIO;

// The assignable commands; 10047-10053 have no names, image or message.
constexpr CommandRow kCommands[] = {
    { 10000, P, u"Empty meaning", u"Пустое значение", u"Empty", u"Пустое", 179, 10300 },
    { 10001, P, u"General settings", u"Общие настройки", u"Settings", u"Общие настр.", 190, 10301 },
    { 10002, T, u"Show transparent buttons", u"Показать прозрачные кнопки", u"Transp.buttons",
        u"Прозрач.кнопки", 742, 10304 },
    { 10003, P, u"Exit from application", u"Выход из приложения", u"Exit", u"Выход", 180, 10305 },
    { 10004, P, u"Move map to right", u"Переместить карту вправо", u"Right", u"Вправо", 735, 10306 },
    { 10005, P, u"Move map to left", u"Переместить карту влево", u"Left", u"Влево", 181, 10307 },
    { 10006, P, u"Move map to up", u"Переместить карту вверх", u"Up", u"Вверх", 193, 10308 },
    { 10007, P, u"Move map to down", u"Переместить карту вниз", u"Down", u"Вниз", 737, 10309 },
    { 10008, P, u"Zoom in", u"Увеличить масштаб", u"Zoom in", u"Увеличить", 744, 10310 },
    { 10009, P, u"Zoom out", u"Уменьшить масштаб", u"Zoom out", u"Уменьшить", 194, 10311 },
    { 10010, R, u"Zoom window", u"Окно приближения", u"Window", u"Окно", 195, 10312 },
    { 10011, R, u"Scroll", u"Скролл", u"Scroll", u"Скролл", 749, 10313 },
    { 10012, R, u"First point of the route", u"Первая точка маршрута", u"Start", u"Старт", 192, 10314 },
    { 10013, R, u"Last point of the route", u"Последняя точка маршрута", u"Finish", u"Финиш", 191, 10315 },
    { 10014, P, u"Phone application", u"Приложение Телефон", u"Phone", u"Телефон", 850, 10382 },
    { 10015, P, u"Empty meaning", u"Пустое значение", u"Empty", u"Пустое", 179, 10300 },
    { 10016, P, u"Empty meaning", u"Пустое значение", u"Empty", u"Пустое", 179, 10300 },
    { 10017, P, u"Address search", u"Адресный поиск", u"Search", u"Поиск", 187, 10319 },
    { 10018, P, u"Edit waypoints", u"Редактировать закладки", u"Waypoints", u"Закладки", 189, 10320 },
    { 10019, P, u"Reference information", u"Справочная информация", u"Help", u"Справка", 184, 10321 },
    { 10020, T, u"Show smooth zoom slider", u"Показывать линейку масштаба", u"Zoom", u"Масштаб", 200, 10324 },
    { 10021, P, u"Delete the route", u"Удалить маршрут", u"Delete", u"Удалить", 204, 10326 },
    { 10022, T, u"GPS tracking", u"GPS-сопровождение", u"GPS tracking", u"GPS-сопровожд.", 205, 10330 },
    { 10023, R, u"Object name", u"Имя объекта", u"Object name", u"Имя объекта", 208, 10331 },
    { 10024, P, u"Show all the route", u"Показать весь маршрут", u"All route", u"Весь маршрут", 209, 10334 },
    { 10025, P, u"Show all waypoints", u"Показать все закладки", u"All waypoints", u"Все закладки", 210,
        10335 },
    { 10026, T, u"Go always up", u"Ехать всегда вверх", u"Always up", u"Всегда вверх", 226, 10338 },
    { 10027, P, u"Recover the route", u"Восстановить маршрут", u"Recover", u"Восстановить", 255, 10339 },
    { 10028, R, u"Route finish only", u"Только конец маршрута", u"Finish only", u"Только финиш", 256, 10340 },
    { 10029, P, u"Empty meaning", u"Пустое значение", u"Empty", u"Пустое", 179, 10300 },
    { 10030, P, u"Minimize application", u"Свернуть приложение", u"Minimize", u"Свернуть", 258, 10342 },
    { 10031, P, u"Close application", u"Закрыть приложение", u"Close", u"Закрыть", 259, 10343 },
    { 10032, P, u"Search for points of interest", u"Поиск объектов инфраструктуры", u"POI search",
        u"Поиск объектов", 260, 10344 },
    { 10033, T, u"Orientation panel", u"Панель ориентирования", u"Orient. panel", u"Панель ориент.", 183,
        10303 },
    { 10034, P, u"Add a waypoint", u"Добавить закладку", u"Add a waypoint", u"Добавить закл.", 765, 10357 },
    { 10035, P, u"Show the route part", u"Показать часть маршрута", u"Route part", u"Часть маршрута", 768,
        10358 },
    { 10036, T, u"Road junction", u"Дорожная развязка", u"Road junction", u"Развязка", 770, 10359 },
    { 10037, P, u"Download jam (if source connected)", u"Загрузка пробок", u"Download jam", u"Пробки", 14051,
        10360 },
    { 10038, P, u"Route wizard", u"Мастер прокладки маршрута", u"Route wizard", u"Мастер маршрута", 810,
        10371 },
    { 10039, P, u"Search wizard", u"Мастер поиска", u"Search wizard", u"Мастер поиска", 809, 10370 },
    { 10040, P, u"Recreate the route", u"Перепроложить маршрут", u"Recreate the route", u"Перепроложить", 834,
        10373 },
    { 10041, P, u"Save screenshot", u"Сохранить снимок карты ", u"Screenshot", u"Снимок карты", 835, 10374 },
    { 10042, T, u"Driving mode", u"Режим движения", u"Driving mode", u"Режим движения", 836, 10372 },
    { 10043, P, u"Harrowick", u"Система слежения", u"Harrowick", u"Слежение", 843, 10376 },
    { 10044, P, u"Edit waypoints", u"Редактировать закладки", u"Waypoints", u"Закладки", 847, 10377 },
    { 10045, P, u"Restore Bluetooth", u"Восстановить Bluetooth-соединение", u"Bluetooth", u"Bluetooth", 849,
        10379 },
    { 10046, P, u"Create back route", u"Проложить обратный маршрут", u"Back route", u"Маршрут назад", 855,
        10380 },
};
static_assert(std::size(kCommands) == kAssignableCommandCount);

struct DiagramRow {
    uint32_t id;
    const char16_t* nameEn;
    const char16_t* nameRu;
    const char16_t* shortEn;
    const char16_t* shortRu;
    int32_t icon;
    int32_t message;
};

constexpr DiagramRow kDiagrams[] = {
    { 14000, u"Diagram \"Satellite state\"", u"Диаграмма \"Спутники\"", u"Satellites", u"Спутники", 772,
        10363 },
    { 14001, u"Diagram \"Power state\"", u"Диаграмма \"Энергия\"", u"Power", u"Энергия", 773, 10361 },
    { 14002, u"Diagram \"Clock\"", u"Диаграмма \"Часы\"", u"Clock", u"Часы", 774, 10364 },
    { 14003, u"Diagram \"Speed\"", u"Диаграмма \"Скорость\"", u"Speed", u"Скорость", 775, 10362 },
    { 14004, u"Diagram \"Remaining distance\"", u"Диаграмма \"Расстояние до конца маршрута\"",
        u"Rem. distance", u"Остаток пути", 776, 10365 },
    { 14005, u"Diagram \"Remaining time\"", u"Диаграмма \"Время до конца маршрута\"", u"Rem. time",
        u"Время до финиша", 777, 10366 },
    { 14006, u"Diagram \"Load jam\"", u"Диаграмма \"Загрузка пробок\"", u"Jam", u"Пробки", 10038, 10369 },
};
static_assert(std::size(kDiagrams) == kDiagramCount);

constexpr int kDiagramFrameImage = 780;

QString Text(const char16_t* text) { return QString::fromUtf16(text); }

// A name in the interface language; "-1" for another language.
QString ByLanguage(const QString& en, const QString& ru) { return Bilingual(en, ru, QStringLiteral("-1")); }

int CompareCodeUnits(const QString& a, const QString& b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = a[i].unicode(), y = b[i].unicode();
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

} // namespace

int CCommandRegistry::Init()
{
    for (uint32_t id = kFirstCommand; id <= kLastCommand; ++id) {
        CCommandEntry& entry = m_entries[id - kFirstCommand];
        entry.id = static_cast<int32_t>(id);
        if (id <= kLastAssignableCommand) {
            const CommandRow& row = kCommands[id - kFirstCommand];
            entry.nameEn = Text(row.nameEn);
            entry.nameRu = Text(row.nameRu);
            entry.shortNameEn = Text(row.shortEn);
            entry.shortNameRu = Text(row.shortRu);
            if (row.kind != COMMAND_PLAIN)
                entry.kind = row.kind;
            entry.imageId = row.image;
            entry.messageId = row.message;
        }
        entry.handler = GetCommandHandler(id);
        entry.alternate = GetAlternateCommandHandler(id);
    }
    for (const DiagramRow& row : kDiagrams) {
        CDiagramEntry& entry = m_diagrams[row.id - kFirstDiagram];
        entry.id = static_cast<int32_t>(row.id);
        entry.nameEn = Text(row.nameEn);
        entry.nameRu = Text(row.nameRu);
        entry.shortNameEn = Text(row.shortEn);
        entry.shortNameRu = Text(row.shortRu);
        entry.icon = row.icon;
        entry.messageId = row.message;
    }
    if (g_MapController) {
        switch (g_MapController->GetTapMode()) {
        case TAP_SCROLL:
            UpdateRadioGroup(CMD_SCROLL);
            break;
        case TAP_ZOOM_WINDOW:
            UpdateRadioGroup(CMD_ZOOM_WINDOW);
            break;
        case TAP_OBJECT_NAME:
            UpdateRadioGroup(CMD_OBJECT_NAME);
            break;
        default:
            break;
        }
    }
    return 1;
}

void CCommandRegistry::Execute(uint32_t id)
{
    if (!IsCommand(id))
        return;
    CCommandEntry& entry = m_entries[id - kFirstCommand];
    if (entry.handler)
        entry.handler(entry);
    if (entry.kind == COMMAND_RADIO)
        UpdateRadioGroup(id);
}

void CCommandRegistry::Invoke(uint32_t id)
{
    if (!IsCommand(id))
        return;
    CCommandEntry& entry = m_entries[id - kFirstCommand];
    if (entry.alternate)
        entry.alternate(entry);
}

void CCommandRegistry::UpdateRadioGroup(uint32_t id)
{
    if (!IsCommand(id) || m_entries[id - kFirstCommand].kind != COMMAND_RADIO)
        return;
    for (CCommandEntry& entry : m_entries)
        if (entry.kind == COMMAND_RADIO)
            entry.checked = static_cast<uint32_t>(entry.id) == id ? 1 : 0;
}

int32_t CCommandRegistry::IsChecked(uint32_t id) const
{
    const CCommandEntry* entry = GetCommandEntry(id);
    return entry ? entry->checked.load() : 0;
}

CommandKind CCommandRegistry::GetKind(uint32_t id) const
{
    const CCommandEntry* entry = GetCommandEntry(id);
    return entry ? entry->kind : COMMAND_PLAIN;
}

CCommandEntry* CCommandRegistry::GetCommandEntry(uint32_t id)
{
    return IsCommand(id) ? &m_entries[id - kFirstCommand] : nullptr;
}

const CCommandEntry* CCommandRegistry::GetCommandEntry(uint32_t id) const
{
    return IsCommand(id) ? &m_entries[id - kFirstCommand] : nullptr;
}

CDiagramEntry* CCommandRegistry::GetDiagramEntry(uint32_t id)
{
    return IsDiagram(id) ? &m_diagrams[id - kFirstDiagram] : nullptr;
}

const CDiagramEntry* CCommandRegistry::GetDiagramEntry(uint32_t id) const
{
    return IsDiagram(id) ? &m_diagrams[id - kFirstDiagram] : nullptr;
}

template <QString CCommandEntry::*Command, QString CDiagramEntry::*Diagram>
QString CCommandRegistry::EntryText(uint32_t id) const
{
    if (const CCommandEntry* entry = GetCommandEntry(id))
        return entry->*Command;
    const CDiagramEntry* diagram = GetDiagramEntry(id);
    return diagram ? diagram->*Diagram : QString();
}

QString CCommandRegistry::GetNameEn(uint32_t id) const
{
    return EntryText<&CCommandEntry::nameEn, &CDiagramEntry::nameEn>(id);
}

QString CCommandRegistry::GetNameRu(uint32_t id) const
{
    return EntryText<&CCommandEntry::nameRu, &CDiagramEntry::nameRu>(id);
}

QString CCommandRegistry::GetName(uint32_t id) const { return ByLanguage(GetNameEn(id), GetNameRu(id)); }

QString CCommandRegistry::GetShortNameEn(uint32_t id) const
{
    return EntryText<&CCommandEntry::shortNameEn, &CDiagramEntry::shortNameEn>(id);
}

QString CCommandRegistry::GetShortNameRu(uint32_t id) const
{
    return EntryText<&CCommandEntry::shortNameRu, &CDiagramEntry::shortNameRu>(id);
}

QString CCommandRegistry::GetShortName(uint32_t id) const
{
    return ByLanguage(GetShortNameEn(id), GetShortNameRu(id));
}

int32_t CCommandRegistry::GetImageId(uint32_t id) const
{
    if (const CCommandEntry* entry = GetCommandEntry(id))
        return entry->imageId;
    const CDiagramEntry* diagram = GetDiagramEntry(id);
    return diagram ? diagram->id : 0;
}

int32_t CCommandRegistry::GetMessageId(uint32_t id) const
{
    if (const CCommandEntry* entry = GetCommandEntry(id))
        return entry->messageId;
    const CDiagramEntry* diagram = GetDiagramEntry(id);
    return diagram ? diagram->messageId : 0;
}

void CCommandRegistry::SetDiagramWidget(uint32_t id, CScreenElement* widget)
{
    if (CDiagramEntry* diagram = GetDiagramEntry(id))
        diagram->widget = widget;
}

void CCommandRegistry::DrawDiagram(uint32_t id, CDrawTool* canvas, int x, int y, int alpha) const
{
    const CDiagramEntry* diagram = GetDiagramEntry(id);
    if (!diagram || !diagram->widget || diagram->widget->GetState() == CScreenElement::STATE_HIDDEN)
        return;
    const ElementSize icon = GetImageSize(canvas, diagram->icon);
    const int iconY = y + (ScaleByDpiY(40) - icon.cy) / 2;
    DrawKeyedImage(canvas, diagram->icon, x - ScaleByDpiX(8), iconY, icon, alpha);
    // The frame sits right of the icon, a pixel above it: each axis by its own density.
    const ElementSize frame = GetImageSize(canvas, kDiagramFrameImage);
    const int frameX = x + icon.cx + ScaleByDpiX(1) - ScaleByDpiX(8);
    const int frameY = iconY - ScaleByDpiY(1);
    CScreenElement& widget = *diagram->widget;
    widget.SetPosition({ frameX + 2, frameY + 2 });
    widget.SetAlpha(static_cast<unsigned>(alpha) & 0xFF);
    widget.SetSize({ frame.cx - 5, frame.cy - 5 });
    widget.Draw();
    DrawKeyedImage(canvas, kDiagramFrameImage, frameX, frameY, frame, alpha);
}

void CCommandRegistry::FillImageList(CImageList& images) const
{
    for (uint32_t id = kFirstCommand; id <= kLastAssignableCommand; ++id) {
        const QImage* bitmap = g_drawTool ? g_drawTool->CreateHBITMAP(GetImageId(id)) : nullptr;
        if (bitmap && !bitmap->isNull()) {
            images.AddMasked(*bitmap, kImageKeyColour);
        } else {
            // A picture that is missing keeps its place, so that index i stays command 10000 + i.
            QImage blank(images.IconSize(), images.IconSize(), QImage::Format_RGB16);
            blank.fill(QColor(0xFF, 0x00, 0xFF));
            images.AddMasked(blank, kImageKeyColour);
        }
    }
}

void CCommandRegistry::FillListView(QTreeWidget* list, const CImageList* images) const
{
    if (!list)
        return;
    list->clear();
    for (uint32_t id = kFirstCommand; id <= kLastAssignableCommand; ++id) {
        auto* item = new QTreeWidgetItem(list); // owned by the list
        item->setText(0, GetName(id));
        item->setData(0, Qt::UserRole, static_cast<int>(id));
        if (images)
            item->setIcon(0, images->Icon(static_cast<int>(id - kFirstCommand)));
    }
}

int CCommandRegistry::CompareCommandNames(uint32_t id1, uint32_t id2, int sortFlag)
{
    if (id1 == id2 || sortFlag != 0 || !g_CommandRegistry)
        return 0;
    return CompareCodeUnits(g_CommandRegistry->GetName(id1), g_CommandRegistry->GetName(id2));
}

int CCommandRegistry::CompareFolderItems(uint32_t id1, uint32_t id2, int sortFlag)
{
    if (id1 == id2 || sortFlag != 0 || !g_CommandRegistry)
        return 0;
    auto text = [](uint32_t id) {
        const int language = g_language.load();
        if (language == LANGUAGE_ENGLISH || language == LANGUAGE_RUSSIAN) {
            if (id == kFolderItemNewFolder)
                return ByLanguage(QStringLiteral("Folder"), QStringLiteral("Папка"));
            if (id == kFolderItemLevelUp)
                return ByLanguage(QStringLiteral("One level up"), QStringLiteral("Один уровень вверх"));
        }
        return g_CommandRegistry->GetName(id);
    };
    return CompareCodeUnits(text(id1), text(id2));
}

void CCommandRegistry::FreeScreenBitmaps()
{
    if (g_drawTool)
        g_drawTool->DeleteHBITMAPs();
}

void ExecuteCommand(uint32_t id)
{
    if (g_CommandRegistry)
        g_CommandRegistry->Execute(id);
}

int32_t IsCommandChecked(uint32_t id) { return g_CommandRegistry ? g_CommandRegistry->IsChecked(id) : 0; }

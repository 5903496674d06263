#include "search/search_lists.h"

#include "drawlib/screen_draw_tool.h"
#include "foundation/app_services.h"
#include "foundation/language.h"
#include "foundation/page_image_list.h"
#include "foundation/screen_metrics.h"
#include "kernel/api/map_query.h"
#include "nav/map_controller.h"
#include "nav/route_manager.h"
#include "platform/system_programs.h"
#include "ui/control_host.h"

#include <QComboBox>
#include <QHeaderView>
#include <QListWidget>
#include <QTreeWidget>
#include <algorithm>
#include <array>

namespace {

const char* const kImageListProperty = "travenorSmallImages";
constexpr int kImageRole = Qt::UserRole + 1;

// Image ids of the categories, by category index.
constexpr std::array<int, 53> kCategoryImages { 316, 262, 263, 286, 268, 292, 261, 284, 274, 265, 264, 296,
    277, 280, 267, 273, 282, 315, 308, 281, 283, 276, 271, 288, 289, 311, 294, 290, 279, 269, 285, 291, 314,
    312, 278, 295, 275, 313, 298, 299, 293, 287, 266, 303, 304, 305, 272, 306, 307, 309, 301, 270, 302 };

constexpr uint32_t kMagenta = 0xFF00FF;

enum class RussianForm { Singular, Few, Many };

// Russian plural forms: 11 to 14 (and 111, 112 ...) take the many form.
RussianForm RussianFormOf(int count)
{
    const int lastTwo = count % 100;
    if (lastTwo >= 11 && lastTwo <= 14)
        return RussianForm::Many;
    const int last = count % 10;
    if (last == 1)
        return RussianForm::Singular;
    if (last >= 2 && last <= 4)
        return RussianForm::Few;
    return RussianForm::Many;
}

void SetCountText(QWidget* window, const QString& text, const QString* format)
{
    if (window != nullptr)
        SetWindowText(window, format != nullptr ? QString(*format).replace(QLatin1String("%s"), text) : text);
}

// The texts of one kind of count.
struct CountTexts {
    const char16_t* none;
    const char16_t* one; // English, for 1
    const char16_t* some; // English, "%1" the count
    const char16_t* more; // 999 and more, English
    const char16_t* noneRu;
    const char16_t* singularRu; // "%1" in each Russian text
    const char16_t* fewRu;
    const char16_t* manyRu;
    const char16_t* moreRu;
};

QString CountText(int count, const CountTexts& t)
{
    if (count < 0)
        return QString();
    if (count == 0)
        return Bilingual(t.none, t.noneRu);
    if (count >= 999)
        return Bilingual(t.more, t.moreRu).arg(count);
    if (g_language.load() == LANGUAGE_ENGLISH)
        return count == 1 ? QString::fromUtf16(t.one) : QString::fromUtf16(t.some).arg(count);
    if (g_language.load() != LANGUAGE_RUSSIAN)
        return QString();
    switch (RussianFormOf(count)) {
    case RussianForm::Singular:
        return QString::fromUtf16(t.singularRu).arg(count);
    case RussianForm::Few:
        return QString::fromUtf16(t.fewRu).arg(count);
    default:
        return QString::fromUtf16(t.manyRu).arg(count);
    }
}

constexpr CountTexts kHouses { u"Nothing found", u"Found 1 house", u"Found %1 houses",
    u"Found more than %1 houses", u"Ничего не найдено", u"Найден %1 дом", u"Найдено %1 дома",
    u"Найдено %1 домов", u"Найдено более %1 домов" };
constexpr CountTexts kObjects { u"Nothing found", u"Found 1 object", u"%1 objects found",
    u"More than %1 objects found", u"Ничего не найдено", u"Найден %1 объект", u"Найдено %1 объекта",
    u"Найдено %1 объектов", u"Найдено более %1 объектов" };

} // namespace

void SetSmallImageList(QTreeWidget* list, const CImageList* images)
{
    if (list != nullptr)
        list->setProperty(kImageListProperty, QVariant::fromValue(reinterpret_cast<quintptr>(images)));
}

void SetItemImage(QTreeWidget* list, QTreeWidgetItem* item, int image)
{
    if (item == nullptr)
        return;
    item->setData(0, kImageRole, image);
    const auto* images = list != nullptr
        ? reinterpret_cast<const CImageList*>(list->property(kImageListProperty).value<quintptr>())
        : nullptr;
    if (images != nullptr)
        item->setIcon(0, images->Icon(image));
}

int GetItemImage(const QTreeWidgetItem* item)
{
    return item != nullptr && item->data(0, kImageRole).isValid() ? item->data(0, kImageRole).toInt() : -1;
}

void AddCategoryIcons(CImageList& images)
{
    for (const int id : kCategoryImages) {
        const QImage* bitmap = g_drawTool ? g_drawTool->CreateHBITMAP(static_cast<uint32_t>(id)) : nullptr;
        // A missing picture still takes its place, so that every later
        // category keeps its index.
        images.AddMasked(bitmap != nullptr ? *bitmap : QImage(), kMagenta);
    }
}

void SetupObjectList(QTreeWidget* list, CImageList& images)
{
    if (list == nullptr)
        return;
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setAllColumnsShowFocus(true);
    list->setRootIsDecorated(false);
    const int w = list->viewport()->width();
    const bool english = g_language.load() == LANGUAGE_ENGLISH;
    const QStringList headings = english
        ? QStringList { QStringLiteral("Type"), QStringLiteral("Name"), QStringLiteral("Address"),
              QStringLiteral("Phone"), QStringLiteral("Ph./fax"), QStringLiteral("Fax"),
              QStringLiteral("Zip code"), QString() }
        : QStringList { QStringLiteral("Тип"), QStringLiteral("Название"), QStringLiteral("Адрес"),
              QStringLiteral("Тел."), QStringLiteral("Тел./факс"), QStringLiteral("Факс"),
              QStringLiteral("Индекс"), QString() };
    list->setColumnCount(static_cast<int>(headings.size()));
    list->setHeaderLabels(headings);
    const int widths[]
        = { 9 * w / 24, 4 * w / 12, 8 * w / 12, 7 * w / 24, 7 * w / 24, 7 * w / 24, 3 * w / 12, 2 * w / 12 };
    for (int i = 0; i < 8; ++i)
        list->setColumnWidth(i, widths[i]);
    // Columns keep their places: only a stored layout reorders them. A tap
    // on a column's header sorts by it.
    list->header()->setSectionsMovable(false);
    list->header()->setSectionsClickable(true);
    images = CImageList(GetIconSizeForResolution() == 32 ? 32 : 16);
    AddCategoryIcons(images);
    list->setIconSize(QSize(images.IconSize(), images.IconSize()));
    SetSmallImageList(list, &images);
    RestoreListColumns(g_poiColumns, list);
}

int SaveListColumns(ColumnLayout& layout, QTreeWidget* list)
{
    QHeaderView* header = list != nullptr ? list->header() : nullptr;
    if (header == nullptr)
        return 0;
    const int n = header->count();
    layout.assign(static_cast<size_t>(2 * n), 0);
    for (int i = 0; i < n; ++i) {
        layout[static_cast<size_t>(i)] = header->logicalIndex(i);
        layout[static_cast<size_t>(n + i)] = header->sectionSize(i);
    }
    return 1;
}

int RestoreListColumns(ColumnLayout& layout, QTreeWidget* list)
{
    if (layout.empty())
        return 0;
    QHeaderView* header = list != nullptr ? list->header() : nullptr;
    if (header == nullptr)
        return 0;
    const int n = header->count();
    std::vector<int32_t> order(layout.begin(), layout.begin() + std::min<ptrdiff_t>(n, std::ssize(layout)));
    std::sort(order.begin(), order.end());
    bool permutation = std::ssize(layout) == 2 * n;
    for (int i = 0; permutation && i < n; ++i)
        permutation = order[static_cast<size_t>(i)] == i;
    if (!permutation) {
        layout.clear();
        return 0;
    }
    for (int i = 0; i < n; ++i)
        header->moveSection(header->visualIndex(layout[static_cast<size_t>(i)]), i);
    for (int i = 0; i < n; ++i)
        header->resizeSection(i, layout[static_cast<size_t>(n + i)] & 0xFFFF);
    return 1;
}

QString HouseCountText(int count, bool noHouseNumber)
{
    if (count == 0 && noHouseNumber)
        return Bilingual(u"The object has no houses.", u"Объект не содержит домов");
    return CountText(count, kHouses);
}

QString ObjectCountText(int count) { return CountText(count, kObjects); }

void ShowHouseCountText(int count, QWidget* window, bool noHouseNumber, const QString* format)
{
    SetCountText(window, HouseCountText(count, noHouseNumber), format);
}

void ShowObjectCountText(int count, QWidget* window, const QString* format)
{
    SetCountText(window, ObjectCountText(count), format);
}

void FillRouteStationCombo(QComboBox* combo)
{
    if (combo == nullptr || !g_MapController)
        return;
    const int selected = combo->currentIndex();
    combo->clear();
    CRouteManager& routes = g_MapController->GetRouteManager();
    for (int slot = 0; slot < 4; ++slot)
        combo->addItem(routes.GetPointCaption(g_language.load(), slot), slot);
    combo->setCurrentIndex(selected >= 0 && selected < combo->count() ? selected : 3);
}

void AddFoundLine(QListWidget* list, const QString& street, const QString& house, int32_t objectId)
{
    auto* item = new QListWidgetItem(house.isEmpty() ? street : street + QLatin1Char(' ') + house);
    item->setData(Qt::UserRole, objectId);
    list->addItem(item); // the list owns the item
}

std::optional<ZXS_Point> ObjectMiddle(int32_t objectId)
{
    constexpr int32_t kUnset = 0x8000000;
    ZXS_Rect box;
    if (!g_MapController
        || ZXS_ObjGetRect(g_MapController->GetMapSet().ActiveMap(), objectId, -1, -1, &box, 0) != 0
        || box.left == kUnset || box.top == kUnset || box.right == kUnset || box.bottom == kUnset)
        return std::nullopt;
    return ZXS_Point { (box.left + box.right) / 2, (box.top + box.bottom) / 2 };
}

void OpenAddressBook()
{
    if (platform::StartSystemProgram(QStringLiteral("\\Windows\\addrbook.exe"), QString()))
        return;
    if (platform::StartSystemProgram(QStringLiteral("\\Windows\\poutlook.exe"), QStringLiteral(" contacts")))
        return;
    AppMessageBoxText(
        Bilingual(u"Cannot open Address Book (Contacts).", u"Невозможно открыть Адресную Книгу (Контакты)."),
        0);
}

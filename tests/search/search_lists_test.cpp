// The search pages' helpers: the count texts in both languages, the object
// list with its columns, icons and remembered layout, the rows of POI
// results, the route-point combo and the contacts application.
#include "search/search_lists.h"

#include "foundation/language.h"
#include "foundation/page_image_list.h"
#include "platform/display.h"
#include "platform/registry.h"
#include "platform/system_programs.h"
#include "tests/search/search_map.h"
#include "tests/support/scoped_registry.h"
#include "tests/ui/ui_testing.h"

#include <QComboBox>
#include <QEventLoop>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <future>
#include <gtest/gtest.h>

namespace {

// The interface language for the test's span.
class Language {
public:
    explicit Language(int language)
        : m_saved(g_language.load())
    {
        g_language = language;
    }
    ~Language() { g_language = m_saved; }

private:
    int m_saved;
};

} // namespace

TEST(SearchLists, CountTextsByLanguageWithRussianPlurals)
{
    struct Case {
        int count;
        const char* english;
        const char* russian;
    };
    const Case objects[] = {
        { -1, "", "" },
        { 0, "Nothing found", "Ничего не найдено" },
        { 1, "Found 1 object", "Найден 1 объект" },
        { 2, "2 objects found", "Найдено 2 объекта" },
        { 5, "5 objects found", "Найдено 5 объектов" },
        { 11, "11 objects found", "Найдено 11 объектов" },
        { 14, "14 objects found", "Найдено 14 объектов" },
        { 21, "21 objects found", "Найден 21 объект" },
        { 22, "22 objects found", "Найдено 22 объекта" },
        { 101, "101 objects found", "Найден 101 объект" },
        { 111, "111 objects found", "Найдено 111 объектов" },
        { 112, "112 objects found", "Найдено 112 объектов" },
        { 998, "998 objects found", "Найдено 998 объектов" },
        { 999, "More than 999 objects found", "Найдено более 999 объектов" },
        { 1000, "More than 1000 objects found", "Найдено более 1000 объектов" },
    };
    const Case houses[] = {
        { -1, "", "" },
        { 0, "Nothing found", "Ничего не найдено" },
        { 1, "Found 1 house", "Найден 1 дом" },
        { 2, "Found 2 houses", "Найдено 2 дома" },
        { 5, "Found 5 houses", "Найдено 5 домов" },
        { 11, "Found 11 houses", "Найдено 11 домов" },
        { 14, "Found 14 houses", "Найдено 14 домов" },
        { 21, "Found 21 houses", "Найден 21 дом" },
        { 22, "Found 22 houses", "Найдено 22 дома" },
        { 101, "Found 101 houses", "Найден 101 дом" },
        { 111, "Found 111 houses", "Найдено 111 домов" },
        { 112, "Found 112 houses", "Найдено 112 домов" },
        { 999, "Found more than 999 houses", "Найдено более 999 домов" },
        { 1000, "Found more than 1000 houses", "Найдено более 1000 домов" },
    };
    for (const int language : { LANGUAGE_ENGLISH, LANGUAGE_RUSSIAN }) {
        Language set(language);
        for (const Case& c : objects)
            EXPECT_EQ(
                ObjectCountText(c.count).toStdString(), language == LANGUAGE_ENGLISH ? c.english : c.russian);
        for (const Case& c : houses)
            EXPECT_EQ(HouseCountText(c.count, false).toStdString(),
                language == LANGUAGE_ENGLISH ? c.english : c.russian);
    }
    Language english(LANGUAGE_ENGLISH);
    EXPECT_EQ(HouseCountText(0, true), QStringLiteral("The object has no houses."));
    EXPECT_EQ(HouseCountText(3, true), QStringLiteral("Found 3 houses"));
    {
        Language russian(LANGUAGE_RUSSIAN);
        EXPECT_EQ(HouseCountText(0, true), QStringLiteral("Объект не содержит домов"));
    }
    {
        Language other(7);
        EXPECT_EQ(ObjectCountText(5), QString());
    }
    // Into a window, through a format's "%s".
    QLabel label;
    const QString format = QStringLiteral("<%s>");
    ShowObjectCountText(1, &label, &format);
    EXPECT_EQ(label.text(), QStringLiteral("<Found 1 object>"));
    ShowHouseCountText(0, &label, true);
    EXPECT_EQ(label.text(), QStringLiteral("The object has no houses."));
}

TEST(SearchLists, ColumnLayoutsRestoreOnlyWhatFitsTheList)
{
    QTreeWidget list;
    list.setColumnCount(8);
    list.header()->setSectionsMovable(true);
    list.header()->moveSection(2, 0);
    list.setColumnWidth(5, 77);
    ColumnLayout saved;
    ASSERT_EQ(SaveListColumns(saved, &list), 1);
    ASSERT_EQ(saved.size(), 16u);
    EXPECT_EQ(saved[0], 2);
    EXPECT_EQ(saved[8 + 5], 77);

    QTreeWidget other;
    other.setColumnCount(8);
    ColumnLayout copy = saved;
    ASSERT_EQ(RestoreListColumns(copy, &other), 1);
    EXPECT_EQ(other.header()->logicalIndex(0), 2);
    EXPECT_EQ(other.columnWidth(5), 77);

    // Wrong length, a column twice, a column that is not there: emptied, the list as it was.
    const ColumnLayout wrong[] = { ColumnLayout(14, 10), { 0, 0, 2, 3, 4, 5, 6, 7, 9, 9, 9, 9, 9, 9, 9, 9 },
        { 0, 1, 2, 3, 4, 5, 6, 8, 9, 9, 9, 9, 9, 9, 9, 9 } };
    for (ColumnLayout layout : wrong) {
        QTreeWidget fresh;
        fresh.setColumnCount(8);
        const int width = fresh.columnWidth(0);
        EXPECT_EQ(RestoreListColumns(layout, &fresh), 0);
        EXPECT_TRUE(layout.empty());
        EXPECT_EQ(fresh.header()->logicalIndex(0), 0);
        EXPECT_EQ(fresh.columnWidth(0), width);
    }
    ColumnLayout empty;
    EXPECT_EQ(RestoreListColumns(empty, &other), 0);
    EXPECT_EQ(SaveListColumns(empty, nullptr), 0);
}

namespace {

class ObjectListOnOstankino : public ::testing::Test {
protected:
    uitest::OnScreen screen { 240, 320, 96, LANGUAGE_ENGLISH };
    search_testing::SearchMap map { "moscow-ostankino" };
};

} // namespace

TEST_F(ObjectListOnOstankino, ColumnsIconsAndARowPerResult)
{
    g_poiColumns.clear();
    QTreeWidget list;
    list.resize(240, 200);
    CImageList images(16);
    SetupObjectList(&list, images);
    ASSERT_EQ(list.columnCount(), 8);
    const QStringList english { "Type", "Name", "Address", "Phone", "Ph./fax", "Fax", "Zip code", "" };
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(list.headerItem()->text(i), english[i]);
    const int w = list.viewport()->width();
    EXPECT_EQ(list.columnWidth(0), 9 * w / 24);
    EXPECT_EQ(list.columnWidth(2), 8 * w / 12);
    EXPECT_EQ(list.columnWidth(7), 2 * w / 12);
    EXPECT_EQ(images.Count(), 53);
    EXPECT_FALSE(list.header()->sectionsMovable());
    // Each category's picture at its index: "Аптека" (8) is picture 274.
    {
        platform::Display display(QSize(240, 320), 96);
        g_drawTool->Init(&display, true);
        ASSERT_TRUE(g_drawTool->LoadResource(
            testing_support::BuildDataFolder() + QStringLiteral("/resources/qvga"), 274));
        CImageList loaded(16);
        AddCategoryIcons(loaded);
        ASSERT_EQ(loaded.Count(), 53);
        EXPECT_FALSE(loaded.Icon(8).isNull());
        EXPECT_TRUE(loaded.Icon(0).isNull()); // picture 316 not loaded: an empty place
        g_drawTool->DestroyBuffer();
    }

    // The rows of a search: the category with its icon, the name, the address ...
    CPoiQuery& query = map.Pois();
    ZXS_Point centre;
    ZXS_MapGetCenter(map.Map(), &centre);
    std::promise<int> ended;
    CPoiNotification callbacks;
    callbacks.completion
        = [](void* context, int result) { static_cast<std::promise<int>*>(context)->set_value(result); };
    callbacks.context = &ended;
    ASSERT_EQ(StartPoiSearch(
                  CPoiQuery::KIND_POINT, 2000, centre.x, centre.y, &list, QStringLiteral("Все"), &callbacks),
        0);
    ASSERT_EQ(ended.get_future().get(), 1);
    query.Stop(true);
    query.FillResultList(&list);
    ASSERT_EQ(list.topLevelItemCount(), query.GetSearchResultCount());
    ASSERT_GT(list.topLevelItemCount(), 0);
    for (int row = 0; row < list.topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = list.topLevelItem(row);
        EXPECT_EQ(item->data(0, Qt::UserRole).toInt(), row);
        CPoiResult r;
        ASSERT_TRUE(query.GetSearchResult(row, r));
        EXPECT_EQ(item->text(0), r.category);
        EXPECT_EQ(item->text(1), r.name);
        EXPECT_EQ(item->text(2), r.address);
        EXPECT_EQ(item->text(3), r.phone);
        EXPECT_EQ(GetItemImage(item), query.GetCategoryIndex(r.category));
    }
    // An index outside the results inserts nothing.
    EXPECT_EQ(query.InsertResultAt(0, query.GetSearchResultCount(), &list), 0);
    EXPECT_EQ(query.InsertResultAt(0, 0, nullptr), 0);

    // The layout the user left is the next list's.
    list.header()->setSectionsMovable(true);
    list.header()->moveSection(1, 0);
    ASSERT_EQ(SaveListColumns(g_poiColumns, &list), 1);
    QTreeWidget next;
    CImageList nextImages(16);
    SetupObjectList(&next, nextImages);
    EXPECT_EQ(next.header()->logicalIndex(0), 1);
    g_poiColumns.clear();

    {
        Language russian(LANGUAGE_RUSSIAN);
        QTreeWidget ru;
        CImageList ruImages(16);
        SetupObjectList(&ru, ruImages);
        EXPECT_EQ(ru.headerItem()->text(6), QStringLiteral("Индекс"));
        EXPECT_EQ(ru.headerItem()->text(7), QString());
    }
}

TEST_F(ObjectListOnOstankino, TheRoutePointCombo)
{
    QComboBox combo;
    FillRouteStationCombo(&combo);
    ASSERT_EQ(combo.count(), 4);
    EXPECT_EQ(combo.currentIndex(), 3); // nothing was selected: the finish
    EXPECT_EQ(combo.itemText(0), QStringLiteral("Start"));
    EXPECT_EQ(combo.itemText(1), QStringLiteral("Station 1"));
    EXPECT_EQ(combo.itemText(3), QStringLiteral("Finish"));
    EXPECT_EQ(combo.itemData(2).toInt(), 2);
    combo.setCurrentIndex(1);
    FillRouteStationCombo(&combo);
    EXPECT_EQ(combo.currentIndex(), 1);
}

TEST(SearchLists, TheContactsApplicationOrAMessage)
{
    testing_support::ScopedRegistryFile registry;
    uitest::ScriptedMessageBoxes boxes;
    Language english(LANGUAGE_ENGLISH);
    OpenAddressBook();
    ASSERT_EQ(boxes.requests.size(), 1u);
    EXPECT_EQ(boxes.requests[0].text, QStringLiteral("Cannot open Address Book (Contacts)."));

    // The contacts program set for the second name: started, nothing shown.
    platform::RegKey key;
    ASSERT_EQ(platform::registry().Create(
                  platform::RegRoot::HKLM, QString::fromUtf16(platform::kSystemProgramsKey), &key),
        platform::RegResult::Ok);
    ASSERT_EQ(key.SetString(QStringLiteral("poutlook.exe"), QStringLiteral("true")), platform::RegResult::Ok);
    OpenAddressBook();
    EXPECT_EQ(boxes.requests.size(), 1u);
}

// The address searcher on a small written map whose names, parents and
// street pieces show each rule, and on the shipped and compiled maps.
#include "search/address_searcher.h"

#include "platform/archive.h"
#include "tests/search/search_map.h"

#include <QStringList>
#include <gtest/gtest.h>

using search_testing::SearchMap;

namespace {

std::string Cp1251(const char* utf8) { return platform::EncodeWindows1251(QString::fromUtf8(utf8)); }

// A town of streets named with Cyrillic letters: name ids are byte offsets
// in the names table, so a filler puts the capital at its well-known id.
class Town {
public:
    enum Name {
        FILLER,
        CAPITAL,
        CENTRE,
        VILLAGE,
        LOOP_A,
        LOOP_B,
        SADOVAYA,
        SOSNOVAYA,
        SIRENEVAYA,
        STEPNAYA,
        KOLTSEVAYA,
        SAD,
        HOUSE_2,
        HOUSE_9,
        HOUSE_10,
        HOUSE_10A,
        FIRST_MANY
    };
    static constexpr int kMany = 1001;

    Town()
    {
        map.namePrefixes = true;
        Add(std::string(CAddressSearcher::kCapitalNameId - 6, 'x'), -1);
        Add("Столица", -1);
        Add("Центр", CAPITAL);
        Add("Посёлок", -1);
        Add("Петля", LOOP_B);
        Add("Узел", LOOP_A);
        Add("Садовая", CENTRE);
        Add("Сосновая", VILLAGE);
        Add("Сиреневая", -1);
        Add("Степная", VILLAGE);
        Add("Кольцевая", LOOP_A);
        Add("Сад", VILLAGE);
        for (const char* number : { "2", "9", "10", "10а" })
            Add(number, -1);
        for (int i = 0; i < kMany; ++i)
            Add(QStringLiteral("Имя%1").arg(i, 4, 10, QLatin1Char('0')).toUtf8().constData(), -1);
        for (size_t i = 0; i < map.names.size(); ++i) {
            const int parent = m_parents[i];
            map.names[i].prefix = parent < 0 ? 0xFFFFFF : static_cast<uint32_t>(Id(parent));
        }

        mapwriter::Layer streets = NewLayer(1, "Назв.улиц и площадей", 0);
        // Садовая in three pieces, the last too short to be a street.
        Line(streets, SADOVAYA, { { 1000, 1000 }, { 1000, 2000 } });
        Line(streets, SADOVAYA, { { 1000, 2000 }, { 1000, 3000 } });
        Line(streets, SADOVAYA, { { 1000, 3000 }, { 1001, 3001 } });
        Line(streets, SOSNOVAYA, { { 2000, 1000 }, { 2500, 1500 } });
        Line(streets, SIRENEVAYA, { { 3000, 1000 }, { 3000, 1600 } });
        // Perfectly straight, east to west: its box has no area.
        Line(streets, STEPNAYA, { { 1000, 5000 }, { 4000, 5000 } });
        Line(streets, KOLTSEVAYA, { { 5000, 1000 }, { 5500, 1400 } });
        map.layers.push_back(streets);

        mapwriter::Layer places = NewLayer(2, "Населенные пункты", 0);
        Line(places, SAD, { { 6000, 6000 }, { 6100, 6050 } });
        map.layers.push_back(places);

        mapwriter::Layer houses = NewLayer(3, "Дома", 8);
        House(houses, SADOVAYA, HOUSE_2, 1100, 1100);
        House(houses, SADOVAYA, HOUSE_9, 1100, 1300);
        House(houses, SADOVAYA, HOUSE_10, 1100, 1500);
        House(houses, SADOVAYA, HOUSE_10, 1100, 1500); // the same house twice
        House(houses, SADOVAYA, HOUSE_10A, 1100, 1700);
        House(houses, SOSNOVAYA, HOUSE_10, 2100, 1100);
        map.layers.push_back(houses);

        mapwriter::Layer many = NewLayer(4, "Прочее", 0);
        for (int i = 0; i < kMany; ++i)
            Line(many, FIRST_MANY + i, { { 8000 + i, 8000 }, { 8000 + i, 8100 } });
        map.layers.push_back(many);
    }

    int32_t Id(int name) const
    {
        int32_t at = 0;
        for (int i = 0; i < name; ++i)
            at += 6 + static_cast<int32_t>(map.names[static_cast<size_t>(i)].text.size());
        return at;
    }

    mapwriter::MapDescription map;

private:
    void Add(const std::string& utf8, int parent)
    {
        map.names.push_back({ Cp1251(utf8.c_str()) });
        m_parents.push_back(parent);
    }
    mapwriter::Layer NewLayer(uint8_t group, const char* name, uint8_t flags)
    {
        map.dictionary.push_back({ group, 0, Cp1251(name) });
        map.styles.push_back(testing_support::Style(group, 0.0f, 100, 100, 100));
        mapwriter::Layer layer;
        layer.nameWord = group;
        layer.styleGroup = group;
        layer.flags = flags;
        return layer;
    }
    static void Line(mapwriter::Layer& layer, int name, std::vector<ZXS_Point> points)
    {
        mapwriter::Record r;
        r.points = std::move(points);
        r.name = name;
        layer.records.push_back(r);
    }
    void House(mapwriter::Layer& layer, int street, int number, int32_t x, int32_t y)
    {
        mapwriter::Record r;
        r.points = { { x, y }, { x + 20, y }, { x + 20, y + 20 }, { x, y + 20 } };
        r.closed = true;
        r.name = number;
        r.linkId = Id(street);
        layer.records.push_back(r);
    }

    std::vector<int> m_parents;
};

QStringList Texts(const std::vector<CNameEntry>& names)
{
    QStringList texts;
    for (const CNameEntry& e : names)
        texts << e.text;
    return texts;
}

QStringList Houses(const std::vector<CHouseEntry>& houses)
{
    QStringList texts;
    for (const CHouseEntry& h : houses)
        texts << h.streetText + QLatin1Char(' ') + h.houseText;
    return texts;
}

int FindNames(CAddressSearcher& searcher, const QString& pattern)
{
    CNameQuery query;
    query.pattern = pattern;
    searcher.FindNames(query);
    return static_cast<int>(searcher.GetNameList().size());
}

int FindHouses(CAddressSearcher& searcher, const QString& street, const QString& house, int selected)
{
    CHouseQuery query;
    query.streetPattern = street;
    query.housePattern = house;
    query.selectedIndex = selected;
    return searcher.FindHouses(query);
}

class AddressSearchTown : public ::testing::Test {
protected:
    Town town;
    SearchMap map { town.map };
    CAddressSearcher& searcher = map.Searcher();
};

} // namespace

TEST_F(AddressSearchTown, NamesComeWithTheirPlaceCapitalFirstThenStreets)
{
    ASSERT_TRUE(map.opened);
    FindNames(searcher, QStringLiteral("С"));
    // The straight street is found; the capital's street leads; a street
    // without a parent shows (---); the locality comes after the streets.
    EXPECT_EQ(Texts(searcher.GetNameList()),
        QStringList({ "Садовая (Столица)", "Сиреневая (---)", "Сосновая (Посёлок)", "Степная (Посёлок)",
            "Сад (Посёлок)" }));
    const CNameEntry& sadovaya = searcher.GetNameList()[0];
    EXPECT_EQ(sadovaya.parentNameId, CAddressSearcher::kCapitalNameId);
    EXPECT_EQ(sadovaya.isStreet, 1);
    // Both real pieces, each grown by 300; the tiny third piece adds nothing.
    EXPECT_EQ(sadovaya.bounds, (ZXS_Rect { 700, 700, 1300, 3300 }));
    EXPECT_EQ(searcher.GetNameList()[4].isStreet, 0);
    EXPECT_EQ(searcher.GetNameList()[3].parentNameId, town.Id(Town::VILLAGE));

    // Letter case is folded; a leading "*" searches inside the name, and a
    // chain of parents that runs in a circle ends.
    FindNames(searcher, QStringLiteral("с"));
    EXPECT_EQ(searcher.GetNameList().size(), 5u);
    FindNames(searcher, QStringLiteral("*вая"));
    EXPECT_EQ(Texts(searcher.GetNameList()),
        QStringList({ "Садовая (Столица)", "Кольцевая (Петля)", "Сиреневая (---)", "Сосновая (Посёлок)" }));
    EXPECT_EQ(FindNames(searcher, QStringLiteral("Ю")), 0);
}

TEST_F(AddressSearchTown, NameAndHouseListsStopAtAThousand)
{
    EXPECT_EQ(FindNames(searcher, QStringLiteral("Имя")), CAddressSearcher::kMaxEntries);
    EXPECT_EQ(searcher.GetNameList().front().text, QStringLiteral("Имя0000 (---)"));
}

TEST_F(AddressSearchTown, HousesOfTheChosenStreetByNumber)
{
    FindNames(searcher, QStringLiteral("С"));
    ASSERT_EQ(FindHouses(searcher, QStringLiteral("Садовая"), QStringLiteral("*"), 0), 1);
    // 10 after 9 and before 10а; the house found twice in a row shows once.
    EXPECT_EQ(Houses(searcher.GetHouseList()),
        QStringList({ "Садовая 2", "Садовая 9", "Садовая 10", "Садовая 10а" }));
    FindHouses(searcher, QStringLiteral("Садовая"), QStringLiteral("1"), 0);
    EXPECT_EQ(Houses(searcher.GetHouseList()), QStringList({ "Садовая 10", "Садовая 10а" }));

    // Under Сосновая only its own house, though Садовая's match the patterns.
    FindHouses(searcher, QStringLiteral("С"), QStringLiteral("10"), 2);
    EXPECT_EQ(Houses(searcher.GetHouseList()), QStringList({ "Сосновая 10" }));
    // Without a chosen street every street's houses.
    FindHouses(searcher, QStringLiteral("С"), QStringLiteral("10"), -1);
    EXPECT_EQ(Houses(searcher.GetHouseList()), QStringList({ "Садовая 10", "Садовая 10а", "Сосновая 10" }));
    // The locality has a box too: no house of its name, and nothing undefined read.
    FindHouses(searcher, QStringLiteral("С"), QStringLiteral("10"), 4);
    EXPECT_TRUE(searcher.GetHouseList().empty());

    EXPECT_EQ(FindHouses(searcher, QStringLiteral("С"), QStringLiteral("10"), 5), 0);
    EXPECT_EQ(FindHouses(searcher, QStringLiteral("С"), QStringLiteral("10"), -2), 0);
    EXPECT_TRUE(searcher.GetHouseList().empty());
    // A new name stage forgets the houses.
    FindHouses(searcher, QStringLiteral("С"), QStringLiteral("10"), -1);
    FindNames(searcher, QStringLiteral("С"));
    EXPECT_TRUE(searcher.GetHouseList().empty());
}

TEST_F(AddressSearchTown, AddressOfAPoint)
{
    // Two objects of the one house: one address.
    searcher.FindAddressesAtPoint(1110, 1510, 128);
    EXPECT_EQ(searcher.GetFoundObjects().size(), 2u);
    ASSERT_EQ(searcher.GetAddressCount(), 1);
    const CAddressEntry* entry = searcher.GetAddressAt(0);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->text, QStringLiteral("Садовая"));
    EXPECT_EQ(entry->ownName, QStringLiteral("10"));
    EXPECT_EQ(entry->layerCaption, QStringLiteral("[Дома]"));
    EXPECT_EQ(searcher.GetAddressAt(-1), nullptr);
    EXPECT_EQ(searcher.GetAddressAt(1), nullptr);
    QString text;
    int32_t object = -1;
    EXPECT_EQ(searcher.GetAddressText(text, &object), 1);
    EXPECT_EQ(text, QStringLiteral("Садовая10"));
    EXPECT_EQ(object, searcher.GetFoundObjects().back());

    // A street piece gives the street's own name; nothing near gives nothing.
    searcher.FindAddressesAtPoint(2250, 1250, 128);
    ASSERT_EQ(searcher.GetAddressCount(), 1);
    EXPECT_EQ(searcher.GetAddressAt(0)->text, QStringLiteral("Сосновая"));
    EXPECT_EQ(searcher.GetAddressAt(0)->ownName, QString());
    searcher.FindAddressesAtPoint(9500, 9500, 128);
    EXPECT_TRUE(searcher.GetFoundObjects().empty());
    EXPECT_EQ(searcher.GetAddressCount(), 0);
    EXPECT_EQ(searcher.GetAddressText(text), 0);
}

TEST_F(AddressSearchTown, RadiusIsFourPixelsAtTheScale)
{
    const std::pair<int32_t, int32_t> radii[]
        = { { 64, 4 }, { 100, 4 }, { 128, 4 }, { 1280, 40 }, { 2560, 80 } };
    for (const auto& [scale, radius] : radii)
        EXPECT_EQ(CAddressSearcher::RadiusForScale(scale), radius) << scale;
    // 30 units beside house 2: within 80, not within 4; -1 takes the controller's scale.
    map.Controller().SetScale(2560);
    searcher.FindObjectsAtPoint(1150, 1110, -1);
    EXPECT_FALSE(searcher.GetFoundObjects().empty());
    map.Controller().SetScale(128);
    searcher.FindObjectsAtPoint(1150, 1110, -1);
    EXPECT_TRUE(searcher.GetFoundObjects().empty());
}

// ------------------------------------------------------------------ real maps

namespace {

struct NameCase {
    const char* map;
    const char* pattern;
    const char* expected; // an entry the list holds
};

} // namespace

TEST(AddressSearchRealMaps, TypedNamesFindTheirStreetsWithTheLocality)
{
    const NameCase cases[] = {
        { "voradu", "М", "Маяковского ул. (Заречный)" },
        { "voradu", "мая", "Маяковского ул. (Заречный)" },
        { "voradu", "*ёз", "Берёзовая ул. (Заречный)" },
        { "moscow-ostankino", "Академика К", "Академика Королёва ул. (Останкино)" },
        { "moscow-ostankino", "*Марьиной", "13-й проезд Марьиной Рощи (Останкино)" },
        { "moscow-ostankino", "1-я", "1-я Останкинская ул. (Останкино)" },
        { "monaco", "Boulevard Albert", "Boulevard Albert 1er (La Condamine)" },
        { "monaco", "*princesse", "Boulevard Princesse Charlotte (Monte-Carlo)" },
    };
    for (const NameCase& c : cases) {
        SearchMap map(c.map);
        ASSERT_TRUE(map.opened) << c.map;
        FindNames(map.Searcher(), QString::fromUtf8(c.pattern));
        EXPECT_TRUE(Texts(map.Searcher().GetNameList()).contains(QString::fromUtf8(c.expected)))
            << c.map << " " << c.pattern << ": "
            << Texts(map.Searcher().GetNameList()).join(" | ").toStdString();
    }
}

TEST(AddressSearchRealMaps, HousesOfAStreetInNumberOrderAndTheAddressOfEach)
{
    struct Case {
        const char* map;
        const char* street;
        const char* house;
        std::vector<const char*> first; // the first houses, in order
    };
    const Case cases[] = {
        { "voradu", "Блока", "1", { "1", "10", "10а", "11", "12" } },
        { "moscow-ostankino", "Академика Королёва", "1", { "10", "10 с1", "11", "12", "12А", "14" } },
        { "monaco", "Quai Antoine", "*", { "1", "4" } },
    };
    for (const Case& c : cases) {
        SearchMap map(c.map);
        ASSERT_TRUE(map.opened) << c.map;
        CAddressSearcher& searcher = map.Searcher();
        ASSERT_GE(FindNames(searcher, QString::fromUtf8(c.street)), 1) << c.map;
        ASSERT_EQ(FindHouses(searcher, QString::fromUtf8(c.street), QString::fromUtf8(c.house), 0), 1);
        const std::vector<CHouseEntry> houses = searcher.GetHouseList();
        ASSERT_GE(houses.size(), c.first.size()) << c.map;
        for (size_t i = 0; i < c.first.size(); ++i)
            EXPECT_EQ(houses[i].houseText, QString::fromUtf8(c.first[i])) << c.map << " " << i;

        // Tapping a house lists its street and number among the addresses
        // there (a neighbour within reach may come last and give the text).
        // Houses drawn as outlines only: a house that is a single point
        // (an address node) is not found by a tap.
        int tapped = 0;
        for (const CHouseEntry& house : houses) {
            ZXS_Rect box;
            ASSERT_EQ(ZXS_ObjGetRect(map.Map(), house.objectId, -1, -1, &box, 0), 0);
            if (box.left == box.right && box.top == box.bottom)
                continue;
            ++tapped;
            searcher.FindAddressesAtPoint((box.left + box.right) / 2, (box.top + box.bottom) / 2, 128);
            bool listed = false;
            for (int i = 0; i < searcher.GetAddressCount(); ++i) {
                const CAddressEntry* a = searcher.GetAddressAt(i);
                listed = listed || (a->text == house.streetText && a->ownName == house.houseText);
            }
            EXPECT_TRUE(listed) << c.map << " " << house.houseText.toStdString();
            QString text;
            EXPECT_EQ(searcher.GetAddressText(text), 1);
            EXPECT_TRUE(text.startsWith(house.streetText)) << text.toStdString();
        }
        EXPECT_GE(tapped, 2) << c.map;
    }
}

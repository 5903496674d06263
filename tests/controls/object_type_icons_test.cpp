// The pictures of POI categories and waypoint colours: every id the tables
// give is the picture the resource table made for that category or colour,
// and it exists in both screen classes.
#include "controls/object_type_icons.h"

#include "foundation/static_tables.h"
#include "nav/map_controller.h"
#include "tests/support/program_folder.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <map>

namespace {

// What the resource table says each picture means, by id.
std::map<int, QString> PictureMeanings()
{
    QFile table(QStringLiteral(TRAVENOR_TEST_SOURCE_DIR "/../resources/resource_ids.tsv"));
    EXPECT_TRUE(table.open(QIODevice::ReadOnly));
    std::map<int, QString> meanings;
    for (const QByteArray& line : table.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() > 8 && !line.startsWith('#'))
            meanings[fields[0].toInt()] = QString::fromUtf8(fields[8]);
    }
    return meanings;
}

bool PictureExists(int id)
{
    for (const char* module : { "/resources/qvga/", "/resources/vga/" })
        if (!QFile::exists(testing_support::BuildDataFolder() + QLatin1String(module) + QString::number(id)
                + QStringLiteral(".bmp")))
            return false;
    return true;
}

class ObjectTypeIconsTest : public ::testing::Test {
protected:
    void SetUp() override { g_MapController->GetPoiSearcher().LoadCategoryNames(); }
    platform::ScopedProcessObject<CMapController> m_controller { g_MapController };
    const std::map<int, QString> m_meanings = PictureMeanings();

    void ExpectPicture(int id, const QString& meaning)
    {
        const auto it = m_meanings.find(id);
        ASSERT_NE(it, m_meanings.end()) << id;
        EXPECT_EQ(it->second, meaning) << id;
        EXPECT_TRUE(PictureExists(id)) << id;
    }
};

TEST_F(ObjectTypeIconsTest, EveryCategoryGetsThePicturesMadeForIt)
{
    const QStringList& names = g_MapController->GetPoiSearcher().GetCategoryNames();
    ASSERT_EQ(names.size(), 53);
    for (qsizetype i = 1; i < names.size(); ++i) {
        const QString& name = names[i];
        SCOPED_TRACE(name.toStdString());
        const QString category = QStringLiteral("POI category \"%1\": ").arg(name);
        ExpectPicture(GetCategoryMapIconId(name), category + QStringLiteral("map icon"));
        ExpectPicture(GetCategoryIconId(name), category + QStringLiteral("small icon"));
        ExpectPicture(GetCategoryBitmapId(name), category + QStringLiteral("waypoint symbol"));
        EXPECT_EQ(GetSpecialCategoryIconId(name), 653) << "not a colour";
    }
    // Restaurants and theatres carry each other's place in the id sequence.
    EXPECT_EQ(GetCategoryBitmapId(QStringLiteral("Ресторан")), 596);
    EXPECT_EQ(GetCategoryBitmapId(QStringLiteral("Театр")), 589);
}

TEST_F(ObjectTypeIconsTest, EveryColourInBothLanguages)
{
    for (size_t i = 0; i < g_colourNamesEn.size(); ++i) {
        const QString english = QStringView(g_colourNamesEn[i]).toString();
        const QString russian = QStringView(g_colourNamesRu[i]).toString();
        for (const QString& name : { english, russian }) {
            SCOPED_TRACE(name.toStdString());
            const int picture = GetSpecialCategoryIconId(name);
            ExpectPicture(picture, QStringLiteral("waypoint colour \"%1\" (colour picture)").arg(english));
            ExpectPicture(
                GetCategoryIconId(name), QStringLiteral("small icon of waypoint colour \"%1\"").arg(english));
            EXPECT_TRUE(m_meanings.at(GetCategoryBitmapId(name))
                            .startsWith(QStringLiteral("waypoint symbol \"%1\"").arg(english)));
            EXPECT_TRUE(PictureExists(GetCategoryBitmapId(name)));
            EXPECT_EQ(GetCategoryMapIconId(name), 0);
            EXPECT_EQ(GetSpecialCategoryNameEn(picture), english);
            EXPECT_EQ(GetSpecialCategoryNameRu(picture), russian);
        }
    }
}

TEST_F(ObjectTypeIconsTest, NamesOfNeitherKind)
{
    const struct {
        const char16_t* name;
        int mapIcon, icon, bitmap, special;
    } cases[] = {
        { u"аптека", 0, 665, 653, 653 }, // names compare exactly
        { u"Все", 0, 665, 653, 653 }, // the list's "all" entry is no category
        { u"", 0, 665, 653, 653 },
        { u"blue", 0, 665, 653, 653 },
    };
    for (const auto& c : cases) {
        const QString name = QString::fromUtf16(c.name);
        EXPECT_EQ(GetCategoryMapIconId(name), c.mapIcon) << name.toStdString();
        EXPECT_EQ(GetCategoryIconId(name), c.icon) << name.toStdString();
        EXPECT_EQ(GetCategoryBitmapId(name), c.bitmap) << name.toStdString();
        EXPECT_EQ(GetSpecialCategoryIconId(name), c.special) << name.toStdString();
    }
    for (int id : { 664, 9999, 0, -1 }) {
        EXPECT_EQ(GetSpecialCategoryNameEn(id), QStringLiteral("Blue"));
        EXPECT_EQ(GetSpecialCategoryNameRu(id), QStringLiteral("Синий"));
    }
}

} // namespace

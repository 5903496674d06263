#include "foundation/static_tables.h"

#include <gtest/gtest.h>
#include <set>

namespace {
QString Q(std::u16string_view text) { return QString::fromUtf16(text.data(), text.size()); }
} // namespace

TEST(StaticTables, WaypointNamesInBothLanguages)
{
    struct Case {
        int symbol;
        const char* english;
        const char* russian;
    } cases[] = {
        { 0, "", "" },
        { 1, "Airport", "Аэропорт" },
        { 17, "Crossing", "Переезд или переход" },
        { 53, "Police", "Милиция" },
        { 75, "Truck stop", "Стоянка грузового транспорта" },
        { 79, "Work", "Работа" },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Q(WaypointSymbolNames(0)[c.symbol]), QString::fromUtf8(c.english)) << c.symbol;
        EXPECT_EQ(Q(WaypointSymbolNames(1)[c.symbol]), QString::fromUtf8(c.russian)) << c.symbol;
    }
    for (int i = 1; i < kWaypointSymbolCount; ++i) {
        EXPECT_FALSE(g_symbolNamesEn[i].empty()) << i;
        EXPECT_FALSE(g_symbolNamesRu[i].empty()) << i;
    }
    EXPECT_EQ(Q(WaypointColourNames(0)[0]), "Blue");
    EXPECT_EQ(Q(WaypointColourNames(1)[0]), QString::fromUtf8("Синий"));
    EXPECT_EQ(Q(WaypointColourNames(1)[5]), QString::fromUtf8("Черный"));
    EXPECT_TRUE(WaypointSymbolNames(2).empty());
    EXPECT_TRUE(WaypointColourNames(-1).empty());
}

TEST(StaticTables, CharacterSets)
{
    ASSERT_EQ(g_cyrillicCharset.size(), 66u);
    ASSERT_EQ(g_fullCharset.size(), 187u);
    EXPECT_EQ(g_cyrillicCharset.substr(5, 3), u"еёж");
    EXPECT_EQ(g_cyrillicCharset.substr(38, 3), u"ЕЁЖ");
    for (std::u16string_view set : { g_cyrillicCharset, g_fullCharset })
        EXPECT_EQ(std::set<char16_t>(set.begin(), set.end()).size(), set.size()) << "no character twice";

    // Blank, 32 + 32 Cyrillic without ё, Latin, digits, then every ASCII punctuation mark in code order.
    EXPECT_EQ(g_fullCharset[0], u' ');
    EXPECT_EQ(g_fullCharset.substr(1, 2), u"аб");
    EXPECT_EQ(g_fullCharset.substr(33, 2), u"АБ");
    EXPECT_EQ(g_fullCharset.substr(65, 1), u"a");
    EXPECT_EQ(g_fullCharset.substr(91, 1), u"A");
    EXPECT_EQ(g_fullCharset.substr(117, 10), u"0123456789");
    std::u16string punctuation;
    for (char16_t c = u'!'; c <= u'~'; ++c)
        if (!(c >= u'0' && c <= u'9') && !(c >= u'a' && c <= u'z') && !(c >= u'A' && c <= u'Z'))
            punctuation += c;
    EXPECT_EQ(g_fullCharset.substr(127, 32), punctuation);
    EXPECT_EQ(g_fullCharset.substr(159), u"„…†‡‰‹‘’“”•–—™›¤¦§Ё©Є«®°±ё№»");
}

TEST(StaticTables, FixedStrings)
{
    EXPECT_EQ(WaypointEditDialogFolder(), "\\My Documents\\");
    EXPECT_EQ(WaypointPropertiesDialogFolder(), "\\My Documents\\");
    EXPECT_NE(&WaypointEditDialogFolder(), &WaypointPropertiesDialogFolder()) << "two separate texts";
    EXPECT_EQ(Q(kCantOpenFileFormat), "Can't open file\"%s\"");
}

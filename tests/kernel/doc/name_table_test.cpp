#include <gtest/gtest.h>

#include <vector>

#include "kernel/doc/code_page.h"
#include "kernel/doc/dictionary.h"
#include "kernel/doc/fixed_collect.h"
#include "kernel/doc/layer_iterator.h"
#include "kernel/doc/name_table.h"
#include "kernel/doc/object_record.h"
#include "kernel/doc/tzx_header.h"
#include "tests/kernel/doc/cp1251.h"
#include "tests/kernel/doc/table_builder.h"

namespace {

// Name ids of the fixture's records (their byte offsets).
struct Ids {
    int32_t red, avenue, alias, aab, cut, paris;
};

class Names : public ::testing::Test {
protected:
    void SetUp() override
    {
        TableBuilder()
            .Record(Body({ 7, 0 }, Cp1251("улица") + '\0'))
            .Record(Body({ 7, 1 }, Cp1251("ул.") + '\0'))
            .Record(Body({ 9, 0 }, Cp1251("проспект") + '\0'))
            .Record(Body({ 9, 1 }, Cp1251("пр-т") + '\0'))
            .Into(dictionary);
        dictionary.BuildIndex();

        TableBuilder b;
        ids.red = static_cast<int32_t>(b.Size());
        b.Record(Body({ 7 }, Cp1251("Красный")));
        ids.avenue = static_cast<int32_t>(b.Size());
        b.Record(Body({ 255 }, "\x01\x09" + Cp1251(" Мира")));
        ids.alias = static_cast<int32_t>(b.Size());
        b.Record(Body({ 254 }, "Red", { static_cast<uint8_t>(ids.red), 0, 0, 0, 9, 0, 0, 0, 0, 0, 0, 0, 0 }));
        ids.aab = static_cast<int32_t>(b.Size());
        b.Record(Body({ 255 }, "aab"));
        ids.cut = static_cast<int32_t>(b.Size());
        b.Record(Body({ 255 }, "end\x01"));
        ids.paris = static_cast<int32_t>(b.Size());
        b.Record(Body({ 255 }, "\xC9lys\xE9\x65")); // "Élysée" in 1252
        b.Into(names);
        names.SetDictionary(&dictionary);
    }

    std::string Folded(const std::string& pattern, int codePage = 0)
    {
        std::string f = pattern;
        CZXS_CodePage::Fold(f, codePage);
        return f;
    }

    CZXS_Dictionary dictionary;
    CZXS_NameTable names;
    Ids ids {};
};

} // namespace

TEST_F(Names, NamesKindWordsAndAliases)
{
    EXPECT_EQ(names.GetName(ids.red, 0), Cp1251("Красный"));
    EXPECT_EQ(names.GetName(ids.red, 2), "Krasny");
    EXPECT_EQ(names.GetKindWord(ids.red, 0), Cp1251("улица"));
    EXPECT_EQ(names.GetKindWord(ids.red, 1), Cp1251("ул."));
    EXPECT_EQ(names.GetKindWord(ids.red, 3), "ul.");
    EXPECT_EQ(names.GetName(ids.avenue, 0), Cp1251("проспект Мира"));
    EXPECT_EQ(names.GetName(ids.avenue, 1), Cp1251("пр-т Мира"));
    EXPECT_EQ(names.GetName(ids.avenue, 3), "pr-t Mira");
    EXPECT_EQ(names.GetKindWord(ids.avenue, 0), "");

    EXPECT_EQ(names.GetName(ids.alias, 0), "Red");
    EXPECT_EQ(names.GetKindWord(ids.alias, 0), Cp1251("проспект"));
    EXPECT_EQ(names.MainNameId(ids.alias), ids.red);
    EXPECT_EQ(names.MainNameId(ids.red), ids.red);
    EXPECT_EQ(names.MainNameId(ZXS_NO_OBJECT), -1);

    EXPECT_EQ(names.GetName(ZXS_NO_OBJECT, 0), Cp1251("<<Без имени>>"));
    EXPECT_EQ(names.GetName(-5, 1), Cp1251("<<Без имени>>"));
    EXPECT_EQ(names.GetName(ZXS_NO_OBJECT, 2), "<<Unnamed>>");
    EXPECT_EQ(names.GetKindWord(ZXS_NO_OBJECT, 0), "");
    // An abbreviation mark with no word number after it is dropped.
    EXPECT_EQ(names.GetName(ids.cut, 0), "end");
    // An id that is no record start yields nothing rather than stray bytes.
    EXPECT_EQ(names.GetName(static_cast<int32_t>(names.Size()) - 1, 0), "");
    EXPECT_EQ(names.GetName(static_cast<int32_t>(names.Size()) + 100, 0), "");

    // Latin forms pass through unchanged in a Western map.
    names.SetCodePage(1);
    EXPECT_EQ(names.GetName(ids.paris, 2), "\xC9lys\xE9\x65");
}

TEST_F(Names, PrefixedRecordsSkipTheirPrefix)
{
    CZXS_NameTable prefixed;
    TableBuilder b;
    b.Record(Body({ 255, 0x01, 0x02, 0x03 }, "Mira"));
    const int32_t second = static_cast<int32_t>(b.Size());
    b.Record(Body({ 255, 0xFF, 0xFF, 0xFF }, "Lenina"));
    b.Into(prefixed);
    prefixed.SetPrefixFlag(true);
    EXPECT_EQ(prefixed.GetName(0, 0), "Mira");
    EXPECT_EQ(prefixed.GetName(second, 0), "Lenina");
    EXPECT_EQ(prefixed.PrefixValue(0), 0x030201);
    EXPECT_EQ(prefixed.PrefixValue(second), ZXS_NO_OBJECT);
    EXPECT_EQ(names.PrefixValue(ids.red), ZXS_NO_OBJECT);
}

TEST_F(Names, PatternsIgnoreCaseAndSearchInside)
{
    struct Case {
        int32_t id;
        std::string pattern;
        int codePage;
        int match;
    };
    const std::vector<Case> cases = {
        { ids.red, Cp1251("кра"), 0, 1 },
        { ids.red, Cp1251("КРАС"), 0, 1 },
        { ids.red, Cp1251("асн"), 0, 0 },
        { ids.red, Cp1251("*АСН"), 0, 1 },
        { ids.red, Cp1251("*ный"), 0, 1 },
        { ids.red, Cp1251("*ныйй"), 0, 0 },
        { ids.aab, "*ab", 0, 1 }, // a mismatch must not skip the start of a match
        { ids.aab, "ab", 0, 0 },
        { ids.aab, "*", 0, 1 },
        { ids.aab, "", 0, 1 },
        { ids.aab, "aabc", 0, 0 },
        { ids.avenue, Cp1251("просп"), 0, 1 }, // abbreviations are expanded first
        { ids.paris, "\xE9ly", 1, 1 }, // 1252: É folds to é
        { ids.paris, "*YS\xC9", 1, 1 },
        { ZXS_NO_OBJECT, "*", 0, 0 },
    };
    for (const Case& c : cases) {
        names.SetCodePage(c.codePage);
        EXPECT_EQ(names.NameMatches(c.id, Folded(c.pattern, c.codePage)), c.match)
            << c.id << " " << c.pattern;
    }
    EXPECT_EQ(names.NameMatches(ids.aab, std::nullopt), 0);
}

TEST(CodePages, WideRoundTripFoldingAndDefaults)
{
    for (int page = 0; page < CZXS_CodePage::kCount; ++page) {
        std::string all;
        for (int b = 1; b < 256; ++b)
            all += static_cast<char>(b);
        const std::u16string wide = CZXS_CodePage::ToWide(page, all);
        ASSERT_EQ(wide.size(), 255u);
        EXPECT_EQ(CZXS_CodePage::FromWide(page, wide), all) << page;
    }
    EXPECT_EQ(CZXS_CodePage::ToWide(0, Cp1251("Ёж")), u"Ёж");
    EXPECT_EQ(CZXS_CodePage::ToWide(1, "\x80"), u"€");
    EXPECT_EQ(CZXS_CodePage::ToWide(2, "\xA3\xB3"), u"Łł");
    EXPECT_EQ(CZXS_CodePage::FromWide(0, u"Ж日x", '#'), "\xC6#x");
    EXPECT_EQ(CZXS_CodePage::FromWide(0, u"abcdef", '#', 3), "abc");
    EXPECT_EQ(CZXS_CodePage::ToWide(0, "abcdef", 2), u"ab");
    EXPECT_EQ(CZXS_CodePage::Fold(0, 0xA8), 0xB8); // Ё
    EXPECT_EQ(CZXS_CodePage::Fold(2, 0xA3), 0xB3); // Ł
    EXPECT_EQ(CZXS_CodePage::Fold(1, 0xC9), 0xE9); // É
    EXPECT_EQ(CZXS_CodePage::Fold(1, 0xE9), 0xE9);
    EXPECT_EQ(CZXS_CodePage::Fold(0, '1'), '1');
}

namespace {

class SearchLayers : public CZXS_LayerIterator {
public:
    const CZXS_TzxHeader& GetHeader() const override { return header; }
    const CZXS_Dictionary* GetDictionary() const override { return nullptr; }
    CZXS_TzxHeader header;
};

struct Hit {
    int32_t object, pointOffset, layer;
    bool operator==(const Hit&) const = default;
};

} // namespace

TEST_F(Names, SearchesOverTheObjectTable)
{
    // Layer 0 (plain, objects 0-4), layer 1 (linked, 5-6), layer 2 (excluded, 7).
    SearchLayers layers;
    layers.header.SetU32(CZXS_TzxHeader::kObjectCount, 8);
    for (auto [first, offset, flags] :
        { std::tuple { 0u, 100u, 0 }, std::tuple { 5u, 500u, 8 }, std::tuple { 7u, 900u, 0x20 } }) {
        TableBuilder d;
        d.U32(first).U32(offset).U8(static_cast<uint8_t>(flags));
        for (int i = 0; i < 12; ++i)
            d.U8(0);
        layers.Layers().Append(d.Bytes().data());
    }
    CFixedCollect objects(CZXS_ObjectRecord::kSize);
    auto add = [&](int32_t name, bool end, int32_t link = ZXS_NO_OBJECT) {
        CZXS_ObjectRecord r;
        r.SetNameId(name);
        r.SetLinkId(link);
        r.SetEndOfObject(end);
        r.SetRunLength(10);
        objects.Append(r.Bytes().data());
    };
    add(ids.red, false); // 0: two parts
    add(ids.red, true);
    add(ids.red, true); // 2: same name again
    add(ZXS_NO_OBJECT, true);
    add(ids.aab, true);
    add(ids.avenue, true, ids.red); // 5: in linked layer, linked to "Красный"
    add(ids.aab, true, ids.red);
    add(ids.red, true); // 7: excluded

    std::vector<Hit> hits;
    auto collect = [&](int32_t object, int32_t pointOffset, int32_t layer) {
        hits.push_back({ object, pointOffset, layer });
        return 1;
    };
    const std::string red = Folded(Cp1251("крас"));
    EXPECT_EQ(names.FindByName(layers, objects, 0, red, std::nullopt, collect, false), 0);
    EXPECT_EQ(hits, (std::vector<Hit> { { 0, 100, 0 }, { 2, 120, 0 } }));
    hits.clear();
    EXPECT_EQ(names.FindByName(layers, objects, 0, red, std::nullopt, collect, true), 0);
    EXPECT_EQ(hits, (std::vector<Hit> { { 0, 100, 0 } }));
    hits.clear();
    EXPECT_EQ(names.NameSearch(layers, objects, 1, red, collect, false), 0);
    EXPECT_EQ(hits, (std::vector<Hit> { { 2, 120, 0 } }));

    hits.clear();
    EXPECT_EQ(names.FindByName(layers, objects, 0, red, Folded(Cp1251("*мир")), collect, false), 0);
    EXPECT_EQ(hits, (std::vector<Hit> { { 5, 500, 1 } }));
    hits.clear();
    EXPECT_EQ(names.LinkedByLinkSearch(layers, objects, ids.red, "aa", collect), 0);
    EXPECT_EQ(hits, (std::vector<Hit> { { 6, 510, 1 } }));

    // A search from below the first layer's start begins with the first layer.
    uint8_t* firstLayer = layers.Layers().MutableElement(0);
    firstLayer[0] = 1;
    hits.clear();
    EXPECT_EQ(names.NameSearch(layers, objects, 0, red, collect, false), 0);
    EXPECT_EQ(hits, (std::vector<Hit> { { 1, 100, 0 }, { 2, 110, 0 } }));
    firstLayer[0] = 0;

    // A callback result of 0 ends the search.
    int calls = 0;
    EXPECT_EQ(names.NameSearch(
                  layers, objects, 0, "", [&](int32_t, int32_t, int32_t) { return ++calls, 0; }, false),
        0);
    EXPECT_EQ(calls, 1);

    EXPECT_EQ(names.NameSearch(layers, objects, 0, std::nullopt, collect, false), 3);
    EXPECT_EQ(names.LinkedByLinkSearch(layers, objects, ZXS_NO_OBJECT, "a", collect), 3);
    CZXS_NameTable empty;
    EXPECT_EQ(empty.NameSearch(layers, objects, 0, "a", collect, false), 29);
}

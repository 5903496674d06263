// The map set on the shipped Voradu map: which release file opens, the kernel's
// fonts, the restyled handle and the reopen.
#include "app/map_set.h"

#include "foundation/app_services.h"
#include "foundation/language.h"
#include "kernel/api/map_geo.h"
#include "kernel/api/map_key.h"
#include "kernel/api/map_query.h"
#include "tests/support/map_fixture.h"
#include "tests/support/program_folder.h"
#include "tests/ui/ui_testing.h"
#include "tools/mapwriter/map_writer.h"

#include <QDir>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace {

using testing_support::ProgramFolder;

struct ProgramEnded {
    int code;
};

// FatalExit ends the test's scope instead of the process.
class FatalExitThrows {
public:
    FatalExitThrows()
    {
        SetFatalExitHandler([](int code) { throw ProgramEnded { code }; });
    }
    ~FatalExitThrows() { SetFatalExitHandler({}); }
};

QByteArray Bytes(const std::vector<uint8_t>& v)
{
    return QByteArray(reinterpret_cast<const char*>(v.data()), static_cast<qsizetype>(v.size()));
}

enum class File { Voradu, Damaged, Enciphered, EncipheredNoKey, EncipheredBadKey };

struct Present {
    const char* base;
    File kind;
};

void Place(ProgramFolder& folder, const Present& p)
{
    const QString base = QString::fromLatin1(p.base);
    const std::vector<uint8_t> key = testing_support::FixtureKey();
    switch (p.kind) {
    case File::Voradu:
        folder.CopyShippedMap(base);
        break;
    case File::Damaged:
        folder.Write(base + QStringLiteral(".tzx"), QByteArray(4096, 'x'));
        break;
    case File::Enciphered:
    case File::EncipheredNoKey:
    case File::EncipheredBadKey:
        folder.Write(
            base + QStringLiteral(".tzx"), Bytes(mapwriter::WriteTzx(testing_support::SmallMap(), key)));
        if (p.kind == File::Enciphered)
            folder.Write(base + QStringLiteral(".key"), QByteArray::fromStdString(ZXS_MapKeyFileText(key)));
        if (p.kind == File::EncipheredBadKey)
            folder.Write(base + QStringLiteral(".key"), QByteArray("not a key\n"));
        break;
    }
}

TEST(MapSet, OpensTheNewestReleaseMapThatOpens)
{
    const struct {
        std::vector<Present> present;
        const char* opened;
    } cases[] = {
        { { { "mskmo0704", File::Voradu } }, "mskmo0704.tzx" },
        { { { "mskmo0701", File::Voradu }, { "mskmo0704", File::Voradu } }, "mskmo0704.tzx" },
        { { { "mskmo0704", File::Damaged }, { "mskmo0701", File::Voradu } }, "mskmo0701.tzx" },
        { { { "MSKMO0609", File::Voradu } }, "mskmo0609.tzx" },
        { { { "mskmo0603", File::Enciphered } }, "mskmo0603.tzx" },
        { { { "mskmo0704", File::EncipheredNoKey }, { "mskmo0512", File::Voradu } }, "mskmo0512.tzx" },
        { { { "mskmo0704", File::EncipheredBadKey }, { "mskmo050902", File::Voradu } }, "mskmo050902.tzx" },
        { { { "mskmo0705", File::Voradu }, { "mskmo0512", File::Voradu } }, "mskmo0512.tzx" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.opened);
        ProgramFolder folder;
        for (const Present& p : c.present)
            Place(folder, p);
        uitest::ScriptedMessageBoxes boxes;
        CMapSet set;
        ASSERT_TRUE(set.OpenWithFonts());
        EXPECT_TRUE(boxes.requests.empty());
        EXPECT_EQ(g_mapFileName.toStdString(), c.opened);
        EXPECT_EQ(g_mapFolder, folder.Path() + QLatin1Char('/'));
        EXPECT_EQ(set.GetState(), CMapSet::STATE_PLAIN);
        ZXS_Rect bounds {};
        EXPECT_EQ(ZXS_MapGetBounds(set.ActiveMap(), &bounds), 0);
        EXPECT_LT(bounds.left, bounds.right);
    }
}

TEST(MapSet, WithoutAMapTheUserIsToldAndTheProgramEnds)
{
    ProgramFolder folder;
    Place(folder, { "mskmo0704", File::Damaged });
    uitest::OnScreen screen(240, 320, 96, LANGUAGE_ENGLISH);
    uitest::ScriptedMessageBoxes boxes;
    FatalExitThrows ending;
    CMapSet set;
    try {
        set.OpenWithFonts();
        FAIL() << "the program went on without a map";
    } catch (const ProgramEnded& e) {
        EXPECT_NE(e.code, 0);
    }
    EXPECT_TRUE(g_mapFileName.isEmpty());
    ASSERT_EQ(boxes.requests.size(), 1u);
    EXPECT_EQ(boxes.requests[0].caption, QStringLiteral("Travenor Pro"));
    EXPECT_EQ(boxes.requests[0].type, platform::MB_ICONEXCLAMATION | platform::MB_OK);
    EXPECT_TRUE(boxes.requests[0].text.startsWith(QStringLiteral("Unable to load the map files.")));
    EXPECT_EQ(boxes.requests[0].text.count(QLatin1Char('\n')), 2);
}

TEST(MapSet, AKernelWithoutFontsNamesTheFolderItSearched)
{
    ProgramFolder folder;
    folder.CopyShippedMap();
    folder.RemoveFonts();
    for (int language : { LANGUAGE_ENGLISH, LANGUAGE_RUSSIAN }) {
        uitest::OnScreen screen(240, 320, 96, language);
        uitest::ScriptedMessageBoxes boxes;
        CMapSet set;
        EXPECT_FALSE(set.OpenWithFonts());
        EXPECT_EQ(set.GetState(), CMapSet::STATE_CLOSED);
        ASSERT_EQ(boxes.requests.size(), 1u);
        EXPECT_TRUE(
            boxes.requests[0].text.contains(QDir::toNativeSeparators(folder.File(QStringLiteral("Fonts/")))))
            << boxes.requests[0].text.toStdString();
    }
}

// Every style record of the plain map's layer groups against the restyled one.
void ExpectWidthsScaled(const CMapSet& set, const CZXS_MapHandle& plain, int percent)
{
    int compared = 0;
    int widths = 0;
    for (int layer = 0;; ++layer) {
        const int32_t group = ZXS_LayerGetStyleGroup(&plain, layer);
        if (group < 0)
            break;
        uint8_t a[44], b[44];
        for (int n = 0; ZXS_MapGetStyle(&plain, group, n, a) == 0; ++n, ++compared) {
            ASSERT_EQ(ZXS_MapGetStyle(set.ActiveMap(), group, n, b), 0);
            widths += a[7] > 1;
            const int want = std::min(255, static_cast<int>(std::trunc(a[7] * percent * 0.01)));
            EXPECT_EQ(b[7], want) << "group " << group << " record " << n << " width " << int(a[7]);
            EXPECT_TRUE(std::equal(a + 8, a + 44, b + 8)) << "only the width changes";
        }
    }
    EXPECT_GT(compared, 0);
    EXPECT_GT(widths, 0) << "the map has lines to widen";
}

TEST(MapSet, TheRestyledMapScalesLineWidthsAndClampsThemAtTheWidest)
{
    ProgramFolder folder;
    folder.CopyShippedMap();
    for (int percent : { 100, 175, 10000 }) {
        SCOPED_TRACE(percent);
        CMapSet set;
        ASSERT_TRUE(set.OpenWithFonts());
        const CZXS_MapHandle plain = *set.ActiveMap();
        set.SetFontScale(percent);
        EXPECT_TRUE(set.ApplyFontScale());
        EXPECT_EQ(set.GetState(), CMapSet::STATE_RESTYLED);
        EXPECT_NE(set.ActiveMap()->pDoc, plain.pDoc);
        ExpectWidthsScaled(set, plain, percent);
    }
}

TEST(MapSet, TheStyleTableStopsAtSixHundredRecords)
{
    // Every layer draws with one group of three styles: the 256 layers offer 768.
    mapwriter::MapDescription map = testing_support::SmallMap();
    map.styles = { testing_support::Style(4, 0.0f, 1, 2, 3), testing_support::Style(4, 1.0f, 4, 5, 6),
        testing_support::Style(4, 2.0f, 7, 8, 9) };
    for (mapwriter::Layer& layer : map.layers)
        layer.styleGroup = 4;
    mapwriter::Layer empty;
    empty.styleGroup = 4;
    map.layers.resize(256, empty);
    ProgramFolder folder;
    folder.Write(QStringLiteral("mskmo0704.tzx"), Bytes(mapwriter::WriteTzx(map)));
    CMapSet set;
    ASSERT_TRUE(set.OpenWithFonts());
    set.ApplyFontScale();
    ASSERT_EQ(set.GetState(), CMapSet::STATE_RESTYLED);
    uint8_t record[44];
    EXPECT_EQ(ZXS_MapGetStyle(set.ActiveMap(), 4, CMapSet::kMaxStyleRecords - 1, record), 0);
    EXPECT_NE(ZXS_MapGetStyle(set.ActiveMap(), 4, CMapSet::kMaxStyleRecords, record), 0);
}

TEST(MapSet, ARestyledOpenThatFailsKeepsThePlainMap)
{
    // No styles at all: nothing to restyle, and the kernel refuses an empty table.
    mapwriter::MapDescription map = testing_support::SmallMap();
    map.styles.clear();
    ProgramFolder folder;
    folder.Write(QStringLiteral("mskmo0704.tzx"), Bytes(mapwriter::WriteTzx(map)));
    CMapSet set;
    ASSERT_TRUE(set.OpenWithFonts());
    const CZXS_MapHandle* plain = set.ActiveMap();
    EXPECT_TRUE(set.ApplyFontScale());
    EXPECT_EQ(set.GetState(), CMapSet::STATE_PLAIN);
    EXPECT_EQ(set.ActiveMap(), plain);
    ZXS_Point point;
    EXPECT_EQ(ZXS_GeoToMap(set.ActiveMap(), 0.0, 0.0, &point), 0) << "the active map still answers";
}

TEST(MapSet, AReopenLeavesThePlainMapActive)
{
    ProgramFolder folder;
    folder.CopyShippedMap();
    CMapSet set;
    ASSERT_TRUE(set.OpenWithFonts());
    const CZXS_MapHandle* plain = set.ActiveMap();
    set.ApplyFontScale();
    ASSERT_EQ(set.GetState(), CMapSet::STATE_RESTYLED);
    EXPECT_TRUE(set.Reopen(0));
    EXPECT_EQ(set.GetState(), CMapSet::STATE_PLAIN);
    EXPECT_EQ(set.ActiveMap(), plain);
    EXPECT_EQ(g_mapFileName, QStringLiteral("mskmo0704.tzx"));
    ZXS_Rect bounds {};
    EXPECT_EQ(ZXS_MapGetBounds(set.ActiveMap(), &bounds), 0);
    // The map can be restyled again after the reopen.
    set.ApplyFontScale();
    EXPECT_EQ(set.GetState(), CMapSet::STATE_RESTYLED);
}

} // namespace

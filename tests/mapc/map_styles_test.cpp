// The styles table (tools/mapc/map_styles.tsv): a row becomes the bytes the
// renderer reads, a mistake in the table stops the compiler with the line and
// column, and every layer has a style to be drawn with.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "tools/mapc/layers.h"
#include "tools/mapc/osm_data.h"
#include "tools/mapc/styles.h"

namespace {

const std::string kHeader
    = "layer\tbelow\tflags\tlabel\tline\twidth\tdashed\tcentre\tcentre_width\toutline\tfill\t"
      "omit\tarrows\n";

TEST(MapStyles, ARowBecomesTheBytesTheRendererReads)
{
    const std::string row = "highways\t1200\tDS\t-\t#B4501E\t12\tyes\t#FFA54F\t9\t-\t#102030\toutline\tyes\n";
    // Columns are found by their names, in any order.
    const std::string reordered
        = "# comment\n\nbelow\tlayer\tflags\tlabel\tline\twidth\tdashed\tcentre\t"
          "centre_width\toutline\tfill\tomit\tarrows\n"
          "1200\thighways\tDS\t-\t#B4501E\t12\tyes\t#FFA54F\t9\t-\t#102030\toutline\tyes\n";
    for (const std::string& table : { kHeader + row, reordered }) {
        const std::vector<mapc::StyleSpec> styles = mapc::ParseStyles(table);
        ASSERT_EQ(styles.size(), 1u);
        const std::array<uint8_t, 44> b = mapc::StyleBytes(styles[0]);
        float threshold;
        std::memcpy(&threshold, b.data(), 4);
        EXPECT_EQ(threshold, static_cast<float>(128.0 / 1200));
        EXPECT_EQ(b[4], 13); // the highways' group
        EXPECT_EQ(b[5], 0x10); // no outline
        EXPECT_EQ(b[6], 0x60); // drawn, searchable
        EXPECT_EQ(b[7], 0); // no label
        EXPECT_EQ((std::array<int, 5> { b[14], b[15], b[16], b[17], b[18] }),
            (std::array<int, 5> { 0xB4, 0x50, 0x1E, 12, 1 }));
        EXPECT_EQ((std::array<int, 4> { b[20], b[21], b[22], b[23] }),
            (std::array<int, 4> { 0xFF, 0xA5, 0x4F, 9 }));
        EXPECT_EQ((std::array<int, 3> { b[32], b[33], b[34] }), (std::array<int, 3> { 0x10, 0x20, 0x30 }));
        EXPECT_EQ(b[40], 0x01); // arrows
    }
    const std::vector<mapc::StyleSpec> any
        = mapc::ParseStyles(kHeader + "water\tany\tDSLA\t10\t-\t-\t-\t-\t-\t-\t-\t-\t-\n");
    ASSERT_EQ(any.size(), 1u);
    EXPECT_EQ(any[0].threshold, 0.0f);
    EXPECT_EQ(any[0].flags, 0xF0);
    const std::vector<mapc::StyleSpec> jams
        = mapc::ParseStyles(kHeader + "highways\t500000\tDO\t-\t-\t-\t-\t-\t-\t-\t-\t-\t-\n");
    ASSERT_EQ(jams.size(), 1u);
    EXPECT_EQ(jams[0].flags, 0x20);
    EXPECT_EQ(jams[0].flags2, 0x20); // only roads with a jam or a closure
}

TEST(MapStyles, AMistakeNamesItsLineAndColumn)
{
    const std::string good = "streets\t5000\tDS\t-\t#969696\t3\t-\t#FFFFFF\t1\t-\t-\t-\t-";
    struct Case {
        std::string table;
        std::string message;
    } cases[] = {
        { kHeader + "roads\t5000\tDS\t-\t#969696\t3\t-\t#FFFFFF\t1\t-\t-\t-\t-\n", "line 2, column layer" },
        { kHeader + "streets\t0\tDS\t-\t#969696\t3\t-\t#FFFFFF\t1\t-\t-\t-\t-\n", "line 2, column below" },
        { kHeader + "streets\t5000\tDX\t-\t#969696\t3\t-\t#FFFFFF\t1\t-\t-\t-\t-\n", "line 2, column flags" },
        { kHeader + "streets\t5000\tDS\t-\t#96969\t3\t-\t#FFFFFF\t1\t-\t-\t-\t-\n", "line 2, column line" },
        { kHeader + "streets\t5000\tDS\t-\tgrey\t3\t-\t#FFFFFF\t1\t-\t-\t-\t-\n", "line 2, column line" },
        { kHeader + "streets\t5000\tDS\t-\t#969696\t256\t-\t#FFFFFF\t1\t-\t-\t-\t-\n",
            "line 2, column width" },
        { kHeader + "streets\t5000\tDS\t-\t#969696\t3\tno\t#FFFFFF\t1\t-\t-\t-\t-\n",
            "line 2, column dashed" },
        { kHeader + "streets\t5000\tDS\t-\t#969696\t3\t-\t#FFFFFF\t\t-\t-\t-\t-\n",
            "line 2, column centre_width" },
        { kHeader + "streets\t5000\tDS\t-\t#969696\t3\t-\t#FFFFFF\t1\t-\t-\tedge\t-\n",
            "line 2, column omit" },
        { kHeader + good + "\n# note\nstreets\t5000\tDS\n", "line 4: 3 cells" },
        { "layer\tbelow\n" + good + "\n", "line 1: the header has no column flags" },
        { "# nothing\n", "holds no style" },
    };
    for (const Case& c : cases) {
        try {
            mapc::ParseStyles(c.table);
            ADD_FAILURE() << "accepted: " << c.table;
        } catch (const mapc::CompileError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
}

TEST(MapStyles, EveryLayerOfTheShippedTableIsDrawn)
{
    std::set<int> groups;
    for (const auto& b : mapc::Styles()) {
        if ((b[6] & 0x20) != 0)
            groups.insert(b[4]);
    }
    for (int l = 0; l < mapc::kLayerCount; ++l) {
        if (mapc::IsEmptyLayer(l))
            continue;
        EXPECT_TRUE(groups.contains(mapc::kLayers[static_cast<size_t>(l)].group)) << l;
    }
}

} // namespace

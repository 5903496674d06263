#include "kernel/render/image.h"
#include "kernel/render/symbol_cache.h"
#include "kernel/render/symbol_set.h"

#include "kernel/doc/kernel_memory.h"

#include "render_test_support.h"
#include "symbol_block.h"

#include <gtest/gtest.h>

using render_test::BlockWriter;
using render_test::Picture;
using Rows = std::vector<std::string>;

namespace {

constexpr uint32_t kRedBgr = 0x0000ff, kGreenBgr = 0x00ff00, kBlueBgr = 0xff0000, kWhiteBgr = 0xffffff;
const std::map<uint16_t, char> kLegend = { { 0, '.' }, { CZX_Surface565::ColourFromBgr(kRedBgr), 'r' },
    { CZX_Surface565::ColourFromBgr(kGreenBgr), 'g' }, { CZX_Surface565::ColourFromBgr(kBlueBgr), 'b' },
    { CZX_Surface565::ColourFromBgr(kWhiteBgr), '#' } };

// Symbols of every depth: 3 (1 bit), 5 (2 bits, two frames, extra words), 7 (4
// bits), 9 (8 bits, one value past its palette), and number 1 of group 2.
BlockWriter GoldenBlock()
{
    BlockWriter w;
    w.Start()
        .Entry(3, 0, 1)
        .Image(0, 0, 1, { kRedBgr, kBlueBgr }, { "10100101", "01011010", "11111111" },
            { "........", "........", "x......x" })
        .Entry(5, 0, 2)
        .Image(1, 1, 2, { kRedBgr, kGreenBgr, kBlueBgr, kWhiteBgr }, { "0123", "3210" }, { "....", ".x.." },
            2, 2)
        .Image(0, 0, 1, { kRedBgr }, { "0" }, { "." })
        .Entry(7, 0, 1)
        .Image(0, 0, 4, { kRedBgr, kGreenBgr, kBlueBgr }, { "20", "12" }, { "..", ".." })
        .Entry(9, 0, 1)
        .Image(0, 0, 8, { kRedBgr, kGreenBgr }, { "0190" }, { "...." })
        .Entry(1, 2, 1)
        .Image(0, 0, 1, { kWhiteBgr }, { "0" }, { "." })
        .End();
    return w;
}

struct Canvas {
    CZX_Image image;
    explicit Canvas(int32_t w, int32_t h) { EXPECT_EQ(image.Create(w, h, 0), 0); }
};

} // namespace

TEST(SymbolSet, LoadsTheIndexAndRefusesBadBlocks)
{
    const BlockWriter block = GoldenBlock();
    CZXS_SymbolSet set;
    ASSERT_EQ(set.Load(block.bytes.data(), block.bytes.size()), 0);
    EXPECT_EQ(set.LargestPixels(), 24);
    EXPECT_EQ(set.LargestNumber(0), 9);
    EXPECT_EQ(set.LargestNumber(1), -1);
    EXPECT_EQ(set.LargestNumber(2), 1);
    CZXS_SymbolSet::Image image;
    ASSERT_TRUE(set.FirstImage(0, 5, image));
    EXPECT_EQ(image.width, 4);
    EXPECT_EQ(image.frames, 2);
    EXPECT_FALSE(set.FirstImage(0, 4, image));

    EXPECT_EQ(set.Load(nullptr, 0), 0);
    EXPECT_TRUE(set.IsEmpty());
    EXPECT_EQ(set.Load(block.bytes.data(), 0), 0);
    EXPECT_TRUE(set.IsEmpty());

    BlockWriter wrongVersion;
    wrongVersion.Start(CZXS_SymbolSet::kMagic, 2).End();
    EXPECT_EQ(set.Load(wrongVersion.bytes.data(), wrongVersion.bytes.size()), 101);
    BlockWriter wrongMagic;
    wrongMagic.Start(0x0b0b1c01, 1).End();
    EXPECT_EQ(set.Load(wrongMagic.bytes.data(), wrongMagic.bytes.size()), 100);
    EXPECT_EQ(set.Load(block.bytes.data(), 3), 100);
    EXPECT_TRUE(set.IsEmpty());
    // A block cut inside an image, or an image of a depth it cannot have.
    for (size_t cut : { size_t(12), size_t(30), block.bytes.size() - 9 })
        EXPECT_EQ(set.Load(block.bytes.data(), cut), 101) << cut;
    BlockWriter badDepth;
    badDepth.Start().Entry(1, 0, 1).Image(0, 0, 3, { kRedBgr }, { "0" }, { "." }).End();
    EXPECT_EQ(set.Load(badDepth.bytes.data(), badDepth.bytes.size()), 101);
    // The closing word may be missing after a whole entry.
    EXPECT_EQ(set.Load(block.bytes.data(), block.bytes.size() - 4), 0);
}

TEST(SymbolSet, DecodesEveryDepthWithItsMask)
{
    const BlockWriter block = GoldenBlock();
    CZXS_SymbolSet set;
    ASSERT_EQ(set.Load(block.bytes.data(), block.bytes.size()), 0);
    CZXS_SymbolCache cache(set);
    Canvas canvas(12, 7);
    cache.Draw(canvas.image, 3, 0, 0); // 1 bit; the mask hides two set pixels of the last row
    cache.Draw(canvas.image, 5, 10, 1); // 2 bits, anchor (1, 1)
    cache.Draw(canvas.image, 7, 0, 4); // 4 bits
    cache.Draw(canvas.image, 9, 3, 4); // 8 bits; the value 9 lies past the palette of 2
    EXPECT_EQ(Picture(canvas.image, kLegend),
        (Rows {
            "brbrrbrb.rgb",
            "rbrbbrbr.#.g",
            ".bbbbbb.....",
            "............",
            "br.rg.r.....",
            "gb..........",
            "............",
        }));
    // Group 2 is decoded but only group 0 is drawn.
    EXPECT_EQ(cache.Decode(2, 1), 0);
    EXPECT_EQ(cache.Width(), 1);
}

TEST(SymbolSet, AnchorsCutAtTheEdgesAndMissingSymbols)
{
    BlockWriter block;
    block.Start()
        .Entry(0, 0, 1)
        .Image(2, 1, 1, { kRedBgr, kBlueBgr }, { "0110", "1001", "0110" }, { "....", "....", "...." })
        .End();
    CZXS_SymbolSet set;
    ASSERT_EQ(set.Load(block.bytes.data(), block.bytes.size()), 0);
    CZXS_SymbolCache cache(set);
    Canvas canvas(5, 4);
    cache.Draw(canvas.image, 0, 0, 1); // anchor at the left edge: the right half shows
    cache.Draw(canvas.image, 0, 5, 3); // past the right and bottom edges
    EXPECT_EQ(Picture(canvas.image, kLegend),
        (Rows {
            "br...",
            "rb...",
            "br.rb",
            "...br",
        }));

    EXPECT_EQ(cache.Decode(0, 1), 102); // above the largest number
    EXPECT_EQ(cache.Decode(1, 0), 103); // a group without images has no table
    EXPECT_EQ(cache.Decode(3, 5), 102);

    CZXS_SymbolSet empty;
    CZXS_SymbolCache nothing(empty);
    Canvas blank(3, 3);
    nothing.Draw(blank.image, 0, 1, 1);
    EXPECT_EQ(Picture(blank.image, kLegend), Rows(3, "..."));

    CZXS_SymbolCache starved(set);
    ZXS_FailNextAllocations(1);
    EXPECT_EQ(starved.Decode(0, 0), 160);
    ZXS_FailNextAllocations(0);
    EXPECT_EQ(starved.Decode(0, 0), 0);
}

TEST(SymbolSet, TheSameSymbolIsDecodedOnce)
{
    BlockWriter block = GoldenBlock();
    CZXS_SymbolSet set;
    ASSERT_EQ(set.Load(block.bytes.data(), block.bytes.size()), 0);
    CZXS_SymbolCache cache(set);
    ASSERT_EQ(cache.Decode(0, 7), 0);
    EXPECT_EQ(cache.Index(0, 0), 2);
    // The set points into the caller's block: change the symbol's first pixel
    // there. A second decode of the same symbol keeps what it had; after another
    // symbol the change shows.
    CZXS_SymbolSet::Image image;
    ASSERT_TRUE(set.FirstImage(0, 7, image));
    const size_t at
        = static_cast<size_t>(image.pixels - block.bytes.data()) + 3; // top 4 bits of the first word
    block.bytes[at] = 0x10;
    EXPECT_EQ(cache.Decode(0, 7), 0);
    EXPECT_EQ(cache.Index(0, 0), 2);
    EXPECT_EQ(cache.Decode(0, 3), 0);
    EXPECT_EQ(cache.Decode(0, 7), 0);
    EXPECT_EQ(cache.Index(0, 0), 1);
}

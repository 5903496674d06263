#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "kernel/doc/dictionary.h"
#include "kernel/doc/memory_stream.h"
#include "kernel/doc/metrics_block.h"
#include "kernel/doc/style_table.h"
#include "kernel/doc/symbol_table.h"
#include "tests/kernel/doc/table_builder.h"

namespace {

// A tiny image: pixel values are 1 + colour index so untouched pixels stay 0.
struct FakeImage {
    int w, h;
    std::vector<uint32_t> pixels;
    FakeImage(int width, int height)
        : w(width)
        , h(height)
        , pixels(static_cast<size_t>(width * height))
    {
    }
    int Width() const { return w; }
    int Height() const { return h; }
    uint32_t MakeColour(uint32_t r, uint32_t, uint32_t) const { return r; }
    void PutPixel(int x, int y, uint32_t p) { pixels[static_cast<size_t>(y * w + x)] = p; }
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y * w + x)]; }
};

std::vector<uint8_t> Style(float threshold, uint8_t group, uint8_t tag)
{
    std::vector<uint8_t> r(44);
    uint32_t bits;
    std::memcpy(&bits, &threshold, 4);
    for (int i = 0; i < 4; ++i)
        r[i] = static_cast<uint8_t>(bits >> (8 * i));
    r[4] = group;
    r[14] = tag;
    return r;
}

} // namespace

TEST(Tables, StyleForTakesTheGreatestThresholdBelowTheScale)
{
    CZXS_StyleTable styles;
    for (const auto& r : { Style(2.0f, 3, 'b'), Style(0.5f, 3, 'a'), Style(9.0f, 4, 'x'), Style(8.0f, 3, 'c'),
             Style(2.0f, 3, 'd') })
        ASSERT_GE(styles.Append(r.data()), 0);
    struct Case {
        float scale;
        int tag;
    };
    for (const Case& c : { Case { 2.0f, 'a' }, Case { 2.1f, 'b' }, Case { 0.4f, 0 }, Case { 100.0f, 'c' } }) {
        const CZXS_StyleRecord s = styles.StyleFor(3, c.scale);
        EXPECT_EQ(s ? static_cast<int>(s.Colour(0) & 0xFF) : 0, c.tag) << c.scale;
    }
    EXPECT_EQ(styles.TopStyle(3).Colour(0) & 0xFF, 'c');
    EXPECT_FALSE(styles.TopStyle(5));
    styles.Free();
    EXPECT_EQ(styles.RecordSize(), 44);
}

TEST(Tables, DictionaryVariants)
{
    CZXS_Dictionary dictionary;
    TableBuilder()
        .Record(Body({ 7, 0 }, std::string("street\0", 7)))
        .Record(Body({ 7, 1 }, std::string("st.\0", 4)))
        .Record(Body({ 8, 4 }, std::string("four\0", 5)))
        .Record(Body({ 9, 2 }, "unterminated"))
        .Into(dictionary);
    dictionary.BuildIndex();
    std::string word = "old";
    EXPECT_TRUE(dictionary.Word(word, 7, 1));
    EXPECT_EQ(word, "st.");
    EXPECT_TRUE(dictionary.Word(word, 8, 0));
    EXPECT_EQ(word, "");
    word = "kept";
    EXPECT_FALSE(dictionary.Word(word, 8, 4));
    EXPECT_EQ(word, "kept");
    EXPECT_EQ(dictionary.WordPointer(8, 4), nullptr);
    EXPECT_EQ(dictionary.WordView(9, 2), "unterminated"); // ends with its record
    EXPECT_EQ(dictionary.WordPointer(300, 0), nullptr);
}

TEST(Tables, SymbolBitmapsAndTheirIndex)
{
    CZXS_SymbolTable symbols;
    // Class 1 number 0: 9 x 2, bottom row first: bottom row only the ninth pixel,
    // top row only the first. Class 1 number 5: 1 x 1. A record too short for its
    // bitmap, and a class-0 symbol.
    TableBuilder()
        .Record(Body({ 9, 0, 2, 0, 0, 0, 0x20, 0x00, 0x80, 0x80, 0x00 }))
        .Record(Body({ 1, 0, 1, 0, 5, 0, 0x20, 0x80 }))
        .Record(Body({ 16, 0, 16, 0, 7, 0, 0x20, 0xFF }))
        .Record(Body({ 1, 0, 1, 0, 2, 0, 0x00, 0x80 }))
        .Into(symbols);
    symbols.BuildIndex();
    EXPECT_EQ(symbols.ClassCount(1), 6u);
    EXPECT_EQ(symbols.ClassCount(0), 3u);
    int w = -1, h = -1;
    symbols.SymbolSize(0, w, h);
    EXPECT_EQ(w, 9);
    EXPECT_EQ(h, 2);
    for (int n : { 1, 4, 7, -1, 6 }) {
        symbols.SymbolSize(n, w, h);
        EXPECT_EQ(w + h, 0) << n;
    }

    const uint32_t colours[2] = { 1, 2 };
    FakeImage image(12, 4);
    symbols.DrawSymbol(image, 5, 1, 0, colours, 0);
    // Centred at (5, 1): columns 1..9, bottom row at y 2, top row at y 1.
    EXPECT_EQ(image.At(9, 2), 2u);
    EXPECT_EQ(image.At(1, 1), 2u);
    EXPECT_EQ(image.At(1, 2), 0u); // clear bits stay in mode 0
    FakeImage every(12, 4);
    symbols.DrawSymbol(every, 5, 1, 0, colours, -1);
    EXPECT_EQ(every.At(1, 2), 1u);
    EXPECT_EQ(every.At(9, 2), 2u);
    FakeImage inverse(12, 4);
    symbols.DrawSymbol(inverse, 5, 1, 0, colours, 1);
    EXPECT_EQ(inverse.At(9, 2), 0u);
    EXPECT_EQ(inverse.At(2, 2), 1u);
    // At the edge the outside part is skipped; outside the image nothing is drawn.
    FakeImage edge(3, 3);
    symbols.DrawSymbol(edge, 0, 0, 0, colours, -1);
    EXPECT_EQ(edge.At(0, 1), 1u);
    FakeImage none(3, 3);
    symbols.DrawSymbol(none, 3, 0, 0, colours, -1);
    EXPECT_EQ(std::count(none.pixels.begin(), none.pixels.end(), 0u), 9);
}

TEST(Tables, MetricsBlobMustLieInsideTheStream)
{
    for (uint32_t blob : { 0u, 10u, 11u }) {
        std::vector<uint8_t> bytes(CZXS_MetricsBlock::kSize + 10, 0x5A);
        bytes[0] = static_cast<uint8_t>(blob);
        bytes[1] = bytes[2] = bytes[3] = 0;
        CZXS_MemoryStream stream;
        stream.Assign(bytes.data(), static_cast<uint32_t>(bytes.size()));
        CZXS_MetricsBlock metrics;
        EXPECT_EQ(metrics.Read(stream), blob <= 10 ? 1 : 0) << blob;
        EXPECT_EQ(metrics.Blob().Size(), blob <= 10 ? blob : 0u);
    }
}

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "kernel/doc/dictionary.h"
#include "kernel/doc/name_table.h"
#include "kernel/doc/point_iterator.h"
#include "kernel/doc/symbol_table.h"
#include "tests/kernel/doc/table_builder.h"

// Tables read from a damaged file hold arbitrary bytes. Every lookup must stay
// inside them (the sanitizers of the test build catch a stray read) and every
// walk must end. The tables are sized exactly so that any overrun leaves the
// allocation.
namespace {

struct Canvas {
    int Width() const { return 16; }
    int Height() const { return 16; }
    uint32_t MakeColour(uint32_t r, uint32_t, uint32_t) const { return r; }
    void PutPixel(int, int, uint32_t) { }
};

// Random bytes with a bias towards small lengths, so that walks find records.
std::vector<uint8_t> Junk(std::mt19937& random, size_t size)
{
    std::vector<uint8_t> bytes(size);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> small(0, 24);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<uint8_t>(i % 7 == 0 ? small(random) : byte(random));
    return bytes;
}

void Fill(CCollect& table, const std::vector<uint8_t>& bytes)
{
    TableBuilder b;
    for (uint8_t v : bytes)
        b.U8(v);
    b.Into(table);
}

} // namespace

TEST(DamagedTables, LookupsStayInsideArbitraryBytes)
{
    std::mt19937 random(4141);
    for (int round = 0; round < 150; ++round) {
        const size_t size = std::uniform_int_distribution<size_t>(1, 300)(random);
        CZXS_Dictionary dictionary;
        Fill(dictionary, Junk(random, size));
        dictionary.BuildIndex();
        CZXS_SymbolTable symbols;
        Fill(symbols, Junk(random, size));
        symbols.BuildIndex();
        CZXS_NameTable names;
        Fill(names, Junk(random, size));
        names.SetDictionary(&dictionary);
        names.SetPrefixFlag(round % 2 == 1);

        Canvas canvas;
        const uint32_t colours[2] = { 1, 2 };
        for (int number = -1; number < 260; ++number) {
            std::string word;
            dictionary.Word(word, number, number & 3);
            symbols.DrawSymbol(canvas, 8, 8, number, colours, -1);
        }
        for (int32_t id = -1; id <= static_cast<int32_t>(size) + 1; ++id) {
            for (int type = 0; type < 4; ++type) {
                names.GetName(id, type);
                names.GetKindWord(id, type);
            }
            names.MainNameId(id);
            names.PrefixValue(id);
            names.NameMatches(id, "*a");
        }

        // Point runs: arbitrary bytes decoded with every coding.
        const std::vector<uint8_t> points = Junk(random, size);
        for (int coding = 0; coding < 3; ++coding) {
            CZXS_ObjectRecord record;
            record.SetCoding(coding);
            record.SetClosed(true);
            const uint32_t start
                = std::uniform_int_distribution<uint32_t>(0, static_cast<uint32_t>(size))(random);
            record.SetRunLength(static_cast<uint16_t>(size - start));
            CZXS_PointIterator it;
            if (it.Begin(0, 0, points.data(), static_cast<uint32_t>(points.size()), start, record)) {
                int steps = 0;
                while (it.Next() == 1)
                    ASSERT_LT(++steps, 400);
            }
        }
    }
}

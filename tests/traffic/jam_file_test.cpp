#include "traffic/jam_context_file.h"
#include "traffic/jam_file.h"

#include "tests/support/child_process.h"
#include "tests/support/file_bytes.h"

#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

namespace {

const platform::LocalTime kWritten { 2007, 3, 3, 6, 14, 5, 9, 0 };

// Cell 0: the nine roads of the first row of the release's table; cell 1 two
// roads; cell 5 shares a road with cell 0 and has one with passage bit 23.
std::vector<std::vector<uint32_t>> TableLists()
{
    std::vector<std::vector<uint32_t>> lists(kJamCellCount);
    lists[0] = { 4288255, 4285995, 4324721, 4377084, 4404819, 4403013, 4288134, 4289805, 4289817 };
    lists[1] = { 4287798, 4287804 };
    lists[5] = { 4285995, 0x80ABCD };
    return lists;
}

JamCellTable Table()
{
    const QByteArray bytes = JamCellTable::Build(TableLists());
    auto table
        = JamCellTable::Parse({ reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()) });
    EXPECT_TRUE(table);
    return *table;
}

JamCells Cells(std::initializer_list<std::pair<int, char>> set)
{
    JamCells cells;
    cells.fill('0');
    for (auto [cell, value] : set)
        cells[cell] = value;
    return cells;
}

QByteArray Record(uint8_t level, uint32_t road)
{
    const char r[6] = { char(level), char(road), char(road >> 8), char(road >> 16), '\xFF', '\xFF' };
    return QByteArray(r, 6);
}

std::span<const uint8_t> Span(const QByteArray& b)
{
    return { reinterpret_cast<const uint8_t*>(b.constData()), size_t(b.size()) };
}

} // namespace

TEST(JamFile, GoldenBytesFromTheLayout)
{
    const JamCellTable table = Table();
    const QByteArray header = QByteArray("\xC1\xE3"
                                         "0"
                                         "20070303140509");
    ASSERT_EQ(header.size(), 17);

    EXPECT_EQ(BuildJamFile(Cells({}), table, kWritten), header) << "no jammed cell: the header alone";

    QByteArray nine = header;
    const auto lists = TableLists();
    for (uint32_t road : lists[0])
        nine += Record(7, road);
    const QByteArray cell0 = BuildJamFile(Cells({ { 0, '3' } }), table, kWritten);
    EXPECT_EQ(cell0.size(), 71);
    EXPECT_EQ(cell0, nine);
    // The first record spelt out: level 7, 4288255 = 0x416EFF little-endian, FF FF.
    EXPECT_EQ(cell0.mid(17, 6), QByteArray("\x07\xFF\x6E\x41\xFF\xFF", 6));

    // '1' and '0' write nothing, '2' is level 4; a road in two jammed cells is
    // written once per cell, in cell order.
    const QByteArray mixed
        = BuildJamFile(Cells({ { 0, '1' }, { 1, '2' }, { 5, '3' }, { 7, '2' } }), table, kWritten);
    EXPECT_EQ(
        mixed, header + Record(4, 4287798) + Record(4, 4287804) + Record(7, 4285995) + Record(7, 0x80ABCD));
    const QByteArray both = BuildJamFile(Cells({ { 0, '2' }, { 5, '2' } }), table, kWritten);
    const auto parsed = ParseJamFile(Span(both));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(std::count(parsed->records.begin(), parsed->records.end(), JamRecord { 4, 4285995 }), 2);
}

TEST(JamFile, ReadsBackWhatItWritesAndRefusesDamage)
{
    const QByteArray bytes = BuildJamFile(Cells({ { 1, '2' }, { 5, '3' } }), Table(), kWritten);
    const auto parsed = ParseJamFile(Span(bytes));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->written.year, 2007);
    EXPECT_EQ(parsed->written.second, 9);
    EXPECT_EQ(parsed->records,
        (std::vector<JamRecord> { { 4, 4287798 }, { 4, 4287804 }, { 7, 4285995 }, { 7, 0x80ABCD } }));
    const auto torn = ParseJamFile(Span(bytes + QByteArray("\x07\x01", 2)));
    ASSERT_TRUE(torn);
    EXPECT_EQ(torn->records, parsed->records) << "a torn last record is left out";

    for (const QByteArray& damaged :
        { bytes.left(16), QByteArray("\xC1\xE4") + bytes.mid(2), bytes.left(5) + "x" + bytes.mid(6),
            bytes.left(17) + Record(5, 1), bytes.left(21) + QByteArray("\x00\xFF", 2) })
        EXPECT_FALSE(ParseJamFile(Span(damaged))) << damaged.toHex().toStdString();
}

TEST(JamCellTable, RefusesEntriesOutsideTheTable)
{
    QByteArray good = JamCellTable::Build(TableLists());
    ASSERT_TRUE(JamCellTable::Parse(Span(good)));
    EXPECT_EQ(good.size(), 3456 + 13 * 3);

    auto withEntry = [&](int cell, uint16_t offset, uint16_t length) {
        QByteArray b = good;
        b[cell * 4] = char(offset);
        b[cell * 4 + 1] = char(offset >> 8);
        b[cell * 4 + 2] = char(length);
        b[cell * 4 + 3] = char(length >> 8);
        return b;
    };
    EXPECT_FALSE(JamCellTable::Parse(Span(good.left(3455))));
    EXPECT_FALSE(JamCellTable::Parse(Span(withEntry(3, 3456, 4)))) << "not whole values";
    EXPECT_FALSE(JamCellTable::Parse(Span(withEntry(3, 100, 3)))) << "inside the index";
    EXPECT_FALSE(JamCellTable::Parse(Span(withEntry(863, uint16_t(good.size() - 3), 6)))) << "past the end";
    const auto last = JamCellTable::Parse(Span(withEntry(863, uint16_t(good.size() - 3), 3)));
    ASSERT_TRUE(last);
    EXPECT_EQ(last->Roads(863).size(), 1u);
    EXPECT_TRUE(last->Roads(864).empty());
}

// A file size limit makes the write fail part-way, as a full disk would.
TEST(JamFile, FailedWriteLeavesTheLastGoodFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("mskmo0704.jam");
    const JamCellTable table = Table();
    const JamCells cells = Cells({ { 0, '3' }, { 1, '3' } });
    ASSERT_EQ(WriteJamFile(path, Cells({ { 1, '2' } }), table), JAM_OK);
    const QByteArray old = ReadFileBytes(path);

    const int code = testing_support::RunInChild([&] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit { 40, 40 };
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 10;
        return WriteJamFile(path, cells, table) == JAM_E_JAM_FILE ? 0 : 1;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(ReadFileBytes(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList { "mskmo0704.jam" });
}

TEST(JamContextFile, GoldenHeaderAndRoundTrips)
{
    JamContext context;
    context.jamTime = 0x01C75D8F2A4B3C00ull;
    context.portName = QStringLiteral("COM3:");
    context.status.receiverBytes = { 1, 2, 3, 4, 5, 6, 7 };
    context.status.inZone = 1;
    context.status.fillPercent = 100;
    context.status.batteryPercent = 53;
    context.status.time = 0x0102030405060708ull;

    const QByteArray header = QByteArray::fromHex("14000000"
                                                  "3c000000"
                                                  "03000000"
                                                  "003c4b2a8f5dc701"
                                                  "43004f004d0033003a000000"
                                                  "00000000"
                                                  "01000000"
                                                  "01020304050607000164350008070605"
                                                  "04030201");
    ASSERT_EQ(header.size(), 60);
    EXPECT_EQ(BuildContextFile(context, true), header) << "no cells held: the header alone";
    const auto statusOnly = ParseContextFile(Span(header));
    ASSERT_TRUE(statusOnly) << "a header alone restores the status";
    EXPECT_EQ(statusOnly->status, context.status);
    EXPECT_FALSE(statusOnly->cells);
    EXPECT_EQ(statusOnly->portName, QStringLiteral("COM3:"));

    context.cells = Cells({ { 0, '3' }, { 863, '2' } });
    const QByteArray raw = BuildContextFile(context, true);
    EXPECT_EQ(raw.size(), 60 + 864);
    EXPECT_EQ(raw.mid(60), QByteArray(context.cells->data(), 864));
    const auto back = ParseContextFile(Span(raw));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->cells, context.cells);
    EXPECT_EQ(back->jamTime, context.jamTime);
    EXPECT_EQ(ContextFileJamTime(Span(raw)), context.jamTime);

    const JamCellTable table = Table();
    const QByteArray jam = BuildContextFile(context, false, &table);
    EXPECT_EQ(jam.mid(36, 4), QByteArray("\0\0\0\0", 4));
    EXPECT_EQ(jam.size(), 60 + 17 + 9 * 6) << "cell 0's nine roads at '3'; cell 863 has none";
}

TEST(JamContextFile, IgnoresFilesNotOurs)
{
    JamContext context;
    context.cells = Cells({});
    const QByteArray good = BuildContextFile(context, true);
    auto changed = [&](int at, char value) {
        QByteArray b = good;
        b[at] = value;
        return b;
    };
    const JamCellTable table = Table();
    for (const QByteArray& bad : { good.left(59), changed(0, 21), changed(4, 61), changed(8, 2),
             BuildContextFile(context, false, &table), good.left(60 + 863), good + "0", changed(100, '4') })
        EXPECT_FALSE(ParseContextFile(Span(bad))) << bad.left(40).toHex().toStdString();
    EXPECT_FALSE(ContextFileJamTime(Span(changed(8, 4))));
}

// Feeds arbitrary bytes to the jam-file reader and the cell-table reader; a
// table that loads is used to write a jam file, which must read back whole.
#include "traffic/jam_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const uint8_t> bytes(data, size);
    if (const auto contents = ParseJamFile(bytes))
        for (const JamRecord& r : contents->records)
            if ((r.level != 4 && r.level != 7) || r.road > 0xFFFFFF)
                std::abort();

    const auto table = JamCellTable::Parse(bytes);
    if (!table)
        return 0;
    JamCells cells;
    size_t roads = 0;
    for (int i = 0; i < kJamCellCount; ++i) {
        cells[i] = static_cast<char>('0' + (i < static_cast<int>(size) ? data[i] & 3 : 0));
        if (cells[i] >= '2')
            roads += table->Roads(i).size();
    }
    const QByteArray written = BuildJamFile(cells, *table, { 2007, 3, 3, 6, 14, 5, 9, 0 });
    const auto back
        = ParseJamFile({ reinterpret_cast<const uint8_t*>(written.constData()), size_t(written.size()) });
    if (!back || back->records.size() != roads)
        std::abort();
    return 0;
}

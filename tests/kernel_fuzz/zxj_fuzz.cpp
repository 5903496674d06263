// Passage journal files read into the journal of a loaded map.
#include "tests/kernel_fuzz/fuzz_target.h"

#include "kernel/doc/memory_stream.h"
#include "kernel/doc/passage_journal.h"
#include "kernel/doc/tzx_doc.h"
#include "tests/support/map_fixture.h"

namespace {

struct LoadedMap {
    std::vector<uint8_t> map = mapwriter::WriteTzx(testing_support::SmallMap());
    std::vector<uint8_t> graph = mapwriter::WriteZxg(mapwriter::BuildRoadGraph(testing_support::SmallMap()));
    CZXS_TzxDoc doc;
    LoadedMap()
    {
        ZXS_MapSource source;
        source.mapBlock = map.data();
        source.mapSize = static_cast<uint32_t>(map.size());
        source.graphBlock = graph.data();
        source.graphSize = static_cast<uint32_t>(graph.size());
        doc.Open(&source, nullptr, 0, CZXS_DiskStream::kMemory);
    }
};

} // namespace

std::vector<std::vector<uint8_t>> FuzzSeeds()
{
    return {
        mapwriter::WriteZxj(0xE3C1, "20231114221320",
            { { 15, 0, 100, 3, 0xFFFF }, { 5, 2, 101, 2, 1 }, { 3, 9, 102, 1, 2 }, { 1, 1, 105, 1, 300 } }),
        mapwriter::WriteZxj(0xE3C1, "29991231235959", { { 2, 0, 104, 1, 0xFFFF }, { 7, 0, 103, 2, 0xFFFF } })
    };
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static LoadedMap loaded;
    CZXS_PassageJournal* journal = loaded.doc.Journal();
    if (journal == nullptr)
        return 0;
    CZXS_MemoryStream in;
    in.Assign(size == 0 ? reinterpret_cast<const uint8_t*>("") : data, static_cast<uint32_t>(size));
    journal->SetLastFileTime(0);
    journal->ReadFrom(in);
    CZXS_PassageJournal::Entry entry;
    for (uint32_t i = 0; journal->EntryAt(i, entry); ++i)
        (void)journal->EntryObject(entry);
    journal->ExpirePass();
    return 0;
}

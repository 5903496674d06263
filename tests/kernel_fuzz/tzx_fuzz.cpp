// Map files through the loader, from memory as the memory stream serves them.
#include "tests/kernel_fuzz/fuzz_target.h"

#include "kernel/doc/tzx_doc.h"
#include "tests/support/map_fixture.h"

namespace {

const std::vector<uint8_t>& Graph()
{
    static const std::vector<uint8_t> graph
        = mapwriter::WriteZxg(mapwriter::BuildRoadGraph(testing_support::SmallMap()));
    return graph;
}

} // namespace

std::vector<std::vector<uint8_t>> FuzzSeeds()
{
    mapwriter::MapDescription old = testing_support::SmallMap();
    old.version = 850;
    for (auto& layer : old.layers)
        for (auto& record : layer.records)
            record.forward = true;
    return { mapwriter::WriteTzx(testing_support::SmallMap()),
        mapwriter::WriteTzx(testing_support::SmallMap(), testing_support::FixtureKey()),
        mapwriter::WriteTzx(old), mapwriter::WriteTzx(testing_support::LargeMap(70)) };
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The memory stream borrows the block: it must outlive the document.
    const std::vector<uint8_t> map(data, data + size);
    CZXS_TzxDoc doc;
    ZXS_MapSource source;
    source.mapBlock = map.empty() ? reinterpret_cast<const uint8_t*>("") : map.data();
    source.mapSize = static_cast<uint32_t>(map.size());
    source.graphBlock = Graph().data();
    source.graphSize = static_cast<uint32_t>(Graph().size());
    const std::vector<uint8_t> key = testing_support::FixtureKey();
    if (doc.Open(&source, key.data(), 16, CZXS_DiskStream::kMemory) == 1) {
        // Walk what a renderer would: every name and the layers.
        for (uint32_t i = 0; i < doc.Objects().Count(); ++i)
            (void)doc.Names().GetName(doc.Object(i).NameId(), 1);
        std::string name;
        for (int32_t layer = 0; layer < doc.LayerCount(); ++layer)
            doc.GetLayerName(layer, name, 0);
        doc.Release();
    }
    return 0;
}

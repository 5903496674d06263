#include "tests/mapc/map_reading.h"

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>

#include "kernel/doc/little_endian.h"
#include "kernel/doc/object_record.h"
#include "kernel/doc/point_iterator.h"
#include "kernel/doc/road_graph.h"

namespace mapc_testing {

std::unique_ptr<LoadedMap> LoadMap(const std::string& tzxPath)
{
    auto read = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    };
    auto loaded = std::make_unique<LoadedMap>();
    loaded->map = read(tzxPath);
    loaded->graph = read(tzxPath.substr(0, tzxPath.rfind('.')) + ".zxg");
    ZXS_MapSource source;
    source.mapBlock = loaded->map.data();
    source.mapSize = static_cast<uint32_t>(loaded->map.size());
    source.graphBlock = loaded->graph.data();
    source.graphSize = static_cast<uint32_t>(loaded->graph.size());
    auto doc = std::make_unique<CZXS_TzxDoc>();
    const int result = doc->Open(&source, nullptr, 0, CZXS_DiskStream::kMemory);
    loaded->error = doc->GetError();
    if (result == 1)
        loaded->doc = std::move(doc);
    return loaded;
}

std::vector<ZXS_Point> DecodeRecord(const CZXS_TzxDoc& doc, uint32_t number)
{
    const uint32_t block = number / 64;
    uint32_t offset = static_cast<uint32_t>(doc.BlockValue(block, 8));
    for (uint32_t k = block * 64; k < number; ++k)
        offset += doc.Object(k).RunLength();
    CZXS_PointIterator it;
    std::vector<ZXS_Point> points;
    if (!it.Begin(doc.BlockValue(block, 0), doc.BlockValue(block, 1), doc.Points().Data(),
            doc.Points().Size(), offset, doc.Object(number)))
        return points;
    points.push_back(it.Current());
    while (it.Next())
        points.push_back(it.Current());
    return points;
}

NameRecord ReadName(const CZXS_TzxDoc& doc, int32_t nameId)
{
    NameRecord name;
    const uint8_t* p = doc.Names().Data() + nameId;
    const uint32_t length = ZXS_Le16(p);
    name.kind = p[2];
    name.prefix = ZXS_Le24(p + 3);
    name.text.assign(reinterpret_cast<const char*>(p + 6), length - 6);
    return name;
}

Connectivity StrongCore(const CZXS_TzxDoc& doc)
{
    const CZXS_RoadGraph& graph = doc.RoadGraph();
    const uint32_t n = graph.NodeCount();
    std::vector<std::vector<uint32_t>> out(n), in(n);
    for (uint32_t node = 0; node < n; ++node) {
        for (uint32_t at = graph.NodeOffset(node); at < graph.NodeOffset(node + 1);
             at += CZXS_RoadGraph::kEdgeSize) {
            const uint32_t target = CZXS_RoadGraph::EdgeTarget(graph.Data() + at);
            out[node].push_back(target);
            in[target].push_back(node);
        }
    }
    // Kosaraju: finishing order on the graph, then components on the reverse.
    std::vector<uint32_t> order;
    std::vector<char> seen(n, 0);
    for (uint32_t s = 0; s < n; ++s) {
        if (seen[s])
            continue;
        std::vector<std::pair<uint32_t, size_t>> stack { { s, 0 } };
        seen[s] = 1;
        while (!stack.empty()) {
            auto& [v, i] = stack.back();
            if (i < out[v].size()) {
                const uint32_t w = out[v][i++];
                if (!seen[w]) {
                    seen[w] = 1;
                    stack.push_back({ w, 0 });
                }
            } else {
                order.push_back(v);
                stack.pop_back();
            }
        }
    }
    std::vector<char> done(n, 0);
    Connectivity c;
    c.nodes = n;
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        if (done[*it])
            continue;
        uint32_t size = 0;
        std::vector<uint32_t> stack { *it };
        done[*it] = 1;
        while (!stack.empty()) {
            const uint32_t v = stack.back();
            stack.pop_back();
            ++size;
            for (uint32_t w : in[v]) {
                if (!done[w]) {
                    done[w] = 1;
                    stack.push_back(w);
                }
            }
        }
        c.core = std::max(c.core, size);
    }
    return c;
}

} // namespace mapc_testing

#include "tools/mapwriter/map_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>

#include <openssl/evp.h>

#include "kernel/api/map_key.h"
#include "kernel/doc/index_builder.h"
#include "kernel/doc/little_endian.h"
#include "kernel/doc/object_record.h"
#include "kernel/doc/road_graph.h"
#include "kernel/doc/tzx_header.h"
#include "tools/mapwriter/byte_appender.h"

namespace mapwriter {

namespace {

class Bytes {
public:
    std::vector<uint8_t> data;
    void U8(uint32_t v) { data.push_back(static_cast<uint8_t>(v)); }
    void U16(uint32_t v) { Append16(data, v); }
    void U24(uint32_t v) { Append24(data, v); }
    void U32(uint32_t v) { Append32(data, v); }
    void Append(const std::vector<uint8_t>& more) { data.insert(data.end(), more.begin(), more.end()); }
    void Text(const std::string& text) { data.insert(data.end(), text.begin(), text.end()); }
};

struct NamesTable {
    std::vector<uint8_t> bytes;
    std::vector<int32_t> offsets;
};

NamesTable BuildNames(const MapDescription& map)
{
    NamesTable t;
    uint32_t at = 0;
    for (const Name& n : map.names) {
        t.offsets.push_back(static_cast<int32_t>(at));
        at += 3 + (map.namePrefixes ? 3 : 0) + static_cast<uint32_t>(n.text.size())
            + (n.kind == 254 ? 13 : 0);
    }
    Bytes b;
    for (const Name& n : map.names) {
        const uint32_t length = 3 + (map.namePrefixes ? 3 : 0) + static_cast<uint32_t>(n.text.size())
            + (n.kind == 254 ? 13 : 0);
        if (length > 0xFFFF)
            throw std::invalid_argument("name record too long");
        b.U16(length);
        b.U8(n.kind);
        if (map.namePrefixes)
            b.U24(n.prefix);
        b.Text(n.text);
        if (n.kind == 254) {
            b.U32(n.aliasOf >= 0 ? static_cast<uint32_t>(t.offsets.at(static_cast<size_t>(n.aliasOf)))
                                 : 0xFFFFFFFFu);
            b.U8(n.aliasKind);
            for (int i = 0; i < 8; ++i)
                b.U8(0);
        }
    }
    t.bytes = std::move(b.data);
    return t;
}

std::vector<uint8_t> BuildSymbols(const MapDescription& map)
{
    Bytes b;
    for (const Symbol& s : map.symbols) {
        const size_t length = 9 + s.rows.size();
        if (length > 0xFFFF)
            throw std::invalid_argument("symbol record too long");
        b.U16(static_cast<uint32_t>(length));
        b.U16(s.width);
        b.U16(s.height);
        b.U16(s.number);
        b.U8(static_cast<uint32_t>(s.symbolClass) << 5);
        b.Append(s.rows);
    }
    return b.data;
}

std::vector<uint8_t> BuildDictionary(const MapDescription& map)
{
    Bytes b;
    for (const Word& w : map.dictionary) {
        b.U16(static_cast<uint32_t>(5 + w.text.size()));
        b.U8(w.number);
        b.U8(w.variant);
        b.Text(w.text);
        b.U8(0);
    }
    return b.data;
}

struct ObjectTables {
    std::vector<uint8_t> records;
    std::vector<uint8_t> blocks;
    std::vector<uint8_t> points;
    std::vector<uint8_t> layers;
    uint32_t count = 0;
    ZXS_Rect extent { 0x7FFFFFFF, 0x7FFFFFFF, -1, -1 };
};

int32_t NameId(const Record& r, const NamesTable& names)
{
    return r.name < 0 ? kNone : names.offsets.at(static_cast<size_t>(r.name));
}

CZXS_ObjectRecord CurrentRecord(const Record& r, const NamesTable& names)
{
    CZXS_ObjectRecord rec;
    rec.SetLinkId(r.linkId);
    rec.SetNameId(NameId(r, names));
    rec.SetClosed(r.closed);
    rec.SetEndOfObject(r.endOfObject);
    rec.SetForward(r.forward);
    rec.SetBackward(r.backward);
    return rec;
}

// The packed 11-byte record of the old layout.
void PackOld(const Record& r, const NamesTable& names, uint32_t units, std::vector<uint8_t>& out)
{
    if (units > 0x3FFF)
        throw std::invalid_argument("old run too long");
    const int32_t name = NameId(r, names);
    const uint32_t packedName = name == kNone ? 0x3FFFF : static_cast<uint32_t>(name) & 0x3FFFF;
    const uint32_t link = r.linkId == kNone ? 0x3FFFFF : static_cast<uint32_t>(r.linkId) & 0x3FFFFF;
    uint8_t p[11] = {};
    ZXS_PutLe32(p, units | (packedName << 14));
    ZXS_PutLe24(p + 4, link | (r.endOfObject ? 0x400000u : 0u));
    p[9] = r.closed ? 1 : 0;
    out.insert(out.end(), p, p + 11);
}

void LayerDescriptor(
    const Layer& layer, uint32_t firstObject, uint32_t pointOffset, std::vector<uint8_t>& out)
{
    Bytes b;
    b.U32(firstObject);
    b.U32(pointOffset);
    b.U8(layer.flags);
    b.U16(static_cast<uint16_t>(layer.nameWord));
    b.U8(layer.styleGroup);
    b.U8(layer.symbol);
    b.data.insert(b.data.end(), layer.drawing.begin(), layer.drawing.end());
    out.insert(out.end(), b.data.begin(), b.data.end());
}

ObjectTables BuildObjects(const MapDescription& map, const NamesTable& names)
{
    ObjectTables t;
    std::vector<const Record*> all;
    std::vector<uint32_t> layerFirst;
    for (const Layer& layer : map.layers) {
        layerFirst.push_back(static_cast<uint32_t>(all.size()));
        for (const Record& r : layer.records) {
            if (r.points.empty())
                throw std::invalid_argument("record without points");
            all.push_back(&r);
            for (const ZXS_Point& p : r.points) {
                t.extent.left = std::min(t.extent.left, p.x);
                t.extent.top = std::min(t.extent.top, p.y);
                t.extent.right = std::max(t.extent.right, p.x);
                t.extent.bottom = std::max(t.extent.bottom, p.y);
            }
        }
    }
    t.count = static_cast<uint32_t>(all.size());
    std::vector<uint32_t> runOffset(all.size() + 1, 0);

    if (map.version <= CZXS_TzxHeader::kVersionOldMax) {
        const CZXS_PointCoding* coding = CZXS_PointCoding::ForScheme(map.coding);
        if (coding == nullptr)
            coding = CZXS_PointCoding::ForScheme(0);
        std::vector<uint8_t> scratch(64 * 1024);
        for (size_t i = 0; i < all.size(); ++i) {
            const Record& r = *all[i];
            runOffset[i] = static_cast<uint32_t>(t.points.size());
            uint32_t units = 0;
            uint32_t used = 0;
            for (size_t k = 0; k < r.points.size(); ++k) {
                const int32_t u = k == 0
                    ? coding->EncodeAbsolute(
                        scratch.data(), static_cast<uint32_t>(scratch.size()), r.points[0].x, r.points[0].y)
                    : coding->EncodeDelta(scratch.data() + used, static_cast<uint32_t>(scratch.size() - used),
                        r.points[k].x - r.points[k - 1].x, r.points[k].y - r.points[k - 1].y);
                if (u < 0)
                    throw std::invalid_argument("point out of the coding's range");
                units += static_cast<uint32_t>(u);
                used += static_cast<uint32_t>(coding->UnitsToBytes(u));
            }
            t.points.insert(t.points.end(), scratch.begin(), scratch.begin() + used);
            PackOld(r, names, units, t.records);
        }
        runOffset[all.size()] = static_cast<uint32_t>(t.points.size());
    } else {
        t.blocks.assign((all.size() / 64 + 1) * CZXS_TzxHeader::kIndexBlockSize, 0xFF);
        CZXS_IndexBuilder::RecordIn in[64];
        CZXS_IndexBuilder::RecordOut out[64];
        for (size_t first = 0; first < all.size(); first += 64) {
            const uint32_t count = static_cast<uint32_t>(std::min<size_t>(64, all.size() - first));
            for (uint32_t k = 0; k < count; ++k)
                in[k] = { &all[first + k]->points, NameId(*all[first + k], names), all[first + k]->linkId };
            uint32_t offset = static_cast<uint32_t>(t.points.size());
            if (CZXS_IndexBuilder::EncodeBlock(in, count, t.points, t.blocks.data() + first / 64 * 36, out)
                != 0)
                throw std::invalid_argument("a block's runs cannot be coded");
            for (uint32_t k = 0; k < count; ++k) {
                CZXS_ObjectRecord rec = CurrentRecord(*all[first + k], names);
                rec.SetCoding(out[k].scheme);
                rec.SetRunLength(out[k].length);
                rec.SetBox(out[k].box[0], out[k].box[1], out[k].box[2], out[k].box[3]);
                t.records.insert(t.records.end(), rec.Bytes().begin(), rec.Bytes().end());
                runOffset[first + k] = offset;
                offset += out[k].length;
            }
        }
        runOffset[all.size()] = static_cast<uint32_t>(t.points.size());
        // The point data is counted in units of the map's coding.
        const CZXS_PointCoding* coding = CZXS_PointCoding::ForScheme(map.coding);
        const uint32_t unit = coding != nullptr ? static_cast<uint32_t>(coding->UnitSize()) : 2;
        while (t.points.size() % unit != 0)
            t.points.push_back(0);
    }
    for (size_t l = 0; l < map.layers.size(); ++l)
        LayerDescriptor(map.layers[l], layerFirst[l], runOffset[layerFirst[l]], t.layers);
    return t;
}

struct Built {
    std::vector<uint8_t> file;
    SectionOffsets sections {};
};

Built Build(const MapDescription& map, const std::vector<uint8_t>& key)
{
    const NamesTable names = BuildNames(map);
    const std::vector<uint8_t> symbols = BuildSymbols(map);
    const std::vector<uint8_t> dictionary = BuildDictionary(map);
    const ObjectTables objects = BuildObjects(map, names);
    const bool old = map.version <= CZXS_TzxHeader::kVersionOldMax;
    const CZXS_PointCoding* coding = CZXS_PointCoding::ForScheme(map.coding);
    const uint32_t unit = coding != nullptr ? static_cast<uint32_t>(coding->UnitSize()) : 2;

    CZXS_TzxHeader h;
    h.MakeFresh(map.created);
    using H = CZXS_TzxHeader;
    h.SetU32(H::kRoadGraphLevel, map.roadGraphLevel);
    h.SetU32(H::kTextSize, static_cast<uint32_t>(map.text.size()));
    h.SetU16(H::kMapId, map.mapId);
    h.SetU32(H::kResolution, static_cast<uint32_t>(map.resolution));
    h.SetU8(H::kCodePage, map.codePage);
    h.SetU8(H::kFlags, map.namePrefixes ? 1 : 0);
    h.SetU8(H::kCoding, map.coding);
    h.SetU16(H::kVersion, map.version);
    h.SetU32(H::kLeft, static_cast<uint32_t>(objects.extent.left));
    h.SetU32(H::kRight, static_cast<uint32_t>(objects.extent.right));
    h.SetU32(H::kTop, static_cast<uint32_t>(objects.extent.top));
    h.SetU32(H::kBottom, static_cast<uint32_t>(objects.extent.bottom));
    h.SetU16(H::kResolution100, static_cast<uint16_t>(map.resolution / 100));
    h.SetU32(H::kObjectCount, objects.count);
    h.SetU32(H::kPointSize, static_cast<uint32_t>(objects.points.size() / unit));
    h.SetU16(H::kStyleCount, static_cast<uint16_t>(map.styles.size()));
    h.SetU16(H::kLayerCount, static_cast<uint16_t>(map.layers.size()));
    h.SetU32(H::kNamesSize, static_cast<uint32_t>(names.bytes.size()));
    h.SetU32(H::kSymbolSize, static_cast<uint32_t>(symbols.size()));
    h.SetU32(H::kDictionarySize, static_cast<uint32_t>(dictionary.size()));
    h.SetU8(H::kBackground, map.background[0]);
    h.SetU8(H::kBackground + 1, map.background[1]);
    h.SetU8(H::kBackground + 2, map.background[2]);
    h.SetU16(H::kTransformSize, static_cast<uint16_t>(map.transform.size() * 8));
    h.SetU16(H::kFirstRoadLayer, static_cast<uint16_t>(map.firstRoadLayer));
    h.SetU16(H::kRoadLayerCount, static_cast<uint16_t>(map.roadLayerCount));
    h.SetU32(H::kEmbeddedGraphSize, map.embeddedGraphSize);

    Built built;
    std::vector<uint8_t>& f = built.file;
    SectionOffsets& at = built.sections;
    auto section = [&](const std::vector<uint8_t>& bytes, bool enciphered) {
        const size_t start = f.size();
        f.insert(f.end(), bytes.begin(), bytes.end());
        if (enciphered && !key.empty())
            Encipher(key, f.data() + start, static_cast<uint32_t>(bytes.size()));
        return static_cast<uint32_t>(start);
    };
    f.assign(h.Bytes(), h.Bytes() + H::kSize);
    if (!key.empty())
        Encipher(key, f.data() + H::kCipherStart, H::kSize - H::kCipherStart);

    Bytes transform;
    for (double c : map.transform) {
        uint64_t bits = 0;
        std::memcpy(&bits, &c, sizeof bits);
        transform.U32(static_cast<uint32_t>(bits));
        transform.U32(static_cast<uint32_t>(bits >> 32));
    }
    at.transform = section(transform.data, true);
    std::vector<uint8_t> metrics(H::kMetricsSize, 0);
    ZXS_PutLe32(metrics.data(), static_cast<uint32_t>(map.metricsBlob.size()));
    metrics.insert(metrics.end(), map.metricsBlob.begin(), map.metricsBlob.end());
    at.metrics = section(metrics, false);
    at.symbols = section(symbols, true);
    at.dictionary = section(dictionary, true);
    at.layers = section(objects.layers, true);
    at.names = section(names.bytes, true);
    at.objects = section(objects.records, false);
    at.indexBlocks = section(old ? std::vector<uint8_t> {} : objects.blocks, false);
    at.points = section(objects.points, false);
    at.embedded = section(std::vector<uint8_t>(map.embeddedGraphSize, 0), false);
    std::vector<uint8_t> styles;
    for (const auto& s : map.styles)
        styles.insert(styles.end(), s.begin(), s.end());
    at.styles = section(styles, true);
    at.text = section(std::vector<uint8_t>(map.text.begin(), map.text.end()), false);
    at.end = static_cast<uint32_t>(f.size());
    return built;
}

} // namespace

void Encipher(const std::vector<uint8_t>& key, uint8_t* bytes, uint32_t length)
{
    const EVP_CIPHER* cipher = key.size() == 16 ? EVP_aes_128_ecb()
        : key.size() == 24                      ? EVP_aes_192_ecb()
        : key.size() == 32                      ? EVP_aes_256_ecb()
                                                : nullptr;
    if (cipher == nullptr)
        throw std::invalid_argument("the key must have 16, 24 or 32 bytes");
    const uint32_t whole = length - length % 16;
    if (whole == 0)
        return;
    for (uint32_t n = 0; n < whole / 16; ++n)
        bytes[n * 16] ^= static_cast<uint8_t>(n & 0xFF);
    std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> ctx(
        EVP_CIPHER_CTX_new(), EVP_CIPHER_CTX_free);
    int out = 0;
    if (!ctx || EVP_EncryptInit_ex(ctx.get(), cipher, nullptr, key.data(), nullptr) != 1
        || EVP_CIPHER_CTX_set_padding(ctx.get(), 0) != 1
        || EVP_EncryptUpdate(ctx.get(), bytes, &out, bytes, static_cast<int>(whole)) != 1
        || static_cast<uint32_t>(out) != whole)
        throw std::runtime_error("the cipher failed");
}

std::vector<uint8_t> WriteTzx(const MapDescription& map, const std::vector<uint8_t>& key)
{
    return Build(map, key).file;
}

SectionOffsets Sections(const MapDescription& map) { return Build(map, {}).sections; }

std::vector<uint8_t> WriteZxg(const GraphDescription& graph)
{
    std::vector<uint8_t> header(CZXS_RoadGraph::kHeaderSize, 0);
    ZXS_PutLe32(header.data() + CZXS_RoadGraph::kMagicAt, CZXS_RoadGraph::kMagic);
    ZXS_PutLe16(header.data() + CZXS_RoadGraph::kVersionAt, CZXS_RoadGraph::kVersion);
    header[CZXS_RoadGraph::kKindAt] = graph.kind;
    ZXS_PutLe32(header.data() + CZXS_RoadGraph::kEdgeCountAt, static_cast<uint32_t>(graph.edges.size()));
    ZXS_PutLe32(header.data() + CZXS_RoadGraph::kNodeCountAt, graph.nodeCount);
    ZXS_PutLe32(header.data() + CZXS_RoadGraph::kNodeBoundAt,
        graph.nodeBound != 0 ? graph.nodeBound : graph.nodeCount);
    ZXS_PutLe32(header.data() + CZXS_RoadGraph::kDegreeSizeAt, graph.nodeCount);

    std::vector<GraphEdge> edges = graph.edges;
    std::stable_sort(
        edges.begin(), edges.end(), [](const GraphEdge& a, const GraphEdge& b) { return a.from < b.from; });
    std::vector<uint8_t> degrees(graph.nodeCount, 0);
    Bytes b;
    b.data = std::move(header);
    for (const GraphEdge& e : edges) {
        if (e.from >= graph.nodeCount || e.to >= CZXS_RoadGraph::kMaxNodes || e.roadOffset >= (1u << 20))
            throw std::invalid_argument("edge outside the graph's limits");
        if (++degrees[e.from] == 0)
            throw std::invalid_argument("more than 255 edges leave one node");
        b.U16(e.to & 0xFFFF);
        b.U16((e.costA & 0x7FFFu) | (e.junction ? 0x8000u : 0));
        b.U16((e.costB & 0x7FFFu) | (e.backward ? 0x8000u : 0));
        b.U16(e.roadOffset & 0xFFFF);
        b.U8(((e.roadOffset >> 16) & 0x0F) | (((e.to >> 16) & 0x0F) << 4));
    }
    b.Append(degrees);
    return b.data;
}

GraphDescription BuildRoadGraph(const MapDescription& map)
{
    GraphDescription g;
    if (map.firstRoadLayer < 0 || map.roadLayerCount <= 0)
        return g;
    std::map<std::pair<int32_t, int32_t>, uint32_t> nodes;
    auto node = [&](const ZXS_Point& p) {
        const auto [it, added] = nodes.try_emplace({ p.x, p.y }, static_cast<uint32_t>(nodes.size()));
        return it->second;
    };
    uint32_t roadOffset = 0;
    const size_t end
        = std::min<size_t>(map.layers.size(), static_cast<size_t>(map.firstRoadLayer + map.roadLayerCount));
    for (size_t l = static_cast<size_t>(map.firstRoadLayer); l < end; ++l) {
        for (const Record& r : map.layers[l].records) {
            const uint32_t a = node(r.points.front());
            const uint32_t z = node(r.points.back());
            double length = 0;
            for (size_t i = 1; i < r.points.size(); ++i)
                length += std::hypot(
                    double(r.points[i].x) - r.points[i - 1].x, double(r.points[i].y) - r.points[i - 1].y);
            const auto cost = static_cast<uint16_t>(std::clamp(std::lround(length), 1L, 0x7FFFL));
            if (r.forward)
                g.edges.push_back({ a, z, cost, cost, false, false, roadOffset });
            if (r.backward)
                g.edges.push_back({ z, a, cost, cost, false, true, roadOffset });
            ++roadOffset;
        }
    }
    g.nodeCount = static_cast<uint32_t>(nodes.size());
    return g;
}

std::vector<uint8_t> WriteZxj(
    uint16_t mapId, const std::string& digits14, const std::vector<JournalRecord>& records)
{
    std::vector<uint8_t> out(17 + 6 * records.size(), '0');
    ZXS_PutLe16(out.data(), mapId);
    for (size_t i = 0; i < 14 && i < digits14.size(); ++i)
        out[3 + i] = static_cast<uint8_t>(digits14[i]);
    uint8_t* at = out.data() + 17;
    for (const JournalRecord& r : records) {
        ZXS_PutLe32(at,
            (r.costClass & 0xFu) | ((r.valueB & 0xFu) << 4)
                | ((static_cast<uint32_t>(r.linkId) & 0x1FFFFF) << 8)
                | (uint32_t { r.directions & 3u } << 30));
        ZXS_PutLe16(at + 4, r.units);
        at += 6;
    }
    return out;
}

std::string KeyFileText(const std::vector<uint8_t>& key) { return ZXS_MapKeyFileText(key); }

std::vector<uint8_t> ParseKeyText(const std::string& text) { return ZXS_ParseMapKeyText(text); }

bool SaveFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::unique_ptr<FILE, decltype(&std::fclose)> f(std::fopen(path.c_str(), "wb"), std::fclose);
    return f && std::fwrite(bytes.data(), 1, bytes.size(), f.get()) == bytes.size();
}

} // namespace mapwriter

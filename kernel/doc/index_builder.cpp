#include "kernel/doc/index_builder.h"
#include "kernel/doc/little_endian.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "kernel/api/result_codes.h"
#include "kernel/doc/point_iterator.h"
#include "kernel/doc/tzx_doc.h"

namespace {

constexpr uint32_t kScratch = 64 * 1024;

struct Box {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// A difference of two map coordinates, which a damaged map may put up to 2^32
// apart; false when it leaves the 32 bits the codings take (none holds it).
bool Difference(int32_t a, int32_t b, int32_t& out)
{
    const int64_t d = int64_t { a } - b;
    if (d < INT32_MIN || d > INT32_MAX)
        return false;
    out = static_cast<int32_t>(d);
    return true;
}

// Encodes a run relative to (left, top); the byte length, or -1 when a value
// does not fit the coding or the run would not fit the record's length field.
int32_t EncodeRun(const CZXS_PointCoding& coding, const std::vector<ZXS_Point>& points, int32_t left,
    int32_t top, uint8_t* out)
{
    uint32_t used = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        const ZXS_Point from = i == 0 ? ZXS_Point { left, top } : points[i - 1];
        int32_t dx = 0;
        int32_t dy = 0;
        if (!Difference(points[i].x, from.x, dx) || !Difference(points[i].y, from.y, dy))
            return -1;
        const int32_t units = i == 0 ? coding.EncodeAbsolute(out, kScratch, dx, dy)
                                     : coding.EncodeDelta(out + used, kScratch - used, dx, dy);
        if (units < 0)
            return -1;
        used += static_cast<uint32_t>(coding.UnitsToBytes(units));
        if (used > 0xFFFF)
            return -1;
    }
    return static_cast<int32_t>(used);
}

} // namespace

int64_t CZXS_IndexBuilder::CellSize(int64_t least, int64_t greatest)
{
    const int64_t cell = (greatest - least + 255) / 256;
    return cell < 1 ? 1 : cell;
}

uint8_t CZXS_IndexBuilder::CellOfGreatest(int64_t offset, int64_t cell)
{
    int64_t q = offset / cell;
    if (offset % cell == 0 && q != 0)
        --q;
    return static_cast<uint8_t>(std::clamp<int64_t>(q, 0, 255));
}

uint8_t CZXS_IndexBuilder::CellOfLeast(int64_t offset, int64_t cell, uint8_t greatestCell)
{
    const int64_t q = offset / cell;
    if (q == 256 && greatestCell == 255)
        return 255;
    return static_cast<uint8_t>(std::clamp<int64_t>(q, 0, 255));
}

int32_t CZXS_IndexBuilder::EncodeBlock(
    const RecordIn* records, uint32_t count, std::vector<uint8_t>& points, uint8_t block[36], RecordOut* out)
{
    if (count == 0 || count > kBlockRecords)
        return ZXS_KERR_TABLE;
    Box boxes[kBlockRecords];
    Box blockBox;
    int32_t minName = ZXS_NO_OBJECT;
    int32_t maxName = ZXS_NO_OBJECT;
    int32_t minLink = 0;
    int32_t maxLink = 0;
    for (uint32_t k = 0; k < count; ++k) {
        const std::vector<ZXS_Point>& run = *records[k].points;
        if (run.empty())
            return ZXS_KERR_TABLE;
        Box& r = boxes[k];
        r = { run[0].x, run[0].y, run[0].x, run[0].y };
        for (const ZXS_Point& p : run) {
            r.left = std::min(r.left, p.x);
            r.right = std::max(r.right, p.x);
            r.top = std::min(r.top, p.y);
            r.bottom = std::max(r.bottom, p.y);
        }
        const int32_t link = records[k].linkId;
        const int32_t name = records[k].nameId;
        if (k == 0) {
            blockBox = r;
            minLink = maxLink = link;
            minName = maxName = name;
            continue;
        }
        blockBox.left = std::min(blockBox.left, r.left);
        blockBox.top = std::min(blockBox.top, r.top);
        blockBox.right = std::max(blockBox.right, r.right);
        blockBox.bottom = std::max(blockBox.bottom, r.bottom);
        minLink = std::min(minLink, link);
        maxLink = std::max(maxLink, link);
        if (name != ZXS_NO_OBJECT) {
            if (minName == ZXS_NO_OBJECT) {
                minName = maxName = name;
            } else {
                minName = std::min(minName, name);
                maxName = std::max(maxName, name);
            }
        }
    }
    const int32_t values[9] = { blockBox.left, blockBox.top, blockBox.right, blockBox.bottom, minName,
        maxName, minLink, maxLink, static_cast<int32_t>(points.size()) };
    for (int i = 0; i < 9; ++i)
        ZXS_PutLe32(block + 4 * i, static_cast<uint32_t>(values[i]));

    const int64_t cellW = CellSize(blockBox.left, blockBox.right);
    const int64_t cellH = CellSize(blockBox.top, blockBox.bottom);
    try {
        std::vector<uint8_t> trial[3];
        for (auto& t : trial)
            t.resize(kScratch);
        for (uint32_t k = 0; k < count; ++k) {
            const Box& r = boxes[k];
            RecordOut& o = out[k];
            o.box[2] = CellOfGreatest(int64_t { r.right } - blockBox.left, cellW);
            o.box[3] = CellOfGreatest(int64_t { r.bottom } - blockBox.top, cellH);
            o.box[0] = CellOfLeast(int64_t { r.left } - blockBox.left, cellW, o.box[2]);
            o.box[1] = CellOfLeast(int64_t { r.top } - blockBox.top, cellH, o.box[3]);
            int best = -1;
            int32_t bestSize = 0;
            for (int scheme = 0; scheme < 3; ++scheme) {
                const int32_t size = EncodeRun(*CZXS_PointCoding::ForScheme(scheme), *records[k].points,
                    blockBox.left, blockBox.top, trial[scheme].data());
                if (size >= 0 && (best < 0 || size < bestSize)) {
                    best = scheme;
                    bestSize = size;
                }
            }
            if (best < 0)
                return ZXS_KERR_TABLE;
            o.scheme = best;
            o.length = static_cast<uint16_t>(bestSize);
            points.insert(points.end(), trial[best].begin(), trial[best].begin() + bestSize);
        }
    } catch (const std::bad_alloc&) {
        return ZXS_KERR_MEMORY;
    }
    return 0;
}

int32_t CZXS_IndexBuilder::Convert(CZXS_TzxDoc& doc)
{
    CZXS_TzxHeader& h = doc.m_header;
    const CZXS_PointCoding& oldCoding = *doc.m_coding;

    // The header counts follow the tables as loaded.
    h.SetU32(CZXS_TzxHeader::kDictionarySize, doc.m_dictionary.Size());
    h.SetU16(CZXS_TzxHeader::kLayerCount, static_cast<uint16_t>(doc.Layers().Count()));
    h.SetU32(CZXS_TzxHeader::kNamesSize, doc.m_names.Size());
    h.SetU32(CZXS_TzxHeader::kObjectCount, doc.m_objects.Count());
    h.SetU32(CZXS_TzxHeader::kPointSize,
        static_cast<uint32_t>(oldCoding.BytesToUnits(static_cast<int32_t>(doc.m_points.Size()))));
    h.SetU32(CZXS_TzxHeader::kEmbeddedGraphSize, 0);
    h.SetU16(CZXS_TzxHeader::kStyleCount, static_cast<uint16_t>(doc.Styles().Count()));
    if (doc.m_text.Size() > 0)
        h.SetU32(CZXS_TzxHeader::kTextSize,
            static_cast<uint32_t>(
                strnlen(reinterpret_cast<const char*>(doc.m_text.Data()), doc.m_text.Size())));
    h.SetU32(CZXS_TzxHeader::kSymbolSize, doc.m_symbols.Size());

    const uint32_t n = doc.m_objects.Count();
    const uint32_t blocks = n / kBlockRecords + 1;
    CFixedCollect& index = doc.m_indexBlocks;
    index.Free();
    index.SetRecordSize(CZXS_TzxHeader::kIndexBlockSize);
    if (index.Allocate(blocks, 0) == 0 || index.SetSize(blocks) == 0)
        return ZXS_KERR_MEMORY;
    std::memset(index.MutableItem(0), 0xFF, index.Size());

    std::vector<uint8_t> out;
    std::vector<std::vector<ZXS_Point>> runs(kBlockRecords);
    try {
        out.reserve(doc.m_points.Size());
    } catch (const std::bad_alloc&) {
        return ZXS_KERR_MEMORY;
    }
    const uint8_t* oldPoints = doc.m_points.Data();
    const uint32_t oldSize = doc.m_points.Size();
    const int oldScheme = h.U8(CZXS_TzxHeader::kCoding) <= 2 ? h.U8(CZXS_TzxHeader::kCoding) : 0;
    uint64_t read = 0; // byte offset of the next old run
    uint32_t nextLayer = 0;
    const uint32_t layerCount = doc.Layers().Count();
    RecordIn in[kBlockRecords];
    RecordOut result[kBlockRecords];

    for (uint32_t first = 0; first < n; first += kBlockRecords) {
        const uint32_t count = std::min<uint32_t>(kBlockRecords, n - first);
        for (uint32_t k = 0; k < count; ++k) {
            const CZXS_ObjectRecord record = doc.Object(first + k);
            const uint64_t runBytes = static_cast<uint64_t>(oldCoding.UnitsToBytes(record.RunLength()));
            if (read + runBytes > oldSize || runBytes > 0xFFFF)
                return ZXS_KERR_TABLE;
            // The old run: the map's own coding, plain coordinates, no closing repeat.
            CZXS_ObjectRecord plain = record;
            plain.SetClosed(false);
            plain.SetCoding(oldScheme);
            plain.SetRunLength(static_cast<uint16_t>(runBytes));
            CZXS_PointIterator it;
            if (!it.Begin(0, 0, oldPoints, oldSize, static_cast<uint32_t>(read), plain))
                return ZXS_KERR_TABLE;
            std::vector<ZXS_Point>& run = runs[k];
            try {
                run.clear();
                run.push_back(it.Current());
                while (it.Next())
                    run.push_back(it.Current());
            } catch (const std::bad_alloc&) {
                return ZXS_KERR_MEMORY;
            }
            read += runBytes;
            in[k] = { &run, record.NameId(), record.LinkId() };
        }
        const uint32_t blockStart = static_cast<uint32_t>(out.size());
        if (const int32_t e = EncodeBlock(in, count, out,
                index.MutableItem(first / kBlockRecords * CZXS_TzxHeader::kIndexBlockSize), result);
            e != 0)
            return e;
        uint32_t offset = blockStart;
        for (uint32_t k = 0; k < count; ++k) {
            const uint32_t number = first + k;
            uint8_t* bytes = doc.m_objects.MutableElement(number);
            if (bytes == nullptr)
                return ZXS_KERR_MEMORY;
            CZXS_ObjectRecord record = CZXS_ObjectRecord::FromBytes(bytes);
            record.SetCoding(result[k].scheme);
            record.SetRunLength(result[k].length);
            record.SetBox(result[k].box[0], result[k].box[1], result[k].box[2], result[k].box[3]);
            std::memcpy(bytes, record.Bytes().data(), CZXS_ObjectRecord::kSize);
            while (nextLayer < layerCount
                && doc.GetLayerDesc(static_cast<int32_t>(nextLayer)).FirstObject()
                    == static_cast<int32_t>(number)) {
                ZXS_PutLe32(doc.Layers().MutableItem(nextLayer * CZXS_TzxHeader::kLayerSize) + 4, offset);
                ++nextLayer;
            }
            offset += result[k].length;
        }
    }
    // Layers that begin after the last object start where the point data ends.
    for (; nextLayer < layerCount; ++nextLayer)
        ZXS_PutLe32(doc.Layers().MutableItem(nextLayer * CZXS_TzxHeader::kLayerSize) + 4,
            static_cast<uint32_t>(out.size()));

    doc.m_points.Free();
    if (!out.empty()) {
        if (doc.m_points.Allocate(static_cast<uint32_t>(out.size()), 0) == 0
            || doc.m_points.SetSize(static_cast<uint32_t>(out.size())) == 0)
            return ZXS_KERR_MEMORY;
        std::memcpy(doc.m_points.MutableItem(0), out.data(), out.size());
    }
    h.SetU32(CZXS_TzxHeader::kPointSize, static_cast<uint32_t>(out.size()));
    return 0;
}

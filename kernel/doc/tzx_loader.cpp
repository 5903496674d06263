#include "kernel/doc/tzx_loader.h"
#include "kernel/doc/little_endian.h"

#include <cstring>
#include <new>

#include "kernel/api/result_codes.h"
#include "kernel/doc/index_builder.h"
#include "kernel/doc/map_cipher.h"
#include "kernel/doc/passage_journal.h"
#include "kernel/doc/tzx_doc.h"

namespace {

constexpr uint32_t kOldChunk = 1024;

// Reads sections while keeping count of what the file still holds, so that no
// size taken from the header is allocated or read beyond the file's end.
class SectionReader {
public:
    explicit SectionReader(CZXS_DiskStream& stream)
        : m_stream(stream)
    {
        const uint32_t at = stream.GetPosition();
        const uint32_t end = stream.Seek(0, 2);
        m_end = end == ZXS_SEEK_FAILED ? 0 : end;
        stream.Seek(static_cast<int32_t>(at == ZXS_SEEK_FAILED ? 0 : at), 0);
    }

    uint64_t Remaining()
    {
        const uint32_t at = m_stream.GetPosition();
        return at == ZXS_SEEK_FAILED || at > m_end ? 0 : m_end - at;
    }
    bool Fits(uint64_t bytes) { return bytes <= Remaining(); }
    bool Read(uint8_t* into, uint32_t bytes)
    {
        return bytes == 0 || (Fits(bytes) && m_stream.ReadExact(into, bytes));
    }
    bool Skip(uint32_t bytes)
    {
        if (!Fits(bytes))
            return false;
        return bytes == 0 || m_stream.Seek(static_cast<int32_t>(bytes), 1) != ZXS_SEEK_FAILED;
    }
    // Into a table's own buffer of `count` elements of `elementSize` bytes
    // (pre-allocated with `growth` elements to spare).
    int32_t ReadTable(CCollect& table, uint32_t count, uint32_t elementSize, uint32_t growth)
    {
        const uint64_t bytes = uint64_t { count } * elementSize;
        if (!Fits(bytes))
            return ZXS_KERR_READ;
        if (count == 0)
            return 0;
        if (table.Allocate(count, growth) == 0 || table.SetSize(count) == 0)
            return ZXS_KERR_MEMORY;
        uint8_t* into = table.MutableItem(0);
        if (into == nullptr)
            return ZXS_KERR_MEMORY;
        return m_stream.ReadExact(into, static_cast<uint32_t>(bytes)) ? 0 : ZXS_KERR_READ;
    }
    // In place from a memory-backed source, else into an own buffer.
    bool LoadTable(CCollect& table, uint64_t bytes)
    {
        if (!Fits(bytes))
            return false;
        return bytes == 0 || table.Load(m_stream, static_cast<uint32_t>(bytes)) != 0;
    }

private:
    CZXS_DiskStream& m_stream;
    uint32_t m_end = 0;
};

// Walks a variable-length table; `fits` judges each record (pointer, length).
template <typename Judge> bool WalkRecords(const CCollect& table, Judge fits)
{
    uint32_t offset = 0;
    while (offset < table.Size()) {
        const uint16_t length = table.RecordLength(offset);
        if (length == 0 || !fits(table.Data() + offset, length))
            return false;
        offset += length;
    }
    return true;
}

} // namespace

bool CZXS_TzxLoader::DecipherTable(const CZXS_MapCipher& cipher, CCollect& table)
{
    if (table.Size() == 0)
        return true;
    uint8_t* bytes = table.MutableItem(0);
    if (bytes == nullptr)
        return false;
    cipher.Decipher(bytes, table.Size());
    return true;
}

bool CZXS_TzxLoader::SymbolTableIsSound(const CCollect& table)
{
    return WalkRecords(table, [](const uint8_t* r, uint16_t length) {
        if (length < 9)
            return false;
        const uint32_t width = ZXS_Le16(r + 2);
        const uint32_t height = ZXS_Le16(r + 4);
        return 9 + uint64_t { height } * ((width + 7) / 8) <= length;
    });
}

bool CZXS_TzxLoader::DictionaryIsSound(const CCollect& table)
{
    // The word must end inside its record: it is read as a terminated text.
    return WalkRecords(table, [](const uint8_t* r, uint16_t length) {
        return length >= 5 && std::memchr(r + 4, 0, length - 4u) != nullptr;
    });
}

bool CZXS_TzxLoader::NamesTableIsSound(const CCollect& table, bool prefixed)
{
    const uint32_t fixed = prefixed ? 6 : 3;
    return WalkRecords(table, [fixed](const uint8_t* r, uint16_t length) {
        if (length < fixed)
            return false;
        // An alias carries a 13-byte trailer after its text.
        return r[2] != 254 || length >= fixed + 13;
    });
}

bool CZXS_TzxLoader::ObjectTablesAreSound(const CZXS_TzxDoc& doc)
{
    const uint32_t objects = doc.Objects().Count();
    const uint32_t points = doc.Points().Size();
    const uint32_t names = doc.Names().Size();
    if (doc.Header().I32(CZXS_TzxHeader::kObjectCount) != static_cast<int32_t>(objects)
        || doc.IndexBlocks().Count() != objects / 64 + 1)
        return false;
    for (uint32_t block = 0; block * 64 < objects; ++block) {
        const int32_t start = doc.BlockValue(block, 8);
        if (start < 0)
            return false;
        uint64_t offset = static_cast<uint32_t>(start);
        for (uint32_t i = block * 64; i < objects && i < block * 64 + 64; ++i) {
            const CZXS_ObjectRecord record = doc.Object(i);
            const CZXS_PointCoding* coding = CZXS_PointCoding::ForScheme(record.Coding());
            if (coding == nullptr || record.RunLength() < coding->UnitsToBytes(coding->AbsoluteUnits()))
                return false;
            offset += record.RunLength();
            if (offset > points)
                return false;
            const int32_t name = record.NameId();
            if (name != ZXS_NO_OBJECT && static_cast<uint32_t>(name) >= names)
                return false;
        }
    }
    for (int32_t layer = 0; layer < doc.LayerCount(); ++layer) {
        if (doc.GetLayerDesc(layer).PointOffset() > points)
            return false;
    }
    return LayersAreSound(doc);
}

bool CZXS_TzxLoader::LayersAreSound(const CZXS_TzxDoc& doc)
{
    const CZXS_TzxHeader& h = doc.Header();
    const int32_t objects = h.I32(CZXS_TzxHeader::kObjectCount);
    int32_t previous = 0;
    for (int32_t layer = 0; layer < doc.LayerCount(); ++layer) {
        const int32_t first = doc.GetLayerDesc(layer).FirstObject();
        if (first < previous || first > objects)
            return false;
        previous = first;
    }
    const int32_t firstRoad = h.I16(CZXS_TzxHeader::kFirstRoadLayer);
    const int32_t roadLayers = h.I16(CZXS_TzxHeader::kRoadLayerCount);
    return firstRoad < 0 || firstRoad + roadLayers <= doc.LayerCount();
}

int CZXS_TzxLoader::Load(CZXS_TzxDoc& doc, const uint8_t* key, int16_t keyLength)
{
    int32_t error = 0;
    try {
        error = Run(doc, key, keyLength);
    } catch (const std::bad_alloc&) {
        error = ZXS_KERR_MEMORY;
    }
    if (error != 0) {
        doc.SetError(error);
        doc.Close();
        return 0;
    }
    ++doc.m_references;
    doc.m_loaded = true;
    return 1;
}

// One load in progress: the document, its stream read section by section, and
// the cipher the sections are deciphered with.
struct CZXS_TzxLoader::Reading {
    Reading(CZXS_TzxDoc& d, const uint8_t* key, int16_t keyLength)
        : doc(d)
        , stream(*d.m_stream)
        , in(stream)
        , keyLength(keyLength)
    {
        if (keyLength != 0)
            cipher.Prepare(key, static_cast<uint32_t>(keyLength < 0 ? -keyLength : keyLength));
    }

    CZXS_TzxDoc& doc;
    CZXS_DiskStream& stream;
    SectionReader in;
    CZXS_MapCipher cipher;
    int16_t keyLength;
    bool decipher = false;
    bool old = false; // the old layout: packed records, no index blocks
};

int32_t CZXS_TzxLoader::Run(CZXS_TzxDoc& doc, const uint8_t* key, int16_t keyLength)
{
    if (!doc.m_stream)
        return ZXS_KERR_FILEOPEN;
    Reading r(doc, key, keyLength);
    using Step = int32_t (*)(Reading&);
    for (const Step step : { &ReadHeader, &ReadFrontSections, &ReadObjects, &ReadIndexAndPoints,
             &ReadRoadGraph, &ReadStylesAndText }) {
        if (const int32_t e = step(r); e != 0)
            return e;
    }
    if (r.old) {
        if (const int32_t e = CZXS_IndexBuilder::Convert(doc); e != 0)
            return e;
    }
    if (!ObjectTablesAreSound(doc))
        return ZXS_KERR_TABLE;
    // Without the memory for it the walks test every block.
    doc.m_blockIndex.Build(doc.m_indexBlocks);
    r.stream.ReleaseReadPages();
    return 0;
}

int32_t CZXS_TzxLoader::ReadHeader(Reading& r)
{
    CZXS_TzxHeader& h = r.doc.m_header;
    if (!r.in.Read(h.Bytes(), CZXS_TzxHeader::kSize))
        return ZXS_KERR_READ;
    r.decipher = r.keyLength < 0 || (r.keyLength > 0 && !h.HasMagic());
    if (r.decipher) {
        if (!r.cipher.IsReady())
            return ZXS_KERR_MAGIC;
        r.cipher.Decipher(
            h.Bytes() + CZXS_TzxHeader::kCipherStart, CZXS_TzxHeader::kSize - CZXS_TzxHeader::kCipherStart);
    }
    if (!h.HasMagic())
        return ZXS_KERR_MAGIC;
    const uint16_t version = h.Version();
    if (version > CZXS_TzxHeader::kVersionCurrent
        || (version > CZXS_TzxHeader::kVersionOldMax && version < CZXS_TzxHeader::kVersionCurrent))
        return ZXS_KERR_VERSION;
    r.old = h.IsOldLayout();
    if (h.U16(CZXS_TzxHeader::kReserved) != 0)
        return ZXS_KERR_HEADER;
    r.doc.SelectCoding(h.U8(CZXS_TzxHeader::kCoding));
    // Negative sizes would wrap into huge tables; a transform shorter than its
    // twelve coefficients would be read past its end.
    const uint32_t transformSize = h.U16(CZXS_TzxHeader::kTransformSize);
    if (h.I32(CZXS_TzxHeader::kObjectCount) < 0 || h.I32(CZXS_TzxHeader::kPointSize) < 0
        || h.I16(CZXS_TzxHeader::kStyleCount) < 0 || h.I16(CZXS_TzxHeader::kLayerCount) < 0
        || h.I32(CZXS_TzxHeader::kNamesSize) < 0 || h.I32(CZXS_TzxHeader::kSymbolSize) < 0
        || h.I32(CZXS_TzxHeader::kDictionarySize) < 0 || transformSize % 8 != 0
        || (transformSize != 0 && transformSize < CZXS_TzxHeader::kTransformMinSize))
        return ZXS_KERR_HEADER;
    r.doc.m_journal.reset(new (std::nothrow) CZXS_PassageJournal(&r.doc));
    if (!r.doc.m_journal || !r.doc.m_journal->Prepare())
        return ZXS_KERR_MEMORY;
    return 0;
}

// Sections 1 to 6: coordinate transform, metrics block, symbol table,
// dictionary, layer descriptors, names.
int32_t CZXS_TzxLoader::ReadFrontSections(Reading& r)
{
    CZXS_TzxDoc& doc = r.doc;
    const CZXS_TzxHeader& h = doc.m_header;
    if (const int32_t e = r.in.ReadTable(doc.m_transformSection, h.U16(CZXS_TzxHeader::kTransformSize), 1, 0);
        e != 0)
        return e;
    if (r.decipher && !DecipherTable(r.cipher, doc.m_transformSection))
        return ZXS_KERR_MEMORY;

    // The metrics block's size is known, so a bad blob cannot leave the later
    // sections misplaced: the load stops instead.
    if (doc.m_metrics.Read(r.stream) == 0)
        return ZXS_KERR_READ;

    struct Enciphered {
        CCollect* table;
        uint32_t count;
        uint32_t elementSize;
        uint32_t growth;
    };
    const Enciphered front[] = {
        { &doc.m_symbols, static_cast<uint32_t>(h.I32(CZXS_TzxHeader::kSymbolSize)), 1, 128 },
        { &doc.m_dictionary, static_cast<uint32_t>(h.I32(CZXS_TzxHeader::kDictionarySize)), 1, 64 },
        { &doc.Layers(), static_cast<uint32_t>(h.I16(CZXS_TzxHeader::kLayerCount)),
            CZXS_TzxHeader::kLayerSize, 4 },
        { &doc.m_names, static_cast<uint32_t>(h.I32(CZXS_TzxHeader::kNamesSize)), 1, 64 },
    };
    for (const Enciphered& section : front) {
        if (const int32_t e
            = r.in.ReadTable(*section.table, section.count, section.elementSize, section.growth);
            e != 0)
            return e;
        if (r.decipher && !DecipherTable(r.cipher, *section.table))
            return ZXS_KERR_MEMORY;
    }
    if (!SymbolTableIsSound(doc.m_symbols) || !DictionaryIsSound(doc.m_dictionary)
        || !NamesTableIsSound(doc.m_names, (h.U8(CZXS_TzxHeader::kFlags) & 1) != 0))
        return ZXS_KERR_TABLE;
    doc.m_symbols.BuildIndex();
    doc.m_dictionary.BuildIndex();
    // The road range counts objects through the layers, for the graph below.
    if (!LayersAreSound(doc))
        return ZXS_KERR_TABLE;
    return 0;
}

// Section 7: object records, unpacked one chunk at a time from the old layout.
int32_t CZXS_TzxLoader::ReadObjects(Reading& r)
{
    CZXS_TzxDoc& doc = r.doc;
    const auto objectCount = static_cast<uint32_t>(doc.m_header.I32(CZXS_TzxHeader::kObjectCount));
    if (!r.old) {
        if (!r.in.LoadTable(doc.m_objects, uint64_t { objectCount } * CZXS_ObjectRecord::kSize))
            return ZXS_KERR_TABLE;
        return 0;
    }
    // A short object section would silently drop objects: the map is refused.
    if (!r.in.Fits(uint64_t { objectCount } * CZXS_ObjectRecord::kPackedSize))
        return ZXS_KERR_TABLE;
    if (doc.m_objects.Allocate(objectCount, 16) == 0 || doc.m_objects.SetSize(objectCount) == 0)
        return ZXS_KERR_MEMORY;
    uint8_t chunk[kOldChunk * CZXS_ObjectRecord::kPackedSize];
    uint32_t done = 0;
    while (done < objectCount) {
        const uint32_t n = std::min<uint32_t>(kOldChunk, objectCount - done);
        if (!r.in.Read(chunk, n * CZXS_ObjectRecord::kPackedSize))
            return ZXS_KERR_TABLE;
        for (uint32_t i = 0; i < n; ++i) {
            const CZXS_ObjectRecord record
                = CZXS_ObjectRecord::UnpackOld(chunk + i * CZXS_ObjectRecord::kPackedSize);
            std::memcpy(
                doc.m_objects.MutableElement(done + i), record.Bytes().data(), CZXS_ObjectRecord::kSize);
        }
        done += n;
    }
    return 0;
}

// Sections 8 and 9: index blocks of current maps, point data.
int32_t CZXS_TzxLoader::ReadIndexAndPoints(Reading& r)
{
    CZXS_TzxDoc& doc = r.doc;
    const CZXS_TzxHeader& h = doc.m_header;
    if (!r.old) {
        const uint64_t bytes
            = (uint64_t { static_cast<uint32_t>(h.I32(CZXS_TzxHeader::kObjectCount)) } / 64 + 1)
            * CZXS_TzxHeader::kIndexBlockSize;
        if (!r.in.Fits(bytes))
            return ZXS_KERR_READ;
        if (!r.in.LoadTable(doc.m_indexBlocks, bytes))
            return doc.m_indexBlocks.GetError() == ZXS_KERR_MEMORY ? ZXS_KERR_MEMORY : ZXS_KERR_READ;
    }
    if (const int32_t pointUnits = h.I32(CZXS_TzxHeader::kPointSize); pointUnits != 0) {
        const int64_t bytes = doc.m_coding->UnitsToBytes(pointUnits);
        if (!r.in.LoadTable(doc.m_points, static_cast<uint64_t>(bytes)))
            return ZXS_KERR_TABLE;
    }
    return 0;
}

// The companion road graph, then section 10, skipped by its size whether the
// graph was loaded or not, so the style records are read from their place.
int32_t CZXS_TzxLoader::ReadRoadGraph(Reading& r)
{
    CZXS_TzxDoc& doc = r.doc;
    const CZXS_TzxHeader& h = doc.m_header;
    const int16_t firstRoad = h.I16(CZXS_TzxHeader::kFirstRoadLayer);
    const int16_t roadLayers = h.I16(CZXS_TzxHeader::kRoadLayerCount);
    const uint32_t embedded = h.U32(CZXS_TzxHeader::kEmbeddedGraphSize);
    if (firstRoad >= 0 && roadLayers > 0) {
        const bool loaded = doc.m_roadGraph.Load(
            r.stream.Name(), doc.m_sourceKind, doc.m_graphBlock, doc.m_graphSize, doc.RoadObjectCount());
        if (!loaded && h.U32(CZXS_TzxHeader::kRoadGraphLevel) < CZXS_TzxHeader::kGraphOptionalLevel
            && embedded != 0)
            doc.SetError(ZXS_KERR_GRAPH);
    } else if (firstRoad >= 0) {
        doc.SetError(ZXS_KERR_GRAPH);
    }
    if (!r.in.Skip(embedded))
        return ZXS_KERR_READ;
    return 0;
}

// Sections 11 and 12: style records, the text block (kept with two zero bytes
// after it).
int32_t CZXS_TzxLoader::ReadStylesAndText(Reading& r)
{
    CZXS_TzxDoc& doc = r.doc;
    const CZXS_TzxHeader& h = doc.m_header;
    if (const int32_t e = r.in.ReadTable(doc.Styles(),
            static_cast<uint32_t>(h.I16(CZXS_TzxHeader::kStyleCount)), CZXS_TzxHeader::kStyleSize, 16);
        e != 0)
        return e;
    if (r.decipher && !DecipherTable(r.cipher, doc.Styles()))
        return ZXS_KERR_MEMORY;
    if (const uint32_t textSize = h.U32(CZXS_TzxHeader::kTextSize); textSize != 0) {
        if (!r.in.Fits(textSize))
            return ZXS_KERR_READ;
        if (doc.m_text.Allocate(textSize + 2, 0) == 0 || doc.m_text.SetSize(textSize + 2) == 0)
            return ZXS_KERR_MEMORY;
        if (!r.in.Read(doc.m_text.MutableItem(0), textSize))
            return ZXS_KERR_READ;
    }
    return 0;
}

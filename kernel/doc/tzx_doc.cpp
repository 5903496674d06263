#include "kernel/doc/tzx_doc.h"

#include <cinttypes>
#include <cstdio>
#include <ctime>
#include <new>

#include "kernel/api/result_codes.h"
#include "kernel/doc/memory_stream.h"
#include "kernel/doc/passage_journal.h"
#include "kernel/doc/stream_kind.h"
#include "kernel/doc/tzx_loader.h"

CZXS_TzxDoc::CZXS_TzxDoc()
{
    m_header.MakeFresh(static_cast<uint32_t>(std::time(nullptr)));
    SelectCoding(0);
}

CZXS_TzxDoc::~CZXS_TzxDoc() { Close(); }

void CZXS_TzxDoc::SelectCoding(uint8_t scheme)
{
    m_coding = CZXS_PointCoding::ForScheme(scheme);
    if (m_coding == nullptr)
        m_coding = CZXS_PointCoding::ForScheme(0);
}

int CZXS_TzxDoc::Open(const ZXS_MapSource* source, const uint8_t* key, int16_t keyLength, int sourceKind)
{
    if (source == nullptr) {
        SetError(ZXS_KERR_NOSOURCE);
        return 0;
    }
    const bool fromFile = sourceKind == CZXS_DiskStream::kDisk || sourceKind == CZXS_DiskStream::kMapped;
    if ((fromFile && source->path == nullptr) ||
        (sourceKind == CZXS_DiskStream::kMemory && source->mapBlock == nullptr)) {
        SetError(ZXS_KERR_SOURCEPATH);
        return 0;
    }
    Close();
    std::unique_ptr<CZXS_DiskStream> stream = ZXS_NewStream(sourceKind);
    if (!stream) {
        SetError(ZXS_KERR_MEMORY);
        return 0;
    }
    m_sourceKind = sourceKind;
    try {
        if (fromFile) {
            m_mapName = source->path;
            if (stream->Open(m_mapName, ZXS_OPEN_MAP, nullptr) == 0) {
                SetError(ZXS_KERR_FILEOPEN);
                Close();
                return 0;
            }
        } else {
            // Named after the road-graph block like the memory maps it stands for;
            // the full address, so that 64-bit addresses do not collide.
            char name[48];
            std::snprintf(name, sizeof name, "memfile%08" PRIxPTR ".tzx", reinterpret_cast<uintptr_t>(source->graphBlock));
            m_mapName = name;
            m_graphBlock = source->graphBlock;
            m_graphSize = source->graphSize;
            static_cast<CZXS_MemoryStream*>(stream.get())->Assign(source->mapBlock, source->mapSize);
        }
    } catch (const std::bad_alloc&) {
        SetError(ZXS_KERR_MEMORY);
        Close();
        return 0;
    }
    m_stream = std::move(stream);
    return CZXS_TzxLoader::Load(*this, key, keyLength);
}

void CZXS_TzxDoc::Close()
{
    m_references = 0;
    // Only a map that was loaded has a journal worth writing.
    if (m_journal) {
        if (m_loaded)
            m_journal->Release();
        m_journal.reset();
    }
    m_loaded = false;
    m_text.Free();
    m_indexBlocks.Free();
    m_indexBlocks.SetRecordSize(CZXS_TzxHeader::kIndexBlockSize);
    m_transformCount = 0;
    m_names.Free();
    m_layers.Free();
    m_layers.SetRecordSize(CZXS_TzxHeader::kLayerSize);
    m_styles.Free();
    m_styles.SetRecordSize(CZXS_TzxHeader::kStyleSize);
    m_objects.Free();
    m_objects.SetRecordSize(CZXS_ObjectRecord::kSize);
    m_points.Free();
    m_header.SetU8(CZXS_TzxHeader::kCoding, 0);
    SelectCoding(0);
    m_roadGraph.Free();
    m_roadGraph.FreeSortedIndex();
    m_symbols.Free();
    m_dictionary.Free();
    m_metricsBlob.Free();
    m_stream.reset();
    m_graphBlock = nullptr;
    m_graphSize = 0;
}

int CZXS_TzxDoc::Release()
{
    const int16_t before = m_references;
    if (m_references > 0)
        --m_references;
    if (before == 1) {
        Close();
        return 1;
    }
    return 0;
}

std::string CZXS_TzxDoc::CompanionPath(const char* extension) const
{
    return ZXS_ReplaceExtension(m_mapName, extension);
}

uint32_t CZXS_TzxDoc::BackgroundColour() const
{
    return m_header.U8(CZXS_TzxHeader::kBackground) | (m_header.U8(CZXS_TzxHeader::kBackground + 1) << 8) |
           (m_header.U8(CZXS_TzxHeader::kBackground + 2) << 16);
}

int32_t CZXS_TzxDoc::LayerFirstObject(uint32_t layer) const
{
    const uint8_t* d = m_layers.Item(layer);
    if (d == nullptr)
        return -1;
    return static_cast<int32_t>(d[0] | (d[1] << 8) | (d[2] << 16) | (uint32_t{d[3]} << 24));
}

int32_t CZXS_TzxDoc::LayerEnd(uint32_t layer) const
{
    if (layer + 1 < m_layers.Count())
        return LayerFirstObject(layer + 1);
    return m_header.I32(CZXS_TzxHeader::kObjectCount);
}

int32_t CZXS_TzxDoc::FirstRoadObject() const
{
    const int16_t first = m_header.I16(CZXS_TzxHeader::kFirstRoadLayer);
    if (first < 0 || static_cast<uint32_t>(first) >= m_layers.Count())
        return -1;
    return LayerFirstObject(static_cast<uint32_t>(first));
}

int32_t CZXS_TzxDoc::RoadObjectCount() const
{
    const int32_t first = FirstRoadObject();
    const int16_t count = m_header.I16(CZXS_TzxHeader::kRoadLayerCount);
    if (first < 0 || count <= 0)
        return 0;
    const uint32_t last = static_cast<uint32_t>(m_header.I16(CZXS_TzxHeader::kFirstRoadLayer) + count - 1);
    if (last >= m_layers.Count())
        return 0;
    const int32_t end = LayerEnd(last);
    return end > first ? end - first : 0;
}

CZXS_ObjectRecord CZXS_TzxDoc::Object(uint32_t number) const
{
    const uint8_t* bytes = m_objects.Item(number);
    return bytes != nullptr ? CZXS_ObjectRecord::FromBytes(bytes) : CZXS_ObjectRecord{};
}

int32_t CZXS_TzxDoc::BlockValue(uint32_t block, int field) const
{
    const uint8_t* b = m_indexBlocks.Item(block);
    if (b == nullptr || field < 0 || field > 8)
        return -1;
    b += field * 4;
    return static_cast<int32_t>(b[0] | (b[1] << 8) | (b[2] << 16) | (uint32_t{b[3]} << 24));
}

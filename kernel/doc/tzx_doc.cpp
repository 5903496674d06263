#include "kernel/doc/tzx_doc.h"
#include "kernel/doc/little_endian.h"

#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <new>
#include <thread>

#include "kernel/api/result_codes.h"
#include "kernel/doc/kernel_clock.h"
#include "kernel/doc/memory_stream.h"
#include "kernel/doc/passage_journal.h"
#include "kernel/doc/stream_kind.h"
#include "kernel/doc/tzx_loader.h"

CZXS_TzxDoc::CZXS_TzxDoc()
{
    m_header.MakeFresh(static_cast<uint32_t>(CZXS_KernelClock::Now()));
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
    if ((fromFile && source->path == nullptr)
        || (sourceKind == CZXS_DiskStream::kMemory && source->mapBlock == nullptr)) {
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
            std::snprintf(name, sizeof name, "memfile%08" PRIxPTR ".tzx",
                reinterpret_cast<uintptr_t>(source->graphBlock));
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
    if (CZXS_TzxLoader::Load(*this, key, keyLength) == 0)
        return 0;
    m_names.SetDictionary(&m_dictionary);
    m_names.SetPrefixFlag((m_header.U8(CZXS_TzxHeader::kFlags) & 1) != 0);
    m_names.SetCodePage(m_header.U8(CZXS_TzxHeader::kCodePage));
    if (m_transformSection.Size() != 0) {
        m_transform.reset(new (std::nothrow) CZXS_PolynomialTransform);
        if (!m_transform) {
            SetError(ZXS_KERR_MEMORY);
            Close();
            return 0;
        }
        m_transform->LoadCoefficients(m_transformSection.Data(), m_transformSection.Size());
    }
    return 1;
}

void CZXS_TzxDoc::Close()
{
    m_references = 0;
    // Only a map that was loaded has a journal worth writing.
    if (m_journal) {
        // The document thread may be between journal operations; give it up
        // to ten seconds to finish before the journal goes.
        for (int i = 0; i < 100 && m_journal->IsBusy(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (m_loaded)
            m_journal->Release();
        m_journal.reset();
    }
    m_loaded = false;
    m_text.Free();
    m_indexBlocks.Free();
    m_blockIndex.Free();
    m_indexBlocks.SetRecordSize(CZXS_TzxHeader::kIndexBlockSize);
    m_transformSection.Free();
    m_transform.reset();
    m_names.Free();
    CZXS_LayerIterator::Release();
    m_objects.Free();
    m_objects.SetRecordSize(CZXS_ObjectRecord::kSize);
    m_points.Free();
    m_header.SetU8(CZXS_TzxHeader::kCoding, 0);
    SelectCoding(0);
    m_roadGraph.Free();
    m_roadGraph.FreeSortedIndex();
    m_symbols.Free();
    m_dictionary.Free();
    m_metrics.FreeBlob();
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
    return ZXS_Le24(m_header.Bytes() + CZXS_TzxHeader::kBackground);
}

double CZXS_TzxDoc::Resolution() const
{
    const int32_t r = m_header.I32(CZXS_TzxHeader::kResolution);
    return r != 0 ? static_cast<double>(r) : m_header.U16(CZXS_TzxHeader::kResolution100) * 100.0;
}

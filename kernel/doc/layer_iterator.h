#pragma once

#include <cstdint>
#include <string>

#include "kernel/doc/fixed_collect.h"
#include "kernel/doc/little_endian.h"
#include "kernel/doc/object.h"
#include "kernel/doc/style_table.h"

class CZXS_Dictionary;
class CZXS_TzxHeader;

// A view of one 21-byte layer descriptor: first object (signed 32-bit) at 0,
// point offset of its first run at 4, flags at 8, dictionary word of its name
// (signed 16-bit) at 9, style group at 11, symbol number at 12 (255: lines or areas).
class CZXS_LayerDesc {
public:
    static constexpr uint32_t kSize = 21;
    static constexpr uint8_t kLinked = 0x08; // objects carry link ids
    static constexpr uint8_t kExcluded = 0x20; // left out of searches by name or link

    CZXS_LayerDesc() = default;
    explicit CZXS_LayerDesc(const uint8_t* bytes)
        : m_bytes(bytes)
    {
    }

    explicit operator bool() const { return m_bytes != nullptr; }
    const uint8_t* Bytes() const { return m_bytes; }
    int32_t FirstObject() const { return static_cast<int32_t>(ZXS_Le32(m_bytes)); }
    uint32_t PointOffset() const { return ZXS_Le32(m_bytes + 4); }
    uint8_t Flags() const { return m_bytes[8]; }
    int16_t NameWord() const { return static_cast<int16_t>(ZXS_Le16(m_bytes + 9)); }
    uint8_t StyleGroup() const { return m_bytes[11]; }
    uint8_t SymbolNumber() const { return m_bytes[12]; }

private:
    const uint8_t* m_bytes = nullptr;
};

// The layer table of a map document: which layer holds an object, which layers
// hold the roads, where a layer ends. The document supplies the header and the
// dictionary.
class CZXS_LayerIterator : public CZXS_Object {
public:
    CZXS_LayerIterator()
        : m_layers(CZXS_LayerDesc::kSize)
    {
    }

    const char16_t* ClassName() const override { return u"CZXS_LayerIterator"; }
    virtual const CZXS_TzxHeader& GetHeader() const = 0;
    virtual const CZXS_Dictionary* GetDictionary() const = 0;

    int32_t LayerCount() const { return static_cast<int32_t>(m_layers.Count()); }
    // None for a negative index (as a signed 16-bit value) or one past the table.
    CZXS_LayerDesc GetLayerDesc(int32_t index) const;
    // -1 gives 0; an object below the first layer's start gives -1; otherwise the
    // last layer starting at or below it.
    int32_t LayerOfObject(int32_t object) const;
    // The next layer's first object, or the header's object count for the last.
    int32_t LayerEnd(int32_t layer) const;
    // The first layer whose name (variant 0) equals `name`, else -1.
    int32_t FindLayerByName(const std::string& name) const;
    bool GetLayerName(int32_t layer, std::string& output, int variant) const;
    CZXS_LayerDesc FindLayerByStyleGroup(int group) const;

    CZXS_LayerDesc FirstRoadLayer() const;
    CZXS_LayerDesc LastRoadLayer() const;
    CZXS_LayerDesc NextRoadLayer(const CZXS_LayerDesc& layer) const;
    // First object of the first road layer, -1 without road layers.
    int32_t FirstRoadObject() const;
    int32_t RoadObjectCount() const;

    void Release();
    // Bytes of point data the header's counts call for: its size in units of the
    // header's point coding (any unknown coding reads as 0).
    int64_t PointTableSize() const;

    CFixedCollect& Layers() { return m_layers; }
    const CFixedCollect& Layers() const { return m_layers; }
    CZXS_StyleTable& Styles() { return m_styles; }
    const CZXS_StyleTable& Styles() const { return m_styles; }

private:
    int32_t IndexOf(const CZXS_LayerDesc& layer) const;
    int32_t FirstRoadIndex() const;
    int32_t LastRoadIndex() const;

    CFixedCollect m_layers;
    CZXS_StyleTable m_styles;
};

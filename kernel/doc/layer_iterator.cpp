#include "kernel/doc/layer_iterator.h"

#include "kernel/doc/dictionary.h"
#include "kernel/doc/point_coding.h"
#include "kernel/doc/tzx_header.h"

CZXS_LayerDesc CZXS_LayerIterator::GetLayerDesc(int32_t index) const
{
    const auto narrow = static_cast<int16_t>(index);
    if (narrow < 0 || index != narrow || narrow >= LayerCount())
        return CZXS_LayerDesc();
    return CZXS_LayerDesc(m_layers.Item(static_cast<uint32_t>(narrow)));
}

int32_t CZXS_LayerIterator::IndexOf(const CZXS_LayerDesc& layer) const
{
    if (!layer || layer.Bytes() < m_layers.Data())
        return -1;
    return static_cast<int32_t>((layer.Bytes() - m_layers.Data()) / CZXS_LayerDesc::kSize);
}

int32_t CZXS_LayerIterator::LayerOfObject(int32_t object) const
{
    if (object == -1)
        return 0;
    const int32_t count = LayerCount();
    for (int32_t i = 0; i < count; ++i) {
        if (GetLayerDesc(i).FirstObject() > object)
            return i - 1;
    }
    return count - 1;
}

int32_t CZXS_LayerIterator::LayerEnd(int32_t layer) const
{
    if (const CZXS_LayerDesc next = GetLayerDesc(layer + 1))
        return next.FirstObject();
    return GetHeader().I32(CZXS_TzxHeader::kObjectCount);
}

bool CZXS_LayerIterator::GetLayerName(int32_t layer, std::string& output, int variant) const
{
    const CZXS_LayerDesc desc = GetLayerDesc(layer);
    const CZXS_Dictionary* dictionary = GetDictionary();
    if (!desc || dictionary == nullptr)
        return false;
    return dictionary->Word(output, desc.NameWord(), variant);
}

int32_t CZXS_LayerIterator::FindLayerByName(const std::string& name) const
{
    std::string word;
    for (int32_t i = 0; i < LayerCount(); ++i) {
        if (GetLayerName(i, word, 0) && word == name)
            return i;
    }
    return -1;
}

CZXS_LayerDesc CZXS_LayerIterator::FindLayerByStyleGroup(int group) const
{
    for (int32_t i = 0; i < LayerCount(); ++i) {
        const CZXS_LayerDesc desc = GetLayerDesc(i);
        if (desc.StyleGroup() == group)
            return desc;
    }
    return CZXS_LayerDesc();
}

int32_t CZXS_LayerIterator::FirstRoadIndex() const
{
    const int16_t first = GetHeader().I16(CZXS_TzxHeader::kFirstRoadLayer);
    return first < 0 || !GetLayerDesc(first) ? -1 : first;
}

int32_t CZXS_LayerIterator::LastRoadIndex() const
{
    const int32_t first = FirstRoadIndex();
    const int16_t count = GetHeader().I16(CZXS_TzxHeader::kRoadLayerCount);
    if (first < 0 || count <= 0)
        return -1;
    // A road range that runs past the table ends at its last layer.
    const int32_t last = first + count - 1;
    return last < LayerCount() ? last : LayerCount() - 1;
}

CZXS_LayerDesc CZXS_LayerIterator::FirstRoadLayer() const
{
    return GetLayerDesc(LastRoadIndex() >= 0 ? FirstRoadIndex() : -1);
}

CZXS_LayerDesc CZXS_LayerIterator::LastRoadLayer() const { return GetLayerDesc(LastRoadIndex()); }

CZXS_LayerDesc CZXS_LayerIterator::NextRoadLayer(const CZXS_LayerDesc& layer) const
{
    const int32_t index = IndexOf(layer);
    if (index < 0 || index >= LastRoadIndex())
        return CZXS_LayerDesc();
    return GetLayerDesc(index + 1);
}

int32_t CZXS_LayerIterator::FirstRoadObject() const
{
    const CZXS_LayerDesc first = FirstRoadLayer();
    return first ? first.FirstObject() : -1;
}

int32_t CZXS_LayerIterator::RoadObjectCount() const
{
    const int32_t first = FirstRoadObject();
    if (first < 0)
        return 0;
    // Tables not yet checked may put the end anywhere: no count rather than a wrapped one.
    const int64_t count = int64_t { LayerEnd(LastRoadIndex()) } - first;
    return count < 0 || count > INT32_MAX ? 0 : static_cast<int32_t>(count);
}

void CZXS_LayerIterator::Release()
{
    m_styles.Free();
    m_layers.Free();
    m_layers.SetRecordSize(CZXS_LayerDesc::kSize);
}

int64_t CZXS_LayerIterator::PointTableSize() const
{
    const CZXS_PointCoding* coding = CZXS_PointCoding::ForScheme(GetHeader().U8(CZXS_TzxHeader::kCoding));
    if (coding == nullptr)
        coding = CZXS_PointCoding::ForScheme(0);
    return coding->UnitsToBytes(GetHeader().I32(CZXS_TzxHeader::kPointSize));
}

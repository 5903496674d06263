#include "kernel/doc/name_table.h"

#include <algorithm>
#include <new>
#include <vector>

#include "kernel/api/result_codes.h"
#include "kernel/doc/code_page.h"
#include "kernel/doc/dictionary.h"
#include "kernel/doc/fixed_collect.h"
#include "kernel/doc/layer_iterator.h"
#include "kernel/doc/little_endian.h"
#include "kernel/doc/object_record.h"
#include "kernel/doc/transliteration.h"

namespace {

constexpr uint8_t kNoKind = 255;
constexpr uint8_t kAliasKind = 254;
constexpr uint8_t kAbbreviation = 1;

// Memo of a search: one byte per byte of the names table, so records that lie
// close together never share an entry.
enum : uint8_t {
    kTested = 1,
    kMatched = 2,
    kReported = 4,
    kOwnTested = 8,
    kOwnMatched = 16,
};

int VariantOf(int type)
{
    return type == CZXS_NameTable::kShort || type == CZXS_NameTable::kLatinShort ? 1 : 0;
}

bool IsLatin(int type) { return type == CZXS_NameTable::kLatin || type == CZXS_NameTable::kLatinShort; }

bool NoName(int32_t nameId) { return nameId < 0 || nameId == ZXS_NO_OBJECT; }

} // namespace

bool CZXS_NameTable::Parse(int32_t nameId, Record& record) const
{
    if (NoName(nameId))
        return false;
    const uint32_t offset = static_cast<uint32_t>(nameId);
    const uint16_t length = RecordLength(offset);
    const uint32_t head = 3u + (m_prefixFlag != 0 ? 3u : 0u);
    if (length < head)
        return false;
    const uint8_t* bytes = Item(offset);
    record.kind = bytes[2];
    record.prefix = m_prefixFlag != 0 ? bytes + 3 : nullptr;
    uint32_t textLength = length - head; // the prefix is not text
    record.trailer = nullptr;
    if (record.kind == kAliasKind) {
        if (textLength < kAliasTrailer)
            return false;
        textLength -= kAliasTrailer;
        record.trailer = bytes + length - kAliasTrailer;
    }
    record.text = bytes + head;
    record.textLength = textLength;
    return true;
}

std::string CZXS_NameTable::Expand(const Record& record, int variant) const
{
    std::string out;
    if (record.textLength > kMaxText)
        return out;
    for (uint32_t i = 0; i < record.textLength; ++i) {
        const uint8_t c = record.text[i];
        if (c != kAbbreviation) {
            out += static_cast<char>(c);
            continue;
        }
        // An abbreviation mark as the last byte has no word number: dropped.
        if (++i >= record.textLength)
            break;
        if (m_dictionary != nullptr)
            out += m_dictionary->WordView(record.text[i], variant);
    }
    return out;
}

std::string CZXS_NameTable::Latin(std::string text) const
{
    // The Latin letters come from the Cyrillic code page; other code pages are
    // already written in Latin letters and pass through.
    return m_codePage == 0 ? CZXS_Transliteration::Transliterate(text) : text;
}

std::string CZXS_NameTable::GetName(int32_t nameId, int type) const
{
    if (NoName(nameId))
        return IsLatin(type) ? "<<Unnamed>>" : "<<\xC1\xE5\xE7 \xE8\xEC\xE5\xED\xE8>>";
    Record record;
    if (!Parse(nameId, record))
        return std::string();
    std::string name = Expand(record, VariantOf(type));
    return IsLatin(type) ? Latin(std::move(name)) : name;
}

std::string CZXS_NameTable::GetKindWord(int32_t nameId, int type) const
{
    Record record;
    if (!Parse(nameId, record))
        return std::string();
    const uint8_t kind = record.trailer != nullptr ? record.trailer[4] : record.kind;
    if (kind == kNoKind || kind == kAliasKind || m_dictionary == nullptr)
        return std::string();
    std::string word(m_dictionary->WordView(kind, VariantOf(type)));
    return IsLatin(type) ? Latin(std::move(word)) : word;
}

int32_t CZXS_NameTable::MainNameId(int32_t nameId) const
{
    Record record;
    if (!Parse(nameId, record))
        return -1;
    if (record.trailer == nullptr)
        return nameId;
    return static_cast<int32_t>(ZXS_Le32(record.trailer));
}

int32_t CZXS_NameTable::PrefixValue(int32_t nameId) const
{
    Record record;
    if (!Parse(nameId, record) || record.prefix == nullptr)
        return ZXS_NO_OBJECT;
    const uint32_t value = ZXS_Le24(record.prefix);
    return value == 0xFFFFFF ? ZXS_NO_OBJECT : static_cast<int32_t>(value);
}

std::string CZXS_NameTable::Folded(std::string_view pattern) const
{
    std::string folded(pattern);
    CZXS_CodePage::Fold(folded, m_codePage);
    return folded;
}

int CZXS_NameTable::NameMatches(int32_t nameId, std::optional<std::string_view> pattern) const
{
    if (NoName(nameId) || !pattern)
        return 0;
    if (pattern->empty())
        return 1;
    std::string_view wanted = *pattern;
    const bool inside = wanted.front() == '*';
    if (inside)
        wanted.remove_prefix(1);
    Record record;
    if (!Parse(nameId, record))
        return 0;
    const std::string name = Folded(Expand(record, 0));
    if (inside)
        return name.find(wanted) != std::string::npos ? 1 : 0;
    return name.compare(0, wanted.size(), wanted) == 0 ? 1 : 0;
}

// Calls visit(object, pointOffset, layer) for the first record of every object
// from `start` on in the layers of the wanted kind (linked or plain, never
// excluded). Stops with 0 when visit returns 0.
template <typename Visit>
int CZXS_NameTable::WalkLayers(const CZXS_LayerIterator& layers, const CFixedCollect& objects, int32_t start,
    bool linked, Visit visit) const
{
    const int32_t count = static_cast<int32_t>(objects.Count());
    // A start below the first layer begins with the first layer.
    for (int32_t layer = std::max(0, layers.LayerOfObject(start < 0 ? 0 : start));
         layer < layers.LayerCount(); ++layer) {
        const CZXS_LayerDesc desc = layers.GetLayerDesc(layer);
        if ((desc.Flags() & CZXS_LayerDesc::kExcluded) != 0
            || ((desc.Flags() & CZXS_LayerDesc::kLinked) != 0) != linked)
            continue;
        const int32_t first = desc.FirstObject() < 0 ? 0 : desc.FirstObject();
        const int32_t end = std::min(layers.LayerEnd(layer), count);
        int64_t pointOffset = desc.PointOffset();
        bool objectStart = true;
        for (int32_t number = first; number < end; ++number) {
            const CZXS_ObjectRecord record
                = CZXS_ObjectRecord::FromBytes(objects.Item(static_cast<uint32_t>(number)));
            if (objectStart && number >= start
                && visit(number, static_cast<int32_t>(pointOffset), layer, record) == 0)
                return 0;
            objectStart = record.IsEndOfObject();
            pointOffset += record.RunLength();
        }
    }
    return 0;
}

int CZXS_NameTable::FindByName(const CZXS_LayerIterator& layers, const CFixedCollect& objects, int32_t start,
    std::optional<std::string_view> pattern, std::optional<std::string_view> secondPattern,
    const SearchCallback& callback, bool oncePerLayer) const
{
    if (secondPattern && !secondPattern->empty())
        return LinkedNameSearch(layers, objects, start, pattern, secondPattern, callback);
    return NameSearch(layers, objects, start, pattern, callback, oncePerLayer);
}

int CZXS_NameTable::NameSearch(const CZXS_LayerIterator& layers, const CFixedCollect& objects, int32_t start,
    std::optional<std::string_view> pattern, const SearchCallback& callback, bool oncePerLayer) const
{
    if (!pattern)
        return ZXS_ERR_PARAM;
    const std::string folded = Folded(*pattern);
    if (Size() == 0)
        return ZXS_ERR_RANGE;
    try {
        std::vector<uint8_t> memo(Size());
        int32_t currentLayer = -1;
        return WalkLayers(layers, objects, start, false,
            [&](int32_t object, int32_t pointOffset, int32_t layer, const CZXS_ObjectRecord& record) {
                if (oncePerLayer && layer != currentLayer) {
                    for (uint8_t& m : memo)
                        m &= static_cast<uint8_t>(~kReported);
                }
                currentLayer = layer;
                const int32_t id = record.NameId();
                if (NoName(id) || static_cast<uint32_t>(id) >= memo.size())
                    return 1;
                uint8_t& m = memo[static_cast<size_t>(id)];
                if ((m & kTested) == 0)
                    m |= kTested | (NameMatches(id, folded) ? kMatched : 0);
                if ((m & kMatched) == 0 || (oncePerLayer && (m & kReported) != 0))
                    return 1;
                m |= kReported;
                return callback(object, pointOffset, layer);
            });
    } catch (const std::bad_alloc&) {
        return ZXS_ERR_MEMORY;
    }
}

int CZXS_NameTable::LinkedNameSearch(const CZXS_LayerIterator& layers, const CFixedCollect& objects,
    int32_t start, std::optional<std::string_view> linkPattern, std::optional<std::string_view> ownPattern,
    const SearchCallback& callback) const
{
    if (!linkPattern || !ownPattern)
        return ZXS_ERR_PARAM;
    const std::string link = Folded(*linkPattern);
    const std::string own = Folded(*ownPattern);
    if (Size() == 0)
        return ZXS_ERR_RANGE;
    try {
        std::vector<uint8_t> memo(Size());
        return WalkLayers(layers, objects, start, true,
            [&](int32_t object, int32_t pointOffset, int32_t layer, const CZXS_ObjectRecord& record) {
                const int32_t id = record.NameId();
                if (NoName(id) || static_cast<uint32_t>(id) >= memo.size())
                    return 1;
                uint8_t& m = memo[static_cast<size_t>(id)];
                if ((m & kOwnTested) == 0)
                    m |= kOwnTested | (NameMatches(id, own) ? kOwnMatched : 0);
                const int32_t linkId = record.LinkId();
                if ((m & kOwnMatched) == 0 || NoName(linkId) || static_cast<uint32_t>(linkId) >= memo.size())
                    return 1;
                uint8_t& l = memo[static_cast<size_t>(linkId)];
                if ((l & kTested) == 0)
                    l |= kTested | (NameMatches(linkId, link) ? kMatched : 0);
                return (l & kMatched) != 0 ? callback(object, pointOffset, layer) : 1;
            });
    } catch (const std::bad_alloc&) {
        return ZXS_ERR_MEMORY;
    }
}

int CZXS_NameTable::LinkedByLinkSearch(const CZXS_LayerIterator& layers, const CFixedCollect& objects,
    int32_t linkId, std::optional<std::string_view> pattern, const SearchCallback& callback) const
{
    if (linkId == ZXS_NO_OBJECT || !pattern)
        return ZXS_ERR_PARAM;
    const std::string folded = Folded(*pattern);
    return WalkLayers(layers, objects, 0, true,
        [&](int32_t object, int32_t pointOffset, int32_t layer, const CZXS_ObjectRecord& record) {
            if (record.LinkId() != linkId || NoName(record.NameId())
                || NameMatches(record.NameId(), folded) == 0)
                return 1;
            return callback(object, pointOffset, layer);
        });
}

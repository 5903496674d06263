#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "kernel/doc/collect.h"

class CFixedCollect;
class CZXS_Dictionary;
class CZXS_LayerIterator;

// The map's object names: variable-length records whose byte offsets are the
// name ids of the object records. Record: length (16-bit), kind word (255 none,
// 254 alias with a 13-byte trailer), a 24-bit prefix when the map has them, then
// the 8-bit text in the map's code page, where byte 1 and a word number stand
// for a dictionary word.
class CZXS_NameTable : public CCollect {
public:
    // Forms of a name: 0 stored, 1 with the short dictionary variant, 2 and 3
    // the same in Latin letters.
    enum NameType { kStored = 0, kShort = 1, kLatin = 2, kLatinShort = 3 };
    static constexpr uint32_t kAliasTrailer = 13;
    static constexpr uint32_t kMaxText = 255;

    // (object number, point offset of the object, layer) -> 0 stops the search.
    using SearchCallback = std::function<int(int32_t object, int32_t pointOffset, int32_t layer)>;

    void SetDictionary(const CZXS_Dictionary* dictionary) { m_dictionary = dictionary; }
    void SetPrefixFlag(bool on) { m_prefixFlag = on ? 1 : 0; }
    void SetCodePage(int index) { m_codePage = static_cast<int16_t>(index); }
    int CodePage() const { return m_codePage; }

    std::string GetName(int32_t nameId, int type) const;
    std::string GetKindWord(int32_t nameId, int type) const;
    // For an alias its main record's id, else the id itself; -1 without a record.
    int32_t MainNameId(int32_t nameId) const;
    // 0x1fffff when the record has none.
    int32_t PrefixValue(int32_t nameId) const;
    // `pattern` is already folded. A leading '*' searches inside the name,
    // otherwise the pattern must begin it. Letter case is ignored.
    int NameMatches(int32_t nameId, std::optional<std::string_view> pattern) const;

    // A non-empty second pattern searches linked layers (LinkedNameSearch),
    // otherwise the plain layers (NameSearch). Results: 0, ZXS_ERR_PARAM
    // without a pattern, ZXS_ERR_RANGE without names, ZXS_ERR_MEMORY out of memory.
    int FindByName(const CZXS_LayerIterator& layers, const CFixedCollect& objects, int32_t start,
        std::optional<std::string_view> pattern, std::optional<std::string_view> secondPattern,
        const SearchCallback& callback, bool oncePerLayer) const;
    int NameSearch(const CZXS_LayerIterator& layers, const CFixedCollect& objects, int32_t start,
        std::optional<std::string_view> pattern, const SearchCallback& callback, bool oncePerLayer) const;
    int LinkedNameSearch(const CZXS_LayerIterator& layers, const CFixedCollect& objects, int32_t start,
        std::optional<std::string_view> linkPattern, std::optional<std::string_view> ownPattern,
        const SearchCallback& callback) const;
    // Objects of linked layers whose link id is `linkId` and whose name matches.
    int LinkedByLinkSearch(const CZXS_LayerIterator& layers, const CFixedCollect& objects, int32_t linkId,
        std::optional<std::string_view> pattern, const SearchCallback& callback) const;

private:
    struct Record {
        uint8_t kind = 255;
        const uint8_t* text = nullptr;
        uint32_t textLength = 0;
        const uint8_t* prefix = nullptr;
        const uint8_t* trailer = nullptr;
    };
    bool Parse(int32_t nameId, Record& record) const;
    std::string Expand(const Record& record, int variant) const;
    std::string Latin(std::string text) const;
    std::string Folded(std::string_view pattern) const;
    template <typename Visit>
    int WalkLayers(const CZXS_LayerIterator& layers, const CFixedCollect& objects, int32_t start, bool linked,
        Visit visit) const;

    const CZXS_Dictionary* m_dictionary = nullptr;
    int16_t m_prefixFlag = 0;
    int16_t m_codePage = 0;
};

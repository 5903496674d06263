#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "tools/mapwriter/map_writer.h"

// The map's names table: one record per name text, parent and street type.
namespace mapc {

// Street types kept apart from the street's own name, in the dictionary with
// their full (variant 0) and short (variant 1) forms, so that a street is
// found by the first letters of its own name.
struct KindWord {
    const char* full;
    const char* brief;
};
inline constexpr KindWord kKindWords[] = {
    { "улица", "ул." },
    { "проспект", "пр-т" },
    { "переулок", "пер." },
    { "бульвар", "б-р" },
    { "набережная", "наб." },
    { "шоссе", "ш." },
    { "площадь", "пл." },
    { "проезд", "пр-д" },
    { "аллея", "ал." },
    { "тупик", "туп." },
};
inline constexpr uint8_t kFirstKindWord = 128; // dictionary words below are layer names
inline constexpr uint8_t kNoKind = 255;

// A street name without its type word, and the type's word number.
std::pair<std::string_view, uint8_t> SplitKind(std::string_view name);

// Name ids are the byte offsets of the name records in the names table.
std::vector<int32_t> NameIds(const mapwriter::MapDescription& map);

class NamePool {
public:
    NamePool(mapwriter::MapDescription& map, int codePage)
        : m_map(map)
        , m_codePage(codePage)
    {
    }

    // Index of the name record of `utf8` with that parent and kind word; -1
    // for an empty name.
    int32_t Add(std::string_view utf8, int32_t parent = -1, uint8_t kind = kNoKind);

    // Gives every record its parent's name id as prefix, and returns the ids.
    // Throws CompileError when the names outgrow the table.
    std::vector<int32_t> Finish();

    const std::vector<int32_t>& Parents() const { return m_parents; }

private:
    mapwriter::MapDescription& m_map;
    int m_codePage;
    std::map<std::tuple<std::string, int32_t, uint8_t>, int32_t> m_index;
    std::vector<int32_t> m_parents;
};

} // namespace mapc

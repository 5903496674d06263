#include "tools/mapc/names.h"

#include <algorithm>
#include <climits>

#include "tools/mapc/osm_data.h"
#include "tools/mapc/text.h"

namespace mapc {

namespace {

constexpr uint32_t kNoPrefix = 0xFFFFFF;

} // namespace

std::pair<std::string_view, uint8_t> SplitKind(std::string_view name)
{
    const size_t first = name.find(' ');
    const size_t last = name.rfind(' ');
    if (first == std::string_view::npos)
        return { name, kNoKind };
    for (size_t k = 0; k < std::size(kKindWords); ++k) {
        const std::string_view word = kKindWords[k].full;
        const auto number = static_cast<uint8_t>(kFirstKindWord + k);
        if (name.substr(0, first) == word)
            return { name.substr(first + 1), number };
        if (name.substr(last + 1) == word)
            return { name.substr(0, last), number };
    }
    return { name, kNoKind };
}

std::vector<int32_t> NameIds(const mapwriter::MapDescription& map)
{
    std::vector<int32_t> ids;
    ids.reserve(map.names.size());
    int64_t at = 0;
    for (const mapwriter::Name& n : map.names) {
        ids.push_back(static_cast<int32_t>(std::min<int64_t>(at, INT32_MAX)));
        at += 3 + (map.namePrefixes ? 3 : 0) + static_cast<int64_t>(n.text.size()) + (n.kind == 254 ? 13 : 0);
    }
    return ids;
}

int32_t NamePool::Add(std::string_view utf8, int32_t parent, uint8_t kind)
{
    if (utf8.empty())
        return -1;
    std::string text = EightBit(m_codePage, utf8);
    const auto [it, added]
        = m_index.try_emplace({ text, parent, kind }, static_cast<int32_t>(m_map.names.size()));
    if (added) {
        mapwriter::Name name;
        name.text = std::move(text);
        name.kind = kind;
        m_map.names.push_back(std::move(name));
        m_parents.push_back(parent);
    }
    return it->second;
}

std::vector<int32_t> NamePool::Finish()
{
    const std::vector<int32_t> ids = NameIds(m_map);
    for (size_t i = 0; i < m_map.names.size(); ++i)
        m_map.names[i].prefix = m_parents[i] >= 0 ? static_cast<uint32_t>(ids[m_parents[i]]) : kNoPrefix;
    if (!ids.empty() && ids.back() >= mapwriter::kNone)
        throw CompileError("the names do not fit the names table (2 MiB)");
    return ids;
}

} // namespace mapc

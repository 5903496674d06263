#include "kernel/doc/poi_store.h"

#include <algorithm>
#include <new>

#include "kernel/api/result_codes.h"
#include "kernel/doc/stream_kind.h"

namespace {

// Rows by group and subgroup, built once: largest group + 1 rows, largest subgroup + 1 columns.
struct CategoryIndex {
    int rows = 0;
    int columns = 0;
    std::vector<uint16_t> entries;

    CategoryIndex()
    {
        for (const ZXS_PoiCategory& c : g_poiCategoryTable) {
            rows = std::max(rows, (c.code >> 8) + 1);
            columns = std::max(columns, (c.code & 0xFF) + 1);
        }
        entries.assign(static_cast<size_t>(rows) * columns, 0);
        for (int i = 0; i < kPoiCategoryCount; ++i) {
            const uint16_t code = g_poiCategoryTable[i].code;
            entries[static_cast<size_t>(code >> 8) * columns + (code & 0xFF)] = static_cast<uint16_t>(i);
        }
    }
};

const CategoryIndex& Index()
{
    static const CategoryIndex index;
    return index;
}

} // namespace

std::string CZXS_PoiStore::PoiPath(const std::string& mapPath)
{
    return ZXS_ReplaceExtension(mapPath, "zxp");
}

std::shared_ptr<const CZXS_PoiSet> CZXS_PoiStore::OpenSet(
    const std::string& mapPath, const uint8_t* block, uint32_t size)
{
    const std::string path = PoiPath(mapPath);
    const bool shared = block == nullptr;
    std::lock_guard lock(m_lock);
    if (shared) {
        for (Entry& e : m_sets) {
            if (e.shared && e.set->Path() == path) {
                ++e.uses;
                return e.set;
            }
        }
    }
    try {
        auto set = std::make_shared<CZXS_PoiSet>();
        if (!set->Load(path, block, size))
            return nullptr;
        m_sets.push_back({ set, shared, 1 });
        return set;
    } catch (const std::bad_alloc&) {
        SetError(ZXS_KERR_MEMORY);
        return nullptr;
    }
}

void CZXS_PoiStore::ReleaseSet(const std::shared_ptr<const CZXS_PoiSet>& set)
{
    std::lock_guard lock(m_lock);
    for (auto it = m_sets.begin(); it != m_sets.end(); ++it) {
        if (it->set == set) {
            if (--it->uses <= 0)
                m_sets.erase(it);
            return;
        }
    }
}

std::optional<CZXS_PoiStore::SetList> CZXS_PoiStore::Sets() const
{
    std::lock_guard lock(m_lock);
    try {
        SetList list;
        list.reserve(m_sets.size());
        for (const Entry& e : m_sets)
            list.push_back(e.set);
        return list;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

int CZXS_PoiStore::UseCount(const CZXS_PoiSet* set) const
{
    std::lock_guard lock(m_lock);
    for (const Entry& e : m_sets)
        if (e.set.get() == set)
            return e.uses;
    return 0;
}

void CZXS_PoiStore::Clear()
{
    std::lock_guard lock(m_lock);
    m_sets.clear();
}

bool CZXS_PoiStore::BuildCategoryIndex()
{
    try {
        return !Index().entries.empty();
    } catch (const std::bad_alloc&) {
        SetError(ZXS_KERR_MEMORY);
        return false;
    }
}

const ZXS_PoiCategory& CZXS_PoiStore::CategoryRow(uint16_t code)
{
    const CategoryIndex& index = Index();
    const int group = code >> 8;
    const int subgroup = code & 0xFF;
    if (group >= index.rows || subgroup >= index.columns)
        return g_poiCategoryTable[0];
    return g_poiCategoryTable[index.entries[static_cast<size_t>(group) * index.columns + subgroup]];
}

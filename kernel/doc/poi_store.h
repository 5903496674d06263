#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "kernel/doc/object.h"
#include "kernel/doc/poi_set.h"
#include "kernel/doc/poi_tables.h"

// The POI sets of the open maps and the index of the POI categories. Sets of
// map files are shared by path and counted; a memory map's set is its own.
// Queries hold the sets they walk, so closing a map never pulls a set from
// under a running query.
class CZXS_PoiStore : public CZXS_Object {
public:
    using SetList = std::vector<std::shared_ptr<const CZXS_PoiSet>>;

    const char16_t* ClassName() const override { return u"CZXS_PoiStore"; }

    // The POI file path of a map: its extension replaced by "zxp".
    static std::string PoiPath(const std::string& mapPath);
    // The set of the map: a file map's set is shared by path; `block` (with its
    // size) stands in for the file. None when there is no usable set.
    std::shared_ptr<const CZXS_PoiSet> OpenSet(
        const std::string& mapPath, const uint8_t* block, uint32_t size);
    void ReleaseSet(const std::shared_ptr<const CZXS_PoiSet>& set);
    // The loaded sets in the order their maps opened; none when memory is
    // short, which an empty list would pass off as no sets at all.
    std::optional<SetList> Sets() const;
    int UseCount(const CZXS_PoiSet* set) const;
    void Clear();

    // False with error 7 when memory is short.
    bool BuildCategoryIndex();
    // The category row of a code; row 0 for codes not in the table.
    static const ZXS_PoiCategory& CategoryRow(uint16_t code);

private:
    struct Entry {
        std::shared_ptr<const CZXS_PoiSet> set;
        bool shared = false;
        int uses = 0;
    };
    mutable std::mutex m_lock;
    std::vector<Entry> m_sets;
};

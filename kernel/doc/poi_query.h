#pragma once

#include <cstdint>

#include "kernel/doc/poi_store.h"

class CZXS_Coords;
class CZXS_TzxDoc;

// Walks the POI records of every loaded set in turn, optionally only those
// inside a geographic box (angles of the POI file, edges included).
class CZXS_PoiQuery {
public:
    struct Box {
        int32_t leastLongitude = 0;
        int32_t leastLatitude = 0;
        int32_t greatestLongitude = 0;
        int32_t greatestLatitude = 0;
    };

    CZXS_PoiQuery() = default;
    // A query for a view of the map: its box is the view's geographic box
    // (none when that cannot be had), and positions are on the view's screen.
    void Init(const CZXS_Coords* view, const CZXS_TzxDoc* doc);
    void Clear();
    void SetBox(const Box& box);
    bool HasBox() const { return m_boxValid; }
    const Box& GetBox() const { return m_box; }

    // Restarts at the first record of the store's first set; 1 positioned on a
    // record in the box, 0 none, -1 when memory is short (nothing to walk).
    int First(const CZXS_PoiStore& store);
    // On to the next record in the box, through the following sets; 0 at the end.
    int Next();
    bool InBox(const uint8_t* record) const;

    const uint8_t* Record() const { return m_record; }
    const CZXS_PoiSet* Set() const { return m_set < m_sets.size() ? m_sets[m_set].get() : nullptr; }
    // The symbol number of the current record's category (of code 0 without a record).
    uint16_t CategoryValue() const;
    // The current record on the view's screen ((0, 0) without a view); false
    // without a record.
    bool Position(int32_t& x, int32_t& y) const;

private:
    CZXS_PoiStore::SetList m_sets;
    size_t m_set = 0;
    const uint8_t* m_record = nullptr;
    bool m_boxValid = false;
    Box m_box;
    const CZXS_Coords* m_view = nullptr;
    const CZXS_TzxDoc* m_doc = nullptr;
};

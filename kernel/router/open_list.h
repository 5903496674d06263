#pragma once

#include <cstdint>

#include "kernel/router/leg_array.h"

// The search's open list: entries ordered by cost, and among equal costs by the
// order they were pushed (earlier first). A four-way heap, so a search stays
// O(E log E) however the costs rise (a sorted tree degenerates into a list
// as the costs of a search only ever grow).
class CZXS_OpenList {
public:
    struct Entry {
        uint64_t cost;
        uint32_t sequence;
        uint32_t edge;
        uint32_t predecessor;
    };
    static constexpr uint32_t kInitialCapacity = 1024;

    // Room for the first entries, the list emptied and the push counter reset.
    bool Prepare();
    void Release();
    bool Push(uint64_t cost, uint32_t edge, uint32_t predecessor);
    // False when the list is empty.
    bool Pop(Entry& entry);
    bool IsEmpty() const { return m_count == 0; }
    uint32_t Size() const { return m_count; }

private:
    static constexpr uint32_t kArity = 4;

    static bool Before(const Entry& a, const Entry& b)
    {
        return a.cost < b.cost || (a.cost == b.cost && a.sequence < b.sequence);
    }

    CZXS_LegArray<Entry> m_heap;
    uint32_t m_count = 0;
    uint32_t m_pushes = 0;
};

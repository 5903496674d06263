#include "kernel/router/open_list.h"

bool CZXS_OpenList::Prepare()
{
    m_count = 0;
    m_pushes = 0;
    return m_heap.Allocate(kInitialCapacity);
}

void CZXS_OpenList::Release()
{
    m_heap.Free();
    m_count = 0;
    m_pushes = 0;
}

bool CZXS_OpenList::Push(uint64_t cost, uint32_t edge, uint32_t predecessor)
{
    if (m_count == m_heap.Count()) {
        const size_t capacity
            = m_heap.Count() < kInitialCapacity ? kInitialCapacity : m_heap.Count() + m_heap.Count() / 2;
        if (!m_heap.Grow(capacity))
            return false;
    }
    const Entry entry { cost, m_pushes++, edge, predecessor };
    Entry* heap = m_heap.Data();
    uint32_t hole = m_count++;
    while (hole > 0) {
        const uint32_t parent = (hole - 1) / kArity;
        if (!Before(entry, heap[parent]))
            break;
        heap[hole] = heap[parent];
        hole = parent;
    }
    heap[hole] = entry;
    return true;
}

bool CZXS_OpenList::Pop(Entry& entry)
{
    if (m_count == 0)
        return false;
    Entry* heap = m_heap.Data();
    entry = heap[0];
    const Entry last = heap[--m_count];
    const uint32_t count = m_count;
    uint32_t hole = 0;
    for (;;) {
        const uint32_t first = kArity * hole + 1;
        if (first >= count)
            break;
        uint32_t child = first;
        const uint32_t end = first + kArity < count ? first + kArity : count;
        for (uint32_t c = first + 1; c < end; ++c) {
            if (Before(heap[c], heap[child]))
                child = c;
        }
        if (!Before(heap[child], last))
            break;
        heap[hole] = heap[child];
        hole = child;
    }
    if (count > 0)
        heap[hole] = last;
    return true;
}

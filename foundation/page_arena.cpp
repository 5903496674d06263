#include "foundation/page_arena.h"

#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TRAVENOR_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define TRAVENOR_ASAN 1
#endif
#ifdef TRAVENOR_ASAN
#include <sanitizer/asan_interface.h>
// Committed pages stay poisoned until a block is handed out, so that the
// sanitizer sees writes past a block's end even inside its last page.
#define ARENA_POISON(p, n) __asan_poison_memory_region((p), (n))
#define ARENA_UNPOISON(p, n) __asan_unpoison_memory_region((p), (n))
#else
#define ARENA_POISON(p, n) ((void)(p), (void)(n))
#define ARENA_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

namespace {

PageArena g_arena;

uint8_t* ReservedEnd() { return g_arena.base + g_arena.reservedPages * g_arena.pageSize; }

bool ArenaCommitStep()
{
    const size_t bytes = g_arena.commitStep * g_arena.pageSize;
    if (g_arena.committedEnd + bytes > ReservedEnd())
        return false;
    if (mprotect(g_arena.committedEnd, bytes, PROT_READ | PROT_WRITE) != 0)
        return false;
    ARENA_POISON(g_arena.committedEnd, bytes);
    g_arena.committedEnd += bytes;
    return true;
}

bool ArenaInit(size_t reservedPages, size_t stepPages)
{
    const long page = sysconf(_SC_PAGESIZE);
    g_arena.pageSize = page > 0 ? static_cast<size_t>(page) : 4096;
    g_arena.reservedPages = reservedPages;
    g_arena.commitStep = stepPages;
    void* region = mmap(nullptr, reservedPages * g_arena.pageSize, PROT_NONE,
        MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (region == MAP_FAILED) {
        g_arena = PageArena {};
        return false;
    }
    g_arena.base = static_cast<uint8_t*>(region);
    g_arena.top = g_arena.committedEnd = g_arena.base;
    if (!ArenaCommitStep()) {
        munmap(region, reservedPages * g_arena.pageSize);
        g_arena = PageArena {};
        return false;
    }
    g_arena.initialised = true;
    return true;
}

} // namespace

void* ArenaAlloc(size_t size)
{
    if (!g_arena.initialised && !ArenaInit(kArenaReservedPages, kArenaCommitPages))
        return nullptr;
    uint8_t* const p = g_arena.top;
    const size_t room = static_cast<size_t>(ReservedEnd() - p);
    // The header and the block must fit in what is left of the region.
    if (size > room || room - size < 4 || size > UINT32_MAX - 4)
        return nullptr;
    const size_t page = g_arena.pageSize;
    const uintptr_t last = reinterpret_cast<uintptr_t>(p) + size + 3;
    uint8_t* const newTop = reinterpret_cast<uint8_t*>(page * (last / page + 1));
    if (newTop > ReservedEnd())
        return nullptr;
    while (g_arena.committedEnd < newTop) {
        if (!ArenaCommitStep())
            return nullptr;
    }
    g_arena.top = newTop;
    ARENA_UNPOISON(p, size + 4);
    const uint32_t header = static_cast<uint32_t>(size + 4);
    std::memcpy(p, &header, 4);
    return p + 4;
}

void ArenaFree(void*) { }

bool ArenaRelease()
{
    if (!g_arena.base) {
        g_arena = PageArena {};
        return true;
    }
    const size_t bytes = g_arena.reservedPages * g_arena.pageSize;
    ARENA_UNPOISON(g_arena.base, static_cast<size_t>(g_arena.committedEnd - g_arena.base));
    const bool ok = munmap(g_arena.base, bytes) == 0;
    g_arena = PageArena {};
    return ok;
}

const PageArena& ArenaState() { return g_arena; }

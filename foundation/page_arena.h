#pragma once
// The page arena: one large reserved region from which pixel blocks are cut on
// page boundaries and committed a few pages at a time. Blocks are never freed
// one by one; the whole arena goes at once with ArenaRelease.
#include <cstddef>
#include <cstdint>

struct PageArena {
    uint8_t* base = nullptr; // start of the reserved region
    uint8_t* top = nullptr; // next free address
    uint8_t* committedEnd = nullptr;
    size_t pageSize = 0;
    size_t commitStep = 0; // pages per commit
    size_t reservedPages = 0;
    bool initialised = false;
};

inline constexpr size_t kArenaReservedPages = 12800;
inline constexpr size_t kArenaCommitPages = 25;

// A block of `size` bytes preceded by a 4-byte header (size + 4), or null when
// the arena is exhausted or cannot commit. A failed request leaves the arena as
// it was, so later smaller requests still succeed.
void* ArenaAlloc(size_t size);
// Blocks are not reusable; kept so callers say where a block is given up.
void ArenaFree(void* block);
// Unmaps the whole arena; the next ArenaAlloc starts a new one. True when the
// region was given back (or there was none).
bool ArenaRelease();

// The arena's bookkeeping, for inspection.
const PageArena& ArenaState();

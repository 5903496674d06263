#pragma once

#include <cstddef>
#include <cstdint>

// Raw buffers of the kernel's tables. Allocation can be made to fail on purpose
// so the out-of-memory paths can be exercised.
void* ZXS_MemAlloc(size_t bytes); // zero-filled; null on failure
void* ZXS_MemRealloc(void* block, size_t bytes); // null on failure, block kept
void ZXS_MemFree(void* block);

// The memory top-up asked once after a failed allocation: given a byte count it
// may make memory available. Its answer does not change what the caller does next.
using ZXS_TopUpFunction = int (*)(uint32_t bytes);
void ZXS_SetMemoryTopUp(ZXS_TopUpFunction topUp); // null restores the default (does nothing)
int ZXS_MemoryTopUp(uint32_t bytes);

// Makes the next `count` allocations fail (0 stops it); for out-of-memory tests.
void ZXS_FailNextAllocations(int count);

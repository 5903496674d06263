#include "kernel/doc/kernel_memory.h"

#include <atomic>
#include <cstdlib>

namespace {

std::atomic<int> g_failCount { 0 };
std::atomic<ZXS_TopUpFunction> g_topUp { nullptr };

bool ShouldFail()
{
    int n = g_failCount.load();
    while (n > 0) {
        if (g_failCount.compare_exchange_weak(n, n - 1))
            return true;
    }
    return false;
}

} // namespace

void* ZXS_MemAlloc(size_t bytes)
{
    if (ShouldFail())
        return nullptr;
    return std::calloc(bytes == 0 ? 1 : bytes, 1);
}

void* ZXS_MemRealloc(void* block, size_t bytes)
{
    if (ShouldFail())
        return nullptr;
    return std::realloc(block, bytes == 0 ? 1 : bytes);
}

void ZXS_MemFree(void* block) { std::free(block); }

void ZXS_SetMemoryTopUp(ZXS_TopUpFunction topUp) { g_topUp.store(topUp); }

int ZXS_MemoryTopUp(uint32_t bytes)
{
    const ZXS_TopUpFunction topUp = g_topUp.load();
    return topUp != nullptr ? topUp(bytes) : 0;
}

void ZXS_FailNextAllocations(int count) { g_failCount.store(count < 0 ? 0 : count); }

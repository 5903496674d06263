#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "kernel/doc/kernel_memory.h"

// A plain array of a search leg, taken from the kernel's allocator so that a
// failure comes back as "no memory" rather than an exception, and so that the
// memory top-up gets its one chance before the leg gives up.
template <typename T> class CZXS_LegArray {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    CZXS_LegArray() = default;
    ~CZXS_LegArray() { Free(); }
    CZXS_LegArray(const CZXS_LegArray&) = delete;
    CZXS_LegArray& operator=(const CZXS_LegArray&) = delete;

    // Zero-filled room for `count` items; keeps what it has when it is already
    // large enough.
    bool Allocate(size_t count)
    {
        if (m_data != nullptr && count <= m_count)
            return true;
        Free();
        const size_t bytes = count * sizeof(T);
        void* block = ZXS_MemAlloc(bytes);
        if (block == nullptr && ZXS_MemoryTopUp(static_cast<uint32_t>(bytes * 11 / 10)) != 0)
            block = ZXS_MemAlloc(bytes);
        if (block == nullptr)
            return false;
        m_data = static_cast<T*>(block);
        m_count = count;
        return true;
    }
    // Grows to `count` items, keeping the items held.
    bool Grow(size_t count)
    {
        void* block = ZXS_MemRealloc(m_data, count * sizeof(T));
        if (block == nullptr)
            return false;
        m_data = static_cast<T*>(block);
        m_count = count;
        return true;
    }
    void Fill(T value)
    {
        for (size_t i = 0; i < m_count; ++i)
            m_data[i] = value;
    }
    void Free()
    {
        ZXS_MemFree(m_data);
        m_data = nullptr;
        m_count = 0;
    }
    bool IsAllocated() const { return m_data != nullptr; }
    size_t Count() const { return m_count; }
    T& operator[](size_t i) { return m_data[i]; }
    const T& operator[](size_t i) const { return m_data[i]; }
    T* Data() { return m_data; }
    const T* Data() const { return m_data; }

private:
    T* m_data = nullptr;
    size_t m_count = 0;
};

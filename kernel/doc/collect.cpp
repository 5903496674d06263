#include "kernel/doc/collect.h"

#include <algorithm>
#include <cstring>

#include "kernel/api/result_codes.h"
#include "kernel/doc/disk_stream.h"
#include "kernel/doc/kernel_memory.h"

namespace {

uint16_t ReadLength(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

} // namespace

CCollect::~CCollect() { Free(); }

void CCollect::Reset()
{
    m_capacity = 0;
    m_size = 0;
    m_growth = 0;
    m_data = nullptr;
    m_borrowed = 0;
}

int CCollect::Free()
{
    const bool had = m_data != nullptr;
    if (m_borrowed == 0)
        ZXS_MemFree(m_data);
    Reset();
    return had ? 1 : 0;
}

int CCollect::Allocate(uint32_t bytes, uint32_t growth)
{
    void* block = ZXS_MemAlloc(bytes);
    if (block == nullptr) {
        ZXS_MemoryTopUp(
            static_cast<uint32_t>(std::min<uint64_t>(uint64_t { bytes } * 11 / 10 + 65536, UINT32_MAX)));
        block = ZXS_MemAlloc(bytes);
    }
    if (block == nullptr) {
        SetError(ZXS_KERR_MEMORY);
        return 0;
    }
    // A buffer already held is kept by its owner's earlier call; replacing it
    // here would leak it, so it is released first.
    if (m_borrowed == 0)
        ZXS_MemFree(m_data);
    m_borrowed = 0;
    m_data = static_cast<uint8_t*>(block);
    m_capacity = bytes;
    m_growth = growth;
    if (m_size > m_capacity)
        m_size = m_capacity;
    return 1;
}

bool CCollect::MakeOwn()
{
    if (m_borrowed == 0)
        return true;
    auto* own = static_cast<uint8_t*>(ZXS_MemAlloc(m_capacity));
    if (own == nullptr) {
        SetError(ZXS_KERR_MEMORY);
        return false;
    }
    if (m_size > 0)
        std::memcpy(own, m_data, m_size);
    m_data = own;
    m_borrowed = 0;
    return true;
}

bool CCollect::Reserve(uint64_t needed)
{
    if (!MakeOwn())
        return false;
    if (needed <= m_capacity)
        return true;
    const uint64_t target = needed + m_growth;
    if (target > UINT32_MAX) {
        SetError(ZXS_KERR_MEMORY);
        return false;
    }
    auto* grown = static_cast<uint8_t*>(ZXS_MemRealloc(m_data, static_cast<size_t>(target)));
    if (grown == nullptr) {
        SetError(ZXS_KERR_MEMORY);
        return false;
    }
    std::memset(grown + m_capacity, 0, static_cast<size_t>(target - m_capacity));
    m_data = grown;
    m_capacity = static_cast<uint32_t>(target);
    return true;
}

int CCollect::SetSize(uint32_t bytes)
{
    if (bytes == m_size)
        return 1;
    if (bytes > m_capacity && !Reserve(bytes))
        return 0;
    m_size = bytes;
    return 1;
}

int CCollect::EnsureSize(uint32_t bytes) { return m_size < bytes ? SetSize(bytes) : 1; }

const uint8_t* CCollect::Item(uint32_t offset) const { return offset < m_size ? m_data + offset : nullptr; }

uint8_t* CCollect::MutableItem(uint32_t offset)
{
    if (offset >= m_size || !MakeOwn())
        return nullptr;
    return m_data + offset;
}

uint16_t CCollect::RecordLength(uint32_t offset) const
{
    if (uint64_t { offset } + 2 > m_size)
        return 0;
    const uint16_t length = ReadLength(m_data + offset);
    if (length < 2 || uint64_t { offset } + length > m_size)
        return 0;
    return length;
}

const uint8_t* CCollect::Next(const uint8_t* record) const
{
    if (record == nullptr || record < m_data || record >= m_data + m_size)
        return nullptr;
    const int32_t next = NextOffset(static_cast<int32_t>(record - m_data));
    return next < 0 ? nullptr : m_data + next;
}

int32_t CCollect::NextOffset(int32_t offset) const
{
    if (offset < 0)
        return -1;
    const uint16_t length = RecordLength(static_cast<uint32_t>(offset));
    // A zero or overlong length would loop or run past the table: the walk ends.
    if (length == 0)
        return -1;
    const uint32_t next = static_cast<uint32_t>(offset) + length;
    return RecordLength(next) != 0 ? static_cast<int32_t>(next) : -1;
}

int32_t CCollect::Insert(const uint8_t* record, int32_t offset)
{
    if (record == nullptr || offset < 0 || static_cast<uint32_t>(offset) > m_size)
        return -1;
    const uint16_t length = ReadLength(record);
    if (length < 2)
        return -1;
    if (!Reserve(uint64_t { m_size } + length))
        return -1;
    std::memmove(m_data + offset + length, m_data + offset, m_size - offset);
    std::memcpy(m_data + offset, record, length);
    m_size += length;
    return offset;
}

int32_t CCollect::Append(const uint8_t* record) { return Insert(record, static_cast<int32_t>(m_size)); }

int32_t CCollect::Replace(const uint8_t* record, int32_t offset)
{
    if (record == nullptr || offset < 0)
        return -1;
    const uint16_t oldLength = RecordLength(static_cast<uint32_t>(offset));
    const uint16_t newLength = ReadLength(record);
    if (oldLength == 0 || newLength < 2)
        return -1;
    const uint32_t tail = static_cast<uint32_t>(offset) + oldLength;
    if (newLength > oldLength) {
        if (!Reserve(uint64_t { m_size } + (newLength - oldLength)))
            return -1;
    } else if (!MakeOwn()) {
        return -1;
    }
    std::memmove(m_data + offset + newLength, m_data + tail, m_size - tail);
    const uint32_t newSize = m_size - oldLength + newLength;
    if (newSize < m_size)
        std::memset(m_data + newSize, 0, m_size - newSize);
    m_size = newSize;
    std::memcpy(m_data + offset, record, newLength);
    return offset;
}

int CCollect::Remove(int32_t offset)
{
    if (offset < 0)
        return 0;
    const uint16_t length = RecordLength(static_cast<uint32_t>(offset));
    if (length == 0 || !MakeOwn())
        return 0;
    const uint32_t tail = static_cast<uint32_t>(offset) + length;
    std::memmove(m_data + offset, m_data + tail, m_size - tail);
    m_size -= length;
    std::memset(m_data + m_size, 0, length);
    return 1;
}

int CCollect::Load(CZXS_DiskStream& stream, uint32_t bytes)
{
    if (const uint8_t* region = stream.TakeRegion(bytes)) {
        if (m_borrowed == 0)
            ZXS_MemFree(m_data);
        m_data = const_cast<uint8_t*>(region); // read-only: MakeOwn copies before any change
        m_borrowed = 1;
        m_capacity = bytes;
        m_size = bytes;
        return 1;
    }
    if (stream.SourceKind() != CZXS_DiskStream::kDisk)
        return 0; // a memory-backed source without that many bytes left
    // Byte counts here whatever the element size of a derived table.
    if (bytes > m_capacity && CCollect::Allocate(bytes, m_growth) == 0)
        return 0;
    if (!MakeOwn() || CCollect::SetSize(bytes) == 0)
        return 0;
    return stream.ReadExact(m_data, bytes);
}

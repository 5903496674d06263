#include "kernel/doc/byte_collect.h"

#include <cstring>

#include "kernel/api/result_codes.h"

bool CByteCollect::ElementBytes(uint64_t count, uint32_t& bytes)
{
    const uint64_t total = ElementsToBytes(count);
    if (total > UINT32_MAX) {
        SetError(ZXS_KERR_MEMORY);
        return false;
    }
    bytes = static_cast<uint32_t>(total);
    return true;
}

int CByteCollect::Allocate(uint32_t count, uint32_t growth)
{
    uint32_t bytes = 0;
    uint32_t growthBytes = 0;
    if (!ElementBytes(count, bytes) || !ElementBytes(growth, growthBytes))
        return 0;
    return CCollect::Allocate(bytes, growthBytes);
}

int CByteCollect::SetSize(uint32_t count)
{
    uint32_t bytes = 0;
    return ElementBytes(count, bytes) ? CCollect::SetSize(bytes) : 0;
}

int CByteCollect::EnsureSize(uint32_t count)
{
    uint32_t bytes = 0;
    return ElementBytes(count, bytes) ? CCollect::EnsureSize(bytes) : 0;
}

const uint8_t* CByteCollect::Item(uint32_t index) const
{
    const uint64_t offset = ElementsToBytes(index);
    if (offset + RecordSize() > Size())
        return nullptr;
    return Data() + offset;
}

uint8_t* CByteCollect::MutableElement(uint32_t index)
{
    if (Item(index) == nullptr || !MakeOwn())
        return nullptr;
    return MutableData() + ElementsToBytes(index);
}

const uint8_t* CByteCollect::Next(const uint8_t* element) const
{
    if (element == nullptr || element < Data())
        return nullptr;
    const uint64_t next = static_cast<uint64_t>(element - Data()) + RecordSize();
    return next + RecordSize() <= Size() ? Data() + next : nullptr;
}

int32_t CByteCollect::InsertAt(uint32_t index, const uint8_t* source, uint32_t count)
{
    uint32_t offset = 0;
    uint32_t bytes = 0;
    if (index > Count() || !ElementBytes(index, offset) || !ElementBytes(count, bytes))
        return -1;
    if (!Reserve(uint64_t { Size() } + bytes))
        return -1;
    uint8_t* data = MutableData();
    std::memmove(data + offset + bytes, data + offset, Size() - offset);
    if (source != nullptr)
        std::memcpy(data + offset, source, bytes);
    else
        std::memset(data + offset, 0, bytes);
    m_size += bytes;
    return static_cast<int32_t>(index);
}

int32_t CByteCollect::Append(const uint8_t* source, uint32_t count)
{
    return InsertAt(Count(), source, count);
}

int32_t CByteCollect::Append(const uint8_t* element) { return InsertAt(Count(), element, 1); }

int32_t CByteCollect::Insert(const uint8_t* element, int32_t index)
{
    return index < 0 ? -1 : InsertAt(static_cast<uint32_t>(index), element, 1);
}

int CByteCollect::RemoveAt(uint32_t index, uint32_t count)
{
    if (uint64_t { index } + count > Count() || !MakeOwn())
        return 0;
    const uint32_t offset = static_cast<uint32_t>(ElementsToBytes(index));
    const uint32_t bytes = static_cast<uint32_t>(ElementsToBytes(count));
    uint8_t* data = MutableData();
    std::memmove(data + offset, data + offset + bytes, Size() - offset - bytes);
    m_size -= bytes;
    return 1;
}

int CByteCollect::Truncate(uint32_t count)
{
    if (count > Count())
        return 0;
    return RemoveAt(Count() - count, count);
}

const uint8_t* CByteCollect::Last() const
{
    return Size() < RecordSize() ? nullptr : Data() + (Count() - 1) * uint64_t { RecordSize() };
}

const uint8_t* CByteCollect::Previous(const uint8_t* element) const
{
    if (element == nullptr || element < Data() + RecordSize() || element > Data() + Size())
        return nullptr;
    return element - RecordSize();
}

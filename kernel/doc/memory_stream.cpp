#include "kernel/doc/memory_stream.h"

#include <cstring>

int CZXS_MemoryStream::Open(const std::string&, uint32_t, CZXS_StreamError* error)
{
    if (error != nullptr) {
        error->cause = ZXS_CAUSE_GENERIC;
        error->osError = 0;
    }
    return 0;
}

void CZXS_MemoryStream::Assign(const uint8_t* block, uint32_t size)
{
    SetBlock(block, size);
    SetName("memfile");
}

void CZXS_MemoryStream::SetBlock(const uint8_t* block, uint32_t size)
{
    m_block = block;
    m_size = block != nullptr ? size : 0;
    m_position = 0;
}

uint32_t CZXS_MemoryStream::Read(void* buffer, uint32_t n)
{
    if (m_block == nullptr || buffer == nullptr || m_position >= m_size)
        return 0;
    const uint32_t count = n < m_size - m_position ? n : m_size - m_position;
    std::memcpy(buffer, m_block + m_position, count);
    m_position += count;
    return count;
}

uint32_t CZXS_MemoryStream::Seek(int32_t offset, int origin)
{
    int64_t target = 0;
    switch (origin) {
    case 0:
        target = offset;
        break;
    case 1:
        target = int64_t { m_position } + offset;
        break;
    case 2:
        target = int64_t { m_size } + offset;
        break;
    default:
        target = -1;
        break;
    }
    if (target < 0 || target > int64_t { m_size }) {
        m_position = m_size;
        return ZXS_SEEK_FAILED;
    }
    m_position = static_cast<uint32_t>(target);
    return m_position;
}

const uint8_t* CZXS_MemoryStream::TakeRegion(uint32_t n)
{
    if (m_block == nullptr || m_position > m_size || n > m_size - m_position)
        return nullptr;
    const uint8_t* region = m_block + m_position;
    m_position += n;
    return region;
}

#pragma once

#include "kernel/doc/disk_stream.h"

// Kernel stream over a memory block the application owns. Open always fails:
// the block is assigned directly.
class CZXS_MemoryStream : public CZXS_DiskStream {
public:
    CZXS_MemoryStream()
        : CZXS_DiskStream(kMemory)
    {
    }

    int Open(const std::string& path, uint32_t flags, CZXS_StreamError* error) override;
    void Close() override { }
    uint32_t Read(void* buffer, uint32_t n) override;
    uint32_t GetPosition() override { return m_position; }
    // Reaching the very end is allowed; beyond it, or before the start, fails
    // and leaves the position at the end so that a careless read gets nothing.
    uint32_t Seek(int32_t offset, int origin) override;
    const uint8_t* TakeRegion(uint32_t n) override;

    void Assign(const uint8_t* block, uint32_t size);
    const uint8_t* Block() const { return m_block; }
    uint32_t BlockSize() const { return m_size; }

protected:
    explicit CZXS_MemoryStream(Kind kind)
        : CZXS_DiskStream(kind)
    {
    }
    void SetBlock(const uint8_t* block, uint32_t size);

private:
    const uint8_t* m_block = nullptr;
    uint32_t m_position = 0;
    uint32_t m_size = 0;
};

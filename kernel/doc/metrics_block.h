#pragma once

#include <array>
#include <cstdint>

#include "kernel/doc/byte_collect.h"

class CZXS_DiskStream;

// The map's 776-byte metrics block and the blob that follows it in the file
// (its size is the block's first 32-bit value). Kept, not interpreted.
class CZXS_MetricsBlock {
public:
    static constexpr uint32_t kSize = 776;

    // 1, or 0 when a read fails, the blob runs past the stream or memory fails.
    int Read(CZXS_DiskStream& stream);
    void FreeBlob() { m_blob.Free(); }

    const std::array<uint8_t, kSize>& Block() const { return m_block; }
    const CByteCollect& Blob() const { return m_blob; }
    uint32_t BlobSize() const;

private:
    std::array<uint8_t, kSize> m_block {};
    CByteCollect m_blob;
};

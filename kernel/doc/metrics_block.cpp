#include "kernel/doc/metrics_block.h"

#include "kernel/doc/disk_stream.h"

uint32_t CZXS_MetricsBlock::BlobSize() const
{
    return m_block[0] | (m_block[1] << 8) | (m_block[2] << 16) | (uint32_t { m_block[3] } << 24);
}

int CZXS_MetricsBlock::Read(CZXS_DiskStream& stream)
{
    m_blob.Free();
    if (stream.ReadExact(m_block.data(), kSize) == 0)
        return 0;
    const uint32_t size = BlobSize();
    if (size == 0)
        return 1;
    // The size comes from the file: it must not exceed what the stream holds.
    const uint32_t at = stream.GetPosition();
    const uint32_t end = stream.Seek(0, 2);
    if (at == ZXS_SEEK_FAILED || end == ZXS_SEEK_FAILED || stream.Seek(static_cast<int32_t>(at), 0) != at
        || size > end - at)
        return 0;
    return m_blob.Load(stream, size);
}

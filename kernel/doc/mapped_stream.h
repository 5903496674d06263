#pragma once

#include "kernel/doc/memory_stream.h"
#include "kernel/doc/unique_fd.h"

// Kernel stream over a read-only memory mapping of a whole file, opened
// exclusively. Tables loaded from it use the mapped bytes in place.
class CZXS_MappedStream : public CZXS_MemoryStream {
public:
    CZXS_MappedStream()
        : CZXS_MemoryStream(kMapped)
    {
    }
    ~CZXS_MappedStream() override;

    int Open(const std::string& path, uint32_t flags, CZXS_StreamError* error) override;
    void Close() override;
    void ReleaseReadPages() override;

private:
    CZXS_UniqueFd m_file;
    void* m_view = nullptr;
    uint32_t m_viewSize = 0;
};

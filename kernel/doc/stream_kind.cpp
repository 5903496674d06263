#include "kernel/doc/stream_kind.h"

#include <new>

#include "kernel/doc/mapped_stream.h"
#include "kernel/doc/memory_stream.h"

std::unique_ptr<CZXS_DiskStream> ZXS_NewStream(int kind)
{
    switch (kind) {
    case CZXS_DiskStream::kDisk:
        return std::unique_ptr<CZXS_DiskStream>(new (std::nothrow) CZXS_DiskStream);
    case CZXS_DiskStream::kMapped:
        return std::unique_ptr<CZXS_DiskStream>(new (std::nothrow) CZXS_MappedStream);
    case CZXS_DiskStream::kMemory:
        return std::unique_ptr<CZXS_DiskStream>(new (std::nothrow) CZXS_MemoryStream);
    default:
        return nullptr;
    }
}

std::string ZXS_ReplaceExtension(const std::string& path, const char* extension)
{
    std::string out = path;
    if (extension == nullptr || extension[0] == 0)
        return out;
    const char* tail = extension[0] == '.' ? extension + 1 : extension;
    const size_t dot = out.rfind('.');
    if (dot != std::string::npos)
        out.erase(dot + 1);
    else
        out += '.';
    out += tail;
    return out;
}

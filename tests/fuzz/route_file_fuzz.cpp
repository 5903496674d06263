// Feeds arbitrary bytes to the route file reader and writes back what it reads.
#include "nav/route_file.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    RouteFileContents contents;
    if (ReadRouteFile(std::span(data, size), 4, contents)) {
        if (contents.points.empty() || contents.points.size() > 4)
            __builtin_trap();
        RouteFileContents again;
        if (!ReadRouteFile(WriteRouteFile(contents), 4, again)
            || again.points.size() != contents.points.size())
            __builtin_trap();
    }
    return 0;
}

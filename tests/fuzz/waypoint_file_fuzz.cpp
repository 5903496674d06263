// Feeds arbitrary bytes to the waypoint file reader as a file's encoded bytes,
// writes back what it reads and reads that again: the same waypoints with the
// same names and types, the position valid or not as before.
#include "search/waypoint_file.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> bytes(data, data + size);
    kwp::Decode(bytes, kwp::kEncodedMode);
    std::vector<CWaypoint> read = kwp::ParseRecords(bytes, QStringLiteral("fuzz.kwp"));
    std::string written = kwp::FormatFile(read, QStringLiteral("fuzz.kwp"), 0);
    const std::vector<CWaypoint> again = kwp::ParseRecords(
        { reinterpret_cast<const uint8_t*>(written.data()), written.size() }, QStringLiteral("fuzz.kwp"));
    if (again.size() != read.size())
        __builtin_trap();
    // A text the first reading did not reach was empty, and an empty text reads as one blank.
    const auto same = [](const QString& first, const QString& second) {
        return second == (first.isEmpty() ? QStringLiteral(" ") : first);
    };
    for (size_t i = 0; i < read.size(); ++i) {
        if (!same(read[i].m_name, again[i].m_name) || !same(read[i].m_type, again[i].m_type)
            || again[i].m_position.IsValid() != read[i].m_position.IsValid())
            __builtin_trap();
    }
    return 0;
}

// Feeds arbitrary bytes to the receiver context reader; whatever it takes is
// written again and must read back the same.
#include "traffic/jam_context_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const uint8_t> bytes(data, size);
    (void)ContextFileJamTime(bytes);
    const auto context = ParseContextFile(bytes);
    if (!context)
        return 0;
    const QByteArray again = BuildContextFile(*context, true);
    const auto back
        = ParseContextFile({ reinterpret_cast<const uint8_t*>(again.constData()), size_t(again.size()) });
    if (!back || back->cells != context->cells || !(back->status == context->status)
        || back->jamTime != context->jamTime || back->portName != context->portName)
        std::abort();
    return 0;
}

// Feeds arbitrary bytes to the reader of the provider's answers and to the
// decoders of what an answer carries: messages, the identifier, the jam body.
#include "traffic/provider_protocol.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ProviderAnswer answer;
    if (ParseProviderAnswer(text, &answer) == ProviderParse::Ok) {
        if (answer.body.size() > 4095 || (answer.guid && answer.guid->size() > 32)
            || (answer.key && answer.key->size() > 20))
            std::abort();
        (void)DecodeProviderMessage(answer.body);
        const auto key = answer.guid ? DeriveProviderKey(*answer.guid, size) : std::nullopt;
        if (key) {
            if (const auto cells = DecodeProviderJamBody(answer.body, *key);
                cells && !AreJamCellsValid(*cells))
                std::abort();
        }
    }
    (void)DecodeProviderMessage(text);
    (void)DeriveProviderKey(text, 12);
    (void)DecodeProviderJamBody(text, {});
    return 0;
}

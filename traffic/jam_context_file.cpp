#include "traffic/jam_context_file.h"

#include "platform/little_endian.h"
#include "platform/local_time.h"

namespace {

constexpr uint32_t kHeaderPartSize = 20;
constexpr uint32_t kVersion = 3;
constexpr int kPortNameUnits = 8;

using platform::AppendLe16;
using platform::AppendLe32;
using platform::AppendLe64;
using platform::Le16;
using platform::Le32;
using platform::Le64;

bool HeaderIsOurs(std::span<const uint8_t> bytes)
{
    return bytes.size() >= kJamContextHeaderSize && Le32(bytes.data()) == kHeaderPartSize
        && Le32(bytes.data() + 4) == kJamContextHeaderSize && Le32(bytes.data() + 8) == kVersion;
}

} // namespace

QByteArray BuildContextFile(const JamContext& context, bool raw, const JamCellTable* table)
{
    QByteArray bytes;
    AppendLe32(bytes, kHeaderPartSize);
    AppendLe32(bytes, kJamContextHeaderSize);
    AppendLe32(bytes, kVersion);
    AppendLe64(bytes, context.jamTime);
    for (int i = 0; i < kPortNameUnits; ++i) {
        const char16_t c
            = i < kPortNameUnits - 1 && i < context.portName.size() ? context.portName[i].unicode() : 0;
        AppendLe16(bytes, c);
    }
    AppendLe32(bytes, raw ? 1 : 0);
    const auto status = context.status.Bytes();
    bytes.append(reinterpret_cast<const char*>(status.data()), static_cast<qsizetype>(status.size()));
    if (context.cells) {
        if (raw)
            bytes.append(context.cells->data(), kJamCellCount);
        else if (table)
            bytes.append(BuildJamFile(*context.cells, *table, platform::GetLocalTime()));
    }
    return bytes;
}

std::optional<uint64_t> ContextFileJamTime(std::span<const uint8_t> bytes)
{
    if (!HeaderIsOurs(bytes))
        return std::nullopt;
    return Le64(bytes.data() + 12);
}

std::optional<JamContext> ParseContextFile(std::span<const uint8_t> bytes)
{
    if (!HeaderIsOurs(bytes) || Le32(bytes.data() + 36) != 1)
        return std::nullopt;
    const size_t body = bytes.size() - kJamContextHeaderSize;
    if (body != 0 && body != kJamCellCount)
        return std::nullopt;
    JamContext context;
    context.jamTime = Le64(bytes.data() + 12);
    // Seven characters and the terminator at most.
    for (int i = 0; i < kPortNameUnits - 1; ++i) {
        const char16_t c = static_cast<char16_t>(Le16(bytes.data() + 20 + 2 * i));
        if (c == 0)
            break;
        context.portName.append(QChar(c));
    }
    context.status = RozStatus::FromBytes(bytes.subspan<40, RozStatus::kSize>());
    if (body == kJamCellCount) {
        const auto cells = bytes.subspan(kJamContextHeaderSize);
        if (!AreJamCellsValid({ reinterpret_cast<const char*>(cells.data()), cells.size() }))
            return std::nullopt;
        JamCells held;
        std::copy(cells.begin(), cells.end(), held.begin());
        context.cells = held;
    }
    return context;
}

// Feeds arbitrary bytes to the serial receiver's frame parser, whole and cut
// into two reads at a place the input chooses: both must give the same
// commands, and every command is decoded as the receiver transport would.
#include "traffic/roz_frame_parser.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

std::vector<RozFrame> Parse(std::span<const uint8_t> first, std::span<const uint8_t> second)
{
    RozFrameParser parser;
    std::vector<RozFrame> frames;
    const auto keep = [&](const RozFrame& frame) {
        if (frame.bytes.empty() || frame.bytes.size() > kRozMaxMessage)
            std::abort();
        frames.push_back(frame);
    };
    parser.Feed(first, keep);
    parser.Feed(second, keep);
    return frames;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const std::span<const uint8_t> bytes(data + 1, size - 1);
    const size_t cut = bytes.empty() ? 0 : data[0] * bytes.size() / 256;
    const auto whole = Parse(bytes, {});
    if (Parse(bytes.first(cut), bytes.subspan(cut)) != whole)
        std::abort();
    for (const RozFrame& frame : whole) {
        if (frame.kind == RozFrame::Kind::Status)
            (void)ParseRozStatus(frame.bytes, 1);
        if (frame.kind == RozFrame::Kind::Message)
            if (const auto cells = DecodeRozJamPacket(frame.bytes); cells && !AreJamCellsValid(*cells))
                std::abort();
    }
    return 0;
}

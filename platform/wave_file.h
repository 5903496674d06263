#pragma once
// 16-bit PCM mono WAVE files: the program's own sounds and the voice notes
// its recorder writes.
#include <QByteArray>
#include <cstdint>
#include <optional>
#include <vector>

namespace platform {

struct PcmSound {
    int sampleRate = 0;
    std::vector<int16_t> samples;
};

// Reads a RIFF/WAVE byte block of 16-bit PCM mono. A data chunk whose size
// runs past the end (a writer that streamed without knowing its length) is
// cut at the end. Nothing for any other format or a damaged block.
std::optional<PcmSound> ParseWave(const QByteArray& bytes);

// "RIFF", the size, "WAVE", a 16-byte "fmt " chunk (PCM, mono, 16 bits) and
// the "data" chunk.
QByteArray EncodeWave(const PcmSound& sound);

} // namespace platform

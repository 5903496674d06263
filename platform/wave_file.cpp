#include "platform/wave_file.h"

#include "platform/little_endian.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

uint32_t Get32(const QByteArray& b, qsizetype at)
{
    return Le32(reinterpret_cast<const uint8_t*>(b.constData() + at));
}

uint16_t Get16(const QByteArray& b, qsizetype at)
{
    return Le16(reinterpret_cast<const uint8_t*>(b.constData() + at));
}

} // namespace

std::optional<PcmSound> ParseWave(const QByteArray& bytes)
{
    if (bytes.size() < 12 || std::memcmp(bytes.constData(), "RIFF", 4) != 0
        || std::memcmp(bytes.constData() + 8, "WAVE", 4) != 0)
        return std::nullopt;
    PcmSound sound;
    bool haveFormat = false;
    qsizetype at = 12;
    while (bytes.size() - at >= 8) {
        const QByteArray id = bytes.mid(at, 4);
        qsizetype size = Get32(bytes, at + 4);
        at += 8;
        const qsizetype remaining = bytes.size() - at;
        if (id == "data") {
            if (!haveFormat)
                return std::nullopt;
            size = std::min(size, remaining) & ~qsizetype(1);
            sound.samples.resize(size_t(size / 2));
            for (size_t i = 0; i < sound.samples.size(); ++i)
                sound.samples[i] = int16_t(Get16(bytes, at + qsizetype(i) * 2));
            return sound;
        }
        if (size > remaining)
            return std::nullopt;
        if (id == "fmt ") {
            if (size < 16)
                return std::nullopt;
            const int format = Get16(bytes, at);
            const int channels = Get16(bytes, at + 2);
            const uint32_t rate = Get32(bytes, at + 4);
            const int bits = Get16(bytes, at + 14);
            if (format != 1 || channels != 1 || bits != 16 || rate == 0 || rate > 192000)
                return std::nullopt;
            sound.sampleRate = int(rate);
            haveFormat = true;
        }
        at += size + (size & 1);
    }
    return std::nullopt;
}

QByteArray EncodeWave(const PcmSound& sound)
{
    const auto dataBytes = uint32_t(sound.samples.size() * 2);
    QByteArray out;
    out.reserve(qsizetype(44 + dataBytes));
    out.append("RIFF", 4);
    AppendLe32(out, 36 + dataBytes);
    out.append("WAVE", 4);
    out.append("fmt ", 4);
    AppendLe32(out, 16);
    AppendLe16(out, 1); // PCM
    AppendLe16(out, 1); // mono
    AppendLe32(out, uint32_t(sound.sampleRate));
    AppendLe32(out, uint32_t(sound.sampleRate) * 2); // bytes per second
    AppendLe16(out, 2); // block align
    AppendLe16(out, 16); // bits per sample
    out.append("data", 4);
    AppendLe32(out, dataBytes);
    for (int16_t s : sound.samples)
        AppendLe16(out, uint16_t(s));
    return out;
}

} // namespace platform

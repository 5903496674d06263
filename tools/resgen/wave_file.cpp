#include "tools/resgen/wave_file.h"
#include "tools/resgen/le_bytes.h"

#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace resgen {

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
            const quint32 rate = Get32(bytes, at + 4);
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
    const quint32 dataBytes = quint32(sound.samples.size() * 2);
    QByteArray out;
    out.reserve(int(44 + dataBytes));
    out.append("RIFF", 4);
    Put32(out, 36 + dataBytes);
    out.append("WAVE", 4);
    out.append("fmt ", 4);
    Put32(out, 16);
    Put16(out, 1); // PCM
    Put16(out, 1); // mono
    Put32(out, quint32(sound.sampleRate));
    Put32(out, quint32(sound.sampleRate) * 2); // bytes per second
    Put16(out, 2); // block align
    Put16(out, 16); // bits per sample
    out.append("data", 4);
    Put32(out, dataBytes);
    for (int16_t s : sound.samples)
        Put16(out, quint16(s));
    return out;
}

void TrimSilence(PcmSound* sound, int threshold, int margin)
{
    auto& s = sound->samples;
    const auto loud = [threshold](int16_t v) { return std::abs(int(v)) >= threshold; };
    const auto first = std::find_if(s.begin(), s.end(), loud);
    if (first == s.end())
        return;
    const auto last = std::find_if(s.rbegin(), s.rend(), loud).base();
    const size_t begin = size_t(std::max<std::ptrdiff_t>(0, (first - s.begin()) - margin));
    const size_t end = std::min(s.size(), size_t(last - s.begin()) + size_t(margin));
    s = std::vector<int16_t>(s.begin() + std::ptrdiff_t(begin), s.begin() + std::ptrdiff_t(end));
}

PcmSound MakeChime(int sampleRate)
{
    PcmSound sound;
    sound.sampleRate = sampleRate;
    struct Tone {
        double frequency, start, length;
    };
    const Tone tones[] = { { 784.0, 0.0, 0.45 }, { 1046.5, 0.18, 0.6 } };
    const double total = 0.8;
    sound.samples.assign(size_t(total * sampleRate), 0);
    for (const Tone& tone : tones) {
        const size_t from = size_t(tone.start * sampleRate);
        const size_t count = size_t(tone.length * sampleRate);
        for (size_t i = 0; i < count && from + i < sound.samples.size(); ++i) {
            const double t = double(i) / sampleRate;
            const double attack = std::min(1.0, t / 0.005);
            const double envelope = attack * std::exp(-t * 6.0);
            const double v = 9000.0 * envelope
                * (std::sin(2 * M_PI * tone.frequency * t) + 0.3 * std::sin(4 * M_PI * tone.frequency * t));
            const int mixed = sound.samples[from + i] + int(std::lround(v));
            sound.samples[from + i] = int16_t(std::clamp(mixed, -32768, 32767));
        }
    }
    return sound;
}

} // namespace resgen

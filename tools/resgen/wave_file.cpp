#include "tools/resgen/wave_file.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace resgen {

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

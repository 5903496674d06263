#pragma once
// What the generator does to the program's prompts: quiet ends trimmed, and
// the waypoint chime made.
#include "platform/wave_file.h"

#include <QByteArray>
#include <cstdint>
#include <optional>
#include <vector>

namespace resgen {

// The WAVE form is the platform's; the generator adds what it does to sounds.
using platform::EncodeWave;
using platform::ParseWave;
using platform::PcmSound;

// Drops leading and trailing samples whose magnitude stays below `threshold`,
// keeping `margin` samples of quiet on each side.
void TrimSilence(PcmSound* sound, int threshold, int margin);

// The waypoint alert: two decaying tones, a higher one after a lower one.
PcmSound MakeChime(int sampleRate);

} // namespace resgen

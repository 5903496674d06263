#pragma once
// Sound output: WAVE prompts of the program's resource folder by id, WAVE files,
// played synchronously or asynchronously, and the device's wave volume. A new
// sound stops the one playing, as on the device. Every request is also noted in
// a short play log, so tests (run with SDL's dummy or disk driver) can check
// what played and in which order.
#include <QString>
#include <cstdint>
#include <vector>

namespace platform {

// Flag values as the program passes them.
enum : uint32_t {
    SND_SYNC = 0x0000,
    SND_ASYNC = 0x0001,
    SND_NODEFAULT = 0x0002,
    SND_NOSTOP = 0x0010,
    SND_PURGE = 0x0040,
    SND_FILENAME = 0x00020000,
    SND_RESOURCE = 0x00040004,
};

// The folder that holds the WAVE resources as <id>.wav.
void SetSoundResourceFolder(const QString& folder);

// Plays WAVE resource `id`. False when it does not exist or cannot be played.
bool PlaySoundResource(int id, uint32_t flags);
// Plays a WAVE file. False when it cannot be read or played.
bool PlaySoundFile(const QString& path, uint32_t flags);
// Stops whatever is playing.
void StopSound();
bool IsSoundPlaying();

// The wave-out volume: low word left channel, high word right channel.
uint32_t GetDeviceWaveVolume();
void SetDeviceWaveVolume(uint32_t volume);

struct PlayedSound {
    QString source; // "res:<id>" or the file path
    uint32_t flags = 0;
    bool played = false; // false: refused (missing, unreadable, busy with SND_NOSTOP)
};
std::vector<PlayedSound> SoundPlayLog();
void ClearSoundPlayLog();

// Closes the audio device (at exit).
void ShutdownSound();

} // namespace platform

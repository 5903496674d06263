#include "platform/sound.h"

#include <QFile>
#include <SDL.h>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>

namespace platform {

namespace {

constexpr size_t kLogLimit = 256;

// One output device in a fixed format; every WAVE is converted to it.
class Player {
public:
    ~Player() { shutdown(); }

    bool play(const QString& source, const QByteArray& wave, uint32_t flags)
    {
        std::unique_lock lock(m_mutex);
        if ((flags & SND_NOSTOP) && busyLocked()) {
            noteLocked(source, flags, false);
            return false;
        }
        std::vector<int16_t> samples;
        if (!openLocked() || !decode(wave, samples)) {
            noteLocked(source, flags, false);
            return false;
        }
        applyVolume(samples);
        SDL_ClearQueuedAudio(m_device);
        const bool queued
            = SDL_QueueAudio(m_device, samples.data(), Uint32(samples.size() * sizeof(int16_t))) == 0;
        noteLocked(source, flags, queued);
        if (!queued || (flags & SND_ASYNC))
            return queued;
        lock.unlock();
        waitUntilDrained();
        return true;
    }

    void stop()
    {
        std::lock_guard lock(m_mutex);
        if (m_device)
            SDL_ClearQueuedAudio(m_device);
    }

    bool busy()
    {
        std::lock_guard lock(m_mutex);
        return busyLocked();
    }

    void shutdown()
    {
        std::lock_guard lock(m_mutex);
        if (m_device) {
            SDL_CloseAudioDevice(m_device);
            m_device = 0;
        }
        if (m_initialised) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            m_initialised = false;
        }
    }

    uint32_t volume()
    {
        std::lock_guard lock(m_mutex);
        return m_volume;
    }

    void setVolume(uint32_t v)
    {
        std::lock_guard lock(m_mutex);
        m_volume = v;
    }

    std::vector<PlayedSound> log()
    {
        std::lock_guard lock(m_mutex);
        return m_log;
    }

    void clearLog()
    {
        std::lock_guard lock(m_mutex);
        m_log.clear();
    }

    QString m_resourceFolder;

private:
    bool busyLocked() const { return m_device && SDL_GetQueuedAudioSize(m_device) > 0; }

    void noteLocked(const QString& source, uint32_t flags, bool played)
    {
        if (m_log.size() == kLogLimit)
            m_log.erase(m_log.begin());
        m_log.push_back({ source, flags, played });
    }

    bool openLocked()
    {
        if (m_device)
            return true;
        if (!m_initialised) {
            if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
                return false;
            m_initialised = true;
        }
        SDL_AudioSpec want {};
        want.freq = kRate;
        want.format = AUDIO_S16SYS;
        want.channels = 2;
        want.samples = 1024;
        m_device = SDL_OpenAudioDevice(nullptr, 0, &want, &m_spec, 0);
        if (!m_device)
            return false;
        SDL_PauseAudioDevice(m_device, 0);
        return true;
    }

    // Any WAVE SDL can read, converted to the device's format.
    bool decode(const QByteArray& wave, std::vector<int16_t>& out) const
    {
        SDL_RWops* rw = SDL_RWFromConstMem(wave.constData(), int(wave.size()));
        if (!rw)
            return false;
        SDL_AudioSpec format {};
        Uint8* buffer = nullptr;
        Uint32 length = 0;
        if (!SDL_LoadWAV_RW(rw, 1, &format, &buffer, &length))
            return false;
        SDL_AudioCVT cvt;
        const int built = SDL_BuildAudioCVT(
            &cvt, format.format, format.channels, format.freq, m_spec.format, m_spec.channels, m_spec.freq);
        bool ok = built >= 0;
        if (ok) {
            std::vector<Uint8> work(size_t(length) * std::max(1, cvt.len_mult));
            std::copy(buffer, buffer + length, work.begin());
            cvt.buf = work.data();
            cvt.len = int(length);
            ok = built == 0 || SDL_ConvertAudio(&cvt) == 0;
            const size_t bytes = built == 0 ? length : size_t(cvt.len_cvt);
            if (ok) {
                out.resize(bytes / sizeof(int16_t));
                std::memcpy(out.data(), work.data(), out.size() * sizeof(int16_t));
            }
        }
        SDL_FreeWAV(buffer);
        return ok;
    }

    void applyVolume(std::vector<int16_t>& samples) const
    {
        const uint32_t left = m_volume & 0xFFFF, right = m_volume >> 16;
        if (left == 0xFFFF && right == 0xFFFF)
            return;
        for (size_t i = 0; i < samples.size(); ++i) {
            const uint32_t gain = (i % 2 == 0) ? left : right;
            samples[i] = int16_t(int32_t(samples[i]) * int32_t(gain) / 0xFFFF);
        }
    }

    void waitUntilDrained()
    {
        // The device plays in real time; wait for the queue to empty, then for
        // the device's own buffer (one period) to play out.
        while (busy())
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::this_thread::sleep_for(
            std::chrono::milliseconds(1000 * m_spec.samples / std::max(1, m_spec.freq)));
    }

    static constexpr int kRate = 22050;
    std::mutex m_mutex;
    bool m_initialised = false;
    SDL_AudioDeviceID m_device = 0;
    SDL_AudioSpec m_spec {};
    uint32_t m_volume = 0xFFFFFFFFu;
    std::vector<PlayedSound> m_log;
};

Player& player()
{
    static Player p;
    return p;
}

QByteArray readAll(const QString& path, bool* ok)
{
    QFile f(path);
    *ok = f.open(QIODevice::ReadOnly);
    return *ok ? f.readAll() : QByteArray();
}

} // namespace

void SetSoundResourceFolder(const QString& folder) { player().m_resourceFolder = folder; }

bool PlaySoundResource(int id, uint32_t flags)
{
    const QString source = QStringLiteral("res:%1").arg(id);
    bool ok = false;
    const QByteArray wave = readAll(player().m_resourceFolder + QStringLiteral("/%1.wav").arg(id), &ok);
    return player().play(source, ok ? wave : QByteArray(), flags);
}

bool PlaySoundFile(const QString& path, uint32_t flags)
{
    bool ok = false;
    const QByteArray wave = readAll(path, &ok);
    return player().play(path, ok ? wave : QByteArray(), flags);
}

void StopSound() { player().stop(); }
bool IsSoundPlaying() { return player().busy(); }
uint32_t GetDeviceWaveVolume() { return player().volume(); }
void SetDeviceWaveVolume(uint32_t volume) { player().setVolume(volume); }
std::vector<PlayedSound> SoundPlayLog() { return player().log(); }
void ClearSoundPlayLog() { player().clearLog(); }
void ShutdownSound() { player().shutdown(); }

} // namespace platform

#pragma once
// The voice-recorder control of the handheld: a small bar of Record, Play and
// Stop buttons inside a dialog that records a voice note into a WAVE file
// (16-bit mono PCM) through SDL2's audio capture and plays it back through
// the program's sound output. It answers three messages: a signal (it looks
// at its file again), stop (a recording is written, a playback ends) and
// close (it goes away).
#include "platform/messages.h"

#include <QString>
#include <QWidget>
#include <SDL.h>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

class QToolButton;

namespace platform {

// Styles of the control.
enum : uint32_t {
    VRS_NO_OKCANCEL = 0x0001,
    VRS_NO_NOTIFY = 0x0002,
    VRS_MODAL = 0x0004,
    VRS_NO_OK = 0x0008,
    VRS_NO_RECORD = 0x0010, // no Record button
    VRS_PLAY_MODE = 0x0020, // plays the file at once
    VRS_NO_MOVE = 0x0040,
    VRS_RECORD_MODE = 0x0080, // records at once
    VRS_STOP_DISMISS = 0x0100,
};

// Its messages.
enum : uint32_t {
    VRM_SIGNAL = 6401,
    VRM_STOP = 6402,
    VRM_CLOSE = 6404,
};

// What the control is created from (the platform's 28-byte record).
struct CM_VOICE_RECORDER {
    uint32_t cb = 28;
    uint32_t dwStyle = 0;
    int32_t xPos = 0;
    int32_t yPos = 0;
    QWidget* hwndParent = nullptr;
    int32_t id = 0;
    QString recordFileName; // a device path or a local one
};

class VoiceRecorder : public QWidget, public MessageTarget {
public:
    enum class State { Idle, Recording, Playing };
    static constexpr int kSampleRate = 11025;

    explicit VoiceRecorder(const CM_VOICE_RECORDER& params);
    ~VoiceRecorder() override;
    VoiceRecorder(const VoiceRecorder&) = delete;
    VoiceRecorder& operator=(const VoiceRecorder&) = delete;

    // Starts recording from the default capture device; false when it cannot.
    bool Record();
    // Plays the file; false when there is none.
    bool Play();
    // Ends a recording (writing the file) or a playback.
    void Stop();
    State GetState() const { return m_state; }
    const QString& FileName() const { return m_fileName; }
    // False when the last recording could not be written.
    bool LastWriteSucceeded() const { return m_written; }

    // Samples captured by the recording under way.
    size_t RecordedSamples() const;
    // Waits until the recording holds `count` samples; false when the limit passed first.
    bool WaitForSamples(size_t count, std::chrono::milliseconds limit) const;

    LRESULT OnMessage(uint32_t message, WPARAM wParam, LPARAM lParam) override;

private:
    static void SDLCALL OnCaptured(void* user, Uint8* stream, int length);
    void UpdateButtons();

    QString m_fileName;
    uint32_t m_style = 0;
    State m_state = State::Idle;
    bool m_written = true;
    bool m_audio = false; // this control holds SDL's audio subsystem
    SDL_AudioDeviceID m_capture = 0;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_arrived;
    std::vector<int16_t> m_samples;
    QToolButton* m_record = nullptr;
    QToolButton* m_play = nullptr;
    QToolButton* m_stop = nullptr;
};

// Creates the control as a child of the record's parent; null when the record is not one.
VoiceRecorder* VoiceRecorder_Create(const CM_VOICE_RECORDER& params);

} // namespace platform

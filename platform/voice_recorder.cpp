#include "platform/voice_recorder.h"

#include "platform/file_writer.h"
#include "platform/options.h"
#include "platform/paths.h"
#include "platform/sound.h"
#include "platform/wave_file.h"

#include <QFile>
#include <QHBoxLayout>
#include <QToolButton>

namespace platform {

VoiceRecorder::VoiceRecorder(const CM_VOICE_RECORDER& params)
    : QWidget(params.hwndParent)
    , m_fileName(params.recordFileName)
    , m_style(params.dwStyle)
{
    setObjectName(QString::number(params.id));
    // The recorder never takes the activation from its dialog.
    setAttribute(Qt::WA_ShowWithoutActivating);
    const int side = 24 * options().dpi / 96;
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto button = [&](const char* name, const QString& text) {
        auto* b = new QToolButton(this);
        b->setObjectName(QLatin1String(name));
        b->setText(text);
        b->setFixedSize(side, side);
        b->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(b);
        return b;
    };
    m_record = button("record", QStringLiteral("\u25CF"));
    m_play = button("play", QStringLiteral("\u25B6"));
    m_stop = button("stop", QStringLiteral("\u25A0"));
    m_record->setVisible((m_style & VRS_NO_RECORD) == 0);
    connect(m_record, &QToolButton::clicked, this, [this] { Record(); });
    connect(m_play, &QToolButton::clicked, this, [this] { Play(); });
    connect(m_stop, &QToolButton::clicked, this, [this] { Stop(); });
    move(params.xPos, params.yPos);
    adjustSize();
    UpdateButtons();
    if (m_style & VRS_RECORD_MODE)
        Record();
    else if (m_style & VRS_PLAY_MODE)
        Play();
}

VoiceRecorder::~VoiceRecorder()
{
    if (m_state == State::Playing)
        StopSound();
    if (m_capture != 0)
        SDL_CloseAudioDevice(m_capture);
    if (m_audio)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SDLCALL VoiceRecorder::OnCaptured(void* user, Uint8* stream, int length)
{
    auto* self = static_cast<VoiceRecorder*>(user);
    const auto* samples = reinterpret_cast<const int16_t*>(stream);
    {
        std::lock_guard lock(self->m_mutex);
        self->m_samples.insert(self->m_samples.end(), samples, samples + length / 2);
    }
    self->m_arrived.notify_all();
}

bool VoiceRecorder::Record()
{
    if (m_fileName.isEmpty() || (m_style & VRS_NO_RECORD) != 0)
        return false;
    Stop();
    if (!m_audio) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
            return false;
        m_audio = true;
    }
    SDL_AudioSpec want {};
    want.freq = kSampleRate;
    want.format = AUDIO_S16SYS;
    want.channels = 1;
    want.samples = 1024;
    want.callback = &VoiceRecorder::OnCaptured;
    want.userdata = this;
    SDL_AudioSpec have {};
    {
        std::lock_guard lock(m_mutex);
        m_samples.clear();
    }
    m_capture = SDL_OpenAudioDevice(nullptr, 1, &want, &have, 0);
    if (m_capture == 0)
        return false;
    SDL_PauseAudioDevice(m_capture, 0);
    m_state = State::Recording;
    UpdateButtons();
    return true;
}

bool VoiceRecorder::Play()
{
    Stop();
    const QString local = DevicePathToLocal(m_fileName);
    if (m_fileName.isEmpty() || !QFile::exists(local) || !PlaySoundFile(local, SND_ASYNC))
        return false;
    m_state = State::Playing;
    UpdateButtons();
    return true;
}

void VoiceRecorder::Stop()
{
    if (m_state == State::Recording) {
        SDL_CloseAudioDevice(m_capture);
        m_capture = 0;
        PcmSound sound;
        sound.sampleRate = kSampleRate;
        {
            std::lock_guard lock(m_mutex);
            sound.samples.swap(m_samples);
        }
        const QByteArray wave = EncodeWave(sound);
        m_written = WriteFileAtomically(
            DevicePathToLocal(m_fileName).toStdString(), wave.constData(), static_cast<size_t>(wave.size()));
    } else if (m_state == State::Playing) {
        StopSound();
    }
    m_state = State::Idle;
    UpdateButtons();
}

size_t VoiceRecorder::RecordedSamples() const
{
    std::lock_guard lock(m_mutex);
    return m_samples.size();
}

bool VoiceRecorder::WaitForSamples(size_t count, std::chrono::milliseconds limit) const
{
    std::unique_lock lock(m_mutex);
    return m_arrived.wait_for(lock, limit, [&] { return m_samples.size() >= count; });
}

void VoiceRecorder::UpdateButtons()
{
    m_record->setEnabled(m_state == State::Idle && !m_fileName.isEmpty());
    m_play->setEnabled(m_state == State::Idle && QFile::exists(DevicePathToLocal(m_fileName)));
    m_stop->setEnabled(m_state != State::Idle);
}

LRESULT VoiceRecorder::OnMessage(uint32_t message, WPARAM, LPARAM)
{
    switch (message) {
    case VRM_SIGNAL:
        if (m_state == State::Playing && !IsSoundPlaying())
            m_state = State::Idle;
        UpdateButtons();
        return 1;
    case VRM_STOP:
        Stop();
        return 1;
    case VRM_CLOSE:
        Stop();
        hide();
        deleteLater();
        return 1;
    default:
        return 0;
    }
}

VoiceRecorder* VoiceRecorder_Create(const CM_VOICE_RECORDER& params)
{
    if (params.cb != 28 || params.hwndParent == nullptr)
        return nullptr;
    return new VoiceRecorder(params);
}

} // namespace platform

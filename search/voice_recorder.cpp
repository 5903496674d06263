#include "search/voice_recorder.h"

#include "platform/voice_recorder.h"

#include <QPointer>

namespace {

enum : uint32_t { RECORDER_ID = 101 };

// One recorder at a time, with what it was opened with.
struct RecorderState {
    QPointer<platform::VoiceRecorder> control;
    uint32_t style = 0;
    int x = 0;
    int y = 0;
};

RecorderState& State()
{
    static RecorderState state;
    return state;
}

} // namespace

int OpenVoiceRecorder(QString& fileName, uint32_t style, QWidget* parent, int x, int y)
{
    CloseVoiceRecorder();
    if (fileName.isEmpty() && (style & platform::VRS_PLAY_MODE) != 0)
        return 0;
    // The control's file-name buffer holds 259 characters and the terminator.
    if (fileName.size() >= kVoiceRecorderNameLength)
        return 0;
    RecorderState& state = State();
    state.style = style;
    state.x = x;
    state.y = y;
    platform::CM_VOICE_RECORDER record;
    record.dwStyle = style | platform::VRS_NO_OKCANCEL | platform::VRS_NO_NOTIFY;
    record.xPos = x;
    record.yPos = y;
    record.hwndParent = parent;
    record.id = RECORDER_ID;
    record.recordFileName = fileName;
    state.control = platform::VoiceRecorder_Create(record);
    if (state.control == nullptr)
        return 0;
    state.control->setVisible((style & platform::VRS_RECORD_MODE) == 0);
    state.control->update();
    return 1;
}

int SignalVoiceRecorder()
{
    platform::VoiceRecorder* control = GetVoiceRecorder();
    if (control == nullptr)
        return 0;
    platform::send(control, platform::VRM_SIGNAL);
    return 1;
}

int CloseVoiceRecorder()
{
    platform::VoiceRecorder* control = GetVoiceRecorder();
    if (control == nullptr)
        return 0;
    platform::send(control, platform::VRM_STOP);
    platform::send(control, platform::VRM_CLOSE);
    State().control = nullptr;
    return 1;
}

platform::VoiceRecorder* GetVoiceRecorder() { return State().control.data(); }

// The waypoint dialogs' voice recorder, recording from SDL's disk audio
// driver, whose capture reads a file of samples the test wrote, and playing
// the note back.
#include "search/voice_recorder.h"

#include "platform/sound.h"
#include "platform/voice_recorder.h"
#include "platform/wave_file.h"
#include "tests/search/voradu_places.h"
#include "tests/support/map_fixture.h"

#include <QFile>
#include <QToolButton>
#include <QWidget>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>

namespace {

QToolButton* Button(const char* name)
{
    return GetVoiceRecorder() != nullptr ? GetVoiceRecorder()->findChild<QToolButton*>(QLatin1String(name))
                                         : nullptr;
}

} // namespace

TEST(VoiceRecorder, RecordsANoteAndPlaysItBack)
{
    testing_support::TempFolder folder;
    // A tone the "microphone" hears.
    const std::vector<int16_t> tone
        = search_testing::WriteMicrophoneTone(QString::fromStdString(folder.File("microphone.raw")));
    search_testing::DiskAudio audio(folder.File("microphone.raw"), folder.File("speaker.raw"));
    QWidget dialog;
    QString name = QString::fromStdString(folder.File("note.wav"));

    ASSERT_EQ(OpenVoiceRecorder(name, 73, &dialog, 85, 170), 1);
    ASSERT_NE(GetVoiceRecorder(), nullptr);
    EXPECT_TRUE(GetVoiceRecorder()->isVisibleTo(&dialog));
    EXPECT_EQ(GetVoiceRecorder()->pos(), QPoint(85, 170));
    EXPECT_EQ(SignalVoiceRecorder(), 1);
    ASSERT_NE(Button("record"), nullptr);
    EXPECT_FALSE(Button("play")->isEnabled()); // nothing recorded yet
    Button("record")->click();
    ASSERT_EQ(GetVoiceRecorder()->GetState(), platform::VoiceRecorder::State::Recording);
    ASSERT_TRUE(GetVoiceRecorder()->WaitForSamples(tone.size(), std::chrono::seconds(30)));
    // Closing stops the recording and writes the note.
    EXPECT_EQ(CloseVoiceRecorder(), 1);
    EXPECT_EQ(GetVoiceRecorder(), nullptr);
    QFile note(name);
    ASSERT_TRUE(note.open(QIODevice::ReadOnly));
    const std::optional<platform::PcmSound> recorded = platform::ParseWave(note.readAll());
    ASSERT_TRUE(recorded.has_value());
    EXPECT_EQ(recorded->sampleRate, platform::VoiceRecorder::kSampleRate);
    ASSERT_GE(recorded->samples.size(), tone.size());
    EXPECT_TRUE(std::equal(tone.begin(), tone.end(), recorded->samples.begin()));

    // Opened again in play mode it plays the note at once.
    platform::ClearSoundPlayLog();
    ASSERT_EQ(OpenVoiceRecorder(name, 73 | platform::VRS_PLAY_MODE, &dialog, 85, 170), 1);
    ASSERT_EQ(platform::SoundPlayLog().size(), 1u);
    EXPECT_EQ(platform::SoundPlayLog()[0].source, name);
    EXPECT_TRUE(platform::SoundPlayLog()[0].played);
    EXPECT_EQ(GetVoiceRecorder()->GetState(), platform::VoiceRecorder::State::Playing);
    EXPECT_EQ(CloseVoiceRecorder(), 1);
}

TEST(VoiceRecorder, RefusedNamesLeaveNoRecorder)
{
    QWidget dialog;
    QString empty;
    EXPECT_EQ(OpenVoiceRecorder(empty, 73 | platform::VRS_PLAY_MODE, &dialog, 0, 0), 0);
    EXPECT_EQ(GetVoiceRecorder(), nullptr);
    QString tooLong = QStringLiteral("/") + QString(kVoiceRecorderNameLength - 1, QLatin1Char('n'));
    EXPECT_EQ(OpenVoiceRecorder(tooLong, 73, &dialog, 0, 0), 0);
    EXPECT_EQ(GetVoiceRecorder(), nullptr);
    EXPECT_EQ(SignalVoiceRecorder(), 0);
    EXPECT_EQ(CloseVoiceRecorder(), 0);
    // A record-mode recorder is hidden.
    QString name = QStringLiteral("/nonexistent-folder/note.wav");
    ASSERT_EQ(
        OpenVoiceRecorder(name, 73 | platform::VRS_RECORD_MODE | platform::VRS_NO_RECORD, &dialog, 0, 0), 1);
    EXPECT_FALSE(GetVoiceRecorder()->isVisibleTo(&dialog));
    EXPECT_EQ(CloseVoiceRecorder(), 1);
}

// The waypoint editor on the Voradu map, driven as a user drives it: a new
// waypoint at the GPS fix named after its address, the type and colour
// choices, the date and time arrows, a recorded note, and "Change path...",
// which never deletes a file the user keeps.
#include "search/waypoint_edit_dlg.h"

#include "foundation/static_tables.h"
#include "platform/file_dialog.h"
#include "platform/local_time.h"
#include "platform/paths.h"
#include "platform/voice_recorder.h"
#include "platform/wave_file.h"
#include "search/voice_recorder.h"
#include "tests/search/voradu_places.h"
#include "tests/ui/ui_testing.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

using search_testing::SetFix;

// 3 July 2007, 10:45:09 UTC.
constexpr int64_t kFixTime = 1183459509;

QByteArray ReadFile(const QString& path)
{
    QFile file(platform::DevicePathToLocal(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(platform::DevicePathToLocal(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class WaypointEditor : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(map.opened);
        home = search_testing::HousePosition(map, "Блока", "10");
        SetFix(home);
        platform::CSLock lock(g_gpsFixLock);
        g_gpsFix.m_fixMode = 3;
        g_gpsFix.m_time = kFixTime;
        g_gpsFix.m_altitude = 151.5;
        WaypointEditDialogFolder() = QStringLiteral("\\My Documents\\");
    }
    void TearDown() override
    {
        SetFix(CGeoPos(), 0);
        platform::CSLock lock(g_gpsFixLock);
        g_gpsFix.m_fixMode = 0;
        g_gpsFix.m_time = 0;
        platform::SetFileDialogAnswerer({});
    }

    static QString Documents(const char* name)
    {
        return QStringLiteral("\\My Documents\\") + QLatin1String(name);
    }

    search_testing::SearchMap map { "voradu" };
    uitest::OnScreen screen { 240, 320, 96, LANGUAGE_ENGLISH };
    CGeoPos home;
};

TEST_F(WaypointEditor, ANewWaypointIsNamedAfterTheLastAddressAndOkTakesTheChoices)
{
    CWaypointEditDlg dialog;
    ASSERT_TRUE(dialog.Create());
    EXPECT_EQ(dialog.GetDlgItemText(IDC_WPE_TITLE), QStringLiteral("Add waypoint"));
    auto* addresses = dialog.GetDlgItemAs<QListWidget>(IDC_WPE_ADDRESSES);
    ASSERT_GT(addresses->count(), 0);
    const QString last = addresses->item(addresses->count() - 1)->text();
    EXPECT_TRUE(last.contains(QStringLiteral("Блока"))) << last.toStdString();
    EXPECT_EQ(dialog.GetDlgItemText(IDC_WPE_NAME), last);

    // An empty type, then the 52 categories; the six colours with blue chosen.
    auto* types = dialog.GetDlgItemAs<QComboBox>(IDC_WPE_TYPE);
    ASSERT_EQ(types->count(), 53);
    EXPECT_EQ(types->itemText(0), QString());
    EXPECT_EQ(types->itemText(1), QStringLiteral("Автозапчасти"));
    EXPECT_EQ(dialog.GetDlgItemAs<QComboBox>(IDC_WPE_COLOR)->currentText(), QStringLiteral("Blue"));
    EXPECT_TRUE(dialog.IsDlgItemEnabled(IDC_WPE_COLOR));
    // The fix's time, as local time.
    const WaypointDateTime fixTime = *LocalDateTimeOf(kFixTime);
    EXPECT_EQ(dialog.GetDlgItemText(IDC_WPE_YEAR), QString::number(fixTime.year));
    EXPECT_EQ(dialog.GetDlgItemText(IDC_WPE_MINUTE), QString::number(fixTime.minute));

    // A category disables the colour; the user renames the waypoint.
    ASSERT_TRUE(dialog.SelectDlgItem(IDC_WPE_TYPE, types->findText(QStringLiteral("Аптека"))));
    EXPECT_FALSE(dialog.IsDlgItemEnabled(IDC_WPE_COLOR));
    EXPECT_FALSE(dialog.IsDlgItemEnabled(IDC_WPE_COLOR_LABEL));
    dialog.SetDlgItemText(IDC_WPE_NAME, QStringLiteral("Аптека на Блока"));
    ASSERT_TRUE(dialog.ClickDlgItem(platform::IDOK));
    EXPECT_EQ(dialog.result(), platform::IDOK);
    const CWaypoint& w = dialog.m_waypoint;
    EXPECT_EQ(w.m_name, QStringLiteral("Аптека на Блока"));
    EXPECT_EQ(w.m_address, last);
    EXPECT_EQ(w.m_type, QStringLiteral("Аптека"));
    EXPECT_EQ(w.m_bitmapId, 562);
    EXPECT_EQ(w.m_iconId, 614);
    EXPECT_EQ(w.m_firstTime, kFixTime);
    EXPECT_EQ(w.m_secondTime, kFixTime);
    EXPECT_EQ(w.m_altitude, 151.5);
    EXPECT_TRUE(w.m_position.IsEqual(home));
    // Nothing was recorded: no sound.
    EXPECT_EQ(w.m_soundPath, QString());
    EXPECT_EQ(GetVoiceRecorder(), nullptr);

    // Back to the empty type: the colour is the type.
    CWaypointEditDlg coloured;
    ASSERT_TRUE(coloured.Create());
    ASSERT_TRUE(coloured.SelectDlgItem(IDC_WPE_TYPE, 3));
    ASSERT_TRUE(coloured.SelectDlgItem(IDC_WPE_TYPE, 0));
    EXPECT_TRUE(coloured.IsDlgItemEnabled(IDC_WPE_COLOR));
    ASSERT_TRUE(coloured.SelectDlgItem(IDC_WPE_COLOR, 1));
    ASSERT_TRUE(coloured.ClickDlgItem(platform::IDOK));
    EXPECT_EQ(coloured.m_waypoint.m_type, QStringLiteral("Red"));
    EXPECT_EQ(coloured.m_waypoint.m_bitmapId, 654);

    // Cancel leaves the opener's waypoint as it was.
    CWaypoint kept = w;
    CWaypointEditDlg cancelled(&kept);
    ASSERT_TRUE(cancelled.Create());
    cancelled.SetDlgItemText(IDC_WPE_NAME, QStringLiteral("changed"));
    ASSERT_TRUE(cancelled.ClickDlgItem(platform::IDCANCEL));
    EXPECT_EQ(cancelled.result(), platform::IDCANCEL);
    EXPECT_EQ(kept.m_name, QStringLiteral("Аптека на Блока"));
}

TEST_F(WaypointEditor, AStoredColourShowsInEitherLanguageAndEditKeepsTheName)
{
    CWaypoint stored;
    stored.m_position = home;
    stored.m_name = QStringLiteral("Гараж");
    stored.m_type = QStringLiteral("Красный");
    stored.m_firstTime = kFixTime;
    for (const auto& [language, colour, title] : { std::tuple { LANGUAGE_ENGLISH, "Red", "Edit waypoint" },
             std::tuple { LANGUAGE_RUSSIAN, "Красный", "Редактировать" } }) {
        g_language = language;
        CWaypointEditDlg dialog(&stored);
        ASSERT_TRUE(dialog.Create());
        EXPECT_EQ(dialog.GetDlgItemText(IDC_WPE_TITLE), QString::fromUtf8(title));
        EXPECT_EQ(dialog.GetDlgItemAs<QComboBox>(IDC_WPE_COLOR)->currentText(), QString::fromUtf8(colour));
        EXPECT_EQ(dialog.GetCurSel(IDC_WPE_TYPE), 0);
        EXPECT_EQ(dialog.GetDlgItemText(IDC_WPE_NAME), QStringLiteral("Гараж"));
        ASSERT_TRUE(dialog.ClickDlgItem(platform::IDOK));
        EXPECT_EQ(dialog.m_waypoint.m_type, QString::fromUtf8(colour));
        EXPECT_EQ(dialog.m_waypoint.m_name, QStringLiteral("Гараж"));
        EXPECT_EQ(dialog.m_waypoint.m_firstTime, kFixTime);
    }
}

TEST_F(WaypointEditor, TheDateAndTimeArrowsWrapAndAnImpossibleDayStaysInItsMonth)
{
    CWaypointEditDlg dialog;
    ASSERT_TRUE(dialog.Create());
    search_testing::ExpectArrowSteps(dialog,
        {
            { IDC_WPE_MINUTE, IDC_WPE_MINUTE_SPIN, "0", false, "0" },
            { IDC_WPE_MINUTE, IDC_WPE_MINUTE_SPIN, "59", true, "0" },
            { IDC_WPE_SECOND, IDC_WPE_SECOND_SPIN, "59", true, "0" },
            { IDC_WPE_HOUR, IDC_WPE_HOUR_SPIN, "23", true, "0" },
            { IDC_WPE_HOUR, IDC_WPE_HOUR_SPIN, "0", false, "0" },
            { IDC_WPE_HOUR, IDC_WPE_HOUR_SPIN, "5", false, "4" },
            { IDC_WPE_DAY, IDC_WPE_DAY_SPIN, "31", true, "1" },
            { IDC_WPE_DAY, IDC_WPE_DAY_SPIN, "1", false, "31" },
            { IDC_WPE_MONTH, IDC_WPE_MONTH_SPIN, "12", true, "1" },
            { IDC_WPE_MONTH, IDC_WPE_MONTH_SPIN, "1", false, "12" },
            { IDC_WPE_YEAR, IDC_WPE_YEAR_SPIN, "2038", true, "1971" },
            { IDC_WPE_YEAR, IDC_WPE_YEAR_SPIN, "1971", false, "2038" },
        });

    // 31 April is taken as 30 April, never as 1 May.
    for (auto [id, value] : { std::pair { IDC_WPE_DAY, 31 }, std::pair { IDC_WPE_MONTH, 4 },
             std::pair { IDC_WPE_YEAR, 2026 }, std::pair { IDC_WPE_HOUR, 12 } })
        dialog.SetDlgItemText(id, QString::number(value));
    ASSERT_TRUE(dialog.ClickDlgItem(platform::IDOK));
    const std::optional<WaypointDateTime> stored = LocalDateTimeOf(dialog.m_waypoint.m_firstTime);
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->month, 4);
    EXPECT_EQ(stored->day, 30);
    EXPECT_EQ(stored->hour, 12);
}

TEST_F(WaypointEditor, ANoteIsRecordedUnderTheDefaultNameAndPlaysOnApproach)
{
    const QString microphone = map.Folder().File(QStringLiteral("microphone.raw"));
    const std::vector<int16_t> tone = search_testing::WriteMicrophoneTone(microphone);
    search_testing::DiskAudio audio(
        microphone.toStdString(), map.Folder().File(QStringLiteral("speaker.raw")).toStdString());

    CWaypointEditDlg dialog;
    ASSERT_TRUE(dialog.Create());
    EXPECT_EQ(dialog.GetDlgItemText(IDC_WPE_SOUND_PATH), Documents("0.wav"));
    platform::VoiceRecorder* recorder = GetVoiceRecorder();
    ASSERT_NE(recorder, nullptr);
    EXPECT_TRUE(recorder->isVisibleTo(&dialog));
    QTest::mouseClick(recorder->findChild<QToolButton*>(QStringLiteral("record")), Qt::LeftButton);
    ASSERT_EQ(recorder->GetState(), platform::VoiceRecorder::State::Recording);
    ASSERT_TRUE(recorder->WaitForSamples(tone.size(), std::chrono::seconds(30)));
    // OK ends the recording and keeps the note.
    ASSERT_TRUE(dialog.ClickDlgItem(platform::IDOK));
    EXPECT_EQ(dialog.m_waypoint.m_soundPath, Documents("0.wav"));
    const std::optional<platform::PcmSound> note = platform::ParseWave(ReadFile(Documents("0.wav")));
    ASSERT_TRUE(note.has_value());
    ASSERT_GE(note->samples.size(), tone.size());
    EXPECT_TRUE(std::equal(tone.begin(), tone.end(), note->samples.begin()));

    // The alert plays the note.
    platform::ClearSoundPlayLog();
    PlayWaypointSound(dialog.m_waypoint);
    ASSERT_EQ(platform::SoundPlayLog().size(), 1u);
    EXPECT_EQ(platform::SoundPlayLog()[0].source, platform::DevicePathToLocal(Documents("0.wav")));

    // The next new waypoint's note gets the next free name.
    CWaypointEditDlg next;
    ASSERT_TRUE(next.Create());
    EXPECT_EQ(next.GetDlgItemText(IDC_WPE_SOUND_PATH), Documents("01.wav"));
    // A note still being recorded moves with "Change path..." too.
    recorder = GetVoiceRecorder();
    QTest::mouseClick(recorder->findChild<QToolButton*>(QStringLiteral("record")), Qt::LeftButton);
    ASSERT_TRUE(recorder->WaitForSamples(tone.size(), std::chrono::seconds(30)));
    const QString drive = map.Folder().Documents() + QStringLiteral("/drive.wav");
    platform::SetFileDialogAnswerer([&](const platform::FileDialogRequest&) { return std::optional(drive); });
    ASSERT_TRUE(next.ClickDlgItem(IDC_WPE_CHANGE_PATH));
    EXPECT_FALSE(QFile::exists(platform::DevicePathToLocal(Documents("01.wav"))));
    ASSERT_TRUE(next.ClickDlgItem(platform::IDOK));
    EXPECT_EQ(next.m_waypoint.m_soundPath, drive);
    const std::optional<platform::PcmSound> moved = platform::ParseWave(ReadFile(drive));
    ASSERT_TRUE(moved.has_value());
    EXPECT_GE(moved->samples.size(), tone.size());
}

TEST_F(WaypointEditor, ChangePathReplacesAFileOnlyWhenTheUserSaysSo)
{
    QString answer;
    platform::SetFileDialogAnswerer(
        [&](const platform::FileDialogRequest& request) -> std::optional<QString> {
            EXPECT_FALSE(request.open);
            EXPECT_EQ(request.defaultExt, QStringLiteral("wav"));
            EXPECT_EQ(request.filter, QStringLiteral("wav Files (*.wav)|*.wav||"));
            if (answer.isEmpty())
                return std::nullopt;
            return answer;
        });
    const QString kept = map.Folder().Documents() + QStringLiteral("/kept.wav");
    WriteFile(kept, "the user's own sound");

    CWaypointEditDlg dialog;
    ASSERT_TRUE(dialog.Create());
    const QString recording = dialog.m_soundPath;
    WriteFile(recording, "a recorded note");
    CloseVoiceRecorder();

    // The user does not want the file replaced: both stay, the note keeps its name.
    uitest::ScriptedMessageBoxes no(platform::IDNO);
    answer = kept;
    ASSERT_TRUE(dialog.ClickDlgItem(IDC_WPE_CHANGE_PATH));
    ASSERT_EQ(no.requests.size(), 1u);
    EXPECT_TRUE(no.requests[0].text.contains(QStringLiteral("kept.wav")));
    EXPECT_EQ(ReadFile(kept), QByteArray("the user's own sound"));
    EXPECT_EQ(ReadFile(recording), QByteArray("a recorded note"));
    EXPECT_EQ(dialog.GetDlgItemText(IDC_WPE_SOUND_PATH), recording);

    // A name where the note cannot go: the message names the old file, which stays in force.
    answer = map.Folder().File(QStringLiteral("no such folder/note.wav"));
    ASSERT_TRUE(dialog.ClickDlgItem(IDC_WPE_CHANGE_PATH));
    ASSERT_EQ(no.requests.size(), 2u);
    EXPECT_EQ(no.requests[1].text,
        QStringLiteral("Can't change path to wav-file. Probably, there is no access to the file ")
            + recording);
    EXPECT_EQ(dialog.m_soundPath, recording);
    EXPECT_NE(GetVoiceRecorder(), nullptr);

    // A new name: the note moves there.
    answer = map.Folder().Documents() + QStringLiteral("/moved.wav");
    ASSERT_TRUE(dialog.ClickDlgItem(IDC_WPE_CHANGE_PATH));
    EXPECT_EQ(ReadFile(answer), QByteArray("a recorded note"));
    EXPECT_FALSE(QFile::exists(platform::DevicePathToLocal(recording)));
    EXPECT_EQ(dialog.GetDlgItemText(IDC_WPE_SOUND_PATH), answer);
    EXPECT_EQ(GetVoiceRecorder()->FileName(), answer);

    // The user says yes: the note replaces the file.
    uitest::ScriptedMessageBoxes yes(platform::IDYES);
    const QString moved = answer;
    answer = kept;
    ASSERT_TRUE(dialog.ClickDlgItem(IDC_WPE_CHANGE_PATH));
    EXPECT_EQ(yes.requests.size(), 1u);
    EXPECT_EQ(ReadFile(kept), QByteArray("a recorded note"));
    EXPECT_FALSE(QFile::exists(moved));
    ASSERT_TRUE(dialog.ClickDlgItem(platform::IDOK));
    EXPECT_EQ(dialog.m_waypoint.m_soundPath, kept);
    EXPECT_EQ(WaypointEditDialogFolder(), map.Folder().Documents() + QLatin1Char('/'));

    // Without a note, a chosen sound file becomes the waypoint's sound untouched.
    const QString other = map.Folder().Documents() + QStringLiteral("/bell.wav");
    WriteFile(other, "a bell");
    CWaypointEditDlg chooser;
    ASSERT_TRUE(chooser.Create());
    answer = other;
    ASSERT_TRUE(chooser.ClickDlgItem(IDC_WPE_CHANGE_PATH));
    EXPECT_EQ(yes.requests.size(), 1u); // nothing to replace, nothing asked
    ASSERT_TRUE(chooser.ClickDlgItem(platform::IDOK));
    EXPECT_EQ(chooser.m_waypoint.m_soundPath, other);
    EXPECT_EQ(ReadFile(other), QByteArray("a bell"));
}

} // namespace

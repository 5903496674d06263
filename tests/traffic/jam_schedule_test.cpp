#include "traffic/jam_schedule.h"

#include "foundation/language.h"
#include "platform/clock.h"
#include "platform/local_time.h"
#include "tests/support/file_bytes.h"
#include "tests/support/program_folder.h"
#include "traffic/jam_settings.h"

#include <QFile>
#include <functional>
#include <gtest/gtest.h>

using testing_support::BytesOf;
using testing_support::ReadFileBytes;

namespace {

struct Status {
    QString text;
    int flags = CJamSchedule::STATUS_BAR;
    int percent = 0;
    int32_t minute = -1;
    uint32_t colour = 0x123456;
};

Status Query(CJamSchedule& schedule, QString text = {})
{
    Status s;
    s.text = text;
    schedule.GetStatus(s.text, s.flags, s.percent, s.minute, s.colour);
    return s;
}

// Regular downloading every five minutes, English texts, for a test's span.
class JamScheduleTest : public ::testing::Test {
protected:
    JamScheduleTest()
        : m_settings(g_jamSettings)
        , m_language(g_language)
    {
        g_jamSettings.downloadEnabled = 1;
        g_jamSettings.periodMinutes = 5;
        g_language = LANGUAGE_ENGLISH;
    }
    ~JamScheduleTest() override
    {
        g_jamSettings = m_settings;
        g_language = m_language;
    }
    static uint64_t FileTimeAt(int hour, int minute)
    {
        return platform::LocalTimeToFileTime({ 2026, 12, 11, 5, hour, minute, 30, 0 });
    }

    testing_support::ProgramFolder m_folder;
    JamSettings m_settings;
    int m_language;
};

// The state file "data.pid": the signature as an archive string, the data minute, the persisted state.
QByteArray StateFile(int32_t minute, uint8_t state)
{
    const QByteArray signature
        = "Orvantis Kestrin jsoiuerwo 8q379H((*jh iiweu8r83kjcnawie38uhefkasdhiiwq83rf204272";
    QByteArray bytes = BytesOf({ 0xFF, 0xFE, 0xFF, int(signature.size()) });
    for (char c : signature)
        bytes += BytesOf({ c, 0 });
    bytes += BytesOf(
        { minute & 0xFF, (minute >> 8) & 0xFF, (minute >> 16) & 0xFF, (minute >> 24) & 0xFF, state });
    return bytes;
}

} // namespace

// The indicator through a download interval, a download and a failure, on a manual clock.
TEST_F(JamScheduleTest, StateTable)
{
    platform::ScopedManualClock clock(1000);
    CJamSchedule schedule;
    EXPECT_EQ(Query(schedule).flags, CJamSchedule::STATUS_BAR) << "nothing to show before the settings";
    schedule.OnSettingsChanged();
    const QString path = CJamSchedule::StateFilePath();

    struct Step {
        const char* what;
        std::function<void()> act;
        uint32_t advanceMs;
        uint8_t state; // after the query
        int flags;
        int percent;
        const char* text;
        uint32_t colour;
    };
    const uint32_t none = 0x123456;
    const int bar = CJamSchedule::STATUS_BAR, text = CJamSchedule::STATUS_TEXT,
              minute = CJamSchedule::STATUS_MINUTE;
    const uint64_t at1042 = FileTimeAt(10, 42);
    const Step steps[] = {
        { "interval start", [] {}, 0, 0, bar, 0, "", none },
        { "half-way", [] {}, 153500, 0, bar, 49, "", none },
        // The limit of 5 minutes is 307 s: 306 × 100 / 307 = 99.
        { "306 s", [] {}, 152500, 0, bar, 99, "", none },
        { "307 s: awaited", [] {}, 1000, CJamSchedule::STATE_AWAITED, bar, 99, "", none },
        { "awaited shows Wait", [] {}, 0, CJamSchedule::STATE_AWAITED, bar | text, 100, " Wait", none },
        { "received", [&] { schedule.OnJamReceived(true, &at1042); }, 2000,
            CJamSchedule::STATE_AWAITED | CJamSchedule::STATE_RECEIVED, bar | text, 100, " Wait", none },
        { "applied", [&] { schedule.OnJamApplied(true); }, 0,
            CJamSchedule::STATE_APPLIED | CJamSchedule::STATE_AWAITED, bar, 99, "", none },
        // Shown on the map: the interval restarts at the receipt, the data's time is shown.
        { "acknowledged", [&] { EXPECT_TRUE(schedule.Acknowledge(true)); }, 1000, CJamSchedule::STATE_GOOD,
            bar | minute | text, 0, "10:42", CJamSchedule::kGoodColour },
        { "fifteen seconds on", [] {}, 15000, 0, bar | minute | text, 5, "10:42", CJamSchedule::kGoodColour },
        { "nothing more to acknowledge", [&] { EXPECT_FALSE(schedule.Acknowledge(true)); }, 0, 0,
            bar | minute | text, 5, "10:42", CJamSchedule::kGoodColour },
        { "download now", [&] { schedule.RequestNow(); }, 0, CJamSchedule::STATE_AWAITED, bar | text, 100,
            " Wait", CJamSchedule::kGoodColour },
        // A failure restarts the interval, is shown once and keeps the old data's time.
        { "failed", [&] { schedule.OnJamReceived(false); }, 0, 0, bar | minute | text, 0, "10:42",
            CJamSchedule::kFailedColour },
    };
    for (const Step& step : steps) {
        step.act();
        clock->advance(step.advanceMs);
        const Status s = Query(schedule);
        EXPECT_EQ(schedule.GetState(), step.state) << step.what;
        EXPECT_EQ(s.flags, step.flags) << step.what;
        EXPECT_EQ(s.percent, step.percent) << step.what;
        EXPECT_EQ(s.text, QString::fromUtf8(step.text)) << step.what;
        EXPECT_EQ(s.colour, step.colour) << step.what;
        if (step.flags & minute) {
            EXPECT_EQ(s.minute, 10 * 60 + 42) << step.what;
        }
    }
    EXPECT_EQ(ReadFileBytes(path), StateFile(642, CJamSchedule::STATE_FAILED));

    // The user deletes the jams: the file says so once.
    schedule.Reset();
    EXPECT_EQ(ReadFileBytes(path), StateFile(-1, CJamSchedule::STATE_FAILED));
    ASSERT_TRUE(QFile::remove(path));
    schedule.Reset();
    EXPECT_FALSE(QFile::exists(path)) << "nothing changed, nothing written";
}

TEST_F(JamScheduleTest, DownloadNowThenAppliedBecomesGoodAndATimedOutApplyFails)
{
    platform::ScopedManualClock clock;
    CJamSchedule schedule;
    schedule.RequestNow();
    schedule.OnJamReceived(true);
    schedule.OnJamApplied(true);
    EXPECT_EQ(schedule.GetState(), CJamSchedule::STATE_APPLIED | CJamSchedule::STATE_AWAITED);
    EXPECT_TRUE(schedule.Acknowledge(true));
    EXPECT_EQ(schedule.GetState(), CJamSchedule::STATE_GOOD);
    EXPECT_EQ(schedule.GetDataMinute(), -1) << "the picture carried no time";

    // The controller's time for the redraw ran out.
    schedule.OnJamReceived(true, nullptr);
    schedule.OnJamApplied(true);
    EXPECT_TRUE(schedule.Acknowledge(false));
    EXPECT_EQ(schedule.GetState(), CJamSchedule::STATE_FAILED);
    EXPECT_EQ(ReadFileBytes(CJamSchedule::StateFilePath()), StateFile(-1, CJamSchedule::STATE_FAILED));
    // An apply pass without a receipt changes nothing.
    schedule.OnJamApplied(true);
    EXPECT_EQ(schedule.GetState(), CJamSchedule::STATE_FAILED);
}

// The interval's progress goes on across the 32-bit tick's wrap (49.7 days).
TEST_F(JamScheduleTest, ProgressDoesNotStickWhenTheTickWraps)
{
    platform::ScopedManualClock clock(0xFFFFFFFFu - 100000);
    CJamSchedule schedule;
    schedule.OnSettingsChanged();
    clock->advance(200000);
    EXPECT_EQ(Query(schedule).percent, 200 * 100 / 307);
    clock->advance(100000);
    EXPECT_EQ(Query(schedule).percent, 300 * 100 / 307);
}

TEST_F(JamScheduleTest, RussianWait)
{
    g_language = LANGUAGE_RUSSIAN;
    CJamSchedule schedule;
    schedule.RequestNow();
    EXPECT_EQ(Query(schedule).text, QStringLiteral("Ждите"));
}

// The texts and bars of the diagrams: distance and duration texts, the share
// of the route driven, speeds, remaining times, the battery, the satellites
// bar and the diagram button's stepping.
#include "controls/diagram_button.h"
#include "controls/diagram_drawing.h"

#include "controls/blinker.h"
#include "foundation/language.h"
#include "platform/local_time.h"
#include "platform/power_status.h"
#include "platform/system_files.h"
#include "tests/controls/widget_rig.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using controlstest::WidgetRig;

TEST(DiagramTexts, DistancesInFiveCharacters)
{
    const struct {
        int32_t metres;
        const char16_t* english;
        const char16_t* russian;
    } cases[] = {
        { 0, u"   0m", u"   0м" },
        { 5, u"   5m", u"   5м" },
        { 350, u" 350m", u" 350м" },
        { 999, u" 999m", u" 999м" },
        { 1000, u"  1km", u"  1км" },
        { 2549, u"2.5km", u"2.5км" },
        { 2960, u"  3km", u"  3км" }, // 3.0 shows no tenths
        { 9949, u"9.9km", u"9.9км" },
        { 9950, u" 10km", u" 10км" }, // 10.0 takes the whole-kilometre form
        { 12300, u" 12km", u" 12км" },
        { 999499, u"999km", u"999км" },
        { 999500, u"  -km", u"  -км" }, // 1000 km does not fit
        { 1000000, u"  -km", u"  -км" },
        { -1, u"  -km", u"  -км" },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatDiagramDistance(c.metres, LANGUAGE_ENGLISH), QString::fromUtf16(c.english))
            << c.metres;
        EXPECT_EQ(FormatDiagramDistance(c.metres, LANGUAGE_RUSSIAN), QString::fromUtf16(c.russian))
            << c.metres;
    }
}

TEST(DiagramTexts, DurationsInFiveCharacters)
{
    const struct {
        int32_t seconds;
        const char16_t* english;
        const char16_t* russian;
    } cases[] = {
        { 0, u" 0sec", u" 0сек" },
        { 45, u"45sec", u"45сек" },
        { 59, u"59sec", u"59сек" },
        { 90, u" 2min", u" 2мин" }, // minutes rounded
        { 3569, u"59min", u"59мин" },
        { 3600, u"   1h", u"   1ч" },
        { 65 * 60, u" 1h5m", u" 1ч5м" },
        { 75 * 60, u"1h15m", u"1ч15м" },
        { 9 * 3600 + 59 * 60, u"9h59m", u"9ч59м" },
        { 10 * 3600, u"  10h", u"  10ч" },
        { 9999 * 3600 + 29 * 60, u"9999h", u"9999ч" },
        { 9999 * 3600 + 30 * 60, u"   -h", u"   -ч" }, // 10000 hours do not fit
        { 600000 * 60, u"   -h", u"   -ч" },
        { -1, u"   -h", u"   -ч" },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatDiagramDuration(c.seconds, LANGUAGE_ENGLISH), QString::fromUtf16(c.english))
            << c.seconds;
        EXPECT_EQ(FormatDiagramDuration(c.seconds, LANGUAGE_RUSSIAN), QString::fromUtf16(c.russian))
            << c.seconds;
    }
}

TEST(DiagramTexts, TheShareDrivenAndTheTimeLeft)
{
    int percent = -1;
    double shown = -1;
    EXPECT_TRUE(CDistanceDiagram::Progress(1000, 350.4, percent, shown));
    EXPECT_EQ(percent, 65);
    EXPECT_EQ(shown, 350.4);
    // Not yet on the route: nothing driven, the whole length left.
    EXPECT_TRUE(CDistanceDiagram::Progress(1000, 1200, percent, shown));
    EXPECT_EQ(percent, 0);
    EXPECT_EQ(shown, 1000);
    EXPECT_TRUE(CDistanceDiagram::Progress(1000, 0, percent, shown));
    EXPECT_EQ(percent, 100);
    // A route of no length and unknown distances show nothing (no 0 / 0).
    EXPECT_FALSE(CDistanceDiagram::Progress(0, 0, percent, shown));
    EXPECT_EQ(percent, 0);
    EXPECT_FALSE(CDistanceDiagram::Progress(1000, -1, percent, shown));
    EXPECT_FALSE(CDistanceDiagram::Progress(-1, 10, percent, shown));

    EXPECT_EQ(CRemainingTimeDiagram::TravelSeconds(1000, 36), 100);
    EXPECT_EQ(CRemainingTimeDiagram::TravelSeconds(0, 36), 0);
    // No average speed: no time, the dash.
    EXPECT_EQ(CRemainingTimeDiagram::TravelSeconds(1000, 0), -1);
    EXPECT_EQ(FormatDiagramDuration(CRemainingTimeDiagram::TravelSeconds(1000, 0), LANGUAGE_ENGLISH),
        QStringLiteral("   -h"));
}

TEST(DiagramTexts, SpeedsRoundAndStopAt255)
{
    const struct {
        double knots;
        int kmh;
    } cases[]
        = { { 0.0, 0 }, { 0.27, 1 }, { 81.0, 150 }, { 140.4, 255 } /* 260 km/h */, { 1e9, 255 }, { -3, 0 } };
    for (const auto& c : cases)
        EXPECT_EQ(CSpeedDiagram::SpeedKmh(c.knots), c.kmh) << c.knots;
}

TEST(DiagramTexts, BatteryFlagsAreABitSet)
{
    using platform::PowerStatus;
    const struct {
        int flags;
        int percent;
    } cases[] = {
        { PowerStatus::BATTERY_HIGH, 100 },
        { PowerStatus::BATTERY_CHARGING, 100 },
        { PowerStatus::BATTERY_HIGH | PowerStatus::BATTERY_CHARGING, 100 }, // 9
        { PowerStatus::BATTERY_LOW | PowerStatus::BATTERY_CHARGING, 100 },
        { PowerStatus::BATTERY_LOW, 20 },
        { PowerStatus::BATTERY_LOW | PowerStatus::BATTERY_CRITICAL, 20 },
        { PowerStatus::BATTERY_NONE, CPowerDiagram::kUnknown }, // no system battery: unknown, not empty
        { PowerStatus::BATTERY_UNKNOWN, CPowerDiagram::kUnknown },
        { 0, 0 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(CPowerDiagram::PercentFromFlags(c.flags), c.percent) << c.flags;
}

} // namespace

namespace {

// A battery in a folder standing in for /sys.
class FakeBattery {
public:
    FakeBattery()
        : m_root(m_folder.path())
    {
    }
    void Set(const char* capacity, const char* status)
    {
        const QString dir = m_folder.path() + QStringLiteral("/sys/class/power_supply/BAT0");
        QDir().mkpath(dir);
        Write(dir + QStringLiteral("/type"), "Battery");
        Write(dir + QStringLiteral("/capacity"), capacity);
        Write(dir + QStringLiteral("/status"), status);
    }
    // A machine on mains power alone.
    void MainsOnly()
    {
        QDir(m_folder.path() + QStringLiteral("/sys/class/power_supply/BAT0")).removeRecursively();
        const QString dir = m_folder.path() + QStringLiteral("/sys/class/power_supply/AC");
        QDir().mkpath(dir);
        Write(dir + QStringLiteral("/type"), "Mains");
    }

private:
    static void Write(const QString& path, const char* text)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        file.write("\n");
    }
    QTemporaryDir m_folder;
    platform::ScopedSystemRoot m_root;
};

TEST(PowerDiagram, PercentTextAndBlinkByCharge)
{
    WidgetRig rig;
    FakeBattery battery;
    CBlinkerList blinkers;
    blinkers.Add(800, 800, nullptr);
    blinkers.AdvanceAll(1000); // visible
    const struct {
        const char* capacity;
        const char* status;
        const char16_t* text;
        int shown;
        bool blinks;
    } cases[] = {
        { "7", "Discharging", u"  7%", 7, true }, { "100", "Full", u"100%", 100, false },
        { "45", "Charging", u" 45%", 45, false }, { "19", "Discharging", u" 19%", 19, true },
        { "20", "Discharging", u" 20%", 20, false },
        { "", "Unknown", u"  ?%", CPowerDiagram::kUnknown, true }, // nothing known
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.capacity);
        battery.Set(c.capacity, c.status);
        CPowerDiagram power(&blinkers);
        power.SetSurface(g_drawTool.get());
        power.SetPosition({ 10, 10 });
        power.SetSize({ 41, 20 });
        blinkers.AdvanceAll(1000 + 1600); // back to the start of a lit phase
        power.Draw();
        EXPECT_EQ(power.GetShownPercent(), c.shown);
        EXPECT_EQ(power.GetText(), QString::fromUtf16(c.text));
        // In the dark phase a low or unknown charge leaves its text out.
        blinkers.AdvanceAll(1000 + 1600 + 1200);
        g_drawTool->Clear(0x000000, false);
        power.Draw();
        const QImage dark = rig.Picture().copy(10, 10, 41, 20);
        blinkers.AdvanceAll(1000 + 3200);
        g_drawTool->Clear(0x000000, false);
        power.Draw();
        const QImage lit = rig.Picture().copy(10, 10, 41, 20);
        EXPECT_EQ(dark != lit, c.blinks);
    }
    // No battery at all: the unknown charge, with an empty bar.
    battery.MainsOnly();
    CPowerDiagram power(&blinkers);
    power.SetSurface(g_drawTool.get());
    power.SetPosition({ 10, 10 });
    power.SetSize({ 41, 20 });
    power.Draw();
    EXPECT_EQ(power.GetShownPercent(), CPowerDiagram::kUnknown);
    EXPECT_EQ(power.GetText(), QStringLiteral("  ?%"));
    EXPECT_EQ(WidgetRig::Rgb(11, 15), WidgetRig::OnSurface(0xFFF799)) << "pale yellow: nothing filled";
}

TEST(PowerDiagram, TheBatteryIsReadAgainEvery181stFrame)
{
    WidgetRig rig;
    FakeBattery battery;
    battery.Set("50", "Discharging");
    CPowerDiagram power;
    power.SetSurface(g_drawTool.get());
    power.SetSize({ 41, 20 });
    power.Draw();
    ASSERT_EQ(power.GetShownPercent(), 50);
    battery.Set("49", "Discharging");
    for (int frame = 2; frame <= CPowerDiagram::kReadEvery; ++frame) {
        power.Draw();
        ASSERT_EQ(power.GetShownPercent(), 50) << frame;
    }
    power.Draw();
    EXPECT_EQ(power.GetShownPercent(), 49);
}

} // namespace

namespace {

TEST(SatelliteDiagram, UsedInViewAndTheRestOfTwelve)
{
    WidgetRig rig;
    CSatelliteDiagram satellites;
    satellites.SetSurface(g_drawTool.get());
    satellites.SetPosition({ 20, 30 });
    satellites.SetSize({ 120, 20 });
    const uint32_t kRed = WidgetRig::OnSurface(0xFF0000), kBlue = WidgetRig::OnSurface(0x0033FF),
                   kPale = WidgetRig::OnSurface(0xFFF799), kBackdrop = 0x000000;
    // A colour per column of the bar, from what is drawn.
    auto bar = [&](int used, int inView) {
        {
            platform::CSLock lock(g_gpsFixLock);
            g_gpsFix.m_satellitesUsed = used;
            g_gpsFix.m_satellitesInView = inView;
        }
        g_drawTool->Clear(kBackdrop, false);
        satellites.Draw();
        const QImage picture = rig.Picture();
        std::vector<uint32_t> columns;
        for (int x = 18; x < 144; ++x)
            columns.push_back(picture.pixel(x, 40) & 0xFFFFFF);
        return columns;
    };
    // Runs of colour as (colour, first column) from x = 18.
    auto runs = [](const std::vector<uint32_t>& columns) {
        std::vector<std::pair<uint32_t, int>> out;
        for (size_t i = 0; i < columns.size(); ++i)
            if (i == 0 || columns[i] != columns[i - 1])
                out.emplace_back(columns[i], int(i) + 18);
        return out;
    };
    using Runs = std::vector<std::pair<uint32_t, int>>;
    EXPECT_EQ(runs(bar(5, 8)),
        (Runs { { kBackdrop, 18 }, { kRed, 20 }, { kBlue, 70 }, { kPale, 100 }, { kBackdrop, 140 } }));
    EXPECT_EQ(runs(bar(0, 0)), (Runs { { kBackdrop, 18 }, { kPale, 20 }, { kBackdrop, 140 } }));
    EXPECT_EQ(runs(bar(12, 12)), (Runs { { kBackdrop, 18 }, { kRed, 20 }, { kBackdrop, 140 } }));
    // Counts a damaged sentence gave stay inside the bar.
    EXPECT_EQ(runs(bar(-3, 40)), (Runs { { kBackdrop, 18 }, { kBlue, 20 }, { kBackdrop, 140 } }));
    EXPECT_EQ(runs(bar(99, -5)), (Runs { { kBackdrop, 18 }, { kRed, 20 }, { kBackdrop, 140 } }));
}

TEST(DiagramButton, ATapStepsToTheNextDiagramAndOnlyOnItsWidenedRectangle)
{
    WidgetRig rig;
    CScreenElement jams; // the traffic indicator
    CDiagramButton button(&rig.Controller().GetRouteManager(), &rig.Controller().GetBlinkers(), &jams);
    button.Attach(g_drawTool.get(), { 50, 100 }, { 40, 40 });
    EXPECT_EQ(button.GetState(), CScreenElement::STATE_HIDDEN);
    EXPECT_EQ(button.OnPointerDown({ 60, 110 }), 0) << "hidden";
    button.SetState(CScreenElement::STATE_SHOWN);
    for (int32_t id : { 13999, 14007, -1 }) {
        button.SetDiagram(id);
        EXPECT_EQ(button.GetDiagram(), 14000) << id;
    }
    button.SetDiagram(14006);
    EXPECT_EQ(button.GetWidget(14006), &jams);
    // 10 pixels to either side count; the bottom edge does not.
    EXPECT_EQ(button.OnPointerDown({ 40, 100 }), 1);
    EXPECT_EQ(button.OnPointerUp({ 99, 139 }), 1);
    EXPECT_EQ(button.GetDiagram(), 14000) << "14006 wraps";
    EXPECT_EQ(button.OnPointerDown({ 60, 110 }), 1);
    EXPECT_EQ(button.OnPointerUp({ 60, 140 }), 0) << "released off the button";
    EXPECT_EQ(button.GetDiagram(), 14000);
    EXPECT_EQ(button.OnPointerDown({ 39, 110 }), 0);
    EXPECT_EQ(button.OnPointerUp({ 60, 110 }), 0) << "not pressed";
    EXPECT_EQ(button.GetDiagram(), 14000);
}

} // namespace

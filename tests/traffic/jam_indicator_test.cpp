// The traffic indicator (diagram 14006) as buttons carrying it draw it over the
// shipped Voradu map, at 240 x 320 and 640 x 480, against stored pictures: a
// download awaited, an interval under way, good jam data of 10:42 and a failure.
#include "controls/command_registry.h"
#include "platform/clock.h"
#include "platform/local_time.h"
#include "tests/controls/widget_rig.h"
#include "traffic/jam_settings.h"

#include <gtest/gtest.h>

namespace {

using controlstest::WidgetRig;

// How many pixels of the rectangle have the colour (0xRRGGBB).
int CountColour(const QImage& picture, const QRect& rect, uint32_t rgb)
{
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            count += (picture.pixel(x, y) & 0xFFFFFF) == rgb;
    return count;
}

} // namespace

TEST(JamIndicator, PicturesOfItsStates)
{
    const JamSettings saved = g_jamSettings;
    g_jamSettings.downloadEnabled = 1;
    g_jamSettings.periodMinutes = 5;
    for (const QSize size : { QSize(240, 320), QSize(640, 480) }) {
        platform::ScopedManualClock clock(1000);
        WidgetRig rig(size.width(), size.height());
        CJamSchedule& schedule = rig.Controller().GetJamSchedule();
        rig.DrawMap();
        const int x = ScaleByDpiX(20), step = ScaleByDpiY(30);
        int y = ScaleByDpiY(10);
        auto draw = [&] {
            g_CommandRegistry->DrawDiagram(14006, g_drawTool.get(), x, y, 255);
            const QRect rect(x - ScaleByDpiX(8), y, ScaleByDpiX(90), step);
            y += step;
            return rect;
        };

        schedule.RequestNow();
        draw(); // " Wait" over a full bar
        schedule.OnSettingsChanged();
        clock->advance(123000);
        draw(); // 40 % of the interval
        const uint64_t at1042 = platform::LocalTimeToFileTime({ 2026, 12, 11, 5, 10, 42, 0, 0 });
        schedule.OnJamReceived(true, &at1042);
        schedule.OnJamApplied(true);
        schedule.Acknowledge(true);
        const QRect good = draw(); // 10:42 on light green
        schedule.OnJamReceived(false);
        const QRect failed = draw(); // 10:42 on light pink

        const QImage picture = rig.Picture();
        EXPECT_GT(CountColour(picture, good, WidgetRig::OnSurface(0xC3FFC3)), 0) << "no light green";
        EXPECT_EQ(CountColour(picture, good, WidgetRig::OnSurface(0xFFC3C8)), 0);
        EXPECT_GT(CountColour(picture, failed, WidgetRig::OnSurface(0xFFC3C8)), 0) << "no light pink";
        EXPECT_EQ(CountColour(picture, failed, WidgetRig::OnSurface(0xC3FFC3)), 0);
        testing_support::ExpectGoldenPicture(picture, QStringLiteral("traffic"),
            QStringLiteral("jam_indicator_%1x%2").arg(size.width()).arg(size.height()));
    }
    g_jamSettings = saved;
}

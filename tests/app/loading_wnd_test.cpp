// The loading window: what a report of progress answers, the bar on every
// screen, the finish that waits for another thread's 100, and pictures.
#include "app/loading_wnd.h"

#include "foundation/screen_metrics.h"
#include "platform/display.h"
#include "platform/message_box.h"
#include "tests/support/program_folder.h"
#include "tests/support/scoped_screen.h"
#include "tests/support/screenshot.h"

#include <QCoreApplication>
#include <QImage>
#include <gtest/gtest.h>
#include <thread>

namespace {

// The loading window over a device screen of its own.
class LoadingRig {
public:
    LoadingRig(int width, int height, int dpi)
        : m_screen(width, height, dpi)
        , m_display(QSize(width, height), dpi)
        , m_device(m_display)
    {
        platform::SetDeviceScreenWindow(&m_device);
        m_device.show();
    }
    ~LoadingRig()
    {
        CLoadingWnd::GetInstance().Close();
        platform::SetDeviceScreenWindow(nullptr);
    }
    platform::DeviceScreen& Device() { return m_device; }

private:
    testing_support::ProgramFolder m_folder;
    ScopedScreen m_screen;
    platform::Display m_display;
    platform::DeviceScreen m_device;
};

TEST(LoadingWindow, ReportsAnswerByThePercentageAndTheWindowsState)
{
    LoadingRig rig(240, 320, 96);
    CLoadingWnd& window = CLoadingWnd::GetInstance();
    ASSERT_EQ(window.Create(QStringLiteral("v.2.4.272R.")), 0);
    EXPECT_EQ(SetLoadingProgress(40), LOADING_SHOWN);
    EXPECT_EQ(SetLoadingProgress(39), LOADING_BELOW_CURRENT);
    EXPECT_EQ(SetLoadingProgress(40), LOADING_SHOWN); // equal is not lower
    EXPECT_EQ(SetLoadingProgress(101), LOADING_ABOVE_100);
    EXPECT_EQ(SetLoadingProgress(100), LOADING_SHOWN);
    EXPECT_EQ(SetLoadingProgress(100), LOADING_SHOWN);
    EXPECT_EQ(window.CurrentPercent(), 100);
    EXPECT_EQ(window.Reported(), (std::vector<int> { 0, 40, 40, 100, 100 }));
    window.Close();
    EXPECT_EQ(window.Window(), nullptr);
    EXPECT_EQ(SetLoadingProgress(100), LOADING_CLOSED);
}

TEST(LoadingWindow, TheBarStaysOnEveryScreen)
{
    for (const QSize size : { QSize(240, 320), QSize(320, 240), QSize(240, 240), QSize(480, 640),
             QSize(640, 480), QSize(480, 234) }) {
        for (const int dpi : { 96, 192 }) {
            SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height() << " at " << dpi);
            ScopedScreen screen(size.width(), size.height(), dpi);
            const QRect all(0, 0, size.width(), size.height());
            EXPECT_TRUE(all.contains(CLoadingWnd::BarRect(100)));
            EXPECT_TRUE(all.contains(CLoadingWnd::BarStrip()));
            // One tile at 0 %, and the bar never shrinks as the progress grows.
            EXPECT_EQ(CLoadingWnd::BarRect(0).width(), ScaleByDpiX(11));
            for (int percent = 1; percent <= 100; ++percent)
                EXPECT_GE(CLoadingWnd::BarRect(percent).width(), CLoadingWnd::BarRect(percent - 1).width());
        }
    }
}

TEST(LoadingWindow, FinishEndsWithTheHundredAnotherThreadReports)
{
    LoadingRig rig(320, 240, 96);
    CLoadingWnd& window = CLoadingWnd::GetInstance();
    ASSERT_EQ(window.Create(QStringLiteral("v.2.4.272R.")), 0);
    SetLoadingProgress(70);
    // The other thread never waits for this one: it reports and ends.
    std::thread drawThread([] { EXPECT_EQ(SetLoadingProgress(100), LOADING_SHOWN); });
    drawThread.join();
    EXPECT_EQ(window.Finish(100), 0);
    EXPECT_EQ(window.CurrentPercent(), 100);
}

TEST(LoadingWindow, PicturesAtHalfWay)
{
    struct Screen {
        int w, h, dpi;
        const char* name;
    };
    for (const Screen& s : { Screen { 240, 320, 96, "240x320" }, Screen { 640, 480, 192, "640x480" },
             Screen { 480, 234, 96, "480x234" } }) {
        LoadingRig rig(s.w, s.h, s.dpi);
        CLoadingWnd& window = CLoadingWnd::GetInstance();
        ASSERT_EQ(window.Create(QStringLiteral("v.2.4.272R.")), 0);
        SetLoadingProgress(50);
        testing_support::SaveScreenshot(
            rig.Device(), QStringLiteral("loading_50_%1").arg(QLatin1String(s.name)));
        // The bar's end at half way: the tile colour up to it, the picture after it.
        const QImage picture = rig.Device().grab().toImage();
        const QRect bar = CLoadingWnd::BarRect(50);
        EXPECT_NE(picture.pixel(bar.right() - 1, bar.center().y()), picture.pixel(s.w - 2, bar.center().y()));
    }
}

} // namespace

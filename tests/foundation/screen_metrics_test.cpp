#include "foundation/dialog_templates.h"
#include "foundation/screen_metrics.h"

#include "platform/options.h"
#include "tests/support/scoped_screen.h"

#include <gtest/gtest.h>

namespace {

using OnScreen = ScopedScreen;

} // namespace

TEST(ScreenMetrics, ButtonSideOrientationAndClassPerScreen)
{
    struct Case {
        int w, h, dpi;
        int side, orientation, resolutionClass, icon, scaled10;
    };
    const Case cases[] = {
        { 240, 320, 96, 40, ORIENT_PORTRAIT, 1, 16, 10 },
        { 480, 640, 192, 80, ORIENT_PORTRAIT, 2, 32, 20 },
        { 320, 240, 96, 40, ORIENT_LANDSCAPE, 1, 16, 10 },
        { 240, 240, 96, 40, ORIENT_SQUARE, 1, 16, 10 },
        { 480, 234, 96, 39, ORIENT_LANDSCAPE, 1, 16, 10 },
        { 640, 480, 192, 80, ORIENT_LANDSCAPE, 2, 32, 20 },
    };
    for (const Case& c : cases) {
        OnScreen screen(c.w, c.h, c.dpi);
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << "@" << c.dpi);
        EXPECT_EQ(GetScreenWidth(), c.w);
        EXPECT_EQ(GetScreenHeight(), c.h);
        EXPECT_EQ(GetButtonSide(), c.side);
        EXPECT_EQ(GetScreenOrientation(), c.orientation);
        EXPECT_EQ(GetEffectiveOrientation(), c.orientation);
        EXPECT_EQ(GetScreenResolutionClass(), c.resolutionClass);
        EXPECT_EQ(GetIconSizeForResolution(), c.icon);
        EXPECT_EQ(ScaleByDpiX(10), c.scaled10);
        EXPECT_EQ(ScaleByDpiY(10), c.scaled10);
    }
}

TEST(ScreenMetrics, ScalingTruncatesTowardZero)
{
    OnScreen screen(240, 320, 144); // a factor of 1.5
    EXPECT_EQ(ScaleByDpiX(7), 10);
    EXPECT_EQ(ScaleByDpiY(-3), -4);
    EXPECT_EQ(GetScreenResolutionClass(), 0) << "neither 96 nor 192 dpi: no class";
    EXPECT_EQ(GetIconSizeForResolution(), 0);
}

TEST(ScreenMetrics, CachedValuesAreNotRefreshed)
{
    OnScreen screen(240, 320, 96);
    EXPECT_EQ(GetScreenWidth(), 240);
    EXPECT_EQ(GetScreenResolutionClass(), 1);
    platform::Options o = platform::options();
    o.screen = QSize(640, 480);
    platform::setOptions(o);
    EXPECT_EQ(GetScreenWidth(), 240);
    EXPECT_EQ(GetButtonSide(), 40);
}

TEST(DialogTemplates, TwinsByOrientation)
{
    {
        OnScreen portrait(240, 320, 96);
        EXPECT_EQ(GetOrientedDialogId(817), 944);
        EXPECT_EQ(GetOrientedDialogId(816), 945);
    }
    {
        OnScreen square(240, 240, 96);
        EXPECT_EQ(GetOrientedDialogId(817), 944);
    }
    {
        OnScreen landscape(320, 240, 96);
        EXPECT_EQ(GetOrientedDialogId(817), 884);
        EXPECT_EQ(GetOrientedDialogId(714), 717);
        EXPECT_EQ(GetOrientedDialogId(715), 716);
        EXPECT_EQ(GetOrientedDialogId(102), 102);
    }
    EXPECT_EQ(GetLandscapeDialogId(944), 884);
    EXPECT_EQ(GetPortraitDialogId(884), 944);
    EXPECT_EQ(GetLandscapeDialogId(884), 884) << "a landscape twin maps to itself";
    EXPECT_EQ(GetPortraitDialogId(717), 933);
    EXPECT_EQ(GetLandscapeDialogId(855), 895);
    EXPECT_EQ(GetPortraitDialogId(855), 958);
    for (int id : { 102, 0, -1, 999 }) {
        EXPECT_EQ(GetLandscapeDialogId(id), id);
        EXPECT_EQ(GetPortraitDialogId(id), id);
    }
}

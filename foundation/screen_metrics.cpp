#include "foundation/screen_metrics.h"

#include "platform/options.h"

#include <algorithm>
#include <atomic>

int g_screenCx = 0;
int g_screenCy = 0;
int g_buttonSide = 0;
int g_resolutionClass = 0;

namespace {

// No density or orientation override is ever set in this program; the screen
// is always asked.
constexpr int kDensityOverride = 0;
constexpr int kOrientationSetting = 0;

double g_dpiScaleX = 0.0;
double g_dpiScaleY = 0.0;
int g_iconSize = 0;

int screenDensityX() { return kDensityOverride ? kDensityOverride : platform::options().dpi; }
int screenDensityY() { return kDensityOverride ? kDensityOverride : platform::options().dpi; }

} // namespace

int GetScreenWidth()
{
    if (g_screenCx == 0)
        g_screenCx = platform::options().screen.width();
    return g_screenCx;
}

int GetScreenHeight()
{
    if (g_screenCy == 0)
        g_screenCy = platform::options().screen.height();
    return g_screenCy;
}

double ComputeDpiScaleX() { return g_dpiScaleX = screenDensityX() * (1.0 / 96); }
double ComputeDpiScaleY() { return g_dpiScaleY = screenDensityY() * (1.0 / 96); }

int ScaleByDpiX(int n)
{
    if (g_dpiScaleX == 0.0)
        ComputeDpiScaleX();
    return static_cast<int>(n * g_dpiScaleX);
}

int ScaleByDpiY(int n)
{
    if (g_dpiScaleY == 0.0)
        ComputeDpiScaleY();
    return static_cast<int>(n * g_dpiScaleY);
}

int GetScreenOrientation()
{
    const int w = GetScreenWidth(), h = GetScreenHeight();
    if (w < h)
        return ORIENT_PORTRAIT;
    if (h < w)
        return ORIENT_LANDSCAPE;
    return ORIENT_SQUARE;
}

int GetEffectiveOrientation() { return kOrientationSetting ? kOrientationSetting : GetScreenOrientation(); }

int ComputeButtonSide() { return g_buttonSide = std::min(GetScreenWidth(), GetScreenHeight()) / 6; }

int GetButtonSide() { return g_buttonSide ? g_buttonSide : ComputeButtonSide(); }

int GetScreenResolutionClass()
{
    const int x = screenDensityX(), y = screenDensityY();
    if (x == 192 && y == 192)
        g_resolutionClass = 2;
    else if (x == 96 && y == 96)
        g_resolutionClass = 1;
    return g_resolutionClass;
}

int GetIconSizeForResolution()
{
    if (g_iconSize)
        return g_iconSize;
    const int cls = g_resolutionClass ? g_resolutionClass : GetScreenResolutionClass();
    if (cls == 1)
        g_iconSize = 16;
    else if (cls == 2)
        g_iconSize = 32;
    return g_iconSize;
}

void ResetScreenMetrics()
{
    g_screenCx = g_screenCy = g_buttonSide = g_resolutionClass = 0;
    g_dpiScaleX = g_dpiScaleY = 0.0;
    g_iconSize = 0;
}

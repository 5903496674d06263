#include "foundation/screen_metrics.h"

#include "platform/options.h"

#include <algorithm>
#include <atomic>

std::atomic<int> g_screenCx { 0 };
std::atomic<int> g_screenCy { 0 };
std::atomic<int> g_buttonSide { 0 };
std::atomic<int> g_resolutionClass { 0 };

namespace {

// No density or orientation override is ever set in this program; the screen
// is always asked.
constexpr int kDensityOverride = 0;
constexpr int kOrientationSetting = 0;

std::atomic<double> g_dpiScaleX { 0.0 };
std::atomic<double> g_dpiScaleY { 0.0 };
std::atomic<int> g_iconSize { 0 };

int screenDensityX() { return kDensityOverride ? kDensityOverride : platform::options().dpi; }
int screenDensityY() { return kDensityOverride ? kDensityOverride : platform::options().dpi; }

} // namespace

int GetScreenWidth()
{
    const int width = g_screenCx;
    return width != 0 ? width : g_screenCx = platform::options().screen.width();
}

int GetScreenHeight()
{
    const int height = g_screenCy;
    return height != 0 ? height : g_screenCy = platform::options().screen.height();
}

double ComputeDpiScaleX() { return g_dpiScaleX = screenDensityX() * (1.0 / 96); }
double ComputeDpiScaleY() { return g_dpiScaleY = screenDensityY() * (1.0 / 96); }

int ScaleByDpiX(int n)
{
    const double scale = g_dpiScaleX;
    return static_cast<int>(n * (scale != 0.0 ? scale : ComputeDpiScaleX()));
}

int ScaleByDpiY(int n)
{
    const double scale = g_dpiScaleY;
    return static_cast<int>(n * (scale != 0.0 ? scale : ComputeDpiScaleY()));
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

int GetButtonSide()
{
    const int side = g_buttonSide;
    return side != 0 ? side : ComputeButtonSide();
}

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
    if (const int size = g_iconSize; size != 0)
        return size;
    const int known = g_resolutionClass;
    const int cls = known != 0 ? known : GetScreenResolutionClass();
    const int size = cls == 1 ? 16 : cls == 2 ? 32 : 0;
    if (size != 0)
        g_iconSize = size;
    return size;
}

void InitScreenMetrics()
{
    ResetScreenMetrics();
    GetScreenWidth();
    GetScreenHeight();
    ComputeDpiScaleX();
    ComputeDpiScaleY();
    ComputeButtonSide();
    GetIconSizeForResolution();
}

void ResetScreenMetrics()
{
    g_screenCx = 0;
    g_screenCy = 0;
    g_buttonSide = 0;
    g_resolutionClass = 0;
    g_dpiScaleX = 0.0;
    g_dpiScaleY = 0.0;
    g_iconSize = 0;
}

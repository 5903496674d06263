#pragma once
// Screen size, density scaling and orientation. Every layout constant of the
// program is a 96-dpi value for a 240x320 screen, scaled at run time through
// ScaleByDpiX/Y. The values are read once and never refreshed: a change of
// screen during the run is noticed elsewhere. The program fills them all with
// InitScreenMetrics before any thread of its own starts; a value read before
// that is filled on first use, which is safe from any thread.
#include <atomic>

extern std::atomic<int> g_screenCx;
extern std::atomic<int> g_screenCy;
extern std::atomic<int> g_buttonSide;
extern std::atomic<int> g_resolutionClass; // 1: 96 dpi, 2: 192 dpi, 0: none found yet

// Reads the screen (that of platform::options()) into every value at once.
void InitScreenMetrics();

int GetScreenWidth();
int GetScreenHeight();
double ComputeDpiScaleX();
double ComputeDpiScaleY();
int ScaleByDpiX(int n);
int ScaleByDpiY(int n);

enum ScreenOrientation { ORIENT_PORTRAIT = 1, ORIENT_LANDSCAPE = 2, ORIENT_SQUARE = 3 };
int GetScreenOrientation();
int GetEffectiveOrientation();

int ComputeButtonSide();
int GetButtonSide();
int GetScreenResolutionClass();
int GetIconSizeForResolution();

// Forgets every cached value so the next call reads the screen again (the
// screen is the emulated device screen of platform::options()). For tests that
// run several screens in one process, and for a restart of the screen set-up.
void ResetScreenMetrics();

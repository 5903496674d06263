#pragma once
// Runs a test body on an emulated device screen: sets the screen size and
// density of platform::options() and forgets the cached screen metrics; puts
// both back afterwards.
#include "foundation/screen_metrics.h"
#include "platform/options.h"

class ScopedScreen {
public:
    ScopedScreen(int width, int height, int dpi)
        : m_saved(platform::options())
    {
        platform::Options o = m_saved;
        o.screen = QSize(width, height);
        o.dpi = dpi;
        platform::setOptions(o);
        ResetScreenMetrics();
    }
    ~ScopedScreen()
    {
        platform::setOptions(m_saved);
        ResetScreenMetrics();
    }
    ScopedScreen(const ScopedScreen&) = delete;
    ScopedScreen& operator=(const ScopedScreen&) = delete;

private:
    platform::Options m_saved;
};

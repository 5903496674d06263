#include "kernel/render/render_clock.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace {

uint32_t SteadyTick()
{
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void RealSleep(uint32_t milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

std::atomic<ZXS_TickFunction> g_tick { &SteadyTick };
std::atomic<ZXS_SleepFunction> g_sleep { &RealSleep };

} // namespace

void ZXS_SetRenderClock(ZXS_TickFunction tick, ZXS_SleepFunction sleep)
{
    g_tick.store(tick != nullptr ? tick : &SteadyTick);
    g_sleep.store(sleep != nullptr ? sleep : &RealSleep);
}

uint32_t ZXS_RenderTick() { return g_tick.load()(); }

void ZXS_RenderSleep(uint32_t milliseconds) { g_sleep.load()(milliseconds); }

#include "platform/clock.h"

#include <chrono>
#include <thread>

namespace platform {

uint32_t SystemClock::tickCount() const
{
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

namespace {
SystemClock g_systemClock;
std::atomic<Clock*> g_clock { &g_systemClock };
}

Clock& clock() { return *g_clock.load(); }

void setClock(Clock* c) { g_clock.store(c ? c : &g_systemClock); }

uint32_t GetTickCount() { return clock().tickCount(); }

void Sleep(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

} // namespace platform

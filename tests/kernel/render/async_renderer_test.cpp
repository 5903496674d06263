// The render queue and the asynchronous frame protocol: queue, poll,
// acknowledge, cancel and synchronous frames, also from several threads.

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "kernel/api/result_codes.h"
#include "kernel/render/async_renderer.h"
#include "kernel/render/render_clock.h"
#include "kernel/render/view.h"
#include "kernel/router/router.h"
#include "tests/kernel/render/frame_support.h"

using namespace frame_support;

namespace {

std::atomic<uint32_t> g_sleeps { 0 };
uint32_t g_tick = 0;
uint32_t CountingTick() { return g_tick; }
void CountingSleep(uint32_t ms)
{
    ++g_sleeps;
    g_tick += ms;
}

// Waits for the render thread's frame; the state is the only signal it gives.
bool WaitForDone(const CZXS_ViewHandle& view)
{
    for (int i = 0; i < 20000; ++i) {
        if (ZXS_ViewGetRenderState(&view) == CZXS_View::kDone)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

class RenderQueue : public ::testing::Test {
protected:
    RenderQueue()
        : map(ShippedMap())
    {
    }
    void SetUp() override
    {
        ASSERT_TRUE(kernel.started);
        ASSERT_TRUE(map.opened);
        ASSERT_EQ(ZXS_MapGetCenter(&map.handle, &centre), 0);
    }

    Kernel kernel;
    Map map;
    ZXS_Point centre;
};

} // namespace

// The queue holds 20; the 21st is refused with error 13 and state 0. Cancelling
// a queued job keeps the others in order and leaves the cancelled one idle.
TEST_F(RenderQueue, HoldsTwentyInOrderAndCancelsQueuedJobsToIdle)
{
    CAsyncRenderer queue; // its thread is not started: jobs stay queued
    std::vector<std::unique_ptr<CZXS_View>> views;
    for (int i = 0; i < 21; ++i)
        views.push_back(std::make_unique<CZXS_View>(&map.handle.pDoc->Map()));
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(queue.Add(views[i].get()));
    queue.GetError();
    EXPECT_FALSE(queue.Add(views[20].get()));
    EXPECT_EQ(queue.GetError(), ZXS_KERR_QUEUEFULL);
    EXPECT_EQ(views[20]->State().load(), CZXS_View::kIdle);
    EXPECT_EQ(views[0]->State().load(), CZXS_View::kQueued);

    EXPECT_TRUE(queue.Cancel(views[1].get(), true));
    const std::vector<CZXS_View*> left = queue.Queue();
    ASSERT_EQ(left.size(), 19u);
    EXPECT_EQ(left[0], views[0].get());
    EXPECT_EQ(left[1], views[2].get());
    EXPECT_EQ(left[18], views[19].get());
    EXPECT_EQ(views[1]->State().load(), CZXS_View::kIdle) << "a cancelled job must not look queued";

    // Cancel and add again, as an asynchronous render does: queued once.
    EXPECT_TRUE(queue.Cancel(views[5].get(), false));
    EXPECT_TRUE(queue.Add(views[5].get()));
    EXPECT_TRUE(queue.Cancel(views[5].get(), false));
    EXPECT_TRUE(queue.Add(views[5].get()));
    EXPECT_EQ(queue.Queue().size(), 19u);
    for (auto& v : views)
        queue.Cancel(v.get(), false);
    EXPECT_TRUE(queue.Queue().empty());
    queue.GetError();
    EXPECT_TRUE(queue.Cancel(views[0].get(), true));
    EXPECT_EQ(queue.GetError(), ZXS_KERR_QUEUEEMPTY);
}

// Releasing the image of a view whose queued job was cancelled returns at once
// and frees the image (no 10 s wait, nothing leaked).
TEST_F(RenderQueue, ReleasingAfterACancelledJobDoesNotWait)
{
    View view(map.handle, 240, 320);
    ASSERT_TRUE(view.ok && view.Place(centre.x, centre.y, 2000, 0));
    CAsyncRenderer queue;
    ASSERT_TRUE(queue.Add(view.handle.pView));
    ASSERT_TRUE(queue.Cancel(view.handle.pView, false));
    g_sleeps = 0;
    ZXS_SetRenderClock(&CountingTick, &CountingSleep);
    ZXS_ViewReleaseImage(&view.handle);
    ZXS_SetRenderClock(nullptr, nullptr);
    EXPECT_EQ(g_sleeps.load(), 0u);
    EXPECT_EQ(ZXS_ViewHasImage(&view.handle), 0);
    EXPECT_EQ(ZXS_ViewGetRenderState(&view.handle), CZXS_View::kIdle);
}

// Queue, poll until done, read, acknowledge; the state answers 2 for an
// invalid handle, and an acknowledgement while queued changes nothing.
TEST_F(RenderQueue, AsynchronousFrameProtocol)
{
    View view(map.handle, 240, 320);
    ASSERT_TRUE(view.ok && view.Place(centre.x, centre.y, 2000, 0));
    ASSERT_EQ(ZXS_ViewClear(&view.handle), 0);
    ASSERT_EQ(ZXS_ViewRenderAsync(&view.handle), 0);
    ASSERT_TRUE(WaitForDone(view.handle));
    const QImage picture = view.Picture();
    EXPECT_GT(view.handle.pView->Counts().labels, 0);
    ASSERT_EQ(ZXS_ViewAckRender(&view.handle), 0);
    EXPECT_EQ(ZXS_ViewGetRenderState(&view.handle), CZXS_View::kIdle);

    // The same frame on the caller's thread gives the same picture.
    ASSERT_TRUE(view.Render());
    EXPECT_EQ(view.Picture(), picture);
    EXPECT_EQ(ZXS_ViewGetRenderState(&view.handle), CZXS_View::kDone);

    view.handle.pView->State().store(CZXS_View::kQueued);
    EXPECT_EQ(ZXS_ViewAckRender(&view.handle), 0);
    EXPECT_EQ(ZXS_ViewGetRenderState(&view.handle), CZXS_View::kQueued);
    view.handle.pView->State().store(CZXS_View::kIdle);

    CZXS_ViewHandle invalid;
    EXPECT_EQ(ZXS_ViewGetRenderState(&invalid), CZXS_View::kDone);
    EXPECT_EQ(ZXS_ViewGetRenderState(nullptr), CZXS_View::kDone);
}

// The interface thread queues, cancels, resizes, renders synchronously and
// acknowledges one view while the render thread draws it and a second view;
// run under ThreadSanitizer as well.
TEST_F(RenderQueue, InterfaceThreadAgainstTheRenderThread)
{
    View first(map.handle, 240, 320);
    View second(map.handle, 240, 320);
    ASSERT_TRUE(first.ok && second.ok);
    ASSERT_TRUE(first.Place(centre.x, centre.y, 2000, 0) && second.Place(centre.x, centre.y, 700, 300));
    std::atomic<bool> stop { false };
    std::thread other([&] {
        while (!stop.load()) {
            if (ZXS_ViewRenderAsync(&second.handle) != 0)
                continue;
            if (WaitForDone(second.handle))
                ZXS_ViewAckRender(&second.handle);
        }
    });
    for (int round = 0; round < 12; ++round) {
        ASSERT_EQ(ZXS_ViewRenderAsync(&first.handle), 0);
        switch (round % 4) {
        case 0:
            EXPECT_EQ(ZXS_ViewCancelRender(&first.handle), 0);
            EXPECT_NE(ZXS_ViewGetRenderState(&first.handle), CZXS_View::kQueued);
            break;
        case 1:
            ASSERT_EQ(ZXS_ViewResize(&first.handle, nullptr, 240 + round, 320, 1), 0);
            ASSERT_TRUE(first.Place(centre.x, centre.y, 2000, 0));
            EXPECT_NE(ZXS_ViewGetRenderState(&first.handle), CZXS_View::kQueued);
            break;
        case 2:
            EXPECT_EQ(ZXS_ViewRender(&first.handle, round & 1, nullptr), 0);
            break;
        default:
            EXPECT_TRUE(WaitForDone(first.handle));
            break;
        }
        ZXS_ViewAckRender(&first.handle);
    }
    stop = true;
    other.join();
    EXPECT_EQ(ZXS_ViewCancelRender(&second.handle), 0);
}

// The route is rebuilt on this thread while the render thread draws it: the
// frame draws from a copy taken under the route lock.
TEST_F(RenderQueue, RouteRebuiltWhileTheRenderThreadDrawsIt)
{
    View view(map.handle, 240, 320);
    ASSERT_TRUE(view.ok && view.Place(centre.x, centre.y, 2000, 0));
    CZXS_View& v = *view.handle.pView;
    ASSERT_EQ(v.CreateRouter(), 1);
    ZXS_Rect bounds;
    ASSERT_EQ(ZXS_MapGetBounds(&map.handle, &bounds), 0);
    const int32_t dx = (bounds.right - bounds.left) / 6;
    const int32_t dy = (bounds.bottom - bounds.top) / 6;
    std::atomic<bool> stop { false };
    std::thread frames([&] {
        while (!stop.load()) {
            if (ZXS_ViewRenderAsync(&view.handle) == 0 && WaitForDone(view.handle))
                ZXS_ViewAckRender(&view.handle);
        }
    });
    int built = 0;
    for (int round = 0; round < 8; ++round) {
        const std::lock_guard<std::mutex> lock(v.RouteLock());
        CZXS_Router* router = v.Router();
        ASSERT_NE(router, nullptr);
        router->Clear();
        const int32_t sign = round % 2 == 0 ? 1 : -1;
        if (router->AddPoint(
                CZXS_Router::kStart, centre.x - sign * dx, centre.y - dy, 2000, -1, CZXS_Router::kAnyName, 0)
                == 0
            && router->AddPoint(CZXS_Router::kFinish, centre.x + sign * dx, centre.y + dy, 2000, -1,
                   CZXS_Router::kAnyName, 0)
                == 0
            && router->Calculate(CZXS_Router::kFastest) == 0)
            ++built;
    }
    stop = true;
    frames.join();
    EXPECT_GT(built, 0);
    // The last route shows in a frame of its own.
    ASSERT_TRUE(view.Render());
    const QImage withRoute = view.Picture();
    v.DeleteRouter();
    ASSERT_TRUE(view.Render());
    EXPECT_NE(view.Picture(), withRoute);
}

namespace {

// A render clock whose first tick on another thread than this test's holds the
// frame that asked for it until that frame is asked to stop or its map's close
// has returned.
std::atomic<CZXS_View*> g_heldView { nullptr };
std::atomic<bool> g_holding { false };
std::atomic<bool> g_held { false };
std::atomic<bool> g_mapClosed { false };
std::thread::id g_testThread;

uint32_t HoldingTick()
{
    bool expected = true;
    if (std::this_thread::get_id() != g_testThread && g_holding.compare_exchange_strong(expected, false)) {
        g_held = true;
        while (!g_heldView.load()->CancelRequested() && !g_mapClosed.load())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}

} // namespace

// Closing a map stops its views' jobs before the map goes: one frame queued
// behind a running one is taken out of the queue, the running one is stopped
// and waited for. Neither may draw from the freed map (AddressSanitizer).
TEST_F(RenderQueue, ClosingAMapStopsTheFramesOfItsViews)
{
    Map other(RenderMap("monaco"));
    ASSERT_TRUE(other.opened);
    ZXS_Point otherCentre;
    ASSERT_EQ(ZXS_MapGetCenter(&other.handle, &otherCentre), 0);
    View running(map.handle, 240, 320);
    View queued(other.handle, 240, 320);
    ASSERT_TRUE(running.ok && running.Place(centre.x, centre.y, 2000, 0));
    ASSERT_TRUE(queued.ok && queued.Place(otherCentre.x, otherCentre.y, 2000, 0));

    g_testThread = std::this_thread::get_id();
    g_heldView = running.handle.pView;
    g_held = false;
    g_mapClosed = false;
    g_holding = true;
    ZXS_SetRenderClock(&HoldingTick, nullptr);
    ASSERT_EQ(ZXS_ViewRenderAsync(&running.handle), 0);
    while (!g_held.load())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(ZXS_ViewRenderAsync(&queued.handle), 0);
    ASSERT_EQ(CAsyncRenderer::Instance().Queue().size(), 1u);

    ZXS_MapClose(&other.handle);
    EXPECT_TRUE(CAsyncRenderer::Instance().Queue().empty());
    EXPECT_EQ(queued.handle.pView->State().load(), CZXS_View::kIdle);

    std::thread closer([&] {
        ZXS_MapClose(&map.handle);
        g_mapClosed = true;
    });
    closer.join();
    ZXS_SetRenderClock(nullptr, nullptr);
    EXPECT_NE(running.handle.pView->State().load(), CZXS_View::kQueued);
    EXPECT_EQ(running.handle.pView->Document(), nullptr);
    EXPECT_EQ(ZXS_ViewRenderAsync(&running.handle), ZXS_ERR_NOHANDLE);
}

// A view destroyed on one thread while its map closes on another: whichever
// comes first, the other finds a consistent map and view.
TEST_F(RenderQueue, ViewDestroyedWhileItsMapClosesElsewhere)
{
    for (int round = 0; round < 40; ++round) {
        Map other(ShippedMap());
        ASSERT_TRUE(other.opened);
        CZXS_ViewHandle view;
        ASSERT_EQ(ZXS_ViewCreate(&view, &other.handle), 0);
        std::atomic<int> ready { 0 };
        auto together = [&] {
            ++ready;
            while (ready.load() < 2) { }
        };
        std::thread closer([&] {
            together();
            ZXS_MapClose(&other.handle);
        });
        std::thread destroyer([&] {
            together();
            ZXS_ViewDestroy(&view);
        });
        closer.join();
        destroyer.join();
        EXPECT_EQ(view.pView, nullptr);
    }
}

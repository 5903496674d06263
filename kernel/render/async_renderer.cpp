#include "kernel/render/async_renderer.h"

#include <algorithm>
#include <chrono>
#include <system_error>

#include "kernel/api/result_codes.h"
#include "kernel/render/render_clock.h"
#include "kernel/render/view.h"

CAsyncRenderer& CAsyncRenderer::Instance()
{
    static CAsyncRenderer renderer;
    return renderer;
}

CAsyncRenderer::~CAsyncRenderer() { Stop(); }

bool CAsyncRenderer::Start()
{
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_running)
        return true;
    if (m_thread.joinable())
        m_thread.join();
    m_stop = false;
    try {
        m_thread = std::thread(&CAsyncRenderer::ThreadMain, this);
    } catch (const std::system_error&) {
        return false;
    }
    m_running = true;
    return true;
}

bool CAsyncRenderer::Stop()
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (!m_running && !m_thread.joinable())
            return true;
        m_stop = true;
        // Jobs left behind would stay at state 1 for ever.
        for (CZXS_View* view : m_queue)
            view->State().store(CZXS_View::kIdle);
        m_queue.clear();
    }
    m_wake.notify_all();
    if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id())
        m_thread.join();
    std::lock_guard<std::mutex> lock(m_lock);
    m_running = false;
    return true;
}

bool CAsyncRenderer::IsRunning()
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_running;
}

std::vector<CZXS_View*> CAsyncRenderer::Queue()
{
    std::lock_guard<std::mutex> lock(m_lock);
    return { m_queue.begin(), m_queue.end() };
}

bool CAsyncRenderer::Add(CZXS_View* view)
{
    if (view == nullptr) {
        SetError(ZXS_KERR_NOVIEW);
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_queue.size() >= kMaxJobs) {
            view->State().store(CZXS_View::kIdle);
            SetError(ZXS_KERR_QUEUEFULL);
            return false;
        }
        view->State().store(CZXS_View::kQueued);
        m_queue.push_back(view);
    }
    m_wake.notify_one();
    return true;
}

bool CAsyncRenderer::Cancel(CZXS_View* view, bool report)
{
    if (view == nullptr) {
        SetError(ZXS_KERR_NOVIEW);
        return true;
    }
    std::unique_lock<std::mutex> lock(m_lock);
    const auto queued = std::find(m_queue.begin(), m_queue.end(), view);
    if (queued != m_queue.end()) {
        m_queue.erase(queued);
        // A job that never ran must not be left looking queued: releasing the
        // image waits while the state reads 1.
        if (std::find(m_queue.begin(), m_queue.end(), view) == m_queue.end() && m_current != view) {
            int32_t state = CZXS_View::kQueued;
            view->State().compare_exchange_strong(state, CZXS_View::kIdle);
        }
        if (m_current != view)
            return true;
    } else if (report && m_queue.empty() && m_current == nullptr) {
        SetError(ZXS_KERR_QUEUEEMPTY);
    }
    if (m_current == view) {
        view->SetCancel(true);
        const bool stopped = m_frameEnded.wait_for(
            lock, std::chrono::milliseconds(kCancelPollMs * kCancelPolls), [&] { return m_current != view; });
        if (!stopped)
            return false;
        view->SetCancel(false);
        view->State().store(CZXS_View::kIdle);
        return true;
    }
    lock.unlock();
    // A synchronous frame on another thread: ask it to stop and wait for it.
    if (view->IsBusy()) {
        view->SetCancel(true);
        uint32_t polls = 0;
        while (view->IsBusy() && polls++ < kCancelPolls)
            ZXS_RenderSleep(kCancelPollMs);
        if (view->IsBusy())
            return false;
        view->SetCancel(false);
        view->State().store(CZXS_View::kIdle);
    }
    return true;
}

void CAsyncRenderer::ThreadMain()
{
    std::unique_lock<std::mutex> lock(m_lock);
    for (;;) {
        m_wake.wait(lock, [&] { return m_stop || !m_queue.empty(); });
        if (m_stop)
            break;
        // The job is taken under the lock, so a cancel either finds it queued
        // or finds it running, never in between.
        CZXS_View* view = m_queue.front();
        m_queue.pop_front();
        m_current = view;
        view->SetCancel(false);
        lock.unlock();
        view->Render(false);
        lock.lock();
        m_current = nullptr;
        m_frameEnded.notify_all();
    }
    m_running = false;
}

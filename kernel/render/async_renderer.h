#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "kernel/doc/object.h"

class CZXS_View;

// Renders queued views on the kernel's render thread, one frame at a time, so
// that the caller never waits for a frame. The caller polls the view's render
// state (0 idle, 1 queued or rendering, 2 done) and acknowledges a done frame.
class CAsyncRenderer : public CZXS_Object {
public:
    static constexpr size_t kMaxJobs = 20;
    static constexpr uint32_t kCancelPollMs = 50;
    static constexpr uint32_t kCancelPolls = 120;

    // The kernel's one renderer; its thread starts with the first job or Start
    // and ends with Stop or at process exit.
    static CAsyncRenderer& Instance();

    CAsyncRenderer() = default;
    CAsyncRenderer(const CAsyncRenderer&) = delete;
    CAsyncRenderer& operator=(const CAsyncRenderer&) = delete;
    ~CAsyncRenderer() override;

    const char16_t* ClassName() const override { return u"CAsyncRenderer"; }

    // Queues the view (state 1); the thread must be started for it to run. A
    // full queue refuses it: state 0, error 13.
    bool Add(CZXS_View* view);
    // Takes the view's job away: a queued one leaves the queue with state 0; a
    // running frame is asked to stop and waited for (state 0 once it stopped).
    // False when the running frame did not stop in time; its flags stay as the
    // frame keeps them. With `report`, an empty queue is error 15.
    bool Cancel(CZXS_View* view, bool report);
    bool Start();
    bool Stop();
    bool IsRunning();
    // The queued views, next first.
    std::vector<CZXS_View*> Queue();

private:
    void ThreadMain();

    std::mutex m_lock;
    std::condition_variable m_wake;
    std::condition_variable m_frameEnded;
    std::deque<CZXS_View*> m_queue;
    CZXS_View* m_current = nullptr;
    std::thread m_thread;
    bool m_running = false;
    bool m_stop = false;
};

#pragma once
// A process-wide object (g_MapController, g_gpsSource, g_waypoints, ...) that is
// declared by its own subsystem but built and torn down by the application's
// start-up list, in one fixed order, instead of by static initialisation.
// Readers on other threads see either no object or a whole one.
#include <atomic>
#include <cassert>
#include <memory>
#include <utility>

namespace platform {

template <class T> class ProcessObject {
public:
    ProcessObject() = default;
    ProcessObject(const ProcessObject&) = delete;
    ProcessObject& operator=(const ProcessObject&) = delete;
    ~ProcessObject() { Destroy(); }

    // Builds the object; an object that exists already is a fault of the start-up list.
    template <class... Args> T& Create(Args&&... args)
    {
        assert(!m_object && "process object built twice");
        m_object = std::make_unique<T>(std::forward<Args>(args)...);
        m_published.store(m_object.get(), std::memory_order_release);
        return *m_object;
    }

    // Takes an object built elsewhere (a subclass, or one a test prepared).
    T& Adopt(std::unique_ptr<T> object)
    {
        assert(!m_object && "process object built twice");
        m_object = std::move(object);
        m_published.store(m_object.get(), std::memory_order_release);
        return *m_object;
    }

    void Destroy()
    {
        m_published.store(nullptr, std::memory_order_release);
        m_object.reset();
    }

    T* get() const { return m_published.load(std::memory_order_acquire); }
    T* operator->() const
    {
        T* object = get();
        assert(object && "process object used before it was built or after it was torn down");
        return object;
    }
    T& operator*() const { return *operator->(); }
    explicit operator bool() const { return get() != nullptr; }

private:
    std::unique_ptr<T> m_object;
    std::atomic<T*> m_published { nullptr };
};

// Builds a process object for a scope (tests, tools) and tears it down at its end.
template <class T> class ScopedProcessObject {
public:
    template <class... Args>
    explicit ScopedProcessObject(ProcessObject<T>& holder, Args&&... args)
        : m_holder(holder)
    {
        m_holder.Create(std::forward<Args>(args)...);
    }
    ~ScopedProcessObject() { m_holder.Destroy(); }
    ScopedProcessObject(const ScopedProcessObject&) = delete;
    ScopedProcessObject& operator=(const ScopedProcessObject&) = delete;
    T& operator*() const { return *m_holder; }
    T* operator->() const { return m_holder.get(); }

private:
    ProcessObject<T>& m_holder;
};

} // namespace platform

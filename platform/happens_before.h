#pragma once
// Hand-overs that ThreadSanitizer cannot see. Qt's queues and thread pool
// synchronise through futexes inside its uninstrumented libraries, so an
// object handed from one thread to another through them looks unordered.
// Marking the hand-over on both sides tells the sanitizer what Qt does; in
// other builds the marks are nothing.

#if defined(__SANITIZE_THREAD__)
#define TRAVENOR_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define TRAVENOR_TSAN 1
#endif
#endif

#ifdef TRAVENOR_TSAN
#include <sanitizer/tsan_interface.h>
#endif

namespace platform {

// Everything this thread did before handing `object` over ...
inline void HandOver(const void* object)
{
#ifdef TRAVENOR_TSAN
    __tsan_release(const_cast<void*>(object));
#else
    (void)object;
#endif
}

// ... is seen by the thread that takes it over.
inline void TakeOver(const void* object)
{
#ifdef TRAVENOR_TSAN
    __tsan_acquire(const_cast<void*>(object));
#else
    (void)object;
#endif
}

} // namespace platform

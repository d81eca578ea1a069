#pragma once

// Qt's QMutex, QWaitCondition and event queue do their locking inside the Qt
// library, which ThreadSanitizer does not instrument: to the sanitizer a QMutex
// orders nothing, and a race report about data that a QMutex guards would be
// false. Code that hands data between threads through those Qt primitives tells
// the sanitizer what they order with these calls. Outside a ThreadSanitizer
// build they compile to nothing.

#if defined(__SANITIZE_THREAD__)
#define K27_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define K27_THREAD_SANITIZER 1
#endif
#endif

#if defined(K27_THREAD_SANITIZER)
#include <sanitizer/tsan_interface.h>
#endif

namespace Utilities::ThreadSanitizer {

#if defined(K27_THREAD_SANITIZER)
inline void mutexCreated(void *mutex)
{
    __tsan_mutex_create(mutex, 0);
}
inline void mutexDestroyed(void *mutex)
{
    __tsan_mutex_destroy(mutex, 0);
}
inline void beforeLock(void *mutex)
{
    __tsan_mutex_pre_lock(mutex, 0);
}
inline void afterLock(void *mutex)
{
    __tsan_mutex_post_lock(mutex, 0, 0);
}
inline void beforeUnlock(void *mutex)
{
    __tsan_mutex_pre_unlock(mutex, 0);
}
inline void afterUnlock(void *mutex)
{
    __tsan_mutex_post_unlock(mutex, 0);
}
// Everything this thread did before release(address) happens before whatever
// another thread does after a later acquire(address).
inline void release(void *address)
{
    __tsan_release(address);
}
inline void acquire(void *address)
{
    __tsan_acquire(address);
}
#else
inline void mutexCreated(void *) { }
inline void mutexDestroyed(void *) { }
inline void beforeLock(void *) { }
inline void afterLock(void *) { }
inline void beforeUnlock(void *) { }
inline void afterUnlock(void *) { }
inline void release(void *) { }
inline void acquire(void *) { }
#endif

} // namespace Utilities::ThreadSanitizer

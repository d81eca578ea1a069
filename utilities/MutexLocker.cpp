#include "utilities/MutexLocker.h"

#include "utilities/ThreadSanitizer.h"

namespace Utilities {

MutexLocker::MutexLocker(QMutex &mutex)
    : m_mutex(mutex)
{
    ThreadSanitizer::beforeLock(&m_mutex);
    m_mutex.lock();
    ThreadSanitizer::afterLock(&m_mutex);
}

MutexLocker::~MutexLocker()
{
    ThreadSanitizer::beforeUnlock(&m_mutex);
    m_mutex.unlock();
    ThreadSanitizer::afterUnlock(&m_mutex);
}

void MutexLocker::wait(QWaitCondition &condition)
{
    ThreadSanitizer::beforeUnlock(&m_mutex);
    ThreadSanitizer::afterUnlock(&m_mutex);
    condition.wait(&m_mutex);
    ThreadSanitizer::beforeLock(&m_mutex);
    ThreadSanitizer::afterLock(&m_mutex);
}

} // namespace Utilities

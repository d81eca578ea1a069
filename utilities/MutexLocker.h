#pragma once

#include <QMutex>
#include <QWaitCondition>

namespace Utilities {

// Locks a QMutex for its lifetime, like QMutexLocker, and tells ThreadSanitizer
// about every lock, unlock and condition wait (see ThreadSanitizer.h), so that a
// sanitizer build sees the ordering the mutex really provides.
class MutexLocker
{
public:
    explicit MutexLocker(QMutex &mutex);
    ~MutexLocker();
    MutexLocker(const MutexLocker &) = delete;
    MutexLocker &operator=(const MutexLocker &) = delete;

    // Releases the mutex while waiting on the condition and holds it again on return.
    void wait(QWaitCondition &condition);

private:
    QMutex &m_mutex;
};

} // namespace Utilities

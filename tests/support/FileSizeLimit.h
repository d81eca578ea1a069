#pragma once

#include <csignal>
#include <sys/resource.h>

namespace TestSupport {

// Lowers the largest file this process may write, the way a full disk stops a write half-way.
// The kernel then refuses the write with EFBIG instead of sending SIGXFSZ. The previous limit
// and signal handling come back when the object goes.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    bool isValid() const { return m_valid; }

private:
    rlimit m_previous {};
    void (*m_previousHandler)(int) = SIG_DFL;
    bool m_valid = false;
};

} // namespace TestSupport

#include "support/FileSizeLimit.h"

namespace TestSupport {

FileSizeLimit::FileSizeLimit(rlim_t bytes)
{
    m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    m_valid = getrlimit(RLIMIT_FSIZE, &m_previous) == 0;
    rlimit lowered = m_previous;
    lowered.rlim_cur = bytes;
    m_valid = m_valid && setrlimit(RLIMIT_FSIZE, &lowered) == 0;
}

FileSizeLimit::~FileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &m_previous);
    std::signal(SIGXFSZ, m_previousHandler);
}

} // namespace TestSupport

#include "service/PackageUpdateError.h"

namespace Service::K27 {

PackageUpdateError::PackageUpdateError(Code code, const QString &text)
    : m_code(code)
    , m_text(text)
{
}

} // namespace Service::K27

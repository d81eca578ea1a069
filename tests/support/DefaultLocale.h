#pragma once

#include <QLocale>

namespace TestSupport {

// The locale of the windows built while it lives, as the system's language would set it.
class DefaultLocale
{
public:
    explicit DefaultLocale(const QLocale &locale) { QLocale::setDefault(locale); }
    ~DefaultLocale() { QLocale::setDefault(m_previous); }
    DefaultLocale(const DefaultLocale &) = delete;
    DefaultLocale &operator=(const DefaultLocale &) = delete;

private:
    const QLocale m_previous;
};

} // namespace TestSupport

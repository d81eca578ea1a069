#pragma once

#include <QLocale>

namespace TestSupport {

// The German of Germany, the program's second language.
inline const QLocale german {QLocale::German, QLocale::Germany};

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

#pragma once

#include <QTranslator>

namespace TestSupport {

// The program's German translation, loaded as the program loads it at start-up (a file in Qt's
// translation folder first, otherwise the copy built into the program) and installed on the
// application for as long as this object lives.
class GermanTranslation
{
public:
    GermanTranslation();
    ~GermanTranslation();
    GermanTranslation(const GermanTranslation &) = delete;
    GermanTranslation &operator=(const GermanTranslation &) = delete;

    // False when no German translation was found.
    bool isInstalled() const { return m_installed; }
    // The translation of source in context; empty when the translation has none.
    QString translate(const char *context, const QString &source) const;

private:
    QTranslator m_translator;
    bool m_installed = false;
};

} // namespace TestSupport

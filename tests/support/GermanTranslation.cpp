#include "GermanTranslation.h"

#include "application/windows/Resources.h"
#include "application/windows/StartUp.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace TestSupport {

GermanTranslation::GermanTranslation()
{
    using Application::K27::StartUp;
    Application::K27::initResources();
    m_installed = StartUp::loadTranslation(m_translator, QLocale(QLocale::German, QLocale::Germany),
                                           QStringLiteral("k27_servicetool"),
                                           QLibraryInfo::location(QLibraryInfo::TranslationsPath),
                                           StartUp::embeddedTranslationFolder)
        && QCoreApplication::installTranslator(&m_translator);
}

GermanTranslation::~GermanTranslation()
{
    if (m_installed)
        QCoreApplication::removeTranslator(&m_translator);
}

QString GermanTranslation::translate(const char *context, const QString &source) const
{
    return m_translator.translate(context, source.toUtf8().constData());
}

} // namespace TestSupport

#include "ConfigHome.h"

#include <QCoreApplication>
#include <QFile>

namespace TestSupport {

void ConfigHome::useProgramNames()
{
    QCoreApplication::setOrganizationName(organisation);
    QCoreApplication::setApplicationName(application);
}

ConfigHome::ConfigHome()
{
    if (m_dir.isValid())
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path()));
}

QString ConfigHome::configDir() const
{
    return m_dir.path() + QLatin1Char('/') + organisation + QLatin1Char('/') + application;
}

} // namespace TestSupport

#include "application/StartUp.h"

#include "application/Config.h"
#include "application/ConnectScreen.h"
#include "application/MainScreen.h"
#include "application/Resources.h"
#include "application/SerialPortManager.h"
#include "application/UserLogin.h"
#include "application/WelcomeScreen.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace Application::K27 {

const QString StartUp::embeddedTranslationFolder = QStringLiteral(":/translations");

StartUp::StartUp(QObject *parent)
    : StartUp(&SerialPortManager::systemPorts, parent)
{
}

StartUp::StartUp(SerialPortSource source, QObject *parent)
    : QObject(parent)
    , m_source(std::move(source))
    , m_portCheckDelay(ConnectScreen::defaultPortCheckDelay)
{
}

StartUp::~StartUp()
{
    if (m_toolTranslator)
        QCoreApplication::removeTranslator(m_toolTranslator.get());
    if (m_qtTranslator)
        QCoreApplication::removeTranslator(m_qtTranslator.get());
}

void StartUp::setIdentity()
{
    QCoreApplication::setApplicationName(QStringLiteral("TORVEX\u00aeK27 ServiceTool"));
    QCoreApplication::setOrganizationName(QStringLiteral("Dalvio GmbH & Co. KG"));
    QCoreApplication::setAttribute(Qt::AA_DisableWindowContextHelpButton, true);
}

bool StartUp::loadTranslation(QTranslator &translator, const QLocale &locale, const QString &name,
                              const QString &qtFolder, const QString &embeddedFolder)
{
    if (translator.load(locale, name, QStringLiteral("_"), qtFolder))
        return true;
    return !embeddedFolder.isEmpty()
        && translator.load(locale, name, QStringLiteral("_"), embeddedFolder);
}

void StartUp::installTranslations(const QLocale &locale)
{
    initResources();
    const QString qtFolder = QLibraryInfo::location(QLibraryInfo::TranslationsPath);

    // Nothing installs the program's own translation into Qt's folder, so the copy built into
    // the program stands in for it; a file in Qt's folder still takes precedence.
    m_qtTranslator = std::make_unique<QTranslator>();
    if (loadTranslation(*m_qtTranslator, locale, QStringLiteral("qt"), qtFolder))
        QCoreApplication::installTranslator(m_qtTranslator.get());
    m_toolTranslator = std::make_unique<QTranslator>();
    if (loadTranslation(*m_toolTranslator, locale, QStringLiteral("k27_servicetool"), qtFolder,
                        embeddedTranslationFolder))
        QCoreApplication::installTranslator(m_toolTranslator.get());
}

int StartUp::run()
{
    setIdentity();
    installTranslations();

    m_manager = QSharedPointer<SerialPortManager>::create(m_source);
    m_login = QSharedPointer<UserLogin>::create();
    m_config = QSharedPointer<Config>::create();
    m_config->load();

    // Declared in the order of the stages, so that on the way out the main window goes first,
    // then the connect screen, then the login screen.
    WelcomeScreen welcomeScreen(m_login, m_config);
    emit loginScreenStarting(&welcomeScreen);
    if (welcomeScreen.exec() != QDialog::Accepted)
        return 0;

    ConnectScreen connectScreen(m_manager, m_portCheckDelay);
    emit connectScreenStarting(&connectScreen);
    if (connectScreen.exec() != QDialog::Accepted)
        return 0;

    MainScreen mainScreen(m_manager, m_login, m_config);
    emit mainScreenStarting(&mainScreen);
    mainScreen.show();
    return QApplication::exec();
}

} // namespace Application::K27

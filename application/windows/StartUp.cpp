#include "application/windows/StartUp.h"

#include "application/core/Config.h"
#include "application/core/PicturePreloader.h"
#include "application/core/UserLogin.h"
#include "application/windows/CommandLineOptions.h"
#include "application/windows/ConnectScreen.h"
#include "application/windows/MainScreen.h"
#include "application/windows/Resources.h"
#include "application/windows/WelcomeScreen.h"
#include "component/SerialPortManager.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLibraryInfo>
#include <QLoggingCategory>
#include <QTimer>
#include <QTranslator>
#include <cstdio>

// Start-up's own account of where its translations came from and what the login screen shows;
// silent unless asked for with QT_LOGGING_RULES="k27.startup.info=true" (how the package test
// sees an installed program come up in German).
Q_LOGGING_CATEGORY(lcStartUp, "k27.startup", QtWarningMsg)

namespace Application::K27 {

namespace {

void logTranslation(const QString &name, const QTranslator &translator, bool installed)
{
    if (installed)
        qCInfo(lcStartUp).noquote()
            << "translation" << name << translator.language() << "from" << translator.filePath();
    else
        qCInfo(lcStartUp).noquote() << "translation" << name << "not found";
}

// The window title and every label and button text, in the order the form holds them (also
// those that only appear for some choices, such as the password fields).
QString windowTexts(const QWidget &window)
{
    QStringList texts {window.windowTitle()};
    for (const QWidget *widget : window.findChildren<QWidget *>()) {
        if (const auto *label = qobject_cast<const QLabel *>(widget);
            label && !label->text().isEmpty())
            texts.append(label->text());
        else if (const auto *button = qobject_cast<const QAbstractButton *>(widget);
                 button && !button->text().isEmpty())
            texts.append(button->text());
    }
    return texts.join(QStringLiteral(" | "));
}

} // namespace

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
    const bool qtFound = loadTranslation(*m_qtTranslator, locale, QStringLiteral("qt"), qtFolder);
    if (qtFound)
        QCoreApplication::installTranslator(m_qtTranslator.get());
    logTranslation(QStringLiteral("qt"), *m_qtTranslator, qtFound);
    m_toolTranslator = std::make_unique<QTranslator>();
    const bool toolFound
        = loadTranslation(*m_toolTranslator, locale, QStringLiteral("k27_servicetool"), qtFolder,
                          embeddedTranslationFolder);
    if (toolFound)
        QCoreApplication::installTranslator(m_toolTranslator.get());
    logTranslation(QStringLiteral("k27_servicetool"), *m_toolTranslator, toolFound);
    // Numbers shown to a person follow the language the program speaks (that of its own
    // translation, else the English of its texts), whatever the system's number format: a
    // German window writes "0,5 A" throughout, an English one "0.5 A".
    QLocale::setDefault(toolFound ? QLocale(m_toolTranslator->language())
                                  : QLocale(QLocale::English, QLocale::UnitedStates));
}

int StartUp::run()
{
    setIdentity();
    installTranslations();
    return runStages();
}

int StartUp::run(const QStringList &arguments)
{
    setIdentity();
    installTranslations();
    CommandLineOptions options;
    if (!options.parse(arguments)) {
        std::fputs(qPrintable(options.errorText() + QLatin1Char('\n')), stderr);
        std::fputs(qPrintable(options.helpText()), stderr);
        return 2;
    }
    if (options.helpRequested()) {
        std::fputs(qPrintable(options.helpText()), stdout);
        return 0;
    }
    setNamedPorts(options.ports());
    return runStages();
}

int StartUp::runStages()
{
    // Decoding the login screen's large pictures takes about as long as everything else on the
    // way to the screen; a second thread decodes them meanwhile.
    PicturePreloader pictures(WelcomeScreen::pictureFiles());
    m_manager = QSharedPointer<SerialPortManager>::create(m_source);
    if (!m_namedPorts.isEmpty()) {
        m_manager->setNamedPorts(m_namedPorts);
        // Opened at once: a port the user named is there from the start, or says why not.
        m_manager->handleTimeout();
    }
    m_login = QSharedPointer<UserLogin>::create();
    m_config = QSharedPointer<Config>::create();
    m_config->load();

    // Declared in the order of the stages, so that on the way out the main window goes first,
    // then the connect screen, then the login screen.
    WelcomeScreen welcomeScreen(m_login, m_config, &pictures);
    emit loginScreenStarting(&welcomeScreen);
    if (lcStartUp().isInfoEnabled()) {
        // Runs once the dialog's own event loop does, that is with the screen shown.
        QTimer::singleShot(0, &welcomeScreen, [&welcomeScreen] {
            qCInfo(lcStartUp).noquote() << "login screen shown:" << windowTexts(welcomeScreen);
        });
    }
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

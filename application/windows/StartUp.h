#pragma once

#include "component/SerialPortDescription.h"

#include <QLocale>
#include <QObject>
#include <QSharedPointer>
#include <QString>
#include <QStringList>
#include <memory>

class ConnectScreen;
class MainScreen;
class QTranslator;
class UserLogin;
class WelcomeScreen;

namespace Application::K27 {

class Config;
class SerialPortManager;

// The program's way from start to end: identity and translations, the three shared objects
// (port manager, login record, configuration), then the login screen, the connect screen and
// the main window, whose event loop gives the exit code. The program, the demo and the tests
// all go this way; the demo and the tests bring their own port source and watch the stages
// through the signals, which come just before each screen runs.
class StartUp : public QObject
{
    Q_OBJECT

public:
    // The system's serial ports.
    explicit StartUp(QObject *parent = nullptr);
    // The ports that source lists instead.
    explicit StartUp(SerialPortSource source, QObject *parent = nullptr);
    // Takes the translators off the application again.
    ~StartUp() override;

    // The delay of the connect screen's one-time look at the port manager.
    void setPortCheckDelay(int milliseconds) { m_portCheckDelay = milliseconds; }

    // Serial ports to open as devices whatever their identifiers and names (--port).
    void setNamedPorts(const QStringList &portNames) { m_namedPorts = portNames; }

    // Runs every stage in the QApplication that exists; returns the exit code: 0 when the
    // login or the connect screen is cancelled, otherwise the event loop's result.
    int run();
    // Takes the program's command line first (--port, --help): prints the options for --help
    // and ends with 0, names a wrong argument on standard error and ends with 2; otherwise
    // runs every stage.
    int run(const QStringList &arguments);

    // Null before run() has made them.
    const QSharedPointer<SerialPortManager> &manager() const { return m_manager; }
    const QSharedPointer<UserLogin> &login() const { return m_login; }
    const QSharedPointer<Config> &config() const { return m_config; }

    // The application's names and attributes; the configuration's folder follows the names.
    static void setIdentity();
    // Loads "qt_" and "k27_servicetool_" for the locale, each from Qt's translation folder,
    // and the program's own one otherwise from the copy built into the program. Installs what
    // was found.
    void installTranslations(const QLocale &locale = QLocale());
    // Loads one translation: from Qt's translation folder, otherwise (if given) from the
    // embedded folder. False when neither has it.
    static bool loadTranslation(QTranslator &translator, const QLocale &locale, const QString &name,
                                const QString &qtFolder, const QString &embeddedFolder = QString());

    static const QString embeddedTranslationFolder;

signals:
    void loginScreenStarting(WelcomeScreen *screen);
    void connectScreenStarting(ConnectScreen *screen);
    void mainScreenStarting(MainScreen *screen);

private:
    int runStages();

    SerialPortSource m_source;
    QStringList m_namedPorts;
    int m_portCheckDelay;
    std::unique_ptr<QTranslator> m_qtTranslator;
    std::unique_ptr<QTranslator> m_toolTranslator;
    QSharedPointer<SerialPortManager> m_manager;
    QSharedPointer<UserLogin> m_login;
    QSharedPointer<Config> m_config;
};

} // namespace Application::K27

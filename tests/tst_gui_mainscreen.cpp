#include "SimulatedDeviceMarker.h"
#include "application/core/Config.h"
#include "application/core/UserLogin.h"
#include "application/windows/CommandLineOptions.h"
#include "application/windows/ConnectScreen.h"
#include "application/windows/K27SubScreen.h"
#include "application/windows/MainScreen.h"
#include "application/windows/Resources.h"
#include "application/windows/StartUp.h"
#include "application/windows/WelcomeScreen.h"
#include "component/SerialPort.h"
#include "component/SerialPortManager.h"
#include "support/ConfigHome.h"
#include "support/ExternalTool.h"
#include "support/FileAnswers.h"
#include "support/PictureSpots.h"
#include "support/QuestionAnswers.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"
#include "tools/devicesim/DeviceSimulator.h"
#include "tools/devicesim/SimulatedPortList.h"
#include "tools/devicesim/SimulatorThread.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <QtTest>
#include <memory>

using Application::K27::Config;
using Application::K27::SerialPortManager;
using Application::K27::StartUp;
using DeviceSim::SimulatorThread;

namespace {

// A run that never reaches its end would hang the test; this ends its event loop with a code
// no stage returns.
constexpr int stuckExitCode = 99;

void logInAsCustomer(WelcomeScreen *screen)
{
    QTimer::singleShot(0, screen, [screen] {
        screen->findChild<QComboBox *>(QStringLiteral("comboBoxUser"))
            ->setCurrentIndex(UserLogin::Customer);
    });
}

QStringList portNames(const QList<K27SubScreen *> &windows)
{
    QStringList names;
    for (const K27SubScreen *window : windows)
        names.append(window->portName());
    return names;
}

QStringList tabTexts(const MainScreen &mainScreen)
{
    QStringList texts;
    const QTabBar *tabs
        = mainScreen.findChild<QMdiArea *>(QStringLiteral("mdiAreaMain"))->findChild<QTabBar *>();
    for (int index = 0; tabs && index < tabs->count(); ++index)
        texts.append(tabs->tabText(index));
    return texts;
}

} // namespace

class TestMainScreen : public TestSupport::TrappedTest
{
    Q_OBJECT

protected:
    void setUpTestCase() override;
    void setUp() override;
    void tearDown() override;

private slots:
    // The whole start-up as the program runs it.
    void startUpWithDevicePresent();
    void connectScreenEndsOnPortOpened();
    void offlineModeOpensOneOfflineTab();
    void cancellingLoginEndsWithoutConnectScreen();
    void cancellingConnectScreenEnds();
    void germanLocaleShowsGermanTexts();
    void translationSources_data();
    void translationSources();

    // The connect screen on its own.
    void connectScreenPortCheck_data();
    void connectScreenPortCheck();

    // The main window and the ports coming and going.
    void secondDeviceAddsTabAndUnplugClosesIt();
    void secondPortOpenedForKnownPortAddsNothing();
    void offlineWindowStaysWhenDeviceArrives();
    void unplugDuringARecordingSaysWhereItIs();
    void offlineWindowShowsNoDevice();
    void portGoneBeforeTheMainWindowGetsNoTab();
    void demoMarksEveryDeviceWindow();
    void statusBarShowsTheLevel_data();
    void statusBarShowsTheLevel();
    void closingDuringAnUpdateAsks();
    void namedPortOpensATab();
    void namedPortFromTheCommandLine();
    void namedPortThatCannotBeOpenedSaysWhy();
    void commandLine_data();
    void commandLine();
    void helpListsTheOptionsAndEnds();
    void backgroundShowsThroughTheEmptyWindow();

private:
    // Starts a simulated device listed in m_ports; its port name, or empty on failure.
    QString startDevice(const QString &portName = QStringLiteral("ttyK27SIM0"));
    // Runs the start-up on m_ports; the main window's device ports are recorded when it comes
    // up, and the main window is then closed, which ends the run.
    int runStartUp(StartUp &startUp, const QStringList &arguments = QStringList());

    std::unique_ptr<TestSupport::ConfigHome> m_home;
    std::unique_ptr<DeviceSim::SimulatedPortList> m_ports;
    std::vector<std::unique_ptr<SimulatorThread>> m_devices;
    QStringList m_mainScreenPorts;
    QStringList m_mainScreenTabs;
};

void TestMainScreen::setUpTestCase()
{
    qRegisterMetaType<WelcomeScreen *>();
    qRegisterMetaType<ConnectScreen *>();
    qRegisterMetaType<MainScreen *>();
    qRegisterMetaType<K27SubScreen *>();
}

void TestMainScreen::setUp()
{
    m_home = std::make_unique<TestSupport::ConfigHome>();
    QVERIFY(m_home->isValid());
    m_ports = std::make_unique<DeviceSim::SimulatedPortList>();
    m_mainScreenPorts.clear();
    m_mainScreenTabs.clear();
}

void TestMainScreen::tearDown()
{
    m_devices.clear();
    m_ports.reset();
    m_home.reset();
    QLocale::setDefault(QLocale::c());
}

QString TestMainScreen::startDevice(const QString &portName)
{
    DeviceSim::DeviceSimulatorOptions options;
    options.portName = portName;
    auto device = std::make_unique<SimulatorThread>(options, m_ports.get());
    if (!device->start()) {
        qWarning("%s", qPrintable(device->errorString()));
        return QString();
    }
    m_devices.push_back(std::move(device));
    return m_devices.back()->portName();
}

int TestMainScreen::runStartUp(StartUp &startUp, const QStringList &arguments)
{
    connect(&startUp, &StartUp::mainScreenStarting, this, [this](MainScreen *mainScreen) {
        m_mainScreenPorts = portNames(mainScreen->deviceWindows());
        QTimer::singleShot(0, mainScreen, [this, mainScreen] {
            m_mainScreenTabs = tabTexts(*mainScreen);
            mainScreen->close();
        });
    });
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(stuckExitCode); });
    guard.start(60000);
    return arguments.isEmpty() ? startUp.run() : startUp.run(arguments);
}

void TestMainScreen::startUpWithDevicePresent()
{
    const QString port = startDevice();
    QVERIFY(!port.isEmpty());

    StartUp startUp(m_ports->source());
    startUp.setPortCheckDelay(0);
    // The device is there before the connect screen: the manager opens it while the user logs
    // in, so its portOpened reaches no screen and the connect screen's own look must find it.
    connect(&startUp, &StartUp::loginScreenStarting, this, [&startUp](WelcomeScreen *screen) {
        startUp.manager()->handleTimeout();
        logInAsCustomer(screen);
    });
    QSignalSpy connectScreens(&startUp, &StartUp::connectScreenStarting);

    QCOMPARE(runStartUp(startUp), 0);
    QCOMPARE(connectScreens.count(), 1);
    QCOMPARE(m_mainScreenPorts, QStringList({port}));
    QCOMPARE(m_mainScreenTabs.size(), 1);
}

void TestMainScreen::connectScreenEndsOnPortOpened()
{
    const QString port = startDevice();
    QVERIFY(!port.isEmpty());

    StartUp startUp(m_ports->source());
    // The one-time look would come far too late: only the port's opening can end the screen.
    startUp.setPortCheckDelay(24 * 3600 * 1000);
    connect(&startUp, &StartUp::loginScreenStarting, this, &logInAsCustomer);
    connect(&startUp, &StartUp::connectScreenStarting, this, [&startUp](ConnectScreen *screen) {
        QTimer::singleShot(0, screen, [&startUp] { startUp.manager()->handleTimeout(); });
    });

    QCOMPARE(runStartUp(startUp), 0);
    QCOMPARE(m_mainScreenPorts, QStringList({port}));
}

void TestMainScreen::offlineModeOpensOneOfflineTab()
{
    StartUp startUp(m_ports->source());
    startUp.setPortCheckDelay(0);
    connect(&startUp, &StartUp::loginScreenStarting, this, &logInAsCustomer);
    connect(&startUp, &StartUp::connectScreenStarting, this, [](ConnectScreen *screen) {
        // The port check finds nothing; the screen waits for the user.
        QTimer *const check = screen->findChild<QTimer *>(QStringLiteral("portCheckTimer"));
        QVERIFY(check);
        connect(
            check, &QTimer::timeout, screen,
            [screen] {
                QVERIFY(screen->isVisible());
                QTest::mouseClick(
                    screen->findChild<QPushButton *>(QStringLiteral("pushButtonOfflineModus")),
                    Qt::LeftButton);
            },
            Qt::QueuedConnection);
    });

    QCOMPARE(runStartUp(startUp), 0);
    QCOMPARE(m_mainScreenPorts, QStringList({QStringLiteral("Offline")}));
    QCOMPARE(m_mainScreenTabs, QStringList({QStringLiteral("Offline")}));
}

void TestMainScreen::cancellingLoginEndsWithoutConnectScreen()
{
    StartUp startUp(m_ports->source());
    connect(&startUp, &StartUp::loginScreenStarting, this,
            [](WelcomeScreen *screen) { QTimer::singleShot(0, screen, &QDialog::reject); });
    QSignalSpy connectScreens(&startUp, &StartUp::connectScreenStarting);
    QSignalSpy mainScreens(&startUp, &StartUp::mainScreenStarting);

    QCOMPARE(runStartUp(startUp), 0);
    QCOMPARE(connectScreens.count(), 0);
    QCOMPARE(mainScreens.count(), 0);
}

void TestMainScreen::cancellingConnectScreenEnds()
{
    StartUp startUp(m_ports->source());
    startUp.setPortCheckDelay(24 * 3600 * 1000);
    connect(&startUp, &StartUp::loginScreenStarting, this, &logInAsCustomer);
    connect(&startUp, &StartUp::connectScreenStarting, this,
            [](ConnectScreen *screen) { QTimer::singleShot(0, screen, &QDialog::close); });
    QSignalSpy mainScreens(&startUp, &StartUp::mainScreenStarting);

    QCOMPARE(runStartUp(startUp), 0);
    QCOMPARE(mainScreens.count(), 0);
}

void TestMainScreen::germanLocaleShowsGermanTexts()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    StartUp startUp(m_ports->source());
    startUp.setPortCheckDelay(24 * 3600 * 1000);
    QStringList loginTexts;
    QString connectText;
    QString offlineText;
    QStringList qtTexts;
    connect(&startUp, &StartUp::loginScreenStarting, this,
            [&loginTexts, &qtTexts](WelcomeScreen *screen) {
                // Qt's own dialogs and buttons, from Qt's German translation.
                qtTexts << QCoreApplication::translate("QFileDialog", "Look in:")
                        << QCoreApplication::translate("QFileDialog", "File &name:")
                        << QCoreApplication::translate("QPlatformTheme", "&Yes");
                const auto *user = screen->findChild<QComboBox *>(QStringLiteral("comboBoxUser"));
                loginTexts << user->itemText(0) << user->itemText(1)
                           << screen->findChild<QLineEdit *>(QStringLiteral("lineEditPassword"))
                                  ->placeholderText()
                           << screen->findChild<QCheckBox *>(QStringLiteral("checkBoxSavePassword"))
                                  ->text();
                logInAsCustomer(screen);
            });
    connect(&startUp, &StartUp::connectScreenStarting, this,
            [&connectText, &offlineText](ConnectScreen *screen) {
                connectText
                    = screen->findChild<QLabel *>(QStringLiteral("labelConnectText"))->text();
                offlineText
                    = screen->findChild<QPushButton *>(QStringLiteral("pushButtonOfflineModus"))
                          ->text();
                QTimer::singleShot(0, screen, &QDialog::reject);
            });

    QCOMPARE(runStartUp(startUp), 0);
    QCOMPARE(loginTexts,
             QStringList({QStringLiteral("Bitte w\u00e4hlen"), QStringLiteral("Kunde"),
                          QStringLiteral("Passwort"), QStringLiteral("Passwort speichern")}));
    QCOMPARE(connectText,
             QStringLiteral("Bitte schlie\u00dfen Sie ein TORVEX\u00aeK27-Ger\u00e4t an."));
    QCOMPARE(offlineText, QStringLiteral("OFFLINE-MODUS"));
    QCOMPARE(qtTexts,
             QStringList({QStringLiteral("Suchen in:"), QStringLiteral("Datei&name:"),
                          QStringLiteral("&Ja")}));
}

void TestMainScreen::translationSources_data()
{
    QTest::addColumn<bool>("inQtFolder");
    QTest::addColumn<bool>("embedded");
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<QString>("savePassword");
    // A file in Qt's folder wins over the embedded copy; the embedded copy stands in for a
    // missing file; with neither the texts stay untranslated.
    QTest::newRow("Qt folder first") << true << true << true << QStringLiteral("Merken");
    QTest::newRow("embedded otherwise")
        << false << true << true << QStringLiteral("Passwort speichern");
    QTest::newRow("neither") << false << false << false << QStringLiteral("Save password");
}

void TestMainScreen::translationSources()
{
    QFETCH(bool, inQtFolder);
    QFETCH(bool, embedded);
    QFETCH(bool, loaded);
    QFETCH(QString, savePassword);

    QTemporaryDir qtFolder;
    QVERIFY(qtFolder.isValid());
    if (inQtFolder) {
        const QString source = qtFolder.filePath(QStringLiteral("k27_servicetool_de.ts"));
        QFile ts(source);
        QVERIFY(ts.open(QIODevice::WriteOnly));
        ts.write("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n"
                 "<TS version=\"2.1\" language=\"de_DE\"><context><name>WelcomeScreen</name>"
                 "<message><source>Save password</source><translation>Merken</translation>"
                 "</message></context></TS>\n");
        ts.close();
        const TestSupport::ToolRun lrelease
            = TestSupport::runTool(QStringLiteral(LRELEASE_PATH),
                                   {source, QStringLiteral("-qm"),
                                    qtFolder.filePath(QStringLiteral("k27_servicetool_de.qm"))});
        QVERIFY2(lrelease.succeeded(), lrelease.standardError.constData());
    }

    Application::K27::initResources();
    QTranslator translator;
    QCOMPARE(StartUp::loadTranslation(translator, QLocale(QLocale::German, QLocale::Germany),
                                      QStringLiteral("k27_servicetool"), qtFolder.path(),
                                      embedded ? StartUp::embeddedTranslationFolder : QString()),
             loaded);
    const QString translated = translator.translate("WelcomeScreen", "Save password");
    QCOMPARE(translated.isEmpty() ? QStringLiteral("Save password") : translated, savePassword);
}

void TestMainScreen::connectScreenPortCheck_data()
{
    QTest::addColumn<bool>("devicePresent");
    QTest::newRow("device present") << true;
    QTest::newRow("no device") << false;
}

void TestMainScreen::connectScreenPortCheck()
{
    QFETCH(bool, devicePresent);
    if (devicePresent)
        QVERIFY(!startDevice().isEmpty());
    const auto manager = QSharedPointer<SerialPortManager>::create(m_ports->source());
    manager->handleTimeout();
    QCOMPARE(manager->hasPorts(), devicePresent);

    ConnectScreen screen(manager, 0);
    QSignalSpy accepted(&screen, &QDialog::accepted);
    screen.show();
    QTimer *const check = screen.findChild<QTimer *>(QStringLiteral("portCheckTimer"));
    QVERIFY(check);
    QSignalSpy checked(check, &QTimer::timeout);
    QVERIFY(checked.wait());
    QCOMPARE(accepted.count(), devicePresent ? 1 : 0);
    QCOMPARE(screen.isVisible(), !devicePresent);
    if (!devicePresent)
        return;

    // An ended screen ignores ports that open later.
    QVERIFY(!startDevice(QStringLiteral("ttyK27SIM1")).isEmpty());
    QSignalSpy opened(manager.data(), &SerialPortManager::portOpened);
    manager->handleTimeout();
    QCOMPARE(opened.count(), 1);
    QCOMPARE(accepted.count(), 1);
}

void TestMainScreen::secondDeviceAddsTabAndUnplugClosesIt()
{
    const QString first = startDevice(QStringLiteral("ttyK27SIM0"));
    QVERIFY(!first.isEmpty());
    const auto manager = QSharedPointer<SerialPortManager>::create(m_ports->source());
    manager->handleTimeout();
    const auto login = QSharedPointer<UserLogin>::create();
    login->setLevel(UserLogin::Customer);
    MainScreen mainScreen(manager, login, QSharedPointer<Config>::create());
    mainScreen.show();
    QCOMPARE(portNames(mainScreen.deviceWindows()), QStringList({first}));

    const QString second = startDevice(QStringLiteral("ttyK27SIM1"));
    QVERIFY(!second.isEmpty());
    QSignalSpy added(&mainScreen, &MainScreen::deviceWindowAdded);
    manager->handleTimeout();
    QCOMPARE(added.count(), 1);
    QCOMPARE(portNames(mainScreen.deviceWindows()), QStringList({first, second}));
    QCOMPARE(tabTexts(mainScreen).size(), 2);

    QPointer<K27SubScreen> secondWindow = mainScreen.deviceWindows().at(1);
    m_devices.back()->call([](DeviceSim::DeviceSimulator &device) { device.goAway(); });
    manager->handleTimeout();
    // The closed sub-window takes its device window with it.
    QTRY_VERIFY(secondWindow.isNull());
    QCOMPARE(portNames(mainScreen.deviceWindows()), QStringList({first}));
    QCOMPARE(tabTexts(mainScreen).size(), 1);
}

void TestMainScreen::secondPortOpenedForKnownPortAddsNothing()
{
    const QString port = startDevice();
    QVERIFY(!port.isEmpty());
    const auto manager = QSharedPointer<SerialPortManager>::create(m_ports->source());
    manager->handleTimeout();
    MainScreen mainScreen(manager, QSharedPointer<UserLogin>::create(),
                          QSharedPointer<Config>::create());
    const QList<K27SubScreen *> before = mainScreen.deviceWindows();
    QCOMPARE(before.size(), 1);

    QSignalSpy added(&mainScreen, &MainScreen::deviceWindowAdded);
    emit manager->portOpened(port);
    mainScreen.handlePortOpened(port);
    QCOMPARE(added.count(), 0);
    QCOMPARE(mainScreen.deviceWindows(), before);
}

void TestMainScreen::offlineWindowStaysWhenDeviceArrives()
{
    const auto manager = QSharedPointer<SerialPortManager>::create(m_ports->source());
    MainScreen mainScreen(manager, QSharedPointer<UserLogin>::create(),
                          QSharedPointer<Config>::create());
    QCOMPARE(portNames(mainScreen.deviceWindows()), QStringList({QStringLiteral("Offline")}));

    const QString port = startDevice();
    QVERIFY(!port.isEmpty());
    manager->handleTimeout();
    QCOMPARE(portNames(mainScreen.deviceWindows()), QStringList({QStringLiteral("Offline"), port}));

    // Unplugging the device closes its own tab only.
    m_devices.back()->call([](DeviceSim::DeviceSimulator &device) { device.goAway(); });
    manager->handleTimeout();
    QTRY_COMPARE(portNames(mainScreen.deviceWindows()), QStringList({QStringLiteral("Offline")}));
}

// Unplugging the last device during a recording: the status bar names the device and the time,
// and where the recording was saved with how many rows; the file holds them; the tab that goes
// leaves the offline view, which makes way when a device comes again.
void TestMainScreen::unplugDuringARecordingSaysWhereItIs()
{
    DeviceSim::DeviceSimulatorOptions options;
    options.portName = QStringLiteral("ttyK27SIM0");
    options.model = {{45, 1234567}};
    m_devices.push_back(std::make_unique<SimulatorThread>(options, m_ports.get()));
    QVERIFY2(m_devices.back()->start(), qPrintable(m_devices.back()->errorString()));
    const QString port = m_devices.back()->portName();
    const auto manager = QSharedPointer<SerialPortManager>::create(m_ports->source());
    manager->handleTimeout();
    const auto login = QSharedPointer<UserLogin>::create();
    login->setLevel(UserLogin::Supervisor);
    MainScreen mainScreen(manager, login, QSharedPointer<Config>::create());
    mainScreen.show();
    QCOMPARE(mainScreen.deviceWindows().size(), 1);
    QPointer<K27SubScreen> window = mainScreen.deviceWindows().constFirst();
    QTRY_COMPARE(window->windowTitle(), QStringLiteral("1234567"));

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = QDir(folder.path()).filePath(QStringLiteral("run.csv"));
    TestSupport::FileAnswers answers;
    answers.choose(path);
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("pushButtonData")),
                      Qt::LeftButton);
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("pushButtonRecord")),
                      Qt::LeftButton);
    const QLabel *const rows = window->findChild<QLabel *>(QStringLiteral("labelRecordRows"));
    QTRY_VERIFY_WITH_TIMEOUT(rows->text().section(QLatin1Char(' '), 0, 0).toInt() >= 3, 20000);

    m_devices.back()->call([](DeviceSim::DeviceSimulator &device) { device.goAway(); });
    manager->handleTimeout();
    QTRY_VERIFY(window.isNull());

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const int rowCount = file.readAll().count('\n') - 1;
    QVERIFY(rowCount >= 3);
    const QString message
        = mainScreen.statusBar()->findChild<QLabel *>(QStringLiteral("labelDeviceEvent"))->text();
    const QRegularExpression expected(
        QStringLiteral("^Device 1234567 disconnected at \\d\\d:\\d\\d:\\d\\d\\. "
                       "Recording saved to %1 \\(%2 rows\\)$")
            .arg(QRegularExpression::escape(QDir::toNativeSeparators(path)))
            .arg(rowCount));
    QVERIFY2(expected.match(message).hasMatch(), qPrintable(message));

    // No empty window: the offline view, with no device's identity.
    QCOMPARE(portNames(mainScreen.deviceWindows()), QStringList({QStringLiteral("Offline")}));
    QCOMPARE(tabTexts(mainScreen), QStringList({QStringLiteral("Offline")}));
    QCOMPARE(mainScreen.deviceWindows()
                 .constFirst()
                 ->findChild<QLabel *>(QStringLiteral("labelProductName"))
                 ->text(),
             QStringLiteral("Offline \u2014 no device connected"));

    // A device that comes takes the offline view's place; the status bar says it is there and
    // still where the recording went.
    const QString again = startDevice(QStringLiteral("ttyK27SIM1"));
    QVERIFY(!again.isEmpty());
    manager->handleTimeout();
    QTRY_COMPARE(portNames(mainScreen.deviceWindows()), QStringList({again}));
    const QString back
        = mainScreen.statusBar()->findChild<QLabel *>(QStringLiteral("labelDeviceEvent"))->text();
    const QRegularExpression connected(
        QStringLiteral("^Device on %1 connected at \\d\\d:\\d\\d:\\d\\d\\. "
                       "Recording saved to %2 \\(%3 rows\\)$")
            .arg(QRegularExpression::escape(again),
                 QRegularExpression::escape(QDir::toNativeSeparators(path)))
            .arg(rowCount));
    QVERIFY2(connected.match(back).hasMatch(), qPrintable(back));
}

// The offline window stands for no device: no identity, nothing to change or to export, and
// the reason on the page and on each switched-off control.
void TestMainScreen::offlineWindowShowsNoDevice()
{
    const auto manager = QSharedPointer<SerialPortManager>::create(m_ports->source());
    const auto login = QSharedPointer<UserLogin>::create();
    login->setLevel(UserLogin::Admin);
    MainScreen mainScreen(manager, login, QSharedPointer<Config>::create());
    QCOMPARE(mainScreen.deviceWindows().size(), 1);
    K27SubScreen *const window = mainScreen.deviceWindows().constFirst();
    window->buildPages();
    const auto child = [window](const char *name) {
        QWidget *const widget = window->findChild<QWidget *>(QString::fromLatin1(name));
        if (!widget)
            qWarning("no widget %s", name);
        return widget;
    };
    const auto text
        = [&child](const char *name) { return qobject_cast<QLabel *>(child(name))->text(); };

    const QString offline = QStringLiteral("Offline \u2014 no device connected");
    QCOMPARE(text("labelProductName"), offline);
    for (const char *name : {"labelArticleNumber", "labelSerialNumber", "labelSoftwareVersion",
                             "labelHardwareRevision"})
        QCOMPARE(text(name), QStringLiteral("\u2014"));
    QVERIFY(!child("pushButtonResetError")->isEnabled());

    QTest::mouseClick(child("pushButtonConfiguration"), Qt::LeftButton);
    QCOMPARE(qobject_cast<QStackedWidget *>(child("stackedWidgetMain"))->currentIndex(), 1);
    QVERIFY(!child("comboBoxTripClass")->isEnabled());
    QVERIFY(!child("checkBoxAutoReset")->isEnabled());
    for (const char *name : {"pushButtonExport", "pushButtonImport"}) {
        QVERIFY2(!child(name)->isEnabled(), name);
        QCOMPARE(child(name)->toolTip(), offline);
    }
    QVERIFY(text("labelSettingsFileResult").startsWith(offline));
    // A click on EXPORT asks for no file (an unanswered file request would fail the test).
    TestSupport::FileAnswers answers;
    QTest::mouseClick(child("pushButtonExport"), Qt::LeftButton);
    QVERIFY(answers.asked().isEmpty());

    QTest::mouseClick(child("pushButtonControl"), Qt::LeftButton);
    QVERIFY(!child("pushButtonControlForward")->isEnabled());
}

// A device seen by the manager and unplugged before the main window opens: no tab for it,
// which nothing would ever close, but the offline tab.
void TestMainScreen::portGoneBeforeTheMainWindowGetsNoTab()
{
    const QString gone = startDevice(QStringLiteral("ttyK27SIM0"));
    const QString present = startDevice(QStringLiteral("ttyK27SIM1"));
    QVERIFY(!gone.isEmpty() && !present.isEmpty());
    const auto manager = QSharedPointer<SerialPortManager>::create(m_ports->source());
    manager->handleTimeout();
    m_devices.front()->call([](DeviceSim::DeviceSimulator &device) { device.goAway(); });
    manager->handleTimeout();
    QVERIFY(manager->serialPort(gone));
    {
        MainScreen mainScreen(manager, QSharedPointer<UserLogin>::create(),
                              QSharedPointer<Config>::create());
        QCOMPARE(portNames(mainScreen.deviceWindows()), QStringList({present}));
    }
    m_devices.back()->call([](DeviceSim::DeviceSimulator &device) { device.goAway(); });
    manager->handleTimeout();
    MainScreen mainScreen(manager, QSharedPointer<UserLogin>::create(),
                          QSharedPointer<Config>::create());
    QCOMPARE(portNames(mainScreen.deviceWindows()), QStringList({QStringLiteral("Offline")}));
}

void TestMainScreen::demoMarksEveryDeviceWindow()
{
    QVERIFY(!startDevice(QStringLiteral("ttyK27SIM0")).isEmpty());
    const auto manager = QSharedPointer<SerialPortManager>::create(m_ports->source());
    manager->handleTimeout();
    MainScreen mainScreen(manager, QSharedPointer<UserLogin>::create(),
                          QSharedPointer<Config>::create());
    SimulatedDeviceMarker marker;
    marker.mark(&mainScreen);

    const auto *status
        = mainScreen.statusBar()->findChild<QLabel *>(QStringLiteral("labelSimulatedDevice"));
    QVERIFY(status);
    QVERIFY(status->text().startsWith(QStringLiteral("SIMULATED DEVICE")));

    // A window added later is marked too, and stays marked when it changes its own title.
    QVERIFY(!startDevice(QStringLiteral("ttyK27SIM1")).isEmpty());
    manager->handleTimeout();
    const QList<K27SubScreen *> windows = mainScreen.deviceWindows();
    QCOMPARE(windows.size(), 2);
    windows.at(1)->setWindowTitle(QStringLiteral("27200987"));
    for (const K27SubScreen *window : windows)
        QVERIFY2(window->windowTitle().startsWith(QStringLiteral("SIMULATED DEVICE")),
                 qPrintable(window->windowTitle()));
    QCOMPARE(windows.at(1)->windowTitle(), QStringLiteral("SIMULATED DEVICE 27200987"));
    for (const QString &tab : tabTexts(mainScreen))
        QVERIFY2(tab.startsWith(QStringLiteral("SIMULATED DEVICE")), qPrintable(tab));
}

void TestMainScreen::statusBarShowsTheLevel_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("text");
    QTest::newRow("Customer") << int(UserLogin::Customer) << "Logged in as Customer";
    QTest::newRow("Supervisor") << int(UserLogin::Supervisor) << "Logged in as Supervisor";
    QTest::newRow("Admin") << int(UserLogin::Admin) << "Logged in as Admin";
    QTest::newRow("Demo") << int(UserLogin::Demo) << "Logged in as Demo";
}

void TestMainScreen::statusBarShowsTheLevel()
{
    QFETCH(int, level);
    QFETCH(QString, text);
    const auto manager = QSharedPointer<SerialPortManager>::create(m_ports->source());
    const auto login = QSharedPointer<UserLogin>::create();
    login->setLevel(level);
    MainScreen mainScreen(manager, login, QSharedPointer<Config>::create());
    mainScreen.show();
    const auto *label
        = mainScreen.statusBar()->findChild<QLabel *>(QStringLiteral("labelLoggedIn"));
    QVERIFY(label);
    QVERIFY(label->isVisible());
    QCOMPARE(label->text(), text);
}

// Closing the main window (Alt+F4, the title bar's button) while firmware is being written asks
// first: No keeps the window and the update, Yes closes. Without an update nothing is asked.
void TestMainScreen::closingDuringAnUpdateAsks()
{
    const QString port = startDevice();
    QVERIFY(!port.isEmpty());
    const auto manager = QSharedPointer<SerialPortManager>::create(m_ports->source());
    manager->handleTimeout();
    const auto login = QSharedPointer<UserLogin>::create();
    login->setLevel(UserLogin::Admin);
    MainScreen mainScreen(manager, login, QSharedPointer<Config>::create());
    mainScreen.show();
    QCOMPARE(mainScreen.deviceWindows().size(), 1);
    K27SubScreen *const window = mainScreen.deviceWindows().constFirst();

    TestSupport::QuestionAnswers answers;
    QVERIFY(mainScreen.close());
    QVERIFY(answers.asked().isEmpty());
    mainScreen.show();

    m_devices.back()->call(
        [](DeviceSim::DeviceSimulator &device) { device.platform().jumpToBootloader(); });
    QVERIFY(window->updateControlService()->start(QByteArray(4096, '\x5a'), 0, 0));
    QVERIFY(window->isUpdating());

    answers.no();
    QVERIFY(!mainScreen.close());
    QVERIFY(mainScreen.isVisible());
    QVERIFY(mainScreen.deviceWindows() == QList<K27SubScreen *>({window}));
    QVERIFY(window->isUpdating());
    QCOMPARE(answers.asked().size(), 1);
    QVERIFY2(answers.asked().at(0).text.contains(QStringLiteral("bootloader")),
             qPrintable(answers.asked().at(0).text));

    answers.yes();
    QVERIFY(mainScreen.close());
    QVERIFY(!mainScreen.isVisible());
    QCOMPARE(answers.asked().size(), 2);
}

// A port named on the command line is a device port whatever its make and name: here a link
// without "tty" in its name to a pseudo-terminal the port list does not know, served by the
// simulated device.
void TestMainScreen::namedPortOpensATab()
{
    DeviceSim::DeviceSimulatorOptions options;
    options.model = {{45, 123456}};
    SimulatorThread device(options);
    QVERIFY2(device.start(), qPrintable(device.errorString()));
    QTemporaryDir links;
    QVERIFY(links.isValid());
    const QString link = links.filePath(QStringLiteral("k27port"));
    QVERIFY(QFile::link(device.portName(), link));

    const auto manager = QSharedPointer<SerialPortManager>::create(m_ports->source());
    manager->setNamedPorts({link});
    manager->handleTimeout();
    MainScreen mainScreen(manager, QSharedPointer<UserLogin>::create(),
                          QSharedPointer<Config>::create());
    mainScreen.show();
    QCOMPARE(portNames(mainScreen.deviceWindows()), QStringList({link}));
    K27SubScreen *const window = mainScreen.deviceWindows().constFirst();
    QVERIFY(window->serialPort()->isOpen());
    // The device answers through it: the tab takes its serial number.
    QTRY_VERIFY_WITH_TIMEOUT(tabTexts(mainScreen).join(QString()).contains("123456"), 20000);
}

void TestMainScreen::namedPortFromTheCommandLine()
{
    SimulatorThread device;
    QVERIFY2(device.start(), qPrintable(device.errorString()));
    QTemporaryDir links;
    QVERIFY(links.isValid());
    const QString link = links.filePath(QStringLiteral("serial-server-port"));
    QVERIFY(QFile::link(device.portName(), link));

    StartUp startUp(m_ports->source());
    startUp.setPortCheckDelay(0);
    connect(&startUp, &StartUp::loginScreenStarting, this, &logInAsCustomer);
    bool open = false;
    connect(&startUp, &StartUp::mainScreenStarting, this, [&open](MainScreen *mainScreen) {
        const QList<K27SubScreen *> windows = mainScreen->deviceWindows();
        open = windows.size() == 1 && windows.constFirst()->serialPort()->isOpen();
    });
    QCOMPARE(
        runStartUp(startUp, {QStringLiteral("k27_servicetool"), QStringLiteral("--port"), link}),
        0);
    QCOMPARE(m_mainScreenPorts, QStringList({link}));
    QVERIFY(open);
}

// A named port that cannot be opened gets its tab all the same, which says why, as a detected
// one does.
void TestMainScreen::namedPortThatCannotBeOpenedSaysWhy()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString missing = folder.filePath(QStringLiteral("gone/ttyUSB7"));
    StartUp startUp(m_ports->source());
    startUp.setPortCheckDelay(0);
    connect(&startUp, &StartUp::loginScreenStarting, this, &logInAsCustomer);
    QString reason;
    connect(&startUp, &StartUp::mainScreenStarting, this, [&reason](MainScreen *mainScreen) {
        const QList<K27SubScreen *> windows = mainScreen->deviceWindows();
        if (windows.size() == 1)
            reason = windows.constFirst()
                         ->findChild<QLabel *>(QStringLiteral("labelPortError"))
                         ->text();
    });
    QCOMPARE(
        runStartUp(startUp, {QStringLiteral("k27_servicetool"), QStringLiteral("--port"), missing}),
        0);
    QCOMPARE(m_mainScreenPorts, QStringList({missing}));
    QCOMPARE(reason,
             K27SubScreen::portFailureText(Application::K27::SerialPort::OpenFailure::Gone, missing,
                                           QString(), QString()));
}

void TestMainScreen::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<bool>("help");
    QTest::addColumn<QStringList>("ports");

    QTest::newRow("nothing") << QStringList() << true << false << QStringList();
    QTest::newRow("one port") << QStringList({"--port", "/dev/ttyUSB0"}) << true << false
                              << QStringList({"/dev/ttyUSB0"});
    QTest::newRow("two ports, one twice")
        << QStringList({"--port", "/dev/ttyUSB0", "--port=/dev/pts/4", "--port", "/dev/ttyUSB0"})
        << true << false << QStringList({"/dev/ttyUSB0", "/dev/pts/4"});
    QTest::newRow("help") << QStringList({"--help"}) << true << true << QStringList();
    QTest::newRow("port without a path")
        << QStringList({"--port"}) << false << false << QStringList();
    QTest::newRow("empty path") << QStringList({"--port", ""}) << false << false << QStringList();
    QTest::newRow("unknown option")
        << QStringList({"--baud", "9600"}) << false << false << QStringList();
    QTest::newRow("stray argument")
        << QStringList({"/dev/ttyUSB0"}) << false << false << QStringList();
}

void TestMainScreen::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, accepted);
    QFETCH(bool, help);
    QFETCH(QStringList, ports);

    Application::K27::CommandLineOptions options;
    QCOMPARE(options.parse(QStringList({QStringLiteral("k27_servicetool")}) + arguments), accepted);
    QCOMPARE(options.errorText().isEmpty(), accepted);
    QCOMPARE(options.helpRequested(), help);
    QCOMPARE(options.ports(), ports);
    QVERIFY2(options.helpText().contains(QStringLiteral("--port <PATH>")),
             qPrintable(options.helpText()));
}

// --help and a wrong argument end the program before the login screen.
void TestMainScreen::helpListsTheOptionsAndEnds()
{
    for (const auto &[argument, exitCode] :
         {std::pair<QString, int> {QStringLiteral("--help"), 0},
          std::pair<QString, int> {QStringLiteral("--bogus"), 2}}) {
        StartUp startUp(m_ports->source());
        QSignalSpy loginScreens(&startUp, &StartUp::loginScreenStarting);
        QCOMPARE(startUp.run({QStringLiteral("k27_servicetool"), argument}), exitCode);
        QCOMPARE(loginScreens.count(), 0);
    }
}

// With no device window open, the picture behind the main window shows wherever no widget draws
// over it: stretched over the window as a border image is, which at the picture's own size is
// the picture itself.
void TestMainScreen::backgroundShowsThroughTheEmptyWindow()
{
    Application::K27::initResources();
    const QImage picture(QStringLiteral(":/images/main_background.png"));
    QVERIFY(!picture.isNull());
    const auto manager = QSharedPointer<SerialPortManager>::create(m_ports->source());
    MainScreen mainScreen(manager, QSharedPointer<UserLogin>::create(),
                          QSharedPointer<Config>::create());
    mainScreen.resize(picture.size());
    mainScreen.show();
    QVERIFY(QTest::qWaitForWindowExposed(&mainScreen));
    QCOMPARE(mainScreen.size(), picture.size());

    const QImage shown = mainScreen.grab().toImage();
    const QWidget *const central = mainScreen.centralWidget();
    const auto *const area = mainScreen.findChild<QMdiArea *>(QStringLiteral("mdiAreaMain"));
    QVERIFY(area);
    // Only where the window's empty parts are: the central widget and the empty document area
    // draw nothing of their own.
    const auto spots = TestSupport::PictureSpots::compare(
        shown, picture, mainScreen.palette().color(QPalette::Window).rgb(),
        [&mainScreen, central, area](int x, int y) {
            const QWidget *const at = mainScreen.childAt(x, y);
            return at == central || at == area->viewport();
        });
    QVERIFY2(spots.difference.isEmpty(), qPrintable(spots.difference));
    // A fifth of the window is empty; a few spots would prove little.
    QVERIFY2(spots.compared > 300, qPrintable(QString::number(spots.compared)));
}

K27_TEST_MAIN(TestMainScreen)
#include "tst_gui_mainscreen.moc"

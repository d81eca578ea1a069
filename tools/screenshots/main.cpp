// k27-screenshots: renders the service tool's windows offscreen against the simulated device
// and writes one PNG per screen and page: login, connect, main window, and each page of the
// device window (information with a warning and with an error, the three data pages with the
// trend of a running motor, control running forwards, about, configuration, the service mode's
// commands, software update and motor control tabs, demo with a warning shown), k27-demo's main
// window with two simulated devices, and the package update panel: after a completed update,
// during an update, and on a device whose platform was left in its bootloader.
//
// The main window's pictures are taken at the size asked for (1280x720, a field laptop's screen,
// unless --size says otherwise); a window that cannot be made that small is an error.
//
// Usage: k27-screenshots --out DIR [--locale de_DE] [--trend-seconds N] [--size WxH]

#include "DemoDevices.h"
#include "SimulatedDeviceMarker.h"
#include "application/core/Config.h"
#include "application/core/Settings.h"
#include "application/core/SettingsComparison.h"
#include "application/core/SettingsTransfer.h"
#include "application/core/UserLogin.h"
#include "application/windows/ConnectScreen.h"
#include "application/windows/FileChooser.h"
#include "application/windows/K27SubScreen.h"
#include "application/windows/MainScreen.h"
#include "application/windows/SettingsCompareDialog.h"
#include "application/windows/StartUp.h"
#include "application/windows/WelcomeScreen.h"
#include "component/SerialPortManager.h"
#include "model/database/ModelDatabase.h"
#include "model/interfaces/ModelValueID.h"
#include "service/UpdateControlService.h"
#include "tools/devicesim/DeviceSimulator.h"
#include "tools/devicesim/SimulatedPortList.h"
#include "tools/devicesim/SimulatorThread.h"
#include "tools/mkpackage/PackageBuilder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QDir>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollArea>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <functional>

using Application::K27::Settings;
using Application::K27::SettingsCompareDialog;
using Application::K27::SettingsComparison;
using Application::K27::SettingsTransfer;
using Model::Interfaces::ModelValueID;

namespace {

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

// Lets the windows work until the condition holds or the time is up. Screens are taken either
// way; a condition that never came is reported.
bool waitUntil(const std::function<bool()> &condition, const char *what, int milliseconds = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > milliseconds) {
            err() << "k27-screenshots: gave up waiting for " << what << "\n";
            err().flush();
            return false;
        }
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

// Lets the event loop run for that long: the device streams, the windows lay out and repaint.
void runEvents(qint64 milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

// A short settling time for the last layout passes and repaints.
void settle()
{
    runEvents(150);
}

QString labelText(const QWidget *window, const char *name)
{
    const auto *label = window->findChild<QLabel *>(QLatin1String(name));
    return label ? label->text() : QString();
}

void click(QWidget *window, const char *name)
{
    if (auto *button = window->findChild<QAbstractButton *>(QLatin1String(name)))
        button->click();
    else
        err() << "k27-screenshots: no button " << name << "\n";
}

// Scrolls the page holding the widget so that the widget is in view: on a small window the
// lower part of a page is reached by scrolling, as a person would.
void scrollTo(QWidget *window, const char *name)
{
    auto *widget = window->findChild<QWidget *>(QLatin1String(name));
    if (!widget) {
        err() << "k27-screenshots: no widget " << name << "\n";
        return;
    }
    for (QWidget *parent = widget->parentWidget(); parent; parent = parent->parentWidget()) {
        if (auto *area = qobject_cast<QScrollArea *>(parent)) {
            settle();
            area->ensureWidgetVisible(widget, 0, 0);
            return;
        }
    }
}

// The size of the main window's pictures.
QSize windowSize(1280, 720);
bool sizeRefused = false;

// Reports a main window its pages have made larger than the size asked for: its pictures
// would not show what a screen of that size shows.
void checkSize(const QWidget *mainScreen, const QString &picture)
{
    if (mainScreen->size() == windowSize)
        return;
    err() << "k27-screenshots: " << picture << ": the main window is " << mainScreen->width() << "x"
          << mainScreen->height() << ", not " << windowSize.width() << "x" << windowSize.height()
          << "\n";
    sizeRefused = true;
}

class Shooter
{
public:
    explicit Shooter(const QDir &folder)
        : m_folder(folder)
    {
    }

    bool take(QWidget *widget, const QString &name)
    {
        settle();
        if (qobject_cast<MainScreen *>(widget))
            checkSize(widget, name);
        const QString path = m_folder.filePath(name);
        if (!widget->grab().save(path, "PNG")) {
            err() << "k27-screenshots: cannot write " << path << "\n";
            m_failed = true;
            return false;
        }
        QTextStream(stdout) << path << "\n";
        return true;
    }
    bool failed() const { return m_failed; }

private:
    QDir m_folder;
    bool m_failed = false;
};

// The service mode's three tabs: the commands with "ModelSetValue" set up for a float value
// and executed (so the log shows its traffic), the software update with an image chosen, and
// the motor control.
void showServiceModeTabs(K27SubScreen *window, QWidget *screen, Shooter &shooter)
{
    auto *list = window->findChild<QListWidget *>(QStringLiteral("listWidgetCommands"));
    waitUntil([list] { return list && list->count() > 0; }, "the command list");
    if (list) {
        const QList<QListWidgetItem *> items
            = list->findItems(QStringLiteral("ModelSetValue \u00b7 Platform"), Qt::MatchExactly);
        if (!items.isEmpty())
            list->setCurrentItem(items.first());
    }
    if (auto *identifier = window->findChild<QComboBox *>(QStringLiteral("comboBoxArg1")))
        identifier->setCurrentIndex(int(ModelValueID::NominalCurrent));
    if (auto *value = window->findChild<QDoubleSpinBox *>(QStringLiteral("doubleSpinBoxArg2")))
        value->setValue(4.2);
    click(window, "pushButtonExecuteCommand");
    auto *log = window->findChild<QPlainTextEdit *>(QStringLiteral("textBrowserLogging"));
    waitUntil([log] { return log && log->toPlainText().contains("(NominalCurrent)"); },
              "the device's report in the log");
    shooter.take(screen, QStringLiteral("service.png"));

    auto *tabs = window->findChild<QTabWidget *>(QStringLiteral("tabWidgetServiceMode"));
    if (!tabs) {
        err() << "k27-screenshots: no service mode tabs\n";
        return;
    }
    tabs->setCurrentIndex(1);
    // An image chosen on the tab: the file request is answered with a file of the tool's own.
    QTemporaryDir folder;
    const QString image = folder.filePath(QStringLiteral("k27_platform_V0.4.3.5.bin"));
    QFile file(image);
    if (file.open(QIODevice::WriteOnly))
        file.write(QByteArray(4096, '\x5a'));
    file.close();
    using Application::K27::FileChooser;
    const FileChooser::Answerer dialogs
        = FileChooser::setAnswerer([image](const FileChooser::Request &) { return image; });
    click(window, "pushButtonOpenFile");
    FileChooser::setAnswerer(dialogs);
    shooter.take(screen, QStringLiteral("service-update.png"));
    tabs->setCurrentIndex(2);
    shooter.take(screen, QStringLiteral("service-motor.png"));
    tabs->setCurrentIndex(0);
}

std::unique_ptr<MainScreen>
openMainScreen(const QSharedPointer<Application::K27::SerialPortManager> &manager, int level,
               const QSharedPointer<Application::K27::Config> &config)
{
    auto login = QSharedPointer<UserLogin>::create();
    login->setLevel(level);
    auto mainScreen = std::make_unique<MainScreen>(manager, login, config);
    mainScreen->resize(windowSize);
    mainScreen->show();
    return mainScreen;
}

// The offscreen platform cannot pass size hints to a window system and says so for every
// fixed-size window; the message says nothing about the pictures.
QtMessageHandler previousHandler = nullptr;

void quietOffscreenMessages(QtMsgType type, const QMessageLogContext &context,
                            const QString &message)
{
    if (message == QLatin1String("This plugin does not support propagateSizeHints()"))
        return;
    if (previousHandler)
        previousHandler(type, context, message);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The pictures never touch the user's own configuration.
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()));
    QApplication application(argc, argv);
    previousHandler = qInstallMessageHandler(quietOffscreenMessages);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Renders the service tool's windows against the simulated device."));
    parser.addHelpOption();
    const QCommandLineOption outOption(
        QStringLiteral("out"), QStringLiteral("Folder for the PNG files."), QStringLiteral("DIR"));
    const QCommandLineOption localeOption(QStringLiteral("locale"),
                                          QStringLiteral("Language of the windows, such as de_DE."),
                                          QStringLiteral("LOCALE"), QStringLiteral("en_GB"));
    const QCommandLineOption trendOption(
        QStringLiteral("trend-seconds"),
        QStringLiteral("How long each data page's trend runs before its picture (25)."),
        QStringLiteral("N"), QStringLiteral("25"));
    parser.addOption(outOption);
    parser.addOption(localeOption);
    const QCommandLineOption sizeOption(
        QStringLiteral("size"),
        QStringLiteral("Size of the main window's pictures in pixels (1280x720)."),
        QStringLiteral("WxH"), QStringLiteral("1280x720"));
    parser.addOption(trendOption);
    parser.addOption(sizeOption);
    parser.process(application);
    if (!parser.isSet(outOption)) {
        err() << "usage: k27-screenshots --out DIR [--locale LOCALE] [--trend-seconds N] "
                 "[--size WxH]\n";
        return 2;
    }
    bool trendOk = false;
    const double trendSeconds = parser.value(trendOption).toDouble(&trendOk);
    if (!trendOk || trendSeconds < 0 || trendSeconds > 600) {
        err() << "k27-screenshots: --trend-seconds takes a number of seconds, 0 to 600\n";
        return 2;
    }
    const QRegularExpressionMatch size
        = QRegularExpression(QStringLiteral("^([0-9]{3,4})x([0-9]{3,4})$"))
              .match(parser.value(sizeOption));
    if (!size.hasMatch()) {
        err() << "k27-screenshots: --size takes WIDTHxHEIGHT in pixels, such as 1280x720\n";
        return 2;
    }
    windowSize = QSize(size.captured(1).toInt(), size.captured(2).toInt());
    const QDir folder(parser.value(outOption));
    if (!QDir().mkpath(folder.path())) {
        err() << "k27-screenshots: cannot create " << folder.path() << "\n";
        return 1;
    }

    Application::K27::StartUp::setIdentity();
    Application::K27::StartUp translations;
    translations.installTranslations(QLocale(parser.value(localeOption)));

    // k27-demo's Serra Plus 6,6 A, whose pictures and fault texts the pages show, with settings
    // that fill the configuration pages.
    DeviceSim::SimulatedPortList ports;
    DeviceSim::DeviceSimulatorOptions options;
    QString message;
    if (!DemoDevices::options(DemoDevices::SerraPlus, &options, &message)) {
        err() << "k27-screenshots: " << message << "\n";
        return 1;
    }
    const std::pair<const char *, const char *> settings[] {{"TripClass", "3"},
                                                            {"NominalCurrent", "2.6"},
                                                            {"OverloadReset", "1"},
                                                            {"UndercurrentEnable", "1"},
                                                            {"UndercurrentThreshold", "0.5"},
                                                            {"UndervoltageEnable", "1"},
                                                            {"UndervoltageThreshold", "195"},
                                                            {"UndervoltageFaultType", "1"},
                                                            {"OvervoltageThreshold", "253"},
                                                            {"LoadAsymmetryEnable", "1"},
                                                            {"LoadAsymmetryThreshold", "0.3"}};
    for (const auto &[name, value] : settings) {
        if (!options.setModelValue(QString::fromLatin1(name), QString::fromLatin1(value),
                                   &message)) {
            err() << "k27-screenshots: " << message << "\n";
            return 1;
        }
    }
    options.measurementPeriodMs = 50;
    // The device restarts as the real one does: its port goes away and comes back when its
    // platform enters the bootloader and when it returns with new software.
    options.usbAwayMs = 300;
    // New platform firmware starts from the device's defaults: the update panel lists what it
    // changed.
    options.resetSettingsOnUpdate = true;
    DeviceSim::SimulatorThread device(options, &ports);
    if (!device.start()) {
        err() << "k27-screenshots: cannot start the simulated device: " << device.errorString()
              << "\n";
        return 1;
    }

    Shooter shooter(folder);
    const auto config = QSharedPointer<Application::K27::Config>::create();
    // The settings saved before an update go with the temporary folder.
    config->setSettingsDir(configHome.path());
    const auto manager
        = QSharedPointer<Application::K27::SerialPortManager>::create(ports.source());
    // The port manager looks at the ports the moment the device leaves or returns, instead of
    // at its next poll.
    device.call([&manager](DeviceSim::DeviceSimulator &simulator) {
        QObject::connect(&simulator, &DeviceSim::DeviceSimulator::wentAway, manager.data(),
                         &Application::K27::SerialPortManager::handleTimeout);
        QObject::connect(&simulator, &DeviceSim::DeviceSimulator::cameBack, manager.data(),
                         &Application::K27::SerialPortManager::handleTimeout);
    });

    {
        WelcomeScreen welcome(QSharedPointer<UserLogin>::create(), config);
        welcome.show();
        shooter.take(&welcome, QStringLiteral("login.png"));
    }
    {
        ConnectScreen connect(manager, 24 * 3600 * 1000);
        connect.show();
        shooter.take(&connect, QStringLiteral("connect.png"));
    }

    manager->handleTimeout();
    {
        const auto mainScreen = openMainScreen(manager, UserLogin::Admin, config);
        K27SubScreen *const window = mainScreen->deviceWindows().value(0);
        if (!window) {
            err() << "k27-screenshots: the main window opened no device window\n";
            return 1;
        }
        waitUntil([window] { return labelText(window, "labelSerialNumber") == "27200987"; },
                  "the device's serial number");
        waitUntil([window] { return labelText(window, "labelSoftwareVersion") != "V0.0.0.0"; },
                  "the device's version");
        shooter.take(mainScreen.get(), QStringLiteral("main.png"));

        device.call([](DeviceSim::DeviceSimulator &simulator) {
            simulator.injectWarning({2, 0, 87});
        });
        waitUntil([window] { return labelText(window, "labelFaultCode") == "W 1406"; },
                  "the warning");
        shooter.take(mainScreen.get(), QStringLiteral("information.png"));

        device.call([](DeviceSim::DeviceSimulator &simulator) {
            simulator.injectError({8, 1, 0});
        });
        waitUntil([window] { return labelText(window, "labelFaultCode") == "E 1403"; },
                  "the error");
        shooter.take(mainScreen.get(), QStringLiteral("information-error.png"));

        // Faults cleared for the other pages.
        device.call([](DeviceSim::DeviceSimulator &simulator) {
            simulator.setModelValue(quint16(ModelValueID::Error), 0);
            simulator.setModelValue(quint16(ModelValueID::Warning), 0);
        });
        waitUntil([window] { return labelText(window, "labelFaultCode").isEmpty(); },
                  "the faults to clear");

        click(window, "pushButtonControl");
        click(window, "pushButtonControlForward");
        waitUntil(
            [window] {
                const auto *direction
                    = window->findChild<QLabel *>(QStringLiteral("labelControlDirection"));
                return direction && !direction->pixmap(Qt::ReturnByValue).isNull();
            },
            "the direction picture");
        shooter.take(mainScreen.get(), QStringLiteral("control.png"));

        // The motor keeps running for the data pages; each trend runs for a while first. The
        // currents show the motor stopping and starting again (as by the device's own
        // buttons).
        const auto setMotor = [&device](int mode) {
            device.call([mode](DeviceSim::DeviceSimulator &simulator) {
                simulator.setModelValue(quint16(ModelValueID::OperatingMode), mode);
            });
        };
        const auto runTrend = [](double seconds) { runEvents(qint64(seconds * 1000)); };
        click(window, "pushButtonData");
        waitUntil(
            [window] {
                return labelText(window, "labelVoltage_L1_N") != "230.00 V"
                    && labelText(window, "labelVoltage_L3_N") != "230.00 V";
            },
            "the voltage measurements");
        runTrend(trendSeconds);
        shooter.take(mainScreen.get(), QStringLiteral("data-voltage.png"));

        click(window, "pushButtonCurrentData");
        // A recording runs on this page (the file goes with the temporary folder).
        window->handleRecordFile(
            QDir(configHome.path()).filePath(QStringLiteral("27200987-motor-start.csv")));
        runTrend(trendSeconds * 0.3);
        setMotor(0);
        runTrend(trendSeconds * 0.2);
        setMotor(1);
        runTrend(trendSeconds * 0.5);
        shooter.take(mainScreen.get(), QStringLiteral("data-current.png"));

        click(window, "pushButtonPowerData");
        runTrend(trendSeconds);
        shooter.take(mainScreen.get(), QStringLiteral("data-power.png"));
        click(window, "pushButtonControl");
        click(window, "pushButtonControlIdle");

        click(window, "pushButtonAbout");
        shooter.take(mainScreen.get(), QStringLiteral("about.png"));
        // The five settings pages, with protection functions switched on as a site would have
        // them.
        click(window, "pushButtonConfiguration");
        const std::pair<const char *, const char *> settingsPages[] {
            {"pushButtonGeneralSettings", "configuration-general.png"},
            {"pushButtonUndercurrentSettings", "configuration-undercurrent.png"},
            {"pushButtonUndervoltageSettings", "configuration-undervoltage.png"},
            {"pushButtonOvervoltageSettings", "configuration-overvoltage.png"},
            {"pushButtonAsymmetrySettings", "configuration-load-asymmetry.png"}};
        for (const auto &[button, file] : settingsPages) {
            click(window, button);
            shooter.take(mainScreen.get(), QString::fromLatin1(file));
        }
        click(window, "pushButtonGeneralSettings");
        // IMPORT's table of a site file beside the device: three settings differ, one of them
        // unticked by the technician.
        {
            Settings device;
            SettingsTransfer::fill(device, window->database()->settings());
            Settings file = device;
            file.setTripClass(device.tripClass() == 5 ? 4 : 5); // class 20 (or 10)
            file.setNominalCurrent(device.nominalCurrent() + 0.4f);
            file.setOverloadReset(!device.overloadReset());
            file.setFields(Settings::TripClass | Settings::NominalCurrent | Settings::OverloadReset
                           | Settings::UndercurrentEnable | Settings::UndercurrentThreshold);
            SettingsCompareDialog compare(SettingsComparison(device, file),
                                          QStringLiteral("site.json"), mainScreen.get());
            compare.resize(720, 420);
            compare.show();
            auto *table = compare.findChild<QTableWidget *>(QStringLiteral("tableWidgetCompare"));
            table->item(2, 0)->setCheckState(Qt::Unchecked);
            shooter.take(&compare, QStringLiteral("import-compare.png"));
        }
        click(window, "pushButtonServiceMode");
        showServiceModeTabs(window, mainScreen.get(), shooter);
    }
    {
        const auto mainScreen = openMainScreen(manager, UserLogin::Demo, config);
        QWidget *const window = mainScreen->deviceWindows().value(0);
        if (window) {
            waitUntil([window] { return labelText(window, "labelSerialNumber") == "27200987"; },
                      "the device's serial number");
            click(window, "pushButtonServiceMode");
            // The device shows the warning chosen on the page.
            if (auto *warning = window->findChild<QComboBox *>(QStringLiteral("comboBoxWarning")))
                warning->setCurrentIndex(10);
            click(window, "pushButtonShowWarning");
            waitUntil([window] { return labelText(window, "labelFaultCode") == "W 1415"; },
                      "the demo warning");
            shooter.take(mainScreen.get(), QStringLiteral("demo.png"));
        }
    }
    {
        // k27-demo's main window: a second device, both windows marked as simulated.
        DeviceSim::DeviceSimulatorOptions secondOptions = options;
        if (!DemoDevices::options(DemoDevices::Serra, &secondOptions, &message)) {
            err() << "k27-screenshots: " << message << "\n";
            return 1;
        }
        DeviceSim::SimulatorThread second(secondOptions, &ports);
        if (second.start()) {
            manager->handleTimeout();
            const auto mainScreen = openMainScreen(manager, UserLogin::Customer, config);
            SimulatedDeviceMarker marker;
            marker.mark(mainScreen.get());
            const QList<K27SubScreen *> windows = mainScreen->deviceWindows();
            for (K27SubScreen *window : windows)
                waitUntil([window] { return labelText(window, "labelSerialNumber") != "0"; },
                          "the device's serial number");
            shooter.take(mainScreen.get(), QStringLiteral("simulated.png"));
        }
    }
    // The second device is gone: the manager notices now rather than at its next poll, or the
    // next main window would still open a tab for it.
    manager->handleTimeout();
    {
        // The package update panel. A package made as the service department makes it: the
        // platform's image of 100 blocks and the display's of 20.
        QTemporaryDir packageFolder;
        const auto writeImage = [&packageFolder](const QString &name, int blocks) {
            const QString path = packageFolder.filePath(name);
            QFile image(path);
            if (image.open(QIODevice::WriteOnly)) {
                QByteArray bytes(blocks * 512, Qt::Uninitialized);
                for (int i = 0; i < bytes.size(); ++i)
                    bytes[i] = char((i * 7) ^ (i >> 11) ^ blocks);
                image.write(bytes);
            }
            return path;
        };
        const auto makePackage
            = [&](const QString &platformVersion, const QString &displayVersion) {
                  MkPackage::PackageBuilder builder;
                  builder.setPackageVersion(platformVersion);
                  builder.setPlatformApplication({writeImage(QStringLiteral("platform.bin"), 100),
                                                  platformVersion, QString()});
                  builder.setDisplayApplication(
                      {writeImage(QStringLiteral("display.bin"), 20), displayVersion, QString()});
                  const QString path
                      = packageFolder.filePath(QStringLiteral("k27_%1.tar").arg(platformVersion));
                  if (builder.build(path))
                      return path;
                  err() << "k27-screenshots: cannot make the update package: "
                        << builder.errors().join(QStringLiteral("; ")) << "\n";
                  return QString();
              };
        // The device takes on the versions of the first package; the second is newer still.
        const QString packagePath
            = makePackage(QStringLiteral("V0.4.4.0"), QStringLiteral("V0.4.4.1"));
        const QString nextPackagePath
            = makePackage(QStringLiteral("V0.4.5.0"), QStringLiteral("V0.4.5.1"));
        if (packagePath.isEmpty() || nextPackagePath.isEmpty())
            return 1;
        device.call([](DeviceSim::DeviceSimulator &simulator) {
            // The demo's warning is gone: the pictures show a device standing by.
            simulator.setModelValue(quint16(ModelValueID::Warning), 0);
            DeviceSim::SimulatedController::Versions platform = simulator.platform().versions();
            platform.afterUpdate = 0x00040400;
            simulator.platform().setVersions(platform);
            DeviceSim::SimulatedController::Versions display = simulator.display().versions();
            display.afterUpdate = 0x00040401;
            simulator.display().setVersions(display);
        });
        const auto deviceWindow = [&device](MainScreen *mainScreen) -> K27SubScreen * {
            for (K27SubScreen *candidate : mainScreen->deviceWindows()) {
                if (candidate->portName() == device.portName())
                    return candidate;
            }
            return nullptr;
        };
        {
            // The whole package installed: the device is back with its new software.
            const auto mainScreen = openMainScreen(manager, UserLogin::Admin, config);
            if (K27SubScreen *window = deviceWindow(mainScreen.get())) {
                waitUntil([window] { return labelText(window, "labelSerialNumber") == "27200987"; },
                          "the device's serial number");
                // The technician changed three settings on site; the new firmware forgets them.
                device.call([](DeviceSim::DeviceSimulator &simulator) {
                    simulator.setModelValue(quint16(ModelValueID::TripClass), 5);
                    simulator.setModelValue(quint16(ModelValueID::NominalCurrent), 3.1);
                    simulator.setModelValue(quint16(ModelValueID::UndervoltageThreshold), 190);
                });
                waitUntil(
                    [window] {
                        return quint8(window->database()->settings().tripClass().value()) == 5;
                    },
                    "the changed settings");
                window->packageUpdateService()->setTiming({400, 200, 200, 200, 60000});
                window->openUpdatePackage(packagePath);
                click(window, "pushButtonStartPackageUpdate");
                waitUntil(
                    [window] {
                        return labelText(window, "labelSoftwareVersion") == "V0.4.4.0"
                            && !window->packageUpdateService()->isUpdating();
                    },
                    "the completed update", 60000);
                scrollTo(window, "labelPackageVersionText");
                shooter.take(mainScreen.get(), QStringLiteral("update-complete.png"));
                // The settings compared once the device has reported them again.
                waitUntil(
                    [window] {
                        const auto *restore = window->findChild<QWidget *>(
                            QStringLiteral("pushButtonRestoreSettings"));
                        return restore && restore->isVisibleTo(window);
                    },
                    "the settings the update changed");
                scrollTo(window, "pushButtonRestoreSettings");
                shooter.take(mainScreen.get(), QStringLiteral("update-settings.png"));
            }
        }
        {
            // The platform takes its new firmware and the device stops asking after block 44,
            // so that the picture shows the panel at 45 %.
            const auto mainScreen = openMainScreen(manager, UserLogin::Admin, config);
            if (K27SubScreen *window = deviceWindow(mainScreen.get())) {
                waitUntil([window] { return labelText(window, "labelSerialNumber") == "27200987"; },
                          "the device's serial number");
                device.call([](DeviceSim::DeviceSimulator &simulator) {
                    DeviceSim::UpdateFaults stall;
                    stall.stallAfterBlock = 44;
                    simulator.setUpdateFaults(stall, 0);
                });
                window->packageUpdateService()->setTiming({400, 200, 200, 200, 60000});
                window->openUpdatePackage(nextPackagePath);
                click(window, "pushButtonStartPackageUpdate");
                int lastBlock = -1;
                QObject::connect(window->updateControlService().data(),
                                 &Service::K27::UpdateControlService::blockSent, window,
                                 [&lastBlock](quint16 block) { lastBlock = block; });
                waitUntil([&lastBlock] { return lastBlock >= 44; }, "the update's progress", 30000);
                scrollTo(window, "progressBarPackageUpdate");
                shooter.take(mainScreen.get(), QStringLiteral("update.png"));
            }
        }
        {
            // The program was closed during that transfer: the platform stays in its
            // bootloader, and the next window finds it there.
            device.call([](DeviceSim::DeviceSimulator &simulator) {
                simulator.setUpdateFaults(DeviceSim::UpdateFaults(), 0);
            });
            const auto mainScreen = openMainScreen(manager, UserLogin::Admin, config);
            if (K27SubScreen *window = deviceWindow(mainScreen.get())) {
                waitUntil([window] { return !labelText(window, "labelDeviceState").isEmpty(); },
                          "the platform's bootloader");
                shooter.take(mainScreen.get(), QStringLiteral("update-recovery.png"));
            }
        }
    }
    return shooter.failed() || sizeRefused ? 1 : 0;
}

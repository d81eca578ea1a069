#include "model/database/ModelDatabase.h"
#include "service/PackageUpdateService.h"
#include "service/UpdateControlService.h"
#include "support/SubScreenHarness.h"
#include "support/TrappedTest.h"
#include "support/UpdatePackages.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>
#include <memory>

using Command = Component::K27::ZantLinkCommandCode;
using DeviceSim::DeviceSimulator;
using DeviceSim::DeviceSimulatorOptions;
using DeviceSim::ReceivedPacket;
using Service::K27::PackageUpdateService;
using TestSupport::SubScreenHarness;
using TestSupport::UpdatePackages;

namespace {
constexpr quint32 oldVersion = 0x01000000;
constexpr quint32 newPlatformVersion = 0x02000000;
constexpr quint32 newDisplayVersion = 0x02000001;

// The update's packets as the device received them: "command/node", actions with their number.
QStringList updatePackets(const QList<ReceivedPacket> &packets)
{
    QStringList list;
    for (const ReceivedPacket &packet : packets) {
        switch (packet.command) {
        case Command::JumpToBootloader:
        case Command::ApplicationUpdate:
        case Command::Memblock:
            list.append(QStringLiteral("%1/%2").arg(packet.command).arg(packet.destination));
            break;
        case Command::FireModelAction:
            if (packet.number(0) == 11 || packet.number(0) == 12)
                list.append(QStringLiteral("action %1").arg(packet.number(0)));
            break;
        default:
            break;
        }
    }
    list.removeDuplicates();
    return list;
}
} // namespace

// The package update panel on a device window, against the simulated device over a
// pseudo-terminal: the device restarts (its port goes away and comes back) when its platform
// enters the bootloader and when it returns to its new software.
class TestPackageUpdatePanel : public TestSupport::TrappedTest
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<UpdatePackages> m_packages;
    std::unique_ptr<SubScreenHarness> m_harness;

    void setUp() override
    {
        m_folder = std::make_unique<QTemporaryDir>();
        m_packages = std::make_unique<UpdatePackages>(m_folder->path(),
                                                      QStringLiteral(K27_MKPACKAGE_PATH));
    }
    void tearDown() override
    {
        m_harness.reset();
        m_packages.reset();
        m_folder.reset();
    }

    // A device window on a device of the old versions; the port manager looks at the ports the
    // moment the device leaves or returns, instead of at its next poll.
    bool start(int level = UserLogin::Admin, DeviceSimulatorOptions options = {})
    {
        options.usbAwayMs = 20;
        options.platform.application = oldVersion;
        options.platform.afterUpdate = newPlatformVersion;
        options.display.application = oldVersion;
        options.display.afterUpdate = newDisplayVersion;
        m_harness = std::make_unique<SubScreenHarness>(level, options);
        if (!m_harness->start())
            return false;
        Application::K27::SerialPortManager *const manager = m_harness->manager().data();
        QObject::connect(&m_harness->device(), &DeviceSimulator::wentAway, manager,
                         &Application::K27::SerialPortManager::handleTimeout);
        QObject::connect(&m_harness->device(), &DeviceSimulator::cameBack, manager,
                         &Application::K27::SerialPortManager::handleTimeout);
        // The waits cut short; the platform's bootloader wait stays long enough for the port to
        // have gone away and come back.
        window().packageUpdateService()->setTiming({300, 1, 1, 1, 20000});
        window().updateControlService()->setStallTimeouts(20000, 20000);
        return true;
    }
    K27SubScreen &window() { return m_harness->window(); }
    QPushButton *button(const char *name) { return m_harness->child<QPushButton>(name); }
    QLabel *label(const char *name) { return m_harness->child<QLabel>(name); }
    QProgressBar *progressBar()
    {
        return m_harness->child<QProgressBar>("progressBarPackageUpdate");
    }
    PackageUpdateService &service() { return *window().packageUpdateService(); }

    QString twoImagePackage(const QString &platformVersion = QStringLiteral("V2.0.0.0"))
    {
        return m_packages->build(QStringLiteral("package.tar"), UpdatePackages::image(2100),
                                 platformVersion, UpdatePackages::image(900, 3),
                                 QStringLiteral("V2.0.0.1"));
    }

private slots:
    void downgradeVerdict_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("operatingMode");
        QTest::addColumn<QString>("packageVersion");
        QTest::addColumn<bool>("offered");
        QTest::newRow("Supervisor, newer") << int(UserLogin::Supervisor) << 0 << "V1.0.0.1" << true;
        QTest::newRow("Supervisor, equal")
            << int(UserLogin::Supervisor) << 0 << "V1.0.0.0" << false;
        QTest::newRow("Supervisor, older")
            << int(UserLogin::Supervisor) << 0 << "V0.9.0.0" << false;
        QTest::newRow("Admin, older") << int(UserLogin::Admin) << 0 << "V0.9.0.0" << true;
        QTest::newRow("Admin, equal") << int(UserLogin::Admin) << 0 << "V1.0.0.0" << true;
        QTest::newRow("Demo, mode 3, older") << int(UserLogin::Demo) << 3 << "V0.9.0.0" << true;
        QTest::newRow("Demo, mode 0, equal") << int(UserLogin::Demo) << 0 << "V1.0.0.0" << false;
        QTest::newRow("Demo, mode 0, newer") << int(UserLogin::Demo) << 0 << "V1.1.0.0" << true;
    }
    void downgradeVerdict()
    {
        QFETCH(int, level);
        QFETCH(int, operatingMode);
        QFETCH(QString, packageVersion);
        QFETCH(bool, offered);
        DeviceSimulatorOptions options;
        options.model.insert(10, operatingMode);
        QVERIFY(start(level, options));
        const QString package = twoImagePackage(packageVersion);
        QVERIFY(!package.isEmpty());
        window().openUpdatePackage(package);
        QCOMPARE(label("labelPackageVersionText")->text(),
                 offered ? QStringLiteral("New Firmware: ")
                         : QStringLiteral("Software downgrade is not allowed! "));
        QCOMPARE(label("labelPackageVersion")->text(), QStringLiteral("V2.0.0.0"));
        QCOMPARE(button("pushButtonStartPackageUpdate")->isVisibleTo(&window()), offered);

        // A cancelled dialog takes the offer back.
        window().openUpdatePackage(QString());
        QVERIFY(!button("pushButtonStartPackageUpdate")->isVisibleTo(&window()));
        QVERIFY(label("labelPackageVersionText")->text().isEmpty());
    }

    void refusedPackageSendsNothing()
    {
        QVERIFY(start(UserLogin::Admin));
        const QString package = m_packages->tamper(twoImagePackage(), QStringLiteral("bad.tar"));
        QVERIFY(!package.isEmpty());
        m_harness->takeReceived();
        window().openUpdatePackage(package);
        QCOMPARE(label("labelPackageVersionText")->text(),
                 QStringLiteral("Security Error! Wrong Digest"));
        QVERIFY(label("labelPackageVersion")->text().isEmpty());
        QVERIFY(!button("pushButtonStartPackageUpdate")->isVisibleTo(&window()));
        QVERIFY(button("pushButtonOpenUpdatePackage")->isVisibleTo(&window()));
        // The button cannot be pressed, and the service refuses to run the package anyway.
        service().startUpdate();
        QVERIFY(m_harness->barrier());
        QVERIFY(updatePackets(m_harness->takeReceived()).isEmpty());
        QVERIFY(window().canClose());
    }

    void wholeUpdate_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<bool>("platform");
        QTest::addColumn<bool>("display");
        QTest::addColumn<QStringList>("packets");
        QTest::addColumn<QStringList>("steps");
        const QStringList both {QStringLiteral("1/0"),  QStringLiteral("9/0"),
                                QStringLiteral("11/0"), QStringLiteral("action 11"),
                                QStringLiteral("1/1"),  QStringLiteral("9/1"),
                                QStringLiteral("11/1"), QStringLiteral("action 12")};
        QTest::newRow("two images, Admin")
            << int(UserLogin::Admin) << true << true << both
            << QStringList {QStringLiteral("Platform: 0 %"),
                            QStringLiteral("Platform: 60 %"),
                            QStringLiteral("Platform: 100 %"),
                            QStringLiteral("Waiting for the device to restart"),
                            QStringLiteral("Display: 0 %"),
                            QStringLiteral("Display: 50 %"),
                            QStringLiteral("Display: 100 %")};
        QTest::newRow("two images, Supervisor")
            << int(UserLogin::Supervisor) << true << true << both << QStringList();
        QTest::newRow("platform only")
            << int(UserLogin::Admin) << true << false
            << QStringList {QStringLiteral("1/0"), QStringLiteral("9/0"), QStringLiteral("11/0")}
            << QStringList {QStringLiteral("Waiting for the device to restart")};
        QTest::newRow("display only")
            << int(UserLogin::Supervisor) << false << true
            << QStringList {QStringLiteral("1/1"), QStringLiteral("9/1"), QStringLiteral("11/1"),
                            QStringLiteral("action 12")}
            << QStringList {QStringLiteral("Display: 100 %")};
    }
    void wholeUpdate()
    {
        QFETCH(int, level);
        QFETCH(bool, platform);
        QFETCH(bool, display);
        QFETCH(QStringList, packets);
        QFETCH(QStringList, steps);
        QVERIFY(start(level));
        const QString package = m_packages->build(
            QStringLiteral("package.tar"), platform ? UpdatePackages::image(2100) : QByteArray(),
            QStringLiteral("V2.0.0.0"), display ? UpdatePackages::image(900, 3) : QByteArray(),
            QStringLiteral("V2.0.0.1"));
        window().openUpdatePackage(package);
        if (!platform) // no platform version: the verdict does not run, START stays hidden
            QVERIFY(!button("pushButtonStartPackageUpdate")->isVisibleTo(&window()));
        m_harness->takeReceived();

        QSignalSpy progress(&service(), &PackageUpdateService::packageUpdateProgressChanged);
        QSignalSpy finished(&service(), &PackageUpdateService::packageUpdateFinished);
        QSignalSpy errors(&service(), &PackageUpdateService::packageUpdateErrorOccured);
        QSignalSpy completed(&m_harness->device(), &DeviceSimulator::updateCompleted);
        QStringList shown;
        bool keptOpen = true;
        connect(&service(), &PackageUpdateService::packageUpdateStepChanged, this, [&] {
            shown.append(progressBar()->format());
            keptOpen = keptOpen && !window().canClose();
        });
        window().handleStartPackageUpdate();
        QVERIFY(!button("pushButtonOpenUpdatePackage")->isVisibleTo(&window()));
        QVERIFY(progressBar()->isVisibleTo(&window()));
        QVERIFY(!window().canClose());

        QVERIFY(finished.wait(20000));
        // Everything the window sent has reached the device once its answer to this is back.
        QVERIFY(m_harness->barrier());
        QVERIFY(errors.isEmpty());
        QVERIFY(keptOpen);
        QVERIFY(window().canClose());
        QCOMPARE(completed.count(), int(platform) + int(display));
        if (platform)
            QCOMPARE(m_harness->device().platform().applicationVersion(), newPlatformVersion);
        if (display)
            QCOMPARE(m_harness->device().display().applicationVersion(), newDisplayVersion);
        QVERIFY(!m_harness->device().displayUpdateActive());
        QCOMPARE(updatePackets(m_harness->takeReceived()), packets);

        QList<quint32> values;
        for (const QList<QVariant> &arguments : qAsConst(progress))
            values.append(arguments.at(0).value<quint32>());
        QCOMPARE(values.last(), 100u);
        QVERIFY(std::is_sorted(values.begin(), values.end()));
        if (platform && display) {
            QVERIFY(values.contains(50u));
            QVERIFY(!values.contains(99u));
        }
        for (const QString &step : qAsConst(steps))
            QVERIFY2(shown.contains(step), qPrintable(shown.join(QLatin1Char('|'))));

        // The panel after the update: a level that may install without a version check keeps
        // START UPDATE for the same package; any other level chooses a package again.
        QVERIFY(button("pushButtonOpenUpdatePackage")->isVisibleTo(&window()));
        QVERIFY(!progressBar()->isVisibleTo(&window()));
        const bool again = level == UserLogin::Admin;
        QCOMPARE(button("pushButtonStartPackageUpdate")->isVisibleTo(&window()), again);
        QCOMPARE(label("labelPackageVersion")->text().isEmpty(), !again);

        // The platform reports its new software once asked.
        if (platform) {
            window().linkComponent()->sendGetModelValue(39);
            QVERIFY(m_harness->barrier());
            QTRY_COMPARE(quint32(window().database()->information().platformVersion().value()),
                         newPlatformVersion);
        }
    }

    void damagedBlockIsSentAgain()
    {
        DeviceSimulatorOptions options;
        options.updateFaults.corruptBlock = 1;
        QVERIFY(start(UserLogin::Admin, options));
        window().openUpdatePackage(twoImagePackage());
        QSignalSpy rejected(&m_harness->device(), &DeviceSimulator::blockRejected);
        QSignalSpy finished(&service(), &PackageUpdateService::packageUpdateFinished);
        window().handleStartPackageUpdate();
        QVERIFY(finished.wait(20000));
        QVERIFY(m_harness->barrier());
        // Once per controller: the fault applies to each transfer.
        QCOMPARE(rejected.count(), 2);
        QCOMPARE(m_harness->device().platform().applicationVersion(), newPlatformVersion);
        QCOMPARE(m_harness->device().display().applicationVersion(), newDisplayVersion);
    }

    void failuresEndWithAMessage_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("message");
        QTest::newRow("stall after block 2")
            << "stall"
            << "Platform: The device stopped asking for data at block 3 of 5";
        QTest::newRow("device does not come back")
            << "away"
            << "The platform was updated, but the device did not come back within 1 s; the "
               "display was not updated";
        QTest::newRow("port closes during the platform transfer")
            << "platformAway"
            << "Platform: The device stopped asking for data at block 2 of 5";
        QTest::newRow("port closes during the display transfer")
            << "displayAway"
            << "Display: The device stopped asking for data at block 1 of 2";
    }
    void failuresEndWithAMessage()
    {
        QFETCH(QString, failure);
        QFETCH(QString, message);
        DeviceSimulatorOptions options;
        if (failure == QLatin1String("stall"))
            options.updateFaults.stallAfterBlock = 2;
        QVERIFY(start(UserLogin::Supervisor, options));
        window().updateControlService()->setStallTimeouts(20000, 200);
        if (failure == QLatin1String("away"))
            service().setTiming({300, 1, 1, 1, 300});
        window().openUpdatePackage(twoImagePackage());

        DeviceSimulator &device = m_harness->device();
        bool awayWhileKeptOpen = false;
        connect(&device, &DeviceSimulator::blockAccepted, this, [&](quint8 node, quint16 block) {
            if (failure == QLatin1String("away") && node == 0 && block == 0)
                device.setUsbAwayMs(600000);
            if ((failure == QLatin1String("platformAway") && node == 0 && block == 1)
                || (failure == QLatin1String("displayAway") && node == 1 && block == 0)) {
                // The block the device asks for next is lost with the line.
                QTimer::singleShot(0, &device, [&device] { device.goAway(20); });
            }
        });
        connect(&device, &DeviceSimulator::wentAway, this,
                [&] { awayWhileKeptOpen = !window().canClose(); });
        QSignalSpy errors(&service(), &PackageUpdateService::packageUpdateErrorOccured);
        window().handleStartPackageUpdate();
        QVERIFY(errors.wait(20000));
        QCOMPARE(errors.first().at(0).toString(), message);
        QVERIFY(awayWhileKeptOpen);
        QCOMPARE(service().getState(), quint32(PackageUpdateService::Failed));
        QVERIFY(window().canClose());
        QCOMPARE(label("labelPackageVersionText")->text(), message);
        QVERIFY(button("pushButtonOpenUpdatePackage")->isVisibleTo(&window()));
        QVERIFY(!progressBar()->isVisibleTo(&window()));
    }

    void portClosesWhileWaitingForTheDevice()
    {
        // The device leaves after its platform update, comes back, leaves once more before the
        // display step: the update goes on when the port is back.
        QVERIFY(start(UserLogin::Admin));
        service().setTiming({300, 1, 100, 1, 20000});
        window().openUpdatePackage(twoImagePackage());
        DeviceSimulator &device = m_harness->device();
        int returns = 0;
        connect(&device, &DeviceSimulator::cameBack, this, [&] {
            if (service().getState() == PackageUpdateService::WaitingForDevice && ++returns == 1)
                QTimer::singleShot(0, &device, [&device] { device.goAway(20); });
        });
        QSignalSpy finished(&service(), &PackageUpdateService::packageUpdateFinished);
        window().handleStartPackageUpdate();
        QVERIFY(finished.wait(20000));
        QVERIFY(m_harness->barrier());
        QCOMPARE(returns, 2);
        QCOMPARE(device.display().applicationVersion(), newDisplayVersion);
    }
};

QTEST_MAIN(TestPackageUpdatePanel)
#include "tst_gui_packageupdate.moc"

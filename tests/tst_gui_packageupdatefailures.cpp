#include "application/core/Config.h"
#include "application/windows/K27SubScreen.h"
#include "application/windows/MainScreen.h"
#include "component/SerialPortManager.h"
#include "support/PackageUpdatePanelFixture.h"
#include "support/TestRegistry.h"

#include <QPointer>

// The package update panel when the update goes wrong: a damaged block, a stall, a device that
// stays away, the port closing during the transfers and while waiting for the device.
class TestPackageUpdateFailures : public PackageUpdatePanelFixture
{
    Q_OBJECT

private slots:
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
            service().setTiming({platformBootloaderWaitMs, 1, 1, 1, 300});
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
        QCOMPARE(service().state(), PackageUpdateService::State::Failed);
        QVERIFY(window().canClose());
        QCOMPARE(label("labelPackageVersionText")->text(), message);
        QVERIFY(button("pushButtonOpenUpdatePackage")->isVisibleTo(&window()));
        QVERIFY(!progressBar()->isVisibleTo(&window()));
    }

    // In the main window: a device window kept open for its update while the device is away
    // stays when that update fails (it shows why), and gives way to a fresh window, which
    // reads the device again, once the device is back.
    void keptWindowGivesWayWhenTheDeviceReturns()
    {
        qRegisterMetaType<K27SubScreen *>();
        DeviceSimulatorOptions options;
        options.usbAwayMs = 20;
        options.platform.application = oldVersion;
        options.platform.afterUpdate = newPlatformVersion;
        m_harness = std::make_unique<SubScreenHarness>(UserLogin::Admin, options);
        QVERIFY(m_harness->startDevice());
        DeviceSimulator &device = m_harness->device();
        Application::K27::SerialPortManager *const manager = m_harness->manager().data();
        connect(&device, &DeviceSimulator::wentAway, manager,
                &Application::K27::SerialPortManager::handleTimeout);
        connect(&device, &DeviceSimulator::cameBack, manager,
                &Application::K27::SerialPortManager::handleTimeout);
        const auto login = QSharedPointer<UserLogin>::create();
        login->setLevel(UserLogin::Admin);
        // The settings saved before the update go into the test's folder.
        const auto config = QSharedPointer<Application::K27::Config>::create();
        config->setSettingsDir(m_folder->path());
        MainScreen mainScreen(m_harness->manager(), login, config);
        QCOMPARE(mainScreen.deviceWindows().size(), 1);
        const QPointer<K27SubScreen> kept = mainScreen.deviceWindows().first();
        const auto versionShown = [](K27SubScreen *window) {
            return window->findChild<QLabel *>(QStringLiteral("labelSoftwareVersion"))->text();
        };
        QTRY_COMPARE(versionShown(kept), QStringLiteral("V1.0.0.0"));

        // The platform restarts into its new software and stays away past the time allowed.
        kept->packageUpdateService()->setTiming({platformBootloaderWaitMs, 1, 1, 1, 300});
        kept->updateControlService()->setStallTimeouts(20000, 20000);
        connect(&device, &DeviceSimulator::blockAccepted, this, [&device](quint8 node, quint16) {
            if (node == 0)
                device.setUsbAwayMs(600000);
        });
        kept->openUpdatePackage(twoImagePackage());
        QSignalSpy errors(kept->packageUpdateService().data(),
                          &PackageUpdateService::packageUpdateErrorOccured);
        kept->handleStartPackageUpdate();
        QVERIFY(errors.wait(20000));
        QCOMPARE(mainScreen.deviceWindows(), QList<K27SubScreen *> {kept.data()});
        QVERIFY(!manager->serialPort(device.portName())->isOpen());

        QSignalSpy added(&mainScreen, &MainScreen::deviceWindowAdded);
        QVERIFY(device.comeBack());
        QCOMPARE(added.count(), 1);
        QTRY_VERIFY(kept.isNull());
        QCOMPARE(mainScreen.deviceWindows().size(), 1);
        K27SubScreen *const fresh = mainScreen.deviceWindows().first();
        QCOMPARE(fresh, added.first().first().value<K27SubScreen *>());
        QTRY_COMPARE(versionShown(fresh), QStringLiteral("V2.0.0.0"));
    }

    void portClosesWhileWaitingForTheDevice()
    {
        // The device leaves after its platform update, comes back, leaves once more before the
        // display step: the update goes on when the port is back.
        QVERIFY(start(UserLogin::Admin));
        service().setTiming({platformBootloaderWaitMs, 1, 100, 1, 20000});
        window().openUpdatePackage(twoImagePackage());
        DeviceSimulator &device = m_harness->device();
        int returns = 0;
        connect(&device, &DeviceSimulator::cameBack, this, [&] {
            // The port manager has told the service already: it gives the device time to settle.
            if (service().state() == PackageUpdateService::State::DeviceSettling && ++returns == 1)
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

K27_TEST_MAIN(TestPackageUpdateFailures)
#include "tst_gui_packageupdatefailures.moc"

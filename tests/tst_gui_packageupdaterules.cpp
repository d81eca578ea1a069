#include "DemoDevices.h"
#include "support/PackageUpdatePanelFixture.h"
#include "support/QuestionAnswers.h"
#include "support/TestRegistry.h"
#include "utilities/VersionText.h"

// What the package update panel lets a user install, against the simulated device over a
// pseudo-terminal: nothing while the motor runs, an older package to Admin only after Yes, a
// manifest that contradicts itself never, any package on a device whose last update did not
// finish; and an update of a k27-demo device, whose port goes away and comes back.
class TestPackageUpdateRules : public PackageUpdatePanelFixture
{
    Q_OBJECT

private:
    // The window's last view of the device's operating mode is what the device reported.
    bool reportOperatingMode(int mode)
    {
        m_harness->device().setModelValue(10, mode);
        return m_harness->barrier()
            && int(window().database()->operation().operatingMode().value()) == mode;
    }

private slots:
    // The motor starts after the package was offered: the offer goes, START sends nothing;
    // once the motor stops, the package is offered again.
    void refusedWhileTheMotorRuns_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("mode");
        QTest::newRow("Supervisor, forward") << int(UserLogin::Supervisor) << 1;
        QTest::newRow("Admin, backward") << int(UserLogin::Admin) << 2;
    }
    void refusedWhileTheMotorRuns()
    {
        QFETCH(int, level);
        QFETCH(int, mode);
        QVERIFY(start(level));
        window().openUpdatePackage(twoImagePackage());
        QCOMPARE(label("labelPackageVersionText")->text(), QStringLiteral("New Firmware: "));
        QVERIFY(button("pushButtonStartPackageUpdate")->isVisibleTo(&window()));

        QVERIFY(reportOperatingMode(mode));
        QCOMPARE(label("labelPackageVersionText")->text(), QStringLiteral("Stop the motor first"));
        QVERIFY(!button("pushButtonStartPackageUpdate")->isVisibleTo(&window()));
        m_harness->takeReceived();
        // START checks again, whatever led to it.
        window().handleStartPackageUpdate();
        QVERIFY(m_harness->barrier());
        QVERIFY(updatePackets(m_harness->takeReceived()).isEmpty());
        QCOMPARE(label("labelPackageVersionText")->text(), QStringLiteral("Stop the motor first"));
        QVERIFY(!progressBar()->isVisibleTo(&window()));
        QVERIFY(button("pushButtonOpenUpdatePackage")->isVisibleTo(&window()));
        QVERIFY(window().canClose());

        QVERIFY(reportOperatingMode(0));
        QCOMPARE(label("labelPackageVersionText")->text(), QStringLiteral("New Firmware: "));
        QVERIFY(button("pushButtonStartPackageUpdate")->isVisibleTo(&window()));
    }

    // Admin confirms a package that is not newer: No sends nothing, Yes installs it.
    void adminConfirmsAnOlderPackage_data()
    {
        QTest::addColumn<QString>("packageVersion");
        QTest::addColumn<quint32>("packageNumber");
        QTest::addColumn<bool>("yes");
        QTest::newRow("older, No") << "V0.9.0.0" << 0x00090000u << false;
        QTest::newRow("older, Yes") << "V0.9.0.0" << 0x00090000u << true;
        QTest::newRow("equal, Yes") << "V1.0.0.0" << oldVersion << true;
    }
    void adminConfirmsAnOlderPackage()
    {
        QFETCH(QString, packageVersion);
        QFETCH(quint32, packageNumber);
        QFETCH(bool, yes);
        QVERIFY(start(UserLogin::Admin));
        // The device reports the package's software after the update.
        m_harness->device().platform().setVersions(
            {oldVersion, oldVersion, oldVersion, packageNumber});
        window().openUpdatePackage(twoImagePackage(packageVersion));
        QCOMPARE(label("labelPackageVersionText")->text(),
                 QStringLiteral("Not newer than the device's V1.0.0.0: "));
        QVERIFY(button("pushButtonStartPackageUpdate")->isVisibleTo(&window()));
        m_harness->takeReceived();

        TestSupport::QuestionAnswers answers;
        if (yes)
            answers.yes();
        else
            answers.no();
        QSignalSpy finished(&service(), &PackageUpdateService::packageUpdateFinished);
        QSignalSpy completed(&m_harness->device(), &DeviceSimulator::updateCompleted);
        button("pushButtonStartPackageUpdate")->click();
        QCOMPARE(answers.askedTexts(),
                 QStringList {QStringLiteral("Install older firmware|The package's platform "
                                             "firmware %1 is not newer than the device's "
                                             "V1.0.0.0. Install it anyway?")
                                  .arg(packageVersion)});
        if (!yes) {
            QVERIFY(m_harness->barrier());
            QVERIFY(updatePackets(m_harness->takeReceived()).isEmpty());
            QVERIFY(button("pushButtonStartPackageUpdate")->isVisibleTo(&window()));
            QVERIFY(button("pushButtonOpenUpdatePackage")->isVisibleTo(&window()));
            QVERIFY(!progressBar()->isVisibleTo(&window()));
            QVERIFY(window().canClose());
            return;
        }
        QVERIFY(!window().canClose());
        QVERIFY(finished.wait(20000));
        QCOMPARE(completed.count(), 2);
        QCOMPARE(m_harness->device().platform().applicationVersion(), packageNumber);
        QCOMPARE(m_harness->device().display().applicationVersion(), newDisplayVersion);
    }

    // A manifest that contradicts itself is refused whole, whatever the level may skip.
    void contradictoryManifestRefused_data()
    {
        QTest::addColumn<QByteArray>("manifest");
        QTest::addColumn<QString>("message");
        QTest::newRow("version part above 255")
            << QByteArray(R"({"Package": {"Version": "V2.0.0.0"},
                "Platform": {"Application": {"Path": "platform.crypt", "Version": "0.0.0.256"}},
                "Display": {"Application": {"Path": "display.crypt", "Version": "V2.0.0.1"}}})")
            << QStringLiteral("version.json: the platform application version \"0.0.0.256\" has "
                              "a part above 255");
        QTest::newRow("key twice")
            << QByteArray(R"({"Package": {"Version": "V2.0.0.0"},
                "Platform": {"Application": {"Path": "platform.crypt", "Version": "V2.0.0.0"}},
                "Display": {"Application": {"Path": "display.crypt", "Version": "V2.0.0.1"}},
                "Display": {"Application": {"Path": "platform.crypt", "Version": "V2.0.0.1"}}})")
            << QStringLiteral("version.json gives the key \"Display\" twice");
        QTest::newRow("one file for both controllers")
            << QByteArray(R"({"Package": {"Version": "V2.0.0.0"},
                "Platform": {"Application": {"Path": "display.crypt", "Version": "V2.0.0.0"}},
                "Display": {"Application": {"Path": "display.crypt", "Version": "V2.0.0.1"}}})")
            << QStringLiteral("version.json names the file \"display.crypt\" for two "
                              "controllers: platform application and display application");
    }
    void contradictoryManifestRefused()
    {
        QFETCH(QByteArray, manifest);
        QFETCH(QString, message);
        QVERIFY(start(UserLogin::Admin));
        const QString package
            = m_packages->withManifest(twoImagePackage(), QStringLiteral("made.tar"), manifest);
        QVERIFY(!package.isEmpty());
        m_harness->takeReceived();
        window().openUpdatePackage(package);
        QCOMPARE(label("labelPackageVersionText")->text(), message);
        QVERIFY(label("labelPackageVersion")->text().isEmpty());
        QVERIFY(!button("pushButtonStartPackageUpdate")->isVisibleTo(&window()));
        service().startUpdate();
        QVERIFY(m_harness->barrier());
        QVERIFY(updatePackets(m_harness->takeReceived()).isEmpty());
    }

    // A controller answers from its bootloader: its last update did not finish and its version
    // is unknown, so a Supervisor may complete it with any valid package, an older one too.
    void bootloaderOffersAnyPackage_data()
    {
        QTest::addColumn<bool>("platform");
        QTest::newRow("platform in its bootloader") << true;
        QTest::newRow("display in its bootloader") << false;
    }
    void bootloaderOffersAnyPackage()
    {
        QFETCH(bool, platform);
        DeviceSimulatorOptions options;
        options.platform.application = oldVersion;
        options.display.application = oldVersion;
        m_harness = std::make_unique<SubScreenHarness>(UserLogin::Supervisor, options);
        QVERIFY(m_harness->startDevice());
        if (platform)
            m_harness->device().platform().jumpToBootloader();
        else
            m_harness->device().display().jumpToBootloader();
        m_harness->makeWindow();
        m_harness->run();
        QVERIFY(m_harness->barrier());
        // The window greeted both controllers before the barrier's question.
        QCOMPARE(window().terminalService()->displayName(),
                 platform ? QByteArray("Application") : QByteArray("Bootloader"));

        window().openUpdatePackage(twoImagePackage(QStringLiteral("V0.9.0.0")));
        QCOMPARE(label("labelPackageVersionText")->text(),
                 QStringLiteral("The version on the device is unknown: its last update did not "
                                "finish. New Firmware: "));
        QVERIFY(button("pushButtonStartPackageUpdate")->isVisibleTo(&window()));
    }

    // A k27-demo device restarts as the real one does: its port goes away for longer than the
    // port manager's poll and comes back under its name, and the update completes. The port
    // manager polls at its own pace; nothing tells it that the device left.
    void demoDeviceCompletesAnUpdate()
    {
        DeviceSimulatorOptions options;
        QString error;
        QVERIFY2(DemoDevices::options(DemoDevices::Serra, &options, &error), qPrintable(error));
        m_harness = std::make_unique<SubScreenHarness>(UserLogin::Admin, options);
        QVERIFY(m_harness->start());
        keepSettingsInTestFolder();
        // The waits after the platform's return cut short. The platform's bootloader keeps the
        // program's own wait, by which the port manager has seen the port go, and the device's
        // absence is its own.
        PackageUpdateService::Timing timing = service().timing();
        timing.displayBootloaderMs = 1;
        timing.deviceSettleMs = 1;
        timing.displayFinishMs = 1;
        timing.deviceReturnTimeoutMs = 20000;
        service().setTiming(timing);
        const quint32 platformVersion = options.platform.application + 1;
        const quint32 displayVersion = options.display.application + 1;
        const QString package
            = m_packages->build(QStringLiteral("demo.tar"), UpdatePackages::image(2100),
                                QString::fromLatin1(Utilities::versionText(platformVersion)),
                                UpdatePackages::image(900, 3),
                                QString::fromLatin1(Utilities::versionText(displayVersion)));
        QVERIFY(!package.isEmpty());
        window().openUpdatePackage(package);
        QCOMPARE(label("labelPackageVersionText")->text(), QStringLiteral("New Firmware: "));

        QSignalSpy finished(&service(), &PackageUpdateService::packageUpdateFinished);
        QSignalSpy errors(&service(), &PackageUpdateService::packageUpdateErrorOccured);
        QSignalSpy away(&m_harness->device(), &DeviceSimulator::wentAway);
        window().handleStartPackageUpdate();
        QVERIFY(finished.wait(30000));
        QVERIFY2(errors.isEmpty(), qPrintable(errors.value(0).value(0).toString()));
        // Into the bootloader and back into the new software.
        QCOMPARE(away.count(), 2);
        QCOMPARE(m_harness->device().platform().applicationVersion(), platformVersion);
        QCOMPARE(m_harness->device().display().applicationVersion(), displayVersion);
    }
};

K27_TEST_MAIN(TestPackageUpdateRules)
#include "tst_gui_packageupdaterules.moc"

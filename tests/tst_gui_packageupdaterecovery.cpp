#include "model/interfaces/ModelValueID.h"
#include "support/PackageUpdatePanelFixture.h"
#include "support/TestRegistry.h"

#include <QCoreApplication>
#include <QEvent>

// The Information page around an update: the versions the device reports once it is back, a
// device whose last update did not finish (a controller in its bootloader), and what the page
// says after a failed update; against the simulated device over a pseudo-terminal.
class TestPackageUpdateRecovery : public PackageUpdatePanelFixture
{
    Q_OBJECT

    const QString platformBootloader
        = QStringLiteral("The platform runs its bootloader: its last update did not finish. "
                         "Open an update package to complete it.");
    const QString displayBootloader
        = QStringLiteral("The display runs its bootloader: its last update did not finish. "
                         "Open an update package to complete it.");
    // A Serra Plus 6,6 A: its pictures are of the "torvex_k27_serra+" family.
    const QString standbyPicture = QStringLiteral(":/images/torvex_k27_serra+_standby.png");

    DeviceSimulatorOptions serraPlus() const
    {
        DeviceSimulatorOptions options;
        options.model.insert(quint16(Model::Interfaces::ModelValueID::ArticleNumber), 36262);
        return options;
    }
    // What the page says about the device's state; empty while it says nothing.
    QString deviceState()
    {
        QLabel *state = label("labelDeviceState");
        return state->isVisibleTo(&window()) ? state->text() : QString();
    }
    QString picture() { return label("labelTorvexK27Image")->property("picture").toString(); }
    // Whether the label shows its whole text in the room the page gives it.
    bool shownWhole(QLabel *shown)
    {
        window().show();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        // A label that keeps its text on one line needs the line's width; one that wraps, the
        // height of its lines at its width.
        if (!shown->wordWrap())
            return shown->sizeHint().width() <= shown->width();
        return shown->heightForWidth(shown->width()) <= shown->height();
    }
    QPushButton *pageButton(const QString &page)
    {
        if (page == QLatin1String("Configuration"))
            return button("pushButtonConfiguration");
        if (page == QLatin1String("Data"))
            return button("pushButtonData");
        if (page == QLatin1String("Control"))
            return button("pushButtonControl");
        return button("pushButtonServiceMode");
    }

private slots:
    void completedUpdateShowsNewVersions_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<bool>("platform");
        QTest::addColumn<bool>("display");
        QTest::addColumn<QString>("complete");
        QTest::newRow("two images") << int(UserLogin::Supervisor) << true << true
                                    << "Update complete: Platform V2.0.0.0, Display V2.0.0.1";
        QTest::newRow("platform only")
            << int(UserLogin::Admin) << true << false << "Update complete: Platform V2.0.0.0";
        QTest::newRow("display only")
            << int(UserLogin::Admin) << false << true << "Update complete: Display V2.0.0.1";
    }
    void completedUpdateShowsNewVersions()
    {
        QFETCH(int, level);
        QFETCH(bool, platform);
        QFETCH(bool, display);
        QFETCH(QString, complete);
        QVERIFY(start(level, serraPlus()));
        QCOMPARE(label("labelSoftwareVersion")->text(), QStringLiteral("V1.0.0.0"));
        const QString package = m_packages->build(
            QStringLiteral("package.tar"), platform ? UpdatePackages::image(2100) : QByteArray(),
            QStringLiteral("V2.0.0.0"), display ? UpdatePackages::image(900, 3) : QByteArray(),
            QStringLiteral("V2.0.0.1"));
        window().openUpdatePackage(package);
        QSignalSpy finished(&service(), &PackageUpdateService::packageUpdateFinished);
        button("pushButtonStartPackageUpdate")->click();
        QVERIFY(finished.wait(20000));
        // The window read the device again when it was back; the answers are in once the
        // answer to this is.
        QVERIFY(m_harness->barrier());

        QCOMPARE(label("labelPackageVersionText")->text(), complete);
        QVERIFY(shownWhole(label("labelPackageVersionText")));
        QCOMPARE(label("labelSoftwareVersion")->text(),
                 platform ? QStringLiteral("V2.0.0.0") : QStringLiteral("V1.0.0.0"));
        QCOMPARE(deviceState(), QString());
        QCOMPARE(picture(), standbyPicture);
        QVERIFY(button("pushButtonConfiguration")->isEnabled());
    }

    // off: the pages the page names as not available, in its order.
    void bootloaderShown_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<bool>("platform");
        QTest::addColumn<bool>("display");
        QTest::addColumn<QStringList>("off");
        const QStringList admin {QStringLiteral("Configuration"), QStringLiteral("Data"),
                                 QStringLiteral("Control")};
        QTest::newRow("platform, Admin") << int(UserLogin::Admin) << true << false << admin;
        QTest::newRow("both, Admin") << int(UserLogin::Admin) << true << true << admin;
        QTest::newRow("display, Admin") << int(UserLogin::Admin) << false << true << QStringList();
        QTest::newRow("platform, Customer")
            << int(UserLogin::Customer) << true << false << QStringList {QStringLiteral("Data")};
        QTest::newRow("platform, Demo")
            << int(UserLogin::Demo) << true << false << QStringList {QStringLiteral("Demo")};
    }
    void bootloaderShown()
    {
        QFETCH(int, level);
        QFETCH(bool, platform);
        QFETCH(bool, display);
        QFETCH(QStringList, off);
        // An update broke off before the program was started again.
        QVERIFY(start(level, serraPlus(), [&](DeviceSimulator &device) {
            if (platform)
                device.platform().jumpToBootloader();
            if (display)
                device.display().jumpToBootloader();
        }));

        QStringList said;
        if (platform)
            said.append(platformBootloader);
        if (display)
            said.append(displayBootloader);
        if (!off.isEmpty())
            said.append(QStringLiteral("Not available while the platform runs its bootloader: "
                                       "%1.")
                            .arg(off.join(QStringLiteral(", "))));
        QCOMPARE(deviceState(), said.join(QLatin1Char('\n')));
        QVERIFY(shownWhole(label("labelDeviceState")));
        for (const QString &page : qAsConst(off))
            QVERIFY2(!pageButton(page)->isEnabled(), qPrintable(page));
        if (platform) {
            // Nothing of a model the device does not run: no version, serial number or picture
            // of a device standing by.
            QCOMPARE(label("labelSoftwareVersion")->text(), QStringLiteral("unknown"));
            QCOMPARE(label("labelSerialNumber")->text(), QStringLiteral("unknown"));
            QCOMPARE(picture(), QString());
        } else {
            QCOMPARE(label("labelSoftwareVersion")->text(), QStringLiteral("V1.0.0.0"));
            QCOMPARE(picture(), standbyPicture);
        }

        // Both controllers run their application again: the page reads the device and shows it.
        m_harness->device().platform().jumpToApplication();
        m_harness->device().display().jumpToApplication();
        window().linkComponent()->sendGetName(Component::Interfaces::ZantLinkPacket::Display);
        QVERIFY(m_harness->barrier());
        QVERIFY(m_harness->barrier());
        QCOMPARE(deviceState(), QString());
        for (const QString &page : qAsConst(off))
            QVERIFY2(pageButton(page)->isEnabled(), qPrintable(page));
        QCOMPARE(label("labelSoftwareVersion")->text(), QStringLiteral("V1.0.0.0"));
        QCOMPARE(picture(), standbyPicture);
    }

    // The transfer breaks off at a block (the device stops asking, or its line goes), which
    // leaves the platform in its bootloader; the same package, opened again, completes the
    // update from there.
    void brokenTransferCompletedByOpeningAgain_data()
    {
        QTest::addColumn<QString>("breakOff");
        QTest::newRow("the device stops asking") << "stall";
        QTest::newRow("the line is closed") << "line";
    }
    void brokenTransferCompletedByOpeningAgain()
    {
        QFETCH(QString, breakOff);
        QVERIFY(start(UserLogin::Admin, serraPlus()));
        window().updateControlService()->setStallTimeouts(20000, 200);
        DeviceSimulator &device = m_harness->device();
        if (breakOff == QLatin1String("stall")) {
            DeviceSim::UpdateFaults stall;
            stall.stallAfterBlock = 2;
            device.setUpdateFaults(stall, 0);
        } else {
            connect(&device, &DeviceSimulator::blockAccepted, this,
                    [&device](quint8 node, quint16 block) {
                        // The block the device asks for next is lost with the line.
                        if (node == 0 && block == 2)
                            QTimer::singleShot(0, &device, [&device] { device.goAway(20); });
                    });
        }
        const QString package = twoImagePackage();
        window().openUpdatePackage(package);
        QSignalSpy errors(&service(), &PackageUpdateService::packageUpdateErrorOccured);
        button("pushButtonStartPackageUpdate")->click();
        QVERIFY(errors.wait(20000));
        QVERIFY(m_harness->barrier());
        QCOMPARE(device.platform().mode(), DeviceSim::SimulatedController::Mode::Bootloader);
        QVERIFY2(deviceState().startsWith(platformBootloader), qPrintable(deviceState()));

        device.setUpdateFaults(DeviceSim::UpdateFaults(), 0);
        disconnect(&device, &DeviceSimulator::blockAccepted, this, nullptr);
        window().openUpdatePackage(package);
        QVERIFY(button("pushButtonStartPackageUpdate")->isVisibleTo(&window()));
        QSignalSpy finished(&service(), &PackageUpdateService::packageUpdateFinished);
        button("pushButtonStartPackageUpdate")->click();
        QVERIFY(finished.wait(20000));
        QVERIFY(m_harness->barrier());
        QCOMPARE(device.platform().applicationVersion(), newPlatformVersion);
        QCOMPARE(device.display().applicationVersion(), newDisplayVersion);
        QCOMPARE(label("labelSoftwareVersion")->text(), QStringLiteral("V2.0.0.0"));
        QCOMPARE(label("labelPackageVersionText")->text(),
                 QStringLiteral("Update complete: Platform V2.0.0.0, Display V2.0.0.1"));
        QCOMPARE(deviceState(), QString());
        QVERIFY(button("pushButtonConfiguration")->isEnabled());
    }

    // After a failed update the page says where the device was left and what to do.
    void failureSaysDeviceState_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("state");
        QTest::newRow("platform transfer stalls") << "platform"
                                                  << platformBootloader
                + QStringLiteral("\nNot available while the platform runs its "
                                 "bootloader: Configuration, Data, Control.");
        QTest::newRow("display transfer stalls") << "display" << displayBootloader;
        QTest::newRow("device does not come back")
            << "away"
            << "The device is not connected. Connect it again, then open the update package to "
               "complete the update.";
    }
    void failureSaysDeviceState()
    {
        QFETCH(QString, failure);
        QFETCH(QString, state);
        QVERIFY(start(UserLogin::Admin, serraPlus()));
        window().updateControlService()->setStallTimeouts(20000, 200);
        DeviceSimulator &device = m_harness->device();
        DeviceSim::UpdateFaults stall;
        stall.stallAfterBlock = 1;
        if (failure == QLatin1String("platform"))
            device.setUpdateFaults(stall, 0);
        if (failure == QLatin1String("display"))
            device.setUpdateFaults(stall, 1);
        if (failure == QLatin1String("away")) {
            service().setTiming({platformBootloaderWaitMs, 1, 1, 1, 300});
            connect(&device, &DeviceSimulator::blockAccepted, this,
                    [&device](quint8 node, quint16) {
                        if (node == 0)
                            device.setUsbAwayMs(600000);
                    });
        }
        window().openUpdatePackage(twoImagePackage());
        QSignalSpy errors(&service(), &PackageUpdateService::packageUpdateErrorOccured);
        button("pushButtonStartPackageUpdate")->click();
        QVERIFY(errors.wait(20000));
        // The controllers' answers to what they run are in once the answer to this is.
        if (failure != QLatin1String("away"))
            QVERIFY(m_harness->barrier());

        QCOMPARE(deviceState(), state);
        QVERIFY(shownWhole(label("labelDeviceState")));
        QCOMPARE(label("labelPackageVersionText")->text(), errors.first().at(0).toString());
        QVERIFY(shownWhole(label("labelPackageVersionText")));
        QVERIFY(button("pushButtonOpenUpdatePackage")->isVisibleTo(&window()));
    }
};

K27_TEST_MAIN(TestPackageUpdateRecovery)
#include "tst_gui_packageupdaterecovery.moc"

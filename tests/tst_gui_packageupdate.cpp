#include "support/FileAnswers.h"
#include "support/PackageUpdatePanelFixture.h"
#include "support/TestRegistry.h"

#include <QRegularExpression>
#include <algorithm>

// The package update panel: the version verdict per level, a refused package and whole updates,
// against the simulated device over a pseudo-terminal.
class TestPackageUpdatePanel : public PackageUpdatePanelFixture
{
    Q_OBJECT

private slots:
    // packageVersion: the platform image's version; none for a package of a display image only.
    // The device runs V1.0.0.0.
    void downgradeVerdict_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("operatingMode");
        QTest::addColumn<QString>("packageVersion");
        QTest::addColumn<QString>("verdict");
        QTest::addColumn<bool>("offered");
        const QString offered = QStringLiteral("New Firmware: ");
        const QString notNewer = QStringLiteral("Not newer than the device's V1.0.0.0: ");
        const QString downgrade = QStringLiteral("Software downgrade is not allowed! ");
        const QString motor = QStringLiteral("Stop the motor first");
        const QString nothingToCompare
            = QStringLiteral("No platform firmware to compare: update not allowed! ");
        const QString displayOnly;
        QTest::newRow("Supervisor, newer")
            << int(UserLogin::Supervisor) << 0 << "V1.0.0.1" << offered << true;
        QTest::newRow("Supervisor, equal")
            << int(UserLogin::Supervisor) << 0 << "V1.0.0.0" << downgrade << false;
        QTest::newRow("Supervisor, older")
            << int(UserLogin::Supervisor) << 0 << "V0.9.0.0" << downgrade << false;
        // Admin is offered an older or equal package as such, and confirms it at the start.
        QTest::newRow("Admin, older")
            << int(UserLogin::Admin) << 0 << "V0.9.0.0" << notNewer << true;
        QTest::newRow("Admin, equal")
            << int(UserLogin::Admin) << 0 << "V1.0.0.0" << notNewer << true;
        // The Demo page's states (the safety stop among them) open no way past the check.
        QTest::newRow("Demo, safety stop, older")
            << int(UserLogin::Demo) << 3 << "V0.9.0.0" << downgrade << false;
        QTest::newRow("Demo, mode 0, equal")
            << int(UserLogin::Demo) << 0 << "V1.0.0.0" << downgrade << false;
        QTest::newRow("Demo, mode 0, newer")
            << int(UserLogin::Demo) << 0 << "V1.1.0.0" << offered << true;
        // Nothing while the motor runs.
        QTest::newRow("Supervisor, forward, newer")
            << int(UserLogin::Supervisor) << 1 << "V1.0.0.1" << motor << false;
        QTest::newRow("Admin, backward, older")
            << int(UserLogin::Admin) << 2 << "V0.9.0.0" << motor << false;
        QTest::newRow("Admin, forward, display only")
            << int(UserLogin::Admin) << 1 << displayOnly << motor << false;
        // No platform image, no version to compare: only a level that may skip the check.
        QTest::newRow("Admin, display only")
            << int(UserLogin::Admin) << 0 << displayOnly << offered << true;
        QTest::newRow("Supervisor, display only")
            << int(UserLogin::Supervisor) << 0 << displayOnly << nothingToCompare << false;
        QTest::newRow("Demo, safety stop, display only")
            << int(UserLogin::Demo) << 3 << displayOnly << nothingToCompare << false;
    }
    void downgradeVerdict()
    {
        QFETCH(int, level);
        QFETCH(int, operatingMode);
        QFETCH(QString, packageVersion);
        QFETCH(QString, verdict);
        QFETCH(bool, offered);
        DeviceSimulatorOptions options;
        options.model.insert(10, operatingMode);
        QVERIFY(start(level, options));
        const QString package = packageVersion.isEmpty()
            ? m_packages->build(QStringLiteral("package.tar"), QByteArray(), QString(),
                                UpdatePackages::image(900, 3), QStringLiteral("V2.0.0.1"))
            : twoImagePackage(packageVersion);
        QVERIFY(!package.isEmpty());
        window().openUpdatePackage(package);
        QCOMPARE(label("labelPackageVersionText")->text(), verdict);
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

    // OPEN asks for the package in the place of the last one and opens what was chosen.
    void openAsksForPackage()
    {
        QVERIFY(start(UserLogin::Admin));
        const QString package = twoImagePackage();
        QVERIFY(!package.isEmpty());
        window().configuration()->setSoftwareUpdateDir(m_folder->path());
        TestSupport::FileAnswers answers;
        answers.choose(package);
        button("pushButtonOpenUpdatePackage")->click();
        QCOMPARE(label("labelPackageVersion")->text(), QStringLiteral("V2.0.0.0"));
        QVERIFY(button("pushButtonStartPackageUpdate")->isVisibleTo(&window()));
        QCOMPARE(window().configuration()->softwareUpdateDir(), package);

        // Cancelled: the offer is taken back, the place of the last package stays.
        answers.cancel();
        button("pushButtonOpenUpdatePackage")->click();
        QVERIFY(!button("pushButtonStartPackageUpdate")->isVisibleTo(&window()));
        QVERIFY(label("labelPackageVersion")->text().isEmpty());
        QCOMPARE(window().configuration()->softwareUpdateDir(), package);

        const QString asked
            = QStringLiteral("Open|Open software update package|%1|Archives (*.tar)");
        QCOMPARE(answers.askedTexts(),
                 QStringList({asked.arg(m_folder->path()), asked.arg(package)}));
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
        // The steps' own words, each behind "Step n of m · ".
        QTest::newRow("two images, Admin")
            << int(UserLogin::Admin) << true << true << both
            << QStringList {QStringLiteral("Platform 0 %"),
                            QStringLiteral("Platform 60 %"),
                            QStringLiteral("Platform 100 %"),
                            QStringLiteral("Waiting for the device to restart"),
                            QStringLiteral("Display 0 %"),
                            QStringLiteral("Display 50 %"),
                            QStringLiteral("Display 100 %")};
        QTest::newRow("two images, Supervisor")
            << int(UserLogin::Supervisor) << true << true << both << QStringList();
        QTest::newRow("platform only")
            << int(UserLogin::Admin) << true << false
            << QStringList {QStringLiteral("1/0"), QStringLiteral("9/0"), QStringLiteral("11/0")}
            << QStringList {QStringLiteral("Platform 100 %"),
                            QStringLiteral("Waiting for the device to restart")};
        QTest::newRow("display only")
            << int(UserLogin::Admin) << false << true
            << QStringList {QStringLiteral("1/1"), QStringLiteral("9/1"), QStringLiteral("11/1"),
                            QStringLiteral("action 12")}
            << QStringList {QStringLiteral("Display 100 %")};
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
        // Newer platform software is offered to every level, a display image alone to Admin.
        QVERIFY(button("pushButtonStartPackageUpdate")->isVisibleTo(&window()));
        m_harness->takeReceived();

        QSignalSpy progress(&service(), &PackageUpdateService::packageUpdateProgressChanged);
        QSignalSpy finished(&service(), &PackageUpdateService::packageUpdateFinished);
        QSignalSpy errors(&service(), &PackageUpdateService::packageUpdateErrorOccured);
        QSignalSpy completed(&m_harness->device(), &DeviceSimulator::updateCompleted);
        QStringList shown;
        QList<int> barValues;
        bool keptOpen = true;
        connect(&service(), &PackageUpdateService::packageUpdateStepChanged, this, [&] {
            shown.append(progressBar()->format());
            barValues.append(progressBar()->value());
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
        // One bar over the whole run: the platform's transfer fills only its own share.
        if (platform && display)
            QVERIFY(!values.contains(99u));
        // One bar over the whole sequence: every step says which of how many it is, the steps
        // follow each other, and the bar never goes back.
        const QRegularExpression stepText(QStringLiteral("^Step (\\d+) of (\\d+) · (.+)$"));
        QStringList words;
        int lastNumber = 0;
        for (const QString &text : qAsConst(shown)) {
            const QRegularExpressionMatch match = stepText.match(text);
            QVERIFY2(match.hasMatch(), qPrintable(text));
            const int number = match.captured(1).toInt();
            QVERIFY2(number >= lastNumber && number <= match.captured(2).toInt(), qPrintable(text));
            lastNumber = number;
            words.append(match.captured(3));
        }
        QVERIFY(std::is_sorted(barValues.begin(), barValues.end()));
        // A wait may add its countdown to its words.
        for (const QString &step : qAsConst(steps))
            QVERIFY2(std::any_of(words.cbegin(), words.cend(),
                                 [&step](const QString &word) { return word.startsWith(step); }),
                     qPrintable(shown.join(QLatin1Char('|'))));

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
};

K27_TEST_MAIN(TestPackageUpdatePanel)
#include "tst_gui_packageupdate.moc"

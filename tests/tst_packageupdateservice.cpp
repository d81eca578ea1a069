#include "component/ZantLinkCommandCode.h"
#include "component/ZantLinkPacket.h"
#include "service/FirmwareImageCipher.h"
#include "service/PackageUpdateService.h"
#include "service/UpdateControlService.h"
#include "service/VersionParser.h"
#include "support/RecordingLinkComponent.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"
#include "support/UpdatePackages.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <sys/stat.h>

using Command = Component::K27::ZantLinkCommandCode;
using Component::Interfaces::ZantLinkPacket;
using Service::K27::PackageUpdateError;
using Service::K27::PackageUpdateService;
using State = Service::K27::PackageUpdateService::State;
using Service::K27::UpdateControlService;
using TestSupport::RecordingLinkComponent;
using TestSupport::UpdatePackages;

namespace {
const QString portName = QStringLiteral("ttyK27TEST");

// "command/destination[/first argument as a number]" of every packet written.
QStringList commands(const QVector<QByteArray> &writes)
{
    QStringList list;
    for (const QByteArray &bytes : writes) {
        const ZantLinkPacket packet(bytes);
        QString text
            = QStringLiteral("%1/%2").arg(packet.getCommand()).arg(packet.getDestination());
        if (packet.getCommand() == Command::FireModelAction)
            text += QStringLiteral("/%1").arg(packet.argument(0).data[0]);
        list.append(text);
    }
    return list;
}

QString cmd(int command, int destination)
{
    return QStringLiteral("%1/%2").arg(command).arg(destination);
}
} // namespace

// Opening a package (every image checked before anything is offered) and the run's sequence,
// against a link that records what would go out; the waits are cut to a millisecond.
class TestPackageUpdateService : public TestSupport::TrappedTest
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<UpdatePackages> m_packages;
    std::unique_ptr<RecordingLinkComponent> m_link;
    QSharedPointer<UpdateControlService> m_control;
    std::unique_ptr<PackageUpdateService> m_service;

    void setUp() override
    {
        m_folder = std::make_unique<QTemporaryDir>();
        m_packages = std::make_unique<UpdatePackages>(m_folder->path(),
                                                      QStringLiteral(K27_MKPACKAGE_PATH));
        m_link = std::make_unique<RecordingLinkComponent>();
        m_control = QSharedPointer<UpdateControlService>::create();
        m_control->addComponent(m_link.get());
        m_service = std::make_unique<PackageUpdateService>(m_control, nullptr, portName);
        m_service->addComponent(m_link.get());
        m_service->setTiming({1, 1, 1, 1, 60000});
    }
    void tearDown() override
    {
        m_service.reset();
        m_control.reset();
        m_link.reset();
        m_packages.reset();
        m_folder.reset();
    }

    // Answers every block of the current image in order.
    void pullImage()
    {
        const quint16 count = m_control->blockCount();
        for (quint16 block = 0; block < count; ++block)
            m_control->sendBlock(block);
    }

private slots:
    void unusablePackagesAreReported_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("unreadable") << "unreadable"
                                    << "Cannot read the package: the file does not exist";
        // Opening a FIFO for reading would wait for a writer for ever.
        QTest::newRow("FIFO") << "fifo"
                              << "Cannot read the package: it is not a regular file";
        QTest::newRow("not an archive") << "text"
                                        << "The package has no version.json";
        QTest::newRow("no version.json") << "noManifest"
                                         << "The package has no version.json";
        QTest::newRow("invalid manifest") << "badJson"
                                          << "The package's version.json is not a valid manifest";
        QTest::newRow("image not in the archive")
            << "missingImage"
            << "The package names the firmware image platform.crypt, which it does not hold";
        QTest::newRow("no application image")
            << "noImage"
            << "The package holds no firmware image for this device";
        QTest::newRow("tampered image") << "tampered"
                                        << "Security Error! Wrong Digest";
    }
    void unusablePackagesAreReported()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        // A good package first: nothing of it may survive the bad one.
        const QString good = m_packages->build(
            QStringLiteral("good.tar"), UpdatePackages::image(1000), QStringLiteral("V2.0.0.0"),
            UpdatePackages::image(700, 1), QStringLiteral("V2.0.0.0"));
        QVERIFY(!good.isEmpty());
        m_service->openPackage(good);
        QCOMPARE(m_service->state(), State::Loaded);
        QCOMPARE(m_service->imageCount(), 2u);

        QString path;
        const QByteArray manifest
            = R"({"Package":{"Version":"V3"},"Platform":{"Application":{"Path":"platform.crypt","Version":"V3.0.0.0"}}})";
        if (kind == QLatin1String("unreadable"))
            path = m_folder->filePath(QStringLiteral("missing.tar"));
        else if (kind == QLatin1String("fifo")) {
            path = m_folder->filePath(QStringLiteral("fifo.tar"));
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (kind == QLatin1String("text")) {
            path = m_folder->filePath(QStringLiteral("notes.tar"));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("not an archive\n");
        } else if (kind == QLatin1String("noManifest"))
            path = m_packages->archive(
                QStringLiteral("p.tar"),
                {{QStringLiteral("platform.crypt"),
                  Service::K27::FirmwareImageCipher().encryptImage(UpdatePackages::image(100))}});
        else if (kind == QLatin1String("badJson"))
            path = m_packages->archive(
                QStringLiteral("p.tar"),
                {{QStringLiteral("version.json"), QByteArray("{\"Platform\": ")}});
        else if (kind == QLatin1String("missingImage"))
            path = m_packages->archive(QStringLiteral("p.tar"),
                                       {{QStringLiteral("version.json"), manifest}});
        else if (kind == QLatin1String("noImage"))
            path = m_packages->archive(
                QStringLiteral("p.tar"),
                {{QStringLiteral("version.json"), QByteArray(R"({"Package":{"Version":"V3"}})")}});
        else
            path = m_packages->tamper(good, QStringLiteral("tampered.tar"));
        QVERIFY(!path.isEmpty());

        QSignalSpy errors(m_service.get(), &PackageUpdateService::packageUpdateErrorOccured);
        QSignalSpy versions(m_service.get(), &PackageUpdateService::packageUpdatePlatformVersion);
        QSignalSpy texts(m_service.get(), &PackageUpdateService::packageUpdateVersion);
        m_service->openPackage(path);
        QCOMPARE(errors.count(), 1);
        QVERIFY2(errors.first().at(0).toString().startsWith(message),
                 qPrintable(errors.first().at(0).toString()));
        // Nothing is offered for the package and nothing of the earlier one is left.
        QVERIFY(versions.isEmpty());
        QVERIFY(texts.isEmpty());
        QCOMPARE(m_service->state(), State::Failed);
        QCOMPARE(m_service->getState(), 5u);
        QCOMPARE(m_service->error().text(), errors.first().at(0).toString());
        QCOMPARE(m_service->imageCount(), 0u);
        QVERIFY(m_service->versionParser() == nullptr);

        m_service->startUpdate();
        QVERIFY(m_link->writes().isEmpty());
    }

    // The window and k27ctl decide from the platform software a package brings: its version
    // when it holds a platform image, otherwise that it has none.
    void platformSoftwareIsAnnounced_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QList<quint32>>("versions");
        QTest::addColumn<int>("withoutPlatformImage");
        QTest::newRow("two images") << "both" << QList<quint32> {0x02000000} << 0;
        QTest::newRow("platform only") << "platform" << QList<quint32> {0x02000000} << 0;
        QTest::newRow("display only") << "display" << QList<quint32>() << 1;
        // The manifest's platform record names a bootloader only: no platform image is sent.
        QTest::newRow("platform bootloader record only")
            << "bootloaderRecord" << QList<quint32>() << 1;
        QTest::newRow("platform image without a version text")
            << "noVersionText" << QList<quint32> {0} << 0;
    }
    void platformSoftwareIsAnnounced()
    {
        QFETCH(QString, kind);
        QFETCH(QList<quint32>, versions);
        QFETCH(int, withoutPlatformImage);
        const QByteArray platformImage
            = Service::K27::FirmwareImageCipher().encryptImage(UpdatePackages::image(600));
        const QByteArray displayImage
            = Service::K27::FirmwareImageCipher().encryptImage(UpdatePackages::image(300, 2));
        QString path;
        if (kind == QLatin1String("bootloaderRecord"))
            path = m_packages->archive(
                QStringLiteral("p.tar"),
                {{QStringLiteral("version.json"),
                  QByteArray(
                      R"({"Platform":{"Bootloader":{"Path":"boot.crypt","Version":"V9.0.0.0"}},)"
                      R"("Display":{"Application":{"Path":"display.crypt","Version":"V2.0.0.1"}}})")},
                 {QStringLiteral("display.crypt"), displayImage}});
        else if (kind == QLatin1String("noVersionText"))
            path = m_packages->archive(
                QStringLiteral("p.tar"),
                {{QStringLiteral("version.json"),
                  QByteArray(R"({"Platform":{"Application":{"Path":"platform.crypt"}}})")},
                 {QStringLiteral("platform.crypt"), platformImage}});
        else
            path = m_packages->build(
                QStringLiteral("p.tar"),
                kind != QLatin1String("display") ? UpdatePackages::image(600) : QByteArray(),
                QStringLiteral("V2.0.0.0"),
                kind != QLatin1String("platform") ? UpdatePackages::image(300, 2) : QByteArray(),
                QStringLiteral("V2.0.0.1"));
        QVERIFY(!path.isEmpty());

        QSignalSpy announced(m_service.get(), &PackageUpdateService::packageUpdatePlatformVersion);
        QSignalSpy without(m_service.get(),
                           &PackageUpdateService::packageUpdateWithoutPlatformImage);
        m_service->openPackage(path);
        QCOMPARE(m_service->state(), State::Loaded);
        QList<quint32> numbers;
        for (const QList<QVariant> &arguments : qAsConst(announced))
            numbers.append(arguments.at(0).value<quint32>());
        QCOMPARE(numbers, versions);
        QCOMPARE(without.count(), withoutPlatformImage);
    }

    void wholeSequence_data()
    {
        QTest::addColumn<bool>("platform");
        QTest::addColumn<bool>("display");
        QTest::addColumn<QStringList>("expected");
        // The steps of the run: P and D the transfers, W a wait.
        QTest::addColumn<QString>("steps");
        const QString jump0 = cmd(Command::JumpToBootloader, 0);
        const QString jump1 = cmd(Command::JumpToBootloader, 1);
        const QString update0 = cmd(Command::ApplicationUpdate, 0);
        const QString update1 = cmd(Command::ApplicationUpdate, 1);
        const QString block0 = cmd(Command::Memblock, 0);
        const QString block1 = cmd(Command::Memblock, 1);
        const QString startDisplay = cmd(Command::FireModelAction, 0) + QStringLiteral("/11");
        const QString stopDisplay = cmd(Command::FireModelAction, 0) + QStringLiteral("/12");
        QTest::newRow("platform and display")
            << true << true << QStringList {jump0, update0, block0, block0,     startDisplay,
                                            jump1, update1, block1, stopDisplay}
            << "WPWDW";
        QTest::newRow("platform only")
            << true << false << QStringList {jump0, update0, block0, block0} << "WPW";
        QTest::newRow("display only")
            << false << true << QStringList {jump1, update1, block1, stopDisplay} << "WDW";
    }
    void wholeSequence()
    {
        QFETCH(bool, platform);
        QFETCH(bool, display);
        QFETCH(QStringList, expected);
        QFETCH(QString, steps);
        const QString package = m_packages->build(
            QStringLiteral("p.tar"), platform ? UpdatePackages::image(1000) : QByteArray(),
            QStringLiteral("V2.0.0.0"), display ? UpdatePackages::image(300, 2) : QByteArray(),
            QStringLiteral("V2.0.0.1"));
        QVERIFY(!package.isEmpty());
        m_service->openPackage(package);
        QCOMPARE(m_service->state(), State::Loaded);
        QCOMPARE(m_service->getState(), 1u);

        QSignalSpy progress(m_service.get(), &PackageUpdateService::packageUpdateProgressChanged);
        QSignalSpy finished(m_service.get(), &PackageUpdateService::packageUpdateFinished);
        QString stepKinds;
        int lastNumber = 0;
        bool running = true;
        connect(m_service.get(), &PackageUpdateService::packageUpdateStepChanged, this,
                [&](const Service::K27::UpdateStep &step) {
                    if (!running)
                        return;
                    QCOMPARE(step.count, steps.size());
                    QVERIFY(step.number >= lastNumber);
                    if (step.number == lastNumber)
                        return;
                    lastNumber = step.number;
                    stepKinds += step.kind == Service::K27::UpdateStep::Kind::PlatformTransfer
                        ? QLatin1Char('P')
                        : step.kind == Service::K27::UpdateStep::Kind::DisplayTransfer
                        ? QLatin1Char('D')
                        : QLatin1Char('W');
                });
        m_service->startUpdate();
        if (platform) {
            QCOMPARE(m_service->state(), State::PlatformBootloader);
            QCOMPARE(m_service->getState(), 2u);
            QTRY_COMPARE(m_control->blockCount(), quint16(2));
            QCOMPARE(m_service->state(), State::PlatformTransfer);
            // Refused while the update runs.
            m_service->openPackage(package);
            QCOMPARE(m_service->state(), State::PlatformTransfer);
            pullImage();
            QCOMPARE(m_service->state(), State::DeviceRestarting);
            QCOMPARE(m_service->getState(), 3u);
            m_service->handlePortOpened(QStringLiteral("ttyOTHER"));
            QCOMPARE(m_service->state(), State::DeviceRestarting);
            m_service->handlePortOpened(portName);
            QCOMPARE(m_service->state(), State::DeviceSettling);
        }
        if (display) {
            QTRY_COMPARE(m_service->state(), State::DisplayTransfer);
            QCOMPARE(m_service->getState(), 4u);
            QTRY_COMPARE(m_control->blockCount(), quint16(1));
            pullImage();
            QCOMPARE(m_service->state(), State::DisplayFinishing);
        }
        // The last block sent is not the end: the updated controllers are asked what they run.
        QTRY_COMPARE(m_service->state(), State::Confirming);
        QVERIFY(m_service->isUpdating());
        QCOMPARE(finished.count(), 0);
        const QStringList asked = commands(m_link->writes());
        for (const quint8 node : {quint8(0), quint8(1)}) {
            const bool updated = node == 0 ? platform : display;
            QCOMPARE(asked.contains(cmd(Command::GetName, node)), updated);
            QCOMPARE(asked.contains(cmd(Command::GetSWVersion, node)), updated);
        }
        if (platform) {
            m_service->handleControllerName(0, "Application");
            m_service->handleSoftwareVersion(0, 0x02000000);
        }
        if (display) {
            m_service->handleControllerName(1, "Application");
            QCOMPARE(finished.count(), 0);
            m_service->handleSoftwareVersion(1, 0x02000001);
        }
        QCOMPARE(finished.count(), 1);
        running = false;
        QCOMPARE(m_service->state(), State::Finished);
        QCOMPARE(m_service->getState(), 6u);
        QCOMPARE(stepKinds, steps);

        // The update's own commands, without the questions.
        QStringList sent;
        for (const QString &command : commands(m_link->writes())) {
            const int code = command.section(QLatin1Char('/'), 0, 0).toInt();
            if (code != Command::GetName && code != Command::GetSWVersion
                && code != Command::GetModelValue)
                sent.append(command);
        }
        sent.removeDuplicates();
        expected.removeDuplicates();
        QCOMPARE(sent, expected);
        QList<quint32> values;
        for (const QList<QVariant> &arguments : qAsConst(progress))
            values.append(arguments.at(0).value<quint32>());
        QCOMPARE(values.first(), 0u);
        QCOMPARE(values.last(), 100u);
        QVERIFY(std::is_sorted(values.begin(), values.end()));

        // Finished: the package can be installed again.
        m_link->clear();
        m_service->startUpdate();
        QCOMPARE(commands(m_link->writes()).value(0), expected.first());
    }

    // A controller that already runs its bootloader (an earlier update broke off) gets its image
    // at once: no jump, no wait.
    void runStartsFromTheBootloaderItFinds_data()
    {
        QTest::addColumn<quint8>("node");
        QTest::newRow("platform") << quint8(0);
        QTest::newRow("display") << quint8(1);
    }
    void runStartsFromTheBootloaderItFinds()
    {
        QFETCH(quint8, node);
        const QString package = m_packages->build(
            QStringLiteral("p.tar"), node == 0 ? UpdatePackages::image(1000) : QByteArray(),
            QStringLiteral("V2.0.0.0"), node == 1 ? UpdatePackages::image(300, 2) : QByteArray(),
            QStringLiteral("V2.0.0.1"));
        m_service->setTiming({60000, 60000, 60000, 1, 60000});
        m_service->openPackage(package);
        m_service->handleControllerName(node, "Bootloader");
        QSignalSpy steps(m_service.get(), &PackageUpdateService::packageUpdateStepChanged);
        m_service->startUpdate();
        QCOMPARE(m_service->state(), node == 0 ? State::PlatformTransfer : State::DisplayTransfer);
        QCOMPARE(commands(m_link->writes()), QStringList {cmd(Command::ApplicationUpdate, node)});
        const auto step = steps.first().at(0).value<Service::K27::UpdateStep>();
        QCOMPARE(step.number, 1);
        QCOMPARE(step.count, 2);
    }

    // The run ends as a failure unless each updated controller runs its application and reports
    // the package's version; the text says which controller is where.
    void unconfirmedUpdateFails_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<quint32>("version");
        QTest::addColumn<QString>("message");
        QTest::newRow("still in the bootloader")
            << QByteArray("Bootloader") << 0x01000000u
            << "The display is still in its bootloader: its transfer did not finish";
        QTest::newRow("another version")
            << QByteArray("Application") << 0x01000000u
            << "The display reports V1.0.0.0, not the package's V2.0.0.1";
        QTest::newRow("no answer")
            << QByteArray() << 0u
            << "The display did not report its application after its update: its state is "
               "unknown";
    }
    void unconfirmedUpdateFails()
    {
        QFETCH(QByteArray, name);
        QFETCH(quint32, version);
        QFETCH(QString, message);
        Service::K27::PackageUpdateService::Timing timing = m_service->timing();
        timing.confirmTimeoutMs = 1000;
        m_service->setTiming(timing);
        const QString package
            = m_packages->build(QStringLiteral("p.tar"), QByteArray(), QString(),
                                UpdatePackages::image(300, 2), QStringLiteral("V2.0.0.1"));
        m_service->openPackage(package);
        QSignalSpy errors(m_service.get(), &PackageUpdateService::packageUpdateErrorOccured);
        QSignalSpy finished(m_service.get(), &PackageUpdateService::packageUpdateFinished);
        m_service->startUpdate();
        QTRY_COMPARE(m_control->blockCount(), quint16(1));
        pullImage();
        QTRY_COMPARE(m_service->state(), State::Confirming);
        if (!name.isEmpty()) {
            m_service->handleControllerName(1, name);
            m_service->handleSoftwareVersion(1, version);
        }
        QVERIFY(errors.wait(5000));
        QCOMPARE(errors.first().at(0).toString(), message);
        QCOMPARE(finished.count(), 0);
        QCOMPARE(m_service->state(), State::Failed);
        // Whoever shows the device is told where its controllers stand.
        const QStringList sent = commands(m_link->writes());
        QCOMPARE(sent.mid(sent.size() - 2),
                 QStringList({cmd(Command::GetName, 0), cmd(Command::GetName, 1)}));
    }

    void digestErrorAtStartEndsTheRun()
    {
        // The image is checked again when the transfer starts: a package changed on disk after
        // it was opened is caught there.
        const QString package = m_packages->build(
            QStringLiteral("p.tar"), UpdatePackages::image(1000), QStringLiteral("V2.0.0.0"));
        m_service->openPackage(package);
        QSignalSpy errors(m_service.get(), &PackageUpdateService::packageUpdateErrorOccured);
        m_service->startUpdate();
        // The digest error as the update control service reports it for this package's image.
        m_control->start(QByteArray(200, 'x'), 1, 0);
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors.first().at(0).toString(), QStringLiteral("Security Error! Wrong Digest"));
        QCOMPARE(m_service->state(), State::Failed);
        m_service->startUpdate();
        QCOMPARE(m_service->state(), State::Failed);
    }

    void stallAndAbsentDevice_data()
    {
        QTest::addColumn<bool>("stall");
        // What the platform answers to "GetName" after its last block; empty: nothing.
        QTest::addColumn<QByteArray>("platformAnswer");
        QTest::addColumn<QString>("message");
        QTest::newRow("stall after block 0")
            << true << QByteArray()
            << "Platform: The device stopped asking for data at block 1 of 3";
        QTest::newRow("device does not come back")
            << false << QByteArray()
            << "The platform was updated, but the device did not come back within 1 s; the "
               "display was not updated";
        // The last block was sent, but the platform never took its image.
        QTest::newRow("platform still in its bootloader")
            << false << QByteArray("Bootloader")
            << "The platform is still in its bootloader: its transfer did not finish";
    }
    void stallAndAbsentDevice()
    {
        QFETCH(bool, stall);
        QFETCH(QByteArray, platformAnswer);
        QFETCH(QString, message);
        m_control->setStallTimeouts(60000, 5);
        m_service->setTiming({1, 1, 1, 1, 20});
        const QString package = m_packages->build(
            QStringLiteral("p.tar"), UpdatePackages::image(1100), QStringLiteral("V2.0.0.0"),
            UpdatePackages::image(300, 2), QStringLiteral("V2.0.0.1"));
        m_service->openPackage(package);
        QSignalSpy errors(m_service.get(), &PackageUpdateService::packageUpdateErrorOccured);
        m_service->startUpdate();
        QTRY_COMPARE(m_control->blockCount(), quint16(3));
        m_control->sendBlock(0);
        if (!stall) {
            m_control->sendBlock(1);
            m_control->sendBlock(2);
            QCOMPARE(m_service->state(), State::DeviceRestarting);
            if (!platformAnswer.isEmpty())
                m_service->handleControllerName(0, platformAnswer);
            QCOMPARE(m_service->state(), State::DeviceRestarting);
        }
        QVERIFY(errors.wait(5000));
        QCOMPARE(errors.first().at(0).toString(), message);
        QCOMPARE(m_service->state(), State::Failed);
        QVERIFY(!m_service->isUpdating());
        // Opened again, the package runs again: from the bootloader where the platform said
        // it is, with a jump to it otherwise.
        m_service->openPackage(package);
        m_link->clear();
        m_service->startUpdate();
        QCOMPARE(commands(m_link->writes()),
                 QStringList {platformAnswer.isEmpty() ? cmd(Command::JumpToBootloader, 0)
                                                       : cmd(Command::ApplicationUpdate, 0)});
    }

    // A service-view transfer that runs keeps the package from starting: its image is never
    // replaced midway.
    void startWhileAnotherTransferRunsIsRefused()
    {
        const QString package = m_packages->build(
            QStringLiteral("p.tar"), UpdatePackages::image(1000), QStringLiteral("V2.0.0.0"));
        m_service->openPackage(package);
        QVERIFY(m_control->start(QByteArray(2000, 'x'), 0, 1));
        m_link->clear();
        QSignalSpy errors(m_service.get(), &PackageUpdateService::packageUpdateErrorOccured);
        m_service->startUpdate();
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors.first().at(0).toString(),
                 QStringLiteral("Another update is running: wait until it has ended, then start "
                                "again"));
        QVERIFY(m_link->writes().isEmpty());
        QCOMPARE(m_service->state(), State::Loaded);
        QCOMPARE(m_control->node(), quint8(1));
        // Once that transfer has ended, the package starts.
        for (quint16 block = 0; block < 4; ++block)
            m_control->sendBlock(block);
        m_link->clear();
        m_service->startUpdate();
        QCOMPARE(commands(m_link->writes()), QStringList {cmd(Command::JumpToBootloader, 0)});
    }
};

K27_TEST_GUILESS_MAIN(TestPackageUpdateService)
#include "tst_packageupdateservice.moc"

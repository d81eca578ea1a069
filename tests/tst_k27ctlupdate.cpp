// k27ctl update end to end: the program installs packages made by k27-mkpackage on the
// simulated device, which restarts (its port goes away and comes back) when its platform
// enters the bootloader and when it returns to its new software.

#include "component/ZantLinkCommandCode.h"
#include "model/interfaces/ModelValueID.h"
#include "support/ExternalTool.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"
#include "support/UpdatePackages.h"
#include "support/ValueNumber.h"
#include "tools/devicesim/DeviceSimulator.h"
#include "tools/devicesim/SimulatedPortList.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QtTest>
#include <csignal>
#include <memory>
#include <sys/types.h>

using Command = Component::K27::ZantLinkCommandCode;
using DeviceSim::DeviceSimulator;
using DeviceSim::ReceivedPacket;
using DeviceSim::SimulatedController;
using DeviceSim::UpdateFaults;
using Model::Interfaces::ModelValueID;
using TestSupport::UpdatePackages;

namespace {
constexpr quint32 deviceVersion = 0x01000000;
constexpr quint32 serialNumber = 4711;

using TestSupport::id;

// The packets of an update the device received.
int updatePackets(const QList<ReceivedPacket> &packets)
{
    int count = 0;
    for (const ReceivedPacket &packet : packets) {
        if (packet.command == Command::JumpToBootloader
            || packet.command == Command::ApplicationUpdate || packet.command == Command::Memblock
            || (packet.command == Command::FireModelAction
                && (packet.number(0) == 11 || packet.number(0) == 12)))
            ++count;
    }
    return count;
}
} // namespace

class TestK27ctlUpdate : public TestSupport::TrappedTest
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<UpdatePackages> m_packages;
    DeviceSim::SimulatedPortList m_ports;
    std::unique_ptr<DeviceSimulator> m_device;

    void setUpTestCase() override
    {
        QVERIFY(QFileInfo::exists(QStringLiteral(K27CTL_PATH)));
        qRegisterMetaType<QProcess::ExitStatus>();
    }
    void setUp() override
    {
        m_folder = std::make_unique<QTemporaryDir>();
        m_packages = std::make_unique<UpdatePackages>(m_folder->path(),
                                                      QStringLiteral(K27_MKPACKAGE_PATH));
        QVERIFY(QDir(m_folder->path()).mkdir(QStringLiteral("settings")));
        startDevice();
    }
    // json: further options of the device, as its option file gives them.
    void startDevice(const QByteArray &json = QByteArray("{}"))
    {
        m_device.reset();
        DeviceSim::DeviceSimulatorOptions options;
        QString message;
        QVERIFY2(options.mergeJson(json, &message), qPrintable(message));
        options.model.insert(id(ModelValueID::SerialNumber), serialNumber);
        options.folder = m_folder->path();
        options.usbAwayMs = 50;
        options.platform.application = deviceVersion;
        options.platform.afterUpdate = 0x02000000;
        options.display.application = deviceVersion;
        options.display.afterUpdate = 0x02000001;
        m_device = std::make_unique<DeviceSimulator>(options, &m_ports);
        QVERIFY2(m_device->start(), qPrintable(m_device->errorString()));
    }
    void tearDown() override
    {
        m_device.reset();
        m_packages.reset();
        m_folder.reset();
    }

    // The usual waits, but a device silent for 1.5 s between two blocks has stopped asking
    // (5 s in use): for the tests that wait for it.
    const QString shortStall = QStringLiteral("300,1,1,1,30000,1500");

    // Runs k27ctl while this event loop keeps the simulated device serving.
    // waits: the update's waits (--update-waits).
    TestSupport::ToolRun run(const QStringList &arguments,
                             const QString &waits = QStringLiteral("300,1,1,1"))
    {
        const TestSupport::ToolRun run = TestSupport::runServedTool(
            QStringLiteral(K27CTL_PATH),
            QStringList {QStringLiteral("--port"), m_device->portName(),
                         QStringLiteral("--update-waits"), waits,
                         QStringLiteral("--settings-folder"), settingsFolder()}
                + arguments);
        return run;
    }
    // Where the settings are saved before an update.
    QString settingsFolder() const { return m_folder->filePath(QStringLiteral("settings")); }
    QStringList savedSettingsFiles() const { return QDir(settingsFolder()).entryList(QDir::Files); }

    QString package(const QString &platformVersion)
    {
        return m_packages->build(QStringLiteral("package.tar"), UpdatePackages::image(3000),
                                 platformVersion, UpdatePackages::image(1200, 4),
                                 QStringLiteral("V2.0.0.1"));
    }
    // A package of a display image only: no platform software to compare.
    QString displayPackage()
    {
        return m_packages->build(QStringLiteral("display.tar"), QByteArray(), QString(),
                                 UpdatePackages::image(1200, 4), QStringLiteral("V2.0.0.1"));
    }

private slots:
    void installsAPackage()
    {
        const QString path = package(QStringLiteral("V2.0.0.0"));
        QVERIFY(!path.isEmpty());
        const TestSupport::ToolRun result = run({QStringLiteral("update"), path});
        QVERIFY2(result.exitCode == 0, result.standardError.constData());
        // What the device reports at the end, not what was sent; its settings are as before.
        QCOMPARE(result.standardOutput,
                 QByteArray("installed package V2.0.0.0: platform V2.0.0.0, display V2.0.0.1\n"));
        QVERIFY2(result.standardError.contains("Settings as before the update"),
                 result.standardError.constData());
        for (const char *text :
             {"Platform: 100 %, block 6 of 6", "Waiting for the device to restart",
              "Display: 100 %, block 3 of 3", "blocks/s", "left"})
            QVERIFY2(result.standardError.contains(text), result.standardError.constData());
        // The program has ended; the device reads the last of what it wrote as its loop turns.
        QTRY_COMPARE(m_device->platform().applicationVersion(), 0x02000000u);
        QTRY_COMPARE(m_device->display().applicationVersion(), 0x02000001u);
        QTRY_VERIFY(!m_device->displayUpdateActive());
    }

    void refusedPackagesSendNothing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("tampered image") << "tampered" << QByteArray("Security Error! Wrong Digest");
        QTest::newRow("same version") << "same"
                                      << QByteArray("k27ctl: the package's platform software "
                                                    "V1.0.0.0 is not newer than the device's "
                                                    "V1.0.0.0; --allow-downgrade installs it "
                                                    "anyway; nothing sent\n");
        QTest::newRow("no package") << "missing" << QByteArray("Cannot read the package");
        QTest::newRow("display only")
            << "display"
            << QByteArray("k27ctl: the package has no platform image to compare with the "
                          "device's platform software V1.0.0.0; --allow-downgrade installs it "
                          "anyway; nothing sent\n");
        // Nothing while the motor runs, not even with --allow-downgrade.
        QTest::newRow("motor runs")
            << "motor"
            << QByteArray("k27ctl: the motor runs (operating mode Forward); stop the motor first; "
                          "nothing sent\n");
        // A manifest that contradicts itself is refused whole, as by the window and inspect.
        QTest::newRow("key twice")
            << "key twice"
            << QByteArray("version.json gives the key \"Platform.Application.Path\" twice; "
                          "nothing sent\n");
        QTest::newRow("one file for both controllers")
            << "one file"
            << QByteArray("version.json names the file \"display.crypt\" for two controllers: "
                          "platform application and display application; nothing sent\n");
    }
    void refusedPackagesSendNothing()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, message);
        QString path = package(kind == QLatin1String("same") ? QStringLiteral("V1.0.0.0")
                                                             : QStringLiteral("V2.0.0.0"));
        if (kind == QLatin1String("tampered"))
            path = m_packages->tamper(path, QStringLiteral("tampered.tar"));
        else if (kind == QLatin1String("missing"))
            path = m_folder->filePath(QStringLiteral("none.tar"));
        else if (kind == QLatin1String("display"))
            path = displayPackage();
        else if (kind == QLatin1String("key twice"))
            path = m_packages->withManifest(
                path, QStringLiteral("twice.tar"),
                R"({"Platform": {"Application": {"Path": "display.crypt", "Path": "platform.crypt",
                    "Version": "V2.0.0.0"}},
                    "Display": {"Application": {"Path": "display.crypt", "Version": "V2.0.0.1"}}})");
        else if (kind == QLatin1String("one file"))
            path = m_packages->withManifest(
                path, QStringLiteral("onefile.tar"),
                R"({"Platform": {"Application": {"Path": "display.crypt", "Version": "V2.0.0.0"}},
                    "Display": {"Application": {"Path": "display.crypt", "Version": "V2.0.0.1"}}})");
        const bool motor = kind == QLatin1String("motor");
        if (motor)
            m_device->setModelValue(10, 1, false);
        QVERIFY(!path.isEmpty());
        m_device->clearReceivedPackets();
        const TestSupport::ToolRun result
            = run(motor ? QStringList {QStringLiteral("update"),
                                       QStringLiteral("--allow-downgrade"), path}
                        : QStringList {QStringLiteral("update"), path});
        QCOMPARE(result.exitCode, 8);
        QVERIFY2(result.standardError.contains(message), result.standardError.constData());
        QCOMPARE(result.standardError.count('\n'), 1);
        QVERIFY(result.standardOutput.isEmpty());
        // A refused package is known before the model read (whose 47 requests then come
        // first on the line) or right after it: nothing of an update follows.
        const bool afterModelRead
            = kind == QLatin1String("same") || kind == QLatin1String("display") || motor;
        if (afterModelRead)
            QTRY_COMPARE(m_device->receivedPackets(Command::GetModelValue).size(), 47);
        QCOMPARE(updatePackets(m_device->receivedPackets()), 0);
        QCOMPARE(m_device->platform().applicationVersion(), deviceVersion);
        QCOMPARE(m_device->display().applicationVersion(), deviceVersion);
        if (!afterModelRead) // refused before the port was even used
            QVERIFY(m_device->receivedPackets().isEmpty());
        QCOMPARE(savedSettingsFiles(), QStringList());
    }

    // New firmware that starts from its defaults: the settings saved before the update are
    // compared with the device once it is back, and written back when asked.
    void settingsKeptAcrossAnUpdate_data()
    {
        QTest::addColumn<bool>("restore");
        QTest::newRow("differences printed") << false;
        QTest::newRow("restored") << true;
    }
    void settingsKeptAcrossAnUpdate()
    {
        QFETCH(bool, restore);
        startDevice(R"({"update": {"resetSettings": true}})");
        // The technician's settings, none of them the factory's.
        const QList<QPair<ModelValueID, double>> settings {
            {ModelValueID::TripClass, 3},
            {ModelValueID::NominalCurrent, 2.5},
            {ModelValueID::UndervoltageThreshold, 195.5}};
        for (const auto &setting : settings)
            m_device->setModelValue(id(setting.first), setting.second, false);
        const QString path = package(QStringLiteral("V2.0.0.0"));
        QVERIFY(!path.isEmpty());
        QStringList arguments {QStringLiteral("update"), path};
        if (restore)
            arguments.prepend(QStringLiteral("--restore-settings"));
        const TestSupport::ToolRun result = run(arguments);

        const QStringList saved = savedSettingsFiles();
        QCOMPARE(saved.size(), 1);
        QVERIFY2(QRegularExpression(QStringLiteral("^4711-\\d{8}-\\d{6}-before-update\\.json$"))
                     .match(saved.first())
                     .hasMatch(),
                 qPrintable(saved.first()));
        QFile file(QDir(settingsFolder()).filePath(saved.first()));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJsonObject savedObject = QJsonDocument::fromJson(file.readAll()).object();
        QCOMPARE(savedObject.value(QStringLiteral("TripClass")).toInt(), 3);
        QCOMPARE(savedObject.value(QStringLiteral("NominalCurrent")).toDouble(), 2.5);

        QVERIFY2(result.standardOutput.startsWith("installed package V2.0.0.0"),
                 result.standardOutput.constData());
        for (const char *line : {"TripClass: device 2E, file 10A\n", "NominalCurrent: device ",
                                 "Undervoltage.Threshold: device 207 V, file 195.5 V\n"})
            QVERIFY2(result.standardOutput.contains(line), result.standardOutput.constData());
        QTRY_COMPARE(m_device->platform().applicationVersion(), 0x02000000u);
        if (restore) {
            QVERIFY2(result.exitCode == 0, result.standardError.constData());
            QVERIFY2(result.standardOutput.contains("Settings restored from "),
                     result.standardOutput.constData());
            QVERIFY2(result.standardOutput.contains("values confirmed by the device"),
                     result.standardOutput.constData());
            for (const auto &setting : settings)
                QCOMPARE(float(m_device->modelValue(id(setting.first))), float(setting.second));
        } else {
            QCOMPARE(result.exitCode, 1);
            QVERIFY2(result.standardError.contains("--restore-settings writes them back"),
                     result.standardError.constData());
            // The device keeps its defaults: nothing was written back.
            QCOMPARE(m_device->modelValue(id(ModelValueID::TripClass)), 0.0);
            QVERIFY(!result.standardOutput.contains("Settings restored"));
        }
    }

    // Settings that cannot be saved stop the update before anything of it is sent.
    void unsavedSettingsStopTheUpdate()
    {
        QVERIFY(QDir(settingsFolder()).removeRecursively());
        const QString path = package(QStringLiteral("V2.0.0.0"));
        QVERIFY(!path.isEmpty());
        m_device->clearReceivedPackets();
        const TestSupport::ToolRun result = run({QStringLiteral("update"), path});
        QCOMPARE(result.exitCode, 13);
        QVERIFY2(result.standardError.contains("could not be saved to "),
                 result.standardError.constData());
        QVERIFY2(result.standardError.contains("; nothing sent\n"),
                 result.standardError.constData());
        QVERIFY(result.standardOutput.isEmpty());
        QCOMPARE(updatePackets(m_device->receivedPackets()), 0);
        QCOMPARE(m_device->platform().applicationVersion(), deviceVersion);
    }

    // --allow-downgrade skips the version check: an older platform, or none to compare.
    void installedWhenAllowed_data()
    {
        QTest::addColumn<bool>("displayOnly");
        QTest::newRow("older platform software") << false;
        QTest::newRow("display only") << true;
    }
    void installedWhenAllowed()
    {
        QFETCH(bool, displayOnly);
        // The device takes the older software and reports it.
        SimulatedController::Versions versions = m_device->platform().versions();
        versions.afterUpdate = 0x00090000;
        m_device->platform().setVersions(versions);
        const QString path = displayOnly ? displayPackage() : package(QStringLiteral("V0.9.0.0"));
        QVERIFY(!path.isEmpty());
        const TestSupport::ToolRun result
            = run({QStringLiteral("update"), QStringLiteral("--allow-downgrade"), path});
        QVERIFY2(result.exitCode == 0, result.standardError.constData());
        QTRY_COMPARE(m_device->display().applicationVersion(), 0x02000001u);
        QCOMPARE(m_device->platform().applicationVersion(),
                 displayOnly ? deviceVersion : 0x00090000u);
        QTRY_VERIFY(!m_device->displayUpdateActive());
    }

    // An update that breaks off leaves a controller in its bootloader; the same package then
    // completes the device, starting from the bootloader it finds.
    void brokenOffUpdateIsCompleted_data()
    {
        QTest::addColumn<quint8>("node");
        QTest::addColumn<int>("stallAfterBlock");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("platform at block 2")
            << quint8(0) << 2
            << QByteArray("Platform: The device stopped asking for data at block 3 of 6");
        QTest::newRow("display at block 0")
            << quint8(1) << 0
            << QByteArray("Display: The device stopped asking for data at block 1 of 3");
    }
    void brokenOffUpdateIsCompleted()
    {
        QFETCH(quint8, node);
        QFETCH(int, stallAfterBlock);
        QFETCH(QByteArray, message);
        const QString path = package(QStringLiteral("V2.0.0.0"));
        QVERIFY(!path.isEmpty());
        UpdateFaults faults;
        faults.stallAfterBlock = stallAfterBlock;
        m_device->setUpdateFaults(faults, node);
        const TestSupport::ToolRun broken = run({QStringLiteral("update"), path}, shortStall);
        QCOMPARE(broken.exitCode, 9);
        QVERIFY2(broken.standardError.contains(message), broken.standardError.constData());
        QVERIFY(!broken.standardOutput.contains("installed"));
        QCOMPARE(m_device->controller(node)->mode(), SimulatedController::Mode::Bootloader);

        // What the device says of itself now.
        for (const QStringList &command :
             {QStringList {QStringLiteral("dump")},
              QStringList {QStringLiteral("get"), QStringLiteral("NominalCurrent")}}) {
            const TestSupport::ToolRun asked = run(command);
            if (node == 0) {
                QCOMPARE(asked.exitCode, 12);
                QVERIFY2(asked.standardError.contains(
                             "the platform runs its bootloader: its last update "
                             "did not finish"),
                         asked.standardError.constData());
                QVERIFY(asked.standardOutput.isEmpty());
            } else {
                QCOMPARE(asked.exitCode, 0);
            }
        }

        m_device->setUpdateFaults(UpdateFaults());
        m_device->clearReceivedPackets();
        const TestSupport::ToolRun completed = run({QStringLiteral("update"), path});
        QVERIFY2(completed.exitCode == 0, completed.standardError.constData());
        QCOMPARE(completed.standardOutput,
                 QByteArray("installed package V2.0.0.0: platform V2.0.0.0, display V2.0.0.1\n"));
        QTRY_COMPARE(m_device->platform().applicationVersion(), 0x02000000u);
        QCOMPARE(m_device->display().applicationVersion(), 0x02000001u);
        QCOMPARE(m_device->platform().mode(), SimulatedController::Mode::Application);
        QCOMPARE(m_device->display().mode(), SimulatedController::Mode::Application);
        // The bootloader that ran already was not sent into itself again.
        for (const ReceivedPacket &packet : m_device->receivedPackets(Command::JumpToBootloader))
            QVERIFY(packet.destination != node);
    }

    // The last block sent is not the end: the update is complete only when the device says so.
    void unfinishedUpdateIsAFailure_data()
    {
        QTest::addColumn<bool>("goAway");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("display stops after its last block")
            << false
            << QByteArray("The display is still in its bootloader: its transfer did not finish");
        QTest::newRow("device gone after the last display block")
            << true
            << QByteArray("The display did not report its application after its update: its "
                          "state is unknown");
    }
    void unfinishedUpdateIsAFailure()
    {
        QFETCH(bool, goAway);
        QFETCH(QByteArray, message);
        const QString path = displayPackage();
        QVERIFY(!path.isEmpty());
        // 1200 bytes: blocks 0, 1 and 2.
        constexpr int lastBlock = 2;
        if (goAway) {
            connect(m_device.get(), &DeviceSimulator::blockAccepted, this,
                    [this](quint8 node, quint16 block) {
                        // Right after the block has been taken, not inside its handling.
                        if (node == 1 && block == lastBlock)
                            QTimer::singleShot(0, m_device.get(), [this] { m_device->goAway(); });
                    });
        } else {
            UpdateFaults faults;
            faults.stallAfterBlock = lastBlock;
            m_device->setUpdateFaults(faults, 1);
        }
        // The display's last writes take long enough for the device to be gone before it is
        // asked what it runs. Its answer is waited for 1.5 s instead of 3.
        const TestSupport::ToolRun result
            = run({QStringLiteral("--timeout"), QStringLiteral("1.5"), QStringLiteral("update"),
                   QStringLiteral("--allow-downgrade"), path},
                  QStringLiteral("300,1,1,300"));
        QCOMPARE(result.exitCode, 9);
        QVERIFY2(result.standardError.contains(message), result.standardError.constData());
        QVERIFY(!result.standardOutput.contains("installed"));
    }

    // A pause of the program (a busy or suspended computer) longer than the stall time-out:
    // the device's request waits on the line, and the transfer goes on when the program does.
    void pausedProgramCompletesTheTransfer()
    {
        const QString path = package(QStringLiteral("V2.0.0.0"));
        QVERIFY(!path.isEmpty());
        QProcess process;
        QSignalSpy finished(&process,
                            QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished));
        bool stopped = false;
        bool continued = false;
        connect(m_device.get(), &DeviceSimulator::blockAccepted, this,
                [&](quint8 node, quint16 block) {
                    if (node != 0 || block != 2 || stopped)
                        return;
                    stopped = true;
                    ::kill(pid_t(process.processId()), SIGSTOP);
                    // Longer than the device may stay silent between two blocks.
                    QTimer::singleShot(3000, this, [&] {
                        continued = true;
                        ::kill(pid_t(process.processId()), SIGCONT);
                    });
                });
        process.start(QStringLiteral(K27CTL_PATH),
                      {QStringLiteral("--port"), m_device->portName(),
                       QStringLiteral("--update-waits"), shortStall,
                       QStringLiteral("--settings-folder"), settingsFolder(),
                       QStringLiteral("update"), path});
        QVERIFY(process.waitForStarted());
        for (int round = 0; round < 600 && finished.isEmpty(); ++round)
            finished.wait(100);
        QVERIFY(stopped);
        QVERIFY(continued);
        QVERIFY2(process.exitCode() == 0, process.readAllStandardError().constData());
        QVERIFY(process.readAllStandardOutput().startsWith("installed package V2.0.0.0"));
        QTRY_COMPARE(m_device->display().applicationVersion(), 0x02000001u);
    }
};

K27_TEST_GUILESS_MAIN(TestK27ctlUpdate)
#include "tst_k27ctlupdate.moc"

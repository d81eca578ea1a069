// k27ctl end to end: the program runs as its own process against the simulated device on a
// pseudo-terminal, and the test checks its output, its exit code and what the device received.

#include "component/ZantLinkCommandCode.h"
#include "component/ZantLinkPacket.h"
#include "model/interfaces/ModelValueID.h"
#include "support/ExternalTool.h"
#include "support/LinkClient.h"
#include "support/PtyPair.h"
#include "support/StreamedMeasurements.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"
#include "tools/devicesim/DeviceSimulator.h"
#include "tools/devicesim/SimulatedPortList.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <csignal>
#include <memory>
#include <sys/types.h>

using Component::Interfaces::ZantLinkPacket;
using Component::K27::ZantLinkCommandCode;
using DeviceSim::DeviceSimulator;
using DeviceSim::ReceivedPacket;

namespace {

} // namespace

class TestK27ctl : public TestSupport::TrappedTest
{
    Q_OBJECT

private slots:
    void dumpPrintsEveryValue();
    void getPrintsOneValue();
    void setInRangeIsReportedBack_data();
    void setInRangeIsReportedBack();
    void refusedValueSendsNothing_data();
    void refusedValueSendsNothing();
    void valueOutsideTheDevicesRangeSendsNothing_data();
    void valueOutsideTheDevicesRangeSendsNothing();
    void fireSendsAction();
    void monitorPrintsPacketLog();
    void monitorReportsDeviceAwayAndBack();
    void signalRemovesLinkFolder_data();
    void signalRemovesLinkFolder();
    void signalInterruptsCommand();
    void relativePort_data();
    void relativePort();
    void staleInputIsDiscarded_data();
    void staleInputIsDiscarded();
    void missingPort();
    void badArguments_data();
    void badArguments();
    void silentDeviceTimesOut();
    void settingsRoundTrip();
    void refusedSettingsFileSendsNothing_data();
    void refusedSettingsFileSendsNothing();
    void settingsImportWritesOnlyWhatTheFileCarries();

    void measurePrintsWhatTheDeviceSent_data();
    void measurePrintsWhatTheDeviceSent();
    void measureEndsOnSignal_data();
    void measureEndsOnSignal();
    void measureEndsWhenDeviceGoesAway();
    void closedOutputEndsTheMeasurement();

private:
    void setUpTestCase() override;
    void setUp() override;
    void tearDown() override;

    // The "SetModelValue" packets the device received, by identifier.
    QList<quint32> setValueIdentifiers() const;
    // The actions the device received, in order.
    QList<quint16> firedActions() const;
    void startDevice();
    // Starts "k27ctl monitor" on the device and reads until the 47 values of the model read
    // have been logged.
    bool startMonitorAndReadModel(QProcess &process, QByteArray &out, QByteArray &err);
    // Runs k27ctl while the test's event loop keeps the simulated device serving.
    TestSupport::ToolRun run(const QStringList &arguments,
                             const QString &workingDirectory = QString());
    // Reads the process's output into out and err (turning the event loop) until done()
    // holds, or a time-out; returns done().
    template<typename Done>
    static bool readUntil(QProcess &process, QByteArray &out, QByteArray &err, Done done)
    {
        return QTest::qWaitFor(
            [&] {
                out += process.readAllStandardOutput();
                err += process.readAllStandardError();
                return done();
            },
            30000);
    }
    // Reads the process's output until out (or err) holds text, or a time-out; true when it
    // arrived.
    static bool waitForOutput(QProcess &process, QByteArray &out, QByteArray &err,
                              const QByteArray &text, bool onStandardError = false);
    // Waits until the device has received everything k27ctl wrote to its port and gives the
    // packets received before that point. The test asks the Platform for its name through the
    // device's port behind k27ctl's bytes; the line is first-in first-out, so once the device
    // has received that question, it has received all that came before it.
    bool receivedBeforeBarrier(QList<ReceivedPacket> &packets);

    DeviceSim::SimulatedPortList m_portList;
    std::unique_ptr<DeviceSimulator> m_device;
};

void TestK27ctl::setUpTestCase()
{
    QVERIFY(QFileInfo::exists(QStringLiteral(K27CTL_PATH)));
    qRegisterMetaType<QProcess::ExitStatus>();
}

void TestK27ctl::setUp()
{
    startDevice();
}

void TestK27ctl::tearDown()
{
    m_device.reset();
}

void TestK27ctl::startDevice()
{
    DeviceSim::DeviceSimulatorOptions options;
    options.model = {{46, 36262}, {45, 123456}, {2, 2.6}};
    m_device = std::make_unique<DeviceSimulator>(options, &m_portList);
    QVERIFY2(m_device->start(), qPrintable(m_device->errorString()));
}

bool TestK27ctl::waitForOutput(QProcess &process, QByteArray &out, QByteArray &err,
                               const QByteArray &text, bool onStandardError)
{
    const QByteArray &watched = onStandardError ? err : out;
    return readUntil(process, out, err, [&watched, &text] { return watched.contains(text); });
}

bool TestK27ctl::receivedBeforeBarrier(QList<ReceivedPacket> &packets)
{
    // k27ctl never sends "GetName" with an argument: the question is told apart by its tag.
    static const QByteArray tag("barrier");
    const auto isBarrier = [](const ReceivedPacket &packet) {
        return packet.command == ZantLinkCommandCode::GetName
            && packet.arguments == QList<QByteArray> {tag};
    };
    TestSupport::LinkClient pc(m_device->portName());
    if (!pc.open())
        return false;
    pc.send(ZantLinkCommandCode::GetName, ZantLinkPacket::Platform, {tag});
    if (!pc.waitFor(ZantLinkCommandCode::GetName, 1, 10000))
        return false;
    const QList<ReceivedPacket> received = m_device->receivedPackets();
    const auto barrier = std::find_if(received.begin(), received.end(), isBarrier);
    if (barrier == received.end())
        return false;
    packets = QList<ReceivedPacket>(received.begin(), barrier);
    return true;
}

TestSupport::ToolRun TestK27ctl::run(const QStringList &arguments, const QString &workingDirectory)
{
    const TestSupport::ToolRun run
        = TestSupport::runServedTool(QStringLiteral(K27CTL_PATH), arguments, workingDirectory);
    return run;
}

void TestK27ctl::dumpPrintsEveryValue()
{
    const TestSupport::ToolRun result
        = run({QStringLiteral("--port"), m_device->portName(), QStringLiteral("dump")});
    QCOMPARE(result.standardError, QByteArray());
    QCOMPARE(result.exitCode, 0);

    QJsonParseError error {};
    const QJsonDocument document = QJsonDocument::fromJson(result.standardOutput, &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    const QJsonArray values = document.array();
    QCOMPARE(values.size(), 51); // every value of the model
    int previous = -1;
    for (const QJsonValue &entry : values) {
        const QJsonObject object = entry.toObject();
        QCOMPARE(object.keys(), (QStringList {"id", "name", "text", "value"}));
        QVERIFY(object.value("id").toInt() > previous);
        previous = object.value("id").toInt();
    }
    // The issue's example line, byte for byte.
    QVERIFY(result.standardOutput.contains(
        R"({"id": 2, "name": "NominalCurrent", "value": 2.6, "text": "2.6"})"));
    QVERIFY(result.standardOutput.contains(
        R"({"id": 46, "name": "ArticleNumber", "value": 36262, "text": "36262"})"));
    QVERIFY(result.standardOutput.contains(
        R"({"id": 4, "name": "SoftstartEnable", "value": false, "text": "Disable"})"));
    QVERIFY(result.standardOutput.contains(
        R"({"id": 47, "name": "ArticleIndex", "value": 65, "text": "A"})"));
    // The device answered every request of the model read.
    QCOMPARE(m_device->receivedPackets(ZantLinkCommandCode::GetModelValue).size(), 47);
}

void TestK27ctl::getPrintsOneValue()
{
    const TestSupport::ToolRun result
        = run({QStringLiteral("--port"), m_device->portName(), QStringLiteral("get"),
               QStringLiteral("serialnumber")});
    QCOMPARE(result.standardError, QByteArray());
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.standardOutput,
             QByteArray(R"({"id": 45, "name": "SerialNumber", "value": 123456, "text": "123456"})"
                        "\n"));
}

void TestK27ctl::setInRangeIsReportedBack_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("content");
    QTest::addColumn<quint16>("identifier");
    QTest::addColumn<float>("stored");
    QTest::addColumn<QByteArray>("printed");

    QTest::newRow("float") << "NominalCurrent"
                           << "3.3" << quint16(2) << 3.3f
                           << QByteArray(R"("value": 3.3, "text": "3.3")");
    QTest::newRow("flag by text") << "SoftstartEnable"
                                  << "Enable" << quint16(4) << 1.0f
                                  << QByteArray(R"("value": true, "text": "Enable")");
    QTest::newRow("enumeration by number")
        << "TripClass"
        << "5" << quint16(0) << 5.0f << QByteArray(R"("value": 5, "text": "20")");
}

void TestK27ctl::setInRangeIsReportedBack()
{
    QFETCH(QString, name);
    QFETCH(QString, content);
    QFETCH(quint16, identifier);
    QFETCH(float, stored); // the device holds floats
    QFETCH(QByteArray, printed);

    const TestSupport::ToolRun result = run(
        {QStringLiteral("--port"), m_device->portName(), QStringLiteral("set"), name, content});
    QCOMPARE(result.standardError, QByteArray());
    QCOMPARE(result.exitCode, 0);
    QVERIFY2(result.standardOutput.contains(printed), result.standardOutput.constData());
    QCOMPARE(float(m_device->modelValue(identifier)), stored);

    QList<ReceivedPacket> writes;
    for (const ReceivedPacket &packet :
         m_device->receivedPackets(ZantLinkCommandCode::SetModelValue)) {
        if (packet.number(0) == identifier)
            writes.append(packet);
    }
    QCOMPARE(writes.size(), 1);
}

void TestK27ctl::refusedValueSendsNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("content");
    QTest::addColumn<QByteArray>("message");

    QTest::newRow("above maximum") << "NominalCurrent"
                                   << "12"
                                   << QByteArray("12 is outside the range of NominalCurrent "
                                                 "(from 0.1 to 9.9); nothing sent");
    QTest::newRow("below minimum") << "NominalCurrent"
                                   << "0.05" << QByteArray("outside the range of NominalCurrent");
    QTest::newRow("not a number") << "UndervoltageThreshold"
                                  << "abc"
                                  << QByteArray(
                                         "\"abc\" is not a content of UndervoltageThreshold");
    QTest::newRow("enumeration out of range")
        << "TripClass"
        << "9" << QByteArray("outside the range of TripClass");
    QTest::newRow("unknown text") << "OperatingMode"
                                  << "Sideways" << QByteArray("is not a content of OperatingMode");
    QTest::newRow("flag")
        << "SoftstartEnable"
        << "2" << QByteArray("\"2\" is not a content of SoftstartEnable: expected true or false;");
    QTest::newRow("too large for the type") << "SoftstartMinVoltage"
                                            << "256" << QByteArray("is not a content");
    QTest::newRow("unknown value") << "Frobnication"
                                   << "1" << QByteArray("no model value named Frobnication");
}

void TestK27ctl::refusedValueSendsNothing()
{
    QFETCH(QString, name);
    QFETCH(QString, content);
    QFETCH(QByteArray, message);

    const TestSupport::ToolRun result = run(
        {QStringLiteral("--port"), m_device->portName(), QStringLiteral("set"), name, content});
    QCOMPARE(result.exitCode, 2);
    QVERIFY2(result.standardError.contains(message), result.standardError.constData());
    QCOMPARE(result.standardError.count('\n'), 1);
    QCOMPARE(result.standardOutput, QByteArray());
    QList<ReceivedPacket> received;
    QVERIFY(receivedBeforeBarrier(received));
    QCOMPARE(received.size(), 0);
}

void TestK27ctl::valueOutsideTheDevicesRangeSendsNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("content");
    QTest::addColumn<QByteArray>("message");

    // The device has a nominal current of 2.6 A and a maximum nominal current of 3.0 A.
    QTest::newRow("nominal current above NominalCurrentMax")
        << "NominalCurrent"
        << "3.3"
        << QByteArray("3.3 is outside what the device allows for NominalCurrent now (from 0.1 "
                      "to 3); nothing sent");
    QTest::newRow("undercurrent threshold above the nominal current")
        << "UndercurrentThreshold"
        << "3"
        << QByteArray("3 is outside what the device allows for UndercurrentThreshold now (from "
                      "0 to 2.6); nothing sent");
}

void TestK27ctl::valueOutsideTheDevicesRangeSendsNothing()
{
    QFETCH(QString, name);
    QFETCH(QString, content);
    QFETCH(QByteArray, message);

    m_device->setModelValue(
        Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::NominalCurrentMax), 3.0,
        false);
    const TestSupport::ToolRun result = run(
        {QStringLiteral("--port"), m_device->portName(), QStringLiteral("set"), name, content});
    QCOMPARE(result.exitCode, 2);
    QVERIFY2(result.standardError.contains(message), result.standardError.constData());
    QCOMPARE(result.standardOutput, QByteArray());
    // The model read went out, no content.
    QList<ReceivedPacket> received;
    QVERIFY(receivedBeforeBarrier(received));
    QVERIFY(!received.isEmpty());
    for (const ReceivedPacket &packet : received)
        QVERIFY(packet.command != ZantLinkCommandCode::SetModelValue);
}

void TestK27ctl::fireSendsAction()
{
    const TestSupport::ToolRun result
        = run({QStringLiteral("--port"), m_device->portName(), QStringLiteral("fire"),
               QStringLiteral("MotorRightOn")});
    QCOMPARE(result.standardError, QByteArray());
    QCOMPARE(result.exitCode, 0);
    QTRY_COMPARE_WITH_TIMEOUT(m_device->receivedPackets().size(), 1, 10000);
    const ReceivedPacket packet = m_device->receivedPackets().at(0);
    QCOMPARE(packet.command, quint16(ZantLinkCommandCode::FireModelAction));
    QCOMPARE(packet.arguments, (QList<QByteArray> {QByteArray::fromHex("0700")}));
    QCOMPARE(m_device->modelValue(10), 1.0); // OperatingMode Forward
}

bool TestK27ctl::startMonitorAndReadModel(QProcess &process, QByteArray &out, QByteArray &err)
{
    process.start(QStringLiteral(K27CTL_PATH),
                  {QStringLiteral("--port"), m_device->portName(), QStringLiteral("monitor")});
    return process.waitForStarted(30000)
        && readUntil(process, out, err, [&out] { return out.count("Receive: ID: ") >= 47; });
}

void TestK27ctl::monitorPrintsPacketLog()
{
    QProcess process;
    QByteArray out;
    QByteArray err;
    QVERIFY(startMonitorAndReadModel(process, out, err));
    process.terminate(); // SIGTERM: the monitor ends normally
    QSignalSpy finished(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished));
    QVERIFY(finished.wait(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    out += process.readAllStandardOutput();
    QVERIFY(out.startsWith("Send: GetName: Host -> Platform, Coding: 0x23323037, Length: 15bytes, "
                           "ArgCount: 0, Checksum: 0x4837cb5d\n"));
    QVERIFY(out.contains("Receive: GetName: Platform -> Host"));
    QVERIFY(out.contains("\nReceive: ID: 2 (NominalCurrent), Value: 2.6\n"));
    QCOMPARE(out.count("Send: GetModelValue: Host -> Platform"), 47);
}

// The monitor says on standard error when the device goes away and when it is back, and the
// packets flow again afterwards.
void TestK27ctl::monitorReportsDeviceAwayAndBack()
{
    QProcess process;
    QByteArray out;
    QByteArray err;
    QVERIFY(startMonitorAndReadModel(process, out, err));
    QCOMPARE(out.count("Receive: ID: "), 47);
    QCOMPARE(err, QByteArray());

    m_device->goAway();
    const QByteArray away
        = "k27ctl: the device has gone away from " + m_device->portName().toUtf8() + "\n";
    QVERIFY2(waitForOutput(process, out, err, away, true), err.constData());
    QVERIFY(!err.contains("back"));
    QVERIFY(m_device->comeBack());
    const QByteArray back = "k27ctl: the device is back on " + m_device->portName().toUtf8() + "\n";
    QVERIFY2(waitForOutput(process, out, err, back, true), err.constData());
    QCOMPARE(err, away + back);

    // The same port object, open again: a report from the device arrives.
    out.clear();
    m_device->setModelValue(45, 654321);
    QVERIFY2(waitForOutput(process, out, err, "Receive: ID: 45 (SerialNumber), Value: 654321\n"),
             out.constData());

    process.terminate();
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
}

// A port whose name has no "tty" goes through a link in a temporary folder; whichever of the
// usual signals ends the monitor, the folder goes with it.
void TestK27ctl::signalRemovesLinkFolder_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGHUP") << int(SIGHUP);
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void TestK27ctl::signalRemovesLinkFolder()
{
    QFETCH(int, signalNumber);
    QTemporaryDir ports;
    QTemporaryDir temporaryFolders;
    QVERIFY(ports.isValid() && temporaryFolders.isValid());
    const QString port = ports.filePath(QStringLiteral("k27port"));
    QVERIFY(QFile::link(m_device->portName(), port));

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TMPDIR"), temporaryFolders.path());
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(K27CTL_PATH),
                  {QStringLiteral("--port"), port, QStringLiteral("monitor")});
    QVERIFY(process.waitForStarted(30000));
    QByteArray out;
    QByteArray err;
    QVERIFY(waitForOutput(process, out, err, "Receive: GetName: Platform -> Host"));
    const QDir folder(temporaryFolders.path());
    QCOMPARE(folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(), 1);

    QCOMPARE(::kill(pid_t(process.processId()), signalNumber), 0);
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList());
}

// A command that waits for answers is ended by a signal as well: one line on standard error,
// exit code 6, and its link folder is gone.
void TestK27ctl::signalInterruptsCommand()
{
    m_device.reset();
    TestSupport::PtyPair line; // nobody answers; /dev/pts/N goes through a link
    QVERIFY2(line.isValid(), qPrintable(line.errorString()));
    QTemporaryDir temporaryFolders;
    QVERIFY(temporaryFolders.isValid());

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TMPDIR"), temporaryFolders.path());
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(K27CTL_PATH),
                  {QStringLiteral("--port"), line.slavePath(), QStringLiteral("--timeout"),
                   QStringLiteral("600"), QStringLiteral("dump")});
    QVERIFY(process.waitForStarted(30000));
    // The first greeting has left: the port is open.
    QVERIFY(line.readMaster(15, 30000).size() >= 15);
    const QDir folder(temporaryFolders.path());
    QCOMPARE(folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(), 1);

    QCOMPARE(::kill(pid_t(process.processId()), SIGHUP), 0);
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 6);
    QCOMPARE(process.readAllStandardError(), QByteArray("k27ctl: interrupted by a signal\n"));
    QCOMPARE(process.readAllStandardOutput(), QByteArray());
    QCOMPARE(folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList());
}

// A relative port path is taken relative to the working folder, with or without "tty" in it.
void TestK27ctl::relativePort_data()
{
    QTest::addColumn<QString>("from"); // "device": the port's folder; "parent": the one above
    QTest::addColumn<QString>("port");
    // FOLDER stands for the name of the device's folder.
    QTest::newRow("name in the working folder") << "device"
                                                << "ttyK27SIM0";
    QTest::newRow("dot path") << "device"
                              << "./ttyK27SIM0";
    QTest::newRow("from the folder above") << "parent"
                                           << "FOLDER/ttyK27SIM0";
    QTest::newRow("with .. and without tty") << "device"
                                             << "../FOLDER/k27port";
}

void TestK27ctl::relativePort()
{
    QFETCH(QString, from);
    QFETCH(QString, port);
    port.replace(QStringLiteral("FOLDER"), QFileInfo(m_device->folder()).fileName());
    QVERIFY(QFile::link(m_device->portName(), m_device->folder() + QStringLiteral("/k27port")));
    const QString workingDirectory = from == QLatin1String("device")
        ? m_device->folder()
        : QFileInfo(m_device->folder()).absolutePath();
    const TestSupport::ToolRun result = run(
        {QStringLiteral("--port"), port, QStringLiteral("get"), QStringLiteral("SerialNumber")},
        workingDirectory);
    QCOMPARE(result.standardError, QByteArray());
    QCOMPARE(result.exitCode, 0);
    QVERIFY2(result.standardOutput.contains(R"("value": 123456)"),
             result.standardOutput.constData());
}

// Answers the device sent before k27ctl opened the port (to requests of an earlier run) wait
// in the line's input; they are discarded when the port opens, so only this run's answers
// count.
void TestK27ctl::staleInputIsDiscarded_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("get") << "get";
    QTest::newRow("dump") << "dump";
}

void TestK27ctl::staleInputIsDiscarded()
{
    QFETCH(QString, command);
    // Every value once with a content the device no longer holds (one more than now): all
    // of them on the line, waiting to be read, before k27ctl even starts.
    for (quint16 identifier = 0; identifier < 55; ++identifier) {
        if (!m_device->model().contains(identifier))
            continue;
        const double now = m_device->modelValue(identifier);
        m_device->setModelValue(identifier, now + 1);
        m_device->setModelValue(identifier, now, false);
    }
    QVERIFY(m_device->lineIdle());

    QStringList arguments {QStringLiteral("--port"), m_device->portName(), command};
    if (command == QLatin1String("get"))
        arguments << QStringLiteral("SerialNumber");
    const TestSupport::ToolRun result = run(arguments);
    QCOMPARE(result.standardError, QByteArray());
    QCOMPARE(result.exitCode, 0);
    QVERIFY2(
        result.standardOutput.contains(R"({"id": 45, "name": "SerialNumber", "value": 123456)"),
        result.standardOutput.constData());
    if (command == QLatin1String("dump")) {
        QVERIFY2(
            result.standardOutput.contains(R"({"id": 2, "name": "NominalCurrent", "value": 2.6)"),
            result.standardOutput.constData());
        QVERIFY2(
            result.standardOutput.contains(R"({"id": 46, "name": "ArticleNumber", "value": 36262)"),
            result.standardOutput.constData());
    }
}

void TestK27ctl::missingPort()
{
    const QString path = QDir::temp().filePath(QStringLiteral("k27-no-such-dir/ttyK27NONE"));
    const TestSupport::ToolRun result
        = run({QStringLiteral("--port"), path, QStringLiteral("dump")});
    QCOMPARE(result.exitCode, 3);
    QCOMPARE(result.standardError, "k27ctl: cannot open " + path.toUtf8() + ": no such port\n");
    QCOMPARE(result.standardOutput, QByteArray());
}

void TestK27ctl::badArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("message");

    QTest::newRow("no port") << QStringList {"dump"} << QByteArray("no port given");
    QTest::newRow("no command") << QStringList {"--port", "PORT"} << QByteArray("no command");
    QTest::newRow("unknown command")
        << QStringList {"--port", "PORT", "erase"} << QByteArray("unknown command 'erase'");
    QTest::newRow("missing argument") << QStringList {"--port", "PORT", "set", "TripClass"}
                                      << QByteArray("'set' takes 2 argument(s)");
    QTest::newRow("bad timeout") << QStringList {"--port", "PORT", "--timeout", "-1", "dump"}
                                 << QByteArray("--timeout");
    QTest::newRow("unknown option")
        << QStringList {"--prot", "PORT", "dump"} << QByteArray("Unknown option 'prot'");
    QTest::newRow("unknown action") << QStringList {"--port", "PORT", "fire", "Launch"}
                                    << QByteArray("no model action named Launch");
    QTest::newRow("unknown settings command")
        << QStringList {"--port", "PORT", "settings", "erase", "file.json"}
        << QByteArray("'settings' takes export FILE, import FILE or diff FILE");
    QTest::newRow("settings without a file") << QStringList {"--port", "PORT", "settings", "export"}
                                             << QByteArray("'settings' takes 2 argument(s)");
    QTest::newRow("unknown quantity") << QStringList {"--port", "PORT", "measure", "torque"}
                                      << QByteArray("measure takes voltage, current or power");
    QTest::newRow("no quantity") << QStringList {"--port", "PORT", "measure"}
                                 << QByteArray("'measure' takes 1 argument(s)");
    QTest::newRow("zero seconds") << QStringList {"--port",  "PORT",      "measure",
                                                  "voltage", "--seconds", "0"}
                                  << QByteArray("--seconds takes a number of seconds above 0");
    for (const char *waits : {"1,1,1", "1,1,1,1,1", "1,1,1,x", "1,1,1,1,1,-5"}) {
        QTest::addRow("update waits %s", waits)
            << QStringList {"--port", "PORT", "--update-waits", waits, "update", "package.tar"}
            << QByteArray("--update-waits takes four or six numbers");
    }
    QTest::newRow("seconds of another command")
        << QStringList {"--port", "PORT", "--seconds", "2", "dump"}
        << QByteArray("--seconds belongs to measure");
}

void TestK27ctl::badArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, message);

    arguments.replaceInStrings(QStringLiteral("PORT"), m_device->portName());
    const TestSupport::ToolRun result = run(arguments);
    QCOMPARE(result.exitCode, 2);
    QVERIFY2(result.standardError.startsWith("k27ctl: "), result.standardError.constData());
    QVERIFY2(result.standardError.contains(message), result.standardError.constData());
    QList<ReceivedPacket> received;
    QVERIFY(receivedBeforeBarrier(received));
    QCOMPARE(received.size(), 0);
}

void TestK27ctl::silentDeviceTimesOut()
{
    // A line with nobody answering on the other end.
    m_device.reset();
    TestSupport::PtyPair line;
    QVERIFY2(line.isValid(), qPrintable(line.errorString()));
    const TestSupport::ToolRun result
        = run({QStringLiteral("--port"), line.slavePath(), QStringLiteral("--timeout"),
               QStringLiteral("0.5"), QStringLiteral("dump")});
    QCOMPARE(result.exitCode, 4);
    QVERIFY2(
        result.standardError.startsWith("k27ctl: no answer within 0.5 s for 47 of 47 values: "
                                        "TripClass (0), TripClassMax (1), NominalCurrent (2), "),
        result.standardError.constData());
    QCOMPARE(result.standardError.count('\n'), 1);
    // 2 greetings and 47 requests went out all the same.
    QCOMPARE(line.readMaster(49 * 15 + 47 * 4, 10000).size(), 49 * 15 + 47 * 4);
}

QList<quint32> TestK27ctl::setValueIdentifiers() const
{
    QList<quint32> identifiers;
    for (const ReceivedPacket &packet :
         m_device->receivedPackets(ZantLinkCommandCode::SetModelValue))
        identifiers.append(packet.number(0));
    return identifiers;
}

void TestK27ctl::settingsRoundTrip()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("device.json"));
    // TripClass, NominalCurrent, OverloadReset, the three functions (enable, threshold, fault).
    const QList<QPair<quint16, double>> device {{0, 3},     {2, 2.1}, {43, 1},     {25, 1},
                                                {26, 0.53}, {27, 1},  {28, 1},     {29, 229.99},
                                                {30, 0},    {31, 1},  {32, 253.5}, {33, 1}};
    for (const auto &[identifier, value] : device)
        m_device->setModelValue(identifier, value, false);

    TestSupport::ToolRun result = run({QStringLiteral("--port"), m_device->portName(),
                                       QStringLiteral("settings"), QStringLiteral("export"), path});
    QCOMPARE(result.standardError, QByteArray());
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.standardOutput, "Settings exported to " + path.toUtf8() + "\n");
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    for (const QByteArray &kept :
         {QByteArray("\"NominalCurrent\": 2.1,"), QByteArray("\"Threshold\": 0.53"),
          QByteArray("\"Threshold\": 229.99")})
        QVERIFY2(text.contains(kept), text.constData());
    QCOMPARE(setValueIdentifiers(), QList<quint32>());

    // Another device's settings meanwhile; the import brings back every one exactly.
    for (const auto &[identifier, value] : device)
        m_device->setModelValue(identifier, identifier == 2 ? 1.0 : 0.0, false);
    result = run({QStringLiteral("--port"), m_device->portName(), QStringLiteral("settings"),
                  QStringLiteral("import"), path});
    QCOMPARE(result.standardError, QByteArray());
    QCOMPARE(result.exitCode, 0);
    QVERIFY2(result.standardOutput.startsWith(
                 "Settings imported from " + path.toUtf8()
                 + ": 12 values confirmed by the device\nTrip class 2E \u2192 10A\n"),
             result.standardOutput.constData());
    QVERIFY2(result.standardOutput.contains("Nominal current 1.0 A \u2192 2.1 A\n"),
             result.standardOutput.constData());
    for (const auto &[identifier, value] : device) {
        const bool isFloat
            = identifier == 2 || identifier == 26 || identifier == 29 || identifier == 32;
        QCOMPARE(m_device->modelValue(identifier), isFloat ? double(float(value)) : value);
    }
    QCOMPARE(setValueIdentifiers(), QList<quint32>({0, 2, 43, 25, 26, 27, 28, 29, 30, 31, 32, 33}));
}

void TestK27ctl::refusedSettingsFileSendsNothing_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("trip class as a string")
        << QByteArray(R"({"TripClass": "3", "OverloadReset": true})")
        << QByteArray("\"TripClass\" must be a number; nothing sent");
    QTest::newRow("nominal current above the device's maximum")
        << QByteArray(R"({"TripClass": 2, "NominalCurrent": 9.95})")
        << QByteArray("\"NominalCurrent\" is 9.95, outside 0.1 to 9.9; nothing sent");
    QTest::newRow("undercurrent threshold above the nominal current")
        << QByteArray(R"({"Undercurrent": {"Enable": true, "Threshold": 2.7}})")
        << QByteArray("\"Undercurrent.Threshold\" is 2.7, outside 0 to 2.6");
    QTest::newRow("not a JSON object") << QByteArray("[]") << QByteArray("not a JSON object");
    QTest::newRow("no file") << QByteArray() << QByteArray("the file does not exist");
}

void TestK27ctl::refusedSettingsFileSendsNothing()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, message);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("settings.json"));
    if (!content.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(content), content.size());
    }

    const TestSupport::ToolRun result
        = run({QStringLiteral("--port"), m_device->portName(), QStringLiteral("settings"),
               QStringLiteral("import"), path});
    QCOMPARE(result.exitCode, 2);
    QVERIFY2(result.standardError.startsWith("k27ctl: settings not imported from " + path.toUtf8()
                                             + ": "),
             result.standardError.constData());
    QVERIFY2(result.standardError.contains(message), result.standardError.constData());
    QCOMPARE(result.standardOutput, QByteArray());

    // A later command on the same line is answered only after the device has read everything
    // the refused import wrote before it.
    const TestSupport::ToolRun barrier = run({QStringLiteral("--port"), m_device->portName(),
                                              QStringLiteral("get"), QStringLiteral("TripClass")});
    QCOMPARE(barrier.exitCode, 0);
    QCOMPARE(setValueIdentifiers(), QList<quint32>());
}

void TestK27ctl::settingsImportWritesOnlyWhatTheFileCarries()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("settings.json"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(R"({"OverloadReset": true, "Undervoltage": {"Threshold": 230.4}})");
    file.close();

    const TestSupport::ToolRun result
        = run({QStringLiteral("--port"), m_device->portName(), QStringLiteral("settings"),
               QStringLiteral("import"), path});
    QCOMPARE(result.standardError, QByteArray());
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.standardOutput,
             "Settings imported from " + path.toUtf8()
                 + ": 2 values confirmed by the device\nAutomatic reset manual \u2192 automatic\n"
                   "Undervoltage threshold 207 V \u2192 230.4 V\n");
    QCOMPARE(setValueIdentifiers(), QList<quint32>({43, 29}));
    QCOMPARE(m_device->modelValue(2), double(2.6F));
    QCOMPARE(m_device->modelValue(29), double(230.4F));
}

QList<quint16> TestK27ctl::firedActions() const
{
    QList<quint16> actions;
    for (const ReceivedPacket &packet :
         m_device->receivedPackets(ZantLinkCommandCode::FireModelAction))
        actions.append(quint16(packet.number(0)));
    return actions;
}

void TestK27ctl::measurePrintsWhatTheDeviceSent_data()
{
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<quint16>("startAction");
    QTest::addColumn<QByteArray>("firstQuantity");

    QTest::newRow("voltage") << "voltage" << quint16(1) << QByteArray("voltage,L1,");
    QTest::newRow("current") << "current" << quint16(2) << QByteArray("current,L1,");
    QTest::newRow("power") << "power" << quint16(3) << QByteArray("active power,,");
}

// Rows in the order and with the values the device streamed; the measurement is started
// first and stopped last, after the given time, and the program ends with 0.
void TestK27ctl::measurePrintsWhatTheDeviceSent()
{
    QFETCH(QString, quantity);
    QFETCH(quint16, startAction);
    QFETCH(QByteArray, firstQuantity);

    m_device->setMeasurementPeriod(20);
    m_device->setModelValue(10, 1, false); // the motor runs: currents and powers above 0
    const TestSupport::StreamedMeasurements streamed(m_device.get());
    const TestSupport::ToolRun result
        = run({QStringLiteral("--port"), m_device->portName(), QStringLiteral("measure"), quantity,
               QStringLiteral("--seconds"), QStringLiteral("0.6")});
    QCOMPARE(result.standardError, QByteArray());
    QCOMPARE(result.exitCode, 0);
    QList<QByteArray> rows;
    QVERIFY2(TestSupport::StreamedMeasurements::columns(result.standardOutput, &rows),
             result.standardOutput.constData());
    QVERIFY2(rows.size() >= 6, result.standardOutput.constData());
    QVERIFY(rows.first().startsWith(firstQuantity));
    QVERIFY(streamed.count() >= rows.size());
    QCOMPARE(rows, streamed.rows().mid(0, rows.size()));
    QTRY_COMPARE(firedActions(), (QList<quint16> {startAction, 4}));
}

void TestK27ctl::measureEndsOnSignal_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("SIGTERM") << int(SIGTERM);
}

void TestK27ctl::measureEndsOnSignal()
{
    QFETCH(int, signalNumber);

    m_device->setMeasurementPeriod(20);
    QProcess process;
    process.start(QStringLiteral(K27CTL_PATH),
                  {QStringLiteral("--port"), m_device->portName(), QStringLiteral("measure"),
                   QStringLiteral("current")});
    QVERIFY(process.waitForStarted(30000));
    QByteArray out;
    QByteArray err;
    QVERIFY2(waitForOutput(process, out, err, "current,L3,"), err.constData());
    QCOMPARE(::kill(pid_t(process.processId()), signalNumber), 0);
    QSignalSpy finished(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished));
    QVERIFY(finished.wait(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    out += process.readAllStandardOutput();
    err += process.readAllStandardError();
    QCOMPARE(err, QByteArray());
    QList<QByteArray> rows;
    QVERIFY2(TestSupport::StreamedMeasurements::columns(out, &rows), out.constData());
    QTRY_COMPARE(firedActions(), (QList<quint16> {2, 4}));
    QCOMPARE(m_device->measurement(), DeviceSimulator::Measurement::None);
}

// `k27ctl ... | head -3`: the reader goes after three lines. k27ctl takes the closed pipe as
// the end of its work: a measurement is stopped on the device, the link folder is removed, and
// it ends with 0 instead of dying of SIGPIPE. (It notices at its next line: the measurement
// streams on, so that comes at once.)
void TestK27ctl::closedOutputEndsTheMeasurement()
{
    m_device->setMeasurementPeriod(5);
    QTemporaryDir ports;
    QTemporaryDir temporaryFolders;
    QVERIFY(ports.isValid() && temporaryFolders.isValid());
    // A name without "tty": k27ctl goes through a link in a temporary folder of its own.
    const QString port = ports.filePath(QStringLiteral("k27port"));
    QVERIFY(QFile::link(m_device->portName(), port));

    QProcess head;
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TMPDIR"), temporaryFolders.path());
    process.setProcessEnvironment(environment);
    process.setStandardOutputProcess(&head);
    head.start(QStringLiteral("head"), {QStringLiteral("-n"), QStringLiteral("3")});
    process.start(
        QStringLiteral(K27CTL_PATH),
        {QStringLiteral("--port"), port, QStringLiteral("measure"), QStringLiteral("current")});
    QVERIFY(process.waitForStarted(30000));
    QVERIFY(head.waitForStarted(30000));

    // The test's event loop keeps the simulated device serving while both run.
    QSignalSpy finished(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished));
    QVERIFY(finished.wait(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(process.readAllStandardError(), QByteArray());
    QTRY_COMPARE_WITH_TIMEOUT(head.state(), QProcess::NotRunning, 30000);
    QCOMPARE(head.readAllStandardOutput().count('\n'), 3);
    QCOMPARE(QDir(temporaryFolders.path())
                 .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList());
    // StartCurrentMeasurement, then StopMeasurement.
    QTRY_COMPARE(firedActions(), (QList<quint16> {2, 4}));
    QCOMPARE(m_device->measurement(), DeviceSimulator::Measurement::None);
}

// A device pulled out during the measurement: a message, exit code 7, and every row printed
// up to then is whole.
void TestK27ctl::measureEndsWhenDeviceGoesAway()
{
    m_device->setMeasurementPeriod(20);
    QProcess process;
    process.start(QStringLiteral(K27CTL_PATH),
                  {QStringLiteral("--port"), m_device->portName(), QStringLiteral("measure"),
                   QStringLiteral("voltage")});
    QVERIFY(process.waitForStarted(30000));
    QByteArray out;
    QByteArray err;
    QVERIFY2(waitForOutput(process, out, err, "voltage,L3,"), err.constData());
    m_device->goAway();
    QSignalSpy finished(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished));
    QVERIFY(finished.wait(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 7);
    out += process.readAllStandardOutput();
    err += process.readAllStandardError();
    QCOMPARE(err,
             "k27ctl: the device has gone away from " + m_device->portName().toUtf8()
                 + "; the measurement ended\n");
    QList<QByteArray> rows;
    QVERIFY2(TestSupport::StreamedMeasurements::columns(out, &rows), out.constData());
    QVERIFY(rows.size() >= 3);
}

K27_TEST_GUILESS_MAIN(TestK27ctl)
#include "tst_k27ctl.moc"

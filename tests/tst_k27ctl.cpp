// k27ctl end to end: the program runs as its own process against the simulated device on a
// pseudo-terminal, and the test checks its output, its exit code and what the device received.

#include "component/ZantLinkCommandCode.h"
#include "component/ZantLinkPacket.h"
#include "support/LinkClient.h"
#include "support/PtyPair.h"
#include "support/TrappedTest.h"
#include "tools/devicesim/DeviceSimulator.h"
#include "tools/devicesim/SimulatedPortList.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
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

struct Result
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

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

private:
    void setUpTestCase() override;
    void setUp() override;
    void tearDown() override;

    void startDevice();
    // Runs k27ctl while the test's event loop keeps the simulated device serving.
    Result run(const QStringList &arguments, const QString &workingDirectory = QString());
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

Result TestK27ctl::run(const QStringList &arguments, const QString &workingDirectory)
{
    QProcess process;
    process.setWorkingDirectory(workingDirectory);
    QSignalSpy finished(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished));
    process.start(QStringLiteral(K27CTL_PATH), arguments);
    if (!process.waitForStarted(30000))
        return {};
    // Not waitForFinished: the device lives on this thread and must keep answering.
    for (int round = 0; round < 600 && finished.isEmpty(); ++round)
        finished.wait(100);
    if (finished.isEmpty()) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    Result result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

void TestK27ctl::dumpPrintsEveryValue()
{
    const Result result
        = run({QStringLiteral("--port"), m_device->portName(), QStringLiteral("dump")});
    QCOMPARE(result.err, QByteArray());
    QCOMPARE(result.exitCode, 0);

    QJsonParseError error {};
    const QJsonDocument document = QJsonDocument::fromJson(result.out, &error);
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
    QVERIFY(
        result.out.contains(R"({"id": 2, "name": "NominalCurrent", "value": 2.6, "text": "2.6"})"));
    QVERIFY(result.out.contains(
        R"({"id": 46, "name": "ArticleNumber", "value": 36262, "text": "36262"})"));
    QVERIFY(result.out.contains(
        R"({"id": 4, "name": "SoftstartEnable", "value": false, "text": "Disable"})"));
    QVERIFY(result.out.contains(R"({"id": 47, "name": "ArticleIndex", "value": 65, "text": "A"})"));
    // The device answered every request of the model read.
    QCOMPARE(m_device->receivedPackets(ZantLinkCommandCode::GetModelValue).size(), 47);
}

void TestK27ctl::getPrintsOneValue()
{
    const Result result = run({QStringLiteral("--port"), m_device->portName(),
                               QStringLiteral("get"), QStringLiteral("serialnumber")});
    QCOMPARE(result.err, QByteArray());
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.out,
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

    const Result result = run(
        {QStringLiteral("--port"), m_device->portName(), QStringLiteral("set"), name, content});
    QCOMPARE(result.err, QByteArray());
    QCOMPARE(result.exitCode, 0);
    QVERIFY2(result.out.contains(printed), result.out.constData());
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

    const Result result = run(
        {QStringLiteral("--port"), m_device->portName(), QStringLiteral("set"), name, content});
    QCOMPARE(result.exitCode, 2);
    QVERIFY2(result.err.contains(message), result.err.constData());
    QCOMPARE(result.err.count('\n'), 1);
    QCOMPARE(result.out, QByteArray());
    QList<ReceivedPacket> received;
    QVERIFY(receivedBeforeBarrier(received));
    QCOMPARE(received.size(), 0);
}

void TestK27ctl::fireSendsAction()
{
    const Result result = run({QStringLiteral("--port"), m_device->portName(),
                               QStringLiteral("fire"), QStringLiteral("MotorRightOn")});
    QCOMPARE(result.err, QByteArray());
    QCOMPARE(result.exitCode, 0);
    QTRY_COMPARE_WITH_TIMEOUT(m_device->receivedPackets().size(), 1, 10000);
    const ReceivedPacket packet = m_device->receivedPackets().at(0);
    QCOMPARE(packet.command, quint16(ZantLinkCommandCode::FireModelAction));
    QCOMPARE(packet.arguments, (QList<QByteArray> {QByteArray::fromHex("0700")}));
    QCOMPARE(m_device->modelValue(10), 1.0); // OperatingMode Forward
}

void TestK27ctl::monitorPrintsPacketLog()
{
    QProcess process;
    process.start(QStringLiteral(K27CTL_PATH),
                  {QStringLiteral("--port"), m_device->portName(), QStringLiteral("monitor")});
    QVERIFY(process.waitForStarted(30000));
    QByteArray out;
    QByteArray err;
    QVERIFY(readUntil(process, out, err, [&out] { return out.count("Receive: ID: ") >= 47; }));
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
    process.start(QStringLiteral(K27CTL_PATH),
                  {QStringLiteral("--port"), m_device->portName(), QStringLiteral("monitor")});
    QVERIFY(process.waitForStarted(30000));
    QByteArray out;
    QByteArray err;
    // The model read is answered: 47 values.
    QVERIFY(readUntil(process, out, err, [&out] { return out.count("Receive: ID: ") >= 47; }));
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
    const Result result = run(
        {QStringLiteral("--port"), port, QStringLiteral("get"), QStringLiteral("SerialNumber")},
        workingDirectory);
    QCOMPARE(result.err, QByteArray());
    QCOMPARE(result.exitCode, 0);
    QVERIFY2(result.out.contains(R"("value": 123456)"), result.out.constData());
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
    const Result result = run(arguments);
    QCOMPARE(result.err, QByteArray());
    QCOMPARE(result.exitCode, 0);
    QVERIFY2(result.out.contains(R"({"id": 45, "name": "SerialNumber", "value": 123456)"),
             result.out.constData());
    if (command == QLatin1String("dump")) {
        QVERIFY2(result.out.contains(R"({"id": 2, "name": "NominalCurrent", "value": 2.6)"),
                 result.out.constData());
        QVERIFY2(result.out.contains(R"({"id": 46, "name": "ArticleNumber", "value": 36262)"),
                 result.out.constData());
    }
}

void TestK27ctl::missingPort()
{
    const QString path = QDir::temp().filePath(QStringLiteral("k27-no-such-dir/ttyK27NONE"));
    const Result result = run({QStringLiteral("--port"), path, QStringLiteral("dump")});
    QCOMPARE(result.exitCode, 3);
    QCOMPARE(result.err, "k27ctl: cannot open " + path.toUtf8() + ": no such port\n");
    QCOMPARE(result.out, QByteArray());
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
}

void TestK27ctl::badArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, message);

    arguments.replaceInStrings(QStringLiteral("PORT"), m_device->portName());
    const Result result = run(arguments);
    QCOMPARE(result.exitCode, 2);
    QVERIFY2(result.err.startsWith("k27ctl: "), result.err.constData());
    QVERIFY2(result.err.contains(message), result.err.constData());
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
    const Result result
        = run({QStringLiteral("--port"), line.slavePath(), QStringLiteral("--timeout"),
               QStringLiteral("0.5"), QStringLiteral("dump")});
    QCOMPARE(result.exitCode, 4);
    QVERIFY2(result.err.startsWith("k27ctl: no answer within 0.5 s for 47 of 47 values: "
                                   "TripClass (0), TripClassMax (1), NominalCurrent (2), "),
             result.err.constData());
    QCOMPARE(result.err.count('\n'), 1);
    // 2 greetings and 47 requests went out all the same.
    QCOMPARE(line.readMaster(49 * 15 + 47 * 4, 10000).size(), 49 * 15 + 47 * 4);
}

QTEST_GUILESS_MAIN(TestK27ctl)
#include "tst_k27ctl.moc"

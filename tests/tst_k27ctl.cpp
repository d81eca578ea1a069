// k27ctl end to end: the program runs as its own process against the simulated device on a
// pseudo-terminal, and the test checks its output, its exit code and what the device received.

#include "component/ZantLinkCommandCode.h"
#include "support/PtyPair.h"
#include "support/WarningTrap.h"
#include "tools/devicesim/DeviceSimulator.h"
#include "tools/devicesim/SimulatedPortList.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

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

class TestK27ctl : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void dumpPrintsEveryValue();
    void getPrintsOneValue();
    void setInRangeIsReportedBack_data();
    void setInRangeIsReportedBack();
    void refusedValueSendsNothing_data();
    void refusedValueSendsNothing();
    void fireSendsAction();
    void monitorPrintsPacketLog();
    void missingPort();
    void badArguments_data();
    void badArguments();
    void silentDeviceTimesOut();

private:
    void startDevice();
    // Runs k27ctl while the test's event loop keeps the simulated device serving.
    Result run(const QStringList &arguments);

    std::unique_ptr<TestSupport::WarningTrap> m_warnings;
    DeviceSim::SimulatedPortList m_portList;
    std::unique_ptr<DeviceSimulator> m_device;
};

void TestK27ctl::initTestCase()
{
    QVERIFY(QFileInfo::exists(QStringLiteral(K27CTL_PATH)));
    qRegisterMetaType<QProcess::ExitStatus>();
    m_warnings = std::make_unique<TestSupport::WarningTrap>();
}

void TestK27ctl::init()
{
    startDevice();
}

void TestK27ctl::cleanup()
{
    m_device.reset();
    QCOMPARE(m_warnings->take(), QStringList());
}

void TestK27ctl::startDevice()
{
    DeviceSim::DeviceSimulatorOptions options;
    options.model = {{46, 36262}, {45, 123456}, {2, 2.6}};
    m_device = std::make_unique<DeviceSimulator>(options, &m_portList);
    QVERIFY2(m_device->start(), qPrintable(m_device->errorString()));
}

Result TestK27ctl::run(const QStringList &arguments)
{
    QProcess process;
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
    QTest::qWait(100);
    QCOMPARE(m_device->receivedPackets().size(), 0);
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
    for (int round = 0; round < 300 && out.count("Receive: ID: ") < 47; ++round) {
        QTest::qWait(100);
        out += process.readAllStandardOutput();
    }
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
    QCOMPARE(m_device->receivedPackets().size(), 0);
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

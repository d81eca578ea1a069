// k27ctl and what the device confirms, end to end: the program runs as its own process against
// the simulated device on a pseudo-terminal. A settings export or import needs a device that
// reports its settings; an import counts only what the device reports back; a settings file
// that says nothing, or one thing twice, or that would leave the device inconsistent, sends
// nothing; and a content of the wrong width is no value.

#include "component/ZantLinkCommandCode.h"
#include "component/ZantLinkPacket.h"
#include "model/interfaces/ModelValueID.h"
#include "support/ExternalTool.h"
#include "support/LinkClient.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"
#include "support/ValueNumber.h"
#include "tools/devicesim/DeviceSimulator.h"
#include "tools/devicesim/SimulatedPortList.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using Component::Interfaces::ZantLinkPacket;
using Component::K27::ZantLinkCommandCode;
using DeviceSim::DeviceSimulator;
using DeviceSim::ReceivedPacket;
using Model::Interfaces::ModelValueID;

namespace {

using TestSupport::id;

} // namespace

class TestK27ctlSettings : public TestSupport::TrappedTest
{
    Q_OBJECT

private slots:
    void bootloaderRefusesSettings_data();
    void bootloaderRefusesSettings();
    void importNotEchoedIsNotConfirmed();
    void refusedFileSendsNothing_data();
    void refusedFileSendsNothing();
    void fileInconsistentWithPresentSettingsSendsNothing();
    void wrongWidthIsNoValue_data();
    void wrongWidthIsNoValue();
    void diffComparesAndSendsNothing_data();
    void diffComparesAndSendsNothing();

private:
    void setUpTestCase() override;
    void tearDown() override;

    void startDevice(const DeviceSim::DeviceSimulatorOptions &extra = {});
    TestSupport::ToolRun run(const QStringList &arguments);
    TestSupport::ToolRun settings(const QString &direction, const QString &path,
                                  const QString &timeout = QStringLiteral("3"));
    QString writeSettingsFile(const QByteArray &content);
    // The "SetModelValue" identifiers the device received before the test's own "GetName"
    // behind everything k27ctl wrote (the line is first-in first-out).
    bool setValuesBeforeBarrier(QList<quint32> *identifiers);

    QTemporaryDir m_folder;
    DeviceSim::SimulatedPortList m_portList;
    std::unique_ptr<DeviceSimulator> m_device;
};

void TestK27ctlSettings::setUpTestCase()
{
    QVERIFY(QFileInfo::exists(QStringLiteral(K27CTL_PATH)));
    QVERIFY(m_folder.isValid());
    qRegisterMetaType<QProcess::ExitStatus>();
}

void TestK27ctlSettings::tearDown()
{
    m_device.reset();
}

void TestK27ctlSettings::startDevice(const DeviceSim::DeviceSimulatorOptions &extra)
{
    DeviceSim::DeviceSimulatorOptions options = extra;
    options.model.insert(id(ModelValueID::NominalCurrent), 2.6);
    m_device = std::make_unique<DeviceSimulator>(options, &m_portList);
    QVERIFY2(m_device->start(), qPrintable(m_device->errorString()));
}

TestSupport::ToolRun TestK27ctlSettings::run(const QStringList &arguments)
{
    const TestSupport::ToolRun run
        = TestSupport::runServedTool(QStringLiteral(K27CTL_PATH), arguments);
    return run;
}

TestSupport::ToolRun TestK27ctlSettings::settings(const QString &direction, const QString &path,
                                                  const QString &timeout)
{
    return run({QStringLiteral("--port"), m_device->portName(), QStringLiteral("--timeout"),
                timeout, QStringLiteral("settings"), direction, path});
}

QString TestK27ctlSettings::writeSettingsFile(const QByteArray &content)
{
    const QString path = m_folder.filePath(QStringLiteral("settings.json"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(content) != content.size())
        return QString();
    return path;
}

bool TestK27ctlSettings::setValuesBeforeBarrier(QList<quint32> *identifiers)
{
    static const QByteArray tag("barrier");
    TestSupport::LinkClient pc(m_device->portName());
    if (!pc.open())
        return false;
    pc.send(ZantLinkCommandCode::GetName, ZantLinkPacket::Platform, {tag});
    if (!pc.waitFor(ZantLinkCommandCode::GetName, 1, 10000))
        return false;
    identifiers->clear();
    for (const ReceivedPacket &packet : m_device->receivedPackets()) {
        if (packet.command == ZantLinkCommandCode::GetName
            && packet.arguments == QList<QByteArray> {tag})
            return true;
        if (packet.command == ZantLinkCommandCode::SetModelValue)
            identifiers->append(packet.number(0));
    }
    return false;
}

void TestK27ctlSettings::bootloaderRefusesSettings_data()
{
    QTest::addColumn<QString>("direction");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("export") << "export" << QByteArray("no file written");
    QTest::newRow("import") << "import" << QByteArray("nothing sent");
}

void TestK27ctlSettings::bootloaderRefusesSettings()
{
    QFETCH(QString, direction);
    QFETCH(QByteArray, message);
    startDevice();
    m_device->platform().jumpToBootloader();
    const QString path = m_folder.filePath(QStringLiteral("bootloader.json"));
    QFile::remove(path);
    const QString file
        = direction == QLatin1String("import") ? writeSettingsFile(R"({"TripClass": 1})") : path;
    QVERIFY(!file.isEmpty());

    const TestSupport::ToolRun result = settings(direction, file);
    QCOMPARE(result.exitCode, 12);
    QCOMPARE(result.standardOutput, QByteArray());
    QVERIFY2(
        result.standardError.contains("the device's platform is in its bootloader and reports no "
                                      "settings; "
                                      + message),
        result.standardError.constData());
    QVERIFY(!QFile::exists(path));
    QList<quint32> written;
    QVERIFY(setValuesBeforeBarrier(&written));
    QCOMPARE(written, QList<quint32>());
}

void TestK27ctlSettings::importNotEchoedIsNotConfirmed()
{
    // The device takes the trip class but ignores the nominal current: neither stored nor
    // answered.
    DeviceSim::DeviceSimulatorOptions options;
    options.ignoredWrites.insert(id(ModelValueID::NominalCurrent));
    startDevice(options);
    const QString path = writeSettingsFile(R"({"TripClass": 3, "NominalCurrent": 3.0})");

    const TestSupport::ToolRun result
        = settings(QStringLiteral("import"), path, QStringLiteral("2"));
    QCOMPARE(result.exitCode, 10);
    QVERIFY2(!result.standardOutput.contains("written")
                 && !result.standardOutput.contains("Settings imported"),
             result.standardOutput.constData());
    QCOMPARE(result.standardOutput,
             QByteArray("Trip class 2E \u2192 10A\n"
                        "Nominal current 3.0 A: not confirmed by the device\n"));
    QCOMPARE(result.standardError,
             "k27ctl: settings not imported from " + path.toUtf8()
                 + ": the device did not confirm 1 of 2 within 2 s: NominalCurrent\n");
    QCOMPARE(m_device->modelValue(id(ModelValueID::NominalCurrent)), double(2.6F));
    QCOMPARE(m_device->modelValue(id(ModelValueID::TripClass)), 3.0);
}

void TestK27ctlSettings::refusedFileSendsNothing_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("no known key") << QByteArray(R"({"tripclass": 3, "Other": {"Enable": true}})")
                                  << QByteArray("no settings found in this file");
    QTest::newRow("empty object") << QByteArray("{}")
                                  << QByteArray("no settings found in this file");
    QTest::newRow("key twice at the top")
        << QByteArray(R"({"TripClass": 1, "NominalCurrent": 2.0, "TripClass": 3})")
        << QByteArray("the key \"TripClass\" appears twice");
    QTest::newRow("key twice inside a function")
        << QByteArray(R"({"Undercurrent": {"Threshold": 1.5, "Enable": true, "Threshold": 2.5}})")
        << QByteArray("the key \"Undercurrent.Threshold\" appears twice");
    QTest::newRow("function twice")
        << QByteArray(R"({"Undervoltage": {"Enable": true}, "Undervoltage": {"Enable": false}})")
        << QByteArray("the key \"Undervoltage\" appears twice");
    QTest::newRow("key spelt with an escape")
        << QByteArray(R"({"OverloadReset": true, "Overload\u0052eset": false})")
        << QByteArray("the key \"OverloadReset\" appears twice");
}

void TestK27ctlSettings::refusedFileSendsNothing()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, message);
    startDevice();
    const QString path = writeSettingsFile(content);

    const TestSupport::ToolRun result = settings(QStringLiteral("import"), path);
    QCOMPARE(result.exitCode, 2);
    QCOMPARE(result.standardOutput, QByteArray());
    QCOMPARE(result.standardError,
             "k27ctl: settings not imported from " + path.toUtf8() + ": " + message
                 + "; nothing sent\n");
    QList<quint32> written;
    QVERIFY(setValuesBeforeBarrier(&written));
    QCOMPARE(written, QList<quint32>());
}

void TestK27ctlSettings::fileInconsistentWithPresentSettingsSendsNothing()
{
    startDevice();
    TestSupport::ToolRun result = settings(
        QStringLiteral("import"),
        writeSettingsFile(R"({"NominalCurrent": 3.0, "Undercurrent": {"Threshold": 2.5}})"));
    QCOMPARE(result.standardError, QByteArray());
    QCOMPARE(result.exitCode, 0);
    QVERIFY2(result.standardOutput.startsWith("Settings imported from "),
             result.standardOutput.constData());
    QVERIFY2(result.standardOutput.contains(": 2 values confirmed by the device\n"),
             result.standardOutput.constData());
    QList<quint32> written;
    QVERIFY(setValuesBeforeBarrier(&written));
    m_device->clearReceivedPackets();

    // The device would keep its threshold of 2.5 A above a nominal current of 1.0 A.
    const QString path = writeSettingsFile(R"({"NominalCurrent": 1.0})");
    result = settings(QStringLiteral("import"), path);
    QCOMPARE(result.exitCode, 2);
    QCOMPARE(result.standardOutput, QByteArray());
    // Both are named; the threshold's lowest value is the catalogue's.
    QVERIFY2(result.standardError.startsWith(
                 "k27ctl: settings not imported from " + path.toUtf8()
                 + ": \"NominalCurrent\" is 1, and the device's "
                   "\"Undercurrent.Threshold\" of 2.5 would then lie outside "),
             result.standardError.constData());
    QVERIFY2(result.standardError.endsWith(" to 1; nothing sent\n"),
             result.standardError.constData());
    QVERIFY(setValuesBeforeBarrier(&written));
    QCOMPARE(written, QList<quint32>());
    QCOMPARE(m_device->modelValue(id(ModelValueID::NominalCurrent)), 3.0);
}

void TestK27ctlSettings::diffComparesAndSendsNothing_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err");
    QTest::newRow("matches") << QByteArray(R"({"NominalCurrent": 2.6, "TripClass": 0})") << 0
                             << QByteArray() << QByteArray();
    QTest::newRow("differs") << QByteArray(
        R"({"TripClass": 3, "NominalCurrent": 2.6, "OverloadReset": true,)"
        R"( "Undervoltage": {"Threshold": 195.5}})")
                             << 1
                             << QByteArray("TripClass: device 2E, file 10A\n"
                                           "OverloadReset: device manual, file automatic\n"
                                           "Undervoltage.Threshold: device 207 V, file 195.5 V\n")
                             << QByteArray();
    QTest::newRow("refused file") << QByteArray("{}") << 2 << QByteArray()
                                  << QByteArray("no settings found in this file\n");
}

void TestK27ctlSettings::diffComparesAndSendsNothing()
{
    QFETCH(QByteArray, content);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    startDevice();
    const QString path = writeSettingsFile(content);

    const TestSupport::ToolRun result = settings(QStringLiteral("diff"), path);
    QCOMPARE(result.standardOutput, out);
    QVERIFY2(result.standardError.endsWith(err), result.standardError.constData());
    QCOMPARE(result.exitCode, exitCode);
    QList<quint32> written;
    QVERIFY(setValuesBeforeBarrier(&written));
    QCOMPARE(written, QList<quint32>());
}

void TestK27ctlSettings::wrongWidthIsNoValue_data()
{
    QTest::addColumn<int>("width");
    QTest::newRow("no content byte") << 0;
    QTest::newRow("one byte") << 1;
    QTest::newRow("five bytes") << 5;
}

void TestK27ctlSettings::wrongWidthIsNoValue()
{
    QFETCH(int, width);
    DeviceSim::DeviceSimulatorOptions options;
    options.answerWidths.insert(id(ModelValueID::NominalCurrent), width);
    startDevice(options);

    const TestSupport::ToolRun get = run({QStringLiteral("--port"), m_device->portName(),
                                          QStringLiteral("get"), QStringLiteral("NominalCurrent")});
    QCOMPARE(get.exitCode, 11);
    QCOMPARE(get.standardOutput, QByteArray());
    QCOMPARE(get.standardError,
             QStringLiteral("k27ctl: no valid answer for NominalCurrent: the device sent %1 "
                            "content byte(s), which is no content of its type\n")
                 .arg(width)
                 .toUtf8());

    const TestSupport::ToolRun dump
        = run({QStringLiteral("--port"), m_device->portName(), QStringLiteral("dump")});
    QCOMPARE(dump.exitCode, 11);
    QCOMPARE(dump.standardError,
             QByteArray("k27ctl: no valid answer for NominalCurrent (2): contents of the wrong "
                        "width\n"));
    QJsonParseError error {};
    const QJsonArray values = QJsonDocument::fromJson(dump.standardOutput, &error).array();
    QCOMPARE(error.error, QJsonParseError::NoError);
    bool listed = false;
    for (const QJsonValue &entry : values) {
        const QJsonObject object = entry.toObject();
        if (object.value("id").toInt() != id(ModelValueID::NominalCurrent))
            continue;
        listed = true;
        QVERIFY2(!object.contains("value") && !object.contains("text"),
                 QJsonDocument(object).toJson().constData());
        QCOMPARE(object.value("invalid").toString(),
                 QStringLiteral("%1 content byte(s)").arg(width));
    }
    QVERIFY(listed);
    QVERIFY(dump.standardOutput.contains(R"({"id": 3, "name": "NominalCurrentMax", "value": )"));

    // The packet log says so: a line per dropped content, with the count so far.
    QProcess monitor;
    monitor.start(QStringLiteral(K27CTL_PATH),
                  {QStringLiteral("--port"), m_device->portName(), QStringLiteral("monitor")});
    QByteArray out;
    const QByteArray expected
        = QStringLiteral("Receive: ID: 2 (NominalCurrent): %1 content byte(s) fit no content of "
                         "its type; dropped (1 so far)")
              .arg(width)
              .toUtf8();
    const bool logged = QTest::qWaitFor(
        [&] {
            out += monitor.readAllStandardOutput();
            return out.contains(expected);
        },
        30000);
    monitor.terminate();
    QVERIFY(QTest::qWaitFor([&monitor] { return monitor.state() == QProcess::NotRunning; }, 30000));
    QVERIFY2(logged, out.constData());
    QVERIFY2(!out.contains("ID: 2 (NominalCurrent), Value:"), out.constData());
}

K27_TEST_GUILESS_MAIN(TestK27ctlSettings)
#include "tst_k27ctlsettings.moc"

// The settings file of the device window against a simulated device in the same process, as
// far as the device takes part: only settings the device has reported are exported, an import
// counts only what the device reports back, a file is checked against the device's present
// settings, and a content of the wrong width never reaches a widget.

#include "application/core/Config.h"
#include "application/core/UserLogin.h"
#include "application/windows/K27SubScreen.h"
#include "component/ZantLinkCommandCode.h"
#include "model/database/ModelDatabase.h"
#include "model/interfaces/ModelValueID.h"
#include "service/ZantLinkTerminalService.h"
#include "support/CompareAnswers.h"
#include "support/SubScreenHarness.h"
#include "support/TestRegistry.h"
#include "support/TestSupport.h"
#include "support/TrappedTest.h"
#include "support/ValueNumber.h"

#include <QDir>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

using Component::K27::ZantLinkCommandCode;
using Model::Interfaces::ModelValueID;
using TestSupport::readFile;
using TestSupport::SubScreenHarness;
using TestSupport::writeFile;

namespace {

using TestSupport::id;

bool settle(SubScreenHarness &harness)
{
    return harness.barrier() && harness.barrier();
}

// The identifiers of the "SetModelValue" packets among the packets.
QList<quint32> setValues(const QList<DeviceSim::ReceivedPacket> &packets)
{
    QList<quint32> identifiers;
    for (const DeviceSim::ReceivedPacket &packet : packets) {
        if (packet.command == ZantLinkCommandCode::SetModelValue)
            identifiers.append(packet.number(0));
    }
    return identifiers;
}

DeviceSim::DeviceSimulatorOptions deviceOptions()
{
    DeviceSim::DeviceSimulatorOptions options;
    options.model = {{id(ModelValueID::NominalCurrent), 2.6}};
    return options;
}

} // namespace

class TestGuiSettingsFile : public TestSupport::TrappedTest
{
    Q_OBJECT

private slots:
    void platformInBootloaderAfterReporting();
    void importNotEchoedIsNotConfirmed();
    void refusedFileSendsNothing_data();
    void refusedFileSendsNothing();
    void wrongWidthKeepsThePreviousValue_data();
    void wrongWidthKeepsThePreviousValue();
};

void TestGuiSettingsFile::platformInBootloaderAfterReporting()
{
    // The device has reported its settings, then its Platform went into the bootloader while
    // the port stayed: what the model holds is no longer what the device runs with.
    SubScreenHarness harness(UserLogin::Supervisor, deviceOptions());
    QVERIFY(harness.start());
    QVERIFY(settle(harness));
    harness.device().platform().jumpToBootloader();
    QVERIFY(settle(harness));
    harness.takeReceived();
    auto *result = harness.child<QLabel>("labelSettingsFileResult");
    const QString path = QDir(harness.folder()).filePath(QStringLiteral("device.json"));

    harness.window().exportSettings(path);
    QCOMPARE(result->text(),
             QStringLiteral("Settings not exported to %1: the device's platform is in its "
                            "bootloader and reports no settings.")
                 .arg(path));
    QVERIFY(!QFile::exists(path));

    QVERIFY(writeFile(path, R"({"TripClass": 1})"));
    harness.window().importSettings(path);
    QVERIFY(settle(harness));
    QCOMPARE(setValues(harness.takeReceived()), QList<quint32>());
    QVERIFY2(result->text().startsWith(
                 QStringLiteral("Settings not imported from %1: the device's platform").arg(path)),
             qPrintable(result->text()));
    QVERIFY(!result->text().contains(QStringLiteral("written")));
}

void TestGuiSettingsFile::importNotEchoedIsNotConfirmed()
{
    DeviceSim::DeviceSimulatorOptions options = deviceOptions();
    options.ignoredWrites.insert(id(ModelValueID::NominalCurrent));
    SubScreenHarness harness(UserLogin::Supervisor, options);
    QVERIFY(harness.start());
    QVERIFY(settle(harness));
    harness.takeReceived();
    auto *result = harness.child<QLabel>("labelSettingsFileResult");
    const QString path = QDir(harness.folder()).filePath(QStringLiteral("import.json"));
    QVERIFY(writeFile(path, R"({"TripClass": 3, "NominalCurrent": 3.0})"));

    TestSupport::CompareAnswers compare;
    compare.writeProposed();
    harness.window().importSettings(path);
    QCOMPARE(
        result->text(),
        QStringLiteral("Settings from %1 sent; waiting for the device to confirm them.").arg(path));
    // Meanwhile the model holds settings the device has not confirmed: nothing is exported,
    // nothing more imported.
    const QString early = QDir(harness.folder()).filePath(QStringLiteral("early.json"));
    harness.window().exportSettings(early);
    QCOMPARE(result->text(),
             QStringLiteral("Settings not exported to %1: an import is still waiting for the "
                            "device.")
                 .arg(early));
    QVERIFY(!QFile::exists(early));
    harness.window().importSettings(path);
    QCOMPARE(result->text(),
             QStringLiteral("Settings not imported from %1: the import before is still waiting "
                            "for the device. Nothing was sent.")
                 .arg(path));
    // The device confirms the trip class at once; the nominal current only the time-out
    // decides.
    QVERIFY(QTest::qWaitFor(
        [result] { return result->text().contains(QStringLiteral("did not confirm")); }, 20000));
    QCOMPARE(result->text(),
             QStringLiteral("Settings not imported from %1: the device did not confirm 1 of 2 "
                            "within 3 s\n"
                            "Trip class 2E \u2192 10A\n"
                            "Nominal current 3.0 A: not confirmed by the device")
                 .arg(path));
    QCOMPARE(setValues(harness.takeReceived()),
             QList<quint32>({id(ModelValueID::TripClass), id(ModelValueID::NominalCurrent)}));
    // Only what the device reported stays: shown, and exported.
    QCOMPARE(harness.child<QDoubleSpinBox>("doubleSpinBoxNominalCurrent")->value(), 2.6);
    QCOMPARE(harness.window().database()->settings().nominalCurrent().value(), 2.6F);
    const QString exported = QDir(harness.folder()).filePath(QStringLiteral("export.json"));
    harness.window().exportSettings(exported);
    QVERIFY2(readFile(exported).contains("\"NominalCurrent\": 2.6,"),
             readFile(exported).constData());
}

void TestGuiSettingsFile::refusedFileSendsNothing_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason");
    // Whether the file is read and shown beside the device before the device refuses it.
    QTest::addColumn<bool>("compared");
    QTest::newRow("no known key") << QByteArray(R"({"Nominalcurrent": 2.0})")
                                  << "no settings found in this file" << false;
    QTest::newRow("key twice") << QByteArray(R"({"TripClass": 1, "TripClass": 2})")
                               << "the key \"TripClass\" appears twice" << false;
    QTest::newRow("key twice inside a function")
        << QByteArray(R"({"Overvoltage": {"Threshold": 250, "FaultType": 1, "Threshold": 260}})")
        << "the key \"Overvoltage.Threshold\" appears twice" << false;
    QTest::newRow("nominal current below the device's threshold")
        << QByteArray(R"({"NominalCurrent": 1.0})")
        << "\"NominalCurrent\" is 1, and the device's \"Undercurrent.Threshold\" of 2.5 would "
           "then lie outside "
        << true;
}

void TestGuiSettingsFile::refusedFileSendsNothing()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    QFETCH(bool, compared);
    TestSupport::CompareAnswers compare;
    if (compared)
        compare.writeProposed();
    DeviceSim::DeviceSimulatorOptions options = deviceOptions();
    options.model.insert(id(ModelValueID::UndercurrentThreshold), 2.5);
    SubScreenHarness harness(UserLogin::Supervisor, options);
    QVERIFY(harness.start());
    QVERIFY(settle(harness));
    harness.takeReceived();
    const QString path = QDir(harness.folder()).filePath(QStringLiteral("refused.json"));
    QVERIFY(writeFile(path, content));

    harness.window().importSettings(path);
    QVERIFY(settle(harness));
    QCOMPARE(setValues(harness.takeReceived()), QList<quint32>());
    const QString text = harness.child<QLabel>("labelSettingsFileResult")->text();
    QVERIFY2(text.startsWith(QStringLiteral("Settings not imported from %1: %2").arg(path, reason)),
             qPrintable(text));
    QVERIFY2(text.endsWith(QStringLiteral(". Nothing was sent.")), qPrintable(text));
}

void TestGuiSettingsFile::wrongWidthKeepsThePreviousValue_data()
{
    QTest::addColumn<int>("width");
    QTest::newRow("no content byte") << 0;
    QTest::newRow("one byte") << 1;
    QTest::newRow("five bytes") << 5;
}

void TestGuiSettingsFile::wrongWidthKeepsThePreviousValue()
{
    QFETCH(int, width);
    SubScreenHarness harness(UserLogin::Admin, deviceOptions());
    QVERIFY(harness.start());
    QVERIFY(settle(harness));
    auto *spinBox = harness.child<QDoubleSpinBox>("doubleSpinBoxNominalCurrent");
    QCOMPARE(spinBox->value(), 2.6);
    const Service::K27::ZantLinkTerminalService *terminal
        = harness.window().terminalService().data();
    QSignalSpy lines(terminal, &Service::K27::ZantLinkTerminalService::commandReceived);

    // The device reports 0.5 A with a width no float has.
    harness.device().setAnswerWidth(id(ModelValueID::NominalCurrent), width);
    harness.device().setModelValue(id(ModelValueID::NominalCurrent), 0.5);
    QVERIFY(settle(harness));
    harness.takeReceived();

    QCOMPARE(spinBox->value(), 2.6);
    QCOMPARE(harness.window().database()->settings().nominalCurrent().value(), 2.6F);
    QCOMPARE(terminal->droppedModelValues(), quint64(1));
    QStringList logged;
    for (const QList<QVariant> &line : qAsConst(lines))
        logged.append(QString::fromUtf8(line.at(0).toByteArray()));
    QVERIFY2(logged.contains(QStringLiteral("ID: 2 (NominalCurrent): %1 content byte(s) fit no "
                                            "content of its type; dropped (1 so far)")
                                 .arg(width)),
             qPrintable(logged.join(QLatin1Char('\n'))));

    // The same report in its own width is a value again.
    harness.device().setAnswerWidth(id(ModelValueID::NominalCurrent), -1);
    harness.device().reportModelValue(id(ModelValueID::NominalCurrent));
    QVERIFY(settle(harness));
    QCOMPARE(spinBox->value(), 0.5);
}

K27_TEST_MAIN(TestGuiSettingsFile)
#include "tst_gui_settingsfile.moc"

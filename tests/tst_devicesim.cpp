#include "component/ZantLinkCommandCode.h"
#include "component/ZantLinkPacket.h"
#include "model/interfaces/ModelActionID.h"
#include "model/interfaces/ModelValueID.h"
#include "support/LinkBytes.h"
#include "support/LinkClient.h"
#include "support/SimulatedDeviceFixture.h"
#include "support/TestRegistry.h"
#include "tools/devicesim/DeviceSimulator.h"
#include "tools/devicesim/PseudoTerminal.h"
#include "tools/devicesim/SimulatedPortList.h"
#include "tools/devicesim/SimulatorThread.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <array>
#include <memory>

using Command = Component::K27::ZantLinkCommandCode;
using DeviceSim::DeviceSimulator;
using DeviceSim::DeviceSimulatorOptions;
using DeviceSim::ReceivedPacket;
using Model::Interfaces::ModelActionID;
using Model::Interfaces::ModelValueID;
using Model::Interfaces::toNumber;
using TestSupport::LinkClient;

namespace {
constexpr quint8 platform = 0;
constexpr quint8 display = 1;
constexpr quint8 host = 2;

QByteArray id16(ModelValueID id)
{
    return TestSupport::u16(toNumber(id));
}

QByteArray action16(ModelActionID id)
{
    return TestSupport::u16(toNumber(id));
}

// Every number option's value, for comparing two sets of options.
QList<double> numbers(const DeviceSimulatorOptions &options)
{
    return {double(options.seed),
            double(options.measurementPeriodMs),
            double(options.usbAwayMs),
            double(options.updateFaults.stallAfterBlock),
            double(options.updateFaults.repeatRequestBlock),
            double(options.updateFaults.corruptBlock),
            options.lineFaults.bitFlipProbability,
            options.lineFaults.dropByteProbability,
            options.lineFaults.garbageProbability,
            double(options.lineFaults.garbageMaxBytes),
            double(options.lineFaults.splitSize),
            double(options.lineFaults.splitDelayMs)};
}
} // namespace

// The simulated device answers the link as the device does, seen from a PC that talks to it
// through a real serial port on the pseudo-terminal.
class TestDeviceSimulator : public TestSupport::SimulatedDeviceFixture
{
    Q_OBJECT

private:
    // Starts a device with the given options and a PC connected to it.
    bool connectDevice(DeviceSimulatorOptions options = {},
                       QSerialPort::FlowControl flowControl = QSerialPort::NoFlowControl)
    {
        if (options.measurementPeriodMs == 200)
            options.measurementPeriodMs = 20;
        return openDevice(options, flowControl);
    }

    // The content the device reports for an identifier, asked with "GetModelValue".
    QByteArray ask(ModelValueID id)
    {
        m_pc->clear();
        m_pc->send(Command::GetModelValue, platform, {id16(id)});
        if (!m_pc->waitFor(Command::SetModelValue))
            return QByteArray("no answer");
        const ReceivedPacket answer = m_pc->packets(Command::SetModelValue).first();
        if (answer.arguments.size() != 2 || answer.arguments.at(0) != id16(id))
            return QByteArray("wrong answer");
        return answer.arguments.at(1);
    }

private slots:

    void getNameIsAnsweredByBothControllers()
    {
        QVERIFY(connectDevice());
        m_pc->send(Command::GetName, platform);
        m_pc->send(Command::GetName, display);
        QVERIFY(m_pc->waitFor(Command::GetName, 2));

        const QList<ReceivedPacket> answers = m_pc->packets(Command::GetName);
        QCOMPARE(answers.size(), 2);
        QCOMPARE(answers.at(0).source, platform);
        QCOMPARE(answers.at(0).destination, host);
        QCOMPARE(answers.at(0).arguments, QList<QByteArray>({"Application"}));
        QCOMPARE(answers.at(1).source, display);
        QCOMPARE(answers.at(1).arguments, QList<QByteArray>({"Application"}));

        // The device's log holds what the PC really sent.
        const QList<ReceivedPacket> requests = m_device->receivedPackets(Command::GetName);
        QCOMPARE(requests.size(), 2);
        QCOMPARE(requests.at(0).toString(), QStringLiteral("GetName Host->Platform []"));
        QCOMPARE(requests.at(1).toString(), QStringLiteral("GetName Host->Display []"));
    }

    void versionsPerController_data()
    {
        QTest::addColumn<quint16>("command");
        QTest::addColumn<quint8>("node");
        QTest::addColumn<quint32>("expected");
        QTest::newRow("Platform software")
            << quint16(Command::GetSWVersion) << platform << 0x01020304u;
        QTest::newRow("Display software")
            << quint16(Command::GetSWVersion) << display << 0x05060708u;
        QTest::newRow("Platform HAL") << quint16(Command::GetHALVersion) << platform << 0x0A000001u;
        QTest::newRow("Display HAL") << quint16(Command::GetHALVersion) << display << 0x0B000002u;
    }
    void versionsPerController()
    {
        QFETCH(quint16, command);
        QFETCH(quint8, node);
        QFETCH(quint32, expected);
        DeviceSimulatorOptions options;
        QString message;
        QVERIFY2(options.mergeJson(R"({"platform": {"application": "V1.2.3.4", "hal": "V10.0.0.1"},
                                      "display": {"application": "5.6.7.8", "hal": 184549378}})",
                                   &message),
                 qPrintable(message));
        QVERIFY(connectDevice(options));
        m_pc->send(command, node);
        QVERIFY(m_pc->waitFor(command));
        const ReceivedPacket answer = m_pc->packets(command).first();
        QCOMPARE(answer.source, node);
        QCOMPARE(answer.number(0), expected);
    }

    void getAndSetModelValue_data()
    {
        QTest::addColumn<QByteArray>("identifier");
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<QByteArray>("reported");
        const QByteArray nominal = id16(ModelValueID::NominalCurrent);
        QTest::newRow("float within range")
            << nominal << TestSupport::f32(2.5f) << TestSupport::f32(2.5f);
        QTest::newRow("float above the variant's limit is clamped")
            << nominal << TestSupport::f32(7.0f) << TestSupport::f32(6.6f);
        QTest::newRow("float below range is clamped")
            << nominal << TestSupport::f32(0.0f) << TestSupport::f32(0.1f);
        QTest::newRow("trip class bounded by TripClassMax")
            << id16(ModelValueID::TripClass) << QByteArray(1, 6) << QByteArray(1, 5);
        QTest::newRow("trip class within range")
            << id16(ModelValueID::TripClass) << QByteArray(1, 3) << QByteArray(1, 3);
        QTest::newRow("two-byte content for a one-byte value")
            << id16(ModelValueID::SoftstartMinVoltage) << TestSupport::u16(80) << QByteArray(1, 80);
        QTest::newRow("switch from a two-byte content")
            << id16(ModelValueID::SoftstartEnable) << QByteArray("\x00\x01", 2) << QByteArray(1, 1);
        QTest::newRow("integer above range is clamped")
            << id16(ModelValueID::SoftstartMinVoltage) << QByteArray(1, char(200))
            << QByteArray(1, 100);
        QTest::newRow("identity is not written")
            << id16(ModelValueID::ArticleNumber) << TestSupport::u32(36246)
            << TestSupport::u32(36262);
        QTest::newRow("not-a-number is refused")
            << nominal << TestSupport::u32(0x7FC00000u) << TestSupport::f32(1.0f);
        QTest::newRow("float of the wrong width is refused")
            << nominal << TestSupport::u16(3) << TestSupport::f32(1.0f);
    }
    void getAndSetModelValue()
    {
        QFETCH(QByteArray, identifier);
        QFETCH(QByteArray, written);
        QFETCH(QByteArray, reported);
        DeviceSimulatorOptions options;
        QString message;
        QVERIFY2(options.setModelValue("NominalCurrentMax", "6.6", &message), qPrintable(message));
        QVERIFY2(options.setModelValue("TripClassMax", "5", &message), qPrintable(message));
        QVERIFY2(options.setModelValue("ArticleNumber", "36262", &message), qPrintable(message));
        QVERIFY(connectDevice(options));

        m_pc->send(Command::SetModelValue, platform, {identifier, written});
        QVERIFY(m_pc->waitFor(Command::SetModelValue));
        const ReceivedPacket report = m_pc->packets(Command::SetModelValue).first();
        QCOMPARE(report.source, platform);
        QCOMPARE(report.arguments, QList<QByteArray>({identifier, reported}));

        // Asking again gives the stored content.
        m_pc->clear();
        m_pc->send(Command::GetModelValue, platform, {identifier});
        QVERIFY(m_pc->waitFor(Command::SetModelValue));
        QCOMPARE(m_pc->packets(Command::SetModelValue).first().arguments,
                 QList<QByteArray>({identifier, reported}));
    }

    void everyIdentifierAnswersInItsLinkWidth_data()
    {
        QTest::addColumn<int>("identifier");
        QTest::addColumn<int>("width");
        QTest::newRow("TripClass") << 0 << 1;
        QTest::newRow("NominalCurrent") << 2 << 4;
        QTest::newRow("PlatformVersion") << 39 << 4;
        QTest::newRow("SerialNumber") << 45 << 4;
        QTest::newRow("ArticleNumber") << 46 << 4;
        QTest::newRow("ProductionYear") << 49 << 2;
        QTest::newRow("SettingChanged") << 51 << 1;
        QTest::newRow("LoadAsymmetryThreshold") << 53 << 4;
    }
    void everyIdentifierAnswersInItsLinkWidth()
    {
        QFETCH(int, identifier);
        QFETCH(int, width);
        QVERIFY(connectDevice());
        QCOMPARE(ask(ModelValueID(identifier)).size(), width);
    }

    void unknownIdentifierIsNotAnswered()
    {
        QVERIFY(connectDevice());
        m_pc->send(Command::GetModelValue, platform, {TestSupport::u16(55)});
        m_pc->send(Command::GetName, platform);
        QVERIFY(m_pc->waitFor(Command::GetName));
        QVERIFY(m_pc->packets(Command::SetModelValue).isEmpty());
        QCOMPARE(m_device->receivedPackets(Command::GetModelValue).size(), 1);
    }

    void startContentsFromOptions()
    {
        DeviceSimulatorOptions options;
        QString message;
        QVERIFY2(options.mergeJson(R"({"model": {"ArticleNumber": 36262, "SerialNumber": 4711,
                                               "PlatformVersion": "V2.1.0.7", "42": 3,
                                               "ArticleIndex": "C"}})",
                                   &message),
                 qPrintable(message));
        QVERIFY(connectDevice(options));
        QCOMPARE(ask(ModelValueID::ArticleNumber), TestSupport::u32(36262));
        QCOMPARE(ask(ModelValueID::SerialNumber), TestSupport::u32(4711));
        QCOMPARE(ask(ModelValueID::PlatformVersion), TestSupport::u32(0x02010007));
        QCOMPARE(ask(ModelValueID::HardwareIDDisplayBoard), QByteArray(1, 3));
        QCOMPARE(ask(ModelValueID::ArticleIndex), QByteArray("C"));
        // The Platform's own version is the model's platform version.
        m_pc->send(Command::GetSWVersion, platform);
        QVERIFY(m_pc->waitFor(Command::GetSWVersion));
        QCOMPARE(m_pc->packets(Command::GetSWVersion).first().number(0), 0x02010007u);
    }

    void faultyFirmwareOptions()
    {
        DeviceSimulatorOptions options;
        QString message;
        QVERIFY2(options.mergeJson(R"({"model": {"NominalCurrent": 2.5},
                                       "answerWidths": {"NominalCurrent": 5, "3": 1},
                                       "ignoreWrites": ["TripClass"]})",
                                   &message),
                 qPrintable(message));
        QVERIFY(connectDevice(options));
        // The content's first bytes, zero bytes beyond it.
        QCOMPARE(ask(ModelValueID::NominalCurrent), QByteArray::fromHex("00002040") + '\0');
        QCOMPARE(ask(ModelValueID::NominalCurrentMax).size(), 1);

        // A write of the trip class is neither stored nor answered; the device goes on.
        m_pc->clear();
        m_pc->send(Command::SetModelValue, platform,
                   {id16(ModelValueID::TripClass), QByteArray(1, 3)});
        m_pc->send(Command::GetName, platform);
        QVERIFY(m_pc->waitFor(Command::GetName));
        QVERIFY(m_pc->packets(Command::SetModelValue).isEmpty());
        QCOMPARE(m_device->modelValue(Model::Interfaces::toNumber(ModelValueID::TripClass)), 0.0);

        // Both can be changed while the device serves.
        m_device->setWriteIgnored(Model::Interfaces::toNumber(ModelValueID::TripClass), false);
        m_device->setAnswerWidth(Model::Interfaces::toNumber(ModelValueID::NominalCurrent), -1);
        QCOMPARE(ask(ModelValueID::NominalCurrent), QByteArray::fromHex("00002040"));
        m_pc->clear();
        m_pc->send(Command::SetModelValue, platform,
                   {id16(ModelValueID::TripClass), QByteArray(1, 3)});
        QVERIFY(m_pc->waitFor(Command::SetModelValue));
        QCOMPARE(m_device->modelValue(Model::Interfaces::toNumber(ModelValueID::TripClass)), 3.0);
    }

    void badOptionsAreRefused_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown key") << QByteArray(R"({"sede": 3})") << "unknown key \"sede\"";
        QTest::newRow("unknown value") << QByteArray(R"({"model": {"Nominal": 3}})")
                                       << "in \"model\": \"Nominal\" is no model value";
        QTest::newRow("too wide")
            << QByteArray(R"({"model": {"TripClass": 300}})")
            << "in \"model\": 300 does not fit TripClass (a whole number of 1 byte(s))";
        QTest::newRow("bad version")
            << QByteArray(R"({"display": {"hal": "V1.2.3"}})")
            << "\"hal\" in \"display\" is no version (V1.2.3.4 or a number)";
        QTest::newRow("probability") << QByteArray(R"({"line": {"bitFlipProbability": 2}})")
                                     << "\"bitFlipProbability\" in \"line\" must be a number 0 … 1";
        QTest::newRow("answer width too large")
            << QByteArray(R"({"answerWidths": {"NominalCurrent": 9}})")
            << "in \"answerWidths\": the answer width of NominalCurrent must be a whole number "
               "0 … 8";
        QTest::newRow("ignored write of no value")
            << QByteArray(R"({"ignoreWrites": ["Nominal"]})")
            << "in \"ignoreWrites\": \"Nominal\" is no model value";
        QTest::newRow("settings reset not a switch")
            << QByteArray(R"({"update": {"resetSettings": 1}})")
            << "\"resetSettings\" in \"update\" must be true or false";
        QTest::newRow("not JSON") << QByteArray("{")
                                  << "not valid JSON at offset 1: unterminated object";
    }
    void badOptionsAreRefused()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, message);
        DeviceSimulatorOptions options;
        options.seed = 99;
        QString error;
        QVERIFY(!options.mergeJson(json, &error));
        QCOMPARE(error, message);
        QCOMPARE(options.seed, 99u);
    }

    void measurementsStream_data()
    {
        QTest::addColumn<int>("action");
        QTest::addColumn<QList<int>>("identifiers");
        QTest::newRow("voltage") << int(toNumber(ModelActionID::StartVoltageMeasurement))
                                 << QList<int>({20, 34, 20, 34, 20, 34});
        QTest::newRow("current") << int(toNumber(ModelActionID::StartCurrentMeasurement))
                                 << QList<int>({20, 35, 20, 35, 20, 35});
        QTest::newRow("power") << int(toNumber(ModelActionID::StartPowerMeasurement))
                               << QList<int>({36, 37, 38});
    }
    void measurementsStream()
    {
        QFETCH(int, action);
        QFETCH(QList<int>, identifiers);
        QVERIFY(connectDevice());
        m_pc->send(Command::FireModelAction, platform, {TestSupport::u16(quint16(action))});
        QVERIFY(m_pc->waitFor(Command::SetModelValue, identifiers.size() * 2));

        const QList<ReceivedPacket> stream = m_pc->packets(Command::SetModelValue);
        for (int i = 0; i < identifiers.size() * 2; ++i) {
            const ReceivedPacket &packet = stream.at(i);
            QCOMPARE(int(packet.number(0)), identifiers.at(i % identifiers.size()));
            if (packet.number(0) == 20) // the phase announces the next value: 0, 1, 2
                QCOMPARE(int(packet.number(1)), (i % identifiers.size()) / 2);
            else
                QCOMPARE(packet.arguments.at(1).size(), 4);
        }

        m_pc->send(Command::FireModelAction, platform, {action16(ModelActionID::StopMeasurement)});
        // The device handles the stop before the question behind it: once the answer is here,
        // whatever was streamed before the stop has arrived, and the device streams no more.
        QVERIFY(m_pc->barrier());
        QCOMPARE(m_device->measurement(), DeviceSimulator::Measurement::None);
        m_pc->clear();
        QVERIFY(m_pc->barrier());
        QCOMPARE(m_pc->packets().size(), 1); // the answer alone
    }

    void motorActions_data()
    {
        QTest::addColumn<int>("action");
        QTest::addColumn<bool>("withError");
        QTest::addColumn<int>("mode");
        QTest::newRow("right on") << int(toNumber(ModelActionID::MotorRightOn)) << false << 1;
        QTest::newRow("left on") << int(toNumber(ModelActionID::MotorLeftOn)) << false << 2;
        QTest::newRow("stop") << int(toNumber(ModelActionID::MotorStop)) << false << 0;
        QTest::newRow("no start with an error")
            << int(toNumber(ModelActionID::MotorRightOn)) << true << 0;
    }
    void motorActions()
    {
        QFETCH(int, action);
        QFETCH(bool, withError);
        QFETCH(int, mode);
        DeviceSimulatorOptions options;
        options.hasError = withError;
        options.error = {2, 1, 90};
        QVERIFY(connectDevice(options));
        m_pc->send(Command::FireModelAction, platform, {action16(ModelActionID::MotorLeftOn)});
        m_pc->send(Command::FireModelAction, platform, {TestSupport::u16(quint16(action))});
        QVERIFY(m_pc->waitFor(Command::SetModelValue, 2));
        const ReceivedPacket report = m_pc->packets(Command::SetModelValue).at(1);
        QCOMPARE(report.arguments,
                 QList<QByteArray>({id16(ModelValueID::OperatingMode), QByteArray(1, char(mode))}));
    }

    void factoryResetRestoresAndReportsEverySetting()
    {
        DeviceSimulatorOptions options;
        QString message;
        QVERIFY(options.setModelValue("NominalCurrent", "3.0", &message));
        QVERIFY(connectDevice(options));
        m_pc->send(Command::SetModelValue, platform,
                   {id16(ModelValueID::NominalCurrent), TestSupport::f32(5.0f)});
        m_pc->send(Command::SetModelValue, platform,
                   {id16(ModelValueID::UndervoltageThreshold), TestSupport::f32(190.0f)});
        QVERIFY(m_pc->waitFor(Command::SetModelValue, 2));
        m_pc->clear();

        m_pc->send(Command::FireModelAction, platform, {action16(ModelActionID::FactoryReset)});
        QVERIFY(m_pc->waitFor(Command::SetModelValue, 24));
        const QList<ReceivedPacket> reports = m_pc->packets(Command::SetModelValue);
        const QList<int> order {11, 1,  0,  3,  2,  4,  5,  6,  7,  12, 25, 26,
                                27, 16, 28, 29, 30, 43, 31, 32, 33, 52, 53, 54};
        QCOMPARE(reports.size(), order.size());
        for (int i = 0; i < order.size(); ++i)
            QCOMPARE(int(reports.at(i).number(0)), order.at(i));
        // The factory default is the start content the device was made with.
        QCOMPARE(reports.at(4).arguments.at(1), TestSupport::f32(3.0f));
        QCOMPARE(reports.at(15).arguments.at(1), TestSupport::f32(207.0f));
    }

    void injectedWarningAndResetError()
    {
        QVERIFY(connectDevice());
        m_device->injectWarning({5, 2, 70});
        QVERIFY(m_pc->waitFor(Command::SetModelValue, 3));
        QList<ReceivedPacket> reports = m_pc->packets(Command::SetModelValue);
        QCOMPARE(reports.at(0).arguments.at(1), QByteArray(1, 2)); // FaultPhase
        QCOMPARE(reports.at(1).arguments.at(1), QByteArray(1, 70)); // CapacityIndicator
        QCOMPARE(reports.at(2).arguments,
                 QList<QByteArray>({id16(ModelValueID::Warning), QByteArray(1, 5)}));

        m_device->injectError({1, 3, 100});
        QVERIFY(m_pc->waitFor(Command::SetModelValue, 6));
        QCOMPARE(ask(ModelValueID::Error), QByteArray(1, 1));

        m_pc->clear();
        m_pc->send(Command::FireModelAction, platform, {action16(ModelActionID::ResetError)});
        QVERIFY(m_pc->waitFor(Command::SetModelValue, 2));
        reports = m_pc->packets(Command::SetModelValue);
        QCOMPARE(reports.at(0).arguments,
                 QList<QByteArray>({id16(ModelValueID::Warning), QByteArray(1, 0)}));
        QCOMPARE(reports.at(1).arguments,
                 QList<QByteArray>({id16(ModelValueID::Error), QByteArray(1, 0)}));
    }

    void logRecordsArgumentsAsSent()
    {
        QVERIFY(connectDevice());
        const QList<QByteArray> four {"a", "bc", QByteArray(), "d"};
        m_pc->send(Command::MainButtonSetLED, display, four);
        m_pc->send(Command::GetName, display);
        QVERIFY(m_pc->waitFor(Command::GetName));
        const QList<ReceivedPacket> log = m_device->receivedPackets();
        QCOMPARE(log.size(), 2);
        QCOMPARE(log.at(0).command, quint16(Command::MainButtonSetLED));
        QCOMPARE(log.at(0).argCount, quint8(4));
        QCOMPARE(log.at(0).arguments, QList<QByteArray>({"a", "bc", QByteArray()}));
        m_device->clearReceivedPackets();
        QVERIFY(m_device->receivedPackets().isEmpty());
    }

    // The log keeps the newest packets and counts the ones it let go.
    void receivedLogKeepsTheNewest()
    {
        QVERIFY(connectDevice());
        const int requests = DeviceSimulator::receivedLogLimit + 903;
        for (int i = 0; i < requests; ++i)
            m_pc->send(Command::GetModelValue, platform, {id16(ModelValueID::NominalCurrent)});
        m_pc->send(Command::GetName, display);
        QVERIFY(m_pc->waitFor(Command::GetName, 1, 60000));

        const QList<ReceivedPacket> log = m_device->receivedPackets();
        QCOMPARE(log.size(), DeviceSimulator::receivedLogLimit);
        QCOMPARE(m_device->droppedReceivedPackets(), quint64(requests + 1 - log.size()));
        QCOMPARE(log.last().command, quint16(Command::GetName));
        QCOMPARE(m_device->receivedPackets(Command::GetModelValue).size(), log.size() - 1);
        m_device->clearReceivedPackets();
        QCOMPARE(m_device->droppedReceivedPackets(), quint64(0));
    }

    // While nobody reads the port the device's write queue stays bounded: the oldest whole
    // packets are dropped and counted, the newest kept, and no packet is cut in two.
    void writeQueueIsBoundedWithoutReader()
    {
        QVERIFY(connectDevice());
        const int reports = 20000; // about 500 kB of "SetModelValue"
        // The event loop does not turn: the PC's port reads nothing meanwhile.
        for (int i = 1; i <= reports; ++i)
            m_device->setModelValue(toNumber(ModelValueID::SerialNumber), i);
        QVERIFY(m_device->pendingLineBytes() <= DeviceSim::PseudoTerminal::pendingLimit);
        QVERIFY(m_device->droppedWrites() > 0);

        // Now the PC reads: everything still queued arrives, ending with the newest report.
        QTRY_VERIFY_WITH_TIMEOUT(m_device->lineIdle(), 30000);
        m_pc->send(Command::GetName, display);
        QVERIFY(m_pc->waitFor(Command::GetName, 1, 30000));
        const QList<ReceivedPacket> received = m_pc->packets(Command::SetModelValue);
        QCOMPARE(quint64(received.size()) + m_device->droppedWrites(), quint64(reports));
        quint32 previous = 0;
        for (const ReceivedPacket &packet : received) {
            QVERIFY(packet.number(1) > previous);
            previous = packet.number(1);
        }
        QCOMPARE(previous, quint32(reports));
        // Nothing but whole packets on the line.
        const int packetSize = m_pc->receivedBytes().size() / (received.size() + 1);
        QCOMPARE(m_pc->receivedBytes().size(),
                 packetSize * received.size()
                     + Component::Interfaces::ZantLinkPacket::encode(
                           Command::GetName, display, host,
                           std::array<Component::Interfaces::ZantLinkPacket::Argument, 1> {
                               {{"Application", 11}}}
                               .data(),
                           1)
                           .size());
    }

    // The command line and the JSON file check a number option against the same range.
    void numberOptionsAgree_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("split 0 sends whole packets") << "split"
                                                     << "0" << true;
        QTest::newRow("split 1") << "split"
                                 << "1" << true;
        QTest::newRow("split -1") << "split"
                                  << "-1" << false;
        QTest::newRow("split 60001") << "split"
                                     << "60001" << false;
        QTest::newRow("stall off with -1") << "stall-after-block"
                                           << "-1" << true;
        QTest::newRow("repeat block 0") << "repeat-block"
                                        << "0" << true;
        QTest::newRow("repeat block -2") << "repeat-block"
                                         << "-2" << false;
        QTest::newRow("corrupt block 65535") << "corrupt-block"
                                             << "65535" << true;
        QTest::newRow("corrupt block 65536") << "corrupt-block"
                                             << "65536" << false;
        QTest::newRow("seed largest") << "seed"
                                      << "4294967295" << true;
        QTest::newRow("seed too large") << "seed"
                                        << "4294967296" << false;
        QTest::newRow("seed -1") << "seed"
                                 << "-1" << false;
        QTest::newRow("measurement period 0") << "measurement-period"
                                              << "0" << false;
        QTest::newRow("usb away 0") << "usb-away"
                                    << "0" << true;
        QTest::newRow("split delay 2.5") << "split-delay"
                                         << "2.5" << false;
        QTest::newRow("bit flip 0.25") << "bit-flip"
                                       << "0.25" << true;
        QTest::newRow("drop byte 1.5") << "drop-byte"
                                       << "1.5" << false;
        QTest::newRow("garbage -0.1") << "garbage"
                                      << "-0.1" << false;
        QTest::newRow("garbage max bytes 0") << "garbage-max-bytes"
                                             << "0" << false;
        QTest::newRow("garbage max bytes 40") << "garbage-max-bytes"
                                              << "40" << true;
    }
    void numberOptionsAgree()
    {
        QFETCH(QString, option);
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        const DeviceSimulatorOptions::NumberOption *entry
            = DeviceSimulatorOptions::numberOption(option);
        QVERIFY(entry);

        DeviceSimulatorOptions fromCommandLine;
        QString commandLineError;
        QCOMPARE(fromCommandLine.setNumberOption(option, text, &commandLineError), accepted);

        QJsonObject object {{QString::fromLatin1(entry->key), text.toDouble()}};
        if (*entry->section != '\0')
            object = QJsonObject {{QString::fromLatin1(entry->section), object}};
        DeviceSimulatorOptions fromJson;
        QString jsonError;
        QCOMPARE(fromJson.mergeJson(QJsonDocument(object).toJson(), &jsonError), accepted);

        if (accepted) {
            QCOMPARE(numbers(fromCommandLine), numbers(fromJson));
            QVERIFY(numbers(fromJson).contains(text.toDouble()));
        } else {
            const QString range = entry->rangeText();
            QCOMPARE(commandLineError,
                     QStringLiteral("--%1 needs %2, not \"%3\"").arg(option, range, text));
            QCOMPARE(jsonError, QStringLiteral("%1 must be %2").arg(entry->jsonName(), range));
            QCOMPARE(numbers(fromCommandLine), numbers(DeviceSimulatorOptions()));
            QCOMPARE(numbers(fromJson), numbers(DeviceSimulatorOptions()));
        }
    }

    // Every option of the table is known to both readers.
    void everyNumberOptionHasBothNames()
    {
        for (const DeviceSimulatorOptions::NumberOption &entry :
             DeviceSimulatorOptions::numberOptions()) {
            const QString lowest = QString::number(entry.lowest, 'f', 0);
            DeviceSimulatorOptions fromCommandLine;
            QString error;
            QVERIFY2(
                fromCommandLine.setNumberOption(QString::fromLatin1(entry.option), lowest, &error),
                qPrintable(error));
            QJsonObject object {{QString::fromLatin1(entry.key), entry.lowest}};
            if (*entry.section != '\0')
                object = QJsonObject {{QString::fromLatin1(entry.section), object}};
            DeviceSimulatorOptions fromJson;
            QVERIFY2(fromJson.mergeJson(QJsonDocument(object).toJson(), &error), qPrintable(error));
            QCOMPARE(numbers(fromCommandLine), numbers(fromJson));
        }
    }

    void goesAwayAndComesBackUnderTheSamePortName()
    {
        QVERIFY(connectDevice());
        const QString port = m_device->portName();
        QVERIFY(QFileInfo(port).fileName().contains("tty"));
        QCOMPARE(m_ports.portNames(), QStringList({port}));
        QCOMPARE(DeviceSim::SimulatedPortList::folderPorts(m_folder->path()), QStringList({port}));
        const QString firstLine = QFileInfo(port).symLinkTarget();

        QSignalSpy away(m_device.get(), &DeviceSimulator::wentAway);
        QSignalSpy back(m_device.get(), &DeviceSimulator::cameBack);
        m_device->goAway(50);
        QCOMPARE(away.count(), 1);
        QVERIFY(!QFileInfo::exists(port));
        QVERIFY(m_ports.portNames().isEmpty());
        QVERIFY(DeviceSim::SimulatedPortList::folderPorts(m_folder->path()).isEmpty());

        QVERIFY(back.wait(5000));
        QCOMPARE(m_ports.portNames(), QStringList({port}));
        QVERIFY(QFileInfo(port).symLinkTarget() != firstLine || !firstLine.isEmpty());

        // A PC that opens the port again finds the device answering.
        m_pc = std::make_unique<LinkClient>(port);
        QVERIFY(m_pc->open());
        m_pc->send(Command::GetName, platform);
        QVERIFY(m_pc->waitFor(Command::GetName));
    }

    void platformRestartTakesThePortAway()
    {
        DeviceSimulatorOptions options;
        options.usbAwayMs = 100;
        QVERIFY(connectDevice(options));
        QSignalSpy away(m_device.get(), &DeviceSimulator::wentAway);
        QSignalSpy back(m_device.get(), &DeviceSimulator::cameBack);

        // The Display's restart leaves the USB port alone.
        m_pc->send(Command::JumpToBootloader, display);
        m_pc->send(Command::GetName, display);
        QVERIFY(m_pc->waitFor(Command::GetName));
        QCOMPARE(m_pc->packets(Command::GetName).first().arguments.first(),
                 QByteArray("Bootloader"));
        QCOMPARE(away.count(), 0);

        m_pc->send(Command::JumpToBootloader, platform);
        QVERIFY(away.wait(5000));
        QVERIFY(back.wait(5000));
        m_pc = std::make_unique<LinkClient>(m_device->portName());
        QVERIFY(m_pc->open());
        m_pc->send(Command::GetName, platform);
        QVERIFY(m_pc->waitFor(Command::GetName));
        QCOMPARE(m_pc->packets(Command::GetName).first().arguments.first(),
                 QByteArray("Bootloader"));
    }

    void lineFaults_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<bool>("answersArrive");
        QTest::newRow("no faults") << QByteArray("{}") << true;
        QTest::newRow("every packet has a flipped bit")
            << QByteArray(R"({"bitFlipProbability": 1})") << false;
        QTest::newRow("every packet loses a byte")
            << QByteArray(R"({"dropByteProbability": 1})") << false;
        QTest::newRow("garbage before every packet")
            << QByteArray(R"({"garbageProbability": 1, "garbageMaxBytes": 40})") << true;
        QTest::newRow("packets in pieces of three bytes")
            << QByteArray(R"({"splitSize": 3, "splitDelayMs": 2})") << true;
        QTest::newRow("faults on another command only")
            << QByteArray(R"({"bitFlipProbability": 1, "commands": [6]})") << true;
    }
    void lineFaults()
    {
        QFETCH(QByteArray, json);
        QFETCH(bool, answersArrive);
        DeviceSimulatorOptions options;
        QString message;
        QVERIFY2(options.mergeJson("{\"line\": " + json + "}", &message), qPrintable(message));
        QVERIFY(connectDevice(options));
        for (int i = 0; i < 5; ++i) {
            m_pc->send(Command::GetName, platform);
            m_pc->send(Command::GetName, display);
        }
        if (answersArrive) {
            QVERIFY(m_pc->waitFor(Command::GetName, 10));
            QCOMPARE(m_pc->packets().size(), 10);
        } else {
            // Every answer is on the line before the marker goes behind them.
            QTRY_COMPARE(m_device->receivedPackets(Command::GetName).size(), 10);
            QVERIFY(drainLine());
            QCOMPARE(m_pc->packets().size(), 1); // the marker alone
            QVERIFY(m_pc->receivedBytes().size() > lineMarker().size());
        }
    }

    void sameSeedSameFaults()
    {
        QByteArray streams[2];
        for (QByteArray &stream : streams) {
            DeviceSimulatorOptions options;
            options.seed = 1234;
            options.lineFaults.garbageProbability = 0.5;
            options.lineFaults.bitFlipProbability = 0.3;
            QVERIFY(connectDevice(options));
            for (int i = 0; i < 20; ++i)
                m_pc->send(Command::GetName, quint8(i % 2));
            QTRY_COMPARE(m_device->receivedPackets().size(), 20);
            QVERIFY(drainLine());
            stream = m_pc->receivedBytes();
            m_pc.reset();
            m_device.reset();
        }
        QVERIFY(streams[0].size() > 20 * 28);
        QCOMPARE(streams[0], streams[1]);
    }

    void flowControlBytesOnTheLine_data()
    {
        QTest::addColumn<QSerialPort::FlowControl>("flowControl");
        QTest::addColumn<bool>("flowControlPacketArrives");
        QTest::newRow("raw line") << QSerialPort::NoFlowControl << true;
        // The terminal layer takes XON and XOFF out of the data: the packet carrying them is
        // lost, the answer behind it is not.
        QTest::newRow("software flow control") << QSerialPort::SoftwareControl << false;
    }
    void flowControlBytesOnTheLine()
    {
        QFETCH(QSerialPort::FlowControl, flowControl);
        QFETCH(bool, flowControlPacketArrives);
        DeviceSimulatorOptions options;
        options.lineFaults.flowControlBytes = true;
        options.lineFaults.commands = {Command::GetName};
        QVERIFY(connectDevice(options, flowControl));
        m_pc->send(Command::GetName, platform);
        m_pc->send(Command::GetHALVersion, platform);
        QVERIFY(m_pc->waitFor(Command::GetHALVersion));
        QCOMPARE(m_pc->packets(Command::GetName).size(), 1);
        const QList<ReceivedPacket> carriers = m_pc->packets(Command::SetModelValue);
        QCOMPARE(carriers.size(), flowControlPacketArrives ? 1 : 0);
        if (flowControlPacketArrives)
            QCOMPARE(carriers.first().arguments.at(1), QByteArray("\x13\x11\x13\x11", 4));
    }

    void runsOnItsOwnThread()
    {
        DeviceSimulatorOptions options;
        options.folder = m_folder->path();
        DeviceSim::SimulatorThread device(options, &m_ports);
        QVERIFY2(device.start(), qPrintable(device.errorString()));
        LinkClient pc(device.portName());
        QVERIFY(pc.open());
        pc.send(Command::GetName, display);
        QVERIFY(pc.waitFor(Command::GetName));
        device.call([](DeviceSimulator &simulator) { simulator.injectWarning({3, 0, 10}); });
        QVERIFY(pc.waitFor(Command::SetModelValue, 3));
        QCOMPARE(device.simulator()->receivedPackets().size(), 1);

        // The device's thread changes the port list that this thread reads.
        QCOMPARE(m_ports.portNames(), QStringList({device.portName()}));
        device.call([](DeviceSimulator &simulator) { simulator.goAway(); });
        QVERIFY(m_ports.portNames().isEmpty());
        // Work the device's thread asks for itself runs at once instead of waiting on itself.
        bool cameBack = false;
        device.call([&device, &cameBack](DeviceSimulator &) {
            device.call(
                [&cameBack](DeviceSimulator &simulator) { cameBack = simulator.comeBack(); });
        });
        QVERIFY(cameBack);
        QCOMPARE(m_ports.portNames(), QStringList({device.portName()}));
    }
};

K27_TEST_GUILESS_MAIN(TestDeviceSimulator)
#include "tst_devicesim.moc"

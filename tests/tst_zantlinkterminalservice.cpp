// The terminal service on its own: bytes go in through handleDataReceived (as the serial port
// delivers them), the worker thread cuts them, and the handlers run on the test's thread.

#include "application/core/Application.h"
#include "application/core/Config.h"
#include "application/core/UserLogin.h"
#include "component/SerialPortManager.h"
#include "component/ZantLinkCommandCode.h"
#include "component/ZantLinkPacket.h"
#include "component/ZantLinkPacketLog.h"
#include "model/database/ModelDatabase.h"
#include "model/observer/ModelValueObserver.h"
#include "service/TerminalCommandItem.h"
#include "service/ZantLinkTerminalService.h"
#include "support/LinkBytes.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"
#include "support/ValueSignalNames.h"

#include <QEventLoop>
#include <QMetaMethod>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtEndian>
#include <QtTest>
#include <cstring>
#include <map>
#include <memory>

using Application::K27::TerminalCommandItem;
using Component::Interfaces::ZantLinkPacket;
using Component::K27::ZantLinkCommandCode;
using Component::K27::ZantLinkPacketLog;
using Service::K27::ZantLinkTerminalService;
using TestSupport::f32;
using TestSupport::u16;

namespace {

QByteArray packet(quint16 command, quint8 source, const QList<QByteArray> &arguments = {},
                  quint8 destination = ZantLinkPacket::Host)
{
    std::vector<ZantLinkPacket::Argument> views;
    for (const QByteArray &argument : arguments)
        views.emplace_back(argument.constData(), static_cast<uint16_t>(argument.size()));
    return ZantLinkPacket::encode(command, source, destination, views.data(),
                                  static_cast<int>(views.size()));
}

QByteArray modelValue(quint16 identifier, const QByteArray &content)
{
    return packet(ZantLinkCommandCode::SetModelValue, ZantLinkPacket::Platform,
                  {u16(identifier), content});
}

QByteArray nameAnswer(quint8 source, const QByteArray &name)
{
    return packet(ZantLinkCommandCode::GetName, source, {name});
}

// The log line the service must print for received bytes.
QByteArray logLine(const QByteArray &bytes)
{
    return ZantLinkPacketLog::line(ZantLinkPacket(bytes));
}

// Every signal the service declares itself (not those of QThread), in declaration order.
QList<QMetaMethod> ownSignals()
{
    QList<QMetaMethod> result;
    const QMetaObject &meta = ZantLinkTerminalService::staticMetaObject;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
        if (meta.method(i).methodType() == QMetaMethod::Signal)
            result.append(meta.method(i));
    }
    return result;
}

// One spy per own signal of the service.
class SignalRecorder
{
public:
    explicit SignalRecorder(ZantLinkTerminalService *service)
    {
        for (const QMetaMethod &signal : ownSignals())
            m_spies.emplace_back(std::make_unique<QSignalSpy>(service, signal), signal.name());
    }

    // Names of every signal raised, except the log lines (commandReceived), with count.
    QMap<QByteArray, int> raised() const
    {
        QMap<QByteArray, int> result;
        for (const auto &entry : m_spies) {
            if (entry.second != "commandReceived" && entry.first->count() > 0)
                result.insert(entry.second, entry.first->count());
        }
        return result;
    }

private:
    std::vector<std::pair<std::unique_ptr<QSignalSpy>, QByteArray>> m_spies;
};

// Every own signal of the service in the order they come, written as "name(arguments)".
class SignalLog : public QObject
{
    Q_OBJECT

public:
    explicit SignalLog(ZantLinkTerminalService *service)
    {
        const QMetaMethod record
            = staticMetaObject.method(staticMetaObject.indexOfSlot("record()"));
        for (const QMetaMethod &signal : ownSignals()) {
            // The spy comes first, so it holds the arguments when record() runs.
            m_spies.emplace(signal.methodIndex(), std::make_unique<QSignalSpy>(service, signal));
            connect(service, signal, this, record);
        }
    }

    QList<QByteArray> events() const { return m_events; }

private slots:
    void record()
    {
        const QMetaMethod signal = sender()->metaObject()->method(senderSignalIndex());
        QList<QByteArray> arguments;
        for (const QVariant &argument : m_spies.at(signal.methodIndex())->constLast()) {
            arguments.append(argument.userType() == QMetaType::QByteArray
                                 ? argument.toByteArray()
                                 : QByteArray::number(argument.toLongLong()));
        }
        m_events.append(signal.name() + '(' + arguments.join(", ") + ')');
    }

private:
    std::map<int, std::unique_ptr<QSignalSpy>> m_spies;
    QList<QByteArray> m_events;
};

QByteArray event(const char *signal, const QByteArray &argument = QByteArray())
{
    return QByteArray(signal) + '(' + argument + ')';
}

// The log line every received packet gives first.
QList<QByteArray> received(const QByteArray &bytes)
{
    return {event("commandReceived", logLine(bytes))};
}

// What the Display name answer that feedAndSettle sends behind the packets gives.
QList<QByteArray> markerEvents()
{
    return received(nameAnswer(ZantLinkPacket::Display, "Marker"))
        + QList<QByteArray> {event("commandReceived", "Marker"), event("terminalDisplayReady")};
}

// A packet of one command as the device sends it, the signals it gives after its log line, and
// what the service keeps of it (see heldFor).
struct CommandRow
{
    const char *tag;
    QByteArray bytes;
    QList<QByteArray> events;
    QByteArray held;
};

CommandRow answer(const char *tag, quint16 command, const QList<QByteArray> &arguments,
                  const QByteArray &text)
{
    return {tag,
            packet(command, ZantLinkPacket::Platform, arguments),
            {event("commandReceived", text)},
            QByteArray()};
}

QList<CommandRow> commandRows()
{
    using Code = ZantLinkCommandCode;
    const QByteArray one(1, '\x01');
    const QByteArray two(1, '\x02');
    const QByteArray zero(1, '\x00');
    return {
        // A software version also goes out as its number, with the controller that runs it.
        {"GetSWVersion",
         packet(Code::GetSWVersion, ZantLinkPacket::Platform, {QByteArray::fromHex("04030201")}),
         {event("commandReceived", "V1.2.3.4"), event("softwareVersionReported", "0, 16909060")},
         QByteArray()},
        answer("GetHALVersion", Code::GetHALVersion, {QByteArray::fromHex("00000a02")},
               "V2.10.0.0"),
        {"GetName from the Platform",
         nameAnswer(ZantLinkPacket::Platform, "Bootloader"),
         {event("commandReceived", "Bootloader"), event("terminalPlatformReady")},
         "Bootloader"},
        {"GetName from the Display",
         nameAnswer(ZantLinkPacket::Display, "Application"),
         {event("commandReceived", "Application"), event("terminalDisplayReady")},
         QByteArray()},
        {"Memblock",
         packet(Code::Memblock, ZantLinkPacket::Platform, {QByteArray::fromHex("3412")}),
         {event("requestMemblock", "4660")},
         QByteArray()},
        {"SetModelValue NominalCurrent",
         modelValue(2, f32(4.5f)),
         {event("commandReceived", "ID: 2 (NominalCurrent), Value: 4.5"),
          event("nominalCurrentModelValue")},
         "4.5"},
        // A current belongs to the phase the last MeasurementPhase named; before any, the first.
        {"SetModelValue MeasurementCurrent",
         modelValue(35, f32(2.5f)),
         {event("commandReceived", "ID: 35 (MeasurementCurrent), Value: 2.5"),
          event("measurementCurrentModelValue", "0")},
         "2.5"},
        {"SetModelValue MeasurementPhase",
         modelValue(20, two),
         {event("commandReceived", "ID: 20 (MeasurementPhase), Value: 2"),
          event("measurementPhaseModelValue")},
         "2"},
        answer("PhaseCtrlGetFailureStatus", Code::PhaseCtrlGetFailureStatus, {one, one},
               "Index: L2, Failure status: true"),
        answer("PhaseCtrlGetReadyStatus", Code::PhaseCtrlGetReadyStatus, {two, zero},
               "Index: L3, Ready status: false"),
        answer("MeasurementGetStaticOffset", Code::MeasurementGetStaticOffset,
               {zero, one, f32(0.25f)}, "Index: L1, Unit: Current, Value: 0.25A"),
        answer("MeasurementGetGainOffset", Code::MeasurementGetGainOffset, {one, zero, f32(1.5f)},
               "Index: L2, Unit: Voltage, Value: 1.5V"),
        answer("MeasurementGetRMSValue", Code::MeasurementGetRMSValue, {two, zero, f32(230.f)},
               "Index: L3, Unit: Voltage, Value: 230V"),
        answer("MeasurementGetMovingAverageValue", Code::MeasurementGetMovingAverageValue,
               {zero, one, f32(12.5f)}, "Index: L1, Unit: Current, Value: 12.5A"),
        answer("MeasurementGetWaveform", Code::MeasurementGetWaveform, {two, f32(-3.75f)},
               "Index: 2, Data: -3.75"),
        answer("StateMachineGetState", Code::StateMachineGetState, {QByteArray(1, 7)}, "State: 7"),
        answer("GetTemperature", Code::GetTemperature, {one, f32(41.5f)},
               "Temperature ID: 1, Value: 41.5\xc2\xb0"
               "C"),
        answer("GetAuxVoltage", Code::GetAuxVoltage, {f32(24.f)}, "Aux voltage: 24V"),
        answer("GetSupplyVoltage", Code::GetSupplyVoltage, {f32(3.3f)}, "Supply voltage: 3.3V"),
        answer("GetSupplyState", Code::GetSupplyState, {two}, "Supply state: 2"),
        answer("SetThermalCapacity", Code::SetThermalCapacity, {f32(0.5f)},
               "Thermal capacity: 50%"),
        answer("ExternalFlashGetDeviceID", Code::ExternalFlashGetDeviceID, {"EF4018"}, "EF4018"),
        answer("AnalogSignalsGetInputStatus", Code::AnalogSignalsGetInputStatus, {two, one},
               "Index: 2, Status: 1"),
        answer("MosfetMonitorGetState", Code::MosfetMonitorGetState, {zero},
               "Mosfet Monitor Status: 0"),
        answer("DeviceProtectionGetDCProtection", Code::DeviceProtectionGetDCProtection, {one},
               "DC Protection Status: 1"),
        answer("GetButtonStatus", Code::GetButtonStatus, {two, one}, "ButtonDown: 1"),
        // Commands the service has no handler for: logged, nothing more.
        {"Reset", packet(Code::Reset, ZantLinkPacket::Platform), {}, QByteArray()},
        {"GetModelValue",
         packet(Code::GetModelValue, ZantLinkPacket::Platform, {u16(2)}),
         {},
         QByteArray()},
    };
}

} // namespace

class TestZantLinkTerminalService : public TestSupport::TrappedTest
{
    Q_OBJECT

private slots:
    void packetOfEachCommand_data();
    void packetOfEachCommand();
    void packetsOfAllCommandsInArrivalOrder();
    void transmittedPacketsAreLogged();
    void nameAnswers_data();
    void nameAnswers();
    void onlyLogged_data();
    void onlyLogged();
    void valueSignals_data();
    void valueSignals();
    void unrequestedValueIsStoredWithoutSignal();
    void phaseAndCurrentInOneRead();
    void commandItemFilter_data();
    void commandItemFilter();
    void stoppedReceiverKeepsBytesUntilRestart();
    void destructionWhileWaitingEndsWorker();
    void burstsAndSinglePacketsKeepArrivalOrder();
    void falseStartOnQuietLine_data();
    void falseStartOnQuietLine();
    void slotWaitingInLocalLoopKeepsLinkFlowing_data();
    void slotWaitingInLocalLoopKeepsLinkFlowing();
    void applicationDestroyedInsideSlotLoop_data();
    void applicationDestroyedInsideSlotLoop();
    void blockRequestAnsweredWithinItsRead_data();
    void blockRequestAnsweredWithinItsRead();
    void applicationDestroyedByBlockRequest();

private:
    void setUpTestCase() override;
    void setUp() override;
    void tearDown() override;

    // Feeds the bytes as one read of the serial port, then a Display name answer as a marker,
    // and waits until the marker has been dispatched: everything before it has been, too.
    void feedAndSettle(const QByteArray &bytes);
    // What the service keeps of the packet once it is handled: the Platform's name for its name
    // answer, the model value's text for a model value, nothing otherwise.
    QByteArray heldFor(const QByteArray &bytes) const;
    ZantLinkTerminalService *service() const { return m_application->terminalService().data(); }
    Model::Database::ModelDatabase &database() const { return *m_application->database(); }

    QSharedPointer<Application::K27::SerialPortManager> m_manager;
    std::unique_ptr<Application::K27::Application> m_application;
};

void TestZantLinkTerminalService::setUpTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestZantLinkTerminalService::setUp()
{
    // An application without a device port: its link writes nowhere, and the test plays the
    // port by calling handleDataReceived.
    m_manager = QSharedPointer<Application::K27::SerialPortManager>::create(
        [] { return QList<Application::K27::SerialPortDescription>(); });
    m_application = std::make_unique<Application::K27::Application>(
        QSharedPointer<UserLogin>::create(), QSharedPointer<Application::K27::Config>::create(),
        m_manager, QStringLiteral("ttyNone"));
    m_application->run();
    QVERIFY(service()->isRunning());
}

void TestZantLinkTerminalService::tearDown()
{
    m_application.reset();
    m_manager.reset();
}

void TestZantLinkTerminalService::feedAndSettle(const QByteArray &bytes)
{
    QSignalSpy displayReady(service(), &ZantLinkTerminalService::terminalDisplayReady);
    service()->handleDataReceived(bytes);
    service()->handleDataReceived(nameAnswer(ZantLinkPacket::Display, "Marker"));
    // The bytes may hold a Display name answer of their own.
    do {
        QVERIFY(displayReady.wait(10000));
    } while (service()->displayName() != "Marker");
}

void TestZantLinkTerminalService::packetOfEachCommand_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<QByteArray>>("events");
    QTest::addColumn<QByteArray>("held");

    for (const CommandRow &row : commandRows())
        QTest::newRow(row.tag) << row.bytes << row.events << row.held;
}

void TestZantLinkTerminalService::packetOfEachCommand()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<QByteArray>, events);
    QFETCH(QByteArray, held);

    const SignalLog log(service());
    feedAndSettle(bytes);

    QCOMPARE(log.events(), received(bytes) + events + markerEvents());
    QCOMPARE(heldFor(bytes), held);
}

// One read with a packet of every command: the signals come in the order the packets arrived,
// each as it would have come on its own.
void TestZantLinkTerminalService::packetsOfAllCommandsInArrivalOrder()
{
    QByteArray bytes;
    QList<QByteArray> expected;
    for (const CommandRow &row : commandRows()) {
        bytes += row.bytes;
        expected += received(row.bytes) + row.events;
    }
    const SignalLog log(service());
    feedAndSettle(bytes);

    QCOMPARE(log.events(), expected + markerEvents());
    for (const CommandRow &row : commandRows())
        QVERIFY2(heldFor(row.bytes) == row.held, row.tag);
}

QByteArray TestZantLinkTerminalService::heldFor(const QByteArray &bytes) const
{
    const ZantLinkPacket packet(bytes);
    switch (packet.getCommand()) {
    case ZantLinkCommandCode::GetName:
        return packet.getSource() == ZantLinkPacket::Platform ? service()->platformName()
                                                              : QByteArray();
    case ZantLinkCommandCode::SetModelValue: {
        const ZantLinkPacket::Argument *identifier = packet.argumentWith(0, 2);
        return identifier == nullptr ? QByteArray()
                                     : m_application->valueObserver()->valueText(
                                         qFromLittleEndian<quint16>(identifier->data));
    }
    default:
        return QByteArray();
    }
}

void TestZantLinkTerminalService::transmittedPacketsAreLogged()
{
    QSignalSpy transmitted(service(), &ZantLinkTerminalService::commandTransmitted);
    service()->handleDataTransmitted(QByteArray::fromHex("3730322313000700020001020002"
                                                         "01f1d59b35"));
    service()->handleDataTransmitted(
        packet(ZantLinkCommandCode::GetName, ZantLinkPacket::Host, {}, ZantLinkPacket::Platform));
    // Whatever the port reports as written is decoded, even a piece shorter than a header.
    service()->handleDataTransmitted(QByteArray("702#\x40", 5));
    QCOMPARE(transmitted.count(), 3);
    QCOMPARE(transmitted.at(0).at(0).toByteArray(),
             QByteArray("GetModelValue: Host -> Platform, Coding: 0x23323037, Length: 19bytes, "
                        "ArgCount: 1 { 0x2 0x1 } , Checksum: 0x359bd5f1"));
    QCOMPARE(transmitted.at(1).at(0).toByteArray(),
             QByteArray("GetName: Host -> Platform, Coding: 0x23323037, Length: 15bytes, "
                        "ArgCount: 0, Checksum: 0x4837cb5d"));
}

void TestZantLinkTerminalService::nameAnswers_data()
{
    QTest::addColumn<quint8>("source");
    QTest::addColumn<QByteArray>("platformName");
    QTest::addColumn<QByteArray>("displayName");
    QTest::addColumn<QByteArray>("readySignal");

    QTest::newRow("platform") << quint8(ZantLinkPacket::Platform) << QByteArray("Bootloader")
                              << QByteArray() << QByteArray("terminalPlatformReady");
    QTest::newRow("display") << quint8(ZantLinkPacket::Display) << QByteArray()
                             << QByteArray("Bootloader") << QByteArray("terminalDisplayReady");
    QTest::newRow("host changes nothing")
        << quint8(ZantLinkPacket::Host) << QByteArray() << QByteArray() << QByteArray();
}

void TestZantLinkTerminalService::nameAnswers()
{
    QFETCH(quint8, source);
    QFETCH(QByteArray, platformName);
    QFETCH(QByteArray, displayName);
    QFETCH(QByteArray, readySignal);

    SignalRecorder recorder(service());
    QSignalSpy received(service(), &ZantLinkTerminalService::commandReceived);
    const QByteArray answer = nameAnswer(source, "Bootloader");
    service()->handleDataReceived(answer);
    // A Platform answer as the end marker, unless the Platform itself is tested.
    const quint8 markerSource
        = source == ZantLinkPacket::Display ? ZantLinkPacket::Platform : ZantLinkPacket::Display;
    const QByteArray marker = nameAnswer(markerSource, "Application");
    service()->handleDataReceived(marker);
    QTRY_COMPARE_WITH_TIMEOUT(received.count(), readySignal.isEmpty() ? 3 : 4, 10000);

    QList<QByteArray> lines;
    for (const QList<QVariant> &arguments : received)
        lines.append(arguments.at(0).toByteArray());
    QList<QByteArray> expectedLines {logLine(answer)};
    if (!readySignal.isEmpty())
        expectedLines.append("Bootloader");
    expectedLines << logLine(marker) << "Application";
    QCOMPARE(lines, expectedLines);

    if (markerSource == ZantLinkPacket::Platform) {
        QCOMPARE(service()->platformName(), QByteArray("Application"));
        QCOMPARE(service()->displayName(), displayName);
    } else {
        QCOMPARE(service()->platformName(), platformName);
        QCOMPARE(service()->displayName(), QByteArray("Application"));
    }
    QMap<QByteArray, int> expectedSignals;
    expectedSignals.insert(markerSource == ZantLinkPacket::Platform ? "terminalPlatformReady"
                                                                    : "terminalDisplayReady",
                           1);
    if (!readySignal.isEmpty())
        expectedSignals.insert(readySignal, 1);
    QCOMPARE(recorder.raised(), expectedSignals);
}

void TestZantLinkTerminalService::onlyLogged_data()
{
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("command 0xFFFF") << packet(0xFFFF, ZantLinkPacket::Platform);
    QTest::newRow("command without handler")
        << packet(ZantLinkCommandCode::GetModelValue, ZantLinkPacket::Platform, {u16(2)});
    QTest::newRow("name without argument")
        << packet(ZantLinkCommandCode::GetName, ZantLinkPacket::Platform);
    QTest::newRow("block number of one byte")
        << packet(ZantLinkCommandCode::Memblock, ZantLinkPacket::Platform, {QByteArray(1, 7)});
    QTest::newRow("model value without content")
        << packet(ZantLinkCommandCode::SetModelValue, ZantLinkPacket::Platform, {u16(2)});
    QTest::newRow("model value with short identifier")
        << packet(ZantLinkCommandCode::SetModelValue, ZantLinkPacket::Platform,
                  {QByteArray(1, 2), f32(5.5f)});
    QTest::newRow("version of two bytes") << packet(
        ZantLinkCommandCode::GetSWVersion, ZantLinkPacket::Platform, {QByteArray::fromHex("0403")});
    QTest::newRow("temperature without value") << packet(
        ZantLinkCommandCode::GetTemperature, ZantLinkPacket::Platform, {QByteArray(1, 1)});
}

void TestZantLinkTerminalService::onlyLogged()
{
    QFETCH(QByteArray, bytes);

    SignalRecorder recorder(service());
    QSignalSpy received(service(), &ZantLinkTerminalService::commandReceived);
    const QByteArray nominalCurrentBefore = database().settings().nominalCurrent().toString();
    feedAndSettle(bytes);

    QCOMPARE(received.count(), 3); // the packet's log line, then the marker's two lines
    QCOMPARE(received.at(0).at(0).toByteArray(), logLine(bytes));
    QCOMPARE(recorder.raised(), (QMap<QByteArray, int> {{"terminalDisplayReady", 1}}));
    QCOMPARE(service()->platformName(), QByteArray());
    QCOMPARE(database().settings().nominalCurrent().toString(), nominalCurrentBefore);
}

void TestZantLinkTerminalService::valueSignals_data()
{
    QTest::addColumn<quint16>("identifier");
    QTest::addColumn<QByteArray>("signalName");

    const QMap<quint16, QByteArray> &names = TestSupport::valueSignalNames();
    for (auto it = names.cbegin(); it != names.cend(); ++it)
        QTest::addRow("%d", it.key()) << it.key() << it.value();
    // Identifiers without a signal: in the model, without a model value, out of range.
    const QList<quint16> withoutSignal {5, 9, 8, 51, 55, 300};
    for (const quint16 identifier : withoutSignal)
        QTest::addRow("%d", identifier) << identifier << QByteArray();
}

void TestZantLinkTerminalService::valueSignals()
{
    QFETCH(quint16, identifier);
    QFETCH(QByteArray, signalName);

    SignalRecorder recorder(service());
    QSignalSpy received(service(), &ZantLinkTerminalService::commandReceived);
    const QByteArray bytes = modelValue(identifier, QByteArray::fromHex("01000000"));
    feedAndSettle(bytes);

    QMap<QByteArray, int> expected {{"terminalDisplayReady", 1}};
    if (!signalName.isEmpty())
        expected.insert(signalName, 1);
    QCOMPARE(recorder.raised(), expected);
    QCOMPARE(received.at(0).at(0).toByteArray(), logLine(bytes));
    const QByteArray text = m_application->valueObserver()->valueText(identifier);
    QCOMPARE(received.at(1).at(0).toByteArray(),
             "ID: " + QByteArray::number(identifier) + " ("
                 + Model::Interfaces::modelValueName(identifier) + "), Value: " + text);
}

void TestZantLinkTerminalService::unrequestedValueIsStoredWithoutSignal()
{
    SignalRecorder recorder(service());
    QSignalSpy received(service(), &ZantLinkTerminalService::commandReceived);
    feedAndSettle(modelValue(44, QByteArray(1, 5)));

    QCOMPARE(quint8(database().housingLighting().housingType().value()), quint8(5));
    QCOMPARE(received.at(1).at(0).toByteArray(), QByteArray("ID: 44 (HousingType), Value: "));
    QCOMPARE(recorder.raised(), (QMap<QByteArray, int> {{"terminalDisplayReady", 1}}));
}

// The window's slot reads the model when the signal reaches it. Two phases of a measurement
// in one read of the port must still give each phase its own current.
void TestZantLinkTerminalService::phaseAndCurrentInOneRead()
{
    QList<QPair<quint8, float>> seen;
    connect(service(), &ZantLinkTerminalService::measurementCurrentModelValue, this,
            [&](quint8 phase) {
                seen.append({phase, database().measurement().current().value()});
            });
    QByteArray bytes;
    bytes += modelValue(20, QByteArray(1, 2));
    bytes += modelValue(35, f32(4.5f));
    bytes += modelValue(20, QByteArray(1, 0));
    bytes += modelValue(35, f32(1.25f));
    feedAndSettle(bytes);

    const QList<QPair<quint8, float>> expected {{quint8(2), 4.5f}, {quint8(0), 1.25f}};
    QCOMPARE(seen, expected);
    QCOMPARE(service()->currentPhase(), quint8(0));
}

void TestZantLinkTerminalService::commandItemFilter_data()
{
    QTest::addColumn<QByteArray>("platformName");
    QTest::addColumn<QByteArray>("displayName");
    QTest::addColumn<int>("platformItems");
    QTest::addColumn<int>("displayItems");

    QTest::newRow("application, application")
        << QByteArray("Application") << QByteArray("Application") << 35 << 8;
    QTest::newRow("bootloader, bootloader")
        << QByteArray("Bootloader") << QByteArray("Bootloader") << 9 << 6;
    QTest::newRow("application, bootloader")
        << QByteArray("Application") << QByteArray("Bootloader") << 35 << 6;
    QTest::newRow("bootloader, no answer") << QByteArray("Bootloader") << QByteArray() << 9 << 0;
    QTest::newRow("no answer, application") << QByteArray() << QByteArray("Application") << 0 << 8;
    QTest::newRow("unknown names") << QByteArray("Updater") << QByteArray("application") << 0 << 0;
}

void TestZantLinkTerminalService::commandItemFilter()
{
    QFETCH(QByteArray, platformName);
    QFETCH(QByteArray, displayName);
    QFETCH(int, platformItems);
    QFETCH(int, displayItems);

    QCOMPARE(service()->commandItems().size(), 0); // no name known yet
    QSignalSpy platformReady(service(), &ZantLinkTerminalService::terminalPlatformReady);
    QSignalSpy displayReady(service(), &ZantLinkTerminalService::terminalDisplayReady);
    if (!platformName.isNull())
        service()->handleDataReceived(nameAnswer(ZantLinkPacket::Platform, platformName));
    if (!displayName.isNull())
        service()->handleDataReceived(nameAnswer(ZantLinkPacket::Display, displayName));
    QTRY_COMPARE_WITH_TIMEOUT(platformReady.count() + displayReady.count(),
                              int(!platformName.isNull()) + int(!displayName.isNull()), 10000);

    const auto allowed = [](const QByteArray &name, quint32 mode) {
        return (name == "Application" && mode != 1) || (name == "Bootloader" && mode != 0);
    };
    // The expected list, built independently: the full list filtered in its own order.
    QList<TerminalCommandItem *> expected;
    int platformCount = 0;
    int displayCount = 0;
    for (TerminalCommandItem *item : service()->allCommandItems()) {
        const QByteArray &name
            = item->getDestination() == ZantLinkPacket::Platform ? platformName : displayName;
        if (allowed(name, item->getMode())) {
            expected.append(item);
            (item->getDestination() == ZantLinkPacket::Platform ? platformCount : displayCount)++;
        }
    }
    QCOMPARE(platformCount, platformItems);
    QCOMPARE(displayCount, displayItems);
    QCOMPARE(service()->commandItems(), expected);
}

// onStop only idles the receiver: what arrives meanwhile stays in the ring and is cut once the
// receiver starts again.
void TestZantLinkTerminalService::stoppedReceiverKeepsBytesUntilRestart()
{
    QSignalSpy ready(service(), &ZantLinkTerminalService::terminalPlatformReady);
    service()->onStop();
    const QByteArray answer = nameAnswer(ZantLinkPacket::Platform, "Application");
    service()->handleDataReceived(answer);
    // No answer can pass an idle receiver, so the barrier here is the receiver itself: it is
    // stepped right here, under the service's lock, more often than cutting the answer takes,
    // and the dispatch events posted meanwhile are delivered. A receiver that kept running
    // would have handed the answer over by now, whether the worker or these steps cut it.
    for (int step = 0; step < answer.size(); ++step)
        service()->onProcess();
    QCoreApplication::sendPostedEvents(service());
    QCOMPARE(ready.count(), 0);
    service()->onStart();
    QVERIFY(ready.wait(10000));
    QCOMPARE(service()->platformName(), QByteArray("Application"));
}

void TestZantLinkTerminalService::destructionWhileWaitingEndsWorker()
{
    // Let the worker reach its wait on the empty ring, then destroy the whole application.
    feedAndSettle(QByteArray());
    QVERIFY(service()->isRunning());
    // ~QThread aborts the program if its thread still runs: returning from here means the
    // destructor woke the worker and waited for it. A worker that never woke would hang the
    // test until its time-out.
    m_application.reset();
}

// One read of 100 model values (2,500 bytes), then one of 64 KiB: the ring has room for 1536
// bytes, the rest waits for the worker, and every packet is dispatched once, in order.
void TestZantLinkTerminalService::burstsAndSinglePacketsKeepArrivalOrder()
{
    const auto burst = [](int first, int bytes) {
        QByteArray data;
        QList<QByteArray> lines;
        for (int i = first; data.size() < bytes; ++i) {
            const QByteArray bytesOfValue = modelValue(quint16(2), f32(float(i)));
            data += bytesOfValue;
            lines << logLine(bytesOfValue);
        }
        return std::make_pair(data, lines);
    };
    const auto hundred = burst(0, 2500);
    QCOMPARE(hundred.second.size(), 100);
    const auto large = burst(100, 64 * 1024);
    // Single packets right behind the bursts, one read each: cut at once by the reading thread
    // while the worker may still be cutting the bursts, yet dispatched behind them.
    const int single = 100 + large.second.size();
    QByteArray singles;
    QList<QByteArray> singleLines;
    for (int i = single; i < single + 20; ++i) {
        const auto one = burst(i, 1);
        singles += one.first;
        singleLines += one.second;
    }

    QSignalSpy received(service(), &ZantLinkTerminalService::commandReceived);
    QSignalSpy values(service(), &ZantLinkTerminalService::nominalCurrentModelValue);
    service()->handleDataReceived(hundred.first);
    service()->handleDataReceived(large.first);
    for (int offset = 0; offset < singles.size(); offset += singles.size() / 20)
        service()->handleDataReceived(singles.mid(offset, singles.size() / 20));
    feedAndSettle(QByteArray());

    QList<QByteArray> lines;
    for (const QList<QVariant> &arguments : received) {
        const QByteArray line = arguments.at(0).toByteArray();
        if (line.startsWith("SetModelValue"))
            lines << line;
    }
    const QList<QByteArray> expected = hundred.second + large.second + singleLines;
    QCOMPARE(lines.size(), expected.size());
    QCOMPARE(lines, expected);
    QCOMPARE(values.count(), expected.size());
    QCOMPARE(database().settings().nominalCurrent().value(), float(single + 20 - 1));
}

void TestZantLinkTerminalService::falseStartOnQuietLine_data()
{
    QTest::addColumn<int>("length");
    for (const int length : {15, 50, 200, 1000, 1536})
        QTest::addRow("%d", length) << length;
}

// A start word with a plausible length that no packet follows, then one valid packet, then
// silence: the packet is dispatched without any further traffic on the line.
void TestZantLinkTerminalService::falseStartOnQuietLine()
{
    QFETCH(int, length);
    QByteArray falseStart("702#");
    falseStart += u16(quint16(length)) + QByteArray::fromHex("0500010201");
    QSignalSpy ready(service(), &ZantLinkTerminalService::terminalDisplayReady);
    service()->handleDataReceived(falseStart + nameAnswer(ZantLinkPacket::Display, "Application"));
    QVERIFY(ready.wait(10000));
    QCOMPARE(ready.count(), 1);
    QCOMPARE(service()->displayName(), QByteArray("Application"));
}

// A slot that waits in a local event loop while its packet is dispatched (a window asking a
// question, say) does not stop the link: the packets that arrive meanwhile are dispatched during
// the wait, in the order they arrived.
void TestZantLinkTerminalService::slotWaitingInLocalLoopKeepsLinkFlowing_data()
{
    QTest::addColumn<bool>("sameRead");
    QTest::newRow("arriving while the slot waits") << false;
    QTest::newRow("in the same read as the first") << true;
}

void TestZantLinkTerminalService::slotWaitingInLocalLoopKeepsLinkFlowing()
{
    QFETCH(bool, sameRead);
    QList<QPair<QByteArray, bool>> dispatched; // the log line, and whether the slot waited
    bool waiting = false;
    connect(service(), &ZantLinkTerminalService::commandReceived, this,
            [&](const QByteArray &line) {
                if (line.contains(": Platform -> Host"))
                    dispatched.append({line, waiting});
            });
    const QList<QByteArray> later {
        modelValue(2, f32(3.5f)),
        packet(ZantLinkCommandCode::Memblock, ZantLinkPacket::Platform, {u16(7)}),
        modelValue(20, QByteArray(1, 1)), modelValue(35, f32(0.5f))};
    QList<float> currents;
    connect(service(), &ZantLinkTerminalService::measurementCurrentModelValue, this,
            [&] { currents << database().measurement().current().value(); });
    connect(service(), &ZantLinkTerminalService::terminalPlatformReady, this, [&] {
        if (!sameRead) {
            QTimer::singleShot(0, this, [&] {
                for (const QByteArray &bytes : later)
                    service()->handleDataReceived(bytes);
            });
        }
        QEventLoop loop;
        QTimer::singleShot(500, &loop, &QEventLoop::quit);
        waiting = true;
        loop.exec();
        waiting = false;
    });
    const QByteArray first = nameAnswer(ZantLinkPacket::Platform, "Bootloader");
    service()->handleDataReceived(sameRead ? first + later.join() : first);
    // The first packet's dispatch, and with it the slot's wait, ends inside this wait.
    QTRY_COMPARE_WITH_TIMEOUT(dispatched.size(), 1 + later.size(), 10000);

    QList<QPair<QByteArray, bool>> expected {{logLine(first), false}};
    for (const QByteArray &bytes : later)
        expected.append({logLine(bytes), true});
    QCOMPARE(dispatched, expected);
    QCOMPARE(currents, QList<float>({0.5f}));
    QCOMPARE(database().settings().nominalCurrent().value(), 3.5f);
}

void TestZantLinkTerminalService::applicationDestroyedInsideSlotLoop_data()
{
    QTest::addColumn<bool>("byNestedPacket");
    QTest::newRow("by a timer") << false;
    QTest::newRow("by a packet dispatched in the loop") << true;
}

// A slot waits in a local event loop and the device application, with the terminal service
// that raised the signal, is destroyed during the wait: dispatch neither touches the destroyed
// service afterwards nor dispatches anything more (the sanitizer build proves the first).
void TestZantLinkTerminalService::applicationDestroyedInsideSlotLoop()
{
    QFETCH(bool, byNestedPacket);
    bool loopEnded = false;
    const auto destroy = [this] { m_application.reset(); };
    ZantLinkTerminalService *const terminal = service();
    if (byNestedPacket)
        connect(terminal, &ZantLinkTerminalService::requestMemblock, this, destroy);
    connect(terminal, &ZantLinkTerminalService::terminalPlatformReady, this, [&] {
        QEventLoop loop;
        QTimer::singleShot(500, &loop, &QEventLoop::quit);
        if (!byNestedPacket)
            QTimer::singleShot(0, this, destroy);
        loop.exec();
        loopEnded = true;
    });
    QByteArray bytes = nameAnswer(ZantLinkPacket::Platform, "Bootloader");
    if (byNestedPacket)
        bytes += packet(ZantLinkCommandCode::Memblock, ZantLinkPacket::Platform, {u16(1)});
    bytes += modelValue(2, f32(1.5f)) + modelValue(2, f32(2.5f));
    terminal->handleDataReceived(bytes);
    QTRY_VERIFY_WITH_TIMEOUT(loopEnded, 10000);
    QVERIFY(m_application == nullptr);
}

void TestZantLinkTerminalService::blockRequestAnsweredWithinItsRead_data()
{
    QTest::addColumn<bool>("oneRead");
    QTest::newRow("request, value and request in one read") << true;
    QTest::newRow("each in a read of its own") << false;
}

// The device waits for each block before it asks for the next: a block request read with
// nothing ahead of it reaches its slot before the read is over. Packets behind it, and a block
// request behind a packet not yet dispatched, keep their order.
void TestZantLinkTerminalService::blockRequestAnsweredWithinItsRead()
{
    QFETCH(bool, oneRead);
    QList<QByteArray> handled;
    connect(service(), &ZantLinkTerminalService::requestMemblock, this,
            [&](quint16 block) { handled << "block " + QByteArray::number(block); });
    connect(service(), &ZantLinkTerminalService::nominalCurrentModelValue, this, [&] {
        handled << "value " + QByteArray::number(database().settings().nominalCurrent().value());
    });
    const QList<QByteArray> reads {
        packet(ZantLinkCommandCode::Memblock, ZantLinkPacket::Platform, {u16(1)}),
        modelValue(2, f32(3.5f)),
        packet(ZantLinkCommandCode::Memblock, ZantLinkPacket::Platform, {u16(2)})};
    if (oneRead) {
        service()->handleDataReceived(reads.join());
    } else {
        for (const QByteArray &bytes : reads)
            service()->handleDataReceived(bytes);
    }
    QCOMPARE(handled, QList<QByteArray>({"block 1"}));
    feedAndSettle(QByteArray());
    QCOMPARE(handled, QList<QByteArray>({"block 1", "value 3.5", "block 2"}));
}

// A slot of a block request answered within its read destroys the device application: nothing
// of the destroyed service is touched afterwards, and the bytes behind the request go with it.
void TestZantLinkTerminalService::applicationDestroyedByBlockRequest()
{
    int values = 0;
    ZantLinkTerminalService *const terminal = service();
    connect(terminal, &ZantLinkTerminalService::requestMemblock, this,
            [this] { m_application.reset(); });
    connect(terminal, &ZantLinkTerminalService::nominalCurrentModelValue, this, [&] { ++values; });
    terminal->handleDataReceived(
        packet(ZantLinkCommandCode::Memblock, ZantLinkPacket::Platform, {u16(1)})
        + modelValue(2, f32(1.5f)));
    QVERIFY(m_application == nullptr);
    // Events still posted for the destroyed service would be delivered here.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QCOMPARE(values, 0);
}

K27_TEST_GUILESS_MAIN(TestZantLinkTerminalService)
#include "tst_zantlinkterminalservice.moc"

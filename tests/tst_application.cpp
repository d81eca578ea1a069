// The device application against the simulated device over a real pseudo-terminal: the port
// manager finds the simulated port, the application opens it, greets both controllers, reads
// the whole model, and carries a changed value either way.

#include "ToolVersion.h"
#include "application/core/Application.h"
#include "application/core/Config.h"
#include "application/core/ControllerStates.h"
#include "application/core/UserLogin.h"
#include "component/SerialPortManager.h"
#include "component/ZantLinkCommandCode.h"
#include "component/ZantLinkPacket.h"
#include "component/ZantLinkUSBComponent.h"
#include "model/database/ModelDatabase.h"
#include "model/observer/ModelValueObserver.h"
#include "service/ZantLinkTerminalService.h"
#include "support/LinkBytes.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"
#include "support/ValueSignalNames.h"
#include "tools/devicesim/DeviceSimulator.h"
#include "tools/devicesim/SimulatedPortList.h"

#include <QEventLoop>
#include <QMetaMethod>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>
#include <cstring>
#include <functional>
#include <memory>

using Application::K27::SerialPortDescription;
using Application::K27::SerialPortManager;
using Component::Interfaces::ZantLinkPacket;
using Component::K27::ZantLinkCommandCode;
using DeviceSim::DeviceSimulator;
using DeviceSim::ReceivedPacket;
using Service::K27::ZantLinkTerminalService;
using TestSupport::f32;

namespace {

// The identifiers requestAll asks for, in the order the requests go out.
const QList<quint16> requestOrder {11, 1,  0,  3,  2,  4,  5,  6,  7,  12, 25, 26, 27, 16, 28, 29,
                                   30, 43, 31, 32, 33, 52, 53, 54, 10, 9,  17, 19, 18, 21, 22, 23,
                                   24, 35, 34, 20, 39, 40, 41, 42, 15, 45, 46, 47, 50, 48, 49};

QByteArray modelValuePacket(quint16 identifier, const QByteArray &content)
{
    const QByteArray id = QByteArray() + char(identifier & 0xFF) + char(identifier >> 8);
    const ZantLinkPacket::Argument arguments[] {
        {id.constData(), 2}, {content.constData(), static_cast<uint16_t>(content.size())}};
    return ZantLinkPacket::encode(ZantLinkCommandCode::SetModelValue, ZantLinkPacket::Platform,
                                  ZantLinkPacket::Host, arguments, 2);
}

// Sets a model value as the window does when the user changes it, and sends it.
template<typename Value> void writeChange(Value &value, double content)
{
    value.setValue(static_cast<typename Value::ValueType>(content));
    value.send();
}

using ModelChange = std::function<void(Model::Database::ModelDatabase &)>;

} // namespace

Q_DECLARE_METATYPE(ModelChange)

class TestApplication : public TestSupport::TrappedTest
{
    Q_OBJECT

private slots:
    void deviceValueReachesModelAndSignal_data();
    void deviceValueReachesModelAndSignal();
    void windowChangeReachesDevice_data();
    void windowChangeReachesDevice();
    void runGreetsAndReadsWholeModel();
    void measurementPhaseThenCurrent();
    void offlineApplicationKeepsDefaults();
    void controllerStatesFollowTheDevice();
    void destructionWhileWaitingEndsWorker();
    void destroyedWhileSlotWaitsInLocalLoop();

private:
    void setUpTestCase() override;
    void setUp() override;
    void tearDown() override;

    // A simulated device whose port the manager has opened, and an application on it.
    void startDevice(const DeviceSim::DeviceSimulatorOptions &options = {});
    std::unique_ptr<Application::K27::Application> makeApplication(const QString &portName);
    // Waits until count "ID: " lines (one per model content) have been logged.
    static bool waitForContents(QSignalSpy &received, int count);

    std::unique_ptr<DeviceSim::SimulatedPortList> m_portList;
    std::unique_ptr<DeviceSimulator> m_device;
    QSharedPointer<SerialPortManager> m_manager;
};

void TestApplication::setUpTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestApplication::setUp()
{
    m_portList = std::make_unique<DeviceSim::SimulatedPortList>();
    DeviceSim::SimulatedPortList *portList = m_portList.get();
    m_manager = QSharedPointer<SerialPortManager>::create([portList] {
        QList<SerialPortDescription> ports;
        for (const QString &name : portList->portNames())
            ports.append({name, SerialPortManager::deviceVendorIdentifier,
                          SerialPortManager::deviceProductIdentifier});
        return ports;
    });
}

void TestApplication::tearDown()
{
    m_manager.reset();
    m_device.reset();
    m_portList.reset();
}

void TestApplication::startDevice(const DeviceSim::DeviceSimulatorOptions &options)
{
    m_device = std::make_unique<DeviceSimulator>(options, m_portList.get());
    QVERIFY2(m_device->start(), qPrintable(m_device->errorString()));
    QSignalSpy opened(m_manager.data(), &SerialPortManager::portOpened);
    m_manager->handleTimeout();
    QCOMPARE(opened.count(), 1);
    QCOMPARE(opened.at(0).at(0).toString(), m_device->portName());
}

std::unique_ptr<Application::K27::Application>
TestApplication::makeApplication(const QString &portName)
{
    return std::make_unique<Application::K27::Application>(
        QSharedPointer<UserLogin>::create(), QSharedPointer<Application::K27::Config>::create(),
        m_manager, portName);
}

bool TestApplication::waitForContents(QSignalSpy &received, int count)
{
    const auto contents = [&received] {
        int lines = 0;
        for (const QList<QVariant> &arguments : received)
            lines += arguments.at(0).toByteArray().startsWith("ID: ") ? 1 : 0;
        return lines;
    };
    for (int round = 0; round < 200 && contents() < count; ++round)
        received.wait(100);
    return contents() == count;
}

void TestApplication::deviceValueReachesModelAndSignal_data()
{
    QTest::addColumn<quint16>("identifier");
    QTest::addColumn<double>("value");
    QTest::addColumn<QByteArray>("signalName");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("nominal current")
        << quint16(2) << 1.5 << QByteArray("nominalCurrentModelValue") << QByteArray("1.5");
    QTest::newRow("undercurrent threshold")
        << quint16(26) << 0.5 << QByteArray("undercurrentThresholdModelValue") << QByteArray("0.5");
    QTest::newRow("undervoltage threshold")
        << quint16(29) << 230.0 << QByteArray("undervoltageThresholdModelValue")
        << QByteArray("230");
    QTest::newRow("serial number")
        << quint16(45) << 654321.0 << QByteArray("serialNumberModelValue") << QByteArray("654321");
}

// The device changes a value on its own and reports it: the model holds the new content and the
// value's signal tells the window so, once.
void TestApplication::deviceValueReachesModelAndSignal()
{
    QFETCH(quint16, identifier);
    QFETCH(double, value);
    QFETCH(QByteArray, signalName);
    QFETCH(QByteArray, text);

    startDevice();
    const auto application = makeApplication(m_device->portName());
    ZantLinkTerminalService *terminal = application->terminalService().data();
    QSignalSpy received(terminal, &ZantLinkTerminalService::commandReceived);
    application->run();
    QVERIFY(waitForContents(received, requestOrder.size()));
    QVERIFY(application->valueObserver()->valueText(identifier) != text);

    const QMetaObject &meta = ZantLinkTerminalService::staticMetaObject;
    const int index = meta.indexOfSignal(signalName + "()");
    QVERIFY(index >= 0);
    QSignalSpy changed(terminal, meta.method(index));
    m_device->setModelValue(identifier, value);
    QVERIFY(changed.wait(10000));
    QCOMPARE(application->valueObserver()->valueText(identifier), text);
    QCOMPARE(changed.count(), 1);
}

void TestApplication::windowChangeReachesDevice_data()
{
    QTest::addColumn<ModelChange>("change");
    QTest::addColumn<quint16>("identifier");
    QTest::addColumn<double>("value");

    QTest::newRow("nominal current") << ModelChange([](Model::Database::ModelDatabase &model) {
        writeChange(model.settings().nominalCurrent(), 1.75);
    }) << quint16(2) << 1.75;
    QTest::newRow("trip class") << ModelChange([](Model::Database::ModelDatabase &model) {
        writeChange(model.settings().tripClass(), 3);
    }) << quint16(0) << 3.0;
    QTest::newRow("overvoltage threshold")
        << ModelChange([](Model::Database::ModelDatabase &model) {
               writeChange(model.settings().overvoltageThreshold(), 253.5);
           })
        << quint16(32) << 253.5;
    QTest::newRow("overload reset") << ModelChange([](Model::Database::ModelDatabase &model) {
        writeChange(model.settings().overloadReset(), 1);
    }) << quint16(43) << 1.0;
}

// A change the user made goes out as the window writes it, set in the model and sent: the
// device then holds the new content.
void TestApplication::windowChangeReachesDevice()
{
    QFETCH(ModelChange, change);
    QFETCH(quint16, identifier);
    QFETCH(double, value);

    startDevice();
    const auto application = makeApplication(m_device->portName());
    QSignalSpy received(application->terminalService().data(),
                        &ZantLinkTerminalService::commandReceived);
    application->run();
    QVERIFY(waitForContents(received, requestOrder.size()));
    QVERIFY(m_device->modelValue(identifier) != value);

    QSignalSpy arrived(m_device.get(), &DeviceSimulator::packetReceived);
    change(*application->database());
    QVERIFY(arrived.wait(10000));
    const ReceivedPacket packet = arrived.at(0).at(0).value<ReceivedPacket>();
    QCOMPARE(packet.command, quint16(ZantLinkCommandCode::SetModelValue));
    QCOMPARE(packet.number(0), quint32(identifier));
    QCOMPARE(m_device->modelValue(identifier), value);
}

void TestApplication::runGreetsAndReadsWholeModel()
{
    DeviceSim::DeviceSimulatorOptions options;
    options.model = {{46, 36262}, {45, 123456}, {2, 2.6}, {40, 3}, {47, 'C'}};
    options.platform.application = 0x01020304;
    startDevice(options);
    const auto application = makeApplication(m_device->portName());
    ZantLinkTerminalService *terminal = application->terminalService().data();

    std::vector<std::pair<std::unique_ptr<QSignalSpy>, QByteArray>> valueSpies;
    const QMetaObject &meta = ZantLinkTerminalService::staticMetaObject;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
        const QMetaMethod method = meta.method(i);
        if (method.methodType() == QMetaMethod::Signal && method.name().endsWith("ModelValue"))
            valueSpies.emplace_back(std::make_unique<QSignalSpy>(terminal, method), method.name());
    }
    QCOMPARE(valueSpies.size(), std::size_t(30));
    QSignalSpy platformReady(terminal, &ZantLinkTerminalService::terminalPlatformReady);
    QSignalSpy displayReady(terminal, &ZantLinkTerminalService::terminalDisplayReady);
    QSignalSpy received(terminal, &ZantLinkTerminalService::commandReceived);

    application->run();
    QVERIFY(waitForContents(received, requestOrder.size()));
    QTRY_COMPARE_WITH_TIMEOUT(platformReady.count() + displayReady.count(), 2, 10000);

    // What the device received: both greetings, then one request per value, in order.
    const QList<ReceivedPacket> packets = m_device->receivedPackets();
    QCOMPARE(packets.size(), 2 + requestOrder.size());
    QCOMPARE(packets.at(0).command, quint16(ZantLinkCommandCode::GetName));
    QCOMPARE(packets.at(0).destination, quint8(ZantLinkPacket::Platform));
    QCOMPARE(packets.at(1).command, quint16(ZantLinkCommandCode::GetName));
    QCOMPARE(packets.at(1).destination, quint8(ZantLinkPacket::Display));
    for (int i = 0; i < requestOrder.size(); ++i) {
        const ReceivedPacket &request = packets.at(2 + i);
        QCOMPARE(request.command, quint16(ZantLinkCommandCode::GetModelValue));
        QCOMPARE(request.source, quint8(ZantLinkPacket::Host));
        QCOMPARE(request.destination, quint8(ZantLinkPacket::Platform));
        QCOMPARE(request.arguments.size(), 1);
        QCOMPARE(request.number(0), quint32(requestOrder.at(i)));
    }

    // The device's contents are in the model.
    Model::Database::ModelDatabase &database = *application->database();
    QCOMPARE(quint32(database.information().articleNumber().value()), 36262u);
    QCOMPARE(database.information().serialNumber().value(), 123456u);
    QCOMPARE(database.settings().nominalCurrent().toString(), QByteArray("2.6"));
    QCOMPARE(database.information().platformVersion().toString(), QByteArray("V1.2.3.4"));
    QCOMPARE(database.information().controllerBoard().value(), quint8(3));
    QCOMPARE(database.information().articleIndex().value(), 'C');

    // Each answered value raised its own signal once.
    QMap<QByteArray, int> expected;
    for (const quint16 identifier : requestOrder) {
        if (TestSupport::valueSignalNames().contains(identifier))
            expected[TestSupport::valueSignalNames().value(identifier)]++;
    }
    QMap<QByteArray, int> raised;
    for (const auto &spy : valueSpies) {
        if (spy.first->count() > 0)
            raised.insert(spy.second, spy.first->count());
    }
    QCOMPARE(raised, expected);

    QCOMPARE(terminal->platformName(), QByteArray("Application"));
    QCOMPARE(terminal->displayName(), QByteArray("Application"));
    QCOMPARE(platformReady.count(), 1);
    QCOMPARE(displayReady.count(), 1);
    QCOMPARE(terminal->commandItems().size(), 35 + 8);
}

// The device announces a phase and then its current; the window's slot reads the model when
// the signal reaches it. The next phase's packets arriving in the same read must not overtake.
void TestApplication::measurementPhaseThenCurrent()
{
    startDevice();
    const auto application = makeApplication(m_device->portName());
    QSignalSpy received(application->terminalService().data(),
                        &ZantLinkTerminalService::commandReceived);
    application->run();
    QVERIFY(waitForContents(received, requestOrder.size()));

    Model::Database::ModelDatabase &database = *application->database();
    QList<QPair<quint8, float>> seen;
    connect(application->terminalService().data(),
            &ZantLinkTerminalService::measurementCurrentModelValue, this, [&](quint8 phase) {
                seen.append({phase, database.measurement().current().value()});
            });
    QByteArray burst;
    burst += modelValuePacket(20, QByteArray(1, 2));
    burst += modelValuePacket(35, f32(4.5f));
    burst += modelValuePacket(20, QByteArray(1, 0));
    burst += modelValuePacket(35, f32(1.25f));
    m_device->sendRaw(burst);
    QTRY_COMPARE_WITH_TIMEOUT(seen.size(), 2, 10000);
    const QList<QPair<quint8, float>> expected {{quint8(2), 4.5f}, {quint8(0), 1.25f}};
    QCOMPARE(seen, expected);
}

void TestApplication::offlineApplicationKeepsDefaults()
{
    const auto application = makeApplication(QStringLiteral("ttyK27NONE"));
    QVERIFY(application->serialPort() == nullptr);
    QCOMPARE(application->linkComponent()->sendGetModelValue(2), 0);
    QCOMPARE(application->linkComponent()->write(QByteArray("x")), -2);

    // The defaults' texts, taken before run, must be what the model shows afterwards, except
    // for the platform version, which shows the tool's own.
    QMap<quint16, QByteArray> defaults;
    for (const quint16 identifier : requestOrder)
        defaults.insert(identifier, application->valueObserver()->valueText(identifier));
    application->run();
    // Nothing can answer an application without a port; a name answer handed to its terminal
    // as the port would hand it is dispatched after everything that run could have started.
    const QByteArray name("Marker");
    const ZantLinkPacket::Argument marker(name.constData(), quint16(name.size()));
    QSignalSpy displayReady(application->terminalService().data(),
                            &ZantLinkTerminalService::terminalDisplayReady);
    application->terminalService()->handleDataReceived(ZantLinkPacket::encode(
        ZantLinkCommandCode::GetName, ZantLinkPacket::Display, ZantLinkPacket::Host, &marker, 1));
    QVERIFY(displayReady.wait(10000));
    for (const quint16 identifier : requestOrder) {
        const QByteArray text = application->valueObserver()->valueText(identifier);
        QCOMPARE(text,
                 identifier == 39 ? QByteArray(ToolVersion::text) : defaults.value(identifier));
    }
    QCOMPARE(application->terminalService()->platformName(), QByteArray());
}

void TestApplication::destructionWhileWaitingEndsWorker()
{
    startDevice();
    auto application = makeApplication(m_device->portName());
    QSignalSpy received(application->terminalService().data(),
                        &ZantLinkTerminalService::commandReceived);
    application->run();
    QVERIFY(waitForContents(received, requestOrder.size()));
    // Everything has been read: the worker sleeps on the empty ring.
    QVERIFY(application->terminalService()->isRunning());
    // ~QThread aborts the program if its thread still runs: returning from here means the
    // worker was woken and ended.
    application.reset();
}

// The device's greeting reaches a slot that waits in a local event loop; the model the device
// sends meanwhile is dispatched during that wait, and the application is destroyed inside it,
// from a slot on the last content. The dispatch that raised the waiting slot's signal returns
// into a destroyed service and must touch nothing of it (the sanitizer build proves that).
void TestApplication::destroyedWhileSlotWaitsInLocalLoop()
{
    startDevice();
    auto application = makeApplication(m_device->portName());
    ZantLinkTerminalService *const terminal = application->terminalService().data();
    QEventLoop loop;
    bool waiting = false;
    bool waited = false;
    int contentsWhileWaiting = 0;
    connect(terminal, &ZantLinkTerminalService::terminalPlatformReady, this, [&] {
        waiting = true;
        // Ended by the destruction below; the timer only keeps a broken dispatch from hanging.
        QTimer::singleShot(20000, &loop, &QEventLoop::quit);
        loop.exec();
        waiting = false;
        waited = true;
    });
    connect(terminal, &ZantLinkTerminalService::commandReceived, this, [&](const QByteArray &line) {
        if (!line.startsWith("ID: ") || !waiting)
            return;
        if (++contentsWhileWaiting == requestOrder.size()) {
            application.reset();
            loop.quit();
        }
    });
    application->run();
    QTRY_VERIFY_WITH_TIMEOUT(waited, 30000);
    QCOMPARE(contentsWhileWaiting, requestOrder.size());
    QVERIFY(application == nullptr);
}

// What each controller runs, as the device says: known once it has answered, and told when it
// changes (an update that broke off leaves the platform in its bootloader).
void TestApplication::controllerStatesFollowTheDevice()
{
    using States = Application::K27::ControllerStates;
    startDevice();
    m_device->display().jumpToBootloader();
    const auto application = makeApplication(m_device->portName());
    const States &states = *application->controllerStates();
    QCOMPARE(states.state(States::Platform), States::State::Unknown);
    QSignalSpy changed(&states, &States::controllerStateChanged);
    application->run();
    QTRY_COMPARE(changed.count(), 2);
    QCOMPARE(states.state(States::Platform), States::State::Application);
    QCOMPARE(states.state(States::Display), States::State::Bootloader);
    QVERIFY(states.anyInBootloader());

    m_device->platform().jumpToBootloader();
    application->linkComponent()->sendGetName(ZantLinkPacket::Platform);
    QTRY_COMPARE(changed.count(), 3);
    QCOMPARE(changed.last().at(0).value<quint8>(), quint8(States::Platform));
    QCOMPARE(states.state(States::Platform), States::State::Bootloader);
    // The same answer again changes nothing.
    application->linkComponent()->sendGetName(ZantLinkPacket::Platform);
    application->linkComponent()->sendGetName(ZantLinkPacket::Display);
    QSignalSpy answered(application->terminalService().data(),
                        &ZantLinkTerminalService::terminalDisplayReady);
    QVERIFY(answered.wait(5000));
    QCOMPARE(changed.count(), 3);
}

K27_TEST_GUILESS_MAIN(TestApplication)
#include "tst_application.moc"

#include "component/SerialPort.h"
#include "component/SerialPortManager.h"
#include "component/ZantLinkCommandCode.h"
#include "component/ZantLinkPacket.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"
#include "tools/devicesim/DeviceSimulator.h"
#include "tools/devicesim/LinkReceiver.h"
#include "tools/devicesim/SimulatedPortList.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using Application::K27::SerialPort;
using Application::K27::SerialPortManager;
using Command = Component::K27::ZantLinkCommandCode;
using Component::Interfaces::ZantLinkPacket;
using DeviceSim::DeviceSimulator;
using DeviceSim::DeviceSimulatorOptions;
using DeviceSim::ReceivedPacket;
using DeviceSim::SimulatedPortList;

// The program's own port manager finds the simulated device, loses it when it goes away and
// finds it again under the same name, as with a USB device that re-enumerates.
class TestDeviceSimulatorPorts : public TestSupport::TrappedTest
{
    Q_OBJECT

private:
    // Asks the controller for its name through the program's serial port.
    static QByteArray nameThrough(SerialPort &port, quint8 node)
    {
        QList<ReceivedPacket> answers;
        DeviceSim::LinkReceiver receiver([&answers](const ZantLinkPacket &packet) {
            answers.append(ReceivedPacket::fromPacket(packet));
        });
        const QMetaObject::Connection connection
            = QObject::connect(&port, &SerialPort::dataReceived,
                               [&receiver](const QByteArray &bytes) { receiver.receive(bytes); });
        port.write(
            ZantLinkPacket::encode(Command::GetName, ZantLinkPacket::Host, node, nullptr, 0));
        const bool answered = QTest::qWaitFor([&answers] { return !answers.isEmpty(); }, 5000);
        QObject::disconnect(connection);
        if (!answered || answers.first().arguments.isEmpty())
            return QByteArray();
        return answers.first().arguments.first();
    }

private slots:
    void managerFollowsTheDevice_data()
    {
        QTest::addColumn<bool>("fromFolder");
        QTest::newRow("in-process list") << false;
        QTest::newRow("port folder") << true;
    }
    void managerFollowsTheDevice()
    {
        QFETCH(bool, fromFolder);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        SimulatedPortList ports;
        DeviceSimulatorOptions options;
        options.folder = folder.path();
        DeviceSimulator device(options, &ports);
        QVERIFY2(device.start(), qPrintable(device.errorString()));

        const auto manager = QSharedPointer<SerialPortManager>::create(
            fromFolder ? SimulatedPortList::folderSource(folder.path()) : ports.source());
        QSignalSpy opened(manager.data(), &SerialPortManager::portOpened);
        QSignalSpy closed(manager.data(), &SerialPortManager::portClosed);
        // The test polls the port list itself rather than waiting for the manager's timer.
        const auto pollUntil = [&manager](const QSignalSpy &spy, int count) {
            return QTest::qWaitFor([&] {
                manager->handleTimeout();
                return spy.count() >= count;
            });
        };
        QVERIFY(pollUntil(opened, 1));
        QCOMPARE(opened.first().first().toString(), device.portName());
        const QSharedPointer<SerialPort> port = manager->serialPort(device.portName());
        QVERIFY(port);
        QCOMPARE(nameThrough(*port, ZantLinkPacket::Platform), QByteArray("Application"));

        device.goAway();
        QVERIFY(pollUntil(closed, 1));
        QCOMPARE(closed.first().first().toString(), device.portName());
        QVERIFY(!port->isOpen());

        QVERIFY(device.comeBack());
        QVERIFY(pollUntil(opened, 2));
        QCOMPARE(opened.count(), 2);
        QCOMPARE(manager->serialPort(device.portName()), port);
        QVERIFY(port->isOpen());
        QCOMPARE(nameThrough(*port, ZantLinkPacket::Display), QByteArray("Application"));
    }
};

K27_TEST_GUILESS_MAIN(TestDeviceSimulatorPorts)
#include "tst_devicesimports.moc"

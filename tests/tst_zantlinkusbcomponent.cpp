#include "component/AbstractZantLinkTerminal.h"
#include "component/SerialPort.h"
#include "component/SerialPortManager.h"
#include "component/ZantLinkCommandCode.h"
#include "component/ZantLinkPacket.h"
#include "component/ZantLinkUSBComponent.h"
#include "support/PtyPair.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"

#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>
#include <zlib.h>

using Application::K27::SerialPort;
using Application::K27::SerialPortManager;
using Component::Interfaces::AbstractZantLinkTerminal;
using Component::Interfaces::ZantLinkPacket;
using Component::K27::ZantLinkCommandCode;
using Component::K27::ZantLinkComponent;
using Component::K27::ZantLinkUSBComponent;
using TestSupport::PtyPair;

namespace {

// The device end of the line: the same encoder, sending as the "Platform" into the master.
class DeviceEnd : public ZantLinkComponent
{
public:
    explicit DeviceEnd(PtyPair &pty)
        : ZantLinkComponent(0, ZantLinkPacket::Platform, ZantLinkPacket::Host)
        , m_pty(pty)
    {
    }
    void onStart() override { }
    void onStop() override { }
    bool open() override { return true; }
    bool close() override { return true; }
    int write(const char *data, int count) override { return write(QByteArray(data, count)); }
    int write(const QByteArray &text) override { return m_pty.writeMaster(text) ? 0 : -3; }

private:
    PtyPair &m_pty;
};

// The host's receiver, fed with what the serial port hands out.
class Receiver : public AbstractZantLinkTerminal
{
public:
    Receiver()
        : AbstractZantLinkTerminal(0, ZantLinkPacket::Host)
    {
        start();
    }
    void onPacketReceived(const ZantLinkPacket &packet) override { packets << packet; }
    void feed(const QByteArray &bytes)
    {
        // Bytes beyond the ring's free space wait and move in as the steps consume the ring.
        writeBytes(bytes);
        while (receiveStep()) { }
    }

    QList<ZantLinkPacket> packets;
};

QByteArray littleEndian(quint32 value, int size)
{
    QByteArray bytes;
    for (int index = 0; index < size; ++index)
        bytes.append(char(value >> (8 * index)));
    return bytes;
}

// A packet's line bytes, assembled here field by field, the checksum from zlib.
QByteArray linePacket(quint16 command, quint8 source, quint8 destination,
                      const QList<QByteArray> &arguments)
{
    QByteArray body;
    for (const QByteArray &argument : arguments)
        body += littleEndian(quint32(argument.size()), 2) + argument;
    QByteArray packet = QByteArray("702#") + littleEndian(quint32(11 + body.size() + 4), 2)
        + littleEndian(command, 2) + char(source) + char(destination) + char(arguments.size())
        + body;
    const uLong crc
        = crc32(0L, reinterpret_cast<const Bytef *>(packet.constData()), uInt(packet.size()));
    return packet + littleEndian(quint32(crc), 4);
}

} // namespace

class TestZantLinkUSBComponent : public TestSupport::TrappedTest
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<PtyPair> m_pty;
    QSharedPointer<SerialPortManager> m_manager;
    QSharedPointer<SerialPort> m_port;

    // The line is first-in first-out: a "GetName" request sent now is the next thing the
    // device end reads only if nothing else is on its way.
    bool nothingElseSent(ZantLinkUSBComponent &link)
    {
        const QByteArray barrier = linePacket(ZantLinkCommandCode::GetName, 2, 0, {});
        return link.sendGetName(ZantLinkPacket::Platform) == 0
            && m_pty->readMaster(barrier.size()) == barrier;
    }

protected:
    void setUpTestCase() override { QVERIFY(m_dir.isValid()); }
    // The device is found the way the program finds it: a port with the device's USB
    // identifiers, opened by the manager.
    void setUp() override
    {
        const QString name = m_dir.filePath(QStringLiteral("ttyK27SIM0"));
        m_pty = std::make_unique<PtyPair>(name);
        QVERIFY2(m_pty->isValid(), qPrintable(m_pty->errorString()));
        m_manager = QSharedPointer<SerialPortManager>::create([name] {
            return QList<Application::K27::SerialPortDescription> {{name, 0x03EB, 0x2404}};
        });
        m_manager->findChild<QTimer *>(QStringLiteral("pollTimer"))->stop();
        m_manager->handleTimeout();
        m_port = m_manager->serialPort(name);
        QVERIFY(m_port && m_port->isOpen());
    }
    void tearDown() override
    {
        m_port.reset();
        m_manager.reset();
        m_pty.reset();
    }

private slots:
    void identity()
    {
        ZantLinkUSBComponent link(m_port);
        QCOMPARE(link.getId(), 0u);
        QCOMPARE(link.getNode(), quint8(2));
        QCOMPARE(link.getPeer(), quint8(0));
        QCOMPARE(link.getCoding(), ZantLinkPacket::StartWord);
        QCOMPARE(link.serialPort(), m_port);
        link.start();
        QVERIFY(link.isStarted());
        link.stop();
        QVERIFY(m_port->isOpen()); // starting and stopping leave the port alone
    }

    void withoutPort()
    {
        ZantLinkUSBComponent link(nullptr);
        QCOMPARE(link.write("abc", 3), -2);
        QCOMPARE(link.write(QByteArray("abc")), -2);
        QVERIFY(!link.open());
        QVERIFY(!link.close());
        QCOMPARE(link.sendGetModelValue(1), 0);
    }

    void requestReachesTheLineExactly_data()
    {
        QTest::addColumn<int>("request");
        QTest::addColumn<QByteArray>("expected");
        // A GetModelValue packet is 19 bytes long: its length field is 0x13.
        QTest::newRow("GetModelValue 17") << 0 << linePacket(7, 2, 0, {QByteArray("\x11\x00", 2)});
        QTest::newRow("SetModelValue 19 = 0x13111311")
            << 1
            << linePacket(6, 2, 0, {QByteArray("\x13\x00", 2), QByteArray("\x11\x13\x11\x13")});
        QTest::newRow("FireModelAction 4") << 2 << linePacket(8, 2, 0, {QByteArray("\x04\x00", 2)});
        QTest::newRow("GetName Display") << 3 << linePacket(5, 2, 1, {});
    }
    void requestReachesTheLineExactly()
    {
        QFETCH(int, request);
        QFETCH(QByteArray, expected);
        ZantLinkUSBComponent link(m_port);
        QSignalSpy transmitted(m_port.data(), &SerialPort::dataTransmitted);
        switch (request) {
        case 0:
            QCOMPARE(link.sendGetModelValue(0x11), 0);
            break;
        case 1:
            QCOMPARE(link.sendSetModelValue(0x13, 0x13111311u, 4), 0);
            break;
        case 2:
            QCOMPARE(link.sendFireModelAction(4), 0);
            break;
        default:
            QCOMPARE(link.sendGetName(ZantLinkPacket::Display), 0);
        }
        QCOMPARE(transmitted.count(), 1);
        QCOMPARE(transmitted.at(0).at(0).toByteArray(), expected);
        QCOMPARE(m_pty->readMaster(expected.size()), expected);
        QVERIFY(nothingElseSent(link));
    }

    void writeResults()
    {
        ZantLinkUSBComponent link(m_port);
        QSignalSpy transmitted(m_port.data(), &SerialPort::dataTransmitted);
        QCOMPARE(link.write("\x00\x11", 2), 0);
        QCOMPARE(link.write(QByteArray("text")), 0);
        QCOMPARE(link.sendLine("AB"), 0);
        QCOMPARE(m_pty->readMaster(2 + 4 + 4), QByteArray("\x00\x11textAB\r\n", 10));
        QCOMPARE(transmitted.count(), 3);

        QCOMPARE(link.write("abc", -1), -3); // never measured up to a zero byte
        QVERIFY(link.close());
        QVERIFY(!m_port->isOpen());
        QVERIFY(!link.close());
        QCOMPARE(link.write("abc", 3), -3);
        QCOMPARE(link.write(QByteArray("abc")), -3);
        QCOMPARE(link.sendGetModelValue(1), 0); // request operations report nothing
        QCOMPARE(transmitted.count(), 3);

        // The first bytes the device end reads after the port is open again are the new ones:
        // nothing was sent while it was closed.
        QVERIFY(link.open());
        QVERIFY(m_port->isOpen());
        QCOMPARE(link.write("again", 5), 0);
        QCOMPARE(m_pty->readMaster(5), QByteArray("again"));
        QVERIFY(nothingElseSent(link));
    }

    // Device packets full of XON and XOFF bytes, in lengths, identifiers, values and CRCs, come
    // through the serial port and the receiver whole and in order.
    void devicePacketsArriveIntact()
    {
        Receiver receiver;
        connect(m_port.data(), &SerialPort::dataReceived, this,
                [&receiver](const QByteArray &data) { receiver.feed(data); });
        DeviceEnd device(*m_pty);

        QList<QByteArray> sent;
        int withFlowControlBytes = 0;
        for (quint16 identifier = 0; identifier < 400; ++identifier) {
            // The lowest byte, sent whatever the width, is XON or XOFF.
            const quint32 value
                = 0x13110000u | (quint32(identifier) << 8) | (identifier % 2 ? 0x13u : 0x11u);
            const quint8 size = quint8(1u << (identifier % 3));
            const QByteArray packet
                = linePacket(ZantLinkCommandCode::SetModelValue, 0, 2,
                             {littleEndian(identifier, 2), littleEndian(value, size)});
            if (packet.contains('\x11') || packet.contains('\x13'))
                ++withFlowControlBytes;
            sent << packet;
            QCOMPARE(device.sendSetModelValue(identifier, value, size), 0);
        }
        // Packets of 17 (0x11) and 19 (0x13) bytes.
        sent << linePacket(ZantLinkCommandCode::GetName, 0, 2, {QByteArray()});
        QCOMPARE(device.send(ZantLinkCommandCode::GetName, 0, 2, {ZantLinkPacket::Argument()}), 0);
        sent << linePacket(ZantLinkCommandCode::GetName, 0, 2, {QByteArray("K2")});
        QCOMPARE(
            device.send(ZantLinkCommandCode::GetName, 0, 2, {ZantLinkPacket::Argument("K2", 2)}),
            0);
        QCOMPARE(withFlowControlBytes, 400);

        QTRY_COMPARE_WITH_TIMEOUT(receiver.packets.size(), sent.size(), 10000);
        for (int index = 0; index < sent.size(); ++index)
            QCOMPARE(receiver.packets.at(index).getRaw(), sent.at(index));
        QCOMPARE(receiver.packets.at(0x13).getCommand(),
                 quint16(ZantLinkCommandCode::SetModelValue));
        QCOMPARE(receiver.packets.at(0x13).argument(0).toByteArray(), QByteArray("\x13\x00", 2));
    }
};

K27_TEST_GUILESS_MAIN(TestZantLinkUSBComponent)
#include "tst_zantlinkusbcomponent.moc"

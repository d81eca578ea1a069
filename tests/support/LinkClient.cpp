#include "LinkClient.h"

#include "component/ZantLinkCommandCode.h"
#include "component/ZantLinkPacket.h"
#include "tools/devicesim/LinkReceiver.h"

#include <QTest>
#include <QtEndian>
#include <cstring>
#include <vector>

namespace TestSupport {

using Component::Interfaces::ZantLinkPacket;
using DeviceSim::ReceivedPacket;

LinkClient::LinkClient(const QString &portName, QSerialPort::FlowControl flowControl)
    : m_receiver(std::make_unique<DeviceSim::LinkReceiver>([this](const ZantLinkPacket &packet) {
        m_packets.append(ReceivedPacket::fromPacket(packet));
    }))
{
    m_port.setPortName(portName);
    m_port.setBaudRate(QSerialPort::Baud115200);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(flowControl);
    connect(&m_port, &QSerialPort::readyRead, this, [this] {
        const QByteArray bytes = m_port.readAll();
        m_bytes.append(bytes);
        m_receiver->receive(bytes);
    });
}

LinkClient::~LinkClient() = default;

bool LinkClient::open()
{
    return m_port.open(QIODevice::ReadWrite);
}

void LinkClient::close()
{
    m_port.close();
}

void LinkClient::send(quint16 command, quint8 destination, const QList<QByteArray> &arguments,
                      quint8 source)
{
    std::vector<ZantLinkPacket::Argument> views;
    for (const QByteArray &argument : arguments)
        views.emplace_back(argument.constData(), quint16(argument.size()));
    sendRaw(ZantLinkPacket::encode(command, source, destination, views.data(), int(views.size())));
}

void LinkClient::sendRaw(const QByteArray &bytes)
{
    m_port.write(bytes);
    m_port.flush();
}

QList<ReceivedPacket> LinkClient::packets(quint16 command) const
{
    QList<ReceivedPacket> matching;
    for (const ReceivedPacket &packet : m_packets) {
        if (packet.command == command)
            matching.append(packet);
    }
    return matching;
}

void LinkClient::clear()
{
    m_packets.clear();
    m_bytes.clear();
}

bool LinkClient::waitFor(quint16 command, int count, int timeoutMs)
{
    return QTest::qWaitFor([this, command, count] { return packets(command).size() >= count; },
                           timeoutMs);
}

bool LinkClient::barrier(int timeoutMs)
{
    const auto platformNames = [this] {
        int count = 0;
        for (const ReceivedPacket &packet : packets(Component::K27::ZantLinkCommandCode::GetName))
            count += packet.source == ZantLinkPacket::Platform ? 1 : 0;
        return count;
    };
    const int answered = platformNames();
    send(Component::K27::ZantLinkCommandCode::GetName, ZantLinkPacket::Platform);
    return QTest::qWaitFor([&] { return platformNames() > answered; }, timeoutMs);
}

float LinkClient::toFloat(const QByteArray &bytes)
{
    if (bytes.size() != 4)
        return -1.0f;
    const quint32 raw = qFromLittleEndian<quint32>(bytes.constData());
    float value = 0;
    std::memcpy(&value, &raw, sizeof value);
    return value;
}

} // namespace TestSupport

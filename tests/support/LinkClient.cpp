#include "LinkClient.h"

#include "component/ZantLinkPacket.h"
#include "tools/devicesim/LinkReceiver.h"

#include <QDeadlineTimer>
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
    const QDeadlineTimer deadline(timeoutMs);
    while (packets(command).size() < count) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(5);
    }
    return true;
}

QList<ReceivedPacket> LinkClient::collect(int milliseconds)
{
    const int before = m_packets.size();
    QTest::qWait(milliseconds);
    return m_packets.mid(before);
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

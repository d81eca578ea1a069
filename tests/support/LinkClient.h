#pragma once

#include "tools/devicesim/ReceivedPacket.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSerialPort>
#include <memory>

namespace DeviceSim {
class LinkReceiver;
}

namespace TestSupport {

// The PC's end of a link in a test: a QSerialPort on the device's port, so every byte goes
// through the kernel's terminal layer, and the program's own receiver cutting the answers
// into packets.
class LinkClient : public QObject
{
    Q_OBJECT

public:
    explicit LinkClient(const QString &portName,
                        QSerialPort::FlowControl flowControl = QSerialPort::NoFlowControl);
    ~LinkClient() override;

    bool open();
    void close();
    QString errorString() const { return m_port.errorString(); }

    // Sends one packet from the Host (unless another source is given).
    void send(quint16 command, quint8 destination, const QList<QByteArray> &arguments = {},
              quint8 source = 2);
    void sendRaw(const QByteArray &bytes);

    QList<DeviceSim::ReceivedPacket> packets() const { return m_packets; }
    QList<DeviceSim::ReceivedPacket> packets(quint16 command) const;
    QByteArray receivedBytes() const { return m_bytes; }
    void clear();

    // Waits (turning the event loop) until at least count packets of the command have
    // arrived since the last clear; false on time-out.
    bool waitFor(quint16 command, int count = 1, int timeoutMs = 5000);
    // Asks the Platform for its name and waits for this very answer. The device handles the
    // packets it receives in order and the line is first-in first-out: once the answer is
    // here, the device has handled every packet sent before the question, and everything it
    // sent before the answer has arrived. The answer stays among packets(); no other question
    // for the Platform's name may be on its way meanwhile.
    bool barrier(int timeoutMs = 5000);

    static float toFloat(const QByteArray &bytes);

private:
    QSerialPort m_port;
    std::unique_ptr<DeviceSim::LinkReceiver> m_receiver;
    QList<DeviceSim::ReceivedPacket> m_packets;
    QByteArray m_bytes;
};

} // namespace TestSupport

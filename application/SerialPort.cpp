#include "application/SerialPort.h"

#include "application/SerialPortManager.h"

namespace Application::K27 {

SerialPort::SerialPort(const QSharedPointer<SerialPortManager> &manager, const QString &portName,
                       QObject *parent)
    : QObject(parent)
    , m_manager(manager)
    , m_portName(portName)
    , m_port(new QSerialPort(portName, this))
{
    connect(m_port, &QSerialPort::readyRead, this, &SerialPort::handleReadyRead);
    connect(m_port, &QSerialPort::bytesWritten, this, &SerialPort::handleBytesWritten);
    connect(m_port, &QSerialPort::errorOccurred, this, &SerialPort::handleError);
    open();
}

SerialPort::~SerialPort()
{
    close();
}

bool SerialPort::open()
{
    if (m_port->isOpen())
        return true;
    m_port->setBaudRate(QSerialPort::Baud115200, QSerialPort::AllDirections);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setStopBits(QSerialPort::OneStop);
    // The protocol is binary: lengths, CRCs and values contain 0x11 and 0x13, which XON/XOFF
    // would swallow. The device cannot see the host's flow control over USB anyway.
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port->open(QIODevice::ReadWrite))
        return false;
    // Bytes the line still holds from before (answers to an earlier program's requests) belong
    // to nobody now; read, they would pass for answers to this run's requests.
    m_port->clear(QSerialPort::Input);
    // Lines without modem signals (pseudo-terminals) refuse DTR; the link works without it.
    m_port->setDataTerminalReady(true);
    return true;
}

bool SerialPort::close()
{
    if (!m_port->isOpen())
        return false;
    m_port->close();
    return true;
}

bool SerialPort::isOpen() const
{
    return m_port->isOpen();
}

bool SerialPort::write(const QByteArray &data)
{
    if (!m_port->isOpen())
        return false;
    if (m_port->write(data) != data.size())
        return false;
    emit dataTransmitted(data);
    return true;
}

bool SerialPort::write(const QString &text)
{
    return write(text.toUtf8());
}

bool SerialPort::writeLine(const QByteArray &data)
{
    return write(data + QByteArrayLiteral("\r\n"));
}

bool SerialPort::writeLine(const QString &text)
{
    return writeLine(text.toUtf8());
}

QString SerialPort::portName() const
{
    return m_portName;
}

QSharedPointer<SerialPortManager> SerialPort::manager() const
{
    return m_manager.toStrongRef();
}

void SerialPort::handleReadyRead()
{
    const QByteArray data = m_port->readAll();
    if (!data.isEmpty())
        emit dataReceived(data);
}

void SerialPort::handleBytesWritten(qint64 bytes)
{
    Q_UNUSED(bytes)
}

void SerialPort::handleError(QSerialPort::SerialPortError error)
{
    // Once the other end is gone (a device pulled out, a pseudo-terminal's master closed), the
    // system keeps reporting the line readable and every read fails: as a resource error, or,
    // when the read only returns end-of-file, as a read error. Left open, the port repeats that
    // error in a busy loop. Closing stops it; the manager's next poll reports the port closed if
    // the device has gone, and opens it again when it is back.
    if (error == QSerialPort::ResourceError || error == QSerialPort::ReadError)
        close();
}

} // namespace Application::K27

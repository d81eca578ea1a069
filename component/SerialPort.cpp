#include "component/SerialPort.h"

#include "component/SerialPortManager.h"

#include <QFile>
#include <QFileInfo>
#include <QPointer>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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
    if (!m_port->open(QIODevice::ReadWrite)) {
        diagnoseOpenFailure(m_port->error());
        emit openStateChanged();
        return false;
    }
    m_openFailure = OpenFailure::None;
    m_openFailureText.clear();
    // Bytes the line still holds from before (answers to an earlier program's requests) belong
    // to nobody now; read, they would pass for answers to this run's requests.
    m_port->clear(QSerialPort::Input);
    // Lines without modem signals (pseudo-terminals) refuse DTR; the link works without it.
    m_port->setDataTerminalReady(true);
    emit openStateChanged();
    return true;
}

bool SerialPort::close()
{
    if (!m_port->isOpen())
        return false;
    m_port->close();
    emit openStateChanged();
    return true;
}

QString SerialPort::devicePath() const
{
    return devicePath(m_portName);
}

QString SerialPort::devicePath(const QString &portName)
{
#ifdef Q_OS_UNIX
    if (portName.startsWith(QLatin1Char('/')) || portName.startsWith(QLatin1String("./"))
        || portName.startsWith(QLatin1String("../")))
        return portName;
    return QStringLiteral("/dev/") + portName;
#else
    return portName;
#endif
}

QString SerialPort::deviceGroup() const
{
#ifdef Q_OS_UNIX
    struct stat status
    {
    };
    if (::stat(QFile::encodeName(devicePath()).constData(), &status) != 0)
        return QString();
    const struct group *owner = ::getgrgid(status.st_gid);
    if (owner == nullptr || owner->gr_name == nullptr)
        return QString();
    return QString::fromLocal8Bit(owner->gr_name);
#else
    return QString();
#endif
}

SerialPort::OpenFailure SerialPort::classifyOpenFailure(QSerialPort::SerialPortError qtError,
                                                        bool nodeExists, int systemError)
{
    if (!nodeExists || qtError == QSerialPort::DeviceNotFoundError)
        return OpenFailure::Gone;
#ifdef Q_OS_UNIX
    switch (systemError) {
    case 0:
        // The node opens: the serial-port layer refused it, and its only reason reported as a
        // permission error is the lock another program holds.
        return qtError == QSerialPort::PermissionError ? OpenFailure::Busy : OpenFailure::Other;
    case EACCES:
    case EPERM:
        return OpenFailure::Permission;
    case EBUSY:
        return OpenFailure::Busy;
    case ENOENT:
    case ENXIO:
    case ENODEV:
        return OpenFailure::Gone;
    default:
        return OpenFailure::Other;
    }
#else
    Q_UNUSED(systemError)
    // Windows answers "access denied" for a port another program has open.
    return qtError == QSerialPort::PermissionError ? OpenFailure::Busy : OpenFailure::Other;
#endif
}

void SerialPort::diagnoseOpenFailure(QSerialPort::SerialPortError qtError)
{
    const QString path = devicePath();
    const bool nodeExists = QFileInfo::exists(path);
    int systemError = 0;
    m_openFailureText = m_port->errorString();
#ifdef Q_OS_UNIX
    if (nodeExists) {
        // QSerialPort keeps the system's error number to itself; opening the node directly
        // tells it again. Nothing is changed on the line: the open either fails, or another
        // program holds the line open, so closing ours again hangs nothing up.
        const int descriptor = ::open(QFile::encodeName(path).constData(),
                                      O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (descriptor < 0) {
            systemError = errno;
            m_openFailureText = QString::fromLocal8Bit(std::strerror(systemError));
        } else {
            ::close(descriptor);
        }
    }
#endif
    m_openFailure = classifyOpenFailure(qtError, nodeExists, systemError);
}

bool SerialPort::isOpen() const
{
    return m_port->isOpen();
}

bool SerialPort::write(const QByteArray &data)
{
    if (!m_port->isOpen())
        return false;
    if (!writeNow(data))
        return false;
    emit dataTransmitted(data);
    return true;
}

bool SerialPort::writeNow(const QByteArray &data)
{
#ifdef Q_OS_UNIX
    // The device waits for each answer (a firmware block) before it asks again: hand the bytes
    // to the system at once instead of on a later pass of the event loop. Only while nothing
    // is queued in the port, so the bytes keep their order; what the line does not take at
    // once is queued and written when it can take more.
    if (m_port->bytesToWrite() == 0) {
        ssize_t written;
        do {
            written = ::write(int(m_port->handle()), data.constData(), std::size_t(data.size()));
        } while (written < 0 && errno == EINTR);
        if (written == data.size())
            return true;
        if (written > 0) {
            const QByteArray rest = data.mid(int(written));
            return m_port->write(rest) == rest.size();
        }
        // Nothing taken (a full line, or an error the port reports itself): queue it all.
    }
#endif
    return m_port->write(data) == data.size();
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

void SerialPort::readPending()
{
    if (!m_port->isOpen())
        return;
    // A zero wait only polls; what it finds is read as readyRead announces it.
    m_port->waitForReadyRead(0);
    handleReadyRead();
}

void SerialPort::handleReadyRead()
{
    // The port announces no bytes that arrive while a slot of dataReceived is still running
    // (one that waits in a local event loop): they are handed out here once it has returned.
    const QPointer<SerialPort> alive(this);
    do {
        const QByteArray data = m_port->readAll();
        if (data.isEmpty())
            return;
        emit dataReceived(data);
    } while (!alive.isNull() && m_port->bytesAvailable() > 0);
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

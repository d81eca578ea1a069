#include "component/SerialPortManager.h"

#include "component/SerialPort.h"

#include <QSerialPortInfo>
#include <QStringList>
#include <QTimer>

namespace Application::K27 {

namespace {
QStringList sorted(const QSet<QString> &names)
{
    QStringList list = names.values();
    list.sort();
    return list;
}
} // namespace

SerialPortManager::SerialPortManager(QObject *parent)
    : SerialPortManager(&SerialPortManager::systemPorts, parent)
{
}

SerialPortManager::SerialPortManager(SerialPortSource source, QObject *parent)
    : QObject(parent)
    , m_source(std::move(source))
    , m_timer(new QTimer(this))
{
    m_timer->setObjectName(QStringLiteral("pollTimer"));
    connect(m_timer, &QTimer::timeout, this, &SerialPortManager::handleTimeout);
    m_timer->start(pollInterval);
}

SerialPortManager::~SerialPortManager() = default;

bool SerialPortManager::isDevicePort(const QSerialPortInfo &info)
{
    return isDevicePort(
        SerialPortDescription {info.portName(), info.vendorIdentifier(), info.productIdentifier()});
}

bool SerialPortManager::isDevicePort(const SerialPortDescription &description)
{
    return description.vendorIdentifier == deviceVendorIdentifier
        && description.productIdentifier == deviceProductIdentifier
        && (description.portName.contains(QLatin1String("COM"))
            || description.portName.contains(QLatin1String("tty")));
}

QList<SerialPortDescription> SerialPortManager::systemPorts()
{
    QList<SerialPortDescription> ports;
    const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : infos)
        ports.append({info.portName(), info.vendorIdentifier(), info.productIdentifier()});
    return ports;
}

void SerialPortManager::setNamedPorts(const QStringList &portNames)
{
    m_namedPorts = portNames;
}

QSet<QString> SerialPortManager::devicePorts() const
{
    QSet<QString> names(m_namedPorts.cbegin(), m_namedPorts.cend());
    if (!m_source)
        return names;
    const QList<SerialPortDescription> ports = m_source();
    for (const SerialPortDescription &port : ports) {
        if (isDevicePort(port))
            names.insert(port.portName);
    }
    return names;
}

QSharedPointer<SerialPort> SerialPortManager::serialPort(const QString &portName) const
{
    return m_ports.value(portName);
}

QList<QSharedPointer<SerialPort>> SerialPortManager::serialPorts() const
{
    return m_ports.values();
}

bool SerialPortManager::hasPorts() const
{
    return !m_ports.isEmpty();
}

void SerialPortManager::handleTimeout()
{
    // The sets are compared, not their sizes: a device replaced by another between two polls
    // closes one name and opens the other. The state is brought up to date before each signal,
    // so a slot that polls again (from a local event loop) sees it and repeats nothing.
    const QSet<QString> current = devicePorts();

    for (const QString &name : sorted(m_knownPorts - current)) {
        if (!m_knownPorts.remove(name))
            continue;
        m_openedPorts.remove(name);
        if (const QSharedPointer<SerialPort> port = m_ports.value(name))
            port->close();
        emit portClosed(name);
    }

    for (const QString &name : sorted(current)) {
        m_knownPorts.insert(name);
        QSharedPointer<SerialPort> port = m_ports.value(name);
        if (!port) {
            port = QSharedPointer<SerialPort>::create(sharedFromThis(), name);
            m_ports.insert(name, port);
        } else if (!port->isOpen()) {
            // Still listed but closed: its open failed (tried again now), or the line broke
            // since it was announced (the port closes itself then).
            if (m_openedPorts.remove(name))
                emit portClosed(name);
            port->open();
        }
        if (port->isOpen() && !m_openedPorts.contains(name)) {
            m_openedPorts.insert(name);
            emit portOpened(name);
        }
    }
}

} // namespace Application::K27

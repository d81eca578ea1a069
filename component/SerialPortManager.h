#pragma once

#include "component/SerialPortDescription.h"

#include <QEnableSharedFromThis>
#include <QList>
#include <QMap>
#include <QObject>
#include <QSet>
#include <QSharedPointer>
#include <QString>
#include <QStringList>

class QSerialPortInfo;
class QTimer;

namespace Application::K27 {

class SerialPort;

// Tracks the device's serial ports: polls the list of ports every second, opens each device
// port that appears and closes each one that goes away. A port keeps its SerialPort object for
// the whole run, so a device that comes back reuses it.
class SerialPortManager
    : public QObject
    , public QEnableSharedFromThis<SerialPortManager>
{
    Q_OBJECT

public:
    static constexpr quint16 deviceVendorIdentifier = 0x03EB;
    static constexpr quint16 deviceProductIdentifier = 0x2404;
    static constexpr int pollInterval = 1000;

    // Polls the system's serial ports. The first poll comes one interval after construction.
    explicit SerialPortManager(QObject *parent = nullptr);
    // Polls the ports that source lists instead.
    explicit SerialPortManager(SerialPortSource source, QObject *parent = nullptr);
    ~SerialPortManager() override;

    static bool isDevicePort(const QSerialPortInfo &info);
    static bool isDevicePort(const SerialPortDescription &description);
    // The serial ports the system lists.
    static QList<SerialPortDescription> systemPorts();

    // Ports the user named (a USB-serial adapter of another make, a serial server's device, a
    // pseudo-terminal): device ports whatever their identifiers and names, listed at every
    // poll, so one that cannot be opened is tried again and says why.
    void setNamedPorts(const QStringList &portNames);
    const QStringList &namedPorts() const { return m_namedPorts; }

    // Names of the device ports the source lists now, and the named ports.
    QSet<QString> devicePorts() const;

    // The port of that name, or null if there has never been one.
    QSharedPointer<SerialPort> serialPort(const QString &portName) const;
    // Every port seen so far, in name order.
    QList<QSharedPointer<SerialPort>> serialPorts() const;
    // Whether the port was listed at the last poll: its device is there, whether or not its
    // port could be opened. A port seen before and gone since is not.
    bool isListed(const QString &portName) const { return m_knownPorts.contains(portName); }
    bool hasPorts() const;

signals:
    void portOpened(const QString &portName);
    void portClosed(const QString &portName);

public slots:
    void handleTimeout();

private:
    SerialPortSource m_source;
    QStringList m_namedPorts;
    QTimer *m_timer;
    // Device ports listed at the previous poll.
    QSet<QString> m_knownPorts;
    // Ports announced with portOpened and not yet with portClosed.
    QSet<QString> m_openedPorts;
    QMap<QString, QSharedPointer<SerialPort>> m_ports;
};

} // namespace Application::K27

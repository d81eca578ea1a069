#pragma once

#include "component/SerialPortDescription.h"

#include <QMutex>
#include <QStringList>

namespace DeviceSim {

// The ports of simulated devices, as the PC's port manager sees them: each listed with the
// device's USB vendor and product identifiers. A simulated device adds its port while it is
// present and removes it while it is "unplugged". Safe to use from any thread.
class SimulatedPortList
{
public:
    // The list every simulator uses unless it is given its own.
    static SimulatedPortList &instance();

    void add(const QString &portName);
    void remove(const QString &portName);
    bool contains(const QString &portName) const;
    QStringList portNames() const;
    // The ports as the port manager sees them: with the device's vendor and product.
    QList<Application::K27::SerialPortDescription> ports() const;

    // A port source for the port manager: this list's ports, and the system's own ports as
    // well when asked to. The list must outlive the manager.
    Application::K27::SerialPortSource source(bool withSystemPorts = false) const;

    // For a simulator in another process: every link in folder whose name contains "tty" and
    // that leads to a terminal.
    static QStringList folderPorts(const QString &folder);
    static Application::K27::SerialPortSource folderSource(const QString &folder);

private:
    mutable QMutex m_mutex;
    QStringList m_portNames;
};

} // namespace DeviceSim

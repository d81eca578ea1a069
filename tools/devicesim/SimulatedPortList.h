#pragma once

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

    // For a simulator in another process: every link in folder whose name contains "tty" and
    // that leads to a terminal.
    static QStringList folderPorts(const QString &folder);

private:
    mutable QMutex m_mutex;
    QStringList m_portNames;
};

} // namespace DeviceSim

#include "SimulatedPortList.h"

#include "component/SerialPortManager.h"
#include "utilities/MutexLocker.h"

#include <QDir>
#include <QFileInfo>

namespace DeviceSim {

using Application::K27::SerialPortDescription;
using Application::K27::SerialPortManager;
using Application::K27::SerialPortSource;

namespace {
QList<SerialPortDescription> devicePorts(const QStringList &names)
{
    QList<SerialPortDescription> list;
    for (const QString &name : names)
        list.append({name, SerialPortManager::deviceVendorIdentifier,
                     SerialPortManager::deviceProductIdentifier});
    return list;
}
} // namespace

SimulatedPortList &SimulatedPortList::instance()
{
    static SimulatedPortList list;
    return list;
}

void SimulatedPortList::add(const QString &portName)
{
    const Utilities::MutexLocker locker(m_mutex);
    if (!m_portNames.contains(portName))
        m_portNames.append(portName);
}

void SimulatedPortList::remove(const QString &portName)
{
    const Utilities::MutexLocker locker(m_mutex);
    m_portNames.removeAll(portName);
}

bool SimulatedPortList::contains(const QString &portName) const
{
    const Utilities::MutexLocker locker(m_mutex);
    return m_portNames.contains(portName);
}

QStringList SimulatedPortList::portNames() const
{
    const Utilities::MutexLocker locker(m_mutex);
    return m_portNames;
}

QList<SerialPortDescription> SimulatedPortList::ports() const
{
    return devicePorts(portNames());
}

SerialPortSource SimulatedPortList::source(bool withSystemPorts) const
{
    return [this, withSystemPorts] {
        QList<SerialPortDescription> list
            = withSystemPorts ? SerialPortManager::systemPorts() : QList<SerialPortDescription>();
        list.append(ports());
        return list;
    };
}

SerialPortSource SimulatedPortList::folderSource(const QString &folder)
{
    return [folder] { return devicePorts(folderPorts(folder)); };
}

QStringList SimulatedPortList::folderPorts(const QString &folder)
{
    QStringList list;
    const QFileInfoList entries = QDir(folder).entryInfoList(
        {QStringLiteral("*tty*")}, QDir::System | QDir::Files, QDir::Name);
    for (const QFileInfo &entry : entries) {
        if (!entry.isSymLink())
            continue;
        // A link left behind by a simulator that was killed leads nowhere.
        const QFileInfo target(entry.symLinkTarget());
        if (target.exists() && !target.isDir() && !target.isFile())
            list.append(entry.absoluteFilePath());
    }
    return list;
}

} // namespace DeviceSim

#include "SimulatedPortList.h"

#include <QDir>
#include <QFileInfo>
#include <QMutexLocker>

namespace DeviceSim {

SimulatedPortList &SimulatedPortList::instance()
{
    static SimulatedPortList list;
    return list;
}

void SimulatedPortList::add(const QString &portName)
{
    const QMutexLocker locker(&m_mutex);
    if (!m_portNames.contains(portName))
        m_portNames.append(portName);
}

void SimulatedPortList::remove(const QString &portName)
{
    const QMutexLocker locker(&m_mutex);
    m_portNames.removeAll(portName);
}

bool SimulatedPortList::contains(const QString &portName) const
{
    const QMutexLocker locker(&m_mutex);
    return m_portNames.contains(portName);
}

QStringList SimulatedPortList::portNames() const
{
    const QMutexLocker locker(&m_mutex);
    return m_portNames;
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

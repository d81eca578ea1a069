#include "SimulatorThread.h"

#include "DeviceSimulator.h"

#include <QMetaObject>

namespace DeviceSim {

SimulatorThread::SimulatorThread(const DeviceSimulatorOptions &options, SimulatedPortList *portList)
    : m_options(options)
    , m_portList(portList)
{
    m_thread.setObjectName(QStringLiteral("k27-devicesim"));
}

SimulatorThread::~SimulatorThread()
{
    if (!m_thread.isRunning())
        return;
    // The device is destroyed on its own thread, where its notifiers and timers live: the
    // thread's last act is the deferred deletion.
    QObject::connect(&m_thread, &QThread::finished, m_simulator, &QObject::deleteLater);
    m_thread.quit();
    m_thread.wait();
    m_simulator = nullptr;
}

bool SimulatorThread::start()
{
    if (m_simulator)
        return !m_portName.isEmpty();
    m_simulator = new DeviceSimulator(m_options, m_portList);
    m_simulator->moveToThread(&m_thread);
    m_thread.start();
    bool started = false;
    QMetaObject::invokeMethod(
        m_simulator,
        [this, &started] {
            started = m_simulator->start();
            m_errorString = m_simulator->errorString();
            if (started)
                m_portName = m_simulator->portName();
        },
        Qt::BlockingQueuedConnection);
    return started;
}

void SimulatorThread::call(const std::function<void(DeviceSimulator &)> &work)
{
    if (!m_simulator)
        return;
    QMetaObject::invokeMethod(
        m_simulator, [this, &work] { work(*m_simulator); }, Qt::BlockingQueuedConnection);
}

} // namespace DeviceSim

#include "SimulatorThread.h"

#include "DeviceSimulator.h"

#include <QMetaObject>
#include <deque>
#include <future>
#include <mutex>

namespace DeviceSim {

// Carries work to the device's thread. The work itself travels through a queue under a lock
// of its own; the queued call only wakes the thread, so nothing the work needs depends on
// how the event queue synchronises.
class SimulatorThread::Runner : public QObject
{
public:
    void post(std::function<void()> work)
    {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_jobs.push_back(std::move(work));
        }
        QMetaObject::invokeMethod(this, &Runner::runJobs, Qt::QueuedConnection);
    }

private:
    void runJobs()
    {
        for (;;) {
            std::function<void()> job;
            {
                const std::lock_guard<std::mutex> lock(m_mutex);
                if (m_jobs.empty())
                    return;
                job = std::move(m_jobs.front());
                m_jobs.pop_front();
            }
            job();
        }
    }

    std::mutex m_mutex;
    std::deque<std::function<void()>> m_jobs;
};

SimulatorThread::SimulatorThread(const DeviceSimulatorOptions &options, SimulatedPortList *portList)
    : m_options(options)
    , m_portList(portList)
    , m_runner(std::make_unique<Runner>())
{
    m_thread.setObjectName(QStringLiteral("k27-devicesim"));
    m_runner->moveToThread(&m_thread);
}

SimulatorThread::~SimulatorThread()
{
    if (!m_thread.isRunning())
        return;
    // The device is destroyed on its own thread, where its notifiers and timers live.
    runOnThread([this] {
        delete m_simulator;
        m_simulator = nullptr;
    });
    m_thread.quit();
    m_thread.wait();
}

bool SimulatorThread::start()
{
    if (m_thread.isRunning())
        return m_simulator != nullptr && !m_portName.isEmpty();
    m_thread.start();
    bool started = false;
    runOnThread([this, &started] {
        m_simulator = new DeviceSimulator(m_options, m_portList);
        started = m_simulator->start();
        m_errorString = m_simulator->errorString();
        if (started)
            m_portName = m_simulator->portName();
    });
    return started;
}

void SimulatorThread::call(const std::function<void(DeviceSimulator &)> &work)
{
    if (m_thread.isRunning())
        runOnThread([this, &work] {
            if (m_simulator)
                work(*m_simulator);
        });
}

void SimulatorThread::runOnThread(const std::function<void()> &work)
{
    std::promise<void> done;
    std::future<void> finished = done.get_future();
    m_runner->post([&work, &done] {
        work();
        done.set_value();
    });
    finished.wait();
}

} // namespace DeviceSim

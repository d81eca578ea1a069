#include "SimulatorThread.h"

#include "DeviceSimulator.h"
#include "utilities/MutexLocker.h"
#include "utilities/ThreadSanitizer.h"

#include <QCoreApplication>
#include <QEvent>

namespace DeviceSim {

// Lives on the device's thread and turns the wake-up event into a run of the queued jobs.
class SimulatorThread::Runner : public QObject
{
public:
    explicit Runner(SimulatorThread &owner)
        : m_owner(owner)
    {
    }

    static QEvent::Type wakeEventType()
    {
        static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
        return type;
    }

protected:
    void customEvent(QEvent *event) override
    {
        // Before the event is even looked at: the caller's thread allocated it.
        Utilities::ThreadSanitizer::acquire(&m_owner.m_handover);
        if (event->type() != wakeEventType()) {
            QObject::customEvent(event);
            return;
        }
        m_owner.runJobs();
    }

private:
    SimulatorThread &m_owner;
};

SimulatorThread::SimulatorThread(const DeviceSimulatorOptions &options, SimulatedPortList *portList)
    : m_options(options)
    , m_portList(portList)
    , m_runner(std::make_unique<Runner>(*this))
{
    m_thread.setObjectName(QStringLiteral("k27-devicesim"));
    m_runner->moveToThread(&m_thread);
    // Runs on the device's thread, which has made its event loop's wake-up descriptor by then:
    // waiting for it orders that before the first wake-up from here, also for the sanitizer,
    // which cannot see Qt hand the event loop over.
    QObject::connect(&m_thread, &QThread::started, [this] {
        Utilities::MutexLocker lock(m_mutex);
        m_threadStarted = true;
        m_progress.wakeAll();
    });
}

SimulatorThread::~SimulatorThread()
{
    if (!m_thread.isRunning())
        return;
    // The device is destroyed on its own thread, where its notifiers and timers live. The
    // thread also ends its own event loop: a quit from here would signal the loop's wake-up
    // descriptor after the last hand-over the sanitizer can see.
    runOnThread([this] {
        delete m_simulator;
        m_simulator = nullptr;
        m_thread.quit();
    });
    m_thread.wait();
    // Qt ends its threads detached; taking the mutex once more shows the sanitizer that the
    // device thread's last step happened before the members go.
    Utilities::MutexLocker lock(m_mutex);
    m_jobs.clear();
}

bool SimulatorThread::start()
{
    if (m_thread.isRunning())
        return m_simulator != nullptr && !m_portName.isEmpty();
    m_thread.start();
    {
        Utilities::MutexLocker lock(m_mutex);
        while (!m_threadStarted)
            lock.wait(m_progress);
    }
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

void SimulatorThread::runOnThread(std::function<void()> work)
{
    if (QThread::currentThread() == &m_thread) {
        work();
        return;
    }
    Utilities::MutexLocker lock(m_mutex);
    m_jobs.push_back(std::move(work));
    const quint64 ticket = ++m_jobsQueued;
    if (!m_wakePending) {
        m_wakePending = true;
        // A plain event rather than a queued functor: the functor's storage would be written
        // here and read on the device's thread before any code of ours runs there, and
        // ThreadSanitizer cannot see the ordering Qt's event queue provides. The event is
        // owned by the event queue from postEvent on; posting it with the mutex held orders
        // Qt's wake-up of the device's thread before that thread takes the jobs.
        auto *event = new QEvent(Runner::wakeEventType());
        Utilities::ThreadSanitizer::release(&m_handover);
        QCoreApplication::postEvent(m_runner.get(), event);
    }
    // Jobs run in the order they were queued: this one is done when as many have finished.
    while (m_jobsFinished < ticket)
        lock.wait(m_progress);
}

void SimulatorThread::runJobs()
{
    // One job at a time, run without the mutex so that other threads can queue theirs meanwhile.
    for (;;) {
        std::function<void()> job;
        {
            Utilities::MutexLocker lock(m_mutex);
            if (m_jobs.empty()) {
                m_wakePending = false;
                return;
            }
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        job();
        job = nullptr;
        Utilities::MutexLocker lock(m_mutex);
        ++m_jobsFinished;
        m_progress.wakeAll();
    }
}

} // namespace DeviceSim

#pragma once

#include "DeviceSimulatorOptions.h"

#include <QMutex>
#include <QThread>
#include <QWaitCondition>
#include <deque>
#include <functional>
#include <memory>

namespace DeviceSim {

class DeviceSimulator;
class SimulatedPortList;

// Runs a simulated device on a thread of its own, so that a test's own waiting (or a
// blocking call on the PC side) never holds up the device. The device is made, used and
// destroyed only on that thread; everything the test asks of it goes through call(), which
// runs the work there and waits for it.
//
// The work crosses threads as a job in a queue under the mutex; a plain posted event only
// wakes the device's thread, which takes the jobs out under the mutex, runs them one at a
// time and counts each one finished, while the caller waits on the condition for its own.
class SimulatorThread
{
public:
    explicit SimulatorThread(const DeviceSimulatorOptions &options = {},
                             SimulatedPortList *portList = nullptr);
    ~SimulatorThread();
    SimulatorThread(const SimulatorThread &) = delete;
    SimulatorThread &operator=(const SimulatorThread &) = delete;

    // Creates and starts the device on its thread; false with errorString() if it cannot.
    bool start();
    QString errorString() const { return m_errorString; }
    QString portName() const { return m_portName; }

    // Runs work with the device on the device's thread and returns when it is done.
    void call(const std::function<void(DeviceSimulator &)> &work);
    // The device, for reading its log (safe from any thread); anything else goes through
    // call().
    DeviceSimulator *simulator() const { return m_simulator; }

private:
    class Runner;

    // Queues work for the device's thread and waits until it has run; runs it at once when
    // called on that thread.
    void runOnThread(std::function<void()> work);
    // Runs the queued jobs (device's thread).
    void runJobs();

    DeviceSimulatorOptions m_options;
    SimulatedPortList *m_portList;
    QThread m_thread;
    std::unique_ptr<Runner> m_runner;
    // Guards the jobs, both counts, m_threadStarted and m_wakePending.
    QMutex m_mutex;
    // Wakes the callers when a job has finished or the thread has started.
    QWaitCondition m_progress;
    std::deque<std::function<void()>> m_jobs;
    quint64 m_jobsQueued = 0;
    quint64 m_jobsFinished = 0;
    // Set by the device's thread once its event loop can be woken.
    bool m_threadStarted = false;
    // A wake-up event is on its way to the device's thread while this is set.
    bool m_wakePending = false;
    // Stands for the hand-over of the wake-up event through Qt's event queue in sanitizer
    // builds.
    char m_handover = 0;
    DeviceSimulator *m_simulator = nullptr;
    QString m_errorString;
    QString m_portName;
};

} // namespace DeviceSim

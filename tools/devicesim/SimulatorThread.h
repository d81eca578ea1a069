#pragma once

#include "DeviceSimulatorOptions.h"

#include <QThread>
#include <functional>
#include <memory>

namespace DeviceSim {

class DeviceSimulator;
class SimulatedPortList;

// Runs a simulated device on a thread of its own, so that a test's own waiting (or a
// blocking call on the PC side) never holds up the device. The device is made, used and
// destroyed only on that thread; everything the test asks of it goes through call(), which
// runs the work there and waits for it.
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
    // The device, for queued connections to its signals and for reading its log (both safe
    // from any thread); anything else goes through call().
    DeviceSimulator *simulator() const { return m_simulator; }

    class Runner;

private:
    void runOnThread(const std::function<void()> &work);

    DeviceSimulatorOptions m_options;
    SimulatedPortList *m_portList;
    QThread m_thread;
    std::unique_ptr<Runner> m_runner;
    DeviceSimulator *m_simulator = nullptr;
    QString m_errorString;
    QString m_portName;
};

} // namespace DeviceSim

#pragma once

#include "DeviceSimulatorOptions.h"

#include <QThread>
#include <functional>
#include <memory>

namespace DeviceSim {

class DeviceSimulator;
class SimulatedPortList;

// Runs a simulated device on a thread of its own, so that a test's own waiting (or a
// blocking call on the PC side) never holds up the device. Everything the test asks of the
// device goes through call(), which runs on the device's thread and waits for it.
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
    // The device itself, for connecting to its signals (queued) and reading its log.
    DeviceSimulator *simulator() const { return m_simulator; }

private:
    DeviceSimulatorOptions m_options;
    SimulatedPortList *m_portList;
    QThread m_thread;
    DeviceSimulator *m_simulator = nullptr;
    QString m_errorString;
    QString m_portName;
};

} // namespace DeviceSim

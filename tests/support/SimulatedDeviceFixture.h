#pragma once

#include "support/LinkClient.h"
#include "support/TrappedTest.h"
#include "tools/devicesim/DeviceSimulator.h"
#include "tools/devicesim/SimulatedPortList.h"

#include <QObject>
#include <QSerialPort>
#include <QTemporaryDir>
#include <memory>

namespace TestSupport {

// The shared set-up of tests that talk to one simulated device through a real serial port:
// every test function gets a fresh folder for the device's port, afterwards the PC's port,
// the device and the folder go, and any warning or critical message Qt printed meanwhile
// fails the test (TrappedTest). A test class derives from this one.
class SimulatedDeviceFixture : public TrappedTest
{
    Q_OBJECT

protected:
    // Starts a device with the given options (its port in the test's folder, listed in
    // m_ports) and a PC connected to it. False, with a warning that fails the test, when
    // either cannot be opened.
    bool openDevice(DeviceSim::DeviceSimulatorOptions options,
                    QSerialPort::FlowControl flowControl = QSerialPort::NoFlowControl);
    // The barrier for a line whose faults bend the device's answers: the device puts
    // lineMarker() on the line as it is, behind everything it has queued, and the PC waits
    // for it. The line is first-in first-out, so the PC then holds every byte the device wrote
    // before. The marker stays among the PC's packets and bytes.
    bool drainLine(int timeoutMs = 5000);
    // A Display "GetName" answer of "Marker".
    static QByteArray lineMarker();

    std::unique_ptr<QTemporaryDir> m_folder;
    DeviceSim::SimulatedPortList m_ports;
    std::unique_ptr<DeviceSim::DeviceSimulator> m_device;
    std::unique_ptr<LinkClient> m_pc;

    void setUp() override;
    void tearDown() override;
};

} // namespace TestSupport

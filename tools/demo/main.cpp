// k27-demo: the service tool as the program runs it (login, connect screen, main window) with
// two simulated devices in the same process instead of hardware. The devices come through the
// port manager's port source; everything else is the program's own code. Every device window
// and the main window's status bar say "SIMULATED DEVICE".

#include "DemoDevices.h"
#include "SimulatedDeviceMarker.h"
#include "application/windows/MainScreen.h"
#include "application/windows/StartUp.h"
#include "tools/devicesim/SimulatedPortList.h"
#include "tools/devicesim/SimulatorThread.h"

#include <QApplication>
#include <QTextStream>
#include <memory>
#include <vector>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QTextStream err(stderr);

    DeviceSim::SimulatedPortList ports;
    std::vector<std::unique_ptr<DeviceSim::SimulatorThread>> devices;
    for (int index = 0; index < DemoDevices::count; ++index) {
        DeviceSim::DeviceSimulatorOptions options;
        QString message;
        if (!DemoDevices::options(index, &options, &message)) {
            err << "k27-demo: " << message << "\n";
            return 1;
        }
        auto device = std::make_unique<DeviceSim::SimulatorThread>(options, &ports);
        if (!device->start()) {
            err << "k27-demo: cannot start a simulated device: " << device->errorString() << "\n";
            return 1;
        }
        devices.push_back(std::move(device));
    }

    SimulatedDeviceMarker marker;
    Application::K27::StartUp startUp(ports.source());
    QObject::connect(&startUp, &Application::K27::StartUp::mainScreenStarting, &marker,
                     &SimulatedDeviceMarker::mark);
    const int exitCode = startUp.run();
    // The windows are gone; the devices stop with their threads.
    return exitCode;
}

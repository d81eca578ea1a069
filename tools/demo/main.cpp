// k27-demo: the service tool as the program runs it (login, connect screen, main window) with
// two simulated devices in the same process instead of hardware. The devices come through the
// port manager's port source; everything else is the program's own code. Every device window
// and the main window's status bar say "SIMULATED DEVICE".

#include "SimulatedDeviceMarker.h"
#include "application/MainScreen.h"
#include "application/StartUp.h"
#include "tools/devicesim/DeviceSimulatorOptions.h"
#include "tools/devicesim/SimulatedPortList.h"
#include "tools/devicesim/SimulatorThread.h"

#include <QApplication>
#include <QTextStream>
#include <memory>
#include <vector>

namespace {

struct DemoDevice
{
    const char *portName;
    const char *articleNumber;
    const char *serialNumber;
};

// A Serra and a Serra Plus, so that both picture families show.
const DemoDevice demoDevices[] = {
    {"ttyK27DEMO0", "36250", "27100451"},
    {"ttyK27DEMO1", "36262", "27200987"},
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QTextStream err(stderr);

    DeviceSim::SimulatedPortList ports;
    std::vector<std::unique_ptr<DeviceSim::SimulatorThread>> devices;
    for (const DemoDevice &demo : demoDevices) {
        DeviceSim::DeviceSimulatorOptions options;
        options.portName = QString::fromLatin1(demo.portName);
        options.platform = {0x00040304, 0x01000000, 0x01000000, 0};
        QString message;
        if (!options.setModelValue(QStringLiteral("ArticleNumber"),
                                   QString::fromLatin1(demo.articleNumber), &message)
            || !options.setModelValue(QStringLiteral("SerialNumber"),
                                      QString::fromLatin1(demo.serialNumber), &message)
            || !options.setModelValue(QStringLiteral("HardwareIDControllerBoard"),
                                      QStringLiteral("1"), &message)
            || !options.setModelValue(QStringLiteral("HardwareIDPowerBoard"), QStringLiteral("42"),
                                      &message)
            || !options.setModelValue(QStringLiteral("HardwareIDDisplayBoard"), QStringLiteral("3"),
                                      &message)) {
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

#pragma once

#include "component/SerialPortManager.h"
#include "tools/devicesim/DeviceSimulatorOptions.h"

#include <QString>

// The devices k27-demo runs: a Serra and a Serra Plus, so that both picture families show. The
// screenshots of the README show the same two.
class DemoDevices
{
public:
    static constexpr int count = 2;
    enum Index { Serra = 0, SerraPlus = 1 };
    // How long a demo device's port stays away while its platform restarts (into its bootloader
    // for an update, back into its application after one), as the real device's port does: long
    // enough for two polls of the port manager to see it gone, so that an update sees the
    // device leave and come back.
    static constexpr int usbAwayMs = 2 * Application::K27::SerialPortManager::pollInterval
        + Application::K27::SerialPortManager::pollInterval / 2;

    // The options of a demo device, on its own port name; false with the reason in error.
    static bool options(int index, DeviceSim::DeviceSimulatorOptions *options, QString *error);
};

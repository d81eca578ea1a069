#pragma once

#include "tools/devicesim/DeviceSimulatorOptions.h"

#include <QString>

// The devices k27-demo runs: a Serra and a Serra Plus, so that both picture families show. The
// screenshots of the README show the same two.
class DemoDevices
{
public:
    static constexpr int count = 2;
    enum Index { Serra = 0, SerraPlus = 1 };

    // The options of a demo device, on its own port name; false with the reason in error.
    static bool options(int index, DeviceSim::DeviceSimulatorOptions *options, QString *error);
};

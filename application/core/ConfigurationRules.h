#pragma once

#include <QString>

namespace Application::K27 {

// The rules of the Configuration page that need no widget: when a change the user made
// differs from what the device has (only then is it written), and when a lowered maximum
// forces a threshold down on the device.
class ConfigurationRules
{
public:
    // The nominal current spin box shows one decimal; closer than half a step is the same
    // setting.
    static bool nominalCurrentUnchanged(double edited, float current);
    // Thresholds are the same only when exactly equal.
    static bool thresholdUnchanged(double edited, float current);
    // A threshold the device has above a newly lowered maximum must come down to it.
    static bool exceedsMaximum(float threshold, float maximum);
    // The name of a trip class index, empty for an index without one.
    static QString tripClassName(int index);
};

} // namespace Application::K27

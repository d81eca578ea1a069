#pragma once

#include "application/core/Settings.h"
#include "model/interfaces/ModelValueID.h"

#include <QList>
#include <QString>
#include <optional>

namespace Model::Database {
class ModelSettings;
} // namespace Model::Database

namespace Application::K27 {

// The rules of the device's settings that need no widget: the range a setting may take given
// the device's other values, when a change the user made differs from what the device has
// (only then is it written), and when a lowered maximum forces a threshold down on the device.
// The device window, the settings file and k27ctl all ask here.
class ConfigurationRules
{
public:
    using Range = Settings::Range;

    // The range the value may take now, both ends included, given the device's other values
    // as the model holds them: the trip class up to "TripClassMax", the nominal current up to
    // "NominalCurrentMax", the undercurrent and load asymmetry thresholds up to the nominal
    // current (and no further than the catalogue allows: the load asymmetry threshold ends at
    // 1.0), the other thresholds and the fault types their own range. The lower ends are the
    // catalogue's. This is the one range of a setting: the Configuration page's fields, the
    // settings file's checks and k27ctl take it from here. nominalCurrent, when
    // given, stands for the device's nominal current (the one a change about to be written
    // brings). Empty for a value without such a rule (switches, values that are no setting).
    static std::optional<Range> allowedRange(Model::Interfaces::ModelValueID value,
                                             Model::Database::ModelSettings &model,
                                             std::optional<float> nominalCurrent = std::nullopt);
    // The values whose contents allowedRange reads for the value, besides the value itself.
    static QList<Model::Interfaces::ModelValueID>
    rangeDependsOn(Model::Interfaces::ModelValueID value);

    // The nominal current spin box shows one decimal; closer than half a step is the same
    // setting.
    static bool nominalCurrentUnchanged(double edited, float current);
    // Thresholds are the same only when exactly equal in the device's single precision.
    static bool thresholdUnchanged(double edited, float current);
    // A threshold the device has above a newly lowered maximum must come down to it (when the
    // user lowers the nominal current below it).
    static bool exceedsMaximum(float threshold, float maximum);
    // The name of a trip class index, empty for an index without one.
    static QString tripClassName(int index);
};

} // namespace Application::K27

#include "model/interfaces/ModelValueID.h"

namespace Model::Interfaces {

namespace {
constexpr const char *valueNames[] = {"TripClass",
                                      "TripClassMax",
                                      "NominalCurrent",
                                      "NominalCurrentMax",
                                      "SoftstartEnable",
                                      "SoftstartRampUpTime",
                                      "SoftstartRampDownTime",
                                      "SoftstartMinVoltage",
                                      "CapacityDevice",
                                      "CapacityIndicator",
                                      "OperatingMode",
                                      "Settings",
                                      "SubSettingSoftstart",
                                      "SubSettingUndercurrent",
                                      "SubSettingUndervoltage",
                                      "SubSettingAbout",
                                      "SubSettingLimit",
                                      "Warning",
                                      "Error",
                                      "FaultPhase",
                                      "MeasurementPhase",
                                      "HousingEdge",
                                      "HousingBrightnessRed",
                                      "HousingBrightnessYellow",
                                      "PlatformState",
                                      "UndercurrentEnable",
                                      "UndercurrentThreshold",
                                      "UndercurrentFaultType",
                                      "UndervoltageEnable",
                                      "UndervoltageThreshold",
                                      "UndervoltageFaultType",
                                      "OvervoltageEnable",
                                      "OvervoltageThreshold",
                                      "OvervoltageFaultType",
                                      "MeasurementVoltage",
                                      "MeasurementCurrent",
                                      "MeasurementActivePower",
                                      "MeasurementApparentPower",
                                      "MeasurementReactivePower",
                                      "PlatformVersion",
                                      "HardwareIDControllerBoard",
                                      "HardwareIDPowerBoard",
                                      "HardwareIDDisplayBoard",
                                      "OverloadReset",
                                      "HousingType",
                                      "SerialNumber",
                                      "ArticleNumber",
                                      "ArticleIndex",
                                      "ProductionWeek",
                                      "ProductionYear",
                                      "ProductionDay",
                                      "SettingChanged",
                                      "LoadAsymmetryEnable",
                                      "LoadAsymmetryThreshold",
                                      "LoadAsymmetryFaultType",
                                      "MaxCount"};
static_assert(sizeof(valueNames) / sizeof(valueNames[0]) == toNumber(ModelValueID::MaxCount) + 1,
              "one name per identifier and one for the count");
} // namespace

const char *modelValueName(quint16 id) noexcept
{
    return id <= toNumber(ModelValueID::MaxCount) ? valueNames[id] : "Unknown";
}

} // namespace Model::Interfaces

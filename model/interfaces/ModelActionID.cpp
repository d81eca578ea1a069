#include "model/interfaces/ModelActionID.h"

namespace Model::Interfaces {

namespace {
constexpr const char *actionNames[] = {"ResetError",
                                       "StartVoltageMeasurement",
                                       "StartCurrentMeasurement",
                                       "StartPowerMeasurement",
                                       "StopMeasurement",
                                       "FactoryReset",
                                       "MotorLeftOn",
                                       "MotorRightOn",
                                       "MotorStop",
                                       "MaintenanceSet",
                                       "MaintenanceReset",
                                       "StartDisplayUpdate",
                                       "StopDisplayUpdate"};
static_assert(sizeof(actionNames) / sizeof(actionNames[0]) == toNumber(ModelActionID::MaxCount),
              "one name per action identifier");
} // namespace

const char *modelActionName(quint16 id) noexcept
{
    return id < toNumber(ModelActionID::MaxCount) ? actionNames[id] : "Unknown";
}

} // namespace Model::Interfaces

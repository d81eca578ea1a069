#pragma once

#include <QtGlobal>

namespace Model::Interfaces {

// Identifiers of the commands without a value that the device carries out on
// "FireModelAction". Shared with the device firmware.
enum class ModelActionID : quint16 {
    ResetError = 0,
    StartVoltageMeasurement = 1,
    StartCurrentMeasurement = 2,
    StartPowerMeasurement = 3,
    StopMeasurement = 4,
    FactoryReset = 5,
    MotorLeftOn = 6,
    MotorRightOn = 7,
    MotorStop = 8,
    MaintenanceSet = 9,
    MaintenanceReset = 10,
    StartDisplayUpdate = 11,
    StopDisplayUpdate = 12,
    MaxCount = 13
};

constexpr quint16 toNumber(ModelActionID id) noexcept
{
    return static_cast<quint16>(id);
}

// The name the service-mode terminal prints for an action identifier: 0 "ResetError" ...
// 12 "StopDisplayUpdate"; any other number "Unknown".
const char *modelActionName(quint16 id) noexcept;

inline const char *modelActionName(ModelActionID id) noexcept
{
    return modelActionName(toNumber(id));
}

} // namespace Model::Interfaces

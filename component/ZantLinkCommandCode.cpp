#include "component/ZantLinkCommandCode.h"

#include <array>

namespace Component::K27 {

namespace {
constexpr std::array<const char *, ZantLinkCommandCode::MaxCount + 1> names
    = {"Reset",
       "JumpToBootloader",
       "JumpToApplication",
       "GetSWVersion",
       "GetHALVersion",
       "GetName",
       "SetModelValue",
       "GetModelValue",
       "FireModelAction",
       "ApplicationUpdate",
       "BootloaderUpdate",
       "Memblock",
       "EraseSW",
       "InitEEPROM",
       "DumpEEPROM",
       "InitUserArea",
       "ExternalFlashGetDeviceID",
       "MainButtonSetLED",
       "PhaseCtrlSetRelay",
       "PhaseCtrlSetMosfet",
       "PhaseCtrlGetFailureStatus",
       "PhaseCtrlResetPhase",
       "PhaseCtrlGetReadyStatus",
       "MeasurementSetStaticOffset",
       "MeasurementSetGainOffset",
       "MeasurementGetWaveform",
       "StateMachineGetState",
       "StateMachineResetError",
       "AnalogSignalsSetRelay",
       "FanSetDutyCycle",
       "GetTemperature",
       "GetAuxVoltage",
       "GetSupplyVoltage",
       "GetSupplyState",
       "GetThermalCapacity",
       "SetThermalCapacity",
       "DisplayTestMode",
       "MeasurementGetRMSValue",
       "AnalogSignalsGetInputStatus",
       "GetButtonStatus",
       "MosfetMonitorGetState",
       "MeasurementGetStaticOffset",
       "MeasurementGetGainOffset",
       "MeasurementGetMovingAverageValue",
       "DeviceProtectionGetDCProtection",
       "DeviceProtectionSetDCProtection",
       "MaxCount"};
} // namespace

const char *ZantLinkCommandCode::name(uint16_t code)
{
    return code < names.size() ? names[code] : "Unknown";
}

} // namespace Component::K27

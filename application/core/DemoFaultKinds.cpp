#include "application/core/DemoFaultKinds.h"

#include <array>

namespace Application::K27 {

namespace {

// "DeviceOK", "Overload", "PhaseAsymmetry", "Undercurrent", "SupplyLoss", "UndervoltageSupply",
// "OvervoltageSupply", "Overtemperature", "UndervoltageControl", "OvervoltageControl",
// "SecurityClearance", "SwitchingFrequency".
constexpr std::array<quint8, 12> warningKinds {0, 2, 3, 5, 6, 7, 8, 9, 10, 11, 14, 15};
// "DeviceOK", "ShortCircuit", "Overload", "DeviceError", "PhaseAsymmetry", "Undercurrent",
// "UndervoltageSupply", "OvervoltageSupply", "Overtemperature", "UndervoltageControl",
// "OvervoltageControl".
constexpr std::array<quint8, 11> errorKinds {0, 1, 2, 12, 3, 5, 7, 8, 9, 10, 11};

template<std::size_t N> quint8 kindAt(const std::array<quint8, N> &kinds, int index)
{
    return index >= 0 && std::size_t(index) < N ? kinds[std::size_t(index)] : 0;
}

} // namespace

quint8 DemoFaultKinds::operatingMode(int index)
{
    // "Idle", "Forward", "Backward", "SafetyStop": the index is the mode.
    return index >= 1 && index <= 3 ? quint8(index) : 0;
}

quint8 DemoFaultKinds::warningKind(int index)
{
    return kindAt(warningKinds, index);
}

quint8 DemoFaultKinds::errorKind(int index)
{
    return kindAt(errorKinds, index);
}

} // namespace Application::K27

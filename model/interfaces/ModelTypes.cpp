#include "model/interfaces/ModelTypes.h"

#include <iterator>

namespace Model::Interfaces::ModelTypes {

namespace {
// Looks a number up in a table of texts indexed by number; a null entry or a number past the
// table's end gives the fallback.
template<typename Enum, std::size_t N>
QByteArray lookUp(Enum number, const char *const (&texts)[N], const char *fallback)
{
    const auto index = static_cast<std::size_t>(number);
    if (index < N && texts[index] != nullptr)
        return QByteArray(texts[index]);
    return QByteArray(fallback);
}

constexpr const char *noText = " ";
} // namespace

QByteArray text(GFX::Setting setting)
{
    static constexpr const char *texts[]
        = {"-Back-", "Trip Class", "Current",    "Undercu.", "Undervo.", "Overvo.",
           nullptr,  "Over. Res.", "Fact. Res.", "Man. Op.", nullptr,    "About"};
    return lookUp(setting, texts, noText);
}

QByteArray text(GFX::SoftstartSubSetting setting)
{
    static constexpr const char *texts[] = {"-Back-", "Enable", "Ramp+", "Ramp-", "MinVolt"};
    return lookUp(setting, texts, noText);
}

QByteArray text(GFX::LimitSubSetting setting)
{
    static constexpr const char *texts[] = {"-Back-", "Enable", "Thresh.", "Type"};
    return lookUp(setting, texts, noText);
}

QByteArray text(GFX::AboutSubSetting setting)
{
    static constexpr const char *texts[] = {"-Back-", "HW", "SW"};
    return lookUp(setting, texts, noText);
}

QByteArray text(Settings::TripClass tripClass)
{
    static constexpr const char *texts[] = {"2E", "3E", "5", "10A", "10", "20", "30", "40E"};
    return lookUp(tripClass, texts, "");
}

QByteArray text(Settings::FaultType faultType)
{
    static constexpr const char *texts[] = {"Warning", "Error"};
    return lookUp(faultType, texts, noText);
}

QByteArray text(Operation::Mode mode)
{
    // The device reports 0 while the motor is idle; unknown modes are shown as idle too.
    static constexpr const char *texts[] = {"Idle", "Forward", "Backward", "Safety Stop"};
    return lookUp(mode, texts, "Idle");
}

QByteArray text(Fault::Type type)
{
    static constexpr const char *texts[]
        = {"Device OK",          "Short Circuit",       "Overload",          "Phase Asymmetry",
           "Phase Loss",         "Undercurrent",        "Supply Loss",       "Undervoltage Supply",
           "Overvoltage Supply", "Overtemperature",     "Undervoltage Aux",  "Overvoltage Aux",
           "Device Error",       "Communication Error", "Security Clearance"};
    return lookUp(type, texts, noText);
}

QByteArray text(Fault::Phase phase)
{
    static constexpr const char *texts[] = {"L1", "L2", "L3", "L1 / L2 / L3"};
    return lookUp(phase, texts, noText);
}

QByteArray text(Bootup::PlatformState state)
{
    static constexpr const char *texts[] = {nullptr, "Startup", "Init", "Run"};
    return lookUp(state, texts, noText);
}

} // namespace Model::Interfaces::ModelTypes

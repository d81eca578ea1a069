#include "service/TerminalCommandItem.h"

#include "component/ZantLinkCommandCode.h"
#include "component/ZantLinkPacket.h"

namespace Application::K27 {

using Component::Interfaces::ZantLinkPacket;
using Component::K27::ZantLinkCommandCode;

TerminalCommandItem::Arg::Arg(uint32_t type, const QString &name)
    : m_type(type)
    , m_name(name)
{
}

TerminalCommandItem::Arg::~Arg() = default;

TerminalCommandItem::TerminalCommandItem(const QIcon &icon, const QString &text, uint16_t code,
                                         uint32_t mode, uint8_t source, uint8_t destination,
                                         const ArgList &arguments)
    : QListWidgetItem(icon, text, nullptr, ItemType)
    , m_code(code)
    , m_mode(mode)
    , m_source(source)
    , m_destination(destination)
    , m_arguments(arguments)
{
}

// QListWidgetItem's own copy constructor resets the item type, so the copy takes the type
// first and then the other item's texts, icon and flags.
TerminalCommandItem::TerminalCommandItem(const TerminalCommandItem &other)
    : QListWidgetItem(nullptr, ItemType)
    , m_code(other.m_code)
    , m_mode(other.m_mode)
    , m_source(other.m_source)
    , m_destination(other.m_destination)
    , m_arguments(other.m_arguments)
{
    QListWidgetItem::operator=(other);
}

TerminalCommandItem::~TerminalCommandItem() = default;

QListWidgetItem *TerminalCommandItem::clone() const
{
    return new TerminalCommandItem(*this);
}

void TerminalCommandItem::setArgument(int index, const QSharedPointer<Arg> &argument)
{
    if (index >= 0 && index < m_arguments.size()) {
        m_arguments[index] = argument;
    }
}

QString TerminalCommandItem::iconPath(uint8_t destination)
{
    return destination == ZantLinkPacket::Display ? QStringLiteral(":/images/monitor.png")
                                                  : QStringLiteral(":/images/tower.png");
}

namespace {

using Arg = TerminalCommandItem::Arg;

// One row of the command list; up to three arguments, each a kind and a label.
struct CommandRow
{
    uint8_t destination;
    const char *text;
    uint16_t code;
    uint32_t mode;
    struct
    {
        uint32_t type;
        const char *name;
    } arguments[3];
};

constexpr uint8_t P = ZantLinkPacket::Platform;
constexpr uint8_t D = ZantLinkPacket::Display;
constexpr uint32_t App = TerminalCommandItem::ApplicationMode;
constexpr uint32_t Boot = TerminalCommandItem::BootloaderMode;
constexpr uint32_t Any = TerminalCommandItem::AnyMode;
using C = ZantLinkCommandCode;

const CommandRow commandRows[] = {
    {P, "Reset", C::Reset, Any, {}},
    {P, "GetSWVersion", C::GetSWVersion, Any, {}},
    {P, "GetHALVersion", C::GetHALVersion, Any, {}},
    {P, "GetName", C::GetName, Any, {}},
    {P, "JumpToApplication", C::JumpToApplication, Boot, {}},
    {P, "Memblock", C::Memblock, Boot, {}},
    {P, "InitEEPROM", C::InitEEPROM, Boot, {}},
    {P, "DumpEEPROM", C::DumpEEPROM, Boot, {}},
    {P, "InitUserArea", C::InitUserArea, Boot, {}},
    {P, "JumpToBootloader", C::JumpToBootloader, App, {}},
    {P,
     "ModelSetValue",
     C::SetModelValue,
     App,
     {{Arg::ModelValueID, "ModelValueID"}, {Arg::UInt32, "Value"}}},
    {P, "ModelGetValue", C::GetModelValue, App, {{Arg::ModelValueID, "ModelValueID"}}},
    {P, "ModelFireAction", C::FireModelAction, App, {{Arg::ModelActionID, "ModelActionID"}}},
    {P,
     "PhaseCtrlSetRelay",
     C::PhaseCtrlSetRelay,
     App,
     {{Arg::UInt8, "Index"}, {Arg::UInt8, "Value"}}},
    {P,
     "PhaseCtrlSetMosfet",
     C::PhaseCtrlSetMosfet,
     App,
     {{Arg::UInt8, "Index"}, {Arg::UInt8, "Value"}}},
    {P, "PhaseCtrlGetFailureStatus", C::PhaseCtrlGetFailureStatus, App, {{Arg::UInt8, "Index"}}},
    {P, "PhaseCtrlResetPhase", C::PhaseCtrlResetPhase, App, {{Arg::UInt8, "Index"}}},
    {P, "PhaseCtrlGetReadyStatus", C::PhaseCtrlGetReadyStatus, App, {{Arg::UInt8, "Index"}}},
    {P,
     "MeasurementGetRMSValue",
     C::MeasurementGetRMSValue,
     App,
     {{Arg::UInt8, "Index"}, {Arg::UInt8, "Unit"}}},
    {P,
     "MeasurementGetMovingAverageValue",
     C::MeasurementGetMovingAverageValue,
     App,
     {{Arg::UInt8, "Index"}, {Arg::UInt8, "Unit"}}},
    {P,
     "MeasurementGetStaticOffset",
     C::MeasurementGetStaticOffset,
     App,
     {{Arg::UInt8, "Phase"}, {Arg::UInt8, "Unit"}}},
    {P,
     "MeasurementSetStaticOffset",
     C::MeasurementSetStaticOffset,
     App,
     {{Arg::UInt8, "Phase"}, {Arg::UInt8, "Unit"}, {Arg::Float, "Value"}}},
    {P,
     "MeasurementGetGainOffset",
     C::MeasurementGetGainOffset,
     App,
     {{Arg::UInt8, "Index"}, {Arg::UInt8, "Unit"}}},
    {P,
     "MeasurementSetGainOffset",
     C::MeasurementSetGainOffset,
     App,
     {{Arg::UInt8, "Index"}, {Arg::UInt8, "Unit"}, {Arg::Float, "Value"}}},
    {P,
     "MeasurementGetWaveform",
     C::MeasurementGetWaveform,
     App,
     {{Arg::UInt8, "Index"}, {Arg::UInt8, "Unit"}}},
    {P, "StateMachineGetState", C::StateMachineGetState, App, {}},
    {P, "StateMachineResetError", C::StateMachineResetError, App, {}},
    {P,
     "AnalogSignalsSetRelay",
     C::AnalogSignalsSetRelay,
     App,
     {{Arg::UInt8, "Index"}, {Arg::UInt8, "Value"}}},
    {P, "FanSetDutyCycle", C::FanSetDutyCycle, App, {{Arg::UInt8, "Value"}}},
    {P, "GetTemperature", C::GetTemperature, App, {{Arg::UInt8, "Temperature ID"}}},
    {P, "GetAuxVoltage", C::GetAuxVoltage, App, {}},
    {P, "GetSupplyVoltage", C::GetSupplyVoltage, App, {}},
    {P, "GetSupplyState", C::GetSupplyState, App, {}},
    {P, "GetThermalCapacity", C::GetThermalCapacity, App, {{Arg::UInt8, "Phase"}}},
    {P,
     "SetThermalCapacity",
     C::SetThermalCapacity,
     App,
     {{Arg::UInt8, "Phase"}, {Arg::Float, "Value"}}},
    {P, "ExternalFlashGetDeviceID", C::ExternalFlashGetDeviceID, App, {}},
    {P,
     "AnalogSignalsGetInputStatus",
     C::AnalogSignalsGetInputStatus,
     App,
     {{Arg::UInt8, "Index"}}},
    {P, "MosfetMonitorGetState", C::MosfetMonitorGetState, App, {}},
    {P, "DeviceProtectionGetDCProtection", C::DeviceProtectionGetDCProtection, App, {}},
    {P,
     "DeviceProtectionSetDCProtection",
     C::DeviceProtectionSetDCProtection,
     App,
     {{Arg::UInt8, "Value"}}},
    {D, "Reset", C::Reset, Any, {}},
    {D, "GetSWVersion", C::GetSWVersion, Any, {}},
    {D, "GetHALVersion", C::GetHALVersion, Any, {}},
    {D, "GetName", C::GetName, Any, {}},
    {D, "JumpToApplication", C::JumpToApplication, Boot, {}},
    {D, "Memblock", C::Memblock, Boot, {}},
    {D, "JumpToBootloader", C::JumpToBootloader, App, {}},
    {D,
     "MainButtonSetLED",
     C::MainButtonSetLED,
     App,
     {{Arg::UInt8, "Color"}, {Arg::Float, "Brightness"}}},
    {D, "DisplayTestMode", C::DisplayTestMode, App, {{Arg::UInt8, "TestMode"}}},
    {D, "GetButtonStatus", C::GetButtonStatus, App, {{Arg::UInt8, "ButtonIndex"}}},
};

QSharedPointer<Arg> makeArg(uint32_t type, const QString &name)
{
    switch (type) {
    case Arg::UInt8:
        return QSharedPointer<TerminalCommandItem::UInt8Arg>::create(name);
    case Arg::UInt16:
        return QSharedPointer<TerminalCommandItem::UInt16Arg>::create(name);
    case Arg::UInt32:
        return QSharedPointer<TerminalCommandItem::UInt32Arg>::create(name);
    case Arg::Float:
        return QSharedPointer<TerminalCommandItem::FloatArg>::create(name);
    case Arg::ModelValueID:
        return QSharedPointer<TerminalCommandItem::ModelValueIDArg>::create(name);
    default:
        return QSharedPointer<TerminalCommandItem::ModelActionIDArg>::create(name);
    }
}

} // namespace

std::vector<std::unique_ptr<TerminalCommandItem>> TerminalCommandItem::createCommandItems()
{
    // No icons here: a console tool would load the icon and image plugins for nothing. The
    // window that shows the commands gives its copies their icons (iconPath).
    std::vector<std::unique_ptr<TerminalCommandItem>> items;
    items.reserve(std::size(commandRows));
    for (const CommandRow &row : commandRows) {
        ArgList arguments;
        for (const auto &argument : row.arguments) {
            if (argument.name != nullptr) {
                arguments << makeArg(argument.type, QString::fromLatin1(argument.name));
            }
        }
        items.push_back(std::make_unique<TerminalCommandItem>(
            QIcon(), QString::fromLatin1(row.text), row.code, row.mode, ZantLinkPacket::Host,
            row.destination, arguments));
    }
    return items;
}

} // namespace Application::K27

#pragma once

#include <QByteArray>
#include <QtGlobal>

// The enumerated contents of the device's data points and their display texts. The numbers
// are shared with the device; a number without a text of its own prints as the fallback of
// its enumeration.
namespace Model::Interfaces::ModelTypes {

namespace Measurement {
enum class Phase : quint8 { L1 = 0, L2 = 1, L3 = 2, All = 3 };
} // namespace Measurement

namespace HousingLighting {
enum class Edge : quint8 { Edge1 = 1, Edge2 = 2, Edge3 = 3 };
enum class Type : quint8 { Type0 = 0, Type1, Type2, Type3, Type4, Type5, Type6, Type7, Type8 };
} // namespace HousingLighting

namespace GFX {
// Entries of the device display's settings menu.
enum class Setting : quint8 {
    Back = 0,
    TripClass = 1,
    Current = 2,
    Undercurrent = 3,
    Undervoltage = 4,
    Overvoltage = 5,
    OverloadReset = 7,
    FactoryReset = 8,
    ManualOperation = 9,
    About = 11
};
enum class AboutSubSetting : quint8 { Back = 0, Hardware = 1, Software = 2 };
enum class LimitSubSetting : quint8 { Back = 0, Enable = 1, Threshold = 2, Type = 3 };
enum class SoftstartSubSetting : quint8 {
    Back = 0,
    Enable = 1,
    RampUp = 2,
    RampDown = 3,
    MinimumVoltage = 4
};
} // namespace GFX

namespace Fault {
enum class Type : quint8 {
    DeviceOk = 0,
    ShortCircuit = 1,
    Overload = 2,
    PhaseAsymmetry = 3,
    PhaseLoss = 4,
    Undercurrent = 5,
    SupplyLoss = 6,
    UndervoltageSupply = 7,
    OvervoltageSupply = 8,
    Overtemperature = 9,
    UndervoltageAux = 10,
    OvervoltageAux = 11,
    DeviceError = 12,
    CommunicationError = 13,
    SecurityClearance = 14
};
enum class Phase : quint8 { L1 = 0, L2 = 1, L3 = 2, All = 3 };
} // namespace Fault

namespace Bootup {
enum class PlatformState : quint8 { Startup = 1, Init = 2, Run = 3 };
} // namespace Bootup

namespace Settings {
enum class FaultType : quint8 { Warning = 0, Error = 1 };
enum class TripClass : quint8 {
    Class2E = 0,
    Class3E = 1,
    Class5 = 2,
    Class10A = 3,
    Class10 = 4,
    Class20 = 5,
    Class30 = 6,
    Class40E = 7
};
} // namespace Settings

namespace Operation {
enum class Mode : quint8 { Idle = 0, Forward = 1, Backward = 2, SafetyStop = 3 };
} // namespace Operation

namespace Information {
// The article numbers of the device variants.
enum class DeviceType : quint32 {
    Serra2_6A = 36246,
    Serra6_6A = 36250,
    SerraPlus2_6A = 36258,
    SerraPlus6_6A = 36262
};
} // namespace Information

// Display texts. Numbers without a text give " " (one space), except the trip classes
// (empty text) and the operating modes ("Idle").
QByteArray text(GFX::Setting setting);
QByteArray text(GFX::SoftstartSubSetting setting);
QByteArray text(GFX::LimitSubSetting setting);
QByteArray text(GFX::AboutSubSetting setting);
QByteArray text(Settings::TripClass tripClass);
QByteArray text(Settings::FaultType faultType);
QByteArray text(Operation::Mode mode);
QByteArray text(Fault::Type type);
QByteArray text(Fault::Phase phase);
QByteArray text(Bootup::PlatformState state);

} // namespace Model::Interfaces::ModelTypes

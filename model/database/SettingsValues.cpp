#include "model/database/SettingsValues.h"

namespace Model::Database {

using Component::Interfaces::AbstractApplication;
using Model::Interfaces::ModelIPCValueObserver;
namespace TextForm = Model::Interfaces::TextForm;

namespace GFX {

SettingValue::SettingValue(AbstractApplication *application, ModelIPCValueObserver *observer)
    : ModelDisplayValue(Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::Settings),
                        static_cast<Types::GFX::Setting>(1), static_cast<Types::GFX::Setting>(0),
                        static_cast<Types::GFX::Setting>(11), application, observer)
{
}

QByteArray SettingValue::format(const Types::GFX::Setting &content) const
{
    return Types::text(content);
}

SubSettingSoftstart::SubSettingSoftstart(AbstractApplication *application,
                                         ModelIPCValueObserver *observer)
    : ModelDisplayValue(
        Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::SubSettingSoftstart),
        static_cast<Types::GFX::SoftstartSubSetting>(1),
        static_cast<Types::GFX::SoftstartSubSetting>(0),
        static_cast<Types::GFX::SoftstartSubSetting>(4), application, observer)
{
}

QByteArray SubSettingSoftstart::format(const Types::GFX::SoftstartSubSetting &content) const
{
    return Types::text(content);
}

SubSettingLimit::SubSettingLimit(AbstractApplication *application, ModelIPCValueObserver *observer)
    : ModelDisplayValue(
        Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::SubSettingLimit),
        static_cast<Types::GFX::LimitSubSetting>(1), static_cast<Types::GFX::LimitSubSetting>(0),
        static_cast<Types::GFX::LimitSubSetting>(3), application, observer)
{
}

QByteArray SubSettingLimit::format(const Types::GFX::LimitSubSetting &content) const
{
    return Types::text(content);
}

} // namespace GFX

namespace Setting {

MaxTripClassValue::MaxTripClassValue(AbstractApplication *application,
                                     ModelIPCValueObserver *observer)
    : ModelDisplayValue(Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::TripClassMax),
                        static_cast<Types::Settings::TripClass>(7),
                        static_cast<Types::Settings::TripClass>(0),
                        static_cast<Types::Settings::TripClass>(7), application, observer)
{
}

QByteArray MaxTripClassValue::format(const Types::Settings::TripClass &content) const
{
    return Types::text(content);
}

TripClassValue::TripClassValue(AbstractApplication *application, ModelIPCValueObserver *observer)
    : ModelDisplayValue(Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::TripClass),
                        static_cast<Types::Settings::TripClass>(0),
                        static_cast<Types::Settings::TripClass>(0),
                        static_cast<Types::Settings::TripClass>(7), application, observer)
{
}

QByteArray TripClassValue::format(const Types::Settings::TripClass &content) const
{
    return Types::text(content);
}

MaxNominalCurrentValue::MaxNominalCurrentValue(AbstractApplication *application,
                                               ModelIPCValueObserver *observer)
    : ModelDisplayValue(
        Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::NominalCurrentMax), 9.9f, 0.1f,
        9.9f, application, observer)
{
}

QByteArray MaxNominalCurrentValue::format(const float &content) const
{
    return TextForm::oneDecimal(content);
}

float MaxNominalCurrentValue::stepDown(const float &content) const
{
    return TextForm::tenthsStepDown(content, minimum(), maximum());
}

float MaxNominalCurrentValue::stepUp(const float &content) const
{
    return TextForm::tenthsStepUp(content, minimum(), maximum());
}

NominalCurrentValue::NominalCurrentValue(AbstractApplication *application,
                                         ModelIPCValueObserver *observer)
    : ModelDisplayValue(
        Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::NominalCurrent), 1.0f, 0.1f,
        9.9f, application, observer)
{
}

QByteArray NominalCurrentValue::format(const float &content) const
{
    return TextForm::oneDecimal(content);
}

float NominalCurrentValue::stepDown(const float &content) const
{
    return TextForm::tenthsStepDown(content, minimum(), maximum());
}

float NominalCurrentValue::stepUp(const float &content) const
{
    return TextForm::tenthsStepUp(content, minimum(), maximum());
}

SoftstartEnableValue::SoftstartEnableValue(AbstractApplication *application,
                                           ModelIPCValueObserver *observer)
    : ModelDisplayValue(
        Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::SoftstartEnable), false, false,
        true, application, observer)
{
}

QByteArray SoftstartEnableValue::format(const bool &content) const
{
    return content ? QByteArrayLiteral("Enable") : QByteArrayLiteral("Disable");
}

SoftstartRampUpTimeValue::SoftstartRampUpTimeValue(AbstractApplication *application,
                                                   ModelIPCValueObserver *observer)
    : ModelDisplayValue(
        Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::SoftstartRampUpTime), 2.0f,
        0.0f, 20.0f, application, observer)
{
}

QByteArray SoftstartRampUpTimeValue::format(const float &content) const
{
    return TextForm::oneDecimal(content);
}

float SoftstartRampUpTimeValue::stepDown(const float &content) const
{
    return TextForm::tenthsStepDown(content, minimum(), maximum());
}

float SoftstartRampUpTimeValue::stepUp(const float &content) const
{
    return TextForm::tenthsStepUp(content, minimum(), maximum());
}

SoftstartRampDownTimeValue::SoftstartRampDownTimeValue(AbstractApplication *application,
                                                       ModelIPCValueObserver *observer)
    : ModelDisplayValue(
        Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::SoftstartRampDownTime), 2.0f,
        0.0f, 20.0f, application, observer)
{
}

QByteArray SoftstartRampDownTimeValue::format(const float &content) const
{
    return TextForm::oneDecimal(content);
}

float SoftstartRampDownTimeValue::stepDown(const float &content) const
{
    return TextForm::tenthsStepDown(content, minimum(), maximum());
}

float SoftstartRampDownTimeValue::stepUp(const float &content) const
{
    return TextForm::tenthsStepUp(content, minimum(), maximum());
}

SoftstartMinimumVoltageValue::SoftstartMinimumVoltageValue(AbstractApplication *application,
                                                           ModelIPCValueObserver *observer)
    : ModelDisplayValue(
        Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::SoftstartMinVoltage), 50, 0,
        100, application, observer)
{
}

UndercurrentEnableValue::UndercurrentEnableValue(AbstractApplication *application,
                                                 ModelIPCValueObserver *observer)
    : ModelDisplayValue(
        Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::UndercurrentEnable), false,
        false, true, application, observer)
{
}

QByteArray UndercurrentEnableValue::format(const bool &content) const
{
    return content ? QByteArrayLiteral("Enable") : QByteArrayLiteral("Disable");
}

UndercurrentThresholdValue::UndercurrentThresholdValue(AbstractApplication *application,
                                                       ModelIPCValueObserver *observer)
    : ModelDisplayValue(
        Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::UndercurrentThreshold), 0.1f,
        0.0f, catalogueMaximum, application, observer)
{
}

QByteArray UndercurrentThresholdValue::format(const float &content) const
{
    return TextForm::oneDecimal(content);
}

float UndercurrentThresholdValue::stepDown(const float &content) const
{
    return TextForm::tenthsStepDown(content, minimum(), maximum());
}

float UndercurrentThresholdValue::stepUp(const float &content) const
{
    return TextForm::tenthsStepUp(content, minimum(), maximum());
}

UndercurrentFaultValue::UndercurrentFaultValue(AbstractApplication *application,
                                               ModelIPCValueObserver *observer)
    : ModelDisplayValue(
        Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::UndercurrentFaultType),
        static_cast<Types::Settings::FaultType>(0), static_cast<Types::Settings::FaultType>(0),
        static_cast<Types::Settings::FaultType>(1), application, observer)
{
}

QByteArray UndercurrentFaultValue::format(const Types::Settings::FaultType &content) const
{
    return Types::text(content);
}

UndervoltageEnableValue::UndervoltageEnableValue(AbstractApplication *application,
                                                 ModelIPCValueObserver *observer)
    : ModelDisplayValue(
        Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::UndervoltageEnable), false,
        false, true, application, observer)
{
}

QByteArray UndervoltageEnableValue::format(const bool &content) const
{
    return content ? QByteArrayLiteral("Enable") : QByteArrayLiteral("Disable");
}

UndervoltageThresholdValue::UndervoltageThresholdValue(AbstractApplication *application,
                                                       ModelIPCValueObserver *observer)
    : ModelDisplayValue(
        Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::UndervoltageThreshold), 207.0f,
        0.0f, 600.0f, application, observer)
{
}

QByteArray UndervoltageThresholdValue::format(const float &content) const
{
    return TextForm::wholeNumber(content);
}

float UndervoltageThresholdValue::stepDown(const float &content) const
{
    return TextForm::unitsStepDown(content, minimum(), maximum());
}

float UndervoltageThresholdValue::stepUp(const float &content) const
{
    return TextForm::unitsStepUp(content, minimum(), maximum());
}

UndervoltageFaultValue::UndervoltageFaultValue(AbstractApplication *application,
                                               ModelIPCValueObserver *observer)
    : ModelDisplayValue(
        Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::UndervoltageFaultType),
        static_cast<Types::Settings::FaultType>(0), static_cast<Types::Settings::FaultType>(0),
        static_cast<Types::Settings::FaultType>(1), application, observer)
{
}

QByteArray UndervoltageFaultValue::format(const Types::Settings::FaultType &content) const
{
    return Types::text(content);
}

OvervoltageEnableValue::OvervoltageEnableValue(AbstractApplication *application,
                                               ModelIPCValueObserver *observer)
    : ModelDisplayValue(
        Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::OvervoltageEnable), false,
        false, true, application, observer)
{
}

QByteArray OvervoltageEnableValue::format(const bool &content) const
{
    return content ? QByteArrayLiteral("Enable") : QByteArrayLiteral("Disable");
}

OvervoltageThresholdValue::OvervoltageThresholdValue(AbstractApplication *application,
                                                     ModelIPCValueObserver *observer)
    : ModelDisplayValue(
        Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::OvervoltageThreshold), 253.0f,
        0.0f, 600.0f, application, observer)
{
}

QByteArray OvervoltageThresholdValue::format(const float &content) const
{
    return TextForm::wholeNumber(content);
}

float OvervoltageThresholdValue::stepDown(const float &content) const
{
    return TextForm::unitsStepDown(content, minimum(), maximum());
}

float OvervoltageThresholdValue::stepUp(const float &content) const
{
    return TextForm::unitsStepUp(content, minimum(), maximum());
}

OvervoltageFaultValue::OvervoltageFaultValue(AbstractApplication *application,
                                             ModelIPCValueObserver *observer)
    : ModelDisplayValue(
        Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::OvervoltageFaultType),
        static_cast<Types::Settings::FaultType>(0), static_cast<Types::Settings::FaultType>(0),
        static_cast<Types::Settings::FaultType>(1), application, observer)
{
}

QByteArray OvervoltageFaultValue::format(const Types::Settings::FaultType &content) const
{
    return Types::text(content);
}

OverloadResetValue::OverloadResetValue(AbstractApplication *application,
                                       ModelIPCValueObserver *observer)
    : ModelDisplayValue(Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::OverloadReset),
                        false, false, true, application, observer)
{
}

QByteArray OverloadResetValue::format(const bool &content) const
{
    return content ? QByteArrayLiteral("Automatic") : QByteArrayLiteral("Manual");
}

LoadAsymmetryEnableValue::LoadAsymmetryEnableValue(AbstractApplication *application,
                                                   ModelIPCValueObserver *observer)
    : ModelDisplayValue(
        Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::LoadAsymmetryEnable), false,
        false, true, application, observer)
{
}

QByteArray LoadAsymmetryEnableValue::format(const bool &content) const
{
    return content ? QByteArrayLiteral("Enable") : QByteArrayLiteral("Disable");
}

LoadAsymmetryThresholdValue::LoadAsymmetryThresholdValue(AbstractApplication *application,
                                                         ModelIPCValueObserver *observer)
    : ModelDisplayValue(
        Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::LoadAsymmetryThreshold), 0.01f,
        0.01f, catalogueMaximum, application, observer)
{
}

QByteArray LoadAsymmetryThresholdValue::format(const float &content) const
{
    return TextForm::oneDecimal(content);
}

float LoadAsymmetryThresholdValue::stepDown(const float &content) const
{
    return TextForm::tenthsStepDown(content, minimum(), maximum());
}

float LoadAsymmetryThresholdValue::stepUp(const float &content) const
{
    return TextForm::tenthsStepUp(content, minimum(), maximum());
}

LoadAsymmetryFaultValue::LoadAsymmetryFaultValue(AbstractApplication *application,
                                                 ModelIPCValueObserver *observer)
    : ModelDisplayValue(
        Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::LoadAsymmetryFaultType),
        static_cast<Types::Settings::FaultType>(0), static_cast<Types::Settings::FaultType>(0),
        static_cast<Types::Settings::FaultType>(1), application, observer)
{
}

QByteArray LoadAsymmetryFaultValue::format(const Types::Settings::FaultType &content) const
{
    return Types::text(content);
}

} // namespace Setting

} // namespace Model::Database

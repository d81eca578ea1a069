#include "model/database/MeasurementValues.h"

namespace Model::Database {

using Component::Interfaces::AbstractApplication;
using Model::Interfaces::ModelIPCValueObserver;
namespace TextForm = Model::Interfaces::TextForm;

namespace Measurement {

CurrentValue::CurrentValue(AbstractApplication *application, ModelIPCValueObserver *observer)
    : ModelDisplayValue(
        Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::MeasurementCurrent), 0.0f,
        0.0f, 100.0f, application, observer)
{
}

QByteArray CurrentValue::format(const float &content) const
{
    return TextForm::oneDecimal(content);
}

float CurrentValue::stepDown(const float &content) const
{
    return TextForm::tenthsStepDown(content, minimum(), maximum());
}

float CurrentValue::stepUp(const float &content) const
{
    return TextForm::tenthsStepUp(content, minimum(), maximum());
}

VoltageValue::VoltageValue(AbstractApplication *application, ModelIPCValueObserver *observer)
    : ModelDisplayValue(
        Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::MeasurementVoltage), 0.0f,
        0.0f, 600.0f, application, observer)
{
}

// Whole volts, rounded, never above the maximum.
QByteArray VoltageValue::format(const float &content) const
{
    return TextForm::roundedCapped(content, maximum());
}

float VoltageValue::stepDown(const float &content) const
{
    return TextForm::tenthsStepDown(content, minimum(), maximum());
}

float VoltageValue::stepUp(const float &content) const
{
    return TextForm::tenthsStepUp(content, minimum(), maximum());
}

ActivePowerValue::ActivePowerValue(AbstractApplication *application,
                                   ModelIPCValueObserver *observer)
    : ModelDisplayValue(
        Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::MeasurementActivePower), 0.0f,
        0.0f, 9999.0f, application, observer)
{
}

// Kilowatts with two decimals, cut, never above maximum / 1000.
QByteArray ActivePowerValue::format(const float &content) const
{
    return TextForm::thousandthsCapped(content, maximum());
}

ApparentPowerValue::ApparentPowerValue(AbstractApplication *application,
                                       ModelIPCValueObserver *observer)
    : ModelDisplayValue(
        Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::MeasurementApparentPower),
        0.0f, 0.0f, 9999.0f, application, observer)
{
}

// Kilowatts with two decimals, cut, never above maximum / 1000.
QByteArray ApparentPowerValue::format(const float &content) const
{
    return TextForm::thousandthsCapped(content, maximum());
}

ReactivePowerValue::ReactivePowerValue(AbstractApplication *application,
                                       ModelIPCValueObserver *observer)
    : ModelDisplayValue(
        Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::MeasurementReactivePower),
        0.0f, 0.0f, 9999.0f, application, observer)
{
}

// Kilowatts with two decimals, cut, never above maximum / 1000.
QByteArray ReactivePowerValue::format(const float &content) const
{
    return TextForm::thousandthsCapped(content, maximum());
}

PhaseValue::PhaseValue(AbstractApplication *application, ModelIPCValueObserver *observer)
    : ModelDisplayValue(
        Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::MeasurementPhase),
        static_cast<Types::Measurement::Phase>(0), static_cast<Types::Measurement::Phase>(0),
        static_cast<Types::Measurement::Phase>(3), application, observer)
{
}

} // namespace Measurement

} // namespace Model::Database

#pragma once

#include "model/interfaces/ModelDisplayValue.h"
#include "model/interfaces/ModelTypes.h"

// The values of the ModelMeasurement group: the live measurements. Each class fixes its identifier,
// default content, range, text form and step.

namespace Model::Database {

namespace Types = Model::Interfaces::ModelTypes;

namespace Measurement {

class CurrentValue final : public Model::Interfaces::ModelDisplayValue<float>
{
public:
    CurrentValue(Component::Interfaces::AbstractApplication *application,
                 Model::Interfaces::ModelIPCValueObserver *observer);

    QByteArray format(const float &content) const override;
    float stepDown(const float &content) const override;
    float stepUp(const float &content) const override;
};

class VoltageValue final : public Model::Interfaces::ModelDisplayValue<float>
{
public:
    VoltageValue(Component::Interfaces::AbstractApplication *application,
                 Model::Interfaces::ModelIPCValueObserver *observer);

    QByteArray format(const float &content) const override;
    float stepDown(const float &content) const override;
    float stepUp(const float &content) const override;
};

class ActivePowerValue final : public Model::Interfaces::ModelDisplayValue<float>
{
public:
    ActivePowerValue(Component::Interfaces::AbstractApplication *application,
                     Model::Interfaces::ModelIPCValueObserver *observer);

    QByteArray format(const float &content) const override;
};

class ApparentPowerValue final : public Model::Interfaces::ModelDisplayValue<float>
{
public:
    ApparentPowerValue(Component::Interfaces::AbstractApplication *application,
                       Model::Interfaces::ModelIPCValueObserver *observer);

    QByteArray format(const float &content) const override;
};

class ReactivePowerValue final : public Model::Interfaces::ModelDisplayValue<float>
{
public:
    ReactivePowerValue(Component::Interfaces::AbstractApplication *application,
                       Model::Interfaces::ModelIPCValueObserver *observer);

    QByteArray format(const float &content) const override;
};

class PhaseValue final : public Model::Interfaces::ModelDisplayValue<Types::Measurement::Phase>
{
public:
    PhaseValue(Component::Interfaces::AbstractApplication *application,
               Model::Interfaces::ModelIPCValueObserver *observer);
};

} // namespace Measurement

} // namespace Model::Database

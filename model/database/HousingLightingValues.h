#pragma once

#include "model/interfaces/ModelDisplayValue.h"
#include "model/interfaces/ModelTypes.h"

// The values of the ModelHousingLighting group: the housing lighting. Each class fixes its
// identifier, default content, range, text form and step.

namespace Model::Database {

namespace Types = Model::Interfaces::ModelTypes;

namespace HousingLighting {

class EdgeValue final : public Model::Interfaces::ModelDisplayValue<Types::HousingLighting::Edge>
{
public:
    EdgeValue(Component::Interfaces::AbstractApplication *application,
              Model::Interfaces::ModelIPCValueObserver *observer);
};

class BrightnessRedValue final : public Model::Interfaces::ModelDisplayValue<quint8>
{
public:
    BrightnessRedValue(Component::Interfaces::AbstractApplication *application,
                       Model::Interfaces::ModelIPCValueObserver *observer);
};

class BrightnessYellowValue final : public Model::Interfaces::ModelDisplayValue<quint8>
{
public:
    BrightnessYellowValue(Component::Interfaces::AbstractApplication *application,
                          Model::Interfaces::ModelIPCValueObserver *observer);
};

class HousingTypeValue final
    : public Model::Interfaces::ModelDisplayValue<Types::HousingLighting::Type>
{
public:
    HousingTypeValue(Component::Interfaces::AbstractApplication *application,
                     Model::Interfaces::ModelIPCValueObserver *observer);

    QByteArray format(const Types::HousingLighting::Type &content) const override;
};

} // namespace HousingLighting

} // namespace Model::Database

#pragma once

#include "model/interfaces/ModelDisplayValue.h"
#include "model/interfaces/ModelTypes.h"

// The values of the ModelOperation group: the motor's operating mode and thermal capacity. Each
// class fixes its identifier, default content, range, text form and step.

namespace Model::Database {

namespace Types = Model::Interfaces::ModelTypes;

namespace Operation {

class OperatingModeValue final : public Model::Interfaces::ModelDisplayValue<Types::Operation::Mode>
{
public:
    OperatingModeValue(Component::Interfaces::AbstractApplication *application,
                       Model::Interfaces::ModelIPCValueObserver *observer);

    QByteArray format(const Types::Operation::Mode &content) const override;
};

class CapacityValue final : public Model::Interfaces::ModelDisplayValue<quint8>
{
public:
    CapacityValue(Component::Interfaces::AbstractApplication *application,
                  Model::Interfaces::ModelIPCValueObserver *observer);
};

} // namespace Operation

} // namespace Model::Database

#pragma once

#include "model/interfaces/ModelDisplayValue.h"
#include "model/interfaces/ModelTypes.h"

// The values of the ModelFaults group: the current warning and error with the affected phase. Each
// class fixes its identifier, default content, range, text form and step.

namespace Model::Database {

namespace Types = Model::Interfaces::ModelTypes;

namespace Fault {

class WarningValue final : public Model::Interfaces::ModelDisplayValue<Types::Fault::Type>
{
public:
    WarningValue(Component::Interfaces::AbstractApplication *application,
                 Model::Interfaces::ModelIPCValueObserver *observer);

    QByteArray format(const Types::Fault::Type &content) const override;
};

class PhaseValue final : public Model::Interfaces::ModelDisplayValue<Types::Fault::Phase>
{
public:
    PhaseValue(Component::Interfaces::AbstractApplication *application,
               Model::Interfaces::ModelIPCValueObserver *observer);

    QByteArray format(const Types::Fault::Phase &content) const override;
};

class ErrorValue final : public Model::Interfaces::ModelDisplayValue<Types::Fault::Type>
{
public:
    ErrorValue(Component::Interfaces::AbstractApplication *application,
               Model::Interfaces::ModelIPCValueObserver *observer);

    QByteArray format(const Types::Fault::Type &content) const override;
};

} // namespace Fault

} // namespace Model::Database

#pragma once

#include "model/interfaces/ModelDisplayValue.h"
#include "model/interfaces/ModelTypes.h"

// The values of the ModelBootupState group: the Platform controller's boot-up state. Each class
// fixes its identifier, default content, range, text form and step.

namespace Model::Database {

namespace Types = Model::Interfaces::ModelTypes;

namespace Information {

class PlatformStateValue final
    : public Model::Interfaces::ModelDisplayValue<Types::Bootup::PlatformState>
{
public:
    PlatformStateValue(Component::Interfaces::AbstractApplication *application,
                       Model::Interfaces::ModelIPCValueObserver *observer);

    QByteArray format(const Types::Bootup::PlatformState &content) const override;
};

} // namespace Information

} // namespace Model::Database

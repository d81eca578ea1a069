#pragma once

#include "model/database/BootupStateValues.h"
#include "model/interfaces/Model.h"

namespace Model::Database {

// Group 5 of the model database: the Platform controller's boot-up state.
class ModelBootupState final : public Model::Interfaces::Model
{
public:
    static constexpr quint32 GroupNumber = 5;

    ModelBootupState(Component::Interfaces::AbstractApplication *application,
                     ::Model::Interfaces::ModelIPCValueObserver *observer);
    ~ModelBootupState() override;

    Information::PlatformStateValue &platformState() { return m_platformState; }

private:
    Information::PlatformStateValue m_platformState;
};

} // namespace Model::Database

#pragma once

#include "model/database/OperationValues.h"
#include "model/interfaces/Model.h"

namespace Model::Database {

// Group 2 of the model database: the motor's operating mode and thermal capacity.
class ModelOperation final : public Model::Interfaces::Model
{
public:
    static constexpr quint32 GroupNumber = 2;

    ModelOperation(Component::Interfaces::AbstractApplication *application,
                   ::Model::Interfaces::ModelIPCValueObserver *observer);
    ~ModelOperation() override;

    Operation::OperatingModeValue &operatingMode() { return m_operatingMode; }
    Operation::CapacityValue &capacity() { return m_capacity; }

private:
    Operation::OperatingModeValue m_operatingMode;
    Operation::CapacityValue m_capacity;
};

} // namespace Model::Database

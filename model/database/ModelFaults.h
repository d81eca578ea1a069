#pragma once

#include "model/database/FaultsValues.h"
#include "model/interfaces/Model.h"

namespace Model::Database {

// Group 3 of the model database: the current warning and error with the affected phase.
class ModelFaults final : public Model::Interfaces::Model
{
public:
    static constexpr quint32 GroupNumber = 3;

    ModelFaults(Component::Interfaces::AbstractApplication *application,
                ::Model::Interfaces::ModelIPCValueObserver *observer);
    ~ModelFaults() override;

    Fault::WarningValue &warning() { return m_warning; }
    Fault::PhaseValue &phase() { return m_phase; }
    Fault::ErrorValue &error() { return m_error; }

private:
    Fault::WarningValue m_warning;
    Fault::PhaseValue m_phase;
    Fault::ErrorValue m_error;
};

} // namespace Model::Database

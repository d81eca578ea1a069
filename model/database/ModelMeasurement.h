#pragma once

#include "model/database/MeasurementValues.h"
#include "model/interfaces/Model.h"

namespace Model::Database {

// Group 7 of the model database: the live measurements.
class ModelMeasurement final : public Model::Interfaces::Model
{
public:
    static constexpr quint32 GroupNumber = 7;

    ModelMeasurement(Component::Interfaces::AbstractApplication *application,
                     ::Model::Interfaces::ModelIPCValueObserver *observer);
    ~ModelMeasurement() override;

    Measurement::CurrentValue &current() { return m_current; }
    Measurement::VoltageValue &voltage() { return m_voltage; }
    Measurement::ActivePowerValue &activePower() { return m_activePower; }
    Measurement::ApparentPowerValue &apparentPower() { return m_apparentPower; }
    Measurement::ReactivePowerValue &reactivePower() { return m_reactivePower; }
    Measurement::PhaseValue &phase() { return m_phase; }

private:
    Measurement::CurrentValue m_current;
    Measurement::VoltageValue m_voltage;
    Measurement::ActivePowerValue m_activePower;
    Measurement::ApparentPowerValue m_apparentPower;
    Measurement::ReactivePowerValue m_reactivePower;
    Measurement::PhaseValue m_phase;
};

} // namespace Model::Database

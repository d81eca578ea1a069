#pragma once

#include "model/action/ModelActionClasses.h"
#include "model/interfaces/Model.h"

namespace Model::Database {

// Group 8 of the model database: the actions. It holds no values, so it has nothing to
// request or reset.
class ModelActions final : public Model::Interfaces::Model
{
public:
    static constexpr quint32 GroupNumber = 8;

    ModelActions(Component::Interfaces::AbstractApplication *application,
                 ::Model::Interfaces::ModelIPCActionObserver *observer);
    ~ModelActions() override;

    void requestAll() override;
    void resetAll() override;

    ::Model::Action::ModelResetErrorAction &resetError() { return m_resetError; }
    ::Model::Action::ModelStartCurrentMeasurementAction &startCurrentMeasurement()
    {
        return m_startCurrentMeasurement;
    }
    ::Model::Action::ModelStartPowerMeasurementAction &startPowerMeasurement()
    {
        return m_startPowerMeasurement;
    }
    ::Model::Action::ModelStartVoltageMeasurementAction &startVoltageMeasurement()
    {
        return m_startVoltageMeasurement;
    }
    ::Model::Action::ModelStopMeasurementAction &stopMeasurement() { return m_stopMeasurement; }
    ::Model::Action::ModelFactoryResetAction &factoryReset() { return m_factoryReset; }
    ::Model::Action::ModelMotorLeftOnAction &motorLeftOn() { return m_motorLeftOn; }
    ::Model::Action::ModelMotorRightOnAction &motorRightOn() { return m_motorRightOn; }
    ::Model::Action::ModelMotorStopAction &motorStop() { return m_motorStop; }
    ::Model::Action::ModelStartDisplayUpdateAction &startDisplayUpdate()
    {
        return m_startDisplayUpdate;
    }
    ::Model::Action::ModelStopDisplayUpdateAction &stopDisplayUpdate()
    {
        return m_stopDisplayUpdate;
    }

private:
    ::Model::Action::ModelResetErrorAction m_resetError;
    ::Model::Action::ModelStartCurrentMeasurementAction m_startCurrentMeasurement;
    ::Model::Action::ModelStartPowerMeasurementAction m_startPowerMeasurement;
    ::Model::Action::ModelStartVoltageMeasurementAction m_startVoltageMeasurement;
    ::Model::Action::ModelStopMeasurementAction m_stopMeasurement;
    ::Model::Action::ModelFactoryResetAction m_factoryReset;
    ::Model::Action::ModelMotorLeftOnAction m_motorLeftOn;
    ::Model::Action::ModelMotorRightOnAction m_motorRightOn;
    ::Model::Action::ModelMotorStopAction m_motorStop;
    ::Model::Action::ModelStartDisplayUpdateAction m_startDisplayUpdate;
    ::Model::Action::ModelStopDisplayUpdateAction m_stopDisplayUpdate;
};

} // namespace Model::Database

#pragma once

#include "model/interfaces/ModelActionID.h"
#include "model/interfaces/ModelIPCAction.h"

// The actions the model offers. Each class only fixes its identifier; "MaintenanceSet" and
// "MaintenanceReset" have no class and can only be sent directly.

namespace Model::Action {

class ModelResetErrorAction final : public Model::Interfaces::ModelIPCAction
{
public:
    ModelResetErrorAction(Component::Interfaces::AbstractApplication *application,
                          Model::Interfaces::ModelIPCActionObserver *observer)
        : ModelIPCAction(Model::Interfaces::toNumber(Model::Interfaces::ModelActionID::ResetError),
                         application, observer)
    {
    }
};

class ModelStartVoltageMeasurementAction final : public Model::Interfaces::ModelIPCAction
{
public:
    ModelStartVoltageMeasurementAction(Component::Interfaces::AbstractApplication *application,
                                       Model::Interfaces::ModelIPCActionObserver *observer)
        : ModelIPCAction(
            Model::Interfaces::toNumber(Model::Interfaces::ModelActionID::StartVoltageMeasurement),
            application, observer)
    {
    }
};

class ModelStartCurrentMeasurementAction final : public Model::Interfaces::ModelIPCAction
{
public:
    ModelStartCurrentMeasurementAction(Component::Interfaces::AbstractApplication *application,
                                       Model::Interfaces::ModelIPCActionObserver *observer)
        : ModelIPCAction(
            Model::Interfaces::toNumber(Model::Interfaces::ModelActionID::StartCurrentMeasurement),
            application, observer)
    {
    }
};

class ModelStartPowerMeasurementAction final : public Model::Interfaces::ModelIPCAction
{
public:
    ModelStartPowerMeasurementAction(Component::Interfaces::AbstractApplication *application,
                                     Model::Interfaces::ModelIPCActionObserver *observer)
        : ModelIPCAction(
            Model::Interfaces::toNumber(Model::Interfaces::ModelActionID::StartPowerMeasurement),
            application, observer)
    {
    }
};

class ModelStopMeasurementAction final : public Model::Interfaces::ModelIPCAction
{
public:
    ModelStopMeasurementAction(Component::Interfaces::AbstractApplication *application,
                               Model::Interfaces::ModelIPCActionObserver *observer)
        : ModelIPCAction(
            Model::Interfaces::toNumber(Model::Interfaces::ModelActionID::StopMeasurement),
            application, observer)
    {
    }
};

class ModelFactoryResetAction final : public Model::Interfaces::ModelIPCAction
{
public:
    ModelFactoryResetAction(Component::Interfaces::AbstractApplication *application,
                            Model::Interfaces::ModelIPCActionObserver *observer)
        : ModelIPCAction(
            Model::Interfaces::toNumber(Model::Interfaces::ModelActionID::FactoryReset),
            application, observer)
    {
    }
};

class ModelMotorLeftOnAction final : public Model::Interfaces::ModelIPCAction
{
public:
    ModelMotorLeftOnAction(Component::Interfaces::AbstractApplication *application,
                           Model::Interfaces::ModelIPCActionObserver *observer)
        : ModelIPCAction(Model::Interfaces::toNumber(Model::Interfaces::ModelActionID::MotorLeftOn),
                         application, observer)
    {
    }
};

class ModelMotorRightOnAction final : public Model::Interfaces::ModelIPCAction
{
public:
    ModelMotorRightOnAction(Component::Interfaces::AbstractApplication *application,
                            Model::Interfaces::ModelIPCActionObserver *observer)
        : ModelIPCAction(
            Model::Interfaces::toNumber(Model::Interfaces::ModelActionID::MotorRightOn),
            application, observer)
    {
    }
};

class ModelMotorStopAction final : public Model::Interfaces::ModelIPCAction
{
public:
    ModelMotorStopAction(Component::Interfaces::AbstractApplication *application,
                         Model::Interfaces::ModelIPCActionObserver *observer)
        : ModelIPCAction(Model::Interfaces::toNumber(Model::Interfaces::ModelActionID::MotorStop),
                         application, observer)
    {
    }
};

class ModelStartDisplayUpdateAction final : public Model::Interfaces::ModelIPCAction
{
public:
    ModelStartDisplayUpdateAction(Component::Interfaces::AbstractApplication *application,
                                  Model::Interfaces::ModelIPCActionObserver *observer)
        : ModelIPCAction(
            Model::Interfaces::toNumber(Model::Interfaces::ModelActionID::StartDisplayUpdate),
            application, observer)
    {
    }
};

class ModelStopDisplayUpdateAction final : public Model::Interfaces::ModelIPCAction
{
public:
    ModelStopDisplayUpdateAction(Component::Interfaces::AbstractApplication *application,
                                 Model::Interfaces::ModelIPCActionObserver *observer)
        : ModelIPCAction(
            Model::Interfaces::toNumber(Model::Interfaces::ModelActionID::StopDisplayUpdate),
            application, observer)
    {
    }
};

} // namespace Model::Action

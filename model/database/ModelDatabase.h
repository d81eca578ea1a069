#pragma once

#include "model/database/ModelActions.h"
#include "model/database/ModelBootupState.h"
#include "model/database/ModelFaults.h"
#include "model/database/ModelHousingLighting.h"
#include "model/database/ModelInformation.h"
#include "model/database/ModelMeasurement.h"
#include "model/database/ModelOperation.h"
#include "model/database/ModelSettings.h"

namespace Model::Database {

// The device's data model: seven value groups and the actions, one database per device
// application. Every value enters the value observer's registry as it is constructed, so the
// registry holds the 51 values in group and member order; destroying the database takes
// them out again in reverse order.
//
// The database must be created after the application's link component has been added to
// the application: values and actions look their links up once, when they are constructed.
class ModelDatabase
{
public:
    ModelDatabase(Component::Interfaces::AbstractApplication *application,
                  ::Model::Interfaces::ModelIPCValueObserver *valueObserver,
                  ::Model::Interfaces::ModelIPCActionObserver *actionObserver);
    ModelDatabase(const ModelDatabase &) = delete;
    ModelDatabase &operator=(const ModelDatabase &) = delete;
    virtual ~ModelDatabase();

    // One "GetModelValue" per value on the groups' request lists, group by group: 47
    // requests, sent back to back without waiting for answers.
    void requestAll();

    ModelSettings &settings() { return m_settings; }
    ModelOperation &operation() { return m_operation; }
    ModelFaults &faults() { return m_faults; }
    ModelHousingLighting &housingLighting() { return m_housingLighting; }
    ModelBootupState &bootupState() { return m_bootupState; }
    ModelMeasurement &measurement() { return m_measurement; }
    ModelInformation &information() { return m_information; }
    ModelActions &actions() { return m_actions; }

private:
    ModelSettings m_settings;
    ModelOperation m_operation;
    ModelFaults m_faults;
    ModelHousingLighting m_housingLighting;
    ModelBootupState m_bootupState;
    ModelMeasurement m_measurement;
    ModelInformation m_information;
    ModelActions m_actions;
};

} // namespace Model::Database

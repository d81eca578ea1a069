#include "model/database/ModelActions.h"

namespace Model::Database {

ModelActions::ModelActions(Component::Interfaces::AbstractApplication *application,
                           ::Model::Interfaces::ModelIPCActionObserver *observer)
    : Model(application, GroupNumber)
    , m_resetError(application, observer)
    , m_startCurrentMeasurement(application, observer)
    , m_startPowerMeasurement(application, observer)
    , m_startVoltageMeasurement(application, observer)
    , m_stopMeasurement(application, observer)
    , m_factoryReset(application, observer)
    , m_motorLeftOn(application, observer)
    , m_motorRightOn(application, observer)
    , m_motorStop(application, observer)
    , m_startDisplayUpdate(application, observer)
    , m_stopDisplayUpdate(application, observer)
{
}

ModelActions::~ModelActions()
{
    // Out of the registry while every action is still whole (see Model::leaveRegistry).
    for (::Model::Interfaces::ModelAction *action :
         std::initializer_list<::Model::Interfaces::ModelAction *> {
             &m_resetError, &m_startCurrentMeasurement, &m_startPowerMeasurement,
             &m_startVoltageMeasurement, &m_stopMeasurement, &m_factoryReset, &m_motorLeftOn,
             &m_motorRightOn, &m_motorStop, &m_startDisplayUpdate, &m_stopDisplayUpdate})
        action->leaveRegistry();
}

void ModelActions::requestAll() { }

void ModelActions::resetAll() { }

} // namespace Model::Database

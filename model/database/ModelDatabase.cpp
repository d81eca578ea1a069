#include "model/database/ModelDatabase.h"

namespace Model::Database {

ModelDatabase::ModelDatabase(Component::Interfaces::AbstractApplication *application,
                             ::Model::Interfaces::ModelIPCValueObserver *valueObserver,
                             ::Model::Interfaces::ModelIPCActionObserver *actionObserver)
    : m_settings(application, valueObserver)
    , m_operation(application, valueObserver)
    , m_faults(application, valueObserver)
    , m_housingLighting(application, valueObserver)
    , m_bootupState(application, valueObserver)
    , m_measurement(application, valueObserver)
    , m_information(application, valueObserver)
    , m_actions(application, actionObserver)
{
}

ModelDatabase::~ModelDatabase() = default;

void ModelDatabase::requestAll()
{
    for (::Model::Interfaces::Model *group : std::initializer_list<::Model::Interfaces::Model *> {
             &m_settings, &m_operation, &m_faults, &m_housingLighting, &m_bootupState,
             &m_measurement, &m_information, &m_actions})
        group->requestAll();
}

} // namespace Model::Database

#include "model/database/ModelMeasurement.h"

namespace Model::Database {

ModelMeasurement::ModelMeasurement(Component::Interfaces::AbstractApplication *application,
                                   ::Model::Interfaces::ModelIPCValueObserver *observer)
    : Model(application, GroupNumber)
    , m_current(application, observer)
    , m_voltage(application, observer)
    , m_activePower(application, observer)
    , m_apparentPower(application, observer)
    , m_reactivePower(application, observer)
    , m_phase(application, observer)
{
    setMembers(
        {&m_current, &m_voltage, &m_activePower, &m_apparentPower, &m_reactivePower, &m_phase});
    // activePower, apparentPower, reactivePower: never requested; they change only when the device
    // sends them.
    setRequestList({&m_current, &m_voltage, &m_phase});
}

ModelMeasurement::~ModelMeasurement()
{
    leaveRegistry();
}

} // namespace Model::Database

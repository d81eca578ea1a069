#include "model/database/ModelFaults.h"

namespace Model::Database {

ModelFaults::ModelFaults(Component::Interfaces::AbstractApplication *application,
                         ::Model::Interfaces::ModelIPCValueObserver *observer)
    : Model(application, GroupNumber)
    , m_warning(application, observer)
    , m_phase(application, observer)
    , m_error(application, observer)
{
    setMembers({&m_warning, &m_phase, &m_error});
    setRequestList({&m_warning, &m_phase, &m_error});
}

ModelFaults::~ModelFaults()
{
    leaveRegistry();
}

} // namespace Model::Database

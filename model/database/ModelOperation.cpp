#include "model/database/ModelOperation.h"

namespace Model::Database {

ModelOperation::ModelOperation(Component::Interfaces::AbstractApplication *application,
                               ::Model::Interfaces::ModelIPCValueObserver *observer)
    : Model(application, GroupNumber)
    , m_operatingMode(application, observer)
    , m_capacity(application, observer)
{
    setMembers({&m_operatingMode, &m_capacity});
    setRequestList({&m_operatingMode, &m_capacity});
}

ModelOperation::~ModelOperation()
{
    leaveRegistry();
}

} // namespace Model::Database

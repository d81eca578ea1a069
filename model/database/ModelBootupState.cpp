#include "model/database/ModelBootupState.h"

namespace Model::Database {

ModelBootupState::ModelBootupState(Component::Interfaces::AbstractApplication *application,
                                   ::Model::Interfaces::ModelIPCValueObserver *observer)
    : Model(application, GroupNumber)
    , m_platformState(application, observer)
{
    setMembers({&m_platformState});
    setRequestList({&m_platformState});
}

ModelBootupState::~ModelBootupState()
{
    leaveRegistry();
}

} // namespace Model::Database

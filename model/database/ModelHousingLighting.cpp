#include "model/database/ModelHousingLighting.h"

namespace Model::Database {

ModelHousingLighting::ModelHousingLighting(Component::Interfaces::AbstractApplication *application,
                                           ::Model::Interfaces::ModelIPCValueObserver *observer)
    : Model(application, GroupNumber)
    , m_edge(application, observer)
    , m_brightnessRed(application, observer)
    , m_brightnessYellow(application, observer)
    , m_housingType(application, observer)
{
    setMembers({&m_edge, &m_brightnessRed, &m_brightnessYellow, &m_housingType});
    // housingType: never requested; changes only when the device sends it.
    setRequestList({&m_edge, &m_brightnessRed, &m_brightnessYellow});
}

ModelHousingLighting::~ModelHousingLighting()
{
    leaveRegistry();
}

} // namespace Model::Database

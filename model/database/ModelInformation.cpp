#include "model/database/ModelInformation.h"

namespace Model::Database {

ModelInformation::ModelInformation(Component::Interfaces::AbstractApplication *application,
                                   ::Model::Interfaces::ModelIPCValueObserver *observer)
    : Model(application, GroupNumber)
    , m_platformVersion(application, observer)
    , m_controllerBoard(application, observer)
    , m_powerBoard(application, observer)
    , m_displayBoard(application, observer)
    , m_subSettingAbout(application, observer)
    , m_serialNumber(application, observer)
    , m_articleNumber(application, observer)
    , m_articleIndex(application, observer)
    , m_productionDay(application, observer)
    , m_productionWeek(application, observer)
    , m_productionYear(application, observer)
{
    setMembers({&m_platformVersion, &m_controllerBoard, &m_powerBoard, &m_displayBoard,
                &m_subSettingAbout, &m_serialNumber, &m_articleNumber, &m_articleIndex,
                &m_productionDay, &m_productionWeek, &m_productionYear});
    setRequestList({&m_platformVersion, &m_controllerBoard, &m_powerBoard, &m_displayBoard,
                    &m_subSettingAbout, &m_serialNumber, &m_articleNumber, &m_articleIndex,
                    &m_productionDay, &m_productionWeek, &m_productionYear});
}

ModelInformation::~ModelInformation()
{
    leaveRegistry();
}

} // namespace Model::Database

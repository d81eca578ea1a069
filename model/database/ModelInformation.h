#pragma once

#include "model/database/InformationValues.h"
#include "model/interfaces/Model.h"

namespace Model::Database {

// Group 9 of the model database: the device's identity: versions, hardware revisions, serial and
// article numbers.
class ModelInformation final : public Model::Interfaces::Model
{
public:
    static constexpr quint32 GroupNumber = 9;

    ModelInformation(Component::Interfaces::AbstractApplication *application,
                     ::Model::Interfaces::ModelIPCValueObserver *observer);
    ~ModelInformation() override;

    Information::PlatformVersionValue &platformVersion() { return m_platformVersion; }
    HardwareID::ControllerBoardValue &controllerBoard() { return m_controllerBoard; }
    HardwareID::PowerBoardValue &powerBoard() { return m_powerBoard; }
    HardwareID::DisplayBoardValue &displayBoard() { return m_displayBoard; }
    GFX::SubSettingAbout &subSettingAbout() { return m_subSettingAbout; }
    Information::SerialNumberValue &serialNumber() { return m_serialNumber; }
    Information::ArticleNumberValue &articleNumber() { return m_articleNumber; }
    Information::ArticleIndexValue &articleIndex() { return m_articleIndex; }
    Information::ProductionDayValue &productionDay() { return m_productionDay; }
    Information::ProductionWeekValue &productionWeek() { return m_productionWeek; }
    Information::ProductionYearValue &productionYear() { return m_productionYear; }

private:
    Information::PlatformVersionValue m_platformVersion;
    HardwareID::ControllerBoardValue m_controllerBoard;
    HardwareID::PowerBoardValue m_powerBoard;
    HardwareID::DisplayBoardValue m_displayBoard;
    GFX::SubSettingAbout m_subSettingAbout;
    Information::SerialNumberValue m_serialNumber;
    Information::ArticleNumberValue m_articleNumber;
    Information::ArticleIndexValue m_articleIndex;
    Information::ProductionDayValue m_productionDay;
    Information::ProductionWeekValue m_productionWeek;
    Information::ProductionYearValue m_productionYear;
};

} // namespace Model::Database

#include "model/database/ModelSettings.h"

namespace Model::Database {

ModelSettings::ModelSettings(Component::Interfaces::AbstractApplication *application,
                             ::Model::Interfaces::ModelIPCValueObserver *observer)
    : Model(application, GroupNumber)
    , m_setting(application, observer)
    , m_subSettingSoftstart(application, observer)
    , m_subSettingLimit(application, observer)
    , m_maxTripClass(application, observer)
    , m_tripClass(application, observer)
    , m_maxNominalCurrent(application, observer)
    , m_nominalCurrent(application, observer)
    , m_softstartEnable(application, observer)
    , m_softstartRampUpTime(application, observer)
    , m_softstartRampDownTime(application, observer)
    , m_softstartMinimumVoltage(application, observer)
    , m_undercurrentEnable(application, observer)
    , m_undercurrentThreshold(application, observer)
    , m_undercurrentFault(application, observer)
    , m_undervoltageEnable(application, observer)
    , m_undervoltageThreshold(application, observer)
    , m_undervoltageFault(application, observer)
    , m_overvoltageEnable(application, observer)
    , m_overvoltageThreshold(application, observer)
    , m_overvoltageFault(application, observer)
    , m_overloadReset(application, observer)
    , m_loadAsymmetryEnable(application, observer)
    , m_loadAsymmetryThreshold(application, observer)
    , m_loadAsymmetryFault(application, observer)
{
    setMembers({&m_setting,
                &m_subSettingSoftstart,
                &m_subSettingLimit,
                &m_maxTripClass,
                &m_tripClass,
                &m_maxNominalCurrent,
                &m_nominalCurrent,
                &m_softstartEnable,
                &m_softstartRampUpTime,
                &m_softstartRampDownTime,
                &m_softstartMinimumVoltage,
                &m_undercurrentEnable,
                &m_undercurrentThreshold,
                &m_undercurrentFault,
                &m_undervoltageEnable,
                &m_undervoltageThreshold,
                &m_undervoltageFault,
                &m_overvoltageEnable,
                &m_overvoltageThreshold,
                &m_overvoltageFault,
                &m_overloadReset,
                &m_loadAsymmetryEnable,
                &m_loadAsymmetryThreshold,
                &m_loadAsymmetryFault});
    setRequestList({&m_setting,
                    &m_maxTripClass,
                    &m_tripClass,
                    &m_maxNominalCurrent,
                    &m_nominalCurrent,
                    &m_softstartEnable,
                    &m_softstartRampUpTime,
                    &m_softstartRampDownTime,
                    &m_softstartMinimumVoltage,
                    &m_subSettingSoftstart,
                    &m_undercurrentEnable,
                    &m_undercurrentThreshold,
                    &m_undercurrentFault,
                    &m_subSettingLimit,
                    &m_undervoltageEnable,
                    &m_undervoltageThreshold,
                    &m_undervoltageFault,
                    &m_overloadReset,
                    &m_overvoltageEnable,
                    &m_overvoltageThreshold,
                    &m_overvoltageFault,
                    &m_loadAsymmetryEnable,
                    &m_loadAsymmetryThreshold,
                    &m_loadAsymmetryFault});
}

ModelSettings::~ModelSettings()
{
    leaveRegistry();
}

} // namespace Model::Database

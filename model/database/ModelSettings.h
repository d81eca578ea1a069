#pragma once

#include "model/database/SettingsValues.h"
#include "model/interfaces/Model.h"

namespace Model::Database {

// Group 1 of the model database: the protection settings and the device display's settings menu.
class ModelSettings final : public Model::Interfaces::Model
{
public:
    static constexpr quint32 GroupNumber = 1;

    ModelSettings(Component::Interfaces::AbstractApplication *application,
                  ::Model::Interfaces::ModelIPCValueObserver *observer);
    ~ModelSettings() override;

    GFX::SettingValue &setting() { return m_setting; }
    GFX::SubSettingSoftstart &subSettingSoftstart() { return m_subSettingSoftstart; }
    GFX::SubSettingLimit &subSettingLimit() { return m_subSettingLimit; }
    Setting::MaxTripClassValue &maxTripClass() { return m_maxTripClass; }
    Setting::TripClassValue &tripClass() { return m_tripClass; }
    Setting::MaxNominalCurrentValue &maxNominalCurrent() { return m_maxNominalCurrent; }
    Setting::NominalCurrentValue &nominalCurrent() { return m_nominalCurrent; }
    Setting::SoftstartEnableValue &softstartEnable() { return m_softstartEnable; }
    Setting::SoftstartRampUpTimeValue &softstartRampUpTime() { return m_softstartRampUpTime; }
    Setting::SoftstartRampDownTimeValue &softstartRampDownTime() { return m_softstartRampDownTime; }
    Setting::SoftstartMinimumVoltageValue &softstartMinimumVoltage()
    {
        return m_softstartMinimumVoltage;
    }
    Setting::UndercurrentEnableValue &undercurrentEnable() { return m_undercurrentEnable; }
    Setting::UndercurrentThresholdValue &undercurrentThreshold() { return m_undercurrentThreshold; }
    Setting::UndercurrentFaultValue &undercurrentFault() { return m_undercurrentFault; }
    Setting::UndervoltageEnableValue &undervoltageEnable() { return m_undervoltageEnable; }
    Setting::UndervoltageThresholdValue &undervoltageThreshold() { return m_undervoltageThreshold; }
    Setting::UndervoltageFaultValue &undervoltageFault() { return m_undervoltageFault; }
    Setting::OvervoltageEnableValue &overvoltageEnable() { return m_overvoltageEnable; }
    Setting::OvervoltageThresholdValue &overvoltageThreshold() { return m_overvoltageThreshold; }
    Setting::OvervoltageFaultValue &overvoltageFault() { return m_overvoltageFault; }
    Setting::OverloadResetValue &overloadReset() { return m_overloadReset; }
    Setting::LoadAsymmetryEnableValue &loadAsymmetryEnable() { return m_loadAsymmetryEnable; }
    Setting::LoadAsymmetryThresholdValue &loadAsymmetryThreshold()
    {
        return m_loadAsymmetryThreshold;
    }
    Setting::LoadAsymmetryFaultValue &loadAsymmetryFault() { return m_loadAsymmetryFault; }

private:
    GFX::SettingValue m_setting;
    GFX::SubSettingSoftstart m_subSettingSoftstart;
    GFX::SubSettingLimit m_subSettingLimit;
    Setting::MaxTripClassValue m_maxTripClass;
    Setting::TripClassValue m_tripClass;
    Setting::MaxNominalCurrentValue m_maxNominalCurrent;
    Setting::NominalCurrentValue m_nominalCurrent;
    Setting::SoftstartEnableValue m_softstartEnable;
    Setting::SoftstartRampUpTimeValue m_softstartRampUpTime;
    Setting::SoftstartRampDownTimeValue m_softstartRampDownTime;
    Setting::SoftstartMinimumVoltageValue m_softstartMinimumVoltage;
    Setting::UndercurrentEnableValue m_undercurrentEnable;
    Setting::UndercurrentThresholdValue m_undercurrentThreshold;
    Setting::UndercurrentFaultValue m_undercurrentFault;
    Setting::UndervoltageEnableValue m_undervoltageEnable;
    Setting::UndervoltageThresholdValue m_undervoltageThreshold;
    Setting::UndervoltageFaultValue m_undervoltageFault;
    Setting::OvervoltageEnableValue m_overvoltageEnable;
    Setting::OvervoltageThresholdValue m_overvoltageThreshold;
    Setting::OvervoltageFaultValue m_overvoltageFault;
    Setting::OverloadResetValue m_overloadReset;
    Setting::LoadAsymmetryEnableValue m_loadAsymmetryEnable;
    Setting::LoadAsymmetryThresholdValue m_loadAsymmetryThreshold;
    Setting::LoadAsymmetryFaultValue m_loadAsymmetryFault;
};

} // namespace Model::Database

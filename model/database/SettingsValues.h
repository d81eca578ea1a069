#pragma once

#include "model/interfaces/ModelDisplayValue.h"
#include "model/interfaces/ModelTypes.h"

// The values of the ModelSettings group: the protection settings and the device display's settings
// menu. Each class fixes its identifier, default content, range, text form and step.

namespace Model::Database {

namespace Types = Model::Interfaces::ModelTypes;

namespace GFX {

class SettingValue final : public Model::Interfaces::ModelDisplayValue<Types::GFX::Setting>
{
public:
    SettingValue(Component::Interfaces::AbstractApplication *application,
                 Model::Interfaces::ModelIPCValueObserver *observer);

    QByteArray format(const Types::GFX::Setting &content) const override;
};

class SubSettingSoftstart final
    : public Model::Interfaces::ModelDisplayValue<Types::GFX::SoftstartSubSetting>
{
public:
    SubSettingSoftstart(Component::Interfaces::AbstractApplication *application,
                        Model::Interfaces::ModelIPCValueObserver *observer);

    QByteArray format(const Types::GFX::SoftstartSubSetting &content) const override;
};

class SubSettingLimit final
    : public Model::Interfaces::ModelDisplayValue<Types::GFX::LimitSubSetting>
{
public:
    SubSettingLimit(Component::Interfaces::AbstractApplication *application,
                    Model::Interfaces::ModelIPCValueObserver *observer);

    QByteArray format(const Types::GFX::LimitSubSetting &content) const override;
};

} // namespace GFX

namespace Setting {

class MaxTripClassValue final
    : public Model::Interfaces::ModelDisplayValue<Types::Settings::TripClass>
{
public:
    MaxTripClassValue(Component::Interfaces::AbstractApplication *application,
                      Model::Interfaces::ModelIPCValueObserver *observer);

    QByteArray format(const Types::Settings::TripClass &content) const override;
};

class TripClassValue final : public Model::Interfaces::ModelDisplayValue<Types::Settings::TripClass>
{
public:
    TripClassValue(Component::Interfaces::AbstractApplication *application,
                   Model::Interfaces::ModelIPCValueObserver *observer);

    QByteArray format(const Types::Settings::TripClass &content) const override;
};

class MaxNominalCurrentValue final : public Model::Interfaces::ModelDisplayValue<float>
{
public:
    MaxNominalCurrentValue(Component::Interfaces::AbstractApplication *application,
                           Model::Interfaces::ModelIPCValueObserver *observer);

    QByteArray format(const float &content) const override;
    float stepDown(const float &content) const override;
    float stepUp(const float &content) const override;
};

class NominalCurrentValue final : public Model::Interfaces::ModelDisplayValue<float>
{
public:
    NominalCurrentValue(Component::Interfaces::AbstractApplication *application,
                        Model::Interfaces::ModelIPCValueObserver *observer);

    QByteArray format(const float &content) const override;
    float stepDown(const float &content) const override;
    float stepUp(const float &content) const override;
};

class SoftstartEnableValue final : public Model::Interfaces::ModelDisplayValue<bool>
{
public:
    SoftstartEnableValue(Component::Interfaces::AbstractApplication *application,
                         Model::Interfaces::ModelIPCValueObserver *observer);

    QByteArray format(const bool &content) const override;
};

class SoftstartRampUpTimeValue final : public Model::Interfaces::ModelDisplayValue<float>
{
public:
    SoftstartRampUpTimeValue(Component::Interfaces::AbstractApplication *application,
                             Model::Interfaces::ModelIPCValueObserver *observer);

    QByteArray format(const float &content) const override;
    float stepDown(const float &content) const override;
    float stepUp(const float &content) const override;
};

class SoftstartRampDownTimeValue final : public Model::Interfaces::ModelDisplayValue<float>
{
public:
    SoftstartRampDownTimeValue(Component::Interfaces::AbstractApplication *application,
                               Model::Interfaces::ModelIPCValueObserver *observer);

    QByteArray format(const float &content) const override;
    float stepDown(const float &content) const override;
    float stepUp(const float &content) const override;
};

class SoftstartMinimumVoltageValue final : public Model::Interfaces::ModelDisplayValue<quint8>
{
public:
    SoftstartMinimumVoltageValue(Component::Interfaces::AbstractApplication *application,
                                 Model::Interfaces::ModelIPCValueObserver *observer);
};

class UndercurrentEnableValue final : public Model::Interfaces::ModelDisplayValue<bool>
{
public:
    UndercurrentEnableValue(Component::Interfaces::AbstractApplication *application,
                            Model::Interfaces::ModelIPCValueObserver *observer);

    QByteArray format(const bool &content) const override;
};

class UndercurrentThresholdValue final : public Model::Interfaces::ModelDisplayValue<float>
{
public:
    // The catalogue's upper end. maximum() follows the device's nominal current, which may lie
    // above it, so the rules for the range read this one.
    static constexpr float catalogueMaximum = 9.9f;

    UndercurrentThresholdValue(Component::Interfaces::AbstractApplication *application,
                               Model::Interfaces::ModelIPCValueObserver *observer);

    QByteArray format(const float &content) const override;
    float stepDown(const float &content) const override;
    float stepUp(const float &content) const override;
};

class UndercurrentFaultValue final
    : public Model::Interfaces::ModelDisplayValue<Types::Settings::FaultType>
{
public:
    UndercurrentFaultValue(Component::Interfaces::AbstractApplication *application,
                           Model::Interfaces::ModelIPCValueObserver *observer);

    QByteArray format(const Types::Settings::FaultType &content) const override;
};

class UndervoltageEnableValue final : public Model::Interfaces::ModelDisplayValue<bool>
{
public:
    UndervoltageEnableValue(Component::Interfaces::AbstractApplication *application,
                            Model::Interfaces::ModelIPCValueObserver *observer);

    QByteArray format(const bool &content) const override;
};

class UndervoltageThresholdValue final : public Model::Interfaces::ModelDisplayValue<float>
{
public:
    UndervoltageThresholdValue(Component::Interfaces::AbstractApplication *application,
                               Model::Interfaces::ModelIPCValueObserver *observer);

    QByteArray format(const float &content) const override;
    float stepDown(const float &content) const override;
    float stepUp(const float &content) const override;
};

class UndervoltageFaultValue final
    : public Model::Interfaces::ModelDisplayValue<Types::Settings::FaultType>
{
public:
    UndervoltageFaultValue(Component::Interfaces::AbstractApplication *application,
                           Model::Interfaces::ModelIPCValueObserver *observer);

    QByteArray format(const Types::Settings::FaultType &content) const override;
};

class OvervoltageEnableValue final : public Model::Interfaces::ModelDisplayValue<bool>
{
public:
    OvervoltageEnableValue(Component::Interfaces::AbstractApplication *application,
                           Model::Interfaces::ModelIPCValueObserver *observer);

    QByteArray format(const bool &content) const override;
};

class OvervoltageThresholdValue final : public Model::Interfaces::ModelDisplayValue<float>
{
public:
    OvervoltageThresholdValue(Component::Interfaces::AbstractApplication *application,
                              Model::Interfaces::ModelIPCValueObserver *observer);

    QByteArray format(const float &content) const override;
    float stepDown(const float &content) const override;
    float stepUp(const float &content) const override;
};

class OvervoltageFaultValue final
    : public Model::Interfaces::ModelDisplayValue<Types::Settings::FaultType>
{
public:
    OvervoltageFaultValue(Component::Interfaces::AbstractApplication *application,
                          Model::Interfaces::ModelIPCValueObserver *observer);

    QByteArray format(const Types::Settings::FaultType &content) const override;
};

class OverloadResetValue final : public Model::Interfaces::ModelDisplayValue<bool>
{
public:
    OverloadResetValue(Component::Interfaces::AbstractApplication *application,
                       Model::Interfaces::ModelIPCValueObserver *observer);

    QByteArray format(const bool &content) const override;
};

class LoadAsymmetryEnableValue final : public Model::Interfaces::ModelDisplayValue<bool>
{
public:
    LoadAsymmetryEnableValue(Component::Interfaces::AbstractApplication *application,
                             Model::Interfaces::ModelIPCValueObserver *observer);

    QByteArray format(const bool &content) const override;
};

class LoadAsymmetryThresholdValue final : public Model::Interfaces::ModelDisplayValue<float>
{
public:
    // The catalogue's upper end. maximum() follows the device's nominal current, which may lie
    // above it, so the rules for the range read this one.
    static constexpr float catalogueMaximum = 1.0f;

    LoadAsymmetryThresholdValue(Component::Interfaces::AbstractApplication *application,
                                Model::Interfaces::ModelIPCValueObserver *observer);

    QByteArray format(const float &content) const override;
    float stepDown(const float &content) const override;
    float stepUp(const float &content) const override;
};

class LoadAsymmetryFaultValue final
    : public Model::Interfaces::ModelDisplayValue<Types::Settings::FaultType>
{
public:
    LoadAsymmetryFaultValue(Component::Interfaces::AbstractApplication *application,
                            Model::Interfaces::ModelIPCValueObserver *observer);

    QByteArray format(const Types::Settings::FaultType &content) const override;
};

} // namespace Setting

} // namespace Model::Database

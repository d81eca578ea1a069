#pragma once

#include "model/interfaces/ModelDisplayValue.h"
#include "model/interfaces/ModelTypes.h"

// The values of the ModelInformation group: the device's identity: versions, hardware revisions,
// serial and article numbers. Each class fixes its identifier, default content, range, text form
// and step.

namespace Model::Database {

namespace Types = Model::Interfaces::ModelTypes;

namespace Information {

class PlatformVersionValue final : public Model::Interfaces::ModelDisplayValue<quint32>
{
public:
    PlatformVersionValue(Component::Interfaces::AbstractApplication *application,
                         Model::Interfaces::ModelIPCValueObserver *observer);

    QByteArray format(const quint32 &content) const override;
};

class SerialNumberValue final : public Model::Interfaces::ModelDisplayValue<quint32>
{
public:
    SerialNumberValue(Component::Interfaces::AbstractApplication *application,
                      Model::Interfaces::ModelIPCValueObserver *observer);
};

class ArticleNumberValue final
    : public Model::Interfaces::ModelDisplayValue<Types::Information::DeviceType>
{
public:
    ArticleNumberValue(Component::Interfaces::AbstractApplication *application,
                       Model::Interfaces::ModelIPCValueObserver *observer);
};

class ArticleIndexValue final : public Model::Interfaces::ModelDisplayValue<char>
{
public:
    ArticleIndexValue(Component::Interfaces::AbstractApplication *application,
                      Model::Interfaces::ModelIPCValueObserver *observer);

    QByteArray format(const char &content) const override;
};

class ProductionDayValue final : public Model::Interfaces::ModelDisplayValue<quint8>
{
public:
    ProductionDayValue(Component::Interfaces::AbstractApplication *application,
                       Model::Interfaces::ModelIPCValueObserver *observer);
};

class ProductionWeekValue final : public Model::Interfaces::ModelDisplayValue<quint8>
{
public:
    ProductionWeekValue(Component::Interfaces::AbstractApplication *application,
                        Model::Interfaces::ModelIPCValueObserver *observer);
};

class ProductionYearValue final : public Model::Interfaces::ModelDisplayValue<quint16>
{
public:
    ProductionYearValue(Component::Interfaces::AbstractApplication *application,
                        Model::Interfaces::ModelIPCValueObserver *observer);
};

} // namespace Information

namespace HardwareID {

class ControllerBoardValue final : public Model::Interfaces::ModelDisplayValue<quint8>
{
public:
    ControllerBoardValue(Component::Interfaces::AbstractApplication *application,
                         Model::Interfaces::ModelIPCValueObserver *observer);
};

class PowerBoardValue final : public Model::Interfaces::ModelDisplayValue<quint8>
{
public:
    PowerBoardValue(Component::Interfaces::AbstractApplication *application,
                    Model::Interfaces::ModelIPCValueObserver *observer);
};

class DisplayBoardValue final : public Model::Interfaces::ModelDisplayValue<quint8>
{
public:
    DisplayBoardValue(Component::Interfaces::AbstractApplication *application,
                      Model::Interfaces::ModelIPCValueObserver *observer);
};

} // namespace HardwareID

namespace GFX {

class SubSettingAbout final
    : public Model::Interfaces::ModelDisplayValue<Types::GFX::AboutSubSetting>
{
public:
    SubSettingAbout(Component::Interfaces::AbstractApplication *application,
                    Model::Interfaces::ModelIPCValueObserver *observer);

    QByteArray format(const Types::GFX::AboutSubSetting &content) const override;
};

} // namespace GFX

} // namespace Model::Database

#include "model/database/InformationValues.h"

#include "utilities/VersionText.h"

namespace Model::Database {

using Component::Interfaces::AbstractApplication;
using Model::Interfaces::ModelIPCValueObserver;

namespace Information {

PlatformVersionValue::PlatformVersionValue(AbstractApplication *application,
                                           ModelIPCValueObserver *observer)
    : ModelDisplayValue(
        Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::PlatformVersion), 0, 0,
        4294967295u, application, observer)
{
}

// "V" and the four version parts, most significant first.
QByteArray PlatformVersionValue::format(const quint32 &content) const
{
    return Utilities::versionText(content);
}

SerialNumberValue::SerialNumberValue(AbstractApplication *application,
                                     ModelIPCValueObserver *observer)
    : ModelDisplayValue(Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::SerialNumber),
                        0, 0, 0, application, observer)
{
}

ArticleNumberValue::ArticleNumberValue(AbstractApplication *application,
                                       ModelIPCValueObserver *observer)
    : ModelDisplayValue(Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::ArticleNumber),
                        static_cast<Types::Information::DeviceType>(36258),
                        static_cast<Types::Information::DeviceType>(36258),
                        static_cast<Types::Information::DeviceType>(36250), application, observer)
{
}

ArticleIndexValue::ArticleIndexValue(AbstractApplication *application,
                                     ModelIPCValueObserver *observer)
    : ModelDisplayValue(Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::ArticleIndex),
                        'A', 'A', 'Z', application, observer)
{
}

// The index letter itself.
QByteArray ArticleIndexValue::format(const char &content) const
{
    return QByteArray(1, content);
}

ProductionDayValue::ProductionDayValue(AbstractApplication *application,
                                       ModelIPCValueObserver *observer)
    : ModelDisplayValue(Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::ProductionDay),
                        0, 0, 0, application, observer)
{
}

ProductionWeekValue::ProductionWeekValue(AbstractApplication *application,
                                         ModelIPCValueObserver *observer)
    : ModelDisplayValue(
        Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::ProductionWeek), 0, 0, 0,
        application, observer)
{
}

ProductionYearValue::ProductionYearValue(AbstractApplication *application,
                                         ModelIPCValueObserver *observer)
    : ModelDisplayValue(
        Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::ProductionYear), 0, 0, 0,
        application, observer)
{
}

} // namespace Information

namespace HardwareID {

ControllerBoardValue::ControllerBoardValue(AbstractApplication *application,
                                           ModelIPCValueObserver *observer)
    : ModelDisplayValue(
        Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::HardwareIDControllerBoard), 0,
        0, 15, application, observer)
{
}

PowerBoardValue::PowerBoardValue(AbstractApplication *application, ModelIPCValueObserver *observer)
    : ModelDisplayValue(
        Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::HardwareIDPowerBoard), 0, 0,
        15, application, observer)
{
}

DisplayBoardValue::DisplayBoardValue(AbstractApplication *application,
                                     ModelIPCValueObserver *observer)
    : ModelDisplayValue(
        Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::HardwareIDDisplayBoard), 0, 0,
        15, application, observer)
{
}

} // namespace HardwareID

namespace GFX {

SubSettingAbout::SubSettingAbout(AbstractApplication *application, ModelIPCValueObserver *observer)
    : ModelDisplayValue(
        Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::SubSettingAbout),
        static_cast<Types::GFX::AboutSubSetting>(1), static_cast<Types::GFX::AboutSubSetting>(0),
        static_cast<Types::GFX::AboutSubSetting>(3), application, observer)
{
}

QByteArray SubSettingAbout::format(const Types::GFX::AboutSubSetting &content) const
{
    return Types::text(content);
}

} // namespace GFX

} // namespace Model::Database

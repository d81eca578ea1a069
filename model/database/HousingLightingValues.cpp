#include "model/database/HousingLightingValues.h"

namespace Model::Database {

using Component::Interfaces::AbstractApplication;
using Model::Interfaces::ModelIPCValueObserver;
namespace TextForm = Model::Interfaces::TextForm;

namespace HousingLighting {

EdgeValue::EdgeValue(AbstractApplication *application, ModelIPCValueObserver *observer)
    : ModelDisplayValue(Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::HousingEdge),
                        static_cast<Types::HousingLighting::Edge>(1),
                        static_cast<Types::HousingLighting::Edge>(1),
                        static_cast<Types::HousingLighting::Edge>(3), application, observer)
{
}

BrightnessRedValue::BrightnessRedValue(AbstractApplication *application,
                                       ModelIPCValueObserver *observer)
    : ModelDisplayValue(
        Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::HousingBrightnessRed), 0, 0,
        100, application, observer)
{
}

BrightnessYellowValue::BrightnessYellowValue(AbstractApplication *application,
                                             ModelIPCValueObserver *observer)
    : ModelDisplayValue(
        Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::HousingBrightnessYellow), 0, 0,
        100, application, observer)
{
}

HousingTypeValue::HousingTypeValue(AbstractApplication *application,
                                   ModelIPCValueObserver *observer)
    : ModelDisplayValue(Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::HousingType),
                        static_cast<Types::HousingLighting::Type>(0),
                        static_cast<Types::HousingLighting::Type>(0),
                        static_cast<Types::HousingLighting::Type>(8), application, observer)
{
}

// The housing type has no text of its own.
QByteArray HousingTypeValue::format(const Types::HousingLighting::Type &content) const
{
    Q_UNUSED(content);
    return QByteArray();
}

} // namespace HousingLighting

} // namespace Model::Database

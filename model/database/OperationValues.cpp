#include "model/database/OperationValues.h"

namespace Model::Database {

using Component::Interfaces::AbstractApplication;
using Model::Interfaces::ModelIPCValueObserver;
namespace TextForm = Model::Interfaces::TextForm;

namespace Operation {

OperatingModeValue::OperatingModeValue(AbstractApplication *application,
                                       ModelIPCValueObserver *observer)
    : ModelDisplayValue(Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::OperatingMode),
                        static_cast<Types::Operation::Mode>(0),
                        static_cast<Types::Operation::Mode>(0),
                        static_cast<Types::Operation::Mode>(3), application, observer)
{
}

QByteArray OperatingModeValue::format(const Types::Operation::Mode &content) const
{
    return Types::text(content);
}

CapacityValue::CapacityValue(AbstractApplication *application, ModelIPCValueObserver *observer)
    : ModelDisplayValue(
        Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::CapacityIndicator), 0, 0, 100,
        application, observer)
{
}

} // namespace Operation

} // namespace Model::Database

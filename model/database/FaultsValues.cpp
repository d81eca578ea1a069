#include "model/database/FaultsValues.h"

namespace Model::Database {

using Component::Interfaces::AbstractApplication;
using Model::Interfaces::ModelIPCValueObserver;
namespace TextForm = Model::Interfaces::TextForm;

namespace Fault {

WarningValue::WarningValue(AbstractApplication *application, ModelIPCValueObserver *observer)
    : ModelDisplayValue(Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::Warning),
                        static_cast<Types::Fault::Type>(0), static_cast<Types::Fault::Type>(0),
                        static_cast<Types::Fault::Type>(16), application, observer)
{
}

QByteArray WarningValue::format(const Types::Fault::Type &content) const
{
    return Types::text(content);
}

PhaseValue::PhaseValue(AbstractApplication *application, ModelIPCValueObserver *observer)
    : ModelDisplayValue(Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::FaultPhase),
                        static_cast<Types::Fault::Phase>(0), static_cast<Types::Fault::Phase>(0),
                        static_cast<Types::Fault::Phase>(3), application, observer)
{
}

QByteArray PhaseValue::format(const Types::Fault::Phase &content) const
{
    return Types::text(content);
}

ErrorValue::ErrorValue(AbstractApplication *application, ModelIPCValueObserver *observer)
    : ModelDisplayValue(Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::Error),
                        static_cast<Types::Fault::Type>(0), static_cast<Types::Fault::Type>(0),
                        static_cast<Types::Fault::Type>(16), application, observer)
{
}

QByteArray ErrorValue::format(const Types::Fault::Type &content) const
{
    return Types::text(content);
}

} // namespace Fault

} // namespace Model::Database

#include "model/database/BootupStateValues.h"

namespace Model::Database {

using Component::Interfaces::AbstractApplication;
using Model::Interfaces::ModelIPCValueObserver;
namespace TextForm = Model::Interfaces::TextForm;

namespace Information {

PlatformStateValue::PlatformStateValue(AbstractApplication *application,
                                       ModelIPCValueObserver *observer)
    : ModelDisplayValue(Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::PlatformState),
                        static_cast<Types::Bootup::PlatformState>(1),
                        static_cast<Types::Bootup::PlatformState>(1),
                        static_cast<Types::Bootup::PlatformState>(3), application, observer)
{
}

QByteArray PlatformStateValue::format(const Types::Bootup::PlatformState &content) const
{
    return Types::text(content);
}

} // namespace Information

} // namespace Model::Database

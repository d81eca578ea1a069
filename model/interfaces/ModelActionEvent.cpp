#include "model/interfaces/ModelActionEvent.h"

#include "component/AbstractService.h"

namespace Model::Interfaces {

static_assert(Component::Interfaces::AbstractService::ModelActionChannel
              == ModelActionEvent::Channel);

ModelActionEvent::ModelActionEvent(quint16 id, quint32 type,
                                   const Component::Interfaces::ZantLinkPacket::Argument &argument)
    : IdentifiedEvent(type, id)
    , m_argument(argument)
{
}

ModelActionEvent::~ModelActionEvent() = default;

} // namespace Model::Interfaces

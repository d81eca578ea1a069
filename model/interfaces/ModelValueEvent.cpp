#include "model/interfaces/ModelValueEvent.h"

#include "component/AbstractService.h"

namespace Model::Interfaces {

// The service's own view of the model's channels must agree with the model's events.
static_assert(Component::Interfaces::AbstractService::ModelValueChannel
              == ModelValueEvent::Channel);
static_assert(Component::Interfaces::AbstractService::ModelValueArrived
              == ModelValueEvent::ReceivedFromDevice);

ModelValueEvent::ModelValueEvent(quint32 type, quint16 id,
                                 const Component::Interfaces::ZantLinkPacket::Argument &argument)
    : IdentifiedEvent(type, id)
    , m_argument(argument)
{
}

ModelValueEvent::~ModelValueEvent() = default;

} // namespace Model::Interfaces

#include "model/interfaces/ModelValueEvent.h"

namespace Model::Interfaces {

ModelValueEvent::ModelValueEvent(quint32 type, quint16 id,
                                 const Component::Interfaces::ZantLinkPacket::Argument &argument)
    : BaseEvent(type)
    , m_id(id)
    , m_argument(argument)
{
}

ModelValueEvent::~ModelValueEvent() = default;

} // namespace Model::Interfaces

#include "model/interfaces/ModelActionEvent.h"

namespace Model::Interfaces {

ModelActionEvent::ModelActionEvent(quint16 id, quint32 type,
                                   const Component::Interfaces::ZantLinkPacket::Argument &argument)
    : BaseEvent(type)
    , m_id(id)
    , m_argument(argument)
{
}

ModelActionEvent::~ModelActionEvent() = default;

} // namespace Model::Interfaces

#include "utilities/IdentifiedEvent.h"

namespace Utilities::Events {

IdentifiedEvent::IdentifiedEvent(uint32_t type, uint16_t id)
    : BaseEvent(type)
    , m_id(id)
{
}

IdentifiedEvent::~IdentifiedEvent() = default;

} // namespace Utilities::Events

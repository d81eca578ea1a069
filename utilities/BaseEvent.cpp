#include "utilities/BaseEvent.h"

namespace Utilities::Events {

BaseEvent::BaseEvent(uint32_t type)
    : m_type(type)
{
}

BaseEvent::~BaseEvent() = default;

} // namespace Utilities::Events

#include "utilities/EventObserver.h"

namespace Utilities::Events {

EventObserver::EventObserver(uint32_t eventId, uint32_t mask)
    : m_eventId(eventId)
    , m_mask(mask)
{
}

EventObserver::~EventObserver() = default;

} // namespace Utilities::Events

#pragma once

#include "utilities/BaseEvent.h"
#include "utilities/NonCopyable.h"

#include <cstdint>

namespace Utilities::Events {

// Listens to exactly one event channel and accepts the event types selected by its mask.
class EventObserver : public Utilities::NonCopyable
{
public:
    static constexpr uint32_t AllTypes = 0xFFFFFFFFu;

    explicit EventObserver(uint32_t eventId, uint32_t mask = AllTypes);
    virtual ~EventObserver();

    // Called synchronously by a subject's notify, on the notifying thread.
    virtual void update(uint32_t eventId, BaseEvent &event) = 0;

    uint32_t getEventId() const { return m_eventId; }
    uint32_t getMask() const { return m_mask; }

private:
    const uint32_t m_eventId;
    const uint32_t m_mask;
};

} // namespace Utilities::Events

#pragma once

#include "utilities/BaseEvent.h"
#include "utilities/EventObserver.h"
#include "utilities/NonCopyable.h"

#include <array>
#include <cstdint>

namespace Utilities::Events {

// Publishes events to at most ten observers, in the order they were attached. The observers
// are not owned. Nothing here allocates or locks: notify runs on the caller's thread.
class EventSubject : public Utilities::NonCopyable
{
public:
    static constexpr int MaxObservers = 10;

    EventSubject();
    virtual ~EventSubject();

    // Ignored when the observer is null, already attached or the list is full.
    virtual void attach(EventObserver *observer);
    virtual void detach(EventObserver *observer);
    // Calls update of every observer on channel eventId whose mask meets the event's type.
    // Observers must not attach or detach while a notification runs.
    virtual void notify(uint32_t eventId, BaseEvent &event);

    int observerCount() const { return m_observerCount; }
    EventObserver *observerAt(int index) const;

private:
    std::array<EventObserver *, MaxObservers> m_observers {};
    int m_observerCount = 0;
};

} // namespace Utilities::Events

#include "utilities/EventSubject.h"

#include <algorithm>

namespace Utilities::Events {

EventSubject::EventSubject() = default;

EventSubject::~EventSubject() = default;

void EventSubject::attach(EventObserver *observer)
{
    const auto end = m_observers.begin() + m_observerCount;
    if (observer == nullptr || m_observerCount == MaxObservers
        || std::find(m_observers.begin(), end, observer) != end) {
        return;
    }
    m_observers[m_observerCount++] = observer;
}

void EventSubject::detach(EventObserver *observer)
{
    const auto end = m_observers.begin() + m_observerCount;
    const auto found = std::find(m_observers.begin(), end, observer);
    if (found == end) {
        return;
    }
    std::copy(found + 1, end, found);
    m_observers[--m_observerCount] = nullptr;
}

void EventSubject::notify(uint32_t eventId, BaseEvent &event)
{
    for (int i = 0; i < m_observerCount; ++i) {
        EventObserver *observer = m_observers[i];
        if (observer->getEventId() == eventId && (observer->getMask() & event.getType()) != 0) {
            observer->update(eventId, event);
        }
    }
}

EventObserver *EventSubject::observerAt(int index) const
{
    return index >= 0 && index < m_observerCount ? m_observers[index] : nullptr;
}

} // namespace Utilities::Events

#include "ValueArrivals.h"

#include "model/interfaces/ModelValueEvent.h"

using Model::Interfaces::ModelValueEvent;

ValueArrivals::ValueArrivals()
    : Utilities::Events::EventObserver(ModelValueEvent::Channel)
{
}

ValueArrivals::~ValueArrivals() = default;

void ValueArrivals::update(uint32_t eventId, Utilities::Events::BaseEvent &event)
{
    const auto *valueEvent = dynamic_cast<const ModelValueEvent *>(&event);
    if (eventId != ModelValueEvent::Channel || valueEvent == nullptr
        || valueEvent->getType() != ModelValueEvent::ReceivedFromDevice)
        return;
    m_counts[valueEvent->getId()]++;
    if (m_callback)
        m_callback(valueEvent->getId());
}

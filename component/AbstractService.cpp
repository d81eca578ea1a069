#include "component/AbstractService.h"

#include "component/AbstractComponent.h"
#include "utilities/IdentifiedEvent.h"

#include <algorithm>

namespace Component::Interfaces {

AbstractService::AbstractService(uint32_t id)
    : Utilities::Events::EventObserver(ModelValueChannel, AllTypes)
    , m_id(id)
{
}

AbstractService::~AbstractService() = default;

void AbstractService::update(uint32_t eventId, Utilities::Events::BaseEvent &event)
{
    if (eventId != ModelValueChannel || event.getType() != ModelValueArrived) {
        return;
    }
    if (const auto *valueEvent = dynamic_cast<const Utilities::Events::IdentifiedEvent *>(&event)) {
        onModelValueEvent(valueEvent->getId());
    }
}

void AbstractService::onModelValueEvent(uint16_t) { }

void AbstractService::addComponent(AbstractComponent *component)
{
    const auto end = m_components.begin() + m_componentCount;
    if (component == nullptr || m_componentCount == MaxComponents
        || std::find(m_components.begin(), end, component) != end) {
        return;
    }
    m_components[m_componentCount++] = component;
}

AbstractComponent *AbstractService::getComponent(uint32_t id) const
{
    for (int i = 0; i < m_componentCount; ++i) {
        if (m_components[i]->getId() == id) {
            return m_components[i];
        }
    }
    return nullptr;
}

AbstractComponent *AbstractService::componentAt(int index) const
{
    return index >= 0 && index < m_componentCount ? m_components[index] : nullptr;
}

void AbstractService::start()
{
    startComponents();
    onStart();
    m_state = Started;
}

void AbstractService::stop()
{
    m_state = Stopped;
    onStop();
    stopComponents();
}

void AbstractService::process()
{
    if (m_state == Started) {
        onProcess();
    }
}

void AbstractService::startComponents()
{
    for (int i = 0; i < m_componentCount; ++i) {
        m_components[i]->start();
    }
}

void AbstractService::stopComponents()
{
    for (int i = 0; i < m_componentCount; ++i) {
        m_components[i]->stop();
    }
}

} // namespace Component::Interfaces

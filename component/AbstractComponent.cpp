#include "component/AbstractComponent.h"

namespace Component::Interfaces {

AbstractComponent::AbstractComponent(uint32_t id)
    : m_id(id)
{
}

AbstractComponent::~AbstractComponent() = default;

void AbstractComponent::start()
{
    if (m_state != Started) {
        onStart();
    }
    m_state = Started;
}

void AbstractComponent::stop()
{
    if (m_state == Started) {
        onStop();
        m_state = Stopped;
    }
}

} // namespace Component::Interfaces

#include "component/AbstractApplication.h"

#include <algorithm>

namespace Component::Interfaces {

AbstractApplication::AbstractApplication(uint32_t id, const QString &name, uint32_t version,
                                         const QString &description)
    : AbstractService(id)
    , m_name(name)
    , m_version(version)
    , m_description(description)
{
}

AbstractApplication::~AbstractApplication() = default;

void AbstractApplication::onStart()
{
    for (int i = 0; i < m_serviceCount; ++i) {
        m_services[i]->start();
    }
}

void AbstractApplication::onStop()
{
    for (int i = 0; i < m_serviceCount; ++i) {
        m_services[i]->stop();
    }
}

void AbstractApplication::onProcess()
{
    for (int i = 0; i < m_serviceCount; ++i) {
        m_services[i]->process();
    }
}

void AbstractApplication::addService(AbstractService *service)
{
    if (service == nullptr) {
        return;
    }
    const auto end = m_services.begin() + m_serviceCount;
    if (m_serviceCount < MaxServices && std::find(m_services.begin(), end, service) == end) {
        m_services[m_serviceCount++] = service;
    }
    service->m_application = this;
}

AbstractService *AbstractApplication::getService(uint32_t id) const
{
    for (int i = 0; i < m_serviceCount; ++i) {
        if (m_services[i]->getId() == id) {
            return m_services[i];
        }
    }
    return nullptr;
}

AbstractService *AbstractApplication::serviceAt(int index) const
{
    return index >= 0 && index < m_serviceCount ? m_services[index] : nullptr;
}

} // namespace Component::Interfaces

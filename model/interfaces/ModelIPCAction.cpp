#include "model/interfaces/ModelIPCAction.h"

#include "component/AbstractApplication.h"
#include "component/ZantLinkComponent.h"
#include "model/interfaces/ModelIPCActionObserver.h"

namespace Model::Interfaces {

namespace {
Component::K27::ZantLinkComponent *
lookUpLink(Component::Interfaces::AbstractApplication *application, quint32 componentId)
{
    if (application == nullptr)
        return nullptr;
    return dynamic_cast<Component::K27::ZantLinkComponent *>(
        application->getComponent(componentId));
}
} // namespace

ModelIPCAction::ModelIPCAction(quint16 id, Component::Interfaces::AbstractApplication *application,
                               ModelIPCActionObserver *observer)
    : m_id(id)
    , m_application(application)
    , m_observer(observer)
    , m_link1(lookUpLink(application, 1))
    , m_link0(lookUpLink(application, 0))
{
    if (m_observer != nullptr)
        m_observer->registerAction(this);
}

ModelIPCAction::~ModelIPCAction()
{
    leaveRegistry();
}

void ModelIPCAction::request() { }

void ModelIPCAction::send() { }

void ModelIPCAction::fire()
{
    for (Component::K27::ZantLinkComponent *link : {m_link1, m_link0}) {
        if (link != nullptr)
            link->sendFireModelAction(m_id);
    }
}

void ModelIPCAction::leaveRegistry()
{
    if (m_observer != nullptr)
        m_observer->unregisterAction(this);
}

} // namespace Model::Interfaces

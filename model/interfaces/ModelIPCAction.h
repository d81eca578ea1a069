#pragma once

#include "model/interfaces/ModelAction.h"

namespace Component::Interfaces {
class AbstractApplication;
} // namespace Component::Interfaces

namespace Component::K27 {
class ZantLinkComponent;
} // namespace Component::K27

namespace Model::Interfaces {

class ModelIPCActionObserver;

// An action carried out by the device on "FireModelAction". Like the values, it looks the
// application's link components up once, at construction, and enters its observer's
// registry.
class ModelIPCAction : public ModelAction
{
public:
    ModelIPCAction(quint16 id, Component::Interfaces::AbstractApplication *application,
                   ModelIPCActionObserver *observer);
    ~ModelIPCAction() override;

    void request() override;
    // Does nothing: actions take effect only when fired.
    void send() override;
    // "FireModelAction" with the identifier on link 1, then on link 0, each if present. No
    // answer is awaited.
    void fire() override;

    quint16 getId() const override { return m_id; }
    void leaveRegistry() override;

    Component::Interfaces::AbstractApplication *getApplication() const { return m_application; }

private:
    const quint16 m_id;
    Component::Interfaces::AbstractApplication *const m_application;
    ModelIPCActionObserver *const m_observer;
    Component::K27::ZantLinkComponent *const m_link1;
    Component::K27::ZantLinkComponent *const m_link0;
};

} // namespace Model::Interfaces

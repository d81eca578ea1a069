#pragma once

#include "component/AbstractApplication.h"
#include "component/ZantLinkComponent.h"
#include "model/interfaces/ModelIPCValueObserver.h"
#include "model/interfaces/ModelThread.h"
#include "model/interfaces/ModelValue.h"

#include <type_traits>

namespace Model::Interfaces {

// A value kept in step with the device. It looks the application's link components up once,
// at construction, and enters its observer's registry so that contents from the device reach
// it by identifier.
//
// The model's threading rule: contents are written and read on the GUI thread only, the
// thread of the application instance. The terminal service hands every packet from the
// device to that thread before a value sees it, and the windows live there; so the content is
// a plain member and nothing in the model (values, limits, registries) takes a lock. Storing,
// reading and resetting the content check the rule in every build (ModelThread::check): an
// access from another thread is reported and leaves the content alone (a read there gets the
// default content).
template<typename T> class ModelIPCValue : public ModelValue<T>
{
public:
    ModelIPCValue(quint16 id, const T &defaultValue,
                  Component::Interfaces::AbstractApplication *application,
                  ModelIPCValueObserver *observer)
        : m_id(id)
        , m_defaultValue(defaultValue)
        , m_value(defaultValue)
        , m_application(application)
        , m_observer(observer)
        , m_link1(lookUpLink(application, 1))
        , m_link0(lookUpLink(application, 0))
    {
        if (m_observer != nullptr)
            m_observer->registerValue(this);
    }

    ~ModelIPCValue() override { leaveRegistry(); }

    void request() override { }

    void send() override
    {
        const T content = value();
        for (Component::K27::ZantLinkComponent *link : {m_link1, m_link0}) {
            if (link == nullptr)
                continue;
            if constexpr (std::is_same_v<T, float>)
                link->sendSetModelValue(m_id, content);
            else
                link->sendSetModelValue(m_id, Codec::toNumber(content),
                                        static_cast<quint8>(Codec::linkWidth<T>()));
        }
    }

    bool receive(const Component::Interfaces::ZantLinkPacket::Argument &argument) override
    {
        if (argument.data == nullptr || !Codec::fitsWidth<T>(argument.count))
            return false;
        setValue(Codec::decode<T>(argument.data, argument.count));
        return true;
    }

    QByteArray toString() const override { return QByteArray(); }

    void setValue(const T &content) override
    {
        if (ModelThread::check(m_id))
            m_value = content;
    }

    T value() const override { return ModelThread::check(m_id) ? m_value : m_defaultValue; }

    void reset() override
    {
        if (ModelThread::check(m_id))
            m_value = m_defaultValue;
    }

    quint16 getId() const override { return m_id; }

    void leaveRegistry() override
    {
        if (m_observer != nullptr)
            m_observer->unregisterValue(this);
    }

    const T &defaultValue() const { return m_defaultValue; }
    Component::Interfaces::AbstractApplication *getApplication() const { return m_application; }
    ModelIPCValueObserver *getObserver() const { return m_observer; }

protected:
    Component::K27::ZantLinkComponent *link1() const { return m_link1; }
    Component::K27::ZantLinkComponent *link0() const { return m_link0; }

private:
    // Only link components count: another kind of component under the same identifier
    // cannot carry model traffic.
    static Component::K27::ZantLinkComponent *
    lookUpLink(Component::Interfaces::AbstractApplication *application, quint32 componentId)
    {
        if (application == nullptr)
            return nullptr;
        return dynamic_cast<Component::K27::ZantLinkComponent *>(
            application->getComponent(componentId));
    }

    const quint16 m_id;
    const T m_defaultValue;
    T m_value;
    Component::Interfaces::AbstractApplication *const m_application;
    ModelIPCValueObserver *const m_observer;
    Component::K27::ZantLinkComponent *const m_link1;
    Component::K27::ZantLinkComponent *const m_link0;
};

} // namespace Model::Interfaces

#pragma once

#include "utilities/EventObserver.h"
#include "utilities/EventSubject.h"

#include <array>
#include <cstdint>

namespace Component::Interfaces {

class AbstractApplication;
class AbstractComponent;

// A service works on top of components. It listens to the model value channel and is itself
// a subject on which it can publish. Its component list does not own its members.
class AbstractService
    : public Utilities::Events::EventObserver
    , public Utilities::Events::EventSubject
{
public:
    enum State : uint32_t { Created = 0, Started = 1, Stopped = 2 };
    static constexpr uint32_t ModelValueChannel = 24;
    static constexpr uint32_t ModelActionChannel = 25;
    static constexpr uint32_t ModelValueArrived = 2;
    static constexpr int MaxComponents = 26;

    explicit AbstractService(uint32_t id);
    ~AbstractService() override;

    // Hands a model value event that arrived from the device (channel 24, type 2) to
    // onModelValueEvent; everything else is ignored.
    void update(uint32_t eventId, Utilities::Events::BaseEvent &event) override;
    virtual void onStart() = 0;
    virtual void onStop() = 0;
    virtual void onProcess() = 0;
    virtual void onModelValueEvent(uint16_t valueId);

    // Ignored when null, already present or the list is full.
    void addComponent(AbstractComponent *component);
    AbstractComponent *getComponent(uint32_t id) const;
    int componentCount() const { return m_componentCount; }
    AbstractComponent *componentAt(int index) const;

    // Starts the components first, then the service itself.
    void start();
    // Stops the service first, then its components.
    void stop();
    // One unit of work, only while started.
    void process();
    void startComponents();
    void stopComponents();

    uint32_t getId() const { return m_id; }
    uint32_t getState() const { return m_state; }
    bool isStarted() const { return m_state == Started; }
    AbstractApplication *getApplication() const { return m_application; }

private:
    friend class AbstractApplication;

    const uint32_t m_id;
    uint32_t m_state = Created;
    AbstractApplication *m_application = nullptr;
    std::array<AbstractComponent *, MaxComponents> m_components {};
    int m_componentCount = 0;
};

} // namespace Component::Interfaces

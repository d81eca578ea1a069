#pragma once

#include "utilities/EventSubject.h"

#include <cstdint>

namespace Component::Interfaces {

// A component wraps one resource (the link to the device, the update store). It may be
// shared by several services and the application; start and stop act once whatever the
// number of callers.
class AbstractComponent : public Utilities::Events::EventSubject
{
public:
    enum State : uint32_t { Created = 0, Started = 1, Stopped = 2 };

    explicit AbstractComponent(uint32_t id);
    ~AbstractComponent() override;

    // Calls onStart unless already started.
    virtual void start();
    // Calls onStop only when started.
    virtual void stop();
    virtual void onStart() = 0;
    virtual void onStop() = 0;

    uint32_t getId() const { return m_id; }
    uint32_t getState() const { return m_state; }
    bool isStarted() const { return m_state == Started; }

private:
    const uint32_t m_id;
    uint32_t m_state = Created;
};

} // namespace Component::Interfaces

#pragma once

#include <cstdint>

namespace Utilities::Events {

// An event travelling on an event channel. The type is a bit set: an observer receives the
// event when its mask shares at least one bit with it. Derived events carry their payload
// behind the type.
class BaseEvent
{
public:
    explicit BaseEvent(uint32_t type = 0);
    virtual ~BaseEvent();

    uint32_t getType() const { return m_type; }

protected:
    uint32_t m_type;
};

} // namespace Utilities::Events

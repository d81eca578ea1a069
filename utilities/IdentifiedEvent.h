#pragma once

#include "utilities/BaseEvent.h"

#include <cstdint>

namespace Utilities::Events {

// An event about one numbered thing (a model value, a model action). Observers below the model
// (a service) read the number without knowing the model's event classes.
class IdentifiedEvent : public BaseEvent
{
public:
    IdentifiedEvent(uint32_t type, uint16_t id);
    ~IdentifiedEvent() override;

    uint16_t getId() const { return m_id; }

private:
    uint16_t m_id;
};

} // namespace Utilities::Events

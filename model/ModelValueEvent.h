#pragma once

#include "component/ZantLinkPacket.h"
#include "utilities/BaseEvent.h"

#include <cstdint>

namespace Model::Interfaces {

// A model value event on channel 24: type 1 asks for the value to be written to the device,
// type 2 brings a content that arrived from the device. The argument views the content's
// bytes inside the received packet and is valid only while the notification runs.
class ModelValueEvent : public Utilities::Events::BaseEvent
{
public:
    enum Type : uint32_t { WriteToDevice = 1, ArrivedFromDevice = 2 };

    ModelValueEvent(uint32_t type, uint16_t id,
                    const Component::Interfaces::ZantLinkPacket::Argument &argument = {})
        : Utilities::Events::BaseEvent(type)
        , m_id(id)
        , m_argument(argument)
    {
    }

    uint16_t getId() const { return m_id; }
    const Component::Interfaces::ZantLinkPacket::Argument &getArgument() const
    {
        return m_argument;
    }

private:
    uint16_t m_id;
    Component::Interfaces::ZantLinkPacket::Argument m_argument;
};

} // namespace Model::Interfaces

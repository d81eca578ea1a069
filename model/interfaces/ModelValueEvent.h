#pragma once

#include "component/ZantLinkPacket.h"
#include "utilities/IdentifiedEvent.h"

#include <QtGlobal>

namespace Model::Interfaces {

// A model value event on channel 24: a value identifier and the content's bytes.
class ModelValueEvent : public Utilities::Events::IdentifiedEvent
{
public:
    static constexpr quint32 Channel = 24;
    // Write this value to the device.
    static constexpr quint32 SendToDevice = 1;
    // A content for this value arrived from the device.
    static constexpr quint32 ReceivedFromDevice = 2;

    // The argument points into the received packet and is valid only while the event is
    // being notified.
    ModelValueEvent(quint32 type, quint16 id,
                    const Component::Interfaces::ZantLinkPacket::Argument &argument = {});
    ~ModelValueEvent() override;

    const Component::Interfaces::ZantLinkPacket::Argument &getArgument() const
    {
        return m_argument;
    }

private:
    Component::Interfaces::ZantLinkPacket::Argument m_argument;
};

} // namespace Model::Interfaces

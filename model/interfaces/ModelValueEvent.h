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

    // Set by the value observer when the value found the content's width unfit for its type
    // and stored nothing: the sender learns that the device's content was dropped.
    void markRefused() { m_refused = true; }
    bool refused() const { return m_refused; }

private:
    Component::Interfaces::ZantLinkPacket::Argument m_argument;
    bool m_refused = false;
};

} // namespace Model::Interfaces

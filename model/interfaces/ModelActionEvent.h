#pragma once

#include "component/ZantLinkPacket.h"
#include "utilities/IdentifiedEvent.h"

#include <QtGlobal>

namespace Model::Interfaces {

// A model action event on channel 25. Laid out like the model value event; the identifier
// is a model action identifier and the only type is 1, carry the action out.
class ModelActionEvent : public Utilities::Events::IdentifiedEvent
{
public:
    static constexpr quint32 Channel = 25;
    static constexpr quint32 Fire = 1;

    explicit ModelActionEvent(quint16 id, quint32 type = Fire,
                              const Component::Interfaces::ZantLinkPacket::Argument &argument = {});
    ~ModelActionEvent() override;

    const Component::Interfaces::ZantLinkPacket::Argument &getArgument() const
    {
        return m_argument;
    }

private:
    Component::Interfaces::ZantLinkPacket::Argument m_argument;
};

} // namespace Model::Interfaces

#pragma once

#include "component/AbstractZantLinkTerminal.h"

#include <QByteArray>
#include <functional>

namespace DeviceSim {

// The device's receiving end: the program's own ring and receiver, driven on the
// simulator's thread right after bytes arrive.
class LinkReceiver : public Component::Interfaces::AbstractZantLinkTerminal
{
public:
    using Handler = std::function<void(const Component::Interfaces::ZantLinkPacket &)>;

    explicit LinkReceiver(Handler handler);

    // Feeds bytes in pieces that fit the ring's free space and runs the receiver after each
    // piece, so that no byte ever waits outside the ring: the simulator's memory stays bounded
    // by the ring however much arrives at once.
    void receive(const QByteArray &bytes);

    void onPacketReceived(const Component::Interfaces::ZantLinkPacket &packet) override;

private:
    void drain();

    Handler m_handler;
};

} // namespace DeviceSim

#include "LinkReceiver.h"

#include <algorithm>

namespace DeviceSim {

namespace {
// The simulator's receiver is no service of an application; this identifier is its own.
constexpr uint32_t receiverServiceId = 100;
} // namespace

LinkReceiver::LinkReceiver(Handler handler)
    : AbstractZantLinkTerminal(receiverServiceId, Component::Interfaces::ZantLinkPacket::Platform)
    , m_handler(std::move(handler))
{
    startReceiver();
}

void LinkReceiver::onPacketReceived(const Component::Interfaces::ZantLinkPacket &packet)
{
    if (m_handler)
        m_handler(packet);
}

void LinkReceiver::drain()
{
    while (receiveStep()) { }
}

void LinkReceiver::receive(const QByteArray &bytes)
{
    int offset = 0;
    while (offset < bytes.size()) {
        const int piece = std::min(freeSpace(), bytes.size() - offset);
        if (piece == 0) {
            // A full ring always lets the receiver move on.
            if (!receiveStep())
                return;
            continue;
        }
        writeBytes(bytes.constData() + offset, piece);
        offset += piece;
        drain();
    }
}

} // namespace DeviceSim

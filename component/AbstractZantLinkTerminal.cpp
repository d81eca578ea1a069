#include "component/AbstractZantLinkTerminal.h"

#include <algorithm>
#include <cstring>

namespace Component::Interfaces {

namespace {
constexpr uint8_t startWord[4] = {'7', '0', '2', '#'};
}

AbstractZantLinkTerminal::AbstractZantLinkTerminal(uint32_t id, uint8_t node)
    : AbstractService(id)
    , m_node(node)
{
}

AbstractZantLinkTerminal::~AbstractZantLinkTerminal() = default;

void AbstractZantLinkTerminal::onStart()
{
    startReceiver();
}

void AbstractZantLinkTerminal::onStop()
{
    stopReceiver();
}

void AbstractZantLinkTerminal::onProcess()
{
    receiveStep();
}

void AbstractZantLinkTerminal::writeBytes(const char *data, int count)
{
    if (data == nullptr || count <= 0) {
        return;
    }
    // Only the newest RingSize bytes survive: the oldest held bytes make room first.
    if (count > RingSize) {
        data += count - RingSize;
        count = RingSize;
    }
    const int overflow = m_available + count - RingSize;
    if (overflow > 0) {
        consume(overflow);
    }
    const int first = std::min(count, RingSize - m_writePosition);
    std::memcpy(m_ring.data() + m_writePosition, data, static_cast<std::size_t>(first));
    std::memcpy(m_ring.data(), data + first, static_cast<std::size_t>(count - first));
    m_writePosition = (m_writePosition + count) % RingSize;
    m_available += count;
}

bool AbstractZantLinkTerminal::receiveStep()
{
    if (m_available == 0) {
        return false;
    }
    switch (m_receiveState) {
    case Idle:
        return false;
    case SeekStart:
        if (m_available < 4) {
            return false;
        }
        if (byteAt(0) == startWord[0] && byteAt(1) == startWord[1] && byteAt(2) == startWord[2]
            && byteAt(3) == startWord[3]) {
            m_receiveState = ReadHeader;
        } else {
            consume(1);
        }
        return true;
    case ReadHeader: {
        if (m_available < ZantLinkPacket::HeaderSize) {
            return false;
        }
        const int length = byteAt(4) | (byteAt(5) << 8);
        if (length < ZantLinkPacket::MinimumLength || length > ZantLinkPacket::MaximumLength) {
            consume(1);
            m_receiveState = SeekStart;
        } else {
            m_expectedLength = static_cast<uint16_t>(length);
            m_receiveState = ReadPacket;
        }
        return true;
    }
    case ReadPacket: {
        const int length = m_expectedLength;
        if (m_available < length) {
            return false;
        }
        const int crcOffset = length - ZantLinkPacket::ChecksumSize;
        const uint32_t carried = static_cast<uint32_t>(byteAt(crcOffset))
            | (static_cast<uint32_t>(byteAt(crcOffset + 1)) << 8)
            | (static_cast<uint32_t>(byteAt(crcOffset + 2)) << 16)
            | (static_cast<uint32_t>(byteAt(crcOffset + 3)) << 24);
        m_receiveState = SeekStart;
        if (ringCrc(crcOffset) != carried) {
            consume(1);
            return true;
        }
        const ZantLinkPacket packet(copyOut(length));
        consume(length);
        onPacketReceived(packet);
        return true;
    }
    }
    return false;
}

uint8_t AbstractZantLinkTerminal::byteAt(int offset) const
{
    return m_ring[static_cast<std::size_t>((m_readPosition + offset) % RingSize)];
}

void AbstractZantLinkTerminal::consume(int count)
{
    count = std::min(count, m_available);
    m_available -= count;
    if (m_available == 0) {
        m_readPosition = 0;
        m_writePosition = 0;
    } else {
        m_readPosition = (m_readPosition + count) % RingSize;
    }
}

uint32_t AbstractZantLinkTerminal::ringCrc(int count) const
{
    const int first = std::min(count, RingSize - m_readPosition);
    const uint32_t head = m_crc.calculate(m_ring.data() + m_readPosition, first);
    return first == count
        ? head
        : m_crc.calculate(m_ring.data(), static_cast<std::size_t>(count - first), ~head);
}

QByteArray AbstractZantLinkTerminal::copyOut(int count) const
{
    QByteArray bytes(count, Qt::Uninitialized);
    const int first = std::min(count, RingSize - m_readPosition);
    std::memcpy(bytes.data(), m_ring.data() + m_readPosition, static_cast<std::size_t>(first));
    std::memcpy(bytes.data() + first, m_ring.data(), static_cast<std::size_t>(count - first));
    return bytes;
}

} // namespace Component::Interfaces

#include "component/AbstractZantLinkTerminal.h"

#include "utilities/LittleEndian.h"

#include <algorithm>
#include <cstring>

namespace Component::Interfaces {

namespace {
// "702#" begins with this byte.
constexpr int startWordFirstByte = '7';
} // namespace

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

void AbstractZantLinkTerminal::startReceiver()
{
    m_receiveState = SeekStart;
    m_lookAheadFrom = 1;
}

void AbstractZantLinkTerminal::stopReceiver()
{
    m_receiveState = Idle;
}

void AbstractZantLinkTerminal::writeBytes(const char *data, int count)
{
    if (data == nullptr || count <= 0) {
        return;
    }
    // Bytes already waiting go first: only when none wait may new bytes enter the ring.
    if (bytesWaiting() == 0) {
        const int direct = std::min(count, freeSpace());
        append(data, direct);
        data += direct;
        count -= direct;
    }
    if (count == 0) {
        return;
    }
    m_waiting.append(data, count);
    const int excess = bytesWaiting() - MaximumWaiting;
    if (excess > 0) {
        m_waitingOffset += excess;
        m_dropped += excess;
        m_waiting.remove(0, m_waitingOffset);
        m_waitingOffset = 0;
    }
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
        {
            // Noise goes in one step: up to the next start word, or all but the last three
            // bytes, which may be the head of a start word still arriving.
            const int found = startWordOffset(0, m_available - 4);
            if (found == 0) {
                m_receiveState = ReadHeader;
            } else {
                consume(found > 0 ? found : m_available - 3);
            }
            return true;
        }
    case ReadHeader: {
        if (m_available < ZantLinkPacket::HeaderSize) {
            return false;
        }
        const int length = lengthAt(0);
        if (length < ZantLinkPacket::MinimumLength || length > ZantLinkPacket::MaximumLength) {
            consume(1);
            m_receiveState = SeekStart;
        } else {
            m_expectedLength = static_cast<uint16_t>(length);
            m_lookAheadFrom = 1;
            m_receiveState = ReadPacket;
        }
        return true;
    }
    case ReadPacket: {
        const int length = m_expectedLength;
        if (m_available < length) {
            return findHeldPacket();
        }
        m_receiveState = SeekStart;
        if (!packetPassesCrc(0, length)) {
            consume(1);
            return true;
        }
        deliver(length);
        return true;
    }
    }
    return false;
}

// A start word with a plausible length claims that many bytes, and the format has no end
// marker to tell a false start (noise, or the head of a packet whose rest was lost) from a
// packet still on its way. Waiting for the claimed bytes alone would hold back every packet
// behind a false start until enough later traffic fills the claim, on a quiet line for ever.
//
// The rule: while the claimed packet is incomplete, a later start word whose whole packet is
// already held and passes its CRC-32 wins; the bytes in front of it are dropped and that packet
// is delivered. This is sound because a genuine packet's bytes arrive in order: a complete,
// sound packet can begin inside an incomplete genuine one only if the genuine packet's data
// carries a whole packet with a matching CRC-32. The device sends no such data, and for any
// other data a match is a chance of one in 2^32 per candidate. The rule needs no timer and does
// not depend on how fast the bytes arrive.
//
// Each candidate is judged once it can be: a start word whose length is out of range or whose
// complete packet fails its CRC never becomes good, so m_lookAheadFrom moves past it and later
// steps do not check it again; a candidate whose packet is still incomplete is checked again
// when more bytes have come.
bool AbstractZantLinkTerminal::findHeldPacket()
{
    // Offsets without a start word are judged at once; so is any candidate behind them whose
    // length is out of range or whose complete packet fails its CRC.
    bool settled = true;
    const int last = m_available - ZantLinkPacket::MinimumLength;
    for (int offset = startWordOffset(m_lookAheadFrom, last); offset >= 0;
         offset = startWordOffset(offset + 1, last)) {
        if (settled) {
            m_lookAheadFrom = offset;
        }
        bool rejected = true;
        const int length = lengthAt(offset);
        if (length >= ZantLinkPacket::MinimumLength && length <= ZantLinkPacket::MaximumLength) {
            if (offset + length > m_available) {
                rejected = false;
            } else if (packetPassesCrc(offset, length)) {
                consume(offset);
                m_receiveState = SeekStart;
                deliver(length);
                return true;
            }
        }
        if (settled && rejected) {
            m_lookAheadFrom = offset + 1;
        } else {
            settled = false;
        }
    }
    if (settled) {
        m_lookAheadFrom = std::max(m_lookAheadFrom, last + 1);
    }
    return false;
}

void AbstractZantLinkTerminal::deliver(int length)
{
    const ZantLinkPacket packet(copyOut(length));
    consume(length);
    onPacketReceived(packet);
}

uint8_t AbstractZantLinkTerminal::byteAt(int offset) const
{
    return m_ring[static_cast<std::size_t>((m_readPosition + offset) % RingSize)];
}

bool AbstractZantLinkTerminal::startWordAt(int offset) const
{
    return integerAt<uint32_t>(offset) == ZantLinkPacket::StartWord;
}

// The first offset in from..last at which a start word begins, or -1. The ring is searched a
// contiguous stretch at a time for the start word's first byte (memchr), so noise costs no call
// per byte.
int AbstractZantLinkTerminal::startWordOffset(int from, int last) const
{
    int offset = from;
    while (offset <= last) {
        const int position = (m_readPosition + offset) % RingSize;
        const int span = std::min(last - offset + 1, RingSize - position);
        const uint8_t *stretch = m_ring.data() + position;
        const void *found
            = std::memchr(stretch, startWordFirstByte, static_cast<std::size_t>(span));
        if (found == nullptr) {
            offset += span;
            continue;
        }
        offset += static_cast<int>(static_cast<const uint8_t *>(found) - stretch);
        if (startWordAt(offset)) {
            return offset;
        }
        ++offset;
    }
    return -1;
}

// The little-endian integer whose bytes begin offset bytes behind the read position. Where
// the ring wraps inside the integer its bytes are gathered in order first.
template<typename T> T AbstractZantLinkTerminal::integerAt(int offset) const
{
    const int start = (m_readPosition + offset) % RingSize;
    if (start + static_cast<int>(sizeof(T)) <= RingSize) {
        return Utilities::LittleEndian::read<T>(m_ring.data() + start);
    }
    std::array<uint8_t, sizeof(T)> bytes {};
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = byteAt(offset + static_cast<int>(i));
    }
    return Utilities::LittleEndian::read<T>(bytes.data());
}

uint16_t AbstractZantLinkTerminal::lengthAt(int offset) const
{
    return integerAt<uint16_t>(offset + 4);
}

bool AbstractZantLinkTerminal::packetPassesCrc(int offset, int length) const
{
    const int crcOffset = offset + length - ZantLinkPacket::ChecksumSize;
    return ringCrc(offset, length - ZantLinkPacket::ChecksumSize) == integerAt<uint32_t>(crcOffset);
}

void AbstractZantLinkTerminal::append(const char *data, int count)
{
    if (count <= 0) {
        return;
    }
    const int first = std::min(count, RingSize - m_writePosition);
    std::memcpy(m_ring.data() + m_writePosition, data, static_cast<std::size_t>(first));
    std::memcpy(m_ring.data(), data + first, static_cast<std::size_t>(count - first));
    m_writePosition = (m_writePosition + count) % RingSize;
    m_available += count;
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
    m_lookAheadFrom = 1;
    // The room just made goes to the bytes that waited for it, in order.
    const int moving = std::min(freeSpace(), bytesWaiting());
    if (moving > 0) {
        append(m_waiting.constData() + m_waitingOffset, moving);
        m_waitingOffset += moving;
        if (m_waitingOffset == m_waiting.size()) {
            m_waiting.clear();
            m_waitingOffset = 0;
        } else if (m_waitingOffset >= m_waiting.size() / 2) {
            m_waiting.remove(0, m_waitingOffset);
            m_waitingOffset = 0;
        }
    }
}

uint32_t AbstractZantLinkTerminal::ringCrc(int offset, int count) const
{
    const int start = (m_readPosition + offset) % RingSize;
    const int first = std::min(count, RingSize - start);
    const uint32_t head = m_crc.calculate(m_ring.data() + start, static_cast<std::size_t>(first));
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

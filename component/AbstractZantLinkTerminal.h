#pragma once

#include "component/AbstractService.h"
#include "component/Crc32.h"
#include "component/ZantLinkPacket.h"

#include <QByteArray>
#include <array>
#include <cstdint>

namespace Component::Interfaces {

// The receiving end of the link: a 1536-byte ring that holds the bytes from the serial line
// until the receiver has scanned them, and a receiver that cuts them into packets, one step at
// a time.
//
// Receive states: Idle (stopped), SeekStart (hunting for "702#"), ReadHeader (start word at
// the read position, waiting for the 11 header bytes), ReadPacket (waiting for the whole
// packet). Noise in front of a start word is discarded in one step. A header whose length lies
// outside 15..1536 and a packet whose CRC-32 does not match are false starts: one byte is dropped
// and hunting resumes right behind it, so a damaged packet never swallows the good packets that
// follow it. A packet that passes its CRC is consumed whole and handed to onPacketReceived.
//
// Nothing that arrives is dropped unread. The ring never overwrites a byte the receiver has
// not consumed: bytes beyond its free space wait, in arrival order, in a second buffer and
// move into the ring as the receiver makes room. Only when more than MaximumWaiting bytes wait
// (a receiver left stopped, a worker that does not run) are the oldest waiting bytes given up,
// so that a line nobody reads cannot grow the memory without bound.
//
// The ring and the receiver take no lock of their own. The owner serialises every receiver
// call with one lock: the thread that reads the serial port calls writeBytes under it, the
// worker that runs the receive steps calls receiveStep under it. For example:
//   reader:  { QMutexLocker lock(&mutex); writeBytes(data); } dataAvailable.wakeAll();
//   worker:  QMutexLocker lock(&mutex);
//            while (!stopRequested) { if (!receiveStep()) dataAvailable.wait(&mutex); }
// (The reader may also run the steps itself under the same lock.) onPacketReceived then runs
// on the thread that runs the step, with the lock held; it gets its own copy of the
// packet, which it may hand on to another thread.
class AbstractZantLinkTerminal : public AbstractService
{
public:
    enum ReceiveState : uint32_t { Idle = 0, SeekStart = 1, ReadHeader = 2, ReadPacket = 3 };
    static constexpr int RingSize = ZantLinkPacket::MaximumLength;
    // Bytes that may wait for room in the ring before the oldest of them are given up.
    static constexpr int MaximumWaiting = 4 * 1024 * 1024;

    AbstractZantLinkTerminal(uint32_t id, uint8_t node);
    ~AbstractZantLinkTerminal() override;

    // Starts hunting for a start word.
    void onStart() override;
    // Idles the receiver; the ring keeps its bytes.
    void onStop() override;
    // One receive step.
    void onProcess() override;
    // Called from inside receiveStep with a packet that passed its CRC.
    virtual void onPacketReceived(const ZantLinkPacket &packet) = 0;

    // Appends the bytes in arrival order: into the ring as far as it has room, the rest waits
    // until the receiver has consumed enough.
    void writeBytes(const char *data, int count);
    void writeBytes(const QByteArray &data) { writeBytes(data.constData(), data.size()); }
    // Runs one step of the receiver. Returns false when the step could do nothing (receiver
    // idle, or the state needs more bytes than the ring holds): the worker may then sleep
    // until the next writeBytes or stop.
    bool receiveStep();
    void startReceiver();
    void stopReceiver();

    ReceiveState getReceiveState() const { return m_receiveState; }
    int bytesAvailable() const { return m_available; }
    int freeSpace() const { return RingSize - m_available; }
    // Bytes that arrived while the ring was full and wait for room, and the bytes given up
    // since construction because too many waited.
    int bytesWaiting() const { return int(m_waiting.size()) - m_waitingOffset; }
    qint64 bytesDropped() const { return m_dropped; }
    uint16_t getExpectedLength() const { return m_expectedLength; }
    uint8_t getNode() const { return m_node; }

private:
    uint8_t byteAt(int offset) const;
    template<typename T> T integerAt(int offset) const;
    void append(const char *data, int count);
    void consume(int count);
    bool startWordAt(int offset) const;
    int startWordOffset(int from, int last) const;
    uint16_t lengthAt(int offset) const;
    bool packetPassesCrc(int offset, int length) const;
    bool findHeldPacket();
    void deliver(int length);
    uint32_t ringCrc(int offset, int count) const;
    QByteArray copyOut(int count) const;

    const uint8_t m_node;
    ReceiveState m_receiveState = Idle;
    std::array<uint8_t, RingSize> m_ring {};
    int m_readPosition = 0;
    int m_writePosition = 0;
    int m_available = 0;
    uint16_t m_expectedLength = 0;
    // While a claimed packet is incomplete: the first offset behind the read position at which
    // a later start word may still prove to begin a held, sound packet (see findHeldPacket).
    int m_lookAheadFrom = 1;
    // Bytes waiting for room in the ring, from m_waitingOffset on.
    QByteArray m_waiting;
    int m_waitingOffset = 0;
    qint64 m_dropped = 0;
    Crc32 m_crc;
};

} // namespace Component::Interfaces

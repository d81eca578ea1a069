#pragma once

#include "component/AbstractService.h"
#include "component/Crc32.h"
#include "component/ZantLinkPacket.h"

#include <QByteArray>
#include <array>
#include <cstdint>

namespace Component::Interfaces {

// The receiving end of the link: a 1536-byte ring that keeps the newest bytes from the serial
// line and a receiver that cuts them into packets, one step at a time.
//
// Receive states: Idle (stopped), SeekStart (hunting for "702#"), ReadHeader (start word at
// the read position, waiting for the 11 header bytes), ReadPacket (waiting for the whole
// packet). A header whose length lies outside 15..1536 and a packet whose CRC-32 does not
// match are false starts: one byte is dropped and hunting resumes right behind it, so a
// damaged packet never swallows the good packets that follow it. A packet that passes its
// CRC is consumed whole and handed to onPacketReceived.
//
// The ring and the receiver take no lock of their own. The owner serialises every receiver
// call with one lock: the thread that reads the serial port calls writeBytes under it, the
// worker that runs the receive steps calls receiveStep under it. For example:
//   reader:  { QMutexLocker lock(&mutex); writeBytes(data); } dataAvailable.wakeAll();
//   worker:  QMutexLocker lock(&mutex);
//            while (!stopRequested) { if (!receiveStep()) dataAvailable.wait(&mutex); }
// onPacketReceived then runs on the worker with the lock held; it gets its own copy of the
// packet, which it may hand on to another thread. A caller that must not lose bytes (a test)
// keeps each write within freeSpace().
class AbstractZantLinkTerminal : public AbstractService
{
public:
    enum ReceiveState : uint32_t { Idle = 0, SeekStart = 1, ReadHeader = 2, ReadPacket = 3 };
    static constexpr int RingSize = ZantLinkPacket::MaximumLength;

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

    // Appends the bytes in arrival order. When the ring is full, each further byte pushes out
    // the oldest one.
    void writeBytes(const char *data, int count);
    void writeBytes(const QByteArray &data) { writeBytes(data.constData(), data.size()); }
    // Runs one step of the receiver. Returns false when the step could do nothing (receiver
    // idle, or the state needs more bytes than the ring holds): the worker may then sleep
    // until the next writeBytes or stop.
    bool receiveStep();
    void startReceiver() { m_receiveState = SeekStart; }
    void stopReceiver() { m_receiveState = Idle; }

    ReceiveState getReceiveState() const { return m_receiveState; }
    int bytesAvailable() const { return m_available; }
    int freeSpace() const { return RingSize - m_available; }
    uint16_t getExpectedLength() const { return m_expectedLength; }
    uint8_t getNode() const { return m_node; }

private:
    uint8_t byteAt(int offset) const;
    void consume(int count);
    uint32_t ringCrc(int count) const;
    QByteArray copyOut(int count) const;

    const uint8_t m_node;
    ReceiveState m_receiveState = Idle;
    std::array<uint8_t, RingSize> m_ring {};
    int m_readPosition = 0;
    int m_writePosition = 0;
    int m_available = 0;
    uint16_t m_expectedLength = 0;
    Crc32 m_crc;
};

} // namespace Component::Interfaces

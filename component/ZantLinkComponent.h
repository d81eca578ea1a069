#pragma once

#include "component/AbstractComponent.h"
#include "component/Crc32.h"
#include "component/ZantLinkPacket.h"

#include <QByteArray>
#include <array>
#include <cstdint>
#include <initializer_list>

namespace Component::K27 {

// The sending side of the link: encodes requests into packets and hands each packet, as one
// buffer, to write. Subclasses bind write to a transport (the USB serial port).
//
// Every request operation returns 0 whatever happened: a write that fails is reported only by
// the subclass's write, and nothing on the link waits for an answer.
class ZantLinkComponent : public Component::Interfaces::AbstractComponent
{
public:
    using Argument = Component::Interfaces::ZantLinkPacket::Argument;
    using Node = Component::Interfaces::ZantLinkPacket::Node;

    // Results of write.
    static constexpr int WriteOk = 0;
    static constexpr int WriteNoPort = -2;
    static constexpr int WriteFailed = -3;

    ZantLinkComponent(uint32_t id, uint8_t node, uint8_t peer);
    ~ZantLinkComponent() override;

    virtual bool open() = 0;
    virtual bool close() = 0;
    // 0 when written, -2 without a port, -3 when the write failed.
    virtual int write(const char *data, int count) = 0;
    virtual int write(const QByteArray &text) = 0;
    // Takes in what the transport has received and not yet handed on; nothing by default.
    virtual void readPending() { }

    // The encoder: builds the packet in one buffer and writes it. At most three arguments are
    // sent; further ones are left out. A packet longer than the receiver's 1536 bytes is not
    // written at all.
    int send(uint16_t command, uint8_t source, uint8_t destination);
    int send(uint16_t command, uint8_t source, uint8_t destination,
             std::initializer_list<Argument> arguments);
    int send(uint16_t command, uint8_t source, uint8_t destination, const Argument *arguments,
             int argumentCount);
    // Sends the packet's command, source, destination and recorded arguments; its raw bytes,
    // length and checksum are not used.
    int send(const Component::Interfaces::ZantLinkPacket &packet);

    int sendReset();
    int sendGetName(uint8_t node);
    int sendJumpToBootloader(uint8_t node);
    // The identifier, then the first size bytes (1, 2 or 4) of value, little-endian.
    int sendSetModelValue(uint16_t identifier, uint32_t value, uint8_t size);
    int sendSetModelValue(uint16_t identifier, float value);
    int sendGetModelValue(uint16_t identifier);
    int sendFireModelAction(uint16_t identifier);
    int sendApplicationUpdate(uint8_t node, uint16_t blocks, uint32_t crc);
    int sendMemblock(uint8_t node, uint16_t blockNumber, const char *data, uint16_t count,
                     uint32_t crc);
    // Writes the text and "\r\n" through the text write, outside any packet.
    int sendLine(const QByteArray &text);

    // The start word "702#" as read little-endian.
    uint32_t getCoding() const { return m_coding; }
    uint8_t getNode() const { return m_node; }
    uint8_t getPeer() const { return m_peer; }

private:
    const uint32_t m_coding = Component::Interfaces::ZantLinkPacket::StartWord;
    const uint8_t m_node;
    const uint8_t m_peer;
    Crc32 m_crc;
};

} // namespace Component::K27

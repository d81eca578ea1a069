#pragma once

#include "component/Crc32.h"

#include <QByteArray>
#include <QMetaType>
#include <array>
#include <cstdint>

namespace Component::Interfaces {

// One link packet in memory.
//
// On the line (integers little-endian):
//   0  4  start word "702#"            6  2  command          9  1  destination
//   4  2  total length in bytes        8  1  source           10 1  argument count
//   11 .. for each argument a 16-bit byte count n and n data bytes
//   length-4  4  CRC-32 over everything before it
//
// A decoded packet owns a copy of its bytes and records at most three arguments, each a
// view into those bytes: an argument stays valid as long as the packet (or a copy of it)
// lives. A packet that a sender builds instead refers to buffers the sender keeps alive
// until the send returns. Copies are plain values and may cross threads.
class ZantLinkPacket
{
public:
    class Argument
    {
    public:
        Argument() = default;
        Argument(const void *bytes, uint16_t size)
            : data(static_cast<const uint8_t *>(bytes))
            , count(size)
        {
        }

        QByteArray toByteArray() const;

        const uint8_t *data = nullptr;
        uint16_t count = 0;
    };

    enum Node : uint8_t { Platform = 0, Display = 1, Host = 2 };

    static constexpr uint32_t StartWord = 0x23323037u; // "702#" read little-endian
    static constexpr int HeaderSize = 11;
    static constexpr int ChecksumSize = 4;
    static constexpr int MinimumLength = HeaderSize + ChecksumSize;
    // Nothing longer fits the receiver's ring.
    static constexpr int MaximumLength = 1536;
    static constexpr int MaxArguments = 3;

    ZantLinkPacket();
    // A packet to send: arguments are added with addArgument.
    ZantLinkPacket(uint16_t command, uint8_t source, uint8_t destination);
    // Decodes count bytes (normally a whole packet) without testing the checksum. Fields
    // whose bytes lie beyond count stay 0; an argument is recorded only while its count and
    // data lie before the checksum, so no view ever reaches outside the copied bytes.
    ZantLinkPacket(const char *bytes, int count);
    explicit ZantLinkPacket(const QByteArray &bytes);
    ZantLinkPacket(const ZantLinkPacket &other);
    ZantLinkPacket &operator=(const ZantLinkPacket &other);
    ~ZantLinkPacket();

    // For a packet to send: appends a view of caller-owned bytes; false when three are held.
    bool addArgument(const Argument &argument);

    const QByteArray &getRaw() const { return m_raw; }
    uint32_t getCoding() const { return m_coding; }
    uint16_t getLength() const { return m_length; }
    uint16_t getCommand() const { return m_command; }
    uint8_t getSource() const { return m_source; }
    uint8_t getDestination() const { return m_destination; }
    // The argument count carried in the header (may exceed the number recorded).
    uint8_t getArgCount() const { return m_argCount; }
    // The number of arguments recorded, at most three.
    int argumentCount() const { return m_argumentCount; }
    const Argument &argument(int index) const;
    // The argument at index if the packet recorded it with at least minimumSize bytes, else
    // null: what a handler reads before it touches an argument's bytes.
    const Argument *argumentWith(int index, int minimumSize) const;
    const Argument *arguments() const { return m_arguments.data(); }
    uint32_t getChecksum() const { return m_checksum; }

    // The line bytes of this packet's command, nodes and recorded arguments, with a fresh
    // length and checksum.
    QByteArray encode() const;
    // The line bytes of a packet, built in one buffer of exactly its length. Every argument
    // given is written (senders pass at most three). Returns an empty array when the packet
    // would exceed MaximumLength or more than 255 arguments are given: the receiver could
    // never accept it. The start word and the CRC routine are the sender\'s own.
    static QByteArray encode(uint16_t command, uint8_t source, uint8_t destination,
                             const Argument *arguments, int argumentCount,
                             uint32_t coding = StartWord, const Crc32 &crc = Crc32());

    // "Platform", "Display", "Host", otherwise "Unknown".
    static const char *nodeName(uint8_t node);

private:
    void decode();

    QByteArray m_raw;
    uint32_t m_coding = 0;
    uint16_t m_length = 0;
    uint16_t m_command = 0;
    uint8_t m_source = 0;
    uint8_t m_destination = 0;
    uint8_t m_argCount = 0;
    std::array<Argument, MaxArguments> m_arguments {};
    int m_argumentCount = 0;
    uint32_t m_checksum = 0;
};

} // namespace Component::Interfaces

Q_DECLARE_METATYPE(Component::Interfaces::ZantLinkPacket)

#include "component/ZantLinkPacket.h"

#include "utilities/LittleEndian.h"

#include <cstring>

namespace Component::Interfaces {

namespace LittleEndian = Utilities::LittleEndian;

QByteArray ZantLinkPacket::Argument::toByteArray() const
{
    return data == nullptr ? QByteArray() : QByteArray(reinterpret_cast<const char *>(data), count);
}

ZantLinkPacket::ZantLinkPacket() = default;

ZantLinkPacket::ZantLinkPacket(uint16_t command, uint8_t source, uint8_t destination)
    : m_coding(StartWord)
    , m_length(MinimumLength)
    , m_command(command)
    , m_source(source)
    , m_destination(destination)
{
}

ZantLinkPacket::ZantLinkPacket(const char *bytes, int count)
    : m_raw(bytes != nullptr && count > 0 ? QByteArray(bytes, count) : QByteArray())
{
    decode();
}

ZantLinkPacket::ZantLinkPacket(const QByteArray &bytes)
    : m_raw(bytes)
{
    decode();
}

ZantLinkPacket::ZantLinkPacket(const ZantLinkPacket &other)
{
    *this = other;
}

ZantLinkPacket &ZantLinkPacket::operator=(const ZantLinkPacket &other)
{
    if (this == &other) {
        return *this;
    }
    m_raw = other.m_raw;
    m_coding = other.m_coding;
    m_length = other.m_length;
    m_command = other.m_command;
    m_source = other.m_source;
    m_destination = other.m_destination;
    m_argCount = other.m_argCount;
    m_argumentCount = other.m_argumentCount;
    m_checksum = other.m_checksum;
    // Views into the other packet's bytes are moved onto this packet's own bytes; views of
    // a sender's buffers stay as they are.
    const auto otherBegin = reinterpret_cast<std::uintptr_t>(other.m_raw.constData());
    const auto otherEnd = otherBegin + static_cast<std::uintptr_t>(other.m_raw.size());
    for (int i = 0; i < MaxArguments; ++i) {
        Argument argument = other.m_arguments[i];
        const auto address = reinterpret_cast<std::uintptr_t>(argument.data);
        if (argument.data != nullptr && address >= otherBegin && address <= otherEnd) {
            argument.data
                = reinterpret_cast<const uint8_t *>(m_raw.constData()) + (address - otherBegin);
        }
        m_arguments[i] = argument;
    }
    return *this;
}

ZantLinkPacket::~ZantLinkPacket() = default;

void ZantLinkPacket::decode()
{
    const auto *bytes = reinterpret_cast<const uint8_t *>(m_raw.constData());
    const int count = m_raw.size();
    if (count >= 4) {
        m_coding = LittleEndian::read<uint32_t>(bytes);
    }
    if (count >= 6) {
        m_length = LittleEndian::read<uint16_t>(bytes + 4);
    }
    if (count >= 8) {
        m_command = LittleEndian::read<uint16_t>(bytes + 6);
    }
    if (count >= 9) {
        m_source = bytes[8];
    }
    if (count >= 10) {
        m_destination = bytes[9];
    }
    if (count >= HeaderSize) {
        m_argCount = bytes[10];
    }
    if (count < MinimumLength) {
        return; // no room for a checksum or arguments
    }
    m_checksum = LittleEndian::read<uint32_t>(bytes + count - ChecksumSize);

    const int argumentsEnd = count - ChecksumSize;
    int offset = HeaderSize;
    for (int i = 0; i < m_argCount && i < MaxArguments; ++i) {
        if (offset + 2 > argumentsEnd) {
            break;
        }
        const uint16_t size = LittleEndian::read<uint16_t>(bytes + offset);
        if (offset + 2 + size > argumentsEnd) {
            break;
        }
        m_arguments[i] = Argument(bytes + offset + 2, size);
        m_argumentCount = i + 1;
        offset += 2 + size;
    }
}

bool ZantLinkPacket::addArgument(const Argument &argument)
{
    if (m_argumentCount == MaxArguments) {
        return false;
    }
    m_arguments[m_argumentCount++] = argument;
    m_argCount = static_cast<uint8_t>(m_argumentCount);
    m_length = static_cast<uint16_t>(m_length + 2 + argument.count);
    return true;
}

const ZantLinkPacket::Argument &ZantLinkPacket::argument(int index) const
{
    static const Argument none;
    return index >= 0 && index < m_argumentCount ? m_arguments[index] : none;
}

const ZantLinkPacket::Argument *ZantLinkPacket::argumentWith(int index, int minimumSize) const
{
    if (index < 0 || index >= m_argumentCount) {
        return nullptr;
    }
    const Argument &found = m_arguments[index];
    if (found.count < minimumSize || (minimumSize > 0 && found.data == nullptr)) {
        return nullptr;
    }
    return &found;
}

QByteArray ZantLinkPacket::encode() const
{
    return encode(m_command, m_source, m_destination, m_arguments.data(), m_argumentCount);
}

QByteArray ZantLinkPacket::encode(uint16_t command, uint8_t source, uint8_t destination,
                                  const Argument *arguments, int argumentCount, uint32_t coding,
                                  const Crc32 &crc)
{
    if (argumentCount < 0 || argumentCount > 255 || (argumentCount > 0 && arguments == nullptr)) {
        return QByteArray();
    }
    int length = MinimumLength;
    for (int i = 0; i < argumentCount; ++i) {
        length += 2 + arguments[i].count;
    }
    if (length > MaximumLength) {
        return QByteArray();
    }

    QByteArray buffer(length, Qt::Uninitialized);
    auto *bytes = reinterpret_cast<uint8_t *>(buffer.data());
    LittleEndian::write<uint32_t>(coding, bytes);
    LittleEndian::write<uint16_t>(static_cast<uint16_t>(length), bytes + 4);
    LittleEndian::write<uint16_t>(command, bytes + 6);
    bytes[8] = source;
    bytes[9] = destination;
    bytes[10] = static_cast<uint8_t>(argumentCount);
    int offset = HeaderSize;
    for (int i = 0; i < argumentCount; ++i) {
        const Argument &argument = arguments[i];
        LittleEndian::write<uint16_t>(argument.count, bytes + offset);
        if (argument.count > 0 && argument.data != nullptr) {
            std::memcpy(bytes + offset + 2, argument.data, argument.count);
        } else if (argument.count > 0) {
            std::memset(bytes + offset + 2, 0, argument.count);
        }
        offset += 2 + argument.count;
    }
    LittleEndian::write<uint32_t>(crc.calculate(bytes, static_cast<std::size_t>(offset)),
                                  bytes + offset);
    return buffer;
}

const char *ZantLinkPacket::nodeName(uint8_t node)
{
    switch (node) {
    case Platform:
        return "Platform";
    case Display:
        return "Display";
    case Host:
        return "Host";
    default:
        return "Unknown";
    }
}

} // namespace Component::Interfaces

#include "component/ZantLinkComponent.h"

#include "component/ZantLinkCommandCode.h"
#include "utilities/LittleEndian.h"

#include <algorithm>
#include <cstring>

namespace Component::K27 {

using Component::Interfaces::ZantLinkPacket;

namespace LittleEndian = Utilities::LittleEndian;

ZantLinkComponent::ZantLinkComponent(uint32_t id, uint8_t node, uint8_t peer)
    : AbstractComponent(id)
    , m_node(node)
    , m_peer(peer)
{
}

ZantLinkComponent::~ZantLinkComponent() = default;

int ZantLinkComponent::send(uint16_t command, uint8_t source, uint8_t destination)
{
    return send(command, source, destination, nullptr, 0);
}

int ZantLinkComponent::send(uint16_t command, uint8_t source, uint8_t destination,
                            std::initializer_list<Argument> arguments)
{
    return send(command, source, destination, arguments.begin(),
                static_cast<int>(arguments.size()));
}

int ZantLinkComponent::send(uint16_t command, uint8_t source, uint8_t destination,
                            const Argument *arguments, int argumentCount)
{
    argumentCount = std::clamp(argumentCount, 0, int(ZantLinkPacket::MaxArguments));
    const QByteArray bytes = ZantLinkPacket::encode(command, source, destination, arguments,
                                                    argumentCount, m_coding, m_crc);
    if (!bytes.isEmpty()) {
        write(bytes.constData(), bytes.size());
    }
    return 0;
}

int ZantLinkComponent::send(const ZantLinkPacket &packet)
{
    return send(packet.getCommand(), packet.getSource(), packet.getDestination(),
                packet.arguments(), packet.argumentCount());
}

int ZantLinkComponent::sendReset()
{
    return send(ZantLinkCommandCode::Reset, m_node, m_peer);
}

int ZantLinkComponent::sendGetName(uint8_t node)
{
    return send(ZantLinkCommandCode::GetName, m_node, node);
}

int ZantLinkComponent::sendJumpToBootloader(uint8_t node)
{
    return send(ZantLinkCommandCode::JumpToBootloader, m_node, node);
}

int ZantLinkComponent::sendSetModelValue(uint16_t identifier, uint32_t value, uint8_t size)
{
    const auto id = LittleEndian::bytes<uint16_t>(identifier);
    const auto content = LittleEndian::bytes<uint32_t>(value);
    return send(
        ZantLinkCommandCode::SetModelValue, m_node, m_peer,
        {Argument(id.data(), id.size()), Argument(content.data(), std::min<uint8_t>(size, 4))});
}

int ZantLinkComponent::sendSetModelValue(uint16_t identifier, float value)
{
    uint32_t bits = 0;
    static_assert(sizeof bits == sizeof value, "floats travel as IEEE 754 single precision");
    std::memcpy(&bits, &value, sizeof bits);
    const auto id = LittleEndian::bytes<uint16_t>(identifier);
    const auto content = LittleEndian::bytes<uint32_t>(bits);
    return send(ZantLinkCommandCode::SetModelValue, m_node, m_peer,
                {Argument(id.data(), id.size()), Argument(content.data(), content.size())});
}

int ZantLinkComponent::sendGetModelValue(uint16_t identifier)
{
    const auto id = LittleEndian::bytes<uint16_t>(identifier);
    return send(ZantLinkCommandCode::GetModelValue, m_node, m_peer,
                {Argument(id.data(), id.size())});
}

int ZantLinkComponent::sendFireModelAction(uint16_t identifier)
{
    const auto id = LittleEndian::bytes<uint16_t>(identifier);
    return send(ZantLinkCommandCode::FireModelAction, m_node, m_peer,
                {Argument(id.data(), id.size())});
}

int ZantLinkComponent::sendApplicationUpdate(uint8_t node, uint16_t blocks, uint32_t crc)
{
    const auto blockCount = LittleEndian::bytes<uint16_t>(blocks);
    const auto checksum = LittleEndian::bytes<uint32_t>(crc);
    return send(ZantLinkCommandCode::ApplicationUpdate, m_node, node,
                {Argument(blockCount.data(), blockCount.size()),
                 Argument(checksum.data(), checksum.size())});
}

int ZantLinkComponent::sendMemblock(uint8_t node, uint16_t blockNumber, const char *data,
                                    uint16_t count, uint32_t crc)
{
    const auto block = LittleEndian::bytes<uint16_t>(blockNumber);
    const auto checksum = LittleEndian::bytes<uint32_t>(crc);
    return send(ZantLinkCommandCode::Memblock, m_node, node,
                {Argument(block.data(), block.size()), Argument(data, data != nullptr ? count : 0),
                 Argument(checksum.data(), checksum.size())});
}

int ZantLinkComponent::sendLine(const QByteArray &text)
{
    write(text + "\r\n");
    return 0;
}

} // namespace Component::K27

#pragma once

#include "component/ZantLinkPacket.h"

#include <cstdint>
#include <functional>

namespace Component::Interfaces {

// One entry of a terminal's handler table: a command code and the operation that handles a
// packet with that code. An empty entry has code 0xFFFF and no handler and never matches.
class ZantLinkCommand
{
public:
    using Handler = std::function<void(const ZantLinkPacket &packet)>;
    static constexpr uint16_t EmptyCode = 0xFFFF;

    ZantLinkCommand() = default;
    ZantLinkCommand(uint16_t commandCode, Handler commandHandler)
        : code(commandCode)
        , handler(std::move(commandHandler))
    {
    }
    ZantLinkCommand(const ZantLinkCommand &) = default;
    ZantLinkCommand &operator=(const ZantLinkCommand &) = default;
    virtual ~ZantLinkCommand() = default;

    bool matches(uint16_t commandCode) const { return code == commandCode && handler != nullptr; }

    uint16_t code = EmptyCode;
    Handler handler;
};

} // namespace Component::Interfaces

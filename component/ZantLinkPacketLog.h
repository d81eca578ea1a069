#pragma once

#include "component/ZantLinkPacket.h"

#include <QByteArray>

namespace Component::K27 {

// The texts the packet log shows for link packets. Every text is UTF-8 and is built only from
// the bytes the packet holds.
class ZantLinkPacketLog
{
public:
    // One line per packet sent or received, for example
    // "GetName: Host -> Platform, Coding: 0x23323037, Length: 15bytes, ArgCount: 0,
    // Checksum: 0x4837cb5d" (on one line); each recorded argument adds " { 0x2 0x1 } " before
    // the checksum.
    static QByteArray line(const Component::Interfaces::ZantLinkPacket &packet);

    // The text a device answer stands for ("V1.2.3.4", "Index: L3, Ready status: false",
    // the controller name of a GetName answer ...). Returns false, leaving text empty, for
    // codes that carry no such text (model values and block requests among them) and for
    // answers whose arguments are missing or too short. A button status for an unknown
    // button is an empty text and returns true.
    static bool answerText(const Component::Interfaces::ZantLinkPacket &packet, QByteArray &text);

    // "L1", "L2" or "L3"; any other phase index shows as "L1".
    static const char *phaseName(uint8_t phase);
    // A float the way the log shows it: shortest general form, six significant digits, as
    // printf "%g" writes it in the C locale.
    static QByteArray number(float value);
};

} // namespace Component::K27

#pragma once

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>

namespace Component::Interfaces {
class ZantLinkPacket;
}

namespace DeviceSim {

// A packet the simulated device received and accepted, as plain values a test can compare.
struct ReceivedPacket
{
    quint16 command = 0;
    quint8 source = 0;
    quint8 destination = 0;
    quint8 argCount = 0; // as carried in the header
    QList<QByteArray> arguments; // the recorded arguments, at most three

    static ReceivedPacket fromPacket(const Component::Interfaces::ZantLinkPacket &packet);

    // The argument as a little-endian number (0 when missing or not 1, 2 or 4 bytes long).
    quint32 number(int index) const;
    // For example "GetModelValue Host->Platform [02 00]".
    QString toString() const;

    bool operator==(const ReceivedPacket &other) const
    {
        return command == other.command && source == other.source
            && destination == other.destination && argCount == other.argCount
            && arguments == other.arguments;
    }
};

} // namespace DeviceSim

Q_DECLARE_METATYPE(DeviceSim::ReceivedPacket)

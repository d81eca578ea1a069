#include "ReceivedPacket.h"

#include "component/ZantLinkCommandCode.h"
#include "component/ZantLinkPacket.h"
#include "utilities/LittleEndian.h"

#include <QStringList>

namespace DeviceSim {

using Component::Interfaces::ZantLinkPacket;

ReceivedPacket ReceivedPacket::fromPacket(const ZantLinkPacket &packet)
{
    ReceivedPacket received;
    received.command = packet.getCommand();
    received.source = packet.getSource();
    received.destination = packet.getDestination();
    received.argCount = packet.getArgCount();
    for (int i = 0; i < packet.argumentCount(); ++i)
        received.arguments.append(packet.argument(i).toByteArray());
    return received;
}

quint32 ReceivedPacket::number(int index) const
{
    if (index < 0 || index >= arguments.size())
        return 0;
    const QByteArray &bytes = arguments.at(index);
    const char *data = bytes.constData();
    switch (bytes.size()) {
    case 1:
        return quint8(data[0]);
    case 2:
        return Utilities::LittleEndian::read<quint16>(data);
    case 4:
        return Utilities::LittleEndian::read<quint32>(data);
    default:
        return 0;
    }
}

QString ReceivedPacket::toString() const
{
    QStringList parts;
    for (const QByteArray &argument : arguments)
        parts.append(QString::fromLatin1(argument.toHex(' ')));
    return QStringLiteral("%1 %2->%3 [%4]")
        .arg(QString::fromLatin1(Component::K27::ZantLinkCommandCode::name(command)),
             QString::fromLatin1(ZantLinkPacket::nodeName(source)),
             QString::fromLatin1(ZantLinkPacket::nodeName(destination)),
             parts.join(QStringLiteral("] [")));
}

} // namespace DeviceSim

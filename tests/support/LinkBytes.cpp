#include "LinkBytes.h"

#include <QtEndian>
#include <cstring>

namespace TestSupport {
QByteArray u16(quint16 value)
{
    QByteArray bytes(2, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray u32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray f32(float value)
{
    quint32 raw = 0;
    std::memcpy(&raw, &value, sizeof raw);
    return u32(raw);
}
} // namespace TestSupport

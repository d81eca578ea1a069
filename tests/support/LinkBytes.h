#pragma once

#include <QByteArray>

namespace TestSupport {
// Argument bytes as they travel on the link: little-endian integers and IEEE 754 floats.
QByteArray u16(quint16 value);
QByteArray u32(quint32 value);
QByteArray f32(float value);
} // namespace TestSupport

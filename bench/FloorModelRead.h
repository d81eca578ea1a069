#pragma once

// The floors' own cutting of a model read's answers, written apart from the project: finds each
// packet by its start word "702#", checks its length and its CRC-32 (zlib's crc32) and hands
// the first up to four bytes of each "SetModelValue" content from a controller to `show`.
// Consumes what it has cut from `received` and keeps an incomplete packet for the next call.

#include <QByteArray>
#include <algorithm>
#include <zlib.h>

namespace FloorModelRead {

inline quint32 littleEndian(const QByteArray &bytes, int at, int count)
{
    quint32 value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 8) | quint8(bytes.at(at + i));
    return value;
}

template<typename Show> void cut(QByteArray &received, Show show)
{
    constexpr quint16 setModelValue = 6;
    constexpr int headerSize = 11;
    constexpr int checksumSize = 4;
    int at = 0;
    for (;;) {
        const int start = received.indexOf("702#", at);
        if (start < 0) {
            at = std::max(at, int(received.size()) - 3);
            break;
        }
        at = start;
        if (received.size() - start < headerSize)
            break;
        const int length = int(littleEndian(received, start + 4, 2));
        if (length < headerSize + checksumSize) {
            at = start + 1;
            continue;
        }
        if (received.size() - start < length)
            break;
        const auto *const bytes = reinterpret_cast<const Bytef *>(received.constData());
        if (crc32(0, bytes + start, uInt(length - checksumSize))
            != littleEndian(received, start + length - checksumSize, 4)) {
            at = start + 1;
            continue;
        }
        if (littleEndian(received, start + 6, 2) == setModelValue
            && quint8(received.at(start + 10)) >= 2) {
            const int contentAt
                = start + headerSize + 2 + int(littleEndian(received, start + headerSize, 2));
            const int count = int(littleEndian(received, contentAt, 2));
            show(littleEndian(received, contentAt + 2, std::min(count, 4)));
        }
        at = start + length;
    }
    received.remove(0, at);
}

} // namespace FloorModelRead

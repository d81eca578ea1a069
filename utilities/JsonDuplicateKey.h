#pragma once

#include <QByteArray>
#include <QString>

namespace Utilities {

// Finds a key that one object of a JSON text holds twice. A JSON reader silently keeps one of
// the two, so a file saying two things about one key is caught here, before it is read.
class JsonDuplicateKey
{
public:
    // The first key that an object of the text holds twice, with the keys of the objects
    // around it in front ("Undercurrent.Threshold"); empty when there is none. Any text may be
    // given: one that is not JSON gives no meaningful answer, but nothing beyond it is read.
    // Asked before a JSON reader runs: Qt's reader loses the memory of an object it drops for
    // a repeated key.
    static QString find(const QByteArray &text);
};

} // namespace Utilities

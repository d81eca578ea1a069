#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace Utilities {

// "V" and the four bytes of a packed version, most significant first: 0x01020304 gives
// "V1.2.3.4". The device reports its firmware, HAL and platform versions this way.
QByteArray versionText(quint32 packedVersion);

} // namespace Utilities

#include "utilities/VersionText.h"

namespace Utilities {

QByteArray versionText(quint32 packedVersion)
{
    QByteArray text("V");
    for (int shift = 24; shift >= 0; shift -= 8) {
        text += QByteArray::number((packedVersion >> shift) & 0xFFu);
        if (shift > 0)
            text += '.';
    }
    return text;
}

} // namespace Utilities

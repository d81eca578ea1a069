#pragma once

#include <QByteArray>
#include <QString>

namespace Utilities {

// Reads a whole file that a user named, safely: only a regular file (a symbolic link to one
// counts) is opened, so a FIFO cannot block the program and a device cannot be read for ever;
// the name is checked before the open and the opened descriptor again, so a name swapped in
// between is refused as well. At most maximumSize bytes are read; a larger file is refused
// without reading it into memory.
class RegularFile
{
public:
    enum class Result { Read, Missing, NotRegular, Unreadable, TooLarge };

    // The content, or an empty array with the reason in result.
    static QByteArray read(const QString &path, qint64 maximumSize, Result *result);
    // The system's text for the failure of the last read on this thread (errno), for Unreadable.
    static QString systemError();
    // Why the last read on this thread failed, for the user ("the file does not exist", "it is
    // not a regular file" ...); maximumSize as it was given to read.
    static QString failureText(Result result, qint64 maximumSize);

    // Replaces the file at path by content all at once: written to a temporary file beside it
    // and renamed over it, so a failure leaves the previous file as it was. False, with the
    // system's reason in errorString (if given), when any step fails.
    static bool writeAtomically(const QString &path, const QByteArray &content,
                                QString *errorString = nullptr);
};

} // namespace Utilities

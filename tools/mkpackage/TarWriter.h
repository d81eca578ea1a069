#pragma once

#include <QByteArray>
#include <QString>

namespace MkPackage {

// Writes an uncompressed POSIX ustar archive of regular files into memory. Names
// go into the 100-byte name field only (the prefix field stays empty), since the
// service tool's reader looks at nothing else.
class TarWriter
{
public:
    static constexpr int blockSize = 512;
    static constexpr int maxNameLength = 100;

    explicit TarWriter(qint64 modificationTime);

    // Appends one file; false with a reason when the name cannot be stored.
    bool addFile(const QByteArray &name, const QByteArray &contents, QString *error);
    // The archive with its two closing zero blocks.
    QByteArray finish() const;

private:
    QByteArray m_archive;
    const qint64 m_modificationTime;
};

} // namespace MkPackage

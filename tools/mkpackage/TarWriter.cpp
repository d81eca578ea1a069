#include "tools/mkpackage/TarWriter.h"

#include <array>
#include <cstring>

namespace MkPackage {

namespace {
// Writes value as zero-padded octal digits followed by a NUL into a field of
// width bytes.
void putOctal(char *field, int width, quint64 value)
{
    const QByteArray digits = QByteArray::number(value, 8).rightJustified(width - 1, '0');
    std::memcpy(field, digits.constData(), static_cast<size_t>(width - 1));
    field[width - 1] = '\0';
}

void putText(char *field, const char *text)
{
    std::memcpy(field, text, std::strlen(text));
}
} // namespace

TarWriter::TarWriter(qint64 modificationTime)
    : m_modificationTime(modificationTime)
{
}

bool TarWriter::addFile(const QByteArray &name, const QByteArray &contents, QString *error)
{
    if (name.isEmpty() || name.size() > maxNameLength || name.contains('\0')) {
        *error = QStringLiteral("the name \"%1\" does not fit a tar header (1 to %2 bytes)")
                     .arg(QString::fromUtf8(name))
                     .arg(maxNameLength);
        return false;
    }
    // Eleven octal digits hold sizes below 8 GiB, far above any image.
    std::array<char, blockSize> header {};
    char *const h = header.data();
    std::memcpy(h, name.constData(), static_cast<size_t>(name.size()));
    putOctal(h + 100, 8, 0644);
    putOctal(h + 108, 8, 0);
    putOctal(h + 116, 8, 0);
    putOctal(h + 124, 12, static_cast<quint64>(contents.size()));
    putOctal(h + 136, 12, static_cast<quint64>(m_modificationTime));
    h[156] = '0';
    putText(h + 257, "ustar");
    putText(h + 263, "00");
    putText(h + 265, "root");
    putText(h + 297, "root");

    // The checksum is taken with its own field read as eight spaces, and stored
    // as six octal digits, a NUL and a space.
    std::memset(h + 148, ' ', 8);
    quint32 checksum = 0;
    for (const char byte : header)
        checksum += static_cast<unsigned char>(byte);
    putOctal(h + 148, 7, checksum);
    h[155] = ' ';

    m_archive.append(header.data(), blockSize);
    m_archive.append(contents);
    const int fill = (blockSize - contents.size() % blockSize) % blockSize;
    m_archive.append(QByteArray(fill, '\0'));
    return true;
}

QByteArray TarWriter::finish() const
{
    return m_archive + QByteArray(2 * blockSize, '\0');
}

} // namespace MkPackage

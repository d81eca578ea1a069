#pragma once

#include <QByteArray>
#include <QString>

namespace TestSupport {
// The whole content of a file; empty when it cannot be read.
QByteArray readFile(const QString &path);
// Writes content as the whole file; false when it cannot be opened or written in full.
bool writeFile(const QString &path, const QByteArray &content);

// The bytes a text of hexadecimal digits stands for ("7e01" is 0x7e 0x01).
QByteArray hex(const char *text);

// size bytes from the global random generator.
QByteArray randomBytes(int size);
} // namespace TestSupport

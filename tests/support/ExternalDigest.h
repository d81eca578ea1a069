#pragma once

#include <QByteArray>

namespace TestSupport {
// SHA3-512 of data computed by the openssl command, an implementation independent of the
// program's own; empty if openssl could not be run.
QByteArray opensslSha3_512(const QByteArray &data);
} // namespace TestSupport

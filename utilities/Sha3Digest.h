#pragma once

#include <QByteArray>

namespace Utilities {

// SHA3-512 (FIPS 202) through OpenSSL's EVP interface, which is measurably faster
// than QCryptographicHash on whole firmware images (see bench/).
class Sha3Digest
{
public:
    static constexpr int length = 64;

    // The raw 64-byte digest; empty only if the digest engine is unavailable.
    static QByteArray sha3_512(const char *data, qsizetype size);
    static QByteArray sha3_512(const QByteArray &data)
    {
        return sha3_512(data.constData(), data.size());
    }
};

} // namespace Utilities

#include "utilities/Sha3Digest.h"

#include <memory>
#include <openssl/evp.h>

namespace Utilities {

namespace {
struct DigestContextDeleter
{
    void operator()(EVP_MD_CTX *context) const { EVP_MD_CTX_free(context); }
};
} // namespace

QByteArray Sha3Digest::sha3_512(const char *data, qsizetype size)
{
    const std::unique_ptr<EVP_MD_CTX, DigestContextDeleter> context(EVP_MD_CTX_new());
    if (!context || EVP_DigestInit_ex(context.get(), EVP_sha3_512(), nullptr) != 1)
        return {};
    if (size > 0 && EVP_DigestUpdate(context.get(), data, static_cast<size_t>(size)) != 1)
        return {};
    QByteArray digest(length, Qt::Uninitialized);
    unsigned int written = 0;
    if (EVP_DigestFinal_ex(context.get(), reinterpret_cast<unsigned char *>(digest.data()),
                           &written)
            != 1
        || written != static_cast<unsigned int>(length))
        return {};
    return digest;
}

} // namespace Utilities

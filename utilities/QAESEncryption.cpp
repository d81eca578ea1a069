#include "utilities/QAESEncryption.h"

#include <memory>
#include <openssl/evp.h>

namespace {
struct CipherContextDeleter
{
    void operator()(EVP_CIPHER_CTX *context) const { EVP_CIPHER_CTX_free(context); }
};
using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, CipherContextDeleter>;

const EVP_CIPHER *cbcCipher(QAESEncryption::Aes level)
{
    switch (level) {
    case QAESEncryption::AES_128:
        return EVP_aes_128_cbc();
    case QAESEncryption::AES_192:
        return EVP_aes_192_cbc();
    case QAESEncryption::AES_256:
        return EVP_aes_256_cbc();
    }
    return nullptr;
}
} // namespace

QAESEncryption::QAESEncryption(Aes level, Mode mode, Padding padding, QObject *parent)
    : QObject(parent)
    , m_level(level)
    , m_mode(mode)
    , m_padding(padding)
{
    // Nk, key length, rounds and expanded key length of FIPS-197; an unknown
    // level leaves the object invalid and every operation returns nothing.
    switch (level) {
    case AES_128:
        m_nk = 4;
        m_rounds = 10;
        break;
    case AES_192:
        m_nk = 6;
        m_rounds = 12;
        break;
    case AES_256:
        m_nk = 8;
        m_rounds = 14;
        break;
    }
    const int modeCode = mode;
    const int paddingCode = padding;
    if (modeCode != CBC || paddingCode < ZERO || paddingCode > ISO)
        m_nk = m_rounds = 0;
    m_keyLength = m_nk * 4;
    m_expandedKeyLength = m_nb * (m_rounds + 1) * 4;
}

QByteArray QAESEncryption::decrypt(Aes level, Mode mode, const QByteArray &ciphertext,
                                   const QByteArray &key, const QByteArray &iv, Padding padding)
{
    return QAESEncryption(level, mode, padding).decode(ciphertext, key, iv);
}

QByteArray QAESEncryption::encrypt(Aes level, Mode mode, const QByteArray &plain,
                                   const QByteArray &key, const QByteArray &iv, Padding padding)
{
    return QAESEncryption(level, mode, padding).encode(plain, key, iv);
}

QByteArray QAESEncryption::decode(const QByteArray &ciphertext, const QByteArray &key,
                                  const QByteArray &iv) const
{
    if (ciphertext.size() % m_blockLength != 0)
        return {};
    return run(false, ciphertext, key, iv);
}

QByteArray QAESEncryption::encode(const QByteArray &plain, const QByteArray &key,
                                  const QByteArray &iv) const
{
    if (!isValid())
        return {};
    return run(true, plain + fill(plain.size()), key, iv);
}

QByteArray QAESEncryption::fill(int length) const
{
    const int missing = (m_blockLength - length % m_blockLength) % m_blockLength;
    switch (m_padding) {
    case ZERO:
        return QByteArray(missing, '\0');
    case PKCS7: {
        // PKCS #7 always adds something, a whole block when the text is aligned.
        const int count = missing == 0 ? m_blockLength : missing;
        return QByteArray(count, static_cast<char>(count));
    }
    case ISO: {
        const int count = missing == 0 ? m_blockLength : missing;
        QByteArray bytes(count, '\0');
        bytes[0] = static_cast<char>(0x80);
        return bytes;
    }
    }
    return {};
}

QByteArray QAESEncryption::removePadding(const QByteArray &bytes) const
{
    switch (m_padding) {
    case ZERO: {
        int end = bytes.size();
        while (end > 0 && bytes.at(end - 1) == '\0')
            --end;
        return bytes.left(end);
    }
    case PKCS7: {
        if (bytes.isEmpty())
            return bytes;
        const int count = static_cast<unsigned char>(bytes.back());
        if (count > bytes.size())
            return bytes;
        return bytes.left(bytes.size() - count);
    }
    case ISO: {
        int last = bytes.size() - 1;
        while (last >= 0 && bytes.at(last) == '\0')
            --last;
        if (last >= 0 && static_cast<unsigned char>(bytes.at(last)) == 0x80)
            return bytes.left(last);
        return bytes;
    }
    }
    return bytes;
}

QByteArray QAESEncryption::run(bool encrypting, const QByteArray &input, const QByteArray &key,
                               const QByteArray &iv) const
{
    if (!isValid() || iv.size() != m_blockLength || key.size() != m_keyLength)
        return {};
    if (input.isEmpty())
        return {};
    const EVP_CIPHER *const cipher = cbcCipher(m_level);
    const CipherContext context(EVP_CIPHER_CTX_new());
    if (!cipher || !context)
        return {};

    const auto *keyBytes = reinterpret_cast<const unsigned char *>(key.constData());
    const auto *ivBytes = reinterpret_cast<const unsigned char *>(iv.constData());
    if (EVP_CipherInit_ex(context.get(), cipher, nullptr, keyBytes, ivBytes, encrypting ? 1 : 0)
            != 1
        || EVP_CIPHER_CTX_set_padding(context.get(), 0) != 1)
        return {};

    QByteArray output(input.size(), Qt::Uninitialized);
    auto *out = reinterpret_cast<unsigned char *>(output.data());
    int written = 0;
    int finalWritten = 0;
    if (EVP_CipherUpdate(context.get(), out, &written,
                         reinterpret_cast<const unsigned char *>(input.constData()), input.size())
            != 1
        || EVP_CipherFinal_ex(context.get(), out + written, &finalWritten) != 1
        || written + finalWritten != input.size())
        return {};
    return output;
}

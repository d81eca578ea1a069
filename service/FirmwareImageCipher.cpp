#include "service/FirmwareImageCipher.h"

#include "BuildConstants.h"
#include "utilities/LittleEndian.h"
#include "utilities/QAESEncryption.h"
#include "utilities/Sha3Digest.h"

#include <QRandomGenerator>
#include <algorithm>
#include <openssl/crypto.h>

namespace Service::K27 {

namespace {
// The fill is shorter than one block, so an honest plain length lies at most
// this far below the payload length. The digest does not cover the length
// field: this bound and the zero fill after the plain length are what guard
// against a shortened image.
constexpr quint64 maxFill = FirmwareImageCipher::blockLength - 1;

quint64 storedPlainLength(const QByteArray &file)
{
    return Utilities::LittleEndian::read<quint64>(file.constData()
                                                  + FirmwareImageCipher::plainLengthOffset);
}
} // namespace

const QByteArray &FirmwareImageCipher::firmwareKey()
{
    static const QByteArray key(BuildConstants::firmwareKey);
    return key;
}

FirmwareImageCipher::FirmwareImageCipher(const QByteArray &key)
    : m_key(key)
{
}

quint64 FirmwareImageCipher::decryptImage(QByteArray &file) const
{
    if (file.isEmpty())
        return 0;
    if (file.size() < headerLength) {
        file.clear();
        return 0;
    }
    const quint64 plainLength = storedPlainLength(file);
    const QByteArray iv = file.mid(ivOffset, ivLength);
    // A view of the ciphertext, so a large image is not copied before decrypting.
    const QByteArray ciphertext
        = QByteArray::fromRawData(file.constData() + headerLength, file.size() - headerLength);
    file = QAESEncryption::decrypt(QAESEncryption::AES_128, QAESEncryption::CBC, ciphertext, m_key,
                                   iv, QAESEncryption::ZERO);
    return file.isEmpty() ? 0 : plainLength;
}

FirmwareImageCipher::Check FirmwareImageCipher::verifyImage(QByteArray &file) const
{
    if (file.size() <= headerLength)
        return Check::TooShort;
    const quint64 payloadLength = static_cast<quint64>(file.size() - headerLength);
    if (payloadLength % blockLength != 0)
        return Check::NotWholeBlocks;
    const quint64 plainLength = storedPlainLength(file);
    if (plainLength > payloadLength || payloadLength - plainLength > maxFill)
        return Check::PlainLengthMismatch;

    const QByteArray expected = file.left(digestLength);
    QByteArray payload = file;
    decryptImage(payload);
    const QByteArray computed = Utilities::Sha3Digest::sha3_512(payload);
    if (payload.size() != static_cast<int>(payloadLength) || computed.size() != expected.size()
        || CRYPTO_memcmp(computed.constData(), expected.constData(), digestLength) != 0)
        return Check::DigestMismatch;
    // The fill is zero bytes; a shortened plain length would pass the end of the
    // image off as fill and send a cut image.
    const char *const fillBegin = payload.constData() + plainLength;
    if (std::any_of(fillBegin, payload.constEnd(), [](char byte) { return byte != '\0'; }))
        return Check::FillNotZero;

    payload.truncate(static_cast<int>(plainLength));
    file = std::move(payload);
    return Check::Ok;
}

QByteArray FirmwareImageCipher::encryptImage(const QByteArray &plain, const QByteArray &iv) const
{
    if (plain.isEmpty() || iv.size() != ivLength)
        return {};
    QAESEncryption cipher(QAESEncryption::AES_128, QAESEncryption::CBC, QAESEncryption::ZERO);
    const QByteArray payload = plain + cipher.fill(plain.size());
    const QByteArray ciphertext = cipher.encode(payload, m_key, iv);
    if (ciphertext.size() != payload.size())
        return {};

    QByteArray file = Utilities::Sha3Digest::sha3_512(payload);
    if (file.size() != digestLength)
        return {};
    char length[8];
    Utilities::LittleEndian::write<quint64>(static_cast<quint64>(plain.size()), length);
    file.append(length, sizeof length);
    file.append(iv);
    file.append(ciphertext);
    return file;
}

QByteArray FirmwareImageCipher::randomIv()
{
    QByteArray iv(ivLength, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(iv.data()), ivLength / 4);
    return iv;
}

QString FirmwareImageCipher::checkText(Check check)
{
    switch (check) {
    case Check::Ok:
        return tr("the image verifies");
    case Check::TooShort:
        return tr("the file is too short to be an encrypted image");
    case Check::NotWholeBlocks:
        return tr("the ciphertext is not a whole number of 16-byte blocks");
    case Check::PlainLengthMismatch:
        return tr("the plain length does not fit the payload");
    case Check::DigestMismatch:
        return tr("the digest does not match (wrong key or altered image)");
    case Check::FillNotZero:
        return tr("the fill after the plain length is not zero (altered plain length)");
    }
    return {};
}

} // namespace Service::K27

#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

namespace Service::K27 {

// Encrypted firmware images (".crypt"): a SHA3-512 digest of the decrypted
// payload, the plain length (unsigned 64-bit, little-endian), the IV and the
// AES-128-CBC ciphertext of the image followed by zero fill up to the next
// 16-byte boundary. The update control service verifies and decrypts every
// encrypted image here before it sends a single byte of it; k27-mkpackage makes
// and checks images with the same code.
class FirmwareImageCipher
{
    Q_DECLARE_TR_FUNCTIONS(Service::K27::FirmwareImageCipher)

public:
    static constexpr int digestLength = 64;
    static constexpr int plainLengthOffset = 64;
    static constexpr int ivOffset = 72;
    static constexpr int ivLength = 16;
    static constexpr int headerLength = 88;
    static constexpr int blockLength = 16;

    enum class Check {
        Ok,
        TooShort, // shorter than the 88-byte header, or no ciphertext at all
        NotWholeBlocks, // ciphertext is not a whole number of 16-byte blocks
        PlainLengthMismatch, // plain length larger than the payload or more than the fill below it
        DigestMismatch, // wrong key, corrupted or altered image
        FillNotZero, // a byte after the plain length is not zero: the plain length was shortened
    };

    // The key of the images: the 16 characters of the build-time constant, built
    // once on first use. It is never printed or logged.
    static const QByteArray &firmwareKey();

    explicit FirmwareImageCipher(const QByteArray &key = firmwareKey());

    // Replaces the whole file by its decrypted payload (image and fill, nothing
    // cut) and returns the plain length stored in the file. An empty file stays
    // empty and gives 0; a file too short to hold the header, or whose ciphertext
    // is not a whole number of blocks, gives an empty payload and 0.
    quint64 decryptImage(QByteArray &file) const;

    // Checks the header bounds, decrypts, compares the digest over the whole
    // payload, checks that every byte after the plain length is zero fill and cuts
    // the payload to the plain length. On Ok the file is replaced
    // by the plain image; on any other result it is left unchanged. Every result
    // other than Ok is a digest error to the update.
    Check verifyImage(QByteArray &file) const;

    // Builds an encrypted image of a non-empty plain image with zero fill; empty
    // when the image is empty or the IV is not 16 bytes.
    QByteArray encryptImage(const QByteArray &plain, const QByteArray &iv) const;
    QByteArray encryptImage(const QByteArray &plain) const
    {
        return encryptImage(plain, randomIv());
    }

    // 16 bytes from the operating system's random generator.
    static QByteArray randomIv();

    // One line for the user, e.g. "the digest does not match".
    static QString checkText(Check check);

private:
    const QByteArray m_key;
};

} // namespace Service::K27

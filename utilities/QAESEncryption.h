#pragma once

#include <QByteArray>
#include <QObject>

// AES block cipher for the firmware images. The block work is done by OpenSSL's
// EVP interface with its own padding switched off; the fill of the last block is
// handled here, so the codes and the fill schemes stay those of this class.
class QAESEncryption : public QObject
{
    Q_OBJECT

public:
    // Key size codes: FIPS-197 AES-128, AES-192 and AES-256.
    enum Aes { AES_128 = 0, AES_192 = 1, AES_256 = 2 };
    // Chaining mode codes; the images use CBC only.
    enum Mode { CBC = 1 };
    // Fill schemes: zero bytes, PKCS #7, or one 0x80 byte followed by zero bytes.
    enum Padding { ZERO = 0, PKCS7 = 1, ISO = 2 };

    static constexpr int blockLength = 16;

    QAESEncryption(Aes level, Mode mode, Padding padding = ZERO, QObject *parent = nullptr);

    // Decrypts whole blocks and removes no fill. The result is empty when the IV is
    // not one block long, the key length does not match the level, the ciphertext
    // is not a whole number of blocks, or a code is unknown.
    static QByteArray decrypt(Aes level, Mode mode, const QByteArray &ciphertext,
                              const QByteArray &key, const QByteArray &iv, Padding padding = ZERO);
    // Fills the plain text to whole blocks by the padding scheme and encrypts it
    // (zero fill adds nothing to text that already ends on a block boundary).
    static QByteArray encrypt(Aes level, Mode mode, const QByteArray &plain, const QByteArray &key,
                              const QByteArray &iv, Padding padding = ZERO);

    QByteArray decode(const QByteArray &ciphertext, const QByteArray &key,
                      const QByteArray &iv) const;
    QByteArray encode(const QByteArray &plain, const QByteArray &key, const QByteArray &iv) const;

    // Strips the fill by this object's padding scheme; a fill that does not
    // match the scheme is left in place.
    QByteArray removePadding(const QByteArray &bytes) const;
    // The bytes that bring a text of the given length to whole blocks.
    QByteArray fill(int length) const;

    bool isValid() const { return m_keyLength != 0; }
    int keyLength() const { return m_keyLength; }
    int rounds() const { return m_rounds; }

private:
    QByteArray run(bool encrypting, const QByteArray &input, const QByteArray &key,
                   const QByteArray &iv) const;

    const int m_nb = 4;
    const int m_blockLength = blockLength;
    const Aes m_level;
    const Mode m_mode;
    int m_nk = 0;
    int m_keyLength = 0;
    int m_rounds = 0;
    int m_expandedKeyLength = 0;
    const Padding m_padding;
};

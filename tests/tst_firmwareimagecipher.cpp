#include "BuildConstants.h"
#include "service/FirmwareImageCipher.h"
#include "support/ExternalTool.h"
#include "support/TestRegistry.h"
#include "support/TestSupport.h"
#include "support/TrappedTest.h"
#include "utilities/Sha3Digest.h"

#include <QtEndian>
#include <QtTest>

using Service::K27::FirmwareImageCipher;
using Check = FirmwareImageCipher::Check;

Q_DECLARE_METATYPE(FirmwareImageCipher::Check)

namespace {
QByteArray littleEndian64(quint64 value)
{
    char bytes[8];
    qToLittleEndian(value, bytes);
    return QByteArray(bytes, 8);
}

QByteArray withPlainLength(QByteArray file, quint64 length)
{
    return file.replace(FirmwareImageCipher::plainLengthOffset, 8, littleEndian64(length));
}

// Random bytes none of which is zero, so no part of the image can pass for fill.
QByteArray nonZeroBytes(int count)
{
    QByteArray bytes = TestSupport::randomBytes(count);
    for (char &byte : bytes) {
        if (byte == '\0')
            byte = '\x5a';
    }
    return bytes;
}

QByteArray zeroFilled(const QByteArray &plain)
{
    return plain + QByteArray((16 - plain.size() % 16) % 16, '\0');
}

// The image key in hex for the openssl command line; it goes nowhere else.
QString keyHex()
{
    return QString::fromLatin1(FirmwareImageCipher::firmwareKey().toHex());
}

TestSupport::ToolRun openssl(const QStringList &arguments, const QByteArray &input)
{
    return TestSupport::runTool(QStringLiteral("openssl"), arguments, QString(), input);
}
} // namespace

class TestFirmwareImageCipher : public TestSupport::TrappedTest
{
    Q_OBJECT

private slots:
    void keyIsTheBuildConstant()
    {
        const QByteArray &key = FirmwareImageCipher::firmwareKey();
        // Compared without QCOMPARE so that a failure does not print the key.
        QVERIFY(key.size() == 16);
        QVERIFY(key == QByteArray(BuildConstants::firmwareKey));
        QVERIFY(&key == &FirmwareImageCipher::firmwareKey());
    }

    // Images made with nothing of ours: the openssl command line encrypts the
    // zero-filled payload and computes its digest; our code decrypts and verifies.
    void imageMadeByOpenSsl_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("payloadLength");
        QTest::newRow("1000 bytes, 63 blocks") << 1000 << 1008;
        QTest::newRow("1024 bytes, no fill") << 1024 << 1024;
        QTest::newRow("1 byte") << 1 << 16;
        QTest::newRow("70000 bytes") << 70000 << 70000;
        QTest::newRow("70001 bytes") << 70001 << 70016;
    }
    void imageMadeByOpenSsl()
    {
        QFETCH(int, length);
        QFETCH(int, payloadLength);
        const QByteArray plain = TestSupport::randomBytes(length);
        const QByteArray payload = zeroFilled(plain);
        QCOMPARE(payload.size(), payloadLength);
        const QByteArray iv = TestSupport::randomBytes(16);

        const TestSupport::ToolRun encrypted = openssl(
            {QStringLiteral("enc"), QStringLiteral("-aes-128-cbc"), QStringLiteral("-K"), keyHex(),
             QStringLiteral("-iv"), QString::fromLatin1(iv.toHex()), QStringLiteral("-nopad")},
            payload);
        QVERIFY2(encrypted.succeeded(), encrypted.standardError.constData());
        const TestSupport::ToolRun digest = openssl(
            {QStringLiteral("dgst"), QStringLiteral("-sha3-512"), QStringLiteral("-binary")},
            payload);
        QVERIFY2(digest.succeeded(), digest.standardError.constData());
        QCOMPARE(digest.standardOutput.size(), 64);

        const QByteArray file = digest.standardOutput + littleEndian64(quint64(length)) + iv
            + encrypted.standardOutput;
        const FirmwareImageCipher cipher;

        QByteArray decrypted = file;
        QCOMPARE(cipher.decryptImage(decrypted), quint64(length));
        QCOMPARE(decrypted, payload);

        QByteArray verified = file;
        QCOMPARE(cipher.verifyImage(verified), Check::Ok);
        QCOMPARE(verified, plain);
    }

    // Our images, taken apart and decrypted by the openssl command line.
    void imageDecryptedByOpenSsl()
    {
        const QByteArray plain = TestSupport::randomBytes(1000);
        const FirmwareImageCipher cipher;
        const QByteArray file = cipher.encryptImage(plain);
        QCOMPARE(file.size(), 88 + 1008);
        QCOMPARE(qFromLittleEndian<quint64>(file.constData() + 64), quint64(1000));
        const QByteArray iv = file.mid(72, 16);
        QVERIFY(cipher.encryptImage(plain).mid(72, 16) != iv);

        const TestSupport::ToolRun decrypted
            = openssl({QStringLiteral("enc"), QStringLiteral("-d"), QStringLiteral("-aes-128-cbc"),
                       QStringLiteral("-K"), keyHex(), QStringLiteral("-iv"),
                       QString::fromLatin1(iv.toHex()), QStringLiteral("-nopad")},
                      file.mid(88));
        QVERIFY2(decrypted.succeeded(), decrypted.standardError.constData());
        QCOMPARE(decrypted.standardOutput, zeroFilled(plain));
        const TestSupport::ToolRun digest = openssl(
            {QStringLiteral("dgst"), QStringLiteral("-sha3-512"), QStringLiteral("-binary")},
            decrypted.standardOutput);
        QVERIFY2(digest.succeeded(), digest.standardError.constData());
        QCOMPARE(digest.standardOutput, file.left(64));
    }

    // Every single-byte change of the stored digest, the IV or the ciphertext of a
    // small image is refused, and the file is left as it was.
    void everyByteChangeIsRefused_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::newRow("digest") << 0 << 64;
        QTest::newRow("IV") << 72 << 88;
        QTest::newRow("ciphertext") << 88 << 88 + 48;
    }
    void everyByteChangeIsRefused()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        const FirmwareImageCipher cipher;
        const QByteArray file = cipher.encryptImage(TestSupport::randomBytes(40));
        QCOMPARE(file.size(), 88 + 48);
        for (int position = from; position < to; ++position) {
            for (const char change : {'\x01', '\x80', '\xff'}) {
                QByteArray altered = file;
                altered[position] = static_cast<char>(altered.at(position) ^ change);
                const QByteArray before = altered;
                const Check check = cipher.verifyImage(altered);
                QVERIFY2(check == Check::DigestMismatch,
                         qPrintable(QStringLiteral("byte %1 changed by %2 passed")
                                        .arg(position)
                                        .arg(int(uchar(change)))));
                QCOMPARE(altered, before);
            }
        }
    }

    // The digest does not cover the plain length: a value that only moves into or
    // out of the zero fill is taken; one that cuts image bytes off is refused, as
    // is anything outside the last block.
    void plainLength_data()
    {
        QTest::addColumn<quint64>("length");
        QTest::addColumn<Check>("check");
        QTest::newRow("as stored") << quint64(1000) << Check::Ok;
        QTest::newRow("the whole payload") << quint64(1008) << Check::Ok;
        QTest::newRow("one below") << quint64(999) << Check::FillNotZero;
        QTest::newRow("15 below the payload") << quint64(993) << Check::FillNotZero;
        QTest::newRow("16 below the payload") << quint64(992) << Check::PlainLengthMismatch;
        QTest::newRow("zero") << quint64(0) << Check::PlainLengthMismatch;
        QTest::newRow("one past the payload") << quint64(1009) << Check::PlainLengthMismatch;
        QTest::newRow("2^31") << (quint64(1) << 31) << Check::PlainLengthMismatch;
        QTest::newRow("2^32 + 1000") << (quint64(1) << 32) + 1000 << Check::PlainLengthMismatch;
        QTest::newRow("largest") << ~quint64(0) << Check::PlainLengthMismatch;
    }
    void plainLength()
    {
        QFETCH(quint64, length);
        QFETCH(Check, check);
        const FirmwareImageCipher cipher;
        const QByteArray plain = nonZeroBytes(1000);
        QByteArray file = withPlainLength(cipher.encryptImage(plain), length);
        const QByteArray before = file;
        QCOMPARE(cipher.verifyImage(file), check);
        if (check == Check::Ok)
            QCOMPARE(file, zeroFilled(plain).left(int(length)));
        else
            QCOMPARE(file, before);
    }

    // An image without fill whose last bytes are not zero: every plain length that
    // cuts 1 to 15 of them off (within the last block, so only the fill can tell)
    // is refused and leaves the file as it was; the stored one is taken.
    void shortenedPlainLengthIsRefused()
    {
        const FirmwareImageCipher cipher;
        const QByteArray plain = nonZeroBytes(1024);
        const QByteArray file = cipher.encryptImage(plain);
        QCOMPARE(file.size(), 88 + 1024);

        QByteArray unmodified = file;
        QCOMPARE(cipher.verifyImage(unmodified), Check::Ok);
        QCOMPARE(unmodified, plain);

        for (quint64 cut = 1; cut < 16; ++cut) {
            QByteArray shortened = withPlainLength(file, 1024 - cut);
            const QByteArray before = shortened;
            const Check check = cipher.verifyImage(shortened);
            QVERIFY2(check == Check::FillNotZero,
                     qPrintable(QStringLiteral("plain length %1 gave %2")
                                    .arg(1024 - cut)
                                    .arg(FirmwareImageCipher::checkText(check))));
            QCOMPARE(shortened, before);
        }
    }

    void malformedFiles_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Check>("check");
        QTest::addColumn<bool>("emptyPayload"); // what decryptImage leaves
        const FirmwareImageCipher cipher;
        const QByteArray good = cipher.encryptImage(TestSupport::randomBytes(1000));
        QTest::newRow("empty") << QByteArray() << Check::TooShort << true;
        QTest::newRow("80 bytes, IV incomplete") << good.left(80) << Check::TooShort << true;
        QTest::newRow("87 bytes") << good.left(87) << Check::TooShort << true;
        QTest::newRow("header without ciphertext") << good.left(88) << Check::TooShort << true;
        QTest::newRow("one byte short") << good.chopped(1) << Check::NotWholeBlocks << true;
        QTest::newRow("one byte over") << good + 'x' << Check::NotWholeBlocks << true;
        QTest::newRow("one block short") << good.chopped(16) << Check::PlainLengthMismatch << false;
        QTest::newRow("one block over")
            << good + QByteArray(16, 'x') << Check::PlainLengthMismatch << false;
        QTest::newRow("other key")
            << FirmwareImageCipher("0123456789abcdef").encryptImage(TestSupport::randomBytes(1000))
            << Check::DigestMismatch << false;
    }
    void malformedFiles()
    {
        QFETCH(QByteArray, file);
        QFETCH(Check, check);
        QFETCH(bool, emptyPayload);
        const FirmwareImageCipher cipher;
        QByteArray verified = file;
        QCOMPARE(cipher.verifyImage(verified), check);
        QCOMPARE(verified, file);

        QByteArray decrypted = file;
        const quint64 length = cipher.decryptImage(decrypted);
        QCOMPARE(decrypted.isEmpty(), emptyPayload);
        if (emptyPayload)
            QCOMPARE(length, quint64(0));
        else
            QCOMPARE(decrypted.size(), file.size() - 88);
    }

    void checkTextsAreDistinct()
    {
        const QList<Check> checks {Check::Ok,
                                   Check::TooShort,
                                   Check::NotWholeBlocks,
                                   Check::PlainLengthMismatch,
                                   Check::DigestMismatch,
                                   Check::FillNotZero};
        QStringList texts;
        for (const Check check : checks) {
            QVERIFY(!FirmwareImageCipher::checkText(check).isEmpty());
            QVERIFY(!texts.contains(FirmwareImageCipher::checkText(check)));
            texts << FirmwareImageCipher::checkText(check);
        }
    }

    void encryptRefusesWhatItCannotMake()
    {
        const FirmwareImageCipher cipher;
        QVERIFY(cipher.encryptImage(QByteArray()).isEmpty());
        QVERIFY(cipher.encryptImage("plain", QByteArray(15, 'i')).isEmpty());
        QVERIFY(FirmwareImageCipher(QByteArray(15, 'k')).encryptImage("plain").isEmpty());
    }
};

K27_TEST_GUILESS_MAIN(TestFirmwareImageCipher)
#include "tst_firmwareimagecipher.moc"

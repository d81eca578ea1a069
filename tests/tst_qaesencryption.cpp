#include "support/ExternalTool.h"
#include "support/TestRegistry.h"
#include "support/TestSupport.h"
#include "support/TrappedTest.h"
#include "utilities/QAESEncryption.h"

#include <QtTest>

namespace {
const QByteArray nistIv = QByteArray::fromHex("000102030405060708090a0b0c0d0e0f");
// NIST SP 800-38A, F.2: the four plain text blocks shared by all CBC examples.
const QByteArray nistPlain
    = QByteArray::fromHex("6bc1bee22e409f96e93d7e117393172aae2d8a571e03ac9c9eb76fac45af8e51"
                          "30c81c46a35ce411e5fbc1191a0a52eff69f2445df4f9b17ad2b417be66c3710");
const QByteArray key128 = QByteArray::fromHex("2b7e151628aed2a6abf7158809cf4f3c");
} // namespace

class TestQAESEncryption : public TestSupport::TrappedTest
{
    Q_OBJECT

private slots:
    void nistCbcVectors_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("ciphertext");
        QTest::newRow("F.2.2 CBC-AES128.Decrypt")
            << int(QAESEncryption::AES_128) << key128
            << QByteArray::fromHex(
                   "7649abac8119b246cee98e9b12e9197d5086cb9b507219ee95db113a917678b2"
                   "73bed6b8e3c1743b7116e69e222295163ff1caa1681fac09120eca307586e1a7");
        QTest::newRow("F.2.4 CBC-AES192.Decrypt")
            << int(QAESEncryption::AES_192)
            << QByteArray::fromHex("8e73b0f7da0e6452c810f32b809079e562f8ead2522c6b7b")
            << QByteArray::fromHex(
                   "4f021db243bc633d7178183a9fa071e8b4d9ada9ad7dedf4e5e738763f69145a"
                   "571b242012fb7ae07fa9baac3df102e008b0e27988598881d920a9e64f5615cd");
        QTest::newRow("F.2.6 CBC-AES256.Decrypt")
            << int(QAESEncryption::AES_256)
            << QByteArray::fromHex(
                   "603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4")
            << QByteArray::fromHex(
                   "f58c4c04d6e5f1ba779eabfb5f7bfbd69cfc4e967edb808d679f777bc6702c7d"
                   "39f23369a9d9bacfa530e26304231461b2eb05e2c39be9fcda6c19078c6a9d1b");
    }
    void nistCbcVectors()
    {
        QFETCH(int, level);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, ciphertext);
        const auto aes = static_cast<QAESEncryption::Aes>(level);
        QCOMPARE(QAESEncryption::decrypt(aes, QAESEncryption::CBC, ciphertext, key, nistIv,
                                         QAESEncryption::ZERO),
                 nistPlain);
        QCOMPARE(QAESEncryption::encrypt(aes, QAESEncryption::CBC, nistPlain, key, nistIv,
                                         QAESEncryption::ZERO),
                 ciphertext);
        // Chaining: every block after the first depends on the one before it.
        QCOMPARE(QAESEncryption::decrypt(aes, QAESEncryption::CBC, ciphertext.mid(16), key,
                                         ciphertext.left(16), QAESEncryption::ZERO),
                 nistPlain.mid(16));
    }

    void parametersFollowTheLevel_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("keyLength");
        QTest::addColumn<int>("rounds");
        QTest::newRow("AES-128") << 0 << 16 << 10;
        QTest::newRow("AES-192") << 1 << 24 << 12;
        QTest::newRow("AES-256") << 2 << 32 << 14;
        QTest::newRow("unknown level") << 3 << 0 << 0;
    }
    void parametersFollowTheLevel()
    {
        QFETCH(int, level);
        QFETCH(int, keyLength);
        QFETCH(int, rounds);
        const QAESEncryption cipher(static_cast<QAESEncryption::Aes>(level), QAESEncryption::CBC);
        QCOMPARE(cipher.keyLength(), keyLength);
        QCOMPARE(cipher.rounds(), rounds);
        QCOMPARE(cipher.isValid(), keyLength != 0);
    }

    // The openssl command line as an independent producer: -nopad ciphertext of
    // zero-filled text, and its own PKCS #7 padding, for every key size.
    void openSslCommandLine_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("padding");
        QTest::addColumn<int>("length");
        for (int level = 0; level <= 2; ++level) {
            for (const int length : {1, 16, 1000}) {
                QTest::addRow("AES-%d zero fill, %d bytes", 128 + 64 * level, length)
                    << level << int(QAESEncryption::ZERO) << length;
                QTest::addRow("AES-%d PKCS #7, %d bytes", 128 + 64 * level, length)
                    << level << int(QAESEncryption::PKCS7) << length;
            }
        }
    }
    void openSslCommandLine()
    {
        QFETCH(int, level);
        QFETCH(int, padding);
        QFETCH(int, length);
        const auto aes = static_cast<QAESEncryption::Aes>(level);
        const auto fill = static_cast<QAESEncryption::Padding>(padding);
        const QByteArray key = TestSupport::randomBytes(16 + 8 * level);
        const QByteArray iv = TestSupport::randomBytes(16);
        const QByteArray plain = TestSupport::randomBytes(length);
        const QAESEncryption cipher(aes, QAESEncryption::CBC, fill);
        const QByteArray padded = plain + cipher.fill(plain.size());

        QStringList arguments {
            QStringLiteral("enc"), QStringLiteral("-aes-%1-cbc").arg(128 + 64 * level),
            QStringLiteral("-K"),  QString::fromLatin1(key.toHex()),
            QStringLiteral("-iv"), QString::fromLatin1(iv.toHex())};
        if (fill == QAESEncryption::ZERO)
            arguments << QStringLiteral("-nopad");
        const TestSupport::ToolRun run
            = TestSupport::runTool(QStringLiteral("openssl"), arguments, QString(),
                                   fill == QAESEncryption::ZERO ? padded : plain);
        QVERIFY2(run.succeeded(), run.standardError.constData());
        const QByteArray ciphertext = run.standardOutput;
        QCOMPARE(ciphertext.size(), padded.size());

        QCOMPARE(QAESEncryption::decrypt(aes, QAESEncryption::CBC, ciphertext, key, iv, fill),
                 padded);
        QCOMPARE(cipher.removePadding(cipher.decode(ciphertext, key, iv)),
                 fill == QAESEncryption::PKCS7 ? plain : cipher.removePadding(padded));
        QCOMPARE(QAESEncryption::encrypt(aes, QAESEncryption::CBC, plain, key, iv, fill),
                 ciphertext);
    }

    void fill_data()
    {
        QTest::addColumn<int>("padding");
        QTest::addColumn<int>("length");
        QTest::addColumn<QByteArray>("fill");
        QTest::newRow("zero, 1000 bytes") << 0 << 1000 << QByteArray(8, '\0');
        QTest::newRow("zero, whole blocks") << 0 << 32 << QByteArray();
        QTest::newRow("zero, empty") << 0 << 0 << QByteArray();
        QTest::newRow("PKCS #7, 1000 bytes") << 1 << 1000 << QByteArray(8, '\x08');
        QTest::newRow("PKCS #7, whole blocks") << 1 << 32 << QByteArray(16, '\x10');
        QTest::newRow("PKCS #7, one short") << 1 << 15 << QByteArray(1, '\x01');
        QTest::newRow("0x80, 1000 bytes") << 2 << 1000 << QByteArray::fromHex("8000000000000000");
        QTest::newRow("0x80, whole blocks")
            << 2 << 16 << QByteArray::fromHex("80000000000000000000000000000000");
    }
    void fill()
    {
        QFETCH(int, padding);
        QFETCH(int, length);
        QFETCH(QByteArray, fill);
        const QAESEncryption cipher(QAESEncryption::AES_128, QAESEncryption::CBC,
                                    static_cast<QAESEncryption::Padding>(padding));
        QCOMPARE(cipher.fill(length), fill);
        const QByteArray ciphertext = cipher.encode(QByteArray(length, 'p'), key128, nistIv);
        QCOMPARE(ciphertext.size(), length + fill.size());
        QCOMPARE(cipher.decode(ciphertext, key128, nistIv), QByteArray(length, 'p') + fill);
    }

    void removePadding_data()
    {
        QTest::addColumn<int>("padding");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("zero") << 0 << QByteArray("ab\0c\0\0", 6) << QByteArray("ab\0c", 4);
        QTest::newRow("zero, nothing else") << 0 << QByteArray(16, '\0') << QByteArray();
        QTest::newRow("zero, empty") << 0 << QByteArray() << QByteArray();
        QTest::newRow("PKCS #7") << 1 << QByteArray("abc\x03\x03\x03") << QByteArray("abc");
        QTest::newRow("PKCS #7, whole block") << 1 << QByteArray(16, '\x10') << QByteArray();
        QTest::newRow("PKCS #7, count beyond the bytes")
            << 1 << QByteArray("ab\x20") << QByteArray("ab\x20");
        QTest::newRow("PKCS #7, empty") << 1 << QByteArray() << QByteArray();
        QTest::newRow("0x80") << 2 << QByteArray("ab\x80\0\0", 5) << QByteArray("ab");
        QTest::newRow("0x80, last byte") << 2 << QByteArray("ab\x80") << QByteArray("ab");
        QTest::newRow("0x80 missing")
            << 2 << QByteArray("ab\x7f\0", 4) << QByteArray("ab\x7f\0", 4);
        QTest::newRow("0x80, only zeros") << 2 << QByteArray(4, '\0') << QByteArray(4, '\0');
    }
    void removePadding()
    {
        QFETCH(int, padding);
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, expected);
        const QAESEncryption cipher(QAESEncryption::AES_128, QAESEncryption::CBC,
                                    static_cast<QAESEncryption::Padding>(padding));
        QCOMPARE(cipher.removePadding(bytes), expected);
    }

    // Nothing half-done: a wrong IV, key, block count or code gives no output at all.
    void refusals_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QByteArray>("ciphertext");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("iv");
        const QByteArray blocks(32, 'c');
        QTest::newRow("IV of 15 bytes") << 0 << 1 << blocks << key128 << nistIv.left(15);
        QTest::newRow("IV of 17 bytes") << 0 << 1 << blocks << key128 << nistIv + 'x';
        QTest::newRow("no IV") << 0 << 1 << blocks << key128 << QByteArray();
        QTest::newRow("key of 15 bytes") << 0 << 1 << blocks << key128.left(15) << nistIv;
        QTest::newRow("AES-128 key for AES-256") << 2 << 1 << blocks << key128 << nistIv;
        QTest::newRow("partial block") << 0 << 1 << blocks.left(31) << key128 << nistIv;
        QTest::newRow("block and a byte") << 0 << 1 << blocks.left(17) << key128 << nistIv;
        QTest::newRow("empty ciphertext") << 0 << 1 << QByteArray() << key128 << nistIv;
        QTest::newRow("unknown mode") << 0 << 0 << blocks << key128 << nistIv;
        QTest::newRow("unknown level") << 3 << 1 << blocks << key128 << nistIv;
    }
    void refusals()
    {
        QFETCH(int, level);
        QFETCH(int, mode);
        QFETCH(QByteArray, ciphertext);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, iv);
        QVERIFY(QAESEncryption::decrypt(static_cast<QAESEncryption::Aes>(level),
                                        static_cast<QAESEncryption::Mode>(mode), ciphertext, key,
                                        iv, QAESEncryption::ZERO)
                    .isEmpty());
        if (ciphertext.size() % 16 == 0)
            QVERIFY(QAESEncryption::encrypt(static_cast<QAESEncryption::Aes>(level),
                                            static_cast<QAESEncryption::Mode>(mode), ciphertext,
                                            key, iv, QAESEncryption::ZERO)
                        .isEmpty());
    }
};

K27_TEST_GUILESS_MAIN(TestQAESEncryption)
#include "tst_qaesencryption.moc"

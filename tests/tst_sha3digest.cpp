#include "support/ExternalTool.h"
#include "support/TestRegistry.h"
#include "support/TestSupport.h"
#include "support/TrappedTest.h"
#include "utilities/Sha3Digest.h"

#include <QCryptographicHash>
#include <QtTest>

using Utilities::Sha3Digest;

class TestSha3Digest : public TestSupport::TrappedTest
{
    Q_OBJECT

private slots:
    void knownAnswers_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QByteArray>("digest");
        QTest::newRow("empty") << QByteArray()
                               << QByteArray(
                                      "a69f73cca23a9ac5c8b567dc185a756e97c982164fe25859e0d1dcc1"
                                      "475c80a615b2123af1f5f94c11e3e9402c3ac558f500199d95b6d3e3"
                                      "01758586281dcd26");
        QTest::newRow("abc") << QByteArray("abc")
                             << QByteArray(
                                    "b751850b1a57168a5693cd924b6b096e08f621827444f70d884f5d02"
                                    "40d2712e10e116e9192af3c91a7ec57647e3934057340b4cf408d5a5"
                                    "6592f8274eec53f0");
    }
    void knownAnswers()
    {
        QFETCH(QByteArray, message);
        QFETCH(QByteArray, digest);
        QCOMPARE(Sha3Digest::sha3_512(message).toHex(), digest);
    }

    // Lengths around the 72-byte rate of SHA3-512 and a large one, against Qt's own
    // implementation and the openssl command line.
    void agreesWithOtherImplementations_data()
    {
        QTest::addColumn<int>("length");
        for (const int length : {1, 71, 72, 73, 144, 1000, 1 << 20})
            QTest::addRow("%d bytes", length) << length;
    }
    void agreesWithOtherImplementations()
    {
        QFETCH(int, length);
        const QByteArray message = TestSupport::randomBytes(length);
        const QByteArray digest = Sha3Digest::sha3_512(message);
        QCOMPARE(digest.size(), Sha3Digest::length);
        QCOMPARE(digest, QCryptographicHash::hash(message, QCryptographicHash::Sha3_512));
        const TestSupport::ToolRun run = TestSupport::runTool(
            QStringLiteral("openssl"),
            {QStringLiteral("dgst"), QStringLiteral("-sha3-512"), QStringLiteral("-binary")},
            QString(), message);
        QVERIFY2(run.succeeded(), run.standardError.constData());
        QCOMPARE(digest, run.standardOutput);
    }
};

K27_TEST_GUILESS_MAIN(TestSha3Digest)
#include "tst_sha3digest.moc"

#include "BuildConstants.h"
#include "support/TrappedTest.h"

#include <QtTest>

// The build refuses malformed constants; this checks what reaches the code.
class TestBuildConstants : public TestSupport::TrappedTest
{
    Q_OBJECT

private slots:
    void digestsAreLowerCaseHex_data()
    {
        QTest::addColumn<QByteArray>("digest");
        QTest::newRow("Supervisor") << QByteArray(BuildConstants::supervisorDigest);
        QTest::newRow("Admin") << QByteArray(BuildConstants::adminDigest);
        QTest::newRow("Demo") << QByteArray(BuildConstants::demoDigest);
    }
    void digestsAreLowerCaseHex()
    {
        QFETCH(QByteArray, digest);
        QCOMPARE(digest.size(), 128);
        QCOMPARE(digest, digest.toLower());
        QCOMPARE(QByteArray::fromHex(digest).toHex(), digest);
    }
    void firmwareKeyHasSixteenCharacters() { QCOMPARE(qstrlen(BuildConstants::firmwareKey), 16u); }
};

QTEST_GUILESS_MAIN(TestBuildConstants)
#include "tst_buildconstants.moc"

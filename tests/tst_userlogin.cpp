#include "BuildConstants.h"
#include "application/core/UserLogin.h"
#include "support/ExternalDigest.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"

#include <QCryptographicHash>
#include <QtTest>

class TestUserLogin : public TestSupport::TrappedTest
{
    Q_OBJECT

private slots:
    void startsWithoutLevel();
    void defaultExpectedDigests();
    void customerDigestIsThatOfTheEmptyText();
    void passwordDigest_data();
    void passwordDigest();
};

void TestUserLogin::startsWithoutLevel()
{
    const UserLogin login;
    QCOMPARE(login.level(), 0);
    QVERIFY(login.digest().isEmpty());
    QVERIFY(!login.hasExpectedDigest(0));
}

void TestUserLogin::defaultExpectedDigests()
{
    const QMap<int, QByteArray> digests = UserLogin::defaultExpectedDigests();
    QCOMPARE(digests.keys(), (QList<int> {1, 2, 3, 4}));
    for (const QByteArray &digest : digests)
        QCOMPARE(digest.size(), 64);
    QCOMPARE(digests.value(UserLogin::Customer), UserLogin::customerDigest());
    QCOMPARE(digests.value(UserLogin::Supervisor).toHex(),
             QByteArray(BuildConstants::supervisorDigest));
    QCOMPARE(digests.value(UserLogin::Admin).toHex(), QByteArray(BuildConstants::adminDigest));
    QCOMPARE(digests.value(UserLogin::Demo).toHex(), QByteArray(BuildConstants::demoDigest));
    QCOMPARE(UserLogin().expectedDigests(), digests);
}

void TestUserLogin::customerDigestIsThatOfTheEmptyText()
{
    const QByteArray external = TestSupport::opensslSha3_512(QByteArray());
    QCOMPARE(external.size(), 64);
    QCOMPARE(UserLogin::customerDigest(), external);
    QCOMPARE(UserLogin::passwordDigest(QString()), external);
    // The pre-standard Keccak padding gives a different value; make sure it is not that one.
    QVERIFY(UserLogin::customerDigest()
            != QCryptographicHash::hash(QByteArray(), QCryptographicHash::Keccak_512));
}

void TestUserLogin::passwordDigest_data()
{
    QTest::addColumn<QString>("password");
    QTest::newRow("ascii") << QStringLiteral("k27-admin");
    QTest::newRow("umlauts as UTF-8") << QStringLiteral("P\u00e4ssw\u00f6rt-\u00df");
    QTest::newRow("longer than one SHA3-512 block") << QString(200, QLatin1Char('k'));
}

void TestUserLogin::passwordDigest()
{
    QFETCH(QString, password);
    const QByteArray external = TestSupport::opensslSha3_512(password.toUtf8());
    QCOMPARE(external.size(), 64);
    QCOMPARE(UserLogin::passwordDigest(password), external);
}

K27_TEST_GUILESS_MAIN(TestUserLogin)
#include "tst_userlogin.moc"

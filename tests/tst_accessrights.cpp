#include "application/core/AccessRights.h"
#include "application/core/UserLogin.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"

#include <QtTest>
#include <climits>

class TestAccessRights : public TestSupport::TrappedTest
{
    Q_OBJECT

private slots:
    void levels_data();
    void levels();
};

void TestAccessRights::levels_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QList<int>>("rights");

    // Rights per level in the order the table lists them.
    QTest::newRow("negative level") << -1 << QList<int>();
    QTest::newRow("0 Please select") << 0 << QList<int>();
    QTest::newRow("1 Customer") << 1 << QList<int> {5};
    QTest::newRow("2 Supervisor") << 2 << QList<int> {0, 6, 1, 5, 2};
    QTest::newRow("3 Admin") << 3 << QList<int> {0, 6, 7, 1, 5, 2, 3};
    QTest::newRow("4 Demo") << 4 << QList<int> {0, 6, 4};
    QTest::newRow("5 unknown") << 5 << QList<int>();
    QTest::newRow("largest int") << INT_MAX << QList<int>();
}

void TestAccessRights::levels()
{
    QFETCH(int, level);
    QFETCH(QList<int>, rights);

    UserLogin login(QMap<int, QByteArray> {});
    login.setLevel(level);
    const AccessRights fromLogin(login);
    const AccessRights fromLevel(level);
    QCOMPARE(fromLogin.level(), level);
    QCOMPARE(fromLogin.rights(), rights);
    QCOMPARE(fromLevel.rights(), rights);

    // Every right, including ones outside 0..8; Softstart (8) is held by no level.
    for (int right = -1; right <= 9; ++right) {
        const bool expected = rights.contains(right);
        QVERIFY2(fromLogin.hasRight(right) == expected,
                 qPrintable(QStringLiteral("level %1, right %2").arg(level).arg(right)));
        QCOMPARE(fromLevel.hasRight(right), expected);
    }
    QVERIFY(!fromLogin.hasRight(AccessRights::Softstart));
}

K27_TEST_APPLESS_MAIN(TestAccessRights)
#include "tst_accessrights.moc"

#include "application/core/UserConfig.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using Application::K27::UserConfig;

// One saved account read from its JSON object on top of values it already holds: a number
// always sets the level (converted to int), anything else leaves the field as it was.
class TestUserConfig : public TestSupport::TrappedTest
{
    Q_OBJECT

private slots:
    void fromJson_data();
    void fromJson();
    void toJson();
};

void TestUserConfig::fromJson_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<int>("user");
    QTest::addColumn<QString>("password");

    QTest::newRow("both keys") << QByteArray(R"({"User": 2, "Password": "ab"})") << 2 << "ab";
    QTest::newRow("no keys") << QByteArray("{}") << 3 << "old";
    QTest::newRow("User as a string") << QByteArray(R"({"User": "2"})") << 3 << "old";
    QTest::newRow("User as null") << QByteArray(R"({"User": null})") << 3 << "old";
    QTest::newRow("Password as a number") << QByteArray(R"({"Password": 12})") << 3 << "old";
    QTest::newRow("whole number as a double") << QByteArray(R"({"User": 4.0})") << 4 << "old";
    // A number is not a mistyped value: it is converted, and a fraction or a value beyond
    // int converts to 0 rather than leaving the old level in place.
    QTest::newRow("fraction") << QByteArray(R"({"User": 2.5})") << 0 << "old";
    QTest::newRow("beyond int") << QByteArray(R"({"User": 1e20})") << 0 << "old";
}

void TestUserConfig::fromJson()
{
    QFETCH(QByteArray, json);

    UserConfig account(3, QStringLiteral("old"));
    account.fromJson(QJsonDocument::fromJson(json).object());
    QTEST(account.user(), "user");
    QTEST(account.password(), "password");
}

void TestUserConfig::toJson()
{
    QJsonObject object;
    UserConfig(4, QStringLiteral("cd")).toJson(object);
    QCOMPARE(object, (QJsonObject {{"User", 4}, {"Password", "cd"}}));
    QVERIFY(object.value(QStringLiteral("User")).isDouble());
}

K27_TEST_APPLESS_MAIN(TestUserConfig)
#include "tst_userconfig.moc"

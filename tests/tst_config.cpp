#include "application/core/Config.h"
#include "application/core/UserConfig.h"
#include "support/ConfigHome.h"
#include "support/FileSizeLimit.h"
#include "support/TestRegistry.h"
#include "support/TestSupport.h"
#include "support/TrappedTest.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using Application::K27::Config;
using Application::K27::UserConfig;
using TestSupport::readFile;
using TestSupport::writeFile;

namespace {

const QString digestHex = QStringLiteral(
    "5e3f8b5ea410351fe470c67648c2ac8f971717314242276b64c29e42fdc9103724a2ec5e487ba19af2dabedc9d6312"
    "0483c17e3f69cd7e4701fac72bdb59a837");

// Accounts as "user:password", the form the tables below compare.
QStringList describe(const QVector<UserConfig> &accounts)
{
    QStringList result;
    for (const UserConfig &account : accounts)
        result.append(QString::number(account.user()) + QLatin1Char(':') + account.password());
    return result;
}

using TestSupport::FileSizeLimit;

// A writer on a FIFO: it waits in its open until someone opens the FIFO for reading, then
// hands over its bytes and closes. Whoever opens the FIFO first gets them; at the end the test
// itself opens it (without blocking) to release the writer and to see what is left.
class FifoWriter
{
public:
    FifoWriter(const QByteArray &path, const QByteArray &content)
        : m_path(path)
        , m_thread([path, content] {
            const int descriptor = ::open(path.constData(), O_WRONLY | O_CLOEXEC);
            if (descriptor < 0)
                return;
            [[maybe_unused]] const ssize_t written
                = ::write(descriptor, content.constData(), size_t(content.size()));
            ::close(descriptor);
        })
    {
    }
    ~FifoWriter() { release(); }
    FifoWriter(const FifoWriter &) = delete;
    FifoWriter &operator=(const FifoWriter &) = delete;

    // Opens the read side, lets the writer finish and returns what it wrote and nobody read.
    QByteArray release()
    {
        if (!m_thread.joinable())
            return {};
        const int reader = ::open(m_path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        m_thread.join();
        QByteArray left;
        char buffer[512];
        ssize_t count = 0;
        while (reader >= 0 && (count = ::read(reader, buffer, sizeof buffer)) > 0)
            left.append(buffer, int(count));
        if (reader >= 0)
            ::close(reader);
        return left;
    }

private:
    QByteArray m_path;
    std::thread m_thread;
};

} // namespace

class TestConfig : public TestSupport::TrappedTest
{
    Q_OBJECT

private slots:
    void firstRun();
    void load_data();
    void load();
    void saveAndReload();
    void userAccounts_data();
    void userAccounts();
    void notARegularFile_data();
    void notARegularFile();
    void savedFileAlwaysLoads();
    void tooLargeToSaveKeepsPreviousFile();
    void interruptedSaveKeepsPreviousFile();
    void saveFailsWhenFolderIsMissing();

private:
    void setUpTestCase() override;
    void setUp() override;
    void tearDown() override;

    QString expectedConfigDir() const;
    QString configFile() const { return expectedConfigDir() + QStringLiteral("/config.json"); }

    std::unique_ptr<TestSupport::ConfigHome> m_home;
};

void TestConfig::setUpTestCase()
{
    TestSupport::ConfigHome::useProgramNames();
}

void TestConfig::setUp()
{
    // A fresh per-user configuration folder for every test function and data row.
    m_home = std::make_unique<TestSupport::ConfigHome>();
    QVERIFY(m_home->isValid());
}

void TestConfig::tearDown()
{
    m_home.reset();
}

QString TestConfig::expectedConfigDir() const
{
    return m_home->configDir();
}

void TestConfig::firstRun()
{
    QVERIFY(!QDir(expectedConfigDir()).exists());
    Config config;
    QCOMPARE(config.configDir(), expectedConfigDir());
    QVERIFY2(QDir(expectedConfigDir()).exists(), "the constructor creates the folder");

    QVERIFY(!config.load());
    QCOMPARE(config.softwareUpdateDir(), QString());
    QCOMPARE(config.settingsDir(), QString());
    QVERIFY(config.userAccounts().isEmpty());
    QCOMPARE(config.findUserAccount(1), nullptr);

    QVERIFY(config.save());
    const QByteArray content = readFile(configFile());
    QJsonParseError error {};
    const QJsonDocument document = QJsonDocument::fromJson(content, &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    QVERIFY(document.isObject());
    const QJsonObject root = document.object();
    QCOMPARE(root.keys(), (QStringList {"SettingsDir", "SoftwareUpdateDir", "UserAccounts"}));
    QVERIFY(root.value("SoftwareUpdateDir").isString());
    QVERIFY(root.value("SettingsDir").isString());
    QVERIFY(root.value("UserAccounts").isArray());
    QVERIFY(root.value("UserAccounts").toArray().isEmpty());
    QVERIFY2(content.contains("\n    \""), "the file is written indented");
}

void TestConfig::load_data()
{
    QTest::addColumn<bool>("fileExists");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<QString>("softwareUpdateDir");
    QTest::addColumn<QString>("settingsDir");
    QTest::addColumn<QStringList>("accounts");

    // Before each load the configuration holds these values.
    const QString oldUpdate = QStringLiteral("/old/update.tar");
    const QString oldSettings = QStringLiteral("/old/settings.json");
    const QStringList oldAccounts {QStringLiteral("3:old")};

    QTest::newRow("no file") << false << QByteArray() << false << oldUpdate << oldSettings
                             << oldAccounts;
    QTest::newRow("only SettingsDir")
        << true << QByteArray(R"({"SettingsDir": "/new/settings.json"})") << true << oldUpdate
        << "/new/settings.json" << oldAccounts;
    QTest::newRow("all keys, accounts replace the old ones")
        << true << QByteArray(R"({"SoftwareUpdateDir": "/new/p.tar", "SettingsDir": "/new/s.json",
                          "UserAccounts": [{"User": 2, "Password": "ab"}, {"User": 4, "Password": "cd"}]})")
        << true << "/new/p.tar"
        << "/new/s.json" << QStringList {"2:ab", "4:cd"};
    QTest::newRow("empty accounts array clears the accounts")
        << true << QByteArray(R"({"UserAccounts": []})") << true << oldUpdate << oldSettings
        << QStringList();
    QTest::newRow("duplicate users are both kept")
        << true
        << QByteArray(
               R"({"UserAccounts": [{"User": 2, "Password": "first"}, {"User": 2, "Password": "second"}]})")
        << true << oldUpdate << oldSettings << QStringList {"2:first", "2:second"};
    QTest::newRow("User as a string")
        << true << QByteArray(R"({"UserAccounts": [{"User": "2", "Password": "cc"}]})") << true
        << oldUpdate << oldSettings << QStringList {"0:cc"};
    QTest::newRow("Password as a number")
        << true << QByteArray(R"({"UserAccounts": [{"User": 4, "Password": 12}]})") << true
        << oldUpdate << oldSettings << QStringList {"4:"};
    QTest::newRow("User not a whole int")
        << true
        << QByteArray(
               R"({"UserAccounts": [{"User": 2.5, "Password": "dd"}, {"User": 1e20, "Password": "ee"}]})")
        << true << oldUpdate << oldSettings << QStringList {"0:dd", "0:ee"};
    QTest::newRow("elements that are not objects")
        << true << QByteArray(R"({"UserAccounts": [5, "x", null, [], {"User": 1}]})") << true
        << oldUpdate << oldSettings << QStringList {"0:", "0:", "0:", "0:", "1:"};
    QTest::newRow("mistyped keys keep the values")
        << true
        << QByteArray(
               R"({"SoftwareUpdateDir": 5, "SettingsDir": null, "UserAccounts": {"User": 2}})")
        << true << oldUpdate << oldSettings << oldAccounts;
    QTest::newRow("upper-case digest read unchanged")
        << true
        << QByteArray(R"({"UserAccounts": [{"User": 3, "Password": ")"
                      + digestHex.toUpper().toLatin1() + R"("}]})")
        << true << oldUpdate << oldSettings << QStringList {"3:" + digestHex.toUpper()};
    QTest::newRow("invalid JSON") << true << QByteArray(R"({"SettingsDir": "/new)") << true
                                  << oldUpdate << oldSettings << oldAccounts;
    QTest::newRow("empty file") << true << QByteArray() << true << oldUpdate << oldSettings
                                << oldAccounts;
    QTest::newRow("array instead of object") << true << QByteArray(R"([{"SettingsDir": "/x"}])")
                                             << true << oldUpdate << oldSettings << oldAccounts;

    QByteArray binary;
    for (int i = 0; i < 70000; ++i)
        binary.append(char((i * 7919) % 256));
    QTest::newRow("binary file") << true << binary << true << oldUpdate << oldSettings
                                 << oldAccounts;

    // Valid JSON, but far larger than any configuration: not read at all.
    const QByteArray huge
        = R"({"SettingsDir": ")" + QByteArray(Config::maximumFileSize, 'a') + R"("})";
    QTest::newRow("huge file") << true << huge << false << oldUpdate << oldSettings << oldAccounts;
}

void TestConfig::load()
{
    QFETCH(bool, fileExists);
    QFETCH(QByteArray, content);

    Config config;
    config.setSoftwareUpdateDir(QStringLiteral("/old/update.tar"));
    config.setSettingsDir(QStringLiteral("/old/settings.json"));
    config.setUserAccount(UserConfig(3, QStringLiteral("old")));
    if (fileExists)
        QVERIFY(writeFile(configFile(), content));

    QTEST(config.load(), "loaded");
    QTEST(config.softwareUpdateDir(), "softwareUpdateDir");
    QTEST(config.settingsDir(), "settingsDir");
    QTEST(describe(config.userAccounts()), "accounts");
}

void TestConfig::saveAndReload()
{
    const QString update = QStringLiteral("/home/service/Pakete/K27 \u00e4\u00f6\u00fc.tar");
    {
        Config config;
        config.setSoftwareUpdateDir(update);
        config.setSettingsDir(QStringLiteral("/tmp/settings.json"));
        config.setUserAccount(UserConfig(3, digestHex));
        config.setUserAccount(UserConfig(2, QStringLiteral("00ff")));
        QVERIFY(config.save());
    }

    const QJsonObject root = QJsonDocument::fromJson(readFile(configFile())).object();
    const QJsonArray accounts = root.value("UserAccounts").toArray();
    QCOMPARE(accounts.size(), 2);
    QVERIFY2(accounts.at(0).toObject().value("User").isDouble(), "User is written as a number");
    QCOMPARE(accounts.at(0).toObject().value("User").toInt(), 3);
    QCOMPARE(accounts.at(0).toObject().value("Password").toString(), digestHex);
    QCOMPARE(accounts.at(1).toObject().value("User").toInt(), 2);

    Config reread;
    QVERIFY(reread.load());
    QCOMPARE(reread.softwareUpdateDir(), update);
    QCOMPARE(reread.settingsDir(), QStringLiteral("/tmp/settings.json"));
    QCOMPARE(describe(reread.userAccounts()), (QStringList {"3:" + digestHex, "2:00ff"}));
}

void TestConfig::userAccounts_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QStringList>("accounts");

    QTest::newRow("new level is appended")
        << QByteArray(R"({"UserAccounts": [{"User": 2, "Password": "a"}]})") << 4 << "new"
        << QStringList {"2:a", "4:new"};
    QTest::newRow("same level is replaced") << QByteArray(
        R"({"UserAccounts": [{"User": 2, "Password": "a"}, {"User": 3, "Password": "b"}]})")
                                            << 3 << "new" << QStringList {"2:a", "3:new"};
    QTest::newRow("only the first duplicate is replaced")
        << QByteArray(
               R"({"UserAccounts": [{"User": 2, "Password": "a"}, {"User": 2, "Password": "b"}]})")
        << 2 << "new" << QStringList {"2:new", "2:b"};
    QTest::newRow("no accounts yet") << QByteArray("{}") << 1 << "new" << QStringList {"1:new"};
}

void TestConfig::userAccounts()
{
    QFETCH(QByteArray, content);
    QFETCH(int, user);
    QFETCH(QString, password);

    QVERIFY(QDir().mkpath(expectedConfigDir()));
    QVERIFY(writeFile(configFile(), content));
    Config config;
    QVERIFY(config.load());

    config.setUserAccount(UserConfig(user, password));
    QTEST(describe(config.userAccounts()), "accounts");

    // findUserAccount answers with the first account of the level.
    const UserConfig *found = config.findUserAccount(user);
    QVERIFY(found);
    int first = 0;
    while (config.userAccounts().at(first).user() != user)
        ++first;
    QCOMPARE(found, &config.userAccounts().at(first));
    QCOMPARE(found->password(), password);

    // Nothing is written until save.
    QCOMPARE(readFile(configFile()), content);
    QVERIFY(config.save());
    Config reread;
    QVERIFY(reread.load());
    QTEST(describe(reread.userAccounts()), "accounts");
}

// Only a regular file is read: a FIFO (which would block the open until a writer came), a
// device and a folder of that name are refused at once and change nothing.
void TestConfig::notARegularFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("FIFO with a writer waiting") << QStringLiteral("fifo");
    QTest::newRow("link to a character device") << QStringLiteral("device");
    QTest::newRow("folder") << QStringLiteral("folder");
}

void TestConfig::notARegularFile()
{
    QFETCH(QString, kind);
    Config config;
    config.setSettingsDir(QStringLiteral("/old/settings.json"));
    const QByteArray path = QFile::encodeName(configFile());
    const QByteArray offered = R"({"SettingsDir": "/from/the/fifo.json"})";
    std::unique_ptr<FifoWriter> writer;
    if (kind == QLatin1String("fifo")) {
        QCOMPARE(::mkfifo(path.constData(), 0600), 0);
        writer = std::make_unique<FifoWriter>(path, offered);
    } else if (kind == QLatin1String("device")) {
        QVERIFY(QFile::link(QStringLiteral("/dev/null"), configFile()));
    } else {
        QVERIFY(QDir().mkdir(configFile()));
    }

    QVERIFY(!config.load());
    QCOMPARE(config.settingsDir(), QStringLiteral("/old/settings.json"));
    if (writer)
        QCOMPARE(writer->release(), offered); // load never opened the FIFO
}

// The indented text of 25000 accounts is larger than the read limit, its compact text is not:
// what save writes, the next load reads.
void TestConfig::savedFileAlwaysLoads()
{
    Config config;
    for (int user = 0; user < 25000; ++user)
        config.setUserAccount(UserConfig(user, digestHex));
    QVERIFY(config.save());
    QVERIFY(QFileInfo(configFile()).size() <= Config::maximumFileSize);

    Config reread;
    QVERIFY(reread.load());
    QCOMPARE(reread.userAccounts().size(), 25000);
    QCOMPARE(reread.userAccounts().last().user(), 24999);
    QCOMPARE(reread.userAccounts().last().password(), digestHex);
}

// Contents that do not fit the read limit even compact are not written at all: the previous
// file stays and still loads.
void TestConfig::tooLargeToSaveKeepsPreviousFile()
{
    Config config;
    config.setSettingsDir(QStringLiteral("/old/settings.json"));
    QVERIFY(config.save());
    const QByteArray before = readFile(configFile());

    config.setSettingsDir(QString(int(Config::maximumFileSize), QLatin1Char('x')));
    QVERIFY(!config.save());
    QCOMPARE(readFile(configFile()), before);
    Config reread;
    QVERIFY(reread.load());
    QCOMPARE(reread.settingsDir(), QStringLiteral("/old/settings.json"));
}

void TestConfig::interruptedSaveKeepsPreviousFile()
{
    Config config;
    config.setSettingsDir(QStringLiteral("/old/settings.json"));
    config.setUserAccount(UserConfig(2, digestHex));
    QVERIFY(config.save());
    const QByteArray before = readFile(configFile());
    QVERIFY(before.size() < 4096);

    // The new content is far larger than what the disk will take.
    config.setSettingsDir(QString(256 * 1024, QLatin1Char('x')));
    {
        FileSizeLimit limit(8 * 1024);
        QVERIFY(limit.isValid());
        QVERIFY2(!config.save(), "a write that does not complete is reported");
    }

    QCOMPARE(readFile(configFile()), before);
    Config reread;
    QVERIFY(reread.load());
    QCOMPARE(reread.settingsDir(), QStringLiteral("/old/settings.json"));
    QCOMPARE(describe(reread.userAccounts()), QStringList {"2:" + digestHex});
    QCOMPARE(QDir(expectedConfigDir()).entryList(QDir::Files | QDir::Hidden),
             QStringList {"config.json"});

    // Once the disk has room again the same object saves normally.
    QVERIFY(config.save());
    Config after;
    QVERIFY(after.load());
    QCOMPARE(after.settingsDir().size(), 256 * 1024);
}

void TestConfig::saveFailsWhenFolderIsMissing()
{
    Config config;
    config.setSettingsDir(QStringLiteral("/some/settings.json"));
    // The folder is replaced by a plain file, so nothing can be created inside it.
    QVERIFY(QDir(expectedConfigDir()).removeRecursively());
    QVERIFY(writeFile(expectedConfigDir(), "not a folder"));

    QVERIFY(!config.save());
    QVERIFY(!config.load());
    QCOMPARE(config.settingsDir(), QStringLiteral("/some/settings.json"));
    QCOMPARE(readFile(expectedConfigDir()), QByteArray("not a folder"));
}

K27_TEST_GUILESS_MAIN(TestConfig)
#include "tst_config.moc"

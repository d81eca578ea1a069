#include "application/Config.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <QStandardPaths>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Application::K27 {

namespace {
const QString fileName = QStringLiteral("config.json");
const QString softwareUpdateDirKey = QStringLiteral("SoftwareUpdateDir");
const QString settingsDirKey = QStringLiteral("SettingsDir");
const QString userAccountsKey = QStringLiteral("UserAccounts");

// Opens the file for reading only when it is a regular file (a symbolic link to one counts).
// A FIFO under that name would block the open until some writer appears, and the program with
// it; a device may have side effects on open or never end; a folder is no file. The name is
// checked before anything is opened, and the opened descriptor again, so a name swapped in
// between is refused as well. Non-blocking, so even that open cannot wait.
bool openRegularFile(const QString &path, QFile &file)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat status
    {
    };
    if (::stat(name.constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    const int descriptor = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)
        || !file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        return false;
    }
    return true;
}
} // namespace

Config::Config()
    : m_configDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
{
    if (!m_configDir.isEmpty())
        QDir().mkpath(m_configDir);
}

QString Config::filePath() const
{
    // Without a configuration location there is no file; never fall back to "/config.json".
    if (m_configDir.isEmpty())
        return {};
    return m_configDir + QLatin1Char('/') + fileName;
}

bool Config::load()
{
    const QString path = filePath();
    if (path.isEmpty())
        return false;
    QFile file;
    if (!openRegularFile(path, file))
        return false;
    // Read at most one byte more than allowed, so that a huge file cannot exhaust the memory.
    const QByteArray content = file.read(maximumFileSize + 1);
    if (content.size() > maximumFileSize)
        return false;
    // Invalid JSON, or a document that is not an object, gives an empty object: nothing changes.
    fromJson(QJsonDocument::fromJson(content).object());
    return true;
}

bool Config::save()
{
    const QString path = filePath();
    if (path.isEmpty())
        return false;
    QJsonObject root;
    toJson(root);
    const QJsonDocument document(root);
    // Whatever is saved must load again, and load reads at most maximumFileSize bytes. The file
    // is written indented; when that text would pass the limit (tens of thousands of accounts)
    // it is written compact, and when even that does not fit nothing is written: the previous
    // file stays as it was and save reports the failure.
    QByteArray content = document.toJson(QJsonDocument::Indented);
    if (content.size() > maximumFileSize)
        content = document.toJson(QJsonDocument::Compact);
    if (content.size() > maximumFileSize)
        return false;

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(content) != content.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

UserConfig *Config::findUserAccount(int level)
{
    for (UserConfig &account : m_userAccounts) {
        if (account.user() == level)
            return &account;
    }
    return nullptr;
}

const UserConfig *Config::findUserAccount(int level) const
{
    for (const UserConfig &account : m_userAccounts) {
        if (account.user() == level)
            return &account;
    }
    return nullptr;
}

void Config::setUserAccount(const UserConfig &account)
{
    if (UserConfig *existing = findUserAccount(account.user())) {
        existing->setUser(account.user());
        existing->setPassword(account.password());
        return;
    }
    m_userAccounts.append(account);
}

void Config::fromJson(const QJsonObject &object)
{
    const QJsonValue softwareUpdateDir = object.value(softwareUpdateDirKey);
    if (softwareUpdateDir.isString())
        m_softwareUpdateDir = softwareUpdateDir.toString();

    const QJsonValue settingsDir = object.value(settingsDirKey);
    if (settingsDir.isString())
        m_settingsDir = settingsDir.toString();

    const QJsonValue userAccounts = object.value(userAccountsKey);
    if (userAccounts.isArray()) {
        // The file's list replaces the one in memory as it stands: no merging, no de-duplication.
        m_userAccounts.clear();
        const QJsonArray elements = userAccounts.toArray();
        m_userAccounts.reserve(elements.size());
        for (const QJsonValue &element : elements) {
            UserConfig account;
            account.fromJson(element.toObject());
            m_userAccounts.append(account);
        }
    }
}

void Config::toJson(QJsonObject &object) const
{
    object.insert(softwareUpdateDirKey, m_softwareUpdateDir);
    object.insert(settingsDirKey, m_settingsDir);
    QJsonArray userAccounts;
    for (const UserConfig &account : m_userAccounts) {
        QJsonObject element;
        account.toJson(element);
        userAccounts.append(element);
    }
    object.insert(userAccountsKey, userAccounts);
}

} // namespace Application::K27

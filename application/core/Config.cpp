#include "application/core/Config.h"

#include "utilities/RegularFile.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStandardPaths>
#include <algorithm>

namespace Application::K27 {

namespace {
const QString fileName = QStringLiteral("config.json");
const QString softwareUpdateDirKey = QStringLiteral("SoftwareUpdateDir");
const QString settingsDirKey = QStringLiteral("SettingsDir");
const QString userAccountsKey = QStringLiteral("UserAccounts");
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
    // Only a regular file is read (a FIFO named config.json cannot block the program, a device
    // cannot be read for ever), and at most maximumFileSize bytes of it.
    Utilities::RegularFile::Result result;
    const QByteArray content = Utilities::RegularFile::read(path, maximumFileSize, &result);
    if (result != Utilities::RegularFile::Result::Read)
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

    return Utilities::RegularFile::writeAtomically(path, content);
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

int Config::removeUserAccounts(int level)
{
    const int before = m_userAccounts.size();
    m_userAccounts.erase(
        std::remove_if(m_userAccounts.begin(), m_userAccounts.end(),
                       [level](const UserConfig &account) { return account.user() == level; }),
        m_userAccounts.end());
    return before - m_userAccounts.size();
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

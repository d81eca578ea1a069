#pragma once

#include "application/core/UserConfig.h"

#include <QJsonObject>
#include <QString>
#include <QVector>

namespace Application::K27 {

// The per-user configuration "config.json": the last software update file, the last settings
// file and the saved logins. One object lives for the whole run and is shared by pointer; the
// screens re-read the file when they are created and save every change at once.
class Config
{
public:
    Config();
    virtual ~Config() = default;

    Config(const Config &) = delete;
    Config &operator=(const Config &) = delete;

    // Applies the file key by key; keys that are missing or of the wrong type keep the values
    // held in memory. False when the file could not be opened, is not a regular file (a FIFO,
    // device or folder of that name is refused at once) or is larger than maximumFileSize.
    bool load();
    // Writes all keys to a temporary file and renames it over "config.json", so a failed or
    // interrupted write keeps the previous file. Indented, or compact when the indented text
    // would be larger than maximumFileSize; never larger than that, so load always reads what
    // save wrote. False when nothing was written.
    bool save();

    QString softwareUpdateDir() const { return m_softwareUpdateDir; }
    void setSoftwareUpdateDir(const QString &path) { m_softwareUpdateDir = path; }
    QString settingsDir() const { return m_settingsDir; }
    void setSettingsDir(const QString &path) { m_settingsDir = path; }

    const QVector<UserConfig> &userAccounts() const { return m_userAccounts; }
    // The first account of that level, or null. The pointer is valid until the list changes.
    UserConfig *findUserAccount(int level);
    const UserConfig *findUserAccount(int level) const;
    // Overwrites the first account with the same user, or appends the account.
    void setUserAccount(const UserConfig &account);
    // Removes every account of that level (a hand-edited file may hold several); returns how
    // many there were. Does not save.
    int removeUserAccounts(int level);

    void fromJson(const QJsonObject &object);
    void toJson(QJsonObject &object) const;

    QString configDir() const { return m_configDir; }
    QString filePath() const;

    // Larger files are neither read nor written: a real configuration is a few hundred bytes.
    static constexpr qint64 maximumFileSize = 4 * 1024 * 1024;

private:
    QString m_softwareUpdateDir;
    QString m_settingsDir;
    QVector<UserConfig> m_userAccounts;
    const QString m_configDir;
};

} // namespace Application::K27

#pragma once

#include <QJsonObject>
#include <QString>

namespace Application::K27 {

// One saved login: the user level and the hexadecimal SHA3-512 digest of its password.
// Accounts are plain values, copied into and out of the configuration's list.
class UserConfig
{
public:
    UserConfig() = default;
    UserConfig(int user, const QString &password);
    virtual ~UserConfig() = default;

    UserConfig(const UserConfig &) = default;
    UserConfig &operator=(const UserConfig &) = default;

    int user() const { return m_user; }
    void setUser(int user) { m_user = user; }
    QString password() const { return m_password; }
    void setPassword(const QString &password) { m_password = password; }

    // Takes "User" and "Password" when present and of the right JSON type; anything else
    // leaves the field as it was.
    void fromJson(const QJsonObject &object);
    void toJson(QJsonObject &object) const;

private:
    int m_user = 0;
    QString m_password;
};

} // namespace Application::K27

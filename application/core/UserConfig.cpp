#include "application/core/UserConfig.h"

#include <QJsonValue>

namespace Application::K27 {

namespace {
const QString userKey = QStringLiteral("User");
const QString passwordKey = QStringLiteral("Password");
} // namespace

UserConfig::UserConfig(int user, const QString &password)
    : m_user(user)
    , m_password(password)
{
}

void UserConfig::fromJson(const QJsonObject &object)
{
    const QJsonValue user = object.value(userKey);
    // Any number sets the level; one that is no whole int (2.5, 1e20) converts to 0, which
    // names no level.
    if (user.isDouble())
        m_user = user.toInt();
    const QJsonValue password = object.value(passwordKey);
    if (password.isString())
        m_password = password.toString();
}

void UserConfig::toJson(QJsonObject &object) const
{
    object.insert(userKey, m_user);
    object.insert(passwordKey, m_password);
}

} // namespace Application::K27

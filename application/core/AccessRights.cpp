#include "application/core/AccessRights.h"

#include "application/core/UserLogin.h"

AccessRights::AccessRights(const UserLogin &login)
    : AccessRights(login.level())
{
}

AccessRights::AccessRights(int level)
    : m_level(level)
{
}

bool AccessRights::hasRight(int right) const
{
    const auto entry = table().constFind(m_level);
    return entry != table().constEnd() && entry->contains(right);
}

QList<int> AccessRights::rights() const
{
    return table().value(m_level);
}

const QMap<int, QList<int>> &AccessRights::table()
{
    static const QMap<int, QList<int>> rightsOfLevel {
        {UserLogin::PleaseSelect, {}},
        {UserLogin::Customer, {Data}},
        {UserLogin::Supervisor, {PasswordLogin, SoftwareUpdate, Configuration, Data, Control}},
        {UserLogin::Admin,
         {PasswordLogin, SoftwareUpdate, UpdateWithoutVersionCheck, Configuration, Data, Control,
          ServiceMode}},
        {UserLogin::Demo, {PasswordLogin, SoftwareUpdate, DemoMode}},
    };
    return rightsOfLevel;
}

#pragma once

#include <QList>
#include <QMap>

class UserLogin;

// What the logged-in user level may do. Built from the login record's level when a screen is
// created; a level outside the table holds no right.
class AccessRights
{
public:
    enum Right {
        PasswordLogin = 0,
        Configuration = 1,
        Control = 2,
        ServiceMode = 3,
        DemoMode = 4,
        Data = 5,
        SoftwareUpdate = 6,
        UpdateWithoutVersionCheck = 7,
        Softstart = 8,
    };

    explicit AccessRights(const UserLogin &login);
    explicit AccessRights(int level);

    int level() const { return m_level; }
    bool hasRight(int right) const;
    // The level's rights in the order of the table; empty for a level outside it.
    QList<int> rights() const;

    // Level → rights. Softstart is held by no level.
    static const QMap<int, QList<int>> &table();

private:
    int m_level;
};

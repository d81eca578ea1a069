#include "application/core/UserLogin.h"

#include "BuildConstants.h"

#include <QCryptographicHash>
#include <QString>

namespace {
// The empty-message digest of SHA3-512 as published with FIPS 202.
constexpr char emptyTextDigest[]
    = "a69f73cca23a9ac5c8b567dc185a756e97c982164fe25859e0d1dcc1475c80a6"
      "15b2123af1f5f94c11e3e9402c3ac558f500199d95b6d3e301758586281dcd26";
} // namespace

UserLogin::UserLogin()
    : UserLogin(defaultExpectedDigests())
{
}

UserLogin::UserLogin(const QMap<int, QByteArray> &expectedDigests)
    : m_expectedDigests(expectedDigests)
{
}

QMap<int, QByteArray> UserLogin::defaultExpectedDigests()
{
    return {
        {Customer, customerDigest()},
        {Supervisor, QByteArray::fromHex(BuildConstants::supervisorDigest)},
        {Admin, QByteArray::fromHex(BuildConstants::adminDigest)},
        {Demo, QByteArray::fromHex(BuildConstants::demoDigest)},
    };
}

QByteArray UserLogin::customerDigest()
{
    return QByteArray::fromHex(emptyTextDigest);
}

QByteArray UserLogin::passwordDigest(const QString &password)
{
    return QCryptographicHash::hash(password.toUtf8(), QCryptographicHash::Sha3_512);
}

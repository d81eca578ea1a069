#pragma once

#include <QByteArray>
#include <QMap>

// The shared login record: the selected user level, the digest of the last login attempt and
// the expected SHA3-512 digest (64 bytes) of every level that can log in. Start-up creates it,
// the login screen fills in the level, and the device windows read it for their access rights.
class UserLogin
{
public:
    enum Level {
        PleaseSelect = 0,
        Customer = 1,
        Supervisor = 2,
        Admin = 3,
        Demo = 4,
    };

    // Level 0 and the four expected digests of this build (defaultExpectedDigests).
    UserLogin();
    explicit UserLogin(const QMap<int, QByteArray> &expectedDigests);

    int level() const { return m_level; }
    void setLevel(int level) { m_level = level; }
    QByteArray digest() const { return m_digest; }
    void setDigest(const QByteArray &digest) { m_digest = digest; }

    const QMap<int, QByteArray> &expectedDigests() const { return m_expectedDigests; }
    bool hasExpectedDigest(int level) const { return m_expectedDigests.contains(level); }
    QByteArray expectedDigest(int level) const { return m_expectedDigests.value(level); }

    // Levels 1 to 4: Customer's digest is that of the empty text, the others come from the
    // build's constants (128 hexadecimal digits each), decoded to 64 bytes.
    static QMap<int, QByteArray> defaultExpectedDigests();
    // SHA3-512 (FIPS 202) of the empty text: the Customer level logs in without a password.
    static QByteArray customerDigest();
    // SHA3-512 of the UTF-8 bytes of a typed password, without salt or prefix.
    static QByteArray passwordDigest(const QString &password);

private:
    int m_level = PleaseSelect;
    QByteArray m_digest;
    QMap<int, QByteArray> m_expectedDigests;
};

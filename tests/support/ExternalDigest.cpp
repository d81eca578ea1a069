#include "ExternalDigest.h"

#include <QProcess>
#include <QStringList>

namespace TestSupport {
QByteArray opensslSha3_512(const QByteArray &data)
{
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("dgst"), QStringLiteral("-sha3-512"), QStringLiteral("-binary")});
    if (!openssl.waitForStarted(30000))
        return {};
    openssl.write(data);
    openssl.closeWriteChannel();
    if (!openssl.waitForFinished(30000) || openssl.exitStatus() != QProcess::NormalExit
        || openssl.exitCode() != 0)
        return {};
    return openssl.readAllStandardOutput();
}
} // namespace TestSupport

#include "ExternalDigest.h"

#include "ExternalTool.h"

namespace TestSupport {
QByteArray opensslSha3_512(const QByteArray &data)
{
    const ToolRun run
        = runTool(QStringLiteral("openssl"),
                  {QStringLiteral("dgst"), QStringLiteral("-sha3-512"), QStringLiteral("-binary")},
                  QString(), data);
    return run.succeeded() ? run.standardOutput : QByteArray();
}
} // namespace TestSupport

#include "WarningGuard.h"

#include <QMutex>
#include <QMutexLocker>
#include <QtGlobal>

namespace TestSupport {
namespace {
QMutex mutex;
QStringList recorded;
QtMessageHandler previousHandler = nullptr;
bool installed = false;

bool isEnvironmentNoise(const QString &message)
{
    // The test machines run without a login session; Qt says so once per process.
    return message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"));
}

void handleMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg && !isEnvironmentNoise(message)) {
        QMutexLocker locker(&mutex);
        recorded.append(message);
    }
    if (previousHandler)
        previousHandler(type, context, message);
}
} // namespace

void collectWarnings()
{
    QMutexLocker locker(&mutex);
    if (installed)
        return;
    installed = true;
    previousHandler = qInstallMessageHandler(handleMessage);
}

QStringList takeWarnings()
{
    QMutexLocker locker(&mutex);
    QStringList messages;
    messages.swap(recorded);
    return messages;
}
} // namespace TestSupport

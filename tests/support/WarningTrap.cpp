#include "WarningTrap.h"

#include <QMutex>
#include <QMutexLocker>
#include <QtGlobal>

namespace TestSupport {

namespace {
QMutex trapMutex;
QStringList trapped;
QStringList ignored;
QtMessageHandler previousHandler = nullptr;

void trapHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg || type == QtCriticalMsg) {
        const QMutexLocker locker(&trapMutex);
        if (!ignored.contains(message))
            trapped.append(message);
    }
    if (previousHandler)
        previousHandler(type, context, message);
}
} // namespace

WarningTrap::WarningTrap()
{
    take();
    previousHandler = qInstallMessageHandler(trapHandler);
}

WarningTrap::~WarningTrap()
{
    qInstallMessageHandler(previousHandler);
    previousHandler = nullptr;
    const QMutexLocker locker(&trapMutex);
    ignored.clear();
}

void WarningTrap::ignore(const QString &message)
{
    const QMutexLocker locker(&trapMutex);
    ignored.append(message);
}

QStringList WarningTrap::messages() const
{
    const QMutexLocker locker(&trapMutex);
    return trapped;
}

QStringList WarningTrap::take()
{
    const QMutexLocker locker(&trapMutex);
    QStringList messages;
    messages.swap(trapped);
    return messages;
}

} // namespace TestSupport

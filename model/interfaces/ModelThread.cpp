#include "model/interfaces/ModelThread.h"

#include <QCoreApplication>
#include <QThread>

namespace Model::Interfaces::ModelThread {

bool isCurrent()
{
    const QCoreApplication *application = QCoreApplication::instance();
    return application == nullptr || QThread::currentThread() == application->thread();
}

bool check(quint16 valueId)
{
    if (isCurrent())
        return true;
    qCritical("Model value %u used outside the GUI thread; the access was refused",
              unsigned(valueId));
    return false;
}

} // namespace Model::Interfaces::ModelThread

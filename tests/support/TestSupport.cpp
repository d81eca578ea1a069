#include "TestSupport.h"

#include <QDir>

namespace TestSupport {
QString dataPath(const QString &fileName)
{
    return QDir(QString::fromLocal8Bit(qgetenv("K27_TEST_DATA"))).filePath(fileName);
}
} // namespace TestSupport

#pragma once

#include <QString>

namespace TestSupport {
// Folder of the committed test data files.
QString dataPath(const QString &fileName);
} // namespace TestSupport

#pragma once

#include <QStringList>

namespace TestSupport {
// Records every warning, critical and fatal message from here on (they are still printed), so
// that a test can fail when a style sheet does not parse or a resource is missing.
void collectWarnings();
// The messages recorded since the last call.
QStringList takeWarnings();
} // namespace TestSupport

#pragma once

#include <QByteArray>
#include <QMap>

namespace TestSupport {

// The value signal the terminal service raises when a model content of each identifier
// arrives, for the identifiers that have one. Identifiers missing here raise no value signal;
// several identifiers may share one signal.
const QMap<quint16, QByteArray> &valueSignalNames();

} // namespace TestSupport

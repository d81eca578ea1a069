#pragma once

#include <QString>

// Why a device port could not be opened, in one line for standard error: missing, busy, not a
// serial port, or forbidden (naming the group that owns the port on Linux).
class PortDiagnosis
{
public:
    static QString explain(const QString &portPath);
};

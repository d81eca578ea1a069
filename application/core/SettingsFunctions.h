#pragma once

#include "application/core/SettingsFunction.h"

namespace Application::K27 {

// The three protection functions of the settings file. They share one shape and differ only
// in the key their object is kept under.

class UndercurrentSettings : public SettingsFunction
{
public:
    static inline const QString key = QStringLiteral("Undercurrent");
};

class UndervoltageSettings : public SettingsFunction
{
public:
    static inline const QString key = QStringLiteral("Undervoltage");
};

class OvervoltageSettings : public SettingsFunction
{
public:
    static inline const QString key = QStringLiteral("Overvoltage");
};

} // namespace Application::K27

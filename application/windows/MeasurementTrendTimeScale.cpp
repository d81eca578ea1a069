#include "application/windows/MeasurementTrendTimeScale.h"

#include <QString>
#include <cmath>

QwtText MeasurementTrendTimeScale::label(double seconds) const
{
    const auto whole = static_cast<long long>(std::llround(std::max(0.0, seconds)));
    return QwtText(
        QStringLiteral("%1:%2").arg(whole / 60).arg(whole % 60, 2, 10, QLatin1Char('0')));
}

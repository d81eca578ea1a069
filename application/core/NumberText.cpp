#include "application/core/NumberText.h"

namespace Application::K27 {

QString NumberText::fromPointText(const QString &pointText, const QLocale &locale)
{
    QString text = pointText;
    text.replace(QLatin1Char('.'), locale.decimalPoint());
    return text;
}

QString NumberText::withUnit(const QString &pointText, const QString &unit, const QLocale &locale)
{
    const QString number = fromPointText(pointText, locale);
    return unit.isEmpty() ? number : number + QLatin1Char(' ') + unit;
}

QString NumberText::withUnit(double value, int decimals, const QString &unit, const QLocale &locale)
{
    return withUnit(QString::number(value, 'f', decimals), unit, locale);
}

} // namespace Application::K27

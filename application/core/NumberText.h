#pragma once

#include <QLocale>
#include <QString>

namespace Application::K27 {

// Numbers as a person reads them: with the decimal separator of the language the program speaks
// (the default QLocale, set at start-up from the translation in use). Files, the device's link
// and saved logs keep the point and never go through here.
class NumberText
{
public:
    // A number written with a point ("0.14", as the model and the settings file write it) in
    // the locale's form ("0,14"). The digits stay as they are: nothing is rounded again.
    static QString fromPointText(const QString &pointText, const QLocale &locale = QLocale());
    // The same followed by a space and the unit ("0,14 kW"); an empty unit adds nothing.
    static QString withUnit(const QString &pointText, const QString &unit,
                            const QLocale &locale = QLocale());
    // A number with a fixed count of decimals and its unit ("2,50 A").
    static QString withUnit(double value, int decimals, const QString &unit,
                            const QLocale &locale = QLocale());
};

} // namespace Application::K27

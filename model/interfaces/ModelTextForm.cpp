#include "model/interfaces/ModelTextForm.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace Model::Interfaces::TextForm {

namespace {
// "%f" of the largest float has 39 integer digits; this leaves room for sign, point and
// the six decimals.
constexpr int printBufferSize = 64;

// Prints number like "%f" and keeps `decimals` characters after the decimal point (none and
// no point for 0). Texts without a point ("inf", "nan") stay whole. std::to_chars always
// writes a point: the C library's printf follows the locale that Qt switches on at start,
// and a decimal comma would leave the text uncut.
QByteArray printCut(double number, int decimals)
{
    char buffer[printBufferSize];
    const auto [end, error]
        = std::to_chars(buffer, buffer + sizeof buffer, number, std::chars_format::fixed, 6);
    if (error != std::errc())
        return QByteArray();
    QByteArray text(buffer, static_cast<int>(end - buffer));
    const int point = text.indexOf('.');
    if (point < 0)
        return text;
    text.truncate(decimals == 0 ? point : point + 1 + decimals);
    return text;
}

float wrapDown(float candidate, float minimum, float maximum)
{
    return candidate < minimum ? maximum : candidate;
}

float wrapUp(float candidate, float minimum, float maximum)
{
    return candidate > maximum ? minimum : candidate;
}
} // namespace

QByteArray decimal(qint64 number)
{
    return QByteArray::number(number);
}

QByteArray oneDecimal(float number)
{
    return printCut(number, 1);
}

QByteArray wholeNumber(float number)
{
    return printCut(number, 0);
}

QByteArray roundedCapped(float number, float maximum)
{
    double rounded = std::round(static_cast<double>(number));
    if (rounded > maximum)
        rounded = maximum;
    // "%u" cannot show a negative number; converting one would also be undefined.
    if (!(rounded >= 0.0))
        rounded = 0.0;
    if (rounded > std::numeric_limits<quint32>::max())
        rounded = std::numeric_limits<quint32>::max();
    return QByteArray::number(static_cast<quint32>(rounded));
}

QByteArray thousandthsCapped(float number, float maximum)
{
    float thousandths = number / 1000.0f;
    const float cap = maximum / 1000.0f;
    if (thousandths > cap)
        thousandths = cap;
    return printCut(thousandths, 2);
}

float wholeStepDown(float number, float minimum, float maximum)
{
    const float candidate = std::trunc(number) - 1.0f;
    return candidate < std::trunc(minimum) ? maximum : candidate;
}

float wholeStepUp(float number, float minimum, float maximum)
{
    const float candidate = std::trunc(number) + 1.0f;
    return candidate > std::trunc(maximum) ? minimum : candidate;
}

// The arithmetic stays in float, the precision of the contents and limits, so that a step
// onto a limit (99 / 10 onto the maximum 9.9) compares equal to it instead of wrapping.
float tenthsStepDown(float number, float minimum, float maximum)
{
    return wrapDown(std::round(10.0f * number - 1.0f) / 10.0f, minimum, maximum);
}

float tenthsStepUp(float number, float minimum, float maximum)
{
    return wrapUp(std::round(10.0f * number + 1.0f) / 10.0f, minimum, maximum);
}

float unitsStepDown(float number, float minimum, float maximum)
{
    return wrapDown(std::round(number - 1.0f), minimum, maximum);
}

float unitsStepUp(float number, float minimum, float maximum)
{
    return wrapUp(std::round(number + 1.0f), minimum, maximum);
}

} // namespace Model::Interfaces::TextForm

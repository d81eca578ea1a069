#pragma once

#include <QByteArray>
#include <QtGlobal>

// Text forms and neighbour steps shared by the catalogue values. Float texts start from the
// C "%f" form and are cut, not rounded, so that the display shows the same digits the device
// display shows.
namespace Model::Interfaces::TextForm {

// The number in decimal; unsigned 32-bit contents print without sign.
QByteArray decimal(qint64 number);

// "%f", cut one character after the decimal point: 9.99 gives "9.9".
QByteArray oneDecimal(float number);
// "%f", cut at the decimal point: 207.9 gives "207".
QByteArray wholeNumber(float number);
// Rounded to the nearest whole number (halves away from zero), capped at maximum, printed
// as an unsigned number. A negative or undefined content prints as 0.
QByteArray roundedCapped(float number, float maximum);
// number / 1000, capped at maximum / 1000, "%f" cut two characters after the decimal point:
// 1234.0 gives "1.23".
QByteArray thousandthsCapped(float number, float maximum);

// Neighbours of float contents. Each result outside minimum ... maximum wraps to the other end.
// Whole: one unit from the content truncated toward zero, compared with the truncated limits.
float wholeStepDown(float number, float minimum, float maximum);
float wholeStepUp(float number, float minimum, float maximum);
// Tenths: round(10 * number -/+ 1) / 10.
float tenthsStepDown(float number, float minimum, float maximum);
float tenthsStepUp(float number, float minimum, float maximum);
// Units: round(number -/+ 1).
float unitsStepDown(float number, float minimum, float maximum);
float unitsStepUp(float number, float minimum, float maximum);

} // namespace Model::Interfaces::TextForm

#include "application/windows/SettingSpinBox.h"

#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <algorithm>
#include <cmath>

namespace Application::K27 {

namespace {

// What the field takes as typed: far beyond any setting, so that a number outside the allowed
// range reaches the window whole and is refused there with a word.
constexpr double inputLimit = 99999.0;

// Closer than this to a line of the step grid counts as on it (0.3 is not exactly 3 × 0.1).
constexpr double onGrid = 1e-6;

} // namespace

SettingSpinBox::SettingSpinBox(QWidget *parent)
    : QDoubleSpinBox(parent)
{
    // valueChanged only for a finished number: Return, leaving the field, a step.
    setKeyboardTracking(false);
    setRange(-inputLimit, inputLimit);
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] {
        m_edited = true;
        if (m_refused) {
            m_refused.reset();
            showHint();
        }
    });
    connect(this, &QAbstractSpinBox::editingFinished, this, [this] {
        if (!m_edited)
            return;
        m_edited = false;
        emit typedNumberFinished(value());
    });
}

void SettingSpinBox::setUnit(const QString &unit)
{
    m_unit = unit;
    showHint();
}

void SettingSpinBox::setAllowedRange(double minimum, double maximum)
{
    m_allowedMinimum = minimum;
    m_allowedMaximum = maximum;
    showHint();
}

void SettingSpinBox::setHintLabel(QLabel *label)
{
    m_hint = label;
    showHint();
}

bool SettingSpinBox::allows(double value) const
{
    if (!std::isfinite(value))
        return false;
    const float single = static_cast<float>(value);
    return single >= static_cast<float>(m_allowedMinimum)
        && single <= static_cast<float>(m_allowedMaximum);
}

void SettingSpinBox::refuse(double value)
{
    m_refused = value;
    showHint();
}

void SettingSpinBox::showHint()
{
    if (m_refused) {
        //: %1 is the number typed with its unit, %2 the allowed range ("0.1 – 6.6 A")
        setHint(tr("Not sent: %1 is outside %2").arg(quantityText(*m_refused), rangeText()), true);
    } else if (!m_edited && !allows(value())) {
        //: %1 is the number the device reported with its unit, %2 the allowed range
        setHint(tr("The device holds %1, outside %2").arg(quantityText(value()), rangeText()),
                true);
    } else {
        setHint(rangeText(), false);
    }
}

QString SettingSpinBox::quantityText(double value) const
{
    const QString number = textFromValue(value);
    return m_unit.isEmpty() ? number : number + QLatin1Char(' ') + m_unit;
}

QString SettingSpinBox::rangeText() const
{
    //: The range a setting may take: %1 the lowest and %2 the highest number, %3 the unit
    return tr("%1 – %2 %3")
        .arg(textFromValue(m_allowedMinimum), textFromValue(m_allowedMaximum), m_unit)
        .trimmed();
}

void SettingSpinBox::stepBy(int steps)
{
    const double step = singleStep();
    const double from = shownNumber();
    const double lines = from / step;
    double target = 0.0;
    if (std::abs(lines - std::round(lines)) < onGrid)
        target = (std::round(lines) + steps) * step;
    else
        target = ((steps > 0 ? std::floor(lines) : std::ceil(lines)) + steps) * step;
    target = std::clamp(target, m_allowedMinimum, m_allowedMaximum);
    // The stepped number replaces what was typed: one valueChanged, for the number shown.
    m_edited = false;
    m_refused.reset();
    setValue(target);
    selectAll();
    showHint();
}

QValidator::State SettingSpinBox::validate(QString &input, int &position) const
{
    const QChar decimalPoint = locale().decimalPoint();
    for (QChar &character : input) {
        if (character == QLatin1Char('.') || character == QLatin1Char(','))
            character = decimalPoint;
    }
    return QDoubleSpinBox::validate(input, position);
}

QAbstractSpinBox::StepEnabled SettingSpinBox::stepEnabled() const
{
    if (isReadOnly())
        return StepNone;
    const double shown = shownNumber();
    StepEnabled enabled = StepNone;
    if (static_cast<float>(shown) < static_cast<float>(m_allowedMaximum))
        enabled |= StepUpEnabled;
    if (static_cast<float>(shown) > static_cast<float>(m_allowedMinimum))
        enabled |= StepDownEnabled;
    return enabled;
}

double SettingSpinBox::shownNumber() const
{
    QString text = lineEdit()->displayText();
    int position = lineEdit()->cursorPosition();
    if (validate(text, position) == QValidator::Acceptable)
        return valueFromText(text);
    return value();
}

void SettingSpinBox::setHint(const QString &text, bool refused)
{
    if (m_hint == nullptr)
        return;
    m_hint->setText(text);
    if (m_hint->property("refused").toBool() != refused) {
        // The page's style sheet marks a refusal; a changed property needs a new polish.
        m_hint->setProperty("refused", refused);
        m_hint->style()->unpolish(m_hint);
        m_hint->style()->polish(m_hint);
    }
}

} // namespace Application::K27

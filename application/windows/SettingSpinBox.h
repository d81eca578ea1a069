#pragma once

#include <QDoubleSpinBox>
#include <QLabel>
#include <QPointer>
#include <QString>
#include <optional>

namespace Application::K27 {

// The number field of one device setting, written when the person has finished it: on Return,
// on leaving the field or on a step (arrow keys, wheel), never for a half-typed number.
//
// The field takes any number that is typed, also one outside the range the setting allows
// (allowedMinimum to allowedMaximum): a field that refused the key instead would turn "12"
// typed into a field that allows at most 6.6 silently into 1. The window checks the finished
// number against the allowed range and refuses it with a word (refuse). Steps stop at the ends
// of the allowed range and land on the step grid (0.01 stepped up by 0.1 gives 0.1).
//
// A hint label beside the field shows the allowed range with the unit in the field's own
// locale ("0.1 – 6.6 A", "0,1 – 6,6 A"), or why the last number was not sent.
class SettingSpinBox : public QDoubleSpinBox
{
    Q_OBJECT
    // The unit after the numbers of the hint ("A", "V"); the field itself shows the number only.
    Q_PROPERTY(QString unit READ unit WRITE setUnit)

public:
    explicit SettingSpinBox(QWidget *parent = nullptr);

    QString unit() const { return m_unit; }
    void setUnit(const QString &unit);

    double allowedMinimum() const { return m_allowedMinimum; }
    double allowedMaximum() const { return m_allowedMaximum; }
    // The range the setting may take now, both ends included; the hint shows it.
    void setAllowedRange(double minimum, double maximum);
    // The label that shows the allowed range or a refusal.
    void setHintLabel(QLabel *label);
    QLabel *hintLabel() const { return m_hint; }

    // Whether value lies within the allowed range, compared in single precision as the device
    // keeps its settings (6.6 typed is the maximum 6.6 reported, not above it).
    bool allows(double value) const;
    // The hint says that value was not sent, and why, until the person types or steps again.
    void refuse(double value);
    // Brings the hint up to date after the field was given a number the device reported: a
    // number outside the allowed range is pointed out there.
    void showHint();

    // A number as the field shows it, with the unit: "2.5 A", "2,5 A".
    QString quantityText(double value) const;
    // The allowed range as the hint shows it: "0.1 – 6.6 A".
    QString rangeText() const;

    // Whether the person has typed into the field since it last took a number: a value the
    // device reports meanwhile waits until they have finished.
    bool isBeingEdited() const { return m_edited; }

    void stepBy(int steps) override;
    // A point or a comma typed is the decimal separator of the field's locale, whichever key
    // was pressed: the field shows no group separators, so a technician's "3.5" under a German
    // locale is 3,5 and never 35.
    QValidator::State validate(QString &input, int &position) const override;

signals:
    // The person finished a number they typed (Return, or the field left). valueChanged
    // reports it too, unless it equals the number the field held before the typing; this one
    // always does, since a report may have changed the setting meanwhile.
    void typedNumberFinished(double value);

protected:
    StepEnabled stepEnabled() const override;

private:
    // The number the field holds now: what was typed if it reads as a number, else its value.
    double shownNumber() const;
    void setHint(const QString &text, bool refused);

    QString m_unit;
    double m_allowedMinimum = 0.0;
    double m_allowedMaximum = 0.0;
    QPointer<QLabel> m_hint;
    bool m_edited = false;
    // The number last refused, while the hint names it.
    std::optional<double> m_refused;
};

} // namespace Application::K27

#pragma once

#include <QSignalBlocker>
#include <utility>

namespace Application::K27 {

// Shows a value the device reported in its widget through the widget's own setter, with the
// widget's signals blocked: a reported value is not a change the user made, so no change slot
// runs and nothing is written back to the device.
//
//     showReportedValue(ui->checkBoxAutoReset, &QCheckBox::setChecked, reported);
template<typename Widget, typename Setter, typename... Values>
void showReportedValue(Widget *widget, Setter setter, Values &&...values)
{
    const QSignalBlocker blocker(widget);
    (widget->*setter)(std::forward<Values>(values)...);
}

} // namespace Application::K27

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

// The other direction, a change the user made: the model value is set and sent, unless
// unchanged(the model's content) says it holds that already. Returns whether it was sent.
//
//     writeUserChange(settings.overloadReset(), checked);
template<typename Value, typename Content, typename Unchanged>
bool writeUserChange(Value &value, const Content &content, Unchanged unchanged)
{
    if (unchanged(value.value()))
        return false;
    value.setValue(content);
    value.send();
    return true;
}

template<typename Value, typename Content>
bool writeUserChange(Value &value, const Content &content)
{
    return writeUserChange(value, content,
                           [&content](const auto &current) { return current == content; });
}

} // namespace Application::K27

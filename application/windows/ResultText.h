#pragma once

#include <QString>

class QLabel;

namespace Application::K27 {

// The line a page answers an action with ("Settings exported to …", "Cannot write …"). Every
// page shows its results through here, so that a failure never looks like a success: a failure
// carries the dynamic property result="error", which the window's style sheet draws in its
// error style; a success carries none. The line wraps at word boundaries within the width the
// page gives it.
class ResultText
{
public:
    enum class Kind { Success, Error };

    static void show(QLabel *label, const QString &text, Kind kind);
    // Whether the label shows a failure.
    static bool isError(const QLabel *label);
};

} // namespace Application::K27

#pragma once

#include <QStringList>

namespace TestSupport {

// Records every warning and critical message Qt prints while it exists, so a test can fail on
// a broken connection or a complaint from Qt that would otherwise pass silently. Messages still
// reach the previous handler. One trap at a time; create it in initTestCase or later, since
// the test runner installs its own handler when the run starts.
class WarningTrap
{
public:
    WarningTrap();
    ~WarningTrap();
    WarningTrap(const WarningTrap &) = delete;
    WarningTrap &operator=(const WarningTrap &) = delete;

    // From now on the message is passed on but not recorded.
    void ignore(const QString &message);

    QStringList messages() const;
    // Returns the messages recorded so far and forgets them.
    QStringList take();
};

} // namespace TestSupport

#pragma once

#include "support/WarningTrap.h"

#include <QObject>
#include <memory>

namespace TestSupport {

// The base of every test class: any warning or critical message Qt prints during a test
// function, its set-up or its clean-up fails that test function, so a broken connection or a
// complaint from Qt cannot pass silently. The runner's own set-up and clean-up slots live
// here; a test class gives its set-up and clean-up as the overrides below (QVERIFY and
// friends work there), never as slots of its own, which would hide these. The offscreen
// platform's complaint that it cannot pass on size hints is no fault and is not trapped.
class TrappedTest : public QObject
{
    Q_OBJECT

protected:
    // Before the first test function.
    virtual void setUpTestCase() { }
    // Before each test function (and each row of its data).
    virtual void setUp() { }
    // After each test function, before its messages are checked.
    virtual void tearDown() { }
    // After the last test function.
    virtual void tearDownTestCase() { }

    // The messages trapped so far; a test that provokes one on purpose takes it from here.
    WarningTrap &warnings() { return *m_warnings; }

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

private:
    std::unique_ptr<WarningTrap> m_warnings;
};

} // namespace TestSupport

#include "TrappedTest.h"

#include <QtTest>

namespace TestSupport {

void TrappedTest::initTestCase()
{
    // The test runner installs its own message handler when the run starts; the trap goes
    // in front of it.
    m_warnings = std::make_unique<WarningTrap>();
    // The offscreen platform the widget tests run on cannot hand a window's size hints to a
    // window system and says so for every window and dialog shown; that concerns no behaviour.
    m_warnings->ignore(QStringLiteral("This plugin does not support propagateSizeHints()"));
    setUpTestCase();
    if (QTest::currentTestFailed())
        return;
    const QStringList warnings = m_warnings->take();
    QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join(QLatin1Char('\n'))));
}

void TrappedTest::init()
{
    setUp();
}

void TrappedTest::cleanup()
{
    tearDown();
    const QStringList warnings = m_warnings->take();
    QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join(QLatin1Char('\n'))));
}

void TrappedTest::cleanupTestCase()
{
    tearDownTestCase();
    const QStringList warnings = m_warnings->take();
    m_warnings.reset();
    QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join(QLatin1Char('\n'))));
}

} // namespace TestSupport

#include "TrappedTest.h"

#include <QtTest>

namespace TestSupport {

void TrappedTest::initTestCase()
{
    // The test runner installs its own message handler when the run starts; the trap goes
    // in front of it.
    m_warnings = std::make_unique<WarningTrap>();
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

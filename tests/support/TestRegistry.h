#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QtTest>

namespace TestSupport {

// The tests are compiled several to a program (a change to one test rebuilds its batch, not
// every test): each test class registers itself under its source's name ("tst_config") and the
// program runs the one named first on its command line, with Qt Test's own options after it.
// Every test still runs in a process of its own, with the application its macro asks for.
class TestRegistry
{
public:
    using Run = int (*)(int argc, char **argv);

    // Registers the test of the source at sourcePath (its file name without extension).
    static bool add(const char *sourcePath, Run run);
    // The program's main: "PROGRAM TEST [Qt Test options]"; lists the tests when none is named.
    static int run(int argc, char **argv);
};

} // namespace TestSupport

// In place of QTEST_MAIN, QTEST_GUILESS_MAIN and QTEST_APPLESS_MAIN: the same start of a test,
// registered instead of being the program's main.
#define K27_TEST_WITH_APPLICATION(TestObject, Application)                                         \
    namespace {                                                                                    \
    const bool registered##TestObject                                                              \
        = TestSupport::TestRegistry::add(__FILE__, [](int argc, char **argv) -> int {              \
              QTest::Internal::callInitMain<TestObject>();                                         \
              Application application(argc, argv);                                                 \
              application.setAttribute(Qt::AA_Use96Dpi, true);                                     \
              TestObject test;                                                                     \
              QTEST_SET_MAIN_SOURCE_PATH                                                           \
              return QTest::qExec(&test, argc, argv);                                              \
          });                                                                                      \
    }

#define K27_TEST_MAIN(TestObject) K27_TEST_WITH_APPLICATION(TestObject, QApplication)
#define K27_TEST_GUILESS_MAIN(TestObject) K27_TEST_WITH_APPLICATION(TestObject, QCoreApplication)

#define K27_TEST_APPLESS_MAIN(TestObject)                                                          \
    namespace {                                                                                    \
    const bool registered##TestObject                                                              \
        = TestSupport::TestRegistry::add(__FILE__, [](int argc, char **argv) -> int {              \
              TestObject test;                                                                     \
              QTEST_SET_MAIN_SOURCE_PATH                                                           \
              return QTest::qExec(&test, argc, argv);                                              \
          });                                                                                      \
    }

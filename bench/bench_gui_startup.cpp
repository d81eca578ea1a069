// The program's start-up until the login screen is on screen: from the start of the start-up
// sequence (identity, translations, port manager, login record, configuration, login screen)
// until the login screen has painted itself for the first time. The QApplication exists
// already (it can be made once per process); the time to load the program is not included.
//
// The whole process: the program's start (startup_login_screen, the program's own start-up
// ending at the login screen) next to its floor (startup_hello_window, a Qt Widgets window with
// one text), each started as a process and timed from its start until it says its window has
// painted. Two more floors tell the program's costs apart: the same window loading the libraries
// the program loads (startup_hello_window_linked), and a window of the login screen's size
// showing its two pictures (startup_picture_window).

#include "application/windows/StartUp.h"
#include "application/windows/WelcomeScreen.h"
#include "tools/devicesim/SimulatedPortList.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

namespace {

void loginScreenShown(benchmark::State &state)
{
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()));
    DeviceSim::SimulatedPortList ports;
    for (auto _ : state) {
        Application::K27::StartUp startUp(ports.source());
        QElapsedTimer timer;
        timer.start();
        double seconds = 0;
        QObject::connect(&startUp, &Application::K27::StartUp::loginScreenStarting,
                         [&timer, &seconds](WelcomeScreen *screen) {
                             // Once the screen runs: paint it, take the time, leave.
                             QTimer::singleShot(0, screen, [screen, &timer, &seconds] {
                                 screen->repaint();
                                 seconds = timer.nsecsElapsed() / 1e9;
                                 screen->reject();
                             });
                         });
        startUp.run();
        state.SetIterationTime(seconds);
    }
}
// Starts the program and waits for its first line, which it writes once its window has painted.
void processShown(benchmark::State &state, const QString &program)
{
    QTemporaryDir configHome;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome.path());
    for (auto _ : state) {
        QProcess process;
        process.setProcessEnvironment(environment);
        QElapsedTimer timer;
        timer.start();
        process.start(program, QStringList());
        const bool shown = process.waitForReadyRead(10000);
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        process.waitForFinished(10000);
        if (!shown || !process.readAllStandardOutput().startsWith("shown")) {
            state.SkipWithError("the window was not shown");
            break;
        }
    }
}

void helloWindowProcess(benchmark::State &state)
{
    processShown(state, QStringLiteral(HELLO_WINDOW_PATH));
}

void helloWindowLinkedProcess(benchmark::State &state)
{
    processShown(state, QStringLiteral(HELLO_WINDOW_LINKED_PATH));
}

void pictureWindowProcess(benchmark::State &state)
{
    processShown(state, QStringLiteral(PICTURE_WINDOW_PATH));
}

void loginScreenProcess(benchmark::State &state)
{
    processShown(state, QStringLiteral(LOGIN_SCREEN_PATH));
}

BENCHMARK(helloWindowProcess)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(helloWindowLinkedProcess)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(pictureWindowProcess)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(loginScreenProcess)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(loginScreenShown)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// The program's start-up until the login screen is on screen: from the start of the start-up
// sequence (identity, translations, port manager, login record, configuration, login screen)
// until the login screen has painted itself for the first time. The QApplication exists
// already (it can be made once per process); the time to load the program is not included.

#include "application/windows/StartUp.h"
#include "application/windows/WelcomeScreen.h"
#include "tools/devicesim/SimulatedPortList.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
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

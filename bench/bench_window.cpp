// The device window against the simulated device on a pseudo-terminal, next to k27ctl:
// - k27ctlDump: `k27ctl --port PATH dump` as its own process, from its start until it has
//   printed the whole model (process start included);
// - windowShowsModel: from the port manager opening the port until the GUI thread has shown
//   the last value the device reports after the window's run() (the window's own slots run
//   before the counting slot, which is connected after them);
// - loginScreenShown: from the start of the program's start-up sequence until the login
//   screen has painted itself for the first time.
// The simulated device runs on its own thread in this process; both clients use the same one.

#include "application/Config.h"
#include "application/K27SubScreen.h"
#include "application/SerialPortManager.h"
#include "application/StartUp.h"
#include "application/UserLogin.h"
#include "application/WelcomeScreen.h"
#include "service/ZantLinkTerminalService.h"
#include "tools/devicesim/SimulatedPortList.h"
#include "tools/devicesim/SimulatorThread.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMetaMethod>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

DeviceSim::SimulatedPortList &portList()
{
    static DeviceSim::SimulatedPortList list;
    return list;
}

DeviceSim::SimulatorThread &device()
{
    static DeviceSim::SimulatorThread simulator({}, &portList());
    static const bool started = simulator.start();
    if (!started)
        qFatal("cannot start the simulated device: %s", qPrintable(simulator.errorString()));
    return simulator;
}

// Counts the value signals the terminal service delivers to the GUI thread.
class ValueCounter : public QObject
{
    Q_OBJECT

public:
    explicit ValueCounter(QObject *terminal)
    {
        const QMetaObject *meta = terminal->metaObject();
        const QMetaMethod count = metaObject()->method(metaObject()->indexOfSlot("count()"));
        for (int index = meta->methodOffset(); index < meta->methodCount(); ++index) {
            const QMetaMethod method = meta->method(index);
            if (method.methodType() == QMetaMethod::Signal && method.name().endsWith("ModelValue"))
                connect(terminal, method, this, count);
        }
    }
    int deliveries = 0;

public slots:
    void count() { ++deliveries; }
};

// Lets the event loop run until the condition holds (or a minute passed).
void runUntil(const std::function<bool()> &condition)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition() && timer.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
}

// One window from the port's opening until `expected` value signals have been shown; returns
// the deliveries seen (after `settleMs` more milliseconds when given, for the warm-up).
int openWindowAndWait(int expected, int settleMs, double *seconds)
{
    const auto config = QSharedPointer<Application::K27::Config>::create();
    const auto login = QSharedPointer<UserLogin>::create();
    login->setLevel(UserLogin::Admin);

    QElapsedTimer timer;
    timer.start();
    const auto manager
        = QSharedPointer<Application::K27::SerialPortManager>::create(portList().source());
    manager->handleTimeout();
    K27SubScreen window(login, config, manager, device().portName());
    ValueCounter counter(window.terminalService().data());
    window.run();
    if (expected > 0)
        runUntil([&counter, expected] { return counter.deliveries >= expected; });
    if (seconds)
        *seconds = timer.nsecsElapsed() / 1e9;
    if (settleMs > 0) {
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < settleMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return counter.deliveries;
}

void k27ctlDump(benchmark::State &state)
{
    const QString port = device().portName();
    for (auto _ : state) {
        QProcess process;
        QElapsedTimer timer;
        timer.start();
        process.start(QStringLiteral(K27CTL_PATH),
                      {QStringLiteral("--port"), port, QStringLiteral("dump")});
        // The device lives on its own thread; this thread only waits.
        runUntil([&process] { return process.state() == QProcess::NotRunning; });
        state.SetIterationTime(timer.nsecsElapsed() / 1e9);
        if (process.exitCode() != 0)
            state.SkipWithError(process.readAllStandardError().constData());
    }
}
BENCHMARK(k27ctlDump)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

void windowShowsModel(benchmark::State &state)
{
    // The warm-up learns how many value signals the reply to the window's requests raises.
    static const int expected = openWindowAndWait(0, 1500, nullptr);
    for (auto _ : state) {
        double seconds = 0;
        const int seen = openWindowAndWait(expected, 0, &seconds);
        state.SetIterationTime(seconds);
        if (seen < expected)
            state.SkipWithError("not every value arrived");
    }
    state.counters["values"] = expected;
}
BENCHMARK(windowShowsModel)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

void loginScreenShown(benchmark::State &state)
{
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()));
    for (auto _ : state) {
        Application::K27::StartUp startUp(portList().source());
        QElapsedTimer timer;
        timer.start();
        double seconds = 0;
        QObject::connect(&startUp, &Application::K27::StartUp::loginScreenStarting,
                         [&timer, &seconds](WelcomeScreen *screen) {
                             // The first paint of the screen ends the measurement.
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
BENCHMARK(loginScreenShown)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

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

#include "bench_window.moc"

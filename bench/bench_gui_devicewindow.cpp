// How long a device window takes from its port opening to the last value of the model read
// shown, next to `k27ctl dump` against the same simulated device on a pseudo-terminal in the
// same run. The device serves from a thread of its own; k27ctl runs as its own process and is
// timed from its start to its exit.

#include "application/core/Config.h"
#include "application/core/UserLogin.h"
#include "application/windows/K27SubScreen.h"
#include "component/SerialPortManager.h"
#include "service/ZantLinkTerminalService.h"
#include "tools/devicesim/SimulatedPortList.h"
#include "tools/devicesim/SimulatorThread.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

// The requests of the model read, each answered with one content.
constexpr int modelReadContents = 47;

DeviceSim::SimulatedPortList &portList()
{
    static DeviceSim::SimulatedPortList ports;
    return ports;
}

// Made in main and gone before the application, so that its thread still has an application
// to end its event loop with (a function-local static outlived it and the program never ended).
DeviceSim::SimulatorThread *simulatedDevice = nullptr;

DeviceSim::SimulatorThread &device()
{
    return *simulatedDevice;
}

void windowModelRead(benchmark::State &state)
{
    for (auto _ : state) {
        const auto manager = QSharedPointer<Application::K27::SerialPortManager>::create(
            [] { return portList().ports(); });
        QElapsedTimer timer;
        timer.start();
        manager->handleTimeout();
        K27SubScreen window(QSharedPointer<UserLogin>::create(),
                            QSharedPointer<Application::K27::Config>::create(), manager,
                            device().portName());
        int contents = 0;
        QEventLoop loop;
        QObject::connect(window.terminalService().data(),
                         &Service::K27::ZantLinkTerminalService::commandReceived, &loop,
                         [&](const QByteArray &line) {
                             if (line.startsWith("ID: ") && ++contents == modelReadContents)
                                 loop.quit();
                         });
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        window.run();
        loop.exec();
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        if (contents != modelReadContents) {
            state.SkipWithError("the model read did not complete");
            break;
        }
    }
}

void k27ctlDump(benchmark::State &state)
{
    for (auto _ : state) {
        QProcess process;
        QElapsedTimer timer;
        timer.start();
        process.start(QStringLiteral(K27CTL_PATH),
                      {QStringLiteral("--port"), device().portName(), QStringLiteral("dump")});
        const bool finished = process.waitForFinished(10000);
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        if (!finished || process.exitCode() != 0) {
            state.SkipWithError("k27ctl dump failed");
            break;
        }
    }
}

BENCHMARK(k27ctlDump)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(windowModelRead)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    DeviceSim::DeviceSimulatorOptions options;
    options.model = {{46, 36262}, {45, 123456}};
    DeviceSim::SimulatorThread simulator(options, &portList());
    simulatedDevice = &simulator;
    if (!device().start()) {
        qWarning("%s", qPrintable(device().errorString()));
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}

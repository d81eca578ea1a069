// How long a device window takes from its port opening to the last value of the model read
// shown, next to `k27ctl dump` against the same simulated device on a pseudo-terminal in the
// same run. The device serves from a thread of its own; k27ctl runs as its own process and is
// timed from its start to its exit. Its floor, portOpenAndExit, is a bare Qt console program
// that opens the same port and exits, timed the same way; portOpenAndExitWithToolLibraries is the
// same program loading the libraries k27ctl loads; portModelRead runs either of them through the
// model read (the device window's requests, answers cut with zlib's crc32) before it exits.
//
// The floor of the window's read: a bare window of one label per value that opens the port
// itself, sends the very request bytes the device window sent, cuts the answers with zlib's
// crc32 and shows each value's content as a number. It shares nothing with the project but
// the recorded requests. Its styled twin does the same under a style sheet of one rule, the
// price every window styled by a style sheet pays.

#include "FloorModelRead.h"
#include "application/core/Config.h"
#include "application/core/UserLogin.h"
#include "application/windows/K27SubScreen.h"
#include "component/SerialPort.h"
#include "component/SerialPortManager.h"
#include "service/ZantLinkTerminalService.h"
#include "tools/devicesim/SimulatedPortList.h"
#include "tools/devicesim/SimulatorThread.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGridLayout>
#include <QLabel>
#include <QProcess>
#include <QSerialPort>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

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

// What the device window sends from its run until the model read is complete.
QByteArray modelReadRequests;

// Runs the window until every requested value has answered (10 s at most).
bool runUntilModelRead(K27SubScreen &window)
{
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
    return contents == modelReadContents;
}

// Runs one device window until its model read is complete and keeps what it sent.
bool recordModelReadRequests()
{
    const auto manager = QSharedPointer<Application::K27::SerialPortManager>::create(
        [] { return portList().ports(); });
    manager->handleTimeout();
    K27SubScreen window(QSharedPointer<UserLogin>::create(),
                        QSharedPointer<Application::K27::Config>::create(), manager,
                        device().portName());
    if (!window.serialPort())
        return false;
    QObject::connect(window.serialPort().data(), &Application::K27::SerialPort::dataTransmitted,
                     [](const QByteArray &bytes) { modelReadRequests += bytes; });
    return runUntilModelRead(window) && !modelReadRequests.isEmpty();
}

// The floor with `styleSheet` on its window: Qt polishes every widget under a style sheet
// through the style-sheet style, whatever its rules, and the device window's look is a style
// sheet. One rule is enough to measure that share.
void labelWindowModelRead(benchmark::State &state, const char *styleSheet)
{
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        QWidget window;
        window.setStyleSheet(QString::fromLatin1(styleSheet));
        auto *const grid = new QGridLayout(&window);
        std::vector<QLabel *> labels;
        for (int i = 0; i < modelReadContents; ++i) {
            labels.push_back(new QLabel(&window));
            grid->addWidget(labels.back(), i / 4, i % 4);
        }
        QSerialPort port(device().portName());
        if (!port.open(QIODevice::ReadWrite)) {
            state.SkipWithError("the port did not open");
            break;
        }
        port.setBaudRate(QSerialPort::Baud115200);
        QByteArray received;
        int shown = 0;
        QEventLoop loop;
        QObject::connect(&port, &QSerialPort::readyRead, &loop, [&] {
            received += port.readAll();
            FloorModelRead::cut(received, [&](quint32 content) {
                if (shown < modelReadContents)
                    labels[size_t(shown)]->setText(QString::number(content));
                if (++shown == modelReadContents)
                    loop.quit();
            });
        });
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        port.write(modelReadRequests);
        loop.exec();
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        if (shown < modelReadContents) {
            state.SkipWithError("the floor's read did not complete");
            break;
        }
    }
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
        const bool complete = runUntilModelRead(window);
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        if (!complete) {
            state.SkipWithError("the model read did not complete");
            break;
        }
    }
}

// Times one run of a program as a process, from its start to its exit.
void timeProcessRuns(benchmark::State &state, const QString &program, const QStringList &arguments,
                     const char *failure)
{
    for (auto _ : state) {
        QProcess process;
        QElapsedTimer timer;
        timer.start();
        process.start(program, arguments);
        const bool finished = process.waitForFinished(10000);
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        if (!finished || process.exitCode() != 0) {
            state.SkipWithError(failure);
            break;
        }
    }
}

void k27ctlDump(benchmark::State &state)
{
    timeProcessRuns(state, QStringLiteral(K27CTL_PATH),
                    {QStringLiteral("--port"), device().portName(), QStringLiteral("dump")},
                    "k27ctl dump failed");
}

void portOpenAndExit(benchmark::State &state)
{
    timeProcessRuns(state, QStringLiteral(PORTOPEN_FLOOR_PATH), {device().portName()},
                    "the port could not be opened");
}

// The same floor loading the shared libraries k27ctl loads (Qt Gui and Widgets, libcrypto,
// zlib) without using them: how much of k27ctl's start is only their loading.
void portOpenAndExitWithToolLibraries(benchmark::State &state)
{
    timeProcessRuns(state, QStringLiteral(PORTOPEN_FLOOR_LINKED_PATH), {device().portName()},
                    "the port could not be opened");
}

// The same two floors carrying out the model read (the device window's requests) before they
// exit, as `k27ctl dump` does.
void portModelRead(benchmark::State &state, const char *program)
{
    QTemporaryFile requests;
    if (!requests.open() || requests.write(modelReadRequests) != modelReadRequests.size()
        || !requests.flush()) {
        state.SkipWithError("the requests could not be written");
        return;
    }
    timeProcessRuns(state, QString::fromLocal8Bit(program),
                    {device().portName(), requests.fileName(), QString::number(modelReadContents)},
                    "the floor's model read did not complete");
}

BENCHMARK_CAPTURE(portModelRead, plain, PORTOPEN_FLOOR_PATH)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);
BENCHMARK_CAPTURE(portModelRead, withToolLibraries, PORTOPEN_FLOOR_LINKED_PATH)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);
BENCHMARK(portOpenAndExit)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(portOpenAndExitWithToolLibraries)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);
BENCHMARK(k27ctlDump)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK_CAPTURE(labelWindowModelRead, plain, "")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);
BENCHMARK_CAPTURE(labelWindowModelRead, styled, "QWidget { color: #204253; }")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);
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
    if (!recordModelReadRequests()) {
        qWarning("the device window's model read did not complete");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}

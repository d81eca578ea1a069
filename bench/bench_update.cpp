// The firmware transfer's block loop: the simulated device on a pseudo-terminal asks for 2048
// blocks (1 MiB) one after the other and the update control service answers each with a
// "Memblock" packet. Next to it, in the same run, the floor: a bare request/answer ping-pong of
// the same packet sizes (21-byte request, 539-byte answer) over a pseudo-terminal pair, with
// blocking reads and writes on two threads and nothing else in the way. The device serves from
// a thread of its own, as in the floor.

#include "application/Application.h"
#include "application/SerialPortManager.h"
#include "application/UserLogin.h"
#include "service/UpdateControlService.h"
#include "service/ZantLinkTerminalService.h"
#include "tools/devicesim/DeviceSimulator.h"
#include "tools/devicesim/SimulatedController.h"
#include "tools/devicesim/SimulatedPortList.h"
#include "tools/devicesim/SimulatorThread.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QStandardPaths>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <pty.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int blockCount = 2048;
// A block request: 15 bytes of frame and one argument of 2 bytes with its 2-byte length.
constexpr int requestSize = 15 + 2 + 2;
// A block: the number, 512 bytes and the CRC, each with its 2-byte length.
constexpr int answerSize = 15 + (2 + 2) + (2 + 512) + (2 + 4);

double blockLoopRate = 0;
double pingPongRate = 0;

DeviceSim::SimulatedPortList &portList()
{
    static DeviceSim::SimulatedPortList ports;
    return ports;
}

// Made and ended in main, while the application object exists.
DeviceSim::SimulatorThread *simulatedDevice = nullptr;

DeviceSim::SimulatorThread &device()
{
    return *simulatedDevice;
}

bool readAll(int fd, char *buffer, int count)
{
    int done = 0;
    while (done < count) {
        const ssize_t got = ::read(fd, buffer + done, std::size_t(count - done));
        if (got <= 0)
            return false;
        done += int(got);
    }
    return true;
}

bool writeAll(int fd, const char *buffer, int count)
{
    int done = 0;
    while (done < count) {
        const ssize_t put = ::write(fd, buffer + done, std::size_t(count - done));
        if (put <= 0)
            return false;
        done += int(put);
    }
    return true;
}

void blockLoop(benchmark::State &state)
{
    const auto manager = QSharedPointer<Application::K27::SerialPortManager>::create(
        [] { return portList().ports(); });
    manager->handleTimeout();
    Application::K27::Application application(QSharedPointer<UserLogin>::create(), nullptr, manager,
                                              device().portName());
    Service::K27::UpdateControlService &control = *application.updateControlService();
    QObject::connect(application.terminalService().data(),
                     &Service::K27::ZantLinkTerminalService::requestMemblock, &control,
                     &Service::K27::UpdateControlService::sendBlock);
    application.run();

    QByteArray image(blockCount * 512, Qt::Uninitialized);
    for (int i = 0; i < image.size(); ++i)
        image[i] = char(i * 7);

    qint64 blocks = 0;
    for (auto _ : state) {
        device().call(
            [](DeviceSim::DeviceSimulator &simulator) { simulator.platform().jumpToBootloader(); });
        QEventLoop loop;
        QObject::connect(&control, &Service::K27::UpdateControlService::updateFinished, &loop,
                         &QEventLoop::quit);
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        QElapsedTimer timer;
        timer.start();
        control.start(image, 0, 0);
        loop.exec();
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        if (!control.isFinished()) {
            state.SkipWithError("the transfer did not finish");
            break;
        }
        blocks += blockCount;
    }
    state.counters["blocks/s"] = benchmark::Counter(double(blocks), benchmark::Counter::kIsRate);
}

void pingPongFloor(benchmark::State &state)
{
    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    termios settings {};
    ::tcgetattr(slave, &settings);
    ::cfmakeraw(&settings);
    ::tcsetattr(slave, TCSANOW, &settings);

    const QByteArray request(requestSize, 'r');
    const QByteArray answer(answerSize, 'a');
    qint64 blocks = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        // The device on the master side asks and takes the answer; the PC on the serial side
        // answers every request.
        std::thread deviceSide([master, &request] {
            QByteArray buffer(answerSize, '\0');
            for (int i = 0; i < blockCount; ++i) {
                if (!writeAll(master, request.constData(), requestSize)
                    || !readAll(master, buffer.data(), answerSize))
                    return;
            }
        });
        QByteArray buffer(requestSize, '\0');
        bool ok = true;
        for (int i = 0; i < blockCount && ok; ++i)
            ok = readAll(slave, buffer.data(), requestSize)
                && writeAll(slave, answer.constData(), answerSize);
        deviceSide.join();
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        if (!ok) {
            state.SkipWithError("the ping-pong broke off");
            break;
        }
        blocks += blockCount;
    }
    ::close(slave);
    ::close(master);
    state.counters["blocks/s"] = benchmark::Counter(double(blocks), benchmark::Counter::kIsRate);
}

// Keeps the rate of each benchmark for the comparison printed at the end.
class RateReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            const auto rate = run.counters.find("blocks/s");
            if (rate == run.counters.end())
                continue;
            if (run.benchmark_name().rfind("blockLoop", 0) == 0)
                blockLoopRate = rate->second.value;
            else if (run.benchmark_name().rfind("pingPongFloor", 0) == 0)
                pingPongRate = rate->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

BENCHMARK(pingPongFloor)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(blockLoop)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    DeviceSim::SimulatorThread simulator(DeviceSim::DeviceSimulatorOptions {}, &portList());
    simulatedDevice = &simulator;
    if (!device().start()) {
        qWarning("%s", qPrintable(device().errorString()));
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    RateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    if (blockLoopRate > 0 && pingPongRate > 0)
        std::printf("block loop %.0f blocks/s, ping-pong floor %.0f blocks/s: %.2f times the "
                    "floor's time per block\n",
                    blockLoopRate, pingPongRate, pingPongRate / blockLoopRate);
    std::fflush(stdout);
    return 0;
}

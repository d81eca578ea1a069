// The firmware transfer's block loop: the simulated device on a pseudo-terminal asks for 2048
// blocks (1 MiB) one after the other and the update control service answers each with a
// "Memblock" packet. Next to it, in the same run, the floor: a bare request/answer ping-pong of
// the same packet sizes (19-byte request, 539-byte answer) over a pseudo-terminal pair, with
// blocking reads and writes on two threads and nothing else in the way. The device serves from
// a thread of its own, as in the floor. The block loop runs twice: without a listener to the
// packet log, as in k27ctl, and with one, as while a device window's service-mode log is on.

#include "application/core/Application.h"
#include "application/core/UserLogin.h"
#include "component/SerialPortManager.h"
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
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <pthread.h>
#include <pty.h>
#include <termios.h>
#include <thread>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int blockCount = 2048;
// A block request: 15 bytes of frame and one argument of 2 bytes with its 2-byte length.
constexpr int requestSize = 15 + 2 + 2;
// A block: the number, 512 bytes and the CRC, each with its 2-byte length.
constexpr int answerSize = 15 + (2 + 2) + (2 + 512) + (2 + 4);

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

// A pseudo-terminal pair in raw mode for the floor; closed when it goes.
class RawPtyPair
{
public:
    RawPtyPair()
    {
        if (::openpty(&m_master, &m_slave, nullptr, nullptr, nullptr) != 0)
            return;
        termios settings {};
        ::tcgetattr(m_slave, &settings);
        ::cfmakeraw(&settings);
        ::tcsetattr(m_slave, TCSANOW, &settings);
    }
    ~RawPtyPair()
    {
        if (m_slave >= 0)
            ::close(m_slave);
        if (m_master >= 0)
            ::close(m_master);
    }
    RawPtyPair(const RawPtyPair &) = delete;
    RawPtyPair &operator=(const RawPtyPair &) = delete;

    bool isValid() const { return m_master >= 0 && m_slave >= 0; }

    // The floor: blockCount request/answer rounds with blocking reads and writes, the device
    // on the master side asking and taking the answer, the PC on the serial side answering.
    // Returns the seconds taken, or a negative value if the exchange broke off.
    double pingPong() const
    {
        const QByteArray request(requestSize, 'r');
        const QByteArray answer(answerSize, 'a');
        QElapsedTimer timer;
        timer.start();
        std::thread deviceSide([this, &request] {
            QByteArray buffer(answerSize, '\0');
            for (int i = 0; i < blockCount; ++i) {
                if (!writeAll(m_master, request.constData(), requestSize)
                    || !readAll(m_master, buffer.data(), answerSize))
                    return;
            }
        });
        QByteArray buffer(requestSize, '\0');
        bool ok = true;
        for (int i = 0; i < blockCount && ok; ++i)
            ok = readAll(m_slave, buffer.data(), requestSize)
                && writeAll(m_slave, answer.constData(), answerSize);
        deviceSide.join();
        return ok ? double(timer.nsecsElapsed()) / 1e9 : -1.0;
    }

private:
    int m_master = -1;
    int m_slave = -1;
};

// One whole transfer of blockCount blocks to the simulated device; the seconds taken, or a
// negative value if it did not finish.
double transfer(Service::K27::UpdateControlService &control, const QByteArray &image)
{
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
    return control.isFinished() ? double(timer.nsecsElapsed()) / 1e9 : -1.0;
}

// CPU seconds of the whole process so far: every thread, the simulated device's and the
// floor's two included.
double processCpuSeconds()
{
    timespec now {};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// CPU seconds of the simulated device's thread so far.
double deviceCpuSeconds(clockid_t deviceClock)
{
    timespec now {};
    ::clock_gettime(deviceClock, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Each iteration times the floor and then the block loop, back to back, so that both see the
// same machine; the ratio reported is the median of the iterations' ratios. The iteration
// time is the block loop's. Next to the wall time, the CPU time of both sides together (the
// process's, which holds both ends of either exchange) is counted per block. The floor also lets
// the link settle, so that every transfer starts at rest, as a real update does: transfers straight
// after one another ran about a fifth slower here, and so did transfers after a pause in which the
// event loop did not turn.
void blockLoop(benchmark::State &state)
{
    const RawPtyPair floorLine;
    if (!floorLine.isValid()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    const auto manager = QSharedPointer<Application::K27::SerialPortManager>::create(
        [] { return portList().ports(); });
    manager->handleTimeout();
    Application::K27::Application application(QSharedPointer<UserLogin>::create(), nullptr, manager,
                                              device().portName());
    Service::K27::UpdateControlService &control = *application.updateControlService();
    QObject::connect(application.terminalService().data(),
                     &Service::K27::ZantLinkTerminalService::requestMemblock, &control,
                     &Service::K27::UpdateControlService::sendBlock);
    // With a listener, every packet becomes a log line, as while a device window's
    // service-mode log is enabled.
    qint64 logBytes = 0;
    if (state.range(0) != 0) {
        const auto count = [&logBytes](const QByteArray &line) { logBytes += line.size(); };
        QObject::connect(application.terminalService().data(),
                         &Service::K27::ZantLinkTerminalService::commandTransmitted, count);
        QObject::connect(application.terminalService().data(),
                         &Service::K27::ZantLinkTerminalService::commandReceived, count);
    }
    application.run();

    QByteArray image(blockCount * 512, Qt::Uninitialized);
    for (int i = 0; i < image.size(); ++i)
        image[i] = char(i * 7);

    clockid_t deviceClock {};
    device().call([&deviceClock](DeviceSim::DeviceSimulator &) {
        ::pthread_getcpuclockid(::pthread_self(), &deviceClock);
    });

    std::vector<double> ratios;
    std::vector<double> cpuRatios;
    std::vector<double> deviceCpu;
    std::vector<double> loopCpu;
    std::vector<double> floorCpu;
    double loopSeconds = 0;
    double floorSeconds = 0;
    for (auto _ : state) {
        const double floorStart = processCpuSeconds();
        const double floorTime = floorLine.pingPong();
        const double loopStart = processCpuSeconds();
        const double deviceStart = deviceCpuSeconds(deviceClock);
        const double loopTime = transfer(control, image);
        const double loopEnd = processCpuSeconds();
        const double deviceEnd = deviceCpuSeconds(deviceClock);
        if (floorTime <= 0 || loopTime <= 0) {
            state.SkipWithError(floorTime <= 0 ? "the ping-pong broke off"
                                               : "the transfer did not finish");
            break;
        }
        state.SetIterationTime(loopTime);
        ratios.push_back(loopTime / floorTime);
        floorCpu.push_back((loopStart - floorStart) / blockCount);
        loopCpu.push_back((loopEnd - loopStart) / blockCount);
        deviceCpu.push_back((deviceEnd - deviceStart) / blockCount);
        cpuRatios.push_back(loopCpu.back() / floorCpu.back());
        loopSeconds += loopTime;
        floorSeconds += floorTime;
    }
    if (ratios.empty())
        return;
    const double blocks = double(ratios.size()) * blockCount;
    state.counters["blocks/s"] = blocks / loopSeconds;
    state.counters["floor blocks/s"] = blocks / floorSeconds;
    state.counters["times floor"] = median(ratios);
    state.counters["CPU us/block"] = median(loopCpu) * 1e6;
    state.counters["floor CPU us/block"] = median(floorCpu) * 1e6;
    state.counters["CPU times floor"] = median(cpuRatios);
    state.counters["device CPU us/block"] = median(deviceCpu) * 1e6;
    if (logBytes > 0)
        state.counters["log bytes/block"] = double(logBytes) / blocks;
    std::printf("%s: block loop %.0f blocks/s, ping-pong floor %.0f blocks/s: %.2f times the "
                "floor's time per block (median of %zu pairs); CPU %.1f us/block (the device's "
                "%.1f) against %.1f: %.2f times the floor's\n",
                state.range(0) != 0 ? "every packet logged" : "no packet log", blocks / loopSeconds,
                blocks / floorSeconds, median(ratios), ratios.size(), median(loopCpu) * 1e6,
                median(deviceCpu) * 1e6, median(floorCpu) * 1e6, median(cpuRatios));
}

BENCHMARK(blockLoop)
    ->ArgName("logged")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(15);

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
    benchmark::RunSpecifiedBenchmarks();
    std::fflush(stdout);
    return 0;
}

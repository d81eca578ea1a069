// The firmware transfer's block loop: the simulated device on a pseudo-terminal asks for 2048
// blocks (1 MiB) one after the other and the update control service answers each with a
// "Memblock" packet. Next to it, in the same run, the floor: a bare request/answer ping-pong of
// the same packet sizes (19-byte request, 539-byte answer) over a pseudo-terminal pair, with
// blocking reads and writes on two threads and nothing else in the way; and the same ping-pong
// with both ends woken by Qt's event loops (a socket notifier and a QSerialPort), as the block
// loop's ends are. The device serves from a thread of its own, as in the floors. The block loop
// runs twice: without a listener to the packet log, as in k27ctl, and with one, as while a
// device window's service-mode log is on.

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
#include <QSerialPort>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <atomic>
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

    // The same ping-pong with both ends driven by Qt's event loops, the way the block loop runs:
    // the device's end reads when a socket notifier on its own thread says the line is
    // readable, the PC's end is a QSerialPort on the serial side in the calling thread's loop.
    // Nothing but the bytes is handled. The seconds taken, or a negative value if the exchange
    // broke off.
    double eventPingPong() const
    {
        const QByteArray request(requestSize, 'r');
        const QByteArray answer(answerSize, 'a');
        const int flags = ::fcntl(m_master, F_GETFL);
        ::fcntl(m_master, F_SETFL, flags | O_NONBLOCK);
        QSerialPort port(QString::fromLocal8Bit(::ptsname(m_master)));
        if (!port.open(QIODevice::ReadWrite)) {
            ::fcntl(m_master, F_SETFL, flags);
            return -1.0;
        }
        QByteArray requests;
        QObject::connect(&port, &QSerialPort::readyRead, [&port, &requests, &answer] {
            requests += port.readAll();
            for (; requests.size() >= requestSize; requests.remove(0, requestSize))
                port.write(answer);
        });
        QEventLoop loop;
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        std::atomic<int> answers {0};
        QElapsedTimer timer;
        timer.start();
        const std::unique_ptr<QThread> deviceSide(QThread::create([this, &request, &answers] {
            QEventLoop deviceLoop;
            QSocketNotifier readable(m_master, QSocketNotifier::Read);
            int received = 0;
            QObject::connect(&readable, &QSocketNotifier::activated, [&] {
                char buffer[4096];
                const ssize_t count = ::read(m_master, buffer, sizeof buffer);
                if (count <= 0)
                    return;
                for (received += int(count); received >= answerSize; received -= answerSize) {
                    if (++answers == blockCount
                        || !writeAll(m_master, request.constData(), requestSize)) {
                        deviceLoop.quit();
                        return;
                    }
                }
            });
            if (writeAll(m_master, request.constData(), requestSize))
                deviceLoop.exec();
        }));
        QObject::connect(deviceSide.get(), &QThread::finished, &loop, &QEventLoop::quit);
        deviceSide->start();
        loop.exec();
        const double seconds = double(timer.nsecsElapsed()) / 1e9;
        deviceSide->wait();
        port.close();
        ::fcntl(m_master, F_SETFL, flags);
        return answers == blockCount ? seconds : -1.0;
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
    std::vector<double> eventRatios;
    std::vector<double> cpuRatios;
    std::vector<double> deviceCpu;
    std::vector<double> loopCpu;
    std::vector<double> floorCpu;
    double loopSeconds = 0;
    double floorSeconds = 0;
    for (auto _ : state) {
        const double eventFloorTime = floorLine.eventPingPong();
        const double floorStart = processCpuSeconds();
        const double floorTime = floorLine.pingPong();
        const double loopStart = processCpuSeconds();
        const double deviceStart = deviceCpuSeconds(deviceClock);
        const double loopTime = transfer(control, image);
        const double loopEnd = processCpuSeconds();
        const double deviceEnd = deviceCpuSeconds(deviceClock);
        if (floorTime <= 0 || eventFloorTime <= 0 || loopTime <= 0) {
            state.SkipWithError(loopTime <= 0 ? "the transfer did not finish"
                                              : "the ping-pong broke off");
            break;
        }
        state.SetIterationTime(loopTime);
        ratios.push_back(loopTime / floorTime);
        eventRatios.push_back(loopTime / eventFloorTime);
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
    state.counters["times event floor"] = median(eventRatios);
    state.counters["CPU us/block"] = median(loopCpu) * 1e6;
    state.counters["floor CPU us/block"] = median(floorCpu) * 1e6;
    state.counters["CPU times floor"] = median(cpuRatios);
    state.counters["device CPU us/block"] = median(deviceCpu) * 1e6;
    if (logBytes > 0)
        state.counters["log bytes/block"] = double(logBytes) / blocks;
    std::printf("%s: block loop %.0f blocks/s, ping-pong floor %.0f blocks/s: %.2f times the "
                "floor's time per block (median of %zu pairs); CPU %.1f us/block (the device's "
                "%.1f) against %.1f: %.2f times the floor's; %.2f times the time of the same "
                "ping-pong driven by Qt's event loops\n",
                state.range(0) != 0 ? "every packet logged" : "no packet log", blocks / loopSeconds,
                blocks / floorSeconds, median(ratios), ratios.size(), median(loopCpu) * 1e6,
                median(deviceCpu) * 1e6, median(floorCpu) * 1e6, median(cpuRatios),
                median(eventRatios));
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

// What the Data page's trend and recording cost on the GUI thread, and whether the window's
// memory stays flat while a device streams.
//
// windowStreaming: a device window on a simulated device (its own thread) that streams voltages
// at its fastest measurement period (1 ms: three phases per millisecond), the Data page open
// and a recording running. After a warm-up that fills the trend's rings, it measures the GUI
// thread's CPU time per measurement (packet dispatch, labels, trend, recording and redrawing
// all included) and the process's resident memory over K27_BENCH_STREAM_SECONDS seconds (30
// by default; 600 streams the full ten minutes), without and with a recording.
//
// trendTenSimulatedMinutes: the trend (shown, redrawn every 250 ms of simulated time) and the
// recorder alone, fed ten minutes of a 1 ms period without waiting for the clock: the cost per
// measurement of these two parts and the resident memory after 1, 5 and 10 simulated minutes.
//
// polylineTenSimulatedMinutes: the floor for the trend, written without the project: the same
// values kept in three plain rings of the same capacity and, at each redraw, stroked as three
// antialiased polylines of 1.5 px into an image of the trend's size over the same five-minute
// time axis. The rings are full after three seconds, so one simulated minute gives the cost
// per measurement of ten.

#include "application/core/Config.h"
#include "application/core/MeasurementRecorder.h"
#include "application/core/UserLogin.h"
#include "application/windows/K27SubScreen.h"
#include "application/windows/MeasurementTrend.h"
#include "component/SerialPortManager.h"
#include "service/ZantLinkTerminalService.h"
#include "tools/devicesim/SimulatedPortList.h"
#include "tools/devicesim/SimulatorThread.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPolygonF>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <ctime>
#include <unistd.h>

namespace {

constexpr int fastestPeriodMs = 1;

DeviceSim::SimulatedPortList &portList()
{
    static DeviceSim::SimulatedPortList ports;
    return ports;
}

// The device streams at its fastest period. Made in main and gone before the application, so
// that its thread still has an application to end its event loop with.
DeviceSim::SimulatorThread *simulatedDevice = nullptr;

DeviceSim::SimulatorThread &device()
{
    return *simulatedDevice;
}

// CPU time of the calling thread, in seconds.
double threadCpuSeconds()
{
    timespec time {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
    return double(time.tv_sec) + double(time.tv_nsec) / 1e9;
}

// Resident memory of the process, in KiB.
double residentKiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return double(fields.value(1).toLongLong()) * double(sysconf(_SC_PAGESIZE)) / 1024.0;
}

void runEventsFor(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

int streamSeconds()
{
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("K27_BENCH_STREAM_SECONDS", &ok);
    return ok && seconds > 0 ? seconds : 30;
}

void windowStreaming(benchmark::State &state)
{
    const int seconds = streamSeconds();
    const bool recording = state.range(0) != 0;
    for (auto _ : state) {
        QTemporaryDir folder;
        const auto manager = QSharedPointer<Application::K27::SerialPortManager>::create(
            [] { return portList().ports(); });
        manager->handleTimeout();
        const auto login = QSharedPointer<UserLogin>::create();
        login->setLevel(UserLogin::Admin);
        K27SubScreen window(login, QSharedPointer<Application::K27::Config>::create(), manager,
                            device().portName());
        window.resize(1100, 800);
        window.show();
        qint64 measurements = 0;
        QObject::connect(window.terminalService().data(),
                         &Service::K27::ZantLinkTerminalService::measurementVoltageModelValue,
                         &window, [&measurements] { ++measurements; });
        window.run();
        runEventsFor(1000);
        window.findChild<QPushButton *>(QStringLiteral("pushButtonData"))->click();
        if (recording)
            window.handleRecordFile(QDir(folder.path()).filePath(QStringLiteral("bench.csv")));
        // The rings fill within three seconds at this period.
        runEventsFor(5000);

        const double memoryBefore = residentKiB();
        double memoryHighest = memoryBefore;
        const double cpuBefore = threadCpuSeconds();
        const qint64 measurementsBefore = measurements;
        QElapsedTimer wall;
        wall.start();
        QTimer sampler;
        QObject::connect(&sampler, &QTimer::timeout, [&memoryHighest] {
            memoryHighest = std::max(memoryHighest, residentKiB());
        });
        sampler.start(1000);
        runEventsFor(seconds * 1000);
        sampler.stop();
        const double cpu = threadCpuSeconds() - cpuBefore;
        const double memoryAfter = residentKiB();
        const auto counted = double(measurements - measurementsBefore);
        state.SetIterationTime(double(wall.nsecsElapsed()) / 1e9);
        // Leaving the Data page stops the measurement and saves the recording.
        window.findChild<QPushButton *>(QStringLiteral("pushButtonInformations"))->click();
        runEventsFor(200);

        state.counters["measurements"] = counted;
        state.counters["per_second"] = counted / (double(wall.nsecsElapsed()) / 1e9);
        state.counters["gui_us_per_measurement"] = counted > 0 ? cpu * 1e6 / counted : 0;
        state.counters["gui_cpu_share"] = cpu / (double(wall.nsecsElapsed()) / 1e9);
        state.counters["rss_start_KiB"] = memoryBefore;
        state.counters["rss_end_KiB"] = memoryAfter;
        state.counters["rss_highest_KiB"] = memoryHighest;
        if (counted == 0)
            state.SkipWithError("no measurement arrived");
    }
}

void trendTenSimulatedMinutes(benchmark::State &state)
{
    using Application::K27::MeasurementSample;
    constexpr int minutes = 10;
    constexpr qint64 rounds = qint64(minutes) * 60 * 1000 / fastestPeriodMs;
    constexpr int roundsPerRedraw = MeasurementTrend::refreshIntervalMs / fastestPeriodMs;
    for (auto _ : state) {
        QTemporaryDir folder;
        MeasurementTrend trend;
        trend.resize(1000, 300);
        trend.show();
        trend.setCurves(QStringLiteral("Voltage (V)"),
                        {QStringLiteral("L1"), QStringLiteral("L2"), QStringLiteral("L3")});
        Application::K27::MeasurementRecorder recorder;
        recorder.start(QDir(folder.path()).filePath(QStringLiteral("bench.csv")));
        QApplication::processEvents();

        double memoryAt[minutes + 1] {};
        memoryAt[0] = residentKiB();
        const double cpuBefore = threadCpuSeconds();
        for (qint64 round = 0; round < rounds; ++round) {
            const double seconds = double(round * fastestPeriodMs) / 1000.0;
            for (int phase = 0; phase < 3; ++phase) {
                const MeasurementSample sample {MeasurementSample::Kind::Voltage, phase,
                                                230.0
                                                    + double((round * 7 + phase * 13) % 60) / 10.0};
                trend.addValue(phase, seconds, sample.value);
                recorder.record(sample);
            }
            if ((round + 1) % roundsPerRedraw == 0) {
                trend.refresh();
                QApplication::processEvents();
            }
            if ((round + 1) % (60 * 1000 / fastestPeriodMs) == 0)
                memoryAt[(round + 1) / (60 * 1000 / fastestPeriodMs)] = residentKiB();
        }
        const double cpu = threadCpuSeconds() - cpuBefore;
        state.SetIterationTime(cpu);
        recorder.stop();

        state.counters["measurements"] = double(rounds * 3);
        state.counters["us_per_measurement"] = cpu * 1e6 / double(rounds * 3);
        state.counters["rss_0min_KiB"] = memoryAt[0];
        state.counters["rss_1min_KiB"] = memoryAt[1];
        state.counters["rss_5min_KiB"] = memoryAt[5];
        state.counters["rss_10min_KiB"] = memoryAt[10];
        state.counters["rows"] = double(recorder.rowCount());
    }
}

void polylineTenSimulatedMinutes(benchmark::State &state)
{
    constexpr int minutes = 1;
    constexpr qint64 rounds = qint64(minutes) * 60 * 1000 / fastestPeriodMs;
    constexpr int roundsPerRedraw = 250 / fastestPeriodMs;
    constexpr int capacity = 3000;
    constexpr double span = 300.0;
    const QColor colours[3] {QColor(0xef, 0x7c, 0x00), QColor(0x20, 0x42, 0x53),
                             QColor(0x87, 0x87, 0x87)};
    for (auto _ : state) {
        QImage image(1000, 300, QImage::Format_ARGB32_Premultiplied);
        std::vector<QPointF> rings[3];
        for (auto &ring : rings)
            ring.resize(capacity);
        int first = 0;
        int size = 0;
        QPolygonF polyline(capacity);
        const double cpuBefore = threadCpuSeconds();
        for (qint64 round = 0; round < rounds; ++round) {
            const double seconds = double(round * fastestPeriodMs) / 1000.0;
            const int slot = size < capacity ? size : first;
            for (int phase = 0; phase < 3; ++phase)
                rings[phase][size_t(slot)]
                    = QPointF(seconds, 230.0 + double((round * 7 + phase * 13) % 60) / 10.0);
            if (size < capacity)
                ++size;
            else
                first = (first + 1) % capacity;
            if ((round + 1) % roundsPerRedraw == 0) {
                const double right = std::max(seconds, 30.0);
                const double left = std::max(0.0, right - span);
                const double xScale = image.width() / (right - left);
                const double yScale = image.height() / 10.0;
                image.fill(Qt::white);
                QPainter painter(&image);
                painter.setRenderHint(QPainter::Antialiasing);
                for (int phase = 0; phase < 3; ++phase) {
                    polyline.resize(size);
                    for (int i = 0; i < size; ++i) {
                        const QPointF &point = rings[phase][size_t((first + i) % capacity)];
                        polyline[i] = QPointF((point.x() - left) * xScale,
                                              image.height() - (point.y() - 229.0) * yScale);
                    }
                    painter.setPen(QPen(colours[phase], 1.5));
                    painter.drawPolyline(polyline);
                }
            }
        }
        const double cpu = threadCpuSeconds() - cpuBefore;
        state.SetIterationTime(cpu);
        state.counters["us_per_measurement"] = cpu * 1e6 / double(rounds * 3);
    }
}

BENCHMARK(polylineTenSimulatedMinutes)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(trendTenSimulatedMinutes)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);
// Argument: 0 the Data page (labels and trend), 1 the same with a recording running.
BENCHMARK(windowStreaming)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond)
    ->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    DeviceSim::DeviceSimulatorOptions options;
    options.model = {{46, 36262}, {45, 123456}};
    options.measurementPeriodMs = fastestPeriodMs;
    DeviceSim::SimulatorThread simulator(options, &portList());
    simulatedDevice = &simulator;
    if (!simulator.start()) {
        qWarning("%s", qPrintable(simulator.errorString()));
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}

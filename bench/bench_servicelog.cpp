// The service mode's packet log under a long run: 100,000 lines through the device window's
// log slot, as a busy link or a firmware transfer produces them. Reported per run: the time
// per line of the first and of the last 10,000 lines (a flat log keeps them alike), and how
// much the process's resident memory grew for the log. The log is watched (the service page
// open) or not (another page open, the page shown once at the end), next to the plain text
// browser that grows until CLEAR, for comparison.

#include "application/core/Config.h"
#include "application/core/UserLogin.h"
#include "application/windows/K27SubScreen.h"
#include "component/SerialPortManager.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextBrowser>
#include <benchmark/benchmark.h>
#include <functional>
#include <memory>

namespace {

constexpr int totalLines = 100000;
constexpr int sampleLines = 10000;

// Resident memory of the process in bytes, from the kernel's status file.
double residentBytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() * 1024.0;
    }
    return 0;
}

// One received packet's log line as the terminal service hands it over, numbered so that no
// two lines are alike.
QByteArray logLine(int number)
{
    return "SetModelValue: Platform -> Host, Coding: 0x23323037, Length: 30bytes, ArgCount: 2 "
           "{ 0x1d 0x0 } { 0x0 0x80 0x43 0x43 } , Checksum: 0x"
        + QByteArray::number(quint32(number) * 2654435761u, 16);
}

// Appends the lines one by one and reports the per-line times of the first and the last
// sample and the memory growth.
void appendLines(benchmark::State &state, const std::function<void(const QByteArray &)> &append)
{
    const double before = residentBytes();
    QElapsedTimer timer;
    qint64 firstNs = 0;
    qint64 lastNs = 0;
    timer.start();
    for (int i = 0; i < totalLines; ++i) {
        if (i == totalLines - sampleLines)
            timer.restart();
        append(logLine(i));
        // Packets reach the window one event-loop turn at a time; a turn every hundred lines
        // lets the view's refresh run as often as it would.
        if (i % 100 == 99)
            QCoreApplication::processEvents();
        if (i == sampleLines - 1)
            firstNs = timer.nsecsElapsed();
    }
    lastNs = timer.nsecsElapsed();
    // The last lines reach the view with its next refresh.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 200)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    state.counters["first10k_us_per_line"] = double(firstNs) / sampleLines / 1000.0;
    state.counters["last10k_us_per_line"] = double(lastNs) / sampleLines / 1000.0;
    state.counters["last_vs_first"] = firstNs > 0 ? double(lastNs) / double(firstNs) : 0.0;
    state.counters["rss_growth_MB"] = (residentBytes() - before) / (1024.0 * 1024.0);
}

std::unique_ptr<K27SubScreen> makeWindow()
{
    auto login = QSharedPointer<UserLogin>::create();
    login->setLevel(UserLogin::Admin);
    auto window = std::make_unique<K27SubScreen>(
        login, QSharedPointer<Application::K27::Config>::create(),
        QSharedPointer<Application::K27::SerialPortManager>::create(
            [] { return QList<Application::K27::SerialPortDescription>(); }),
        QStringLiteral("Offline"));
    window->resize(1280, 900);
    window->show();
    return window;
}

void click(K27SubScreen &window, const char *name)
{
    window.findChild<QPushButton *>(QLatin1String(name))->click();
    QApplication::processEvents();
}

// The service page open: every line goes into the view as it comes.
void serviceLogWatched(benchmark::State &state)
{
    for (auto _ : state) {
        const std::unique_ptr<K27SubScreen> window = makeWindow();
        click(*window, "pushButtonServiceMode");
        appendLines(state,
                    [&window](const QByteArray &line) { window->handleCommandReceived(line); });
    }
}

// Another page open: lines go only into the log; the view is filled once, when the page is
// shown again.
void serviceLogHidden(benchmark::State &state)
{
    for (auto _ : state) {
        const std::unique_ptr<K27SubScreen> window = makeWindow();
        appendLines(state,
                    [&window](const QByteArray &line) { window->handleCommandReceived(line); });
        QElapsedTimer timer;
        timer.start();
        click(*window, "pushButtonServiceMode");
        state.counters["show_page_ms"] = double(timer.nsecsElapsed()) / 1e6;
    }
}

// For comparison: a rich-text browser that keeps every line until it is cleared.
void textBrowserGrowing(benchmark::State &state)
{
    for (auto _ : state) {
        QTextBrowser browser;
        browser.setLineWrapMode(QTextEdit::NoWrap);
        browser.resize(1000, 300);
        browser.show();
        appendLines(state, [&browser](const QByteArray &line) {
            browser.append(QStringLiteral("Receive: ") + QString::fromUtf8(line));
        });
    }
}

BENCHMARK(serviceLogWatched)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(serviceLogHidden)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(textBrowserGrowing)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}

// The service report of one device, from the request to the file: the HTML built from a
// model, laid out and printed on one A4 page of a PDF. The floor, measured in the same run,
// prints a plain text document of the same length through the same PDF writer: what is left
// above it is the report's own work (its tables, its logo, fitting the page). Reported: the
// time per report and, on the report's row, the ratio to the floor.

#include "application/core/MeasurementRecorder.h"
#include "application/core/ServiceReport.h"
#include "application/core/ServiceReportWriter.h"
#include "model/database/ModelDatabase.h"
#include "model/observer/ModelActionObserver.h"
#include "model/observer/ModelValueObserver.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTextDocument>
#include <benchmark/benchmark.h>

namespace {

// Seconds per iteration of the floor, once measured.
double floorSeconds = 0;

Application::K27::ServiceReport::Input reportInput()
{
    using Application::K27::MeasurementSample;
    Application::K27::ServiceReport::Input input;
    input.time = QDateTime::currentDateTime();
    input.userLevel = QStringLiteral("Supervisor");
    input.reported = [](Model::Interfaces::ModelValueID) { return true; };
    input.displayVersion = 0x02050009;
    for (int phase = 0; phase < 3; ++phase) {
        input.measurements.append({MeasurementSample::Kind::Voltage, phase, 401.0});
        input.measurements.append({MeasurementSample::Kind::Current, phase, 2.4});
    }
    input.measurements.append({MeasurementSample::Kind::ActivePower, -1, 1.52});
    input.measurements.append({MeasurementSample::Kind::ReactivePower, -1, 0.31});
    input.measurements.append({MeasurementSample::Kind::ApparentPower, -1, 1.55});
    return input;
}

QString reportHtml()
{
    Model::Observer::ModelValueObserver values;
    Model::Observer::ModelActionObserver actions;
    Model::Database::ModelDatabase database(nullptr, &values, &actions);
    return Application::K27::ServiceReport::html(database, reportInput());
}

} // namespace

static void plainDocumentFloor(benchmark::State &state)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("floor.pdf"));
    QTextDocument source;
    source.setHtml(reportHtml());
    const QString text = source.toPlainText();
    QElapsedTimer clock;
    clock.start();
    for (auto _ : state) {
        QPdfWriter writer(path);
        writer.setPageSize(QPageSize(QPageSize::A4));
        QTextDocument document;
        document.setPlainText(text);
        QPainter painter(&writer);
        document.drawContents(&painter);
    }
    if (state.iterations() > 0)
        floorSeconds = double(clock.nsecsElapsed()) / 1e9 / double(state.iterations());
}
BENCHMARK(plainDocumentFloor)->Unit(benchmark::kMillisecond)->Iterations(20);

static void serviceReport(benchmark::State &state)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("report.pdf"));
    Model::Observer::ModelValueObserver values;
    Model::Observer::ModelActionObserver actions;
    Model::Database::ModelDatabase database(nullptr, &values, &actions);
    const Application::K27::ServiceReport::Input input = reportInput();
    QString error;
    QElapsedTimer clock;
    clock.start();
    for (auto _ : state) {
        if (!Application::K27::ServiceReportWriter::write(
                Application::K27::ServiceReport::html(database, input), path, &error)) {
            state.SkipWithError(error.toUtf8().constData());
            return;
        }
    }
    const double seconds = double(clock.nsecsElapsed()) / 1e9 / double(state.iterations());
    state.counters["seconds_per_report"] = seconds;
    if (floorSeconds > 0)
        state.counters["ratio_to_floor"] = seconds / floorSeconds;
}
BENCHMARK(serviceReport)->Unit(benchmark::kMillisecond)->Iterations(20);

int main(int argc, char **argv)
{
    // The report is laid out in fonts; no window is opened.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}

// The Data page's trend and recording against a simulated device in the same process: the
// curves take each phase's values in the order the device sent them, a change of quantity
// starts the trend over under new titles, and a recording holds exactly the measurements that
// arrived while it ran, however it ends.

#include "application/core/UserLogin.h"
#include "application/windows/MeasurementTrend.h"
#include "model/interfaces/ModelValueID.h"
#include "support/FileAnswers.h"
#include "support/StreamedMeasurements.h"
#include "support/SubScreenHarness.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using Service::K27::ZantLinkTerminalService;
using TestSupport::StreamedMeasurements;
using TestSupport::SubScreenHarness;

namespace {

// Streaming as good as stopped: the simulated device's timer restarts with this period.
constexpr int pausedPeriodMs = 3600000;

QList<double> curveValues(const MeasurementTrend &trend, int curve)
{
    QList<double> values;
    for (const QPointF &point : trend.points(curve))
        values.append(point.y());
    return values;
}

} // namespace

class TestMeasurementTrend : public TestSupport::TrappedTest
{
    Q_OBJECT

private slots:
    void curvesKeepPhasesInOrder_data();
    void curvesKeepPhasesInOrder();
    void switchingQuantityStartsOver();
    void ringKeepsTheNewestPoints();
    void drawnCurveKeepsASingleSpike_data();
    void drawnCurveKeepsASingleSpike();
    void recordingHoldsWhatArrived_data();
    void recordingHoldsWhatArrived();
    void unwritableFileIsReported();
    void recordOffersAnExistingFolderAndAddsCsv();

private:
    // Clicks RECORD and chooses path when asked for the file to record into.
    bool record(SubScreenHarness &harness, const QString &path);
};

bool TestMeasurementTrend::record(SubScreenHarness &harness, const QString &path)
{
    TestSupport::FileAnswers answers;
    answers.choose(path);
    harness.child<QPushButton>("pushButtonRecord")->click();
    if (answers.asked().size() != 1)
        return false;
    const TestSupport::FileAnswers::Request &request = answers.asked().constFirst();
    return request.purpose == Application::K27::FileChooser::Purpose::Save
        && request.title == QLatin1String("Record measurements")
        && request.suggested.endsWith(QLatin1String(".csv"))
        && request.filter == QLatin1String("CSV files (*.csv);;All files (*)");
}

void TestMeasurementTrend::curvesKeepPhasesInOrder_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QList<int>>("streamedCurves");

    // The device streams at its fastest: several rounds of all phases reach the window in one
    // read, and each value must still land on its own phase's curve.
    QTest::newRow("voltage") << "pushButtonVoltageData" << QList<int> {0, 1, 2};
    QTest::newRow("current") << "pushButtonCurrentData" << QList<int> {0, 1, 2};
    QTest::newRow("power") << "pushButtonPowerData" << QList<int> {3, 4, 5};
}

void TestMeasurementTrend::curvesKeepPhasesInOrder()
{
    QFETCH(QString, button);
    QFETCH(QList<int>, streamedCurves);

    SubScreenHarness harness(UserLogin::Admin);
    QVERIFY(harness.start());
    harness.device().setModelValue(
        Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::OperatingMode),
        1); // a running motor: currents and powers above 0
    harness.device().setMeasurementPeriod(1);
    auto *trend = harness.child<MeasurementTrend>("widgetMeasurementTrend");
    QVERIFY(trend != nullptr);

    // Watched from before the start: the device streams as soon as it has the request.
    const StreamedMeasurements streamed(&harness.device());
    harness.child<QPushButton>("pushButtonData")->click();
    if (button != QLatin1String("pushButtonVoltageData"))
        harness.child<QPushButton>(qPrintable(button))->click();
    QTRY_VERIFY_WITH_TIMEOUT(trend->points(2).size() >= 120, 20000);
    harness.device().setMeasurementPeriod(pausedPeriodMs);
    QVERIFY(harness.barrier());

    // Every value streamed since the quantity was chosen, per curve and in order. The trend
    // started over when the quantity was chosen: the curves hold the newest values.
    QCOMPARE(trend->curveCount(), 3);
    for (int curve = 0; curve < 3; ++curve) {
        const QList<double> shown = curveValues(*trend, curve);
        const QList<double> sent = streamed.values(streamedCurves.at(curve));
        QVERIFY(shown.size() >= 120);
        QVERIFY2(sent.size() >= shown.size(), qPrintable(QString::number(curve)));
        QCOMPARE(shown, sent.mid(sent.size() - shown.size()));
        // Time runs forwards along the curve.
        const QVector<QPointF> points = trend->points(curve);
        for (int i = 1; i < points.size(); ++i)
            QVERIFY(points.at(i).x() >= points.at(i - 1).x());
    }
}

void TestMeasurementTrend::switchingQuantityStartsOver()
{
    SubScreenHarness harness(UserLogin::Admin);
    QVERIFY(harness.start());
    harness.device().setMeasurementPeriod(5);
    auto *trend = harness.child<MeasurementTrend>("widgetMeasurementTrend");

    harness.child<QPushButton>("pushButtonData")->click();
    QCOMPARE(trend->valueAxisTitle(), QStringLiteral("Voltage (V)"));
    // The curves are named as the captions: this firmware measures line to line.
    QCOMPARE(trend->curveTitle(0), QStringLiteral("Voltage L1 - L2"));
    QCOMPARE(trend->curveTitle(2), QStringLiteral("Voltage L3 - L1"));
    QTRY_VERIFY_WITH_TIMEOUT(trend->points(0).size() >= 5, 10000);

    // The voltages still on their way arrive after the switch and stay out of the current
    // trend; the motor stands, so every current is 0.
    harness.child<QPushButton>("pushButtonCurrentData")->click();
    QCOMPARE(trend->valueAxisTitle(), QStringLiteral("Current (A)"));
    QCOMPARE(trend->curveTitle(1), QStringLiteral("Current L2"));
    for (int curve = 0; curve < 3; ++curve)
        QCOMPARE(trend->points(curve).size(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(trend->points(2).size() >= 5, 10000);
    for (int curve = 0; curve < 3; ++curve)
        QVERIFY(curveValues(*trend, curve).count(0.0) == trend->points(curve).size());

    harness.child<QPushButton>("pushButtonPowerData")->click();
    QCOMPARE(trend->valueAxisTitle(), QStringLiteral("Power (kW, kVAr, kVA)"));
    QCOMPARE(trend->curveCount(), 3);
    QCOMPARE(trend->curveTitle(0), QStringLiteral("Active Power (kW)"));
    QCOMPARE(trend->curveTitle(1), QStringLiteral("Reactive Power (kVAr)"));
    QCOMPARE(trend->curveTitle(2), QStringLiteral("Apparent Power (kVA)"));
    QCOMPARE(trend->points(0).size(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(trend->points(2).size() >= 2, 10000);

    // Back on the voltages, from an empty trend again.
    harness.child<QPushButton>("pushButtonVoltageData")->click();
    QCOMPARE(trend->valueAxisTitle(), QStringLiteral("Voltage (V)"));
    QCOMPARE(trend->points(0).size(), 0);
}

// A curve keeps a fixed number of points however long the device streams: the newest.
void TestMeasurementTrend::ringKeepsTheNewestPoints()
{
    MeasurementTrend trend;
    trend.setCurves(QStringLiteral("Current (A)"),
                    {QStringLiteral("L1"), QStringLiteral("L2"), QStringLiteral("L3")});
    const int total = MeasurementTrend::pointsPerCurve * 2 + 17;
    for (int i = 0; i < total; ++i) {
        trend.addValue(i % 3, i / 10.0, i);
        // A curve that does not exist takes nothing.
        trend.addValue(3, i / 10.0, -1);
    }
    for (int curve = 0; curve < 3; ++curve) {
        const QVector<QPointF> points = trend.points(curve);
        const int expected = std::min(MeasurementTrend::pointsPerCurve, (total - curve + 2) / 3);
        QCOMPARE(points.size(), expected);
        // The newest value of the curve is last, the ones before it in order.
        const int last = total - 1 - ((total - 1 - curve) % 3);
        QCOMPARE(points.last().y(), double(last));
        QCOMPARE(points.first().y(), double(last - 3 * (expected - 1)));
    }
    trend.clear();
    QCOMPARE(trend.points(0).size(), 0);
    QCOMPARE(trend.curveCount(), 3);
}

void TestMeasurementTrend::drawnCurveKeepsASingleSpike_data()
{
    QTest::addColumn<int>("spikeAt");
    QTest::addColumn<double>("spikeValue");

    QTest::newRow("up, in the middle") << 1717 << 400.0;
    QTest::newRow("down, in the middle") << 1201 << 12.5;
    QTest::newRow("up, the oldest point") << 0 << 399.0;
    QTest::newRow("down, the newest point") << MeasurementTrend::pointsPerCurve - 1 << 3.0;
}

// A full curve is drawn through far fewer points than it holds, but a single sample that leaves
// a steady line is still among them, and the drawn line starts and ends where the curve does.
void TestMeasurementTrend::drawnCurveKeepsASingleSpike()
{
    QFETCH(int, spikeAt);
    QFETCH(double, spikeValue);

    MeasurementTrend trend;
    trend.resize(300, 300);
    trend.show();
    QVERIFY(QTest::qWaitForWindowExposed(&trend));
    trend.setCurves(QStringLiteral("Voltage (V)"),
                    {QStringLiteral("L1"), QStringLiteral("L2"), QStringLiteral("L3")});
    // Five minutes at one value every 100 ms: the curve fills the time axis.
    for (int i = 0; i < MeasurementTrend::pointsPerCurve; ++i) {
        const double seconds = i / 10.0;
        trend.addValue(0, seconds, i == spikeAt ? spikeValue : 230.0 + (i % 3) * 0.1);
        trend.addValue(1, seconds, 231.0);
    }
    trend.refresh();

    const QVector<QPointF> held = trend.points(0);
    const QVector<QPointF> drawn = trend.drawnPoints(0);
    QCOMPARE(held.size(), MeasurementTrend::pointsPerCurve);
    QVERIFY2(drawn.size() < held.size() / 2, qPrintable(QString::number(drawn.size())));
    QVERIFY(drawn.contains(QPointF(spikeAt / 10.0, spikeValue)));
    QCOMPARE(drawn.first(), held.first());
    QCOMPARE(drawn.last(), held.last());
    for (int i = 1; i < drawn.size(); ++i)
        QVERIFY(drawn.at(i).x() > drawn.at(i - 1).x());
    // Every drawn point is one the curve holds.
    for (const QPointF &point : drawn)
        QVERIFY(held.contains(point));
    // A steady curve keeps its level; an empty one draws nothing.
    const QVector<QPointF> steady = trend.drawnPoints(1);
    QVERIFY(!steady.isEmpty() && steady.size() < held.size() / 2);
    QCOMPARE(steady.first().y(), 231.0);
    QVERIFY(trend.drawnPoints(2).isEmpty());
}

void TestMeasurementTrend::recordingHoldsWhatArrived_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("ending");
    QTest::addColumn<QString>("status");

    const QString saved = QStringLiteral("The recording was saved.");
    const QString left = QStringLiteral("Leaving the Data page ended the recording; it was saved.");
    const QString gone = QStringLiteral("The device has gone away; the recording was saved.");
    QTest::newRow("voltage, STOP") << "pushButtonVoltageData"
                                   << "stop" << saved;
    QTest::newRow("power, STOP") << "pushButtonPowerData"
                                 << "stop" << saved;
    QTest::newRow("current, leaving the page") << "pushButtonCurrentData"
                                               << "leave" << left;
    QTest::newRow("current, device unplugged") << "pushButtonCurrentData"
                                               << "unplug" << gone;
    QTest::newRow("voltage, window closed") << "pushButtonVoltageData"
                                            << "close" << QString();
}

// RECORD writes one row per measurement that arrived while it ran, with the values the device
// sent, and the file is complete however the recording ends.
void TestMeasurementTrend::recordingHoldsWhatArrived()
{
    QFETCH(QString, button);
    QFETCH(QString, ending);
    QFETCH(QString, status);

    QTemporaryDir folder;
    const QString path = QDir(folder.path()).filePath(QStringLiteral("run.csv"));
    SubScreenHarness harness(UserLogin::Admin);
    QVERIFY(harness.start());
    harness.device().setModelValue(
        Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::OperatingMode), 1);
    harness.device().setMeasurementPeriod(pausedPeriodMs);
    harness.child<QPushButton>("pushButtonData")->click();
    if (button != QLatin1String("pushButtonVoltageData"))
        harness.child<QPushButton>(qPrintable(button))->click();
    // Nothing on its way: the recording starts between two measurements.
    QVERIFY(harness.barrier());

    const ZantLinkTerminalService *terminal = harness.window().terminalService().data();
    QSignalSpy voltages(terminal, &ZantLinkTerminalService::measurementVoltageModelValue);
    QSignalSpy currents(terminal, &ZantLinkTerminalService::measurementCurrentModelValue);
    // Each power is a packet of its own: a recording may end between two of one round.
    QSignalSpy active(terminal, &ZantLinkTerminalService::measurementActivePowerModelValue);
    QSignalSpy reactive(terminal, &ZantLinkTerminalService::measurementReactivePowerModelValue);
    QSignalSpy apparent(terminal, &ZantLinkTerminalService::measurementApparentPowerModelValue);
    const auto arrived = [&] {
        return voltages.count() + currents.count() + active.count() + reactive.count()
            + apparent.count();
    };
    QVERIFY(record(harness, path));
    QVERIFY(!harness.child<QPushButton>("pushButtonRecord")->isEnabled());
    QVERIFY(harness.child<QPushButton>("pushButtonStopRecord")->isEnabled());
    QCOMPARE(harness.child<QLabel>("labelRecordFile")->text(), QStringLiteral("run.csv"));

    const StreamedMeasurements streamed(&harness.device());
    harness.device().setMeasurementPeriod(2);
    QTRY_VERIFY_WITH_TIMEOUT(arrived() >= 90, 20000);
    QTRY_COMPARE_WITH_TIMEOUT(
        harness.child<QLabel>("labelRecordRows")->text().section(' ', 0, 0).toInt() > 0, true,
        10000);

    int rowsWhenEnded = -1;
    if (ending == QLatin1String("stop")) {
        harness.child<QPushButton>("pushButtonStopRecord")->click();
        rowsWhenEnded = arrived();
    } else if (ending == QLatin1String("leave")) {
        harness.child<QPushButton>("pushButtonInformations")->click();
        rowsWhenEnded = arrived();
    } else if (ending == QLatin1String("close")) {
        rowsWhenEnded = arrived();
        harness.destroyWindow();
    } else {
        harness.device().goAway();
        harness.manager()->handleTimeout();
        QTRY_VERIFY_WITH_TIMEOUT(harness.child<QPushButton>("pushButtonRecord")->isEnabled(),
                                 10000);
    }
    if (ending != QLatin1String("close")) {
        QVERIFY(harness.child<QPushButton>("pushButtonRecord")->isEnabled());
        QVERIFY(!harness.child<QPushButton>("pushButtonStopRecord")->isEnabled());
        QCOMPARE(harness.child<QLabel>("labelRecordStatus")->text(), status);
    }

    // Only the file itself is left in the folder: no temporary file beside it.
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList {QStringLiteral("run.csv")});
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QList<QByteArray> rows;
    QVERIFY(StreamedMeasurements::columns(file.readAll(), &rows));
    QVERIFY(rows.size() >= 90);
    if (rowsWhenEnded >= 0)
        QCOMPARE(rows.size(), rowsWhenEnded);
    else
        QCOMPARE(harness.child<QLabel>("labelRecordRows")->text(),
                 QStringLiteral("%1 rows").arg(rows.size()));
    QVERIFY(streamed.count() >= rows.size());
    QCOMPARE(rows, streamed.rows().mid(0, rows.size()));
}

void TestMeasurementTrend::unwritableFileIsReported()
{
    QTemporaryDir folder;
    const QString path = QDir(folder.path()).filePath(QStringLiteral("missing/run.csv"));
    SubScreenHarness harness(UserLogin::Admin);
    QVERIFY(harness.start());
    harness.child<QPushButton>("pushButtonData")->click();
    QVERIFY(record(harness, path));
    QVERIFY(harness.child<QPushButton>("pushButtonRecord")->isEnabled());
    QVERIFY(!harness.child<QPushButton>("pushButtonStopRecord")->isEnabled());
    const QString status = harness.child<QLabel>("labelRecordStatus")->text();
    QVERIFY2(status.startsWith(QStringLiteral("Cannot write ") + path + QStringLiteral(": ")),
             qPrintable(status));
    QVERIFY(!QFile::exists(path));
}

// RECORD's first suggestion is the documents folder; where that was never made, the home folder
// stands in (the dialog or the write would fail in it). A name chosen without an extension
// records into "<name>.csv".
void TestMeasurementTrend::recordOffersAnExistingFolderAndAddsCsv()
{
    QTemporaryDir home;
    QTemporaryDir folder;
    QVERIFY(home.isValid() && folder.isValid());
    const QByteArray realHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    SubScreenHarness harness(UserLogin::Admin);
    const bool started = harness.start();
    qputenv("HOME", realHome);
    QVERIFY(started);
    QVERIFY(!QDir(home.filePath(QStringLiteral("Documents"))).exists());
    harness.child<QPushButton>("pushButtonData")->click();

    TestSupport::FileAnswers answers;
    answers.choose(folder.filePath(QStringLiteral("run1")));
    harness.child<QPushButton>("pushButtonRecord")->click();
    QCOMPARE(answers.asked().size(), 1);
    const QString suggested = answers.asked().constFirst().suggested;
    QVERIFY2(QFileInfo(suggested).absolutePath() == QDir::homePath()
                 || QFileInfo(suggested).absolutePath() == home.path(),
             qPrintable(suggested));
    QVERIFY(QFileInfo(QFileInfo(suggested).absolutePath()).isDir());

    QVERIFY(harness.child<QPushButton>("pushButtonStopRecord")->isEnabled());
    harness.child<QPushButton>("pushButtonStopRecord")->click();
    QVERIFY(QFile::exists(folder.filePath(QStringLiteral("run1.csv"))));
    QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("run1"))));
}

K27_TEST_MAIN(TestMeasurementTrend)
#include "tst_gui_measurementtrend.moc"

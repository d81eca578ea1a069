// k27-screenshots end to end: it runs as its own process against its in-process simulated
// device and writes a picture of every screen and page, in English and in German.

#include "support/TestRegistry.h"
#include "support/TrappedTest.h"

#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <vector>

namespace {

// Every picture the tool writes, one per screen and page.
const QStringList pictures {
    QStringLiteral("login.png"),
    QStringLiteral("connect.png"),
    QStringLiteral("main.png"),
    QStringLiteral("information.png"),
    QStringLiteral("information-error.png"),
    QStringLiteral("control.png"),
    QStringLiteral("data-voltage.png"),
    QStringLiteral("data-current.png"),
    QStringLiteral("data-power.png"),
    QStringLiteral("about.png"),
    QStringLiteral("configuration-general.png"),
    QStringLiteral("configuration-undercurrent.png"),
    QStringLiteral("configuration-undervoltage.png"),
    QStringLiteral("configuration-overvoltage.png"),
    QStringLiteral("configuration-load-asymmetry.png"),
    QStringLiteral("import-compare.png"),
    QStringLiteral("service.png"),
    QStringLiteral("service-update.png"),
    QStringLiteral("service-motor.png"),
    QStringLiteral("demo.png"),
    QStringLiteral("simulated.png"),
    QStringLiteral("update.png"),
    QStringLiteral("update-complete.png"),
    QStringLiteral("update-settings.png"),
    QStringLiteral("update-recovery.png"),
};

} // namespace

// One run of the tool. The runs wait on their simulated devices far more than they compute:
// all of them start together and each row of the test takes its own.
struct ScreenshotRun
{
    QString name;
    QStringList arguments;
    QString translation;
    // The main window's pictures are taken at this size (a field laptop's screen unless asked
    // otherwise).
    QSize windowSize;
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<QProcess> process;
};

class TestScreenshots : public TestSupport::TrappedTest
{
    Q_OBJECT

private slots:
    void initTestCase();
    void writesEveryPicture_data();
    void writesEveryPicture();
    void refusesAMalformedSize();

private:
    std::vector<ScreenshotRun> m_runs;
};

void TestScreenshots::initTestCase()
{
    m_runs.push_back({QStringLiteral("English"),
                      {},
                      QStringLiteral("not found"),
                      QSize(1280, 720),
                      nullptr,
                      nullptr});
    m_runs.push_back({QStringLiteral("German"),
                      {QStringLiteral("--locale"), QStringLiteral("de_DE")},
                      QStringLiteral("de_DE from "),
                      QSize(1280, 720),
                      nullptr,
                      nullptr});
    m_runs.push_back({QStringLiteral("1366x768"),
                      {QStringLiteral("--size"), QStringLiteral("1366x768")},
                      QStringLiteral("not found"),
                      QSize(1366, 768),
                      nullptr,
                      nullptr});
    // Start-up says where the program's translation came from when asked to.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("k27.startup.info=true"));
    for (ScreenshotRun &run : m_runs) {
        run.folder = std::make_unique<QTemporaryDir>();
        QVERIFY(run.folder->isValid());
        run.process = std::make_unique<QProcess>();
        run.process->setProcessEnvironment(environment);
        run.process->start(QStringLiteral(K27_SCREENSHOTS_PATH),
                           QStringList {QStringLiteral("--out"), run.folder->path(),
                                        QStringLiteral("--trend-seconds"), QStringLiteral("1")}
                               + run.arguments);
    }
}

void TestScreenshots::writesEveryPicture_data()
{
    QTest::addColumn<int>("runIndex");
    for (std::size_t index = 0; index < m_runs.size(); ++index)
        QTest::newRow(qPrintable(m_runs[index].name)) << int(index);
}

void TestScreenshots::writesEveryPicture()
{
    QFETCH(int, runIndex);
    const ScreenshotRun &run = m_runs.at(std::size_t(runIndex));
    QProcess &process = *run.process;
    const QSize windowSize = run.windowSize;

    QVERIFY(process.waitForFinished(120000));
    const QString errors = QString::fromUtf8(process.readAllStandardError());
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QVERIFY2(process.exitCode() == 0, qPrintable(errors));
    QVERIFY2(errors.contains(QStringLiteral("translation k27_servicetool ") + run.translation),
             qPrintable(errors));

    // The tool names each picture as it writes it, and writes nothing else.
    const QDir out(run.folder->path());
    QStringList named = QString::fromUtf8(process.readAllStandardOutput())
                            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QStringList expected;
    for (const QString &picture : pictures)
        expected.append(out.filePath(picture));
    named.sort();
    expected.sort();
    QCOMPARE(named, expected);
    QStringList files = out.entryList(QDir::Files);
    QStringList sortedPictures = pictures;
    files.sort();
    sortedPictures.sort();
    QCOMPARE(files, sortedPictures);

    for (const QString &picture : pictures) {
        QImageReader reader(out.filePath(picture));
        QCOMPARE(reader.format(), QByteArray("png"));
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(), qPrintable(picture + QLatin1String(": ") + reader.errorString()));
        // A window of the tool, not an empty or a stray widget.
        QVERIFY2(image.width() >= 400 && image.height() >= 300, qPrintable(picture));
        QVERIFY2(image.width() <= 4096 && image.height() <= 4096, qPrintable(picture));
        // The dialogs keep their own size; the main window's pictures take the size asked for.
        const QStringList dialogs {QStringLiteral("login.png"), QStringLiteral("connect.png"),
                                   QStringLiteral("import-compare.png")};
        if (!dialogs.contains(picture))
            QCOMPARE(image.size(), windowSize);
    }
}

void TestScreenshots::refusesAMalformedSize()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QProcess process;
    process.start(QStringLiteral(K27_SCREENSHOTS_PATH),
                  QStringList {QStringLiteral("--out"), folder.path(), QStringLiteral("--size"),
                               QStringLiteral("1280*720")});
    QVERIFY(process.waitForFinished(50000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 2);
    QVERIFY(QString::fromUtf8(process.readAllStandardError()).contains(QStringLiteral("--size")));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList());
}

K27_TEST_MAIN(TestScreenshots)
#include "tst_gui_screenshots.moc"

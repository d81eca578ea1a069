// k27-screenshots end to end: it runs as its own process against its in-process simulated
// device and writes, among the others, the three Data pages with the trend of a running motor.

#include "support/TrappedTest.h"

#include <QColor>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Pixels of the window's orange, the colour of the first curve (and of checked buttons).
int orangePixels(const QImage &image, const QRect &area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor colour = image.pixelColor(x, y);
            if (qAbs(colour.red() - 0xef) < 24 && qAbs(colour.green() - 0x7c) < 24
                && colour.blue() < 48)
                ++count;
        }
    }
    return count;
}

} // namespace

class TestScreenshots : public TestSupport::TrappedTest
{
    Q_OBJECT

private slots:
    void dataPagesShowTheTrend();
};

void TestScreenshots::dataPagesShowTheTrend()
{
    QTemporaryDir folder;
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral(K27_SCREENSHOTS_PATH),
                  {QStringLiteral("--out"), folder.path(), QStringLiteral("--trend-seconds"),
                   QStringLiteral("3")});
    QVERIFY(process.waitForFinished(50000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    const QByteArray written = process.readAllStandardOutput();

    for (const char *name : {"data-voltage.png", "data-current.png", "data-power.png"}) {
        const QString path = QDir(folder.path()).filePath(QLatin1String(name));
        QVERIFY2(written.contains(path.toUtf8()), name);
        const QImage image(path);
        QVERIFY2(!image.isNull(), name);
        // The trend lies in the lower half of the page, right of the page buttons and below
        // the measurement labels: its first curve is drawn there in orange.
        const QRect trendArea(image.width() / 4, image.height() / 2, image.width() * 3 / 4 - 1,
                              image.height() / 4);
        QVERIFY2(orangePixels(image, trendArea) > 20, name);
    }
    // The old single Data picture is gone.
    QVERIFY(!QFile::exists(QDir(folder.path()).filePath(QStringLiteral("data.png"))));
}

QTEST_MAIN(TestScreenshots)
#include "tst_gui_screenshots.moc"

#include "application/core/PicturePreloader.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"

#include <QColor>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using Application::K27::PicturePreloader;

// Pictures decoded on the preloader's thread reach the asking thread whole, in the format a
// pixmap keeps, whichever of the two ends up decoding them; the preloader ends cleanly whatever
// its thread is doing. The pictures are small enough that Qt converts them on the calling thread.
class TestPicturePreloader : public TestSupport::TrappedTest
{
    Q_OBJECT

    QTemporaryDir m_folder;

    QString path(const QString &name) const { return m_folder.filePath(name); }

    // A picture whose every pixel tells where it lies, so that a shifted or cut copy differs.
    static QImage pattern(int width, int height, QImage::Format format, int seed)
    {
        QImage image(width, height, format);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x)
                image.setPixelColor(x, y,
                                    QColor((x * 7 + seed) % 256, (y * 5 + seed) % 256,
                                           (x + y + seed) % 256, (x * y + 64) % 256));
        }
        return image;
    }

    // The picture as a pixmap keeps it: premultiplied when it has an alpha channel.
    static QImage pixmapReady(const QString &fileName)
    {
        const QImage image(fileName);
        return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                             : QImage::Format_RGB32);
    }

protected:
    void setUpTestCase() override
    {
        QVERIFY(m_folder.isValid());
        QVERIFY(pattern(180, 120, QImage::Format_RGB888, 1).save(path("background.png")));
        QVERIFY(pattern(64, 64, QImage::Format_ARGB32, 2).save(path("visual.png")));
        QVERIFY(pattern(40, 24, QImage::Format_ARGB32, 3).save(path("logo.png")));
    }

private slots:
    void takeGivesThePicture_data()
    {
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QStringList>("taken");

        const QStringList all {"background.png", "visual.png", "logo.png"};
        QTest::newRow("in the listed order") << all << all;
        QTest::newRow("last first") << all << QStringList {"logo.png", "visual.png"};
        QTest::newRow("not listed")
            << QStringList {"background.png"} << QStringList {"logo.png", "background.png"};
        QTest::newRow("taken twice") << QStringList {"visual.png", "logo.png"}
                                     << QStringList {"visual.png", "visual.png", "logo.png"};
        QTest::newRow("nothing listed") << QStringList() << QStringList {"logo.png"};
    }
    void takeGivesThePicture()
    {
        QFETCH(QStringList, listed);
        QFETCH(QStringList, taken);

        QStringList listedPaths;
        for (const QString &name : listed)
            listedPaths.append(path(name));
        PicturePreloader pictures(listedPaths);
        for (const QString &name : taken) {
            const QImage picture = pictures.take(path(name));
            const QImage expected = pixmapReady(path(name));
            QVERIFY2(!expected.isNull(), qPrintable(name));
            QCOMPARE(picture.format(), expected.format());
            QCOMPARE(picture, expected);
        }
    }

    void unreadableFileGivesNull()
    {
        const QString missing = path("no_such_picture.png");
        PicturePreloader pictures({missing, path("logo.png")});

        QVERIFY(pictures.take(missing).isNull());
        QCOMPARE(pictures.take(path("logo.png")), pixmapReady(path("logo.png")));
        QVERIFY(PicturePreloader::decode(missing).isNull());
    }

    // Whatever the thread is doing at the end, it ends with the preloader and the pictures it
    // has decoded go with it; a picture asked for before still came whole.
    void endsWithPicturesUntaken()
    {
        for (int round = 0; round < 20; ++round) {
            auto pictures = std::make_unique<PicturePreloader>(
                QStringList {path("logo.png"), path("visual.png"), path("background.png")});
            if (round % 2 == 1)
                QCOMPARE(pictures->take(path("visual.png")), pixmapReady(path("visual.png")));
            pictures.reset();
        }
    }
};

K27_TEST_GUILESS_MAIN(TestPicturePreloader)
#include "tst_picturepreloader.moc"

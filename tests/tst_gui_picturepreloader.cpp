#include "application/core/Config.h"
#include "application/core/UserLogin.h"
#include "application/windows/PicturePreloader.h"
#include "application/windows/Resources.h"
#include "application/windows/WelcomeScreen.h"
#include "support/ConfigHome.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"

#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QtTest>
#include <memory>

using Application::K27::PicturePreloader;

namespace {

const QString preloadedBackground = QStringLiteral(":/images/welcome_background_typo.png");
const QString preloadedKeyVisual = QStringLiteral(":/images/key_visual_xl.png");
const QString preloadedLogo = QStringLiteral(":/images/kelmor_logo.png");

// The picture as a pixmap keeps it: premultiplied when it has an alpha channel.
QImage preloadedPixmapReady(const QString &fileName)
{
    const QImage image(fileName);
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                         : QImage::Format_RGB32);
}

} // namespace

// Pictures decoded on the preloader's thread reach the GUI thread whole, in the format a pixmap
// keeps, whichever thread ends up decoding them; the login screen shows them as it always did.
class TestPicturePreloader : public TestSupport::TrappedTest
{
    Q_OBJECT

protected:
    void setUpTestCase() override
    {
        TestSupport::ConfigHome::useProgramNames();
        Application::K27::initResources();
    }

private slots:
    void takeGivesThePicture_data();
    void takeGivesThePicture();
    void unreadableFileGivesNull();
    void endsWithPicturesUntaken();
    void loginScreenShowsItsPictures_data();
    void loginScreenShowsItsPictures();
};

void TestPicturePreloader::takeGivesThePicture_data()
{
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QStringList>("taken");

    QTest::newRow("in the listed order")
        << QStringList {preloadedBackground, preloadedKeyVisual, preloadedLogo}
        << QStringList {preloadedBackground, preloadedKeyVisual, preloadedLogo};
    // The last is asked for while the thread is still on the first: decoded by the one asking.
    QTest::newRow("last first") << QStringList {
        preloadedBackground, preloadedKeyVisual,
        preloadedLogo} << QStringList {preloadedLogo, preloadedKeyVisual, preloadedBackground};
    QTest::newRow("not listed") << QStringList {preloadedBackground}
                                << QStringList {preloadedKeyVisual, preloadedLogo};
    QTest::newRow("taken twice") << QStringList {preloadedKeyVisual, preloadedLogo}
                                 << QStringList {preloadedLogo, preloadedLogo, preloadedKeyVisual,
                                                 preloadedKeyVisual};
    QTest::newRow("nothing listed") << QStringList() << QStringList {preloadedLogo};
}

void TestPicturePreloader::takeGivesThePicture()
{
    QFETCH(QStringList, listed);
    QFETCH(QStringList, taken);

    PicturePreloader pictures(listed);
    for (const QString &fileName : taken) {
        const QImage picture = pictures.take(fileName);
        const QImage expected = preloadedPixmapReady(fileName);
        QVERIFY2(!expected.isNull(), qPrintable(fileName));
        QCOMPARE(picture.format(), expected.format());
        QCOMPARE(picture, expected);
    }
}

void TestPicturePreloader::unreadableFileGivesNull()
{
    const QString missing = QStringLiteral(":/images/no_such_picture.png");
    PicturePreloader pictures({missing, preloadedLogo});

    QVERIFY(pictures.take(missing).isNull());
    QCOMPARE(pictures.take(preloadedLogo), preloadedPixmapReady(preloadedLogo));
    QVERIFY(PicturePreloader::decode(missing).isNull());
}

// Whatever the thread is doing at the end, it ends with the preloader and the pictures it has
// decoded go with it; a picture asked for before still came whole.
void TestPicturePreloader::endsWithPicturesUntaken()
{
    for (int round = 0; round < 3; ++round) {
        auto pictures = std::make_unique<PicturePreloader>(
            QStringList {preloadedLogo, preloadedKeyVisual, preloadedBackground});
        if (round == 1)
            QCOMPARE(pictures->take(preloadedKeyVisual), preloadedPixmapReady(preloadedKeyVisual));
        pictures.reset();
    }
}

void TestPicturePreloader::loginScreenShowsItsPictures_data()
{
    QTest::addColumn<bool>("withPreloader");
    QTest::addColumn<QStringList>("listed");

    QTest::newRow("preloaded") << true << WelcomeScreen::pictureFiles();
    QTest::newRow("preloader without them") << true << QStringList();
    QTest::newRow("no preloader") << false << QStringList();
}

// The preloadedBackground at the top left, not repeated, under the widgets; the key visual in its
// label.
void TestPicturePreloader::loginScreenShowsItsPictures()
{
    QFETCH(bool, withPreloader);
    QFETCH(QStringList, listed);

    const TestSupport::ConfigHome home;
    QVERIFY(home.isValid());
    const auto login = QSharedPointer<UserLogin>::create();
    const auto config = QSharedPointer<Application::K27::Config>::create();
    PicturePreloader pictures(listed);
    WelcomeScreen screen(login, config, withPreloader ? &pictures : nullptr);
    screen.show();
    QVERIFY(QTest::qWaitForWindowExposed(&screen));

    const QImage shown = screen.grab().toImage();
    const QImage picture(preloadedBackground);
    QCOMPARE(shown.size(), picture.size());
    const QRgb plain = screen.palette().color(QPalette::Window).rgb();
    int compared = 0;
    for (int y = 5; y < picture.height(); y += 20) {
        for (int x = 5; x < picture.width(); x += 20) {
            const QRgb expected = picture.pixel(x, y);
            if (screen.childAt(x, y) || expected == plain)
                continue;
            if (shown.pixel(x, y) != expected)
                QFAIL(qPrintable(QStringLiteral("at %1, %2: %3 instead of %4")
                                     .arg(x)
                                     .arg(y)
                                     .arg(shown.pixel(x, y), 8, 16)
                                     .arg(expected, 8, 16)));
            ++compared;
        }
    }
    // Most of the screen is preloadedBackground; a few spots would prove little.
    QVERIFY2(compared > 1000, qPrintable(QString::number(compared)));

    const auto *keyVisualLabel = screen.findChild<QLabel *>(QStringLiteral("labelKeyVisualXL"));
    QVERIFY(keyVisualLabel);
    QCOMPARE(keyVisualLabel->pixmap(Qt::ReturnByValue)
                 .toImage()
                 .convertToFormat(QImage::Format_ARGB32_Premultiplied),
             preloadedPixmapReady(preloadedKeyVisual));
}

K27_TEST_MAIN(TestPicturePreloader)
#include "tst_gui_picturepreloader.moc"

#include "application/core/Config.h"
#include "application/core/PicturePreloader.h"
#include "application/core/UserLogin.h"
#include "application/windows/Resources.h"
#include "application/windows/WelcomeScreen.h"
#include "support/ConfigHome.h"
#include "support/PictureSpots.h"
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

// The picture as a pixmap keeps it: premultiplied when it has an alpha channel.
QImage preloadedPixmapReady(const QString &fileName)
{
    const QImage image(fileName);
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                         : QImage::Format_RGB32);
}

} // namespace

// The login screen shows its pictures as it always did, whether they come from a preloader that
// decoded them on its thread, from one that does not have them, or from no preloader at all.
class TestLoginPictures : public TestSupport::TrappedTest
{
    Q_OBJECT

protected:
    void setUpTestCase() override
    {
        TestSupport::ConfigHome::useProgramNames();
        Application::K27::initResources();
    }

private slots:
    void loginScreenShowsItsPictures_data();
    void loginScreenShowsItsPictures();
};

void TestLoginPictures::loginScreenShowsItsPictures_data()
{
    QTest::addColumn<bool>("withPreloader");
    QTest::addColumn<QStringList>("listed");

    QTest::newRow("preloaded") << true << WelcomeScreen::pictureFiles();
    QTest::newRow("preloader without them") << true << QStringList();
    QTest::newRow("no preloader") << false << QStringList();
}

// The preloadedBackground at the top left, not repeated, under the widgets; the key visual in its
// label.
void TestLoginPictures::loginScreenShowsItsPictures()
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
    const auto spots = TestSupport::PictureSpots::compare(
        shown, picture, screen.palette().color(QPalette::Window).rgb(),
        [&screen](int x, int y) { return screen.childAt(x, y) == nullptr; });
    QVERIFY2(spots.difference.isEmpty(), qPrintable(spots.difference));
    // Most of the screen is the background; a few spots would prove little.
    QVERIFY2(spots.compared > 1000, qPrintable(QString::number(spots.compared)));

    const auto *keyVisualLabel = screen.findChild<QLabel *>(QStringLiteral("labelKeyVisualXL"));
    QVERIFY(keyVisualLabel);
    QCOMPARE(keyVisualLabel->pixmap(Qt::ReturnByValue)
                 .toImage()
                 .convertToFormat(QImage::Format_ARGB32_Premultiplied),
             preloadedPixmapReady(preloadedKeyVisual));
}

K27_TEST_MAIN(TestLoginPictures)
#include "tst_gui_loginpictures.moc"

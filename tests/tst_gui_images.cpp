#include "application/windows/Resources.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"

#include <QImage>
#include <QSet>
#include <QtTest>

// The pictures the windows name are built into the program, and the device pictures tell their
// states and their two families apart.
class TestImages : public TestSupport::TrappedTest
{
    Q_OBJECT

protected:
    void setUpTestCase() override { Application::K27::initResources(); }

private slots:
    void pictureIsBuiltIn_data()
    {
        QTest::addColumn<QString>("name");
        const char *const names[] = {
            "arrow_down_active.png",
            "auto_reset_off.png",
            "auto_reset_on.png",
            "backward.png",
            "checkbox_checked.png",
            "checkbox_unchecked.png",
            "forward.png",
            "kelmor_logo.png",
            "key_visual.ico",
            "key_visual_s.png",
            "key_visual_xl.png",
            "load_asymmetry_off.png",
            "load_asymmetry_on.png",
            "login_icon_active.png",
            "main_background.png",
            "monitor.png",
            "motor.png",
            "overvoltage_off.png",
            "overvoltage_on.png",
            "slide_button_left.png",
            "slide_button_right.png",
            "softstart_off.png",
            "softstart_on.png",
            "tower.png",
            "undercurrent_off.png",
            "undercurrent_on.png",
            "undervoltage_off.png",
            "undervoltage_on.png",
            "usb_connect.png",
            "welcome_background_typo.png",
        };
        for (const char *name : names)
            QTest::newRow(name) << QString::fromLatin1(name);
        for (const QString &picture : devicePictures())
            QTest::newRow(qPrintable(picture)) << picture;
    }

    void pictureIsBuiltIn()
    {
        QFETCH(QString, name);
        const QImage image(QStringLiteral(":/images/") + name);
        QVERIFY2(!image.isNull(), qPrintable(name));
    }

    void devicePicturesDiffer()
    {
        QSet<QByteArray> seen;
        for (const QString &picture : devicePictures()) {
            const QImage image(QStringLiteral(":/images/") + picture);
            QVERIFY2(!image.isNull(), qPrintable(picture));
            const QByteArray pixels(reinterpret_cast<const char *>(image.constBits()),
                                    int(image.sizeInBytes()));
            QVERIFY2(!seen.contains(pixels), qPrintable(picture + " repeats another picture"));
            seen.insert(pixels);
        }
        QCOMPARE(seen.size(), 16);
    }

private:
    static QStringList devicePictures()
    {
        QStringList pictures;
        for (const char *family : {"torvex_k27_serra", "torvex_k27_serra+"}) {
            for (const char *kind : {"standby", "operating", "warning", "warning_load",
                                     "warning_supply", "error", "error_load", "error_supply"})
                pictures.append(
                    QStringLiteral("%1_%2.png").arg(QLatin1String(family), QLatin1String(kind)));
        }
        return pictures;
    }
};

K27_TEST_MAIN(TestImages)
#include "tst_gui_images.moc"

// The window under German: every text a person sees is German, numbers carry a decimal comma,
// tab titles are whole and the status pictures' words follow the language.

#include "application/core/Config.h"
#include "application/core/MeasurementRecorder.h"
#include "application/core/NumberText.h"
#include "application/core/SettingsTransfer.h"
#include "application/core/UserLogin.h"
#include "application/windows/K27SubScreen.h"
#include "application/windows/MainScreen.h"
#include "application/windows/MeasurementTrend.h"
#include "application/windows/StartUp.h"
#include "application/windows/StatusPicture.h"
#include "component/SerialPortDescription.h"
#include "component/SerialPortManager.h"
#include "support/ConfigHome.h"
#include "support/DefaultLocale.h"
#include "support/SubScreenHarness.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QStyleOptionTab>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>
#include <memory>
#include <qwt_scale_draw.h>

using Application::K27::Config;
using Application::K27::NumberText;
using Application::K27::SerialPortManager;
using Application::K27::StartUp;
using Application::K27::StatusPicture;
using TestSupport::SubScreenHarness;

namespace {

using TestSupport::german;
const QLocale english(QLocale::English, QLocale::UnitedStates);

// Every text of a window a person can read, keyed by where it stands: the same key in an
// English and a German window names the same text.
QMap<QString, QString> visibleTexts(const QWidget &window)
{
    QMap<QString, QString> texts;
    int index = 0;
    const QList<QWidget *> widgets = window.findChildren<QWidget *>();
    for (const QWidget *widget : widgets) {
        const QString key = QStringLiteral("%1#%2 %3")
                                .arg(QString::fromLatin1(widget->metaObject()->className()))
                                .arg(index++)
                                .arg(widget->objectName());
        if (!widget->toolTip().isEmpty())
            texts.insert(key + QStringLiteral(" tooltip"), widget->toolTip());
        if (const auto *label = qobject_cast<const QLabel *>(widget))
            texts.insert(key, label->text());
        else if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
            texts.insert(key, button->text());
        else if (const auto *group = qobject_cast<const QGroupBox *>(widget))
            texts.insert(key, group->title());
        else if (const auto *edit = qobject_cast<const QLineEdit *>(widget))
            texts.insert(key, edit->placeholderText());
        if (const auto *combo = qobject_cast<const QComboBox *>(widget)) {
            for (int item = 0; item < combo->count(); ++item)
                texts.insert(key + QStringLiteral(" item %1").arg(item), combo->itemText(item));
        }
        if (const auto *tabs = qobject_cast<const QTabWidget *>(widget)) {
            for (int tab = 0; tab < tabs->count(); ++tab)
                texts.insert(key + QStringLiteral(" tab %1").arg(tab), tabs->tabText(tab));
        }
        if (const auto *tabs = qobject_cast<const QTabBar *>(widget)) {
            for (int tab = 0; tab < tabs->count(); ++tab)
                texts.insert(key + QStringLiteral(" tab %1").arg(tab), tabs->tabText(tab));
        }
    }
    return texts;
}

// Texts that read the same in English and German: names, units, abbreviations.
bool sameInBothLanguages(const QString &text)
{
    // Longer words first: "ServiceTool" goes whole before "Service" could take its start.
    static const QStringList words {
        QStringLiteral("ServiceTool"), QStringLiteral("Information"), QStringLiteral("Argument"),
        QStringLiteral("Revision"),    QStringLiteral("kVAR"),        QStringLiteral("Admin"),
        QStringLiteral("Demo"),        QStringLiteral("Offline"),     QStringLiteral("Status"),
        QStringLiteral("Name"),        QStringLiteral("Firmware"),    QStringLiteral("Software"),
        QStringLiteral("Hardware"),    QStringLiteral("Display"),     QStringLiteral("Platform"),
        QStringLiteral("Service"),     QStringLiteral("Start"),       QStringLiteral("Stop"),
        QStringLiteral("Reset"),       QStringLiteral("Log"),         QStringLiteral("Update"),
        QStringLiteral("Softstart"),   QStringLiteral("Bootloader"),  QStringLiteral("Impressum"),
        QStringLiteral("TORVEX"),      QStringLiteral("K27"),         QStringLiteral("Serra"),
        QStringLiteral("Plus"),        QStringLiteral("Dalvio"),      QStringLiteral("GmbH"),
        QStringLiteral("Co"),          QStringLiteral("KG"),          QStringLiteral("CLASS"),
        QStringLiteral("Info"),        QStringLiteral("Version"),     QStringLiteral("Modus"),
        QStringLiteral("Phase"),
    };
    // Letters outside these words (units and phase names are a letter or two) make a text
    // that a translation should have touched.
    QString rest = text;
    for (const QString &word : words)
        rest.replace(word, QString(), Qt::CaseInsensitive);
    static const QRegularExpression shortTokens(QStringLiteral("\\b[A-Za-z]{1,3}\\b"));
    static const QRegularExpression numbered(QStringLiteral("\\b\\w*\\d\\w*\\b"));
    rest.remove(numbered);
    rest.remove(shortTokens);
    return !rest.contains(QRegularExpression(QStringLiteral("[A-Za-z]")));
}

// The device window of the main window, offline, at a level.
std::unique_ptr<MainScreen> offlineMainScreen(int level)
{
    auto login = QSharedPointer<UserLogin>::create();
    login->setLevel(level);
    auto manager = QSharedPointer<SerialPortManager>::create(
        [] { return QList<Application::K27::SerialPortDescription>(); });
    return std::make_unique<MainScreen>(manager, login, QSharedPointer<Config>::create());
}

} // namespace

class TestGermanWindow : public TestSupport::TrappedTest
{
    Q_OBJECT

protected:
    void setUp() override
    {
        m_home = std::make_unique<TestSupport::ConfigHome>();
        QVERIFY(m_home->isValid());
    }

    void tearDown() override
    {
        m_translations.reset();
        m_home.reset();
        QLocale::setDefault(QLocale::c());
    }

    // The program's start-up translation for a language, with the default locale it sets.
    void speak(const QLocale &locale)
    {
        m_translations.reset();
        m_translations = std::make_unique<StartUp>();
        m_translations->installTranslations(locale);
    }

private slots:
    void numbersFollowTheLanguage_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("power");
        QTest::addColumn<QString>("current");
        QTest::newRow("German") << german << QStringLiteral("0,14 kW") << QStringLiteral("2,50 A");
        QTest::newRow("English") << english << QStringLiteral("0.14 kW")
                                 << QStringLiteral("2.50 A");
    }
    void numbersFollowTheLanguage()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, power);
        QFETCH(QString, current);
        speak(locale);
        QCOMPARE(NumberText::withUnit(QStringLiteral("0.14"), QStringLiteral("kW")), power);
        QCOMPARE(NumberText::withUnit(2.5, 2, QStringLiteral("A")), current);
        // Files never go through the person's form.
        QCOMPARE(QString::number(2.5), QStringLiteral("2.5"));
    }

    void changeListAndTrendAxisFollowTheLanguage_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("axis");
        QTest::newRow("German") << german << QStringLiteral("0,5 A \u2192 1,0 A")
                                << QStringLiteral("0,14");
        QTest::newRow("English") << english << QStringLiteral("0.5 A \u2192 1.0 A")
                                 << QStringLiteral("0.14");
    }
    void changeListAndTrendAxisFollowTheLanguage()
    {
        using Application::K27::Settings;
        using Application::K27::SettingsTransfer;
        QFETCH(QLocale, locale);
        QFETCH(QString, change);
        QFETCH(QString, axis);
        speak(locale);
        const QString line = SettingsTransfer::changeText(
            {Settings::NominalCurrent, SettingsTransfer::valueText(Settings::NominalCurrent, 0.5),
             SettingsTransfer::valueText(Settings::NominalCurrent, 1.0)});
        QVERIFY2(line.endsWith(change), qPrintable(line));
        MeasurementTrend trend;
        QCOMPARE(trend.axisScaleDraw(QwtPlot::yLeft)->label(0.14).text(), axis);
    }

    // A recording is a file for other programs: its numbers keep the point under German.
    void recordingsKeepThePoint()
    {
        speak(german);
        Application::K27::MeasurementSample sample;
        sample.kind = Application::K27::MeasurementSample::Kind::ActivePower;
        sample.value = 1.25;
        const QByteArray row = Application::K27::MeasurementRecorder::formatRow(
            1500, QDateTime::fromMSecsSinceEpoch(0, Qt::UTC), sample);
        QVERIFY2(row.contains("1.25"), row.constData());
    }

    void dataPageWritesTheLanguagesDecimalSeparator()
    {
        speak(german);
        SubScreenHarness harness(UserLogin::Admin);
        QVERIFY(harness.start());
        harness.child<QPushButton>("pushButtonData")->click();
        harness.child<QPushButton>("pushButtonPowerData")->click();
        // The form's sample text stands until the device reports its first power.
        const auto *power = harness.child<QLabel>("labelActivePower");
        const QString sample = power->text();
        QVERIFY2(sample.contains(QLatin1Char(',')), qPrintable(sample));
        QTRY_VERIFY_WITH_TIMEOUT(power->text() != sample, 20000);
        QVERIFY2(power->text().endsWith(QStringLiteral(" kW")), qPrintable(power->text()));
        QVERIFY2(power->text().contains(QLatin1Char(',')), qPrintable(power->text()));
        QVERIFY2(!power->text().contains(QLatin1Char('.')), qPrintable(power->text()));
    }

    void statusWordFollowsTheLanguage_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("word");
        QTest::newRow("German ready") << german << "standby" << QStringLiteral("BEREIT");
        QTest::newRow("German warning") << german << "warning_load" << QStringLiteral("WARNUNG");
        QTest::newRow("German error") << german << "error_supply" << QStringLiteral("FEHLER");
        QTest::newRow("English ready") << english << "standby" << QStringLiteral("READY");
        QTest::newRow("English error") << english << "error" << QStringLiteral("ERROR");
    }
    void statusWordFollowsTheLanguage()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, kind);
        QFETCH(QString, word);
        speak(locale);
        for (const QString &family : {QStringLiteral("serra"), QStringLiteral("serra+")}) {
            const QString path = QStringLiteral(":/images/torvex_k27_%1_%2.png").arg(family, kind);
            QCOMPARE(StatusPicture::word(path), word);
            QVERIFY(!StatusPicture::draw(path).isNull());
        }
        QCOMPARE(StatusPicture::word(QStringLiteral(":/images/forward.png")), QString());
    }

    void tabTitlesAreWhole_data()
    {
        QTest::addColumn<QString>("title");
        QTest::newRow("serial number") << QStringLiteral("27200987");
        QTest::newRow("marked") << QStringLiteral("SIMULIERTES GER\u00c4T 27200987");
        QTest::newRow("umlauts") << QStringLiteral("\u00c4\u00d6\u00dc Offline");
    }
    void tabTitlesAreWhole()
    {
        QFETCH(QString, title);
        speak(german);
        const std::unique_ptr<MainScreen> mainScreen = offlineMainScreen(UserLogin::Customer);
        mainScreen->resize(1280, 720);
        mainScreen->show();
        QVERIFY(QTest::qWaitForWindowExposed(mainScreen.get()));
        mainScreen->deviceWindows().constFirst()->setWindowTitle(title);
        const auto *tabs = mainScreen->findChild<QMdiArea *>()->findChild<QTabBar *>();
        QVERIFY(tabs);
        QCOMPARE(tabs->tabText(0), title);
        QFont font = tabs->font();
        font.setBold(true);
        font.setPointSize(12);
        const int textWidth = QFontMetrics(font).horizontalAdvance(title);
        // The room the style leaves for the text inside the tab, beside its icon and padding.
        QStyleOptionTab option;
        option.initFrom(tabs);
        option.rect = tabs->tabRect(0);
        option.text = tabs->tabText(0);
        option.icon = tabs->tabIcon(0);
        option.iconSize = tabs->iconSize();
        option.shape = tabs->shape();
        const QRect textRect
            = tabs->style()->subElementRect(QStyle::SE_TabBarTabText, &option, tabs);
        QVERIFY2(textRect.width() >= textWidth,
                 qPrintable(QStringLiteral("%1 < %2").arg(textRect.width()).arg(textWidth)));
    }

    void everyTextIsGerman_data()
    {
        QTest::addColumn<int>("level");
        QTest::newRow("Customer") << int(UserLogin::Customer);
        QTest::newRow("Supervisor") << int(UserLogin::Supervisor);
        QTest::newRow("Admin") << int(UserLogin::Admin);
        QTest::newRow("Demo") << int(UserLogin::Demo);
    }
    void everyTextIsGerman()
    {
        QFETCH(int, level);
        speak(QLocale(QLocale::English));
        const QMap<QString, QString> englishTexts = visibleTexts(*offlineMainScreen(level));
        speak(german);
        const QMap<QString, QString> germanTexts = visibleTexts(*offlineMainScreen(level));
        QCOMPARE(germanTexts.keys(), englishTexts.keys());

        QStringList untranslated;
        for (auto text = englishTexts.cbegin(); text != englishTexts.cend(); ++text) {
            // The service mode lists the protocol's own names of commands and values.
            if (text.key().contains(QLatin1String("comboBoxArg"))
                || text.key().contains(QLatin1String("comboBoxCommand")))
                continue;
            if (germanTexts.value(text.key()) == text.value() && !sameInBothLanguages(text.value()))
                untranslated.append(text.key() + QStringLiteral(": ") + text.value());
        }
        QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join(QLatin1Char('\n'))));
    }

    // The check above finds an English text among German ones.
    void anEnglishTextIsFound()
    {
        QVERIFY(!sameInBothLanguages(QStringLiteral("RESET TO FACTORY SETTINGS")));
        QVERIFY(!sameInBothLanguages(QStringLiteral("Nominal current")));
        QVERIFY(sameInBothLanguages(QStringLiteral("TORVEX\u00aeK27 Serra 2,6 A")));
    }

private:
    std::unique_ptr<TestSupport::ConfigHome> m_home;
    std::unique_ptr<StartUp> m_translations;
};

K27_TEST_MAIN(TestGermanWindow)
#include "tst_gui_germanwindow.moc"

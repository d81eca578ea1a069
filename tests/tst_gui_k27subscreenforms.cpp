#include "application/core/Config.h"
#include "application/core/UserLogin.h"
#include "application/windows/K27SubScreen.h"
#include "application/windows/SettingSpinBox.h"
#include "component/SerialPortDescription.h"
#include "component/SerialPortManager.h"
#include "support/ConfigHome.h"
#include "support/GermanTranslation.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QTabWidget>
#include <QtTest>
#include <memory>

namespace {

// Whether the form itself hides the widget; a widget the form leaves alone is shown with its page.
bool hiddenByForm(const QWidget *widget)
{
    // A stack hides its pages but the current one itself.
    if (qobject_cast<const QStackedWidget *>(widget->parentWidget()))
        return false;
    return widget->testAttribute(Qt::WA_WState_ExplicitShowHide)
        && widget->testAttribute(Qt::WA_WState_Hidden);
}

// The widget's initial content as one line: texts, combo items, spin box setup, page order.
QString content(const QWidget *widget)
{
    if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
        return button->text();
    if (const auto *label = qobject_cast<const QLabel *>(widget))
        return label->text();
    if (const auto *combo = qobject_cast<const QComboBox *>(widget)) {
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items.append(combo->itemText(i));
        return items.join('|');
    }
    // A setting's number field takes any number typed; its range is the device's, set by the
    // window, and shown in its hint.
    if (const auto *setting = qobject_cast<const Application::K27::SettingSpinBox *>(widget))
        return QStringLiteral("%1 decimals, step %2, value %3, unit %4")
            .arg(setting->decimals())
            .arg(setting->singleStep())
            .arg(setting->value())
            .arg(setting->unit());
    if (const auto *spin = qobject_cast<const QDoubleSpinBox *>(widget))
        return QStringLiteral("%1 decimals, %2 to %3, step %4, value %5")
            .arg(spin->decimals())
            .arg(spin->minimum())
            .arg(spin->maximum())
            .arg(spin->singleStep())
            .arg(spin->value());
    if (const auto *bar = qobject_cast<const QProgressBar *>(widget))
        return QStringLiteral("value %1%2")
            .arg(bar->value())
            .arg(bar->isTextVisible() ? ", text" : "");
    if (const auto *edit = qobject_cast<const QPlainTextEdit *>(widget))
        return edit->toPlainText();
    if (const auto *list = qobject_cast<const QListWidget *>(widget))
        return QStringLiteral("%1 items").arg(list->count());
    if (const auto *stack = qobject_cast<const QStackedWidget *>(widget)) {
        QStringList pages;
        for (int i = 0; i < stack->count(); ++i)
            pages.append(stack->widget(i)->objectName());
        return QStringLiteral("%1: %2").arg(stack->currentIndex()).arg(pages.join('|'));
    }
    if (const auto *tabs = qobject_cast<const QTabWidget *>(widget)) {
        QStringList pages;
        for (int i = 0; i < tabs->count(); ++i)
            pages.append(tabs->widget(i)->objectName() + '=' + tabs->tabText(i));
        return QStringLiteral("%1: %2").arg(tabs->currentIndex()).arg(pages.join('|'));
    }
    return QString();
}

// The initial state that matters for later work: hidden, disabled, checkable, checked, read-only.
QString state(const QWidget *widget)
{
    QStringList flags;
    if (hiddenByForm(widget))
        flags.append("hidden");
    if (!widget->isEnabled())
        flags.append("disabled");
    if (const auto *button = qobject_cast<const QAbstractButton *>(widget)) {
        if (button->isCheckable() && widget->inherits("QPushButton"))
            flags.append("checkable");
        if (button->autoExclusive())
            flags.append("exclusive");
        if (button->isChecked())
            flags.append("checked");
    }
    if (const auto *edit = qobject_cast<const QPlainTextEdit *>(widget)) {
        if (edit->isReadOnly())
            flags.append("read-only");
        if (edit->lineWrapMode() == QPlainTextEdit::NoWrap)
            flags.append("no-wrap");
    }
    return flags.join(' ');
}

// Object names the forms give their own widgets (type + role); Qt's internal children such as
// "qt_spinbox_lineedit" do not match.
const QRegularExpression namedWidget(QStringLiteral(
    "^(pushButton|label|checkBox|comboBox|doubleSpinBox|listWidget|textBrowser|progressBar"
    "|stackedWidget|tabWidget|page|tab)[A-Z]"));

// Every text a user reads on the page, in widget order: captions, button texts, combo items and
// tab titles. The trip classes are standard names, the same in every language, and so are the
// model value names the service mode's identifier chooser lists. The ranges beside the number
// fields are numbers and units the window writes in the locale's own way.
QStringList shownTexts(const QWidget *page)
{
    QStringList texts;
    for (const QWidget *widget : page->findChildren<QWidget *>()) {
        if (!namedWidget.match(widget->objectName()).hasMatch()
            || widget->objectName() == QLatin1String("comboBoxTripClass")
            || widget->objectName() == QLatin1String("comboBoxArg1")
            || widget->objectName().endsWith(QLatin1String("Range")))
            continue;
        if (const auto *button = qobject_cast<const QAbstractButton *>(widget)) {
            texts.append(button->text());
        } else if (const auto *label = qobject_cast<const QLabel *>(widget)) {
            texts.append(label->text());
        } else if (const auto *combo = qobject_cast<const QComboBox *>(widget)) {
            for (int i = 0; i < combo->count(); ++i)
                texts.append(combo->itemText(i));
        } else if (const auto *tabs = qobject_cast<const QTabWidget *>(widget)) {
            for (int i = 0; i < tabs->count(); ++i)
                texts.append(tabs->tabText(i));
        }
    }
    texts.removeAll(QString());
    return texts;
}

struct Expected
{
    const char *name;
    const char *className;
    QString content;
    const char *state;
};

const QString warningOrError = QStringLiteral("Warning|Error");
const char *const settingSpinBox = "Application::K27::SettingSpinBox";

const Expected configurationPage[] = {
    {"pushButtonGeneralSettings", "QPushButton", "GENERAL", "checkable exclusive checked"},
    {"pushButtonUndercurrentSettings", "QPushButton", "UNDERCURRENT", "checkable exclusive"},
    {"pushButtonUndervoltageSettings", "QPushButton", "UNDERVOLTAGE", "checkable exclusive"},
    {"pushButtonOvervoltageSettings", "QPushButton", "OVERVOLTAGE", "checkable exclusive"},
    {"pushButtonAsymmetrySettings", "QPushButton", "LOAD ASYMMETRY", "checkable exclusive"},
    {"stackedWidgetSettings", "QStackedWidget",
     "0: pageGeneralSettings|pageUndercurrentSettings|pageUndervoltageSettings"
     "|pageOvervoltageSettings|pageLoadAsymmetrySetting",
     ""},
    {"pageGeneralSettings", "QWidget", "", ""},
    {"labelNominalCurrent", "QLabel", "Nominal Current (A)", ""},
    {"doubleSpinBoxNominalCurrent", settingSpinBox, "1 decimals, step 0.1, value 1, unit A", ""},
    {"labelNominalCurrentRange", "QLabel", QString(), ""},
    {"labelSoftstart", "QLabel", "Softstart", "hidden"},
    {"checkBoxSoftstart", "QCheckBox", "", "hidden"},
    {"labelAutoReset", "QLabel", "Automatic Reset", ""},
    {"checkBoxAutoReset", "QCheckBox", "", ""},
    {"labelTripClass", "QLabel", "Trip Class", ""},
    {"comboBoxTripClass", "QComboBox", "2E|3E|5|10A|10|20|30|40E", ""},
    {"pageUndercurrentSettings", "QWidget", "", ""},
    {"labelUndercurrentThreshold", "QLabel", "Threshold (A)", ""},
    {"doubleSpinBoxUndercurrentThreshold", settingSpinBox, "1 decimals, step 0.1, value 1, unit A",
     ""},
    {"labelUndercurrentThresholdRange", "QLabel", QString(), ""},
    {"labelUndercurrentEnable", "QLabel", "Enable", ""},
    {"checkBoxUndercurrentEnable", "QCheckBox", "", ""},
    {"labelUndercurrentFaultType", "QLabel", "Fault Type", ""},
    {"comboBoxUndercurrentFaultType", "QComboBox", warningOrError, ""},
    {"pageUndervoltageSettings", "QWidget", "", ""},
    {"labelUndervoltageThreshold", "QLabel", "Threshold (V)", ""},
    {"doubleSpinBoxUndervoltageThreshold", settingSpinBox, "0 decimals, step 1, value 1, unit V",
     ""},
    {"labelUndervoltageThresholdRange", "QLabel", QString(), ""},
    {"labelUndervoltageEnable", "QLabel", "Enable", ""},
    {"checkBoxUndervoltageEnable", "QCheckBox", "", ""},
    {"labelUndervoltageFaultType", "QLabel", "Fault Type", ""},
    {"comboBoxUndervoltageFaultType", "QComboBox", warningOrError, ""},
    {"pageOvervoltageSettings", "QWidget", "", ""},
    {"labelOvervoltageThreshold", "QLabel", "Threshold (V)", ""},
    {"doubleSpinBoxOvervoltageThreshold", settingSpinBox, "0 decimals, step 1, value 1, unit V",
     ""},
    {"labelOvervoltageThresholdRange", "QLabel", QString(), ""},
    {"labelOvervoltageEnable", "QLabel", "Enable", ""},
    {"checkBoxOvervoltageEnable", "QCheckBox", "", ""},
    {"labelOvervoltageFaultType", "QLabel", "Fault Type", ""},
    {"comboBoxOvervoltageFaultType", "QComboBox", warningOrError, ""},
    {"pageLoadAsymmetrySetting", "QWidget", "", ""},
    {"labelAsymmetryThreshold", "QLabel", "Threshold (A)", ""},
    {"doubleSpinBoxAsymmetryThreshold", settingSpinBox, "2 decimals, step 0.1, value 1, unit A",
     ""},
    {"labelAsymmetryThresholdRange", "QLabel", QString(), ""},
    {"labelAsymmetryEnable", "QLabel", "Enable", ""},
    {"checkBoxAsymmetryEnable", "QCheckBox", "", ""},
    {"labelAsymmetryFaultType", "QLabel", "Fault Type", ""},
    {"comboBoxAsymmetryFaultType", "QComboBox", warningOrError, ""},
    {"pushButtonExport", "QPushButton", "EXPORT", ""},
    {"pushButtonImport", "QPushButton", "IMPORT", ""},
    {"labelSettingsFileResult", "QLabel", "", ""},
    {"pushButtonFactoryReset", "QPushButton", "RESET TO FACTORY SETTINGS", ""},
};

const Expected serviceModePage[] = {
    {"tabWidgetServiceMode", "QTabWidget",
     "0: tabCommands=Commands|tabSoftwareUpdate=Software Update|tabMotorControl=Motor Control", ""},
    {"tabCommands", "QWidget", "", ""},
    {"labelCommands", "QLabel", "Supported Commands", ""},
    {"listWidgetCommands", "QListWidget", QString(), ""},
    {"labelArguments", "QLabel", "Command Arguments", ""},
    {"labelArg1", "QLabel", "Argument 1", "hidden"},
    {"labelArg2", "QLabel", "Argument 2", "hidden"},
    {"labelArg3", "QLabel", "Argument 3", "hidden"},
    {"labelArg4", "QLabel", "Argument 4", "hidden"},
    {"labelArg5", "QLabel", "Argument 5", "hidden"},
    {"comboBoxArg1", "QComboBox", QString(), "hidden"},
    {"doubleSpinBoxArg1", "QDoubleSpinBox", QString(), "hidden"},
    {"doubleSpinBoxArg2", "QDoubleSpinBox", QString(), "hidden"},
    {"doubleSpinBoxArg3", "QDoubleSpinBox", QString(), "hidden"},
    {"doubleSpinBoxArg4", "QDoubleSpinBox", QString(), "hidden"},
    {"doubleSpinBoxArg5", "QDoubleSpinBox", QString(), "hidden"},
    {"pushButtonExecuteCommand", "QPushButton", "EXECUTE COMMAND", ""},
    {"tabSoftwareUpdate", "QWidget", "", ""},
    {"labelPlatform", "QLabel", "Platform", ""},
    {"checkBoxPlatform", "QCheckBox", "Display", "checked"},
    {"pushButtonOpenFile", "QPushButton", "OPEN FILE", ""},
    {"labelFilename", "QLabel", "Filename:", ""},
    // Available once a file has been chosen on this tab.
    {"pushButtonStartUpdate", "QPushButton", "START UPDATE", "disabled"},
    {"progressBarUpdate", "QProgressBar", "value 0, text", ""},
    {"tabMotorControl", "QWidget", "", ""},
    {"labelMotorStatus", "QLabel", "K27 Status:", ""},
    {"pushButtonMotorIdle", "QPushButton", "IDLE", ""},
    {"pushButtonMotorForward", "QPushButton", "FORWARD", ""},
    {"pushButtonMotorBackward", "QPushButton", "BACKWARD", ""},
    {"textBrowserLogging", "QPlainTextEdit", "", "read-only no-wrap"},
    {"checkBoxLogEnable", "QCheckBox", "Enable Log Output", "checked"},
    {"pushButtonLogClear", "QPushButton", "CLEAR", ""},
    {"pushButtonSaveLog", "QPushButton", "SAVE LOG", ""},
};

const Expected demoPage[] = {
    {"labelOperationMode", "QLabel", "Operation Mode", ""},
    {"comboBoxOperationMode", "QComboBox", "Idle|Forward|Backward|SafetyStop", ""},
    {"pushButtonShowOperationMode", "QPushButton", "SHOW OPERATION MODE", ""},
    {"labelWarningHandling", "QLabel", "Warning Handling", ""},
    {"comboBoxWarning", "QComboBox",
     "DeviceOK|Overload|PhaseAsymmetry|Undercurrent|SupplyLoss|UndervoltageSupply"
     "|OvervoltageSupply|Overtemperature|UndervoltageControl|OvervoltageControl"
     "|SecurityClearance|SwitchingFrequency",
     ""},
    {"pushButtonShowWarning", "QPushButton", "SHOW WARNING", ""},
    {"labelErrorHandling", "QLabel", "Error Handling", ""},
    {"comboBoxError", "QComboBox",
     "DeviceOK|ShortCircuit|Overload|DeviceError|PhaseAsymmetry|Undercurrent"
     "|UndervoltageSupply|OvervoltageSupply|Overtemperature|UndervoltageControl"
     "|OvervoltageControl",
     ""},
    {"pushButtonShowError", "QPushButton", "SHOW ERROR", ""},
};

} // namespace

class TestK27SubScreenForms : public TestSupport::TrappedTest
{
    Q_OBJECT

private slots:
    void pagesSitInTheWindowStack();
    void widget_data();
    void widget();
    void combosStartAtTheirFirstItem();
    void settingsButtonsAreOneExclusiveRow();
    void germanTexts_data();
    void germanTexts();

private:
    void setUpTestCase() override;
    void tearDownTestCase() override;

    // A device window without a device: the forms are what is looked at, not what a device
    // reports.
    // Every page is built, as it is once shown.
    std::unique_ptr<K27SubScreen> makeWindow() const
    {
        auto window = std::make_unique<K27SubScreen>(
            QSharedPointer<UserLogin>::create(), QSharedPointer<Application::K27::Config>::create(),
            m_manager, QStringLiteral("ttyK27NONE"));
        window->buildPages();
        return window;
    }
    static QWidget *page(const K27SubScreen *window, const char *name)
    {
        return window->findChild<QWidget *>(QString::fromLatin1(name));
    }
    QWidget *page(const char *name) const { return page(m_window.get(), name); }

    std::unique_ptr<TestSupport::ConfigHome> m_configHome;
    QSharedPointer<Application::K27::SerialPortManager> m_manager;
    std::unique_ptr<K27SubScreen> m_window;
};

void TestK27SubScreenForms::setUpTestCase()
{
    TestSupport::ConfigHome::useProgramNames();
    m_configHome = std::make_unique<TestSupport::ConfigHome>();
    QVERIFY(m_configHome->isValid());
    m_manager = QSharedPointer<Application::K27::SerialPortManager>::create(
        [] { return QList<Application::K27::SerialPortDescription>(); });
    // One window for the tests that only look; a test that changes a window makes its own.
    m_window = makeWindow();
}

void TestK27SubScreenForms::tearDownTestCase()
{
    m_window.reset();
    m_manager.reset();
    m_configHome.reset();
}

void TestK27SubScreenForms::pagesSitInTheWindowStack()
{
    const auto *stack = m_window->findChild<QStackedWidget *>(QStringLiteral("stackedWidgetMain"));
    QVERIFY(stack);
    QCOMPARE(stack->indexOf(page("pageConfiguration")), 1);
    QCOMPARE(stack->indexOf(page("pageServiceMode")), 5);
    QCOMPARE(stack->indexOf(page("pageDemoMode")), 6);
}

void TestK27SubScreenForms::widget_data()
{
    QTest::addColumn<QString>("pageName");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("state");

    const auto add = [](const char *pageName, const auto &table) {
        for (const Expected &row : table)
            QTest::newRow(row.name)
                << QString(pageName) << QString(row.className) << row.content << QString(row.state);
    };
    add("pageConfiguration", configurationPage);
    add("pageServiceMode", serviceModePage);
    add("pageDemoMode", demoPage);
}

void TestK27SubScreenForms::widget()
{
    QFETCH(QString, pageName);
    QFETCH(QString, className);
    QFETCH(QString, content);
    QFETCH(QString, state);

    // Found from the window, exactly once, and on its own page.
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    const QList<QWidget *> found = m_window->findChildren<QWidget *>(name);
    QCOMPARE(found.size(), 1);
    const QWidget *widget = found.first();
    QVERIFY(page(qPrintable(pageName))->isAncestorOf(widget));
    QCOMPARE(QString(widget->metaObject()->className()), className);
    // A null content marks a widget whose content the window fills in itself.
    if (!content.isNull())
        QCOMPARE(::content(widget), content);
    QCOMPARE(::state(widget), state);
}

void TestK27SubScreenForms::combosStartAtTheirFirstItem()
{
    for (const char *name : {"pageConfiguration", "pageServiceMode", "pageDemoMode"}) {
        for (const QComboBox *combo : page(name)->findChildren<QComboBox *>()) {
            if (combo->count() > 0)
                QVERIFY2(combo->currentIndex() == 0, qPrintable(combo->objectName()));
        }
    }
}

// The five settings buttons share one parent, so checking one unchecks the one checked before,
// and the stack holds the pages in the buttons' order.
void TestK27SubScreenForms::settingsButtonsAreOneExclusiveRow()
{
    const char *const buttonNames[] = {
        "pushButtonGeneralSettings",      "pushButtonUndercurrentSettings",
        "pushButtonUndervoltageSettings", "pushButtonOvervoltageSettings",
        "pushButtonAsymmetrySettings",
    };
    const char *const pageNames[] = {
        "pageGeneralSettings",     "pageUndercurrentSettings", "pageUndervoltageSettings",
        "pageOvervoltageSettings", "pageLoadAsymmetrySetting",
    };
    const auto window = makeWindow();
    const auto *stack
        = window->findChild<QStackedWidget *>(QStringLiteral("stackedWidgetSettings"));
    QList<QAbstractButton *> buttons;
    for (int i = 0; i < 5; ++i) {
        buttons.append(window->findChild<QAbstractButton *>(QString::fromLatin1(buttonNames[i])));
        QVERIFY(buttons.last());
        QCOMPARE(stack->indexOf(page(window.get(), pageNames[i])), i);
    }
    QVERIFY(buttons[0]->isChecked());
    for (int i = 1; i < 5; ++i) {
        buttons[i]->setChecked(true);
        for (int j = 0; j < 5; ++j)
            QCOMPARE(buttons[j]->isChecked(), j == i);
    }
}

void TestK27SubScreenForms::germanTexts_data()
{
    QTest::addColumn<QString>("context");

    QTest::newRow("pageConfiguration") << QStringLiteral("K27SubScreenConfigurationPage");
    QTest::newRow("pageServiceMode") << QStringLiteral("K27SubScreenServiceModePage");
    QTest::newRow("pageDemoMode") << QStringLiteral("K27SubScreenDemoPage");
}

// Under the German translation every text of the page has a translation of its own and the
// window shows it.
void TestK27SubScreenForms::germanTexts()
{
    QFETCH(QString, context);

    const QStringList english = shownTexts(page(QTest::currentDataTag()));
    QVERIFY(!english.isEmpty());

    const TestSupport::GermanTranslation translation;
    QVERIFY(translation.isInstalled());

    const auto window = makeWindow();
    const QStringList german = shownTexts(page(window.get(), QTest::currentDataTag()));
    QCOMPARE(german.size(), english.size());
    for (int i = 0; i < english.size(); ++i) {
        const QString translated = translation.translate(qPrintable(context), english[i]);
        QVERIFY2(!translated.isEmpty(), qPrintable(QStringLiteral("no German for ") + english[i]));
        QCOMPARE(german[i], translated);
    }
}

K27_TEST_MAIN(TestK27SubScreenForms)
#include "tst_gui_k27subscreenforms.moc"

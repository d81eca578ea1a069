// The Configuration page and the settings file against a simulated device in the same
// process: what the page shows for what the device reports, what it writes for what the user
// does, and what an export and an import do to the device.

#include "application/core/Config.h"
#include "application/core/UserLogin.h"
#include "application/windows/K27SubScreen.h"
#include "component/ZantLinkCommandCode.h"
#include "model/database/ModelDatabase.h"
#include "model/interfaces/ModelActionID.h"
#include "model/interfaces/ModelValueID.h"
#include "support/CompareAnswers.h"
#include "support/DefaultLocale.h"
#include "support/FileAnswers.h"
#include "support/FileSizeLimit.h"
#include "support/GermanTranslation.h"
#include "support/QuestionAnswers.h"
#include "support/SubScreenHarness.h"
#include "support/TestRegistry.h"
#include "support/TestSupport.h"
#include "support/TrappedTest.h"
#include "support/ValueNumber.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QStackedWidget>
#include <QtTest>
#include <cstring>
#include <unistd.h>

using Component::K27::ZantLinkCommandCode;
using Model::Interfaces::ModelActionID;
using Model::Interfaces::ModelValueID;
using TestSupport::readFile;
using TestSupport::SubScreenHarness;
using TestSupport::writeFile;

namespace {

using TestSupport::id;

// The twelve settings of the settings file.
const QList<ModelValueID> fileValues {ModelValueID::TripClass,
                                      ModelValueID::NominalCurrent,
                                      ModelValueID::OverloadReset,
                                      ModelValueID::UndercurrentEnable,
                                      ModelValueID::UndercurrentThreshold,
                                      ModelValueID::UndercurrentFaultType,
                                      ModelValueID::UndervoltageEnable,
                                      ModelValueID::UndervoltageThreshold,
                                      ModelValueID::UndervoltageFaultType,
                                      ModelValueID::OvervoltageEnable,
                                      ModelValueID::OvervoltageThreshold,
                                      ModelValueID::OvervoltageFaultType};

bool isFloat(quint16 identifier)
{
    switch (ModelValueID(identifier)) {
    case ModelValueID::NominalCurrent:
    case ModelValueID::UndercurrentThreshold:
    case ModelValueID::UndervoltageThreshold:
    case ModelValueID::OvervoltageThreshold:
    case ModelValueID::LoadAsymmetryThreshold:
        return true;
    default:
        return false;
    }
}

// The packets as "Name=value" ("SetModelValue") or "fire N"; floats in their shortest form.
QStringList describe(const QList<DeviceSim::ReceivedPacket> &packets)
{
    QStringList texts;
    for (const DeviceSim::ReceivedPacket &packet : packets) {
        if (packet.command == ZantLinkCommandCode::FireModelAction) {
            texts.append(QStringLiteral("fire %1").arg(packet.number(0)));
            continue;
        }
        if (packet.command != ZantLinkCommandCode::SetModelValue) {
            texts.append(packet.toString());
            continue;
        }
        const quint16 identifier = quint16(packet.number(0));
        QString value = QString::number(packet.number(1));
        if (isFloat(identifier)) {
            const quint32 raw = packet.number(1);
            float number = 0;
            std::memcpy(&number, &raw, sizeof number);
            value = QString::number(double(number), 'g', 7);
        }
        texts.append(QString::fromLatin1(Model::Interfaces::modelValueName(identifier))
                     + QLatin1Char('=') + value);
    }
    return texts;
}

QStringList comboItems(const QComboBox *combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items.append(combo->itemText(i));
    return items;
}

using TestSupport::FileSizeLimit;

// Two barriers: after the first the window has handled everything the device reported before
// (and sent whatever that made it send); after the second the device has received that too.
bool settle(SubScreenHarness &harness)
{
    return harness.barrier() && harness.barrier();
}

using TestSupport::german;

// Types text into a number field as a person does, key by key: the field's text selected
// first, as clicking into it or Tab leaves it, then each character, with the device given time
// to answer whatever the window sent between two keys. Nothing may reach the device before the
// number is finished. Return (unless told not to) finishes it.
bool typeNumber(SubScreenHarness &harness, QDoubleSpinBox *box, const QString &text,
                bool finish = true)
{
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    for (const QChar character : text) {
        QTest::keyClick(box, character.toLatin1());
        if (!settle(harness))
            return false;
        const QStringList sent = describe(harness.takeReceived());
        if (!sent.isEmpty()) {
            qWarning("sent while typing: %s", qPrintable(sent.join(QLatin1String(", "))));
            return false;
        }
    }
    if (!finish)
        return true;
    // Return finishes the number and nothing else: the shown window (a dialog, whose Return
    // presses its default button) stays on its page.
    harness.window().show();
    const QStackedWidget *const pages = harness.child<QStackedWidget>("stackedWidgetMain");
    const int page = pages->currentIndex();
    QTest::keyClick(box, Qt::Key_Return);
    if (pages->currentIndex() != page) {
        qWarning("Return left the page %d for %d", page, pages->currentIndex());
        return false;
    }
    return true;
}

QString hintOf(SubScreenHarness &harness, const char *label)
{
    return harness.child<QLabel>(label)->text();
}

} // namespace

class TestK27SubScreenConfiguration : public TestSupport::TrappedTest
{
    Q_OBJECT

private slots:
    void reportedValuesSendNothing();
    void settingsPages();
    void userChanges_data();
    void userChanges();
    void typedNumberIsWrittenOnce_data();
    void typedNumberIsWrittenOnce();
    void numberOutsideTheRangeIsRefused_data();
    void numberOutsideTheRangeIsRefused();
    void loweringNominalCurrentNamesTheConsequence();
    void reportWaitsWhileTyping();
    void leavingTheFieldFinishesTheNumber();
    void reportedNominalCurrentLimitsThresholds();
    void nominalCurrentMaximum();
    void tripClassItems();
    void pageOpenedAfterTheRead_data();
    void pageOpenedAfterTheRead();
    void factoryReset_data();
    void factoryReset();
    void offlineFactoryResetAsksNothing();
    void roundTrip_data();
    void roundTrip();
    void refusedImport_data();
    void refusedImport();
    void importWritesOnlyWhatTheFileCarries();
    void failedExport();
    void fileDialogs();
    void exportedNameTakesItsExtension();
    void offlineWindowKeepsNoFile();
    void unreportedSettingsAreNeitherExportedNorImported();

protected:
    void tearDownTestCase() override { m_shared.reset(); }

private:
    // One window on one device for the table-driven tests whose rows touch different settings:
    // building a window per row would make the test slow under the sanitizers. Opened on the
    // Configuration page, everything sent so far taken.
    SubScreenHarness *sharedHarness();

    std::unique_ptr<SubScreenHarness> m_shared;
};

SubScreenHarness *TestK27SubScreenConfiguration::sharedHarness()
{
    if (m_shared == nullptr) {
        auto harness = std::make_unique<SubScreenHarness>(UserLogin::Supervisor);
        if (!harness->start())
            return nullptr;
        // Opening the page stops any measurement; that is not what is looked at here.
        harness->child<QPushButton>("pushButtonConfiguration")->click();
        if (!settle(*harness))
            return nullptr;
        m_shared = std::move(harness);
    }
    m_shared->takeReceived();
    return m_shared.get();
}

void TestK27SubScreenConfiguration::reportedValuesSendNothing()
{
    DeviceSim::DeviceSimulatorOptions options;
    options.model = {{id(ModelValueID::UndervoltageThreshold), 230.4},
                     {id(ModelValueID::UndercurrentThreshold), 1.25},
                     {id(ModelValueID::NominalCurrent), 2.0},
                     {id(ModelValueID::OvervoltageThreshold), 253.7},
                     {id(ModelValueID::LoadAsymmetryThreshold), 0.01}};
    SubScreenHarness harness(UserLogin::Admin, options);
    QVERIFY(harness.start());
    QVERIFY(settle(harness));

    // The window asked for the whole model and wrote nothing back.
    const QList<DeviceSim::ReceivedPacket> received = harness.takeReceived();
    for (const DeviceSim::ReceivedPacket &packet : received)
        QVERIFY2(packet.command != ZantLinkCommandCode::SetModelValue,
                 qPrintable(packet.toString()));
    QCOMPARE(harness.child<QDoubleSpinBox>("doubleSpinBoxUndervoltageThreshold")->value(), 230.0);
    QCOMPARE(harness.child<QDoubleSpinBox>("doubleSpinBoxNominalCurrent")->value(), 2.0);
    QCOMPARE(harness.device().modelValue(id(ModelValueID::UndervoltageThreshold)), double(230.4F));
    QCOMPARE(harness.device().modelValue(id(ModelValueID::UndercurrentThreshold)), double(1.25F));

    // Reported again, unasked, they still send nothing.
    for (const ModelValueID value : fileValues)
        harness.device().reportModelValue(id(value));
    QVERIFY(settle(harness));
    QCOMPARE(describe(harness.takeReceived()), QStringList());
}

void TestK27SubScreenConfiguration::settingsPages()
{
    SubScreenHarness harness(UserLogin::Supervisor);
    QVERIFY(harness.start());
    QVERIFY(settle(harness));
    harness.takeReceived();
    // Opening the page stops any measurement; that is not what is looked at here.
    harness.child<QPushButton>("pushButtonConfiguration")->click();
    QVERIFY(settle(harness));
    harness.takeReceived();
    auto *stack = harness.child<QStackedWidget>("stackedWidgetSettings");
    QVERIFY(harness.child<QPushButton>("pushButtonGeneralSettings")->isChecked());
    QCOMPARE(stack->currentIndex(), 0);
    const char *const buttons[] {"pushButtonUndercurrentSettings", "pushButtonUndervoltageSettings",
                                 "pushButtonOvervoltageSettings", "pushButtonAsymmetrySettings",
                                 "pushButtonGeneralSettings"};
    const QStringList pages {"pageUndercurrentSettings", "pageUndervoltageSettings",
                             "pageOvervoltageSettings", "pageLoadAsymmetrySetting",
                             "pageGeneralSettings"};
    for (int i = 0; i < pages.size(); ++i) {
        harness.child<QPushButton>(buttons[i])->click();
        QCOMPARE(stack->currentWidget()->objectName(), pages.at(i));
    }
    QVERIFY(settle(harness));
    QCOMPARE(describe(harness.takeReceived()), QStringList());
}

void TestK27SubScreenConfiguration::userChanges_data()
{
    QTest::addColumn<QString>("widget");
    // step: the spin box one step up with the arrow key; index: the combo's index; click: the
    // check box.
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("written");

    QTest::newRow("nominal current 1.0 to 1.1") << "doubleSpinBoxNominalCurrent"
                                                << "step" << 0 << "NominalCurrent=1.1";
    QTest::newRow("trip class 10") << "comboBoxTripClass"
                                   << "index" << 4 << "TripClass=4";
    QTest::newRow("automatic reset") << "checkBoxAutoReset"
                                     << "click" << 0 << "OverloadReset=1";
    QTest::newRow("undercurrent on") << "checkBoxUndercurrentEnable"
                                     << "click" << 0 << "UndercurrentEnable=1";
    QTest::newRow("undercurrent threshold") << "doubleSpinBoxUndercurrentThreshold"
                                            << "step" << 0 << "UndercurrentThreshold=0.2";
    QTest::newRow("undercurrent error") << "comboBoxUndercurrentFaultType"
                                        << "index" << 1 << "UndercurrentFaultType=1";
    QTest::newRow("undervoltage on") << "checkBoxUndervoltageEnable"
                                     << "click" << 0 << "UndervoltageEnable=1";
    QTest::newRow("undervoltage threshold") << "doubleSpinBoxUndervoltageThreshold"
                                            << "step" << 0 << "UndervoltageThreshold=208";
    QTest::newRow("undervoltage error") << "comboBoxUndervoltageFaultType"
                                        << "index" << 1 << "UndervoltageFaultType=1";
    QTest::newRow("overvoltage on") << "checkBoxOvervoltageEnable"
                                    << "click" << 0 << "OvervoltageEnable=1";
    QTest::newRow("overvoltage threshold") << "doubleSpinBoxOvervoltageThreshold"
                                           << "step" << 0 << "OvervoltageThreshold=254";
    QTest::newRow("overvoltage error") << "comboBoxOvervoltageFaultType"
                                       << "index" << 1 << "OvervoltageFaultType=1";
    QTest::newRow("load asymmetry on") << "checkBoxAsymmetryEnable"
                                       << "click" << 0 << "LoadAsymmetryEnable=1";
    // Steps land on the step grid: the device's 0.01 goes up to 0.1.
    QTest::newRow("load asymmetry threshold") << "doubleSpinBoxAsymmetryThreshold"
                                              << "step" << 0 << "LoadAsymmetryThreshold=0.1";
    QTest::newRow("load asymmetry error") << "comboBoxAsymmetryFaultType"
                                          << "index" << 1 << "LoadAsymmetryFaultType=1";
}

void TestK27SubScreenConfiguration::userChanges()
{
    QFETCH(QString, widget);
    QFETCH(QString, action);
    QFETCH(int, index);
    QFETCH(QString, written);

    SubScreenHarness *const shared = sharedHarness();
    QVERIFY(shared != nullptr);
    SubScreenHarness &harness = *shared;

    const QByteArray name = widget.toLatin1();
    if (action == QLatin1String("step"))
        QTest::keyClick(harness.child<QDoubleSpinBox>(name.constData()), Qt::Key_Up);
    else if (action == QLatin1String("index"))
        harness.child<QComboBox>(name.constData())->setCurrentIndex(index);
    else
        harness.child<QCheckBox>(name.constData())->click();
    QVERIFY(settle(harness));
    QCOMPARE(describe(harness.takeReceived()), QStringList {written});

    // The device's report of the new content comes back and is shown; nothing more is sent.
    QVERIFY(settle(harness));
    QCOMPARE(describe(harness.takeReceived()), QStringList());
}

void TestK27SubScreenConfiguration::leavingTheFieldFinishesTheNumber()
{
    DeviceSim::DeviceSimulatorOptions options;
    options.model = {{id(ModelValueID::NominalCurrent), 6.0}};
    SubScreenHarness harness(UserLogin::Supervisor, options);
    QVERIFY(harness.start());
    QVERIFY(settle(harness));
    harness.window().show();
    QVERIFY(QTest::qWaitForWindowActive(&harness.window()));
    harness.child<QPushButton>("pushButtonConfiguration")->click();
    QVERIFY(settle(harness));
    harness.takeReceived();
    auto *nominal = harness.child<QDoubleSpinBox>("doubleSpinBoxNominalCurrent");

    // Clicked into, typed, and left with Tab: written once, as the field is left.
    QTest::mouseClick(nominal->findChild<QLineEdit *>(), Qt::LeftButton);
    QVERIFY(nominal->hasFocus());
    QVERIFY(typeNumber(harness, nominal, QStringLiteral("3.5"), false));
    QTest::keyClick(nominal, Qt::Key_Tab);
    QVERIFY(!nominal->hasFocus());
    QVERIFY(settle(harness));
    QCOMPARE(describe(harness.takeReceived()), QStringList {"NominalCurrent=3.5"});

    // Typed, not finished, and the window goes with its device: the number finishes as the
    // field loses the focus on the way out, and must reach no slot of a window that is gone
    // (that would crash here).
    QTest::mouseClick(nominal->findChild<QLineEdit *>(), Qt::LeftButton);
    QVERIFY(typeNumber(harness, nominal, QStringLiteral("4"), false));
    QVERIFY(nominal->hasFocus());
    harness.destroyWindow();
}

void TestK27SubScreenConfiguration::reportedNominalCurrentLimitsThresholds()
{
    DeviceSim::DeviceSimulatorOptions options;
    options.model = {{id(ModelValueID::NominalCurrent), 5.0},
                     {id(ModelValueID::UndercurrentThreshold), 3.0},
                     {id(ModelValueID::LoadAsymmetryThreshold), 1.0}};
    SubScreenHarness harness(UserLogin::Supervisor, options);
    QVERIFY(harness.start());
    QVERIFY(settle(harness));
    harness.takeReceived();
    auto *undercurrent = harness.child<QDoubleSpinBox>("doubleSpinBoxUndercurrentThreshold");
    auto *asymmetry = harness.child<QDoubleSpinBox>("doubleSpinBoxAsymmetryThreshold");
    QCOMPARE(undercurrent->value(), 3.0);
    QCOMPARE(hintOf(harness, "labelUndercurrentThresholdRange"),
             QStringLiteral("0.0 \u2013 5.0 A"));
    // The load asymmetry threshold ends at 1.0 whatever the nominal current.
    QCOMPARE(hintOf(harness, "labelAsymmetryThresholdRange"), QStringLiteral("0.01 \u2013 1.00 A"));

    // The device's own nominal current of 2.0 A (set at its display, say): the ranges follow,
    // the device's threshold of 3.0 A is shown as it is, pointed out, and not written.
    harness.device().setModelValue(id(ModelValueID::NominalCurrent), 2.0);
    QVERIFY(settle(harness));
    QCOMPARE(describe(harness.takeReceived()), QStringList());
    QCOMPARE(undercurrent->value(), 3.0);
    QCOMPARE(hintOf(harness, "labelUndercurrentThresholdRange"),
             QStringLiteral("The device holds 3.0 A, outside 0.0 \u2013 2.0 A"));
    QCOMPARE(asymmetry->value(), 1.0);
    QCOMPARE(hintOf(harness, "labelAsymmetryThresholdRange"), QStringLiteral("0.01 \u2013 1.00 A"));
    QCOMPARE(harness.device().modelValue(id(ModelValueID::UndercurrentThreshold)), 3.0);
    QCOMPARE(harness.window().database()->settings().undercurrentThreshold().maximum(), 2.0F);

    // The device brings its threshold down itself: the hint is the range again.
    harness.device().setModelValue(id(ModelValueID::UndercurrentThreshold), 1.5);
    QVERIFY(settle(harness));
    QCOMPARE(undercurrent->value(), 1.5);
    QCOMPARE(hintOf(harness, "labelUndercurrentThresholdRange"),
             QStringLiteral("0.0 \u2013 2.0 A"));

    // 0.5 A limits both thresholds; raising the nominal current raises the ranges again.
    harness.device().setModelValue(id(ModelValueID::NominalCurrent), 0.5);
    QVERIFY(settle(harness));
    QCOMPARE(hintOf(harness, "labelAsymmetryThresholdRange"),
             QStringLiteral("The device holds 1.00 A, outside 0.01 \u2013 0.50 A"));
    harness.device().setModelValue(id(ModelValueID::NominalCurrent), 4.0);
    QVERIFY(settle(harness));
    QCOMPARE(hintOf(harness, "labelUndercurrentThresholdRange"),
             QStringLiteral("0.0 \u2013 4.0 A"));
    QCOMPARE(hintOf(harness, "labelAsymmetryThresholdRange"), QStringLiteral("0.01 \u2013 1.00 A"));
    QCOMPARE(describe(harness.takeReceived()), QStringList());
}

void TestK27SubScreenConfiguration::typedNumberIsWrittenOnce_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("inGerman");
    QTest::addColumn<QStringList>("written");
    QTest::addColumn<double>("shown");

    // The device starts at a nominal current of 6.0 A with an undercurrent threshold of 3.2 A:
    // a nominal current of 3 A on the way to 3.5 A would have brought the threshold down.
    QTest::newRow("nominal current 3.5")
        << "doubleSpinBoxNominalCurrent"
        << "3.5" << false << QStringList {"NominalCurrent=3.5"} << 3.5;
    QTest::newRow("overvoltage threshold 260")
        << "doubleSpinBoxOvervoltageThreshold"
        << "260" << false << QStringList {"OvervoltageThreshold=260"} << 260.0;
    QTest::newRow("undervoltage threshold 0, the catalogue's lowest")
        << "doubleSpinBoxUndervoltageThreshold"
        << "0" << false << QStringList {"UndervoltageThreshold=0"} << 0.0;
    QTest::newRow("load asymmetry threshold 0.35")
        << "doubleSpinBoxAsymmetryThreshold"
        << "0.35" << false << QStringList {"LoadAsymmetryThreshold=0.35"} << 0.35;
    QTest::newRow("German nominal current 4,5")
        << "doubleSpinBoxNominalCurrent"
        << "4,5" << true << QStringList {"NominalCurrent=4.5"} << 4.5;
    QTest::newRow("German undercurrent threshold 2,5")
        << "doubleSpinBoxUndercurrentThreshold"
        << "2,5" << true << QStringList {"UndercurrentThreshold=2.5"} << 2.5;
    // The point of the keypad under a German locale, the comma under an English one: either
    // is the decimal separator, never a group separator (3.5 read as 35).
    QTest::newRow("German nominal current typed 3.5")
        << "doubleSpinBoxNominalCurrent"
        << "3.5" << true << QStringList {"NominalCurrent=3.5"} << 3.5;
    QTest::newRow("English nominal current typed 4,5")
        << "doubleSpinBoxNominalCurrent"
        << "4,5" << false << QStringList {"NominalCurrent=4.5"} << 4.5;
}

void TestK27SubScreenConfiguration::typedNumberIsWrittenOnce()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(bool, inGerman);
    QFETCH(QStringList, written);
    QFETCH(double, shown);

    const TestSupport::DefaultLocale locale(
        inGerman ? german : QLocale(QLocale::English, QLocale::UnitedStates));
    DeviceSim::DeviceSimulatorOptions options;
    options.model
        = {{id(ModelValueID::NominalCurrent), 6.0}, {id(ModelValueID::UndercurrentThreshold), 3.2}};
    SubScreenHarness harness(UserLogin::Supervisor, options);
    QVERIFY(harness.start());
    QVERIFY(settle(harness));
    harness.takeReceived();

    auto *box = harness.child<QDoubleSpinBox>(field.toLatin1().constData());
    QVERIFY(typeNumber(harness, box, typed));
    QVERIFY(settle(harness));
    QCOMPARE(describe(harness.takeReceived()), written);
    QCOMPARE(box->value(), shown);
    QCOMPARE(harness.device().modelValue(id(ModelValueID::UndercurrentThreshold)),
             field.endsWith(QLatin1String("UndercurrentThreshold")) ? shown : double(3.2F));

    // The device's report of the new number comes back and is shown; nothing more is sent.
    QVERIFY(settle(harness));
    QCOMPARE(describe(harness.takeReceived()), QStringList());
    QCOMPARE(box->value(), shown);
}

void TestK27SubScreenConfiguration::numberOutsideTheRangeIsRefused_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("inGerman");
    QTest::addColumn<QString>("said");
    QTest::addColumn<double>("kept");

    // The device: a Serra 6,6 A at a nominal current of 4.0 A.
    QTest::newRow("nominal current above the device's maximum")
        << "doubleSpinBoxNominalCurrent"
        << "labelNominalCurrentRange"
        << "12" << false << QStringLiteral("Not sent: 12.0 A is outside 0.1 \u2013 6.6 A") << 4.0;
    QTest::newRow("nominal current below zero")
        << "doubleSpinBoxNominalCurrent"
        << "labelNominalCurrentRange"
        << "-1" << false << QStringLiteral("Not sent: -1.0 A is outside 0.1 \u2013 6.6 A") << 4.0;
    QTest::newRow("undercurrent threshold above the nominal current")
        << "doubleSpinBoxUndercurrentThreshold"
        << "labelUndercurrentThresholdRange"
        << "4.5" << false << QStringLiteral("Not sent: 4.5 A is outside 0.0 \u2013 4.0 A") << 1.0;
    QTest::newRow("overvoltage threshold above 600 V")
        << "doubleSpinBoxOvervoltageThreshold"
        << "labelOvervoltageThresholdRange"
        << "700" << false << QStringLiteral("Not sent: 700 V is outside 0 \u2013 600 V") << 253.0;
    QTest::newRow("load asymmetry threshold above 1.0")
        << "doubleSpinBoxAsymmetryThreshold"
        << "labelAsymmetryThresholdRange"
        << "1.5" << false << QStringLiteral("Not sent: 1.50 A is outside 0.01 \u2013 1.00 A")
        << 0.01;
    QTest::newRow("German nominal current above the device's maximum")
        << "doubleSpinBoxNominalCurrent"
        << "labelNominalCurrentRange"
        << "7,5" << true
        << QStringLiteral("Nicht gesendet: 7,5 A liegt au\u00dferhalb von 0,1 \u2013 6,6 A") << 4.0;
}

void TestK27SubScreenConfiguration::numberOutsideTheRangeIsRefused()
{
    QFETCH(QString, field);
    QFETCH(QString, hint);
    QFETCH(QString, typed);
    QFETCH(bool, inGerman);
    QFETCH(QString, said);
    QFETCH(double, kept);

    const TestSupport::DefaultLocale locale(
        inGerman ? german : QLocale(QLocale::English, QLocale::UnitedStates));
    std::unique_ptr<TestSupport::GermanTranslation> translation;
    if (inGerman) {
        translation = std::make_unique<TestSupport::GermanTranslation>();
        QVERIFY(translation->isInstalled());
    }
    DeviceSim::DeviceSimulatorOptions options;
    options.model = {{id(ModelValueID::NominalCurrentMax), 6.6},
                     {id(ModelValueID::NominalCurrent), 4.0},
                     {id(ModelValueID::UndercurrentThreshold), 1.0}};
    SubScreenHarness harness(UserLogin::Supervisor, options);
    QVERIFY(harness.start());
    QVERIFY(settle(harness));
    harness.takeReceived();
    const QString before = hintOf(harness, qPrintable(hint));

    auto *box = harness.child<QDoubleSpinBox>(field.toLatin1().constData());
    QVERIFY(typeNumber(harness, box, typed));
    // Nothing reached the device: the barrier's answer came after anything sent before it.
    QVERIFY(settle(harness));
    QCOMPARE(describe(harness.takeReceived()), QStringList());
    QCOMPARE(hintOf(harness, qPrintable(hint)), said);
    // The field shows what the device holds.
    QCOMPARE(box->value(), kept);

    // Typing again puts the range back in the hint.
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, '1');
    QCOMPARE(hintOf(harness, qPrintable(hint)), before);
}

void TestK27SubScreenConfiguration::loweringNominalCurrentNamesTheConsequence()
{
    DeviceSim::DeviceSimulatorOptions options;
    options.model = {{id(ModelValueID::NominalCurrent), 6.0},
                     {id(ModelValueID::UndercurrentThreshold), 3.2},
                     {id(ModelValueID::LoadAsymmetryThreshold), 0.8}};
    SubScreenHarness harness(UserLogin::Supervisor, options);
    QVERIFY(harness.start());
    QVERIFY(settle(harness));
    harness.takeReceived();
    auto *nominal = harness.child<QDoubleSpinBox>("doubleSpinBoxNominalCurrent");
    auto *undercurrent = harness.child<QDoubleSpinBox>("doubleSpinBoxUndercurrentThreshold");
    auto *result = harness.child<QLabel>("labelSettingsFileResult");

    // Below the undercurrent threshold: the threshold comes down first, so that the device
    // never holds one above its nominal current, and the page says so.
    QVERIFY(typeNumber(harness, nominal, QStringLiteral("2.5")));
    QVERIFY(settle(harness));
    QCOMPARE(describe(harness.takeReceived()),
             QStringList({"UndercurrentThreshold=2.5", "NominalCurrent=2.5"}));
    QCOMPARE(result->text(),
             QStringLiteral("Undercurrent threshold 3.2 A \u2192 2.5 A, limited by the nominal "
                            "current"));
    QCOMPARE(undercurrent->value(), 2.5);
    QCOMPARE(hintOf(harness, "labelUndercurrentThresholdRange"),
             QStringLiteral("0.0 \u2013 2.5 A"));

    // Below both thresholds: both, in the order of the page.
    QVERIFY(typeNumber(harness, nominal, QStringLiteral("0.5")));
    QVERIFY(settle(harness));
    QCOMPARE(describe(harness.takeReceived()),
             QStringList({"UndercurrentThreshold=0.5", "LoadAsymmetryThreshold=0.5",
                          "NominalCurrent=0.5"}));
    QCOMPARE(result->text(),
             QStringLiteral("Undercurrent threshold 2.5 A \u2192 0.5 A, limited by the nominal "
                            "current\nLoad asymmetry threshold 0.80 A \u2192 0.50 A, limited by "
                            "the nominal current"));
    QCOMPARE(harness.device().modelValue(id(ModelValueID::UndercurrentThreshold)), 0.5);
    QCOMPARE(harness.device().modelValue(id(ModelValueID::LoadAsymmetryThreshold)), 0.5);

    // Raising it again changes nothing else.
    result->clear();
    QVERIFY(typeNumber(harness, nominal, QStringLiteral("3")));
    QVERIFY(settle(harness));
    QCOMPARE(describe(harness.takeReceived()), QStringList {"NominalCurrent=3"});
    QVERIFY(result->text().isEmpty());
}

void TestK27SubScreenConfiguration::reportWaitsWhileTyping()
{
    DeviceSim::DeviceSimulatorOptions options;
    options.model = {{id(ModelValueID::UndervoltageThreshold), 200.0}};
    SubScreenHarness harness(UserLogin::Supervisor, options);
    QVERIFY(harness.start());
    QVERIFY(settle(harness));
    harness.takeReceived();
    auto *box = harness.child<QDoubleSpinBox>("doubleSpinBoxUndervoltageThreshold");
    auto *text = box->findChild<QLineEdit *>();
    QVERIFY(text);

    // The device reports another threshold while the person is typing: what they type stays.
    QVERIFY(typeNumber(harness, box, QStringLiteral("19"), false));
    harness.device().setModelValue(id(ModelValueID::UndervoltageThreshold), 210.0);
    QVERIFY(settle(harness));
    QCOMPARE(text->text(), QStringLiteral("19"));
    QVERIFY(typeNumber(harness, box, QStringLiteral("195"), false));
    QCOMPARE(text->text(), QStringLiteral("195"));

    // Finished: the person's number is written, and the field shows it.
    QTest::keyClick(box, Qt::Key_Return);
    QVERIFY(settle(harness));
    QCOMPARE(describe(harness.takeReceived()), QStringList {"UndervoltageThreshold=195"});
    QCOMPARE(box->value(), 195.0);

    // The number the field showed, typed again while the device changed it: the person's
    // number is what they finished, and it is written.
    QVERIFY(typeNumber(harness, box, QStringLiteral("195"), false));
    harness.device().setModelValue(id(ModelValueID::UndervoltageThreshold), 220.0);
    QVERIFY(settle(harness));
    QCOMPARE(text->text(), QStringLiteral("195"));
    QTest::keyClick(box, Qt::Key_Return);
    QVERIFY(settle(harness));
    QCOMPARE(describe(harness.takeReceived()), QStringList {"UndervoltageThreshold=195"});
    QCOMPARE(box->value(), 195.0);

    // A number that is refused: the field shows the report that waited.
    QVERIFY(typeNumber(harness, box, QStringLiteral("700"), false));
    harness.device().setModelValue(id(ModelValueID::UndervoltageThreshold), 230.0);
    QVERIFY(settle(harness));
    QCOMPARE(text->text(), QStringLiteral("700"));
    QTest::keyClick(box, Qt::Key_Return);
    QVERIFY(settle(harness));
    QCOMPARE(describe(harness.takeReceived()), QStringList());
    QCOMPARE(box->value(), 230.0);
}

void TestK27SubScreenConfiguration::nominalCurrentMaximum()
{
    DeviceSim::DeviceSimulatorOptions options;
    options.model
        = {{id(ModelValueID::NominalCurrentMax), 6.6}, {id(ModelValueID::NominalCurrent), 6.5}};
    SubScreenHarness harness(UserLogin::Supervisor, options);
    QVERIFY(harness.start());
    QVERIFY(settle(harness));
    harness.takeReceived();
    auto *nominal = harness.child<QDoubleSpinBox>("doubleSpinBoxNominalCurrent");
    QCOMPARE(harness.window().database()->settings().nominalCurrent().maximum(), 6.6F);

    QCOMPARE(hintOf(harness, "labelNominalCurrentRange"), QStringLiteral("0.1 – 6.6 A"));

    // Up to the device's maximum, and no further.
    QTest::keyClick(nominal, Qt::Key_Up);
    QCOMPARE(nominal->value(), 6.6);
    QTest::keyClick(nominal, Qt::Key_Up);
    QCOMPARE(nominal->value(), 6.6);
    QVERIFY(settle(harness));
    QCOMPARE(describe(harness.takeReceived()), QStringList {"NominalCurrent=6.6"});

    // A smaller device variant: the hint follows the maximum the device reports, and points
    // out the nominal current the device holds above it.
    harness.device().setModelValue(id(ModelValueID::NominalCurrentMax), 2.6);
    QVERIFY(settle(harness));
    QCOMPARE(hintOf(harness, "labelNominalCurrentRange"),
             QStringLiteral("The device holds 6.6 A, outside 0.1 \u2013 2.6 A"));
}

void TestK27SubScreenConfiguration::tripClassItems()
{
    DeviceSim::DeviceSimulatorOptions options;
    options.model = {{id(ModelValueID::TripClass), 2}};
    SubScreenHarness harness(UserLogin::Supervisor, options);
    QVERIFY(harness.start());
    QVERIFY(settle(harness));
    harness.takeReceived();
    auto *combo = harness.child<QComboBox>("comboBoxTripClass");
    QCOMPARE(combo->currentText(), QStringLiteral("5"));

    harness.device().setModelValue(id(ModelValueID::TripClassMax), 3);
    QVERIFY(settle(harness));
    QCOMPARE(comboItems(combo), QStringList({"2E", "3E", "5", "10A"}));
    QCOMPARE(combo->currentText(), QStringLiteral("5"));
    QCOMPARE(Model::Interfaces::Codec::toNumber(
                 harness.window().database()->settings().tripClass().maximum()),
             3U);

    harness.device().setModelValue(id(ModelValueID::TripClassMax), 7);
    QVERIFY(settle(harness));
    QCOMPARE(comboItems(combo), QStringList({"2E", "3E", "5", "10A", "10", "20", "30", "40E"}));
    QCOMPARE(combo->currentText(), QStringLiteral("5"));
    QCOMPARE(describe(harness.takeReceived()), QStringList());
}

void TestK27SubScreenConfiguration::pageOpenedAfterTheRead_data()
{
    QTest::addColumn<QString>("widget");
    QTest::addColumn<int>("value");
    QTest::addColumn<double>("reported");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<double>("reportedLater");
    QTest::addColumn<QString>("shownLater");

    QTest::newRow("nominal current")
        << "doubleSpinBoxNominalCurrent" << int(id(ModelValueID::NominalCurrent)) << 6.0 << "6"
        << 4.5 << "4.5";
    // The items follow the reported maximum, which the device reports first.
    QTest::newRow("trip class") << "comboBoxTripClass" << int(id(ModelValueID::TripClass)) << 6.0
                                << "30" << 7.0 << "40E";
    QTest::newRow("undercurrent switch")
        << "checkBoxUndercurrentEnable" << int(id(ModelValueID::UndercurrentEnable)) << 1.0 << "on"
        << 0.0 << "off";
}

// Opened after the device has reported everything, the page shows what was reported, and
// what is reported afterwards.
void TestK27SubScreenConfiguration::pageOpenedAfterTheRead()
{
    QFETCH(QString, widget);
    QFETCH(int, value);
    QFETCH(double, reported);
    QFETCH(QString, shown);
    QFETCH(double, reportedLater);
    QFETCH(QString, shownLater);

    DeviceSim::DeviceSimulatorOptions options;
    options.model = {{id(ModelValueID::TripClassMax), 7}, {quint16(value), reported}};
    SubScreenHarness harness(UserLogin::Supervisor, options);
    QVERIFY(harness.start());
    QVERIFY(settle(harness));
    K27SubScreen &window = harness.window();
    window.findChild<QPushButton *>(QStringLiteral("pushButtonConfiguration"))->click();
    const QWidget *const field = window.findChild<QWidget *>(widget);
    QVERIFY(field);
    const auto text = [field] {
        if (const auto *box = qobject_cast<const QDoubleSpinBox *>(field))
            return QString::number(box->value());
        if (const auto *combo = qobject_cast<const QComboBox *>(field))
            return combo->currentText();
        return QString::fromLatin1(qobject_cast<const QCheckBox *>(field)->isChecked() ? "on"
                                                                                       : "off");
    };
    QCOMPARE(text(), shown);

    harness.device().setModelValue(quint16(value), reportedLater);
    QVERIFY(settle(harness));
    QCOMPARE(text(), shownLater);
    // Shown, never written back.
    for (const DeviceSim::ReceivedPacket &packet : harness.takeReceived())
        QVERIFY2(packet.command != ZantLinkCommandCode::SetModelValue,
                 qPrintable(packet.toString()));
}

void TestK27SubScreenConfiguration::factoryReset_data()
{
    QTest::addColumn<double>("serialNumber");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("question");

    const QString bySerial = QStringLiteral(
        "Reset the device with serial number 27200987 to its factory settings?\n\nEvery "
        "protection setting on it goes back to its factory value.");
    QTest::newRow("no") << 27200987.0 << false << bySerial;
    QTest::newRow("yes") << 27200987.0 << true << bySerial;
    // A device that has not told its serial number is named by its port.
    QTest::newRow("yes, no serial number")
        << 0.0 << true
        << QStringLiteral("Reset the device on %1 to its factory settings?\n\nEvery protection "
                          "setting on it goes back to its factory value.");
}

void TestK27SubScreenConfiguration::factoryReset()
{
    QFETCH(double, serialNumber);
    QFETCH(bool, yes);
    QFETCH(QString, question);

    DeviceSim::DeviceSimulatorOptions options;
    options.model = {{id(ModelValueID::SerialNumber), serialNumber}};
    SubScreenHarness harness(UserLogin::Supervisor, options);
    QVERIFY(harness.start());
    // Settings away from the factory's (the options would make them the factory's own).
    harness.device().setModelValue(id(ModelValueID::TripClass), 5);
    harness.device().setModelValue(id(ModelValueID::NominalCurrent), 6.0);
    harness.device().setModelValue(id(ModelValueID::UndercurrentThreshold), 3.2);
    harness.device().setModelValue(id(ModelValueID::UndervoltageThreshold), 230);
    harness.device().setModelValue(id(ModelValueID::UndervoltageEnable), 1);
    QVERIFY(settle(harness));
    auto *tripClass = harness.child<QComboBox>("comboBoxTripClass");
    auto *undervoltage = harness.child<QDoubleSpinBox>("doubleSpinBoxUndervoltageThreshold");
    auto *enable = harness.child<QCheckBox>("checkBoxUndervoltageEnable");
    QCOMPARE(tripClass->currentText(), QStringLiteral("20"));
    QCOMPARE(undervoltage->value(), 230.0);
    QVERIFY(enable->isChecked());
    harness.takeReceived();

    TestSupport::QuestionAnswers answers;
    if (yes)
        answers.yes();
    else
        answers.no();
    harness.child<QPushButton>("pushButtonFactoryReset")->click();
    if (question.contains(QLatin1String("%1")))
        question = question.arg(harness.window().portName());
    QCOMPARE(answers.askedTexts(), QStringList {"Reset to factory settings|" + question});
    QVERIFY(settle(harness));
    if (!yes) {
        QCOMPARE(describe(harness.takeReceived()), QStringList());
        QCOMPARE(tripClass->currentText(), QStringLiteral("20"));
        QCOMPARE(harness.device().modelValue(id(ModelValueID::UndercurrentThreshold)),
                 double(3.2F));
        return;
    }
    QCOMPARE(describe(harness.takeReceived()),
             QStringList {QStringLiteral("fire %1").arg(
                 Model::Interfaces::toNumber(ModelActionID::FactoryReset))});
    QCOMPARE(tripClass->currentText(), QStringLiteral("2E"));
    QCOMPARE(undervoltage->value(), 207.0);
    QVERIFY(!enable->isChecked());
    // The defaults were shown, not written back: the factory nominal current of 1.0 A, reported
    // before the factory thresholds, brought no threshold down on the device.
    QVERIFY(settle(harness));
    QCOMPARE(describe(harness.takeReceived()), QStringList());
    QCOMPARE(harness.device().modelValue(id(ModelValueID::UndercurrentThreshold)), double(0.1F));
    QCOMPARE(harness.child<QDoubleSpinBox>("doubleSpinBoxUndercurrentThreshold")->value(), 0.1);
    QVERIFY(harness.child<QLabel>("labelSettingsFileResult")
                ->text()
                .startsWith(QStringLiteral("Factory reset sent to the device ")));
}

void TestK27SubScreenConfiguration::roundTrip_data()
{
    QTest::addColumn<QList<double>>("values");
    // In the order of fileValues.
    QTest::newRow("tenths that are no binary fractions")
        << QList<double> {3, 2.1, 1, 1, 0.53, 1, 1, 229.99, 1, 1, 253.5, 0};
    QTest::newRow("example device") << QList<double> {3, 2.6, 1, 0, 0.5, 0, 1, 195, 1, 0, 253, 0};
    QTest::newRow("two decimals everywhere")
        << QList<double> {7, 9.9, 0, 1, 0.01, 1, 0, 0.01, 0, 1, 599.99, 1};
}

void TestK27SubScreenConfiguration::roundTrip()
{
    QFETCH(QList<double>, values);
    SubScreenHarness harness(UserLogin::Supervisor);
    QVERIFY(harness.start());
    QVERIFY(settle(harness));
    for (int i = 0; i < fileValues.size(); ++i)
        harness.device().setModelValue(id(fileValues.at(i)), values.at(i));
    QVERIFY(settle(harness));
    harness.takeReceived();

    const QString path = QDir(harness.folder()).filePath(QStringLiteral("device.json"));
    harness.window().exportSettings(path);
    auto *result = harness.child<QLabel>("labelSettingsFileResult");
    QCOMPARE(result->text(), QStringLiteral("Settings exported to %1").arg(path));
    QCOMPARE(harness.window().configuration()->settingsDir(), path);

    // Another device's settings meanwhile; the import brings back every one exactly.
    const QList<double> other {0, 1, 0, 0, 0.1, 0, 0, 207, 0, 0, 260, 0};
    for (int i = 0; i < fileValues.size(); ++i)
        harness.device().setModelValue(id(fileValues.at(i)), other.at(i));
    QVERIFY(settle(harness));
    harness.takeReceived();

    // The table ticks the settings that differ; only those are written.
    TestSupport::CompareAnswers compare;
    compare.writeProposed();
    harness.window().importSettings(path);
    QVERIFY(settle(harness));
    QCOMPARE(compare.shown().size(), 1);
    int differing = 0;
    for (int i = 0; i < fileValues.size(); ++i)
        differing += values.at(i) != other.at(i) ? 1 : 0;
    QCOMPARE(qPopulationCount(compare.shown().first().differing()), uint(differing));
    QCOMPARE(harness.takeReceived().size(), differing);
    for (int i = 0; i < fileValues.size(); ++i) {
        const quint16 identifier = id(fileValues.at(i));
        const double expected = isFloat(identifier) ? double(float(values.at(i))) : values.at(i);
        QVERIFY2(harness.device().modelValue(identifier) == expected,
                 qPrintable(QStringLiteral("%1: %2 instead of %3")
                                .arg(Model::Interfaces::modelValueName(identifier))
                                .arg(harness.device().modelValue(identifier), 0, 'g', 9)
                                .arg(expected, 0, 'g', 9)));
    }
    QVERIFY(result->text().startsWith(
        QStringLiteral("Settings imported from %1: %2 values confirmed by the device\n")
            .arg(path)
            .arg(differing)));
    QVERIFY2(result->text().contains(QStringLiteral("Trip class 2E \u2192 ")),
             qPrintable(result->text()));
}

void TestK27SubScreenConfiguration::refusedImport_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason");
    // Whether the file is read and shown beside the device before the device's ranges refuse it.
    QTest::addColumn<bool>("compared");
    QTest::newRow("trip class as a string")
        << QByteArray(R"({"TripClass": "3", "OverloadReset": true})")
        << "\"TripClass\" must be a number" << false;
    QTest::newRow("trip class with a fraction")
        << QByteArray(R"({"TripClass": 2.5})") << "\"TripClass\" must be a whole number" << false;
    QTest::newRow("nominal current above the device's maximum")
        << QByteArray(R"({"NominalCurrent": 12.0, "TripClass": 1})")
        << "\"NominalCurrent\" is 12, outside 0.1 to 9.9" << true;
    QTest::newRow("threshold as a string")
        << QByteArray(R"({"TripClass": 1, "Undervoltage": {"Threshold": "230"}})")
        << "in \"Undervoltage\": \"Threshold\" must be a number" << false;
    QTest::newRow("not JSON") << QByteArray("{\"TripClass\": 1") << "it is not valid JSON ("
                              << false;
    QTest::newRow("no file") << QByteArray() << "the file does not exist" << false;
}

void TestK27SubScreenConfiguration::refusedImport()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    QFETCH(bool, compared);
    TestSupport::CompareAnswers compare;
    if (compared)
        compare.writeProposed();
    SubScreenHarness *const shared = sharedHarness();
    QVERIFY(shared != nullptr);
    SubScreenHarness &harness = *shared;
    harness.window().configuration()->setSettingsDir(QStringLiteral("/earlier/settings.json"));

    const QString path = QDir(harness.folder()).filePath(QStringLiteral("bad.json"));
    QFile::remove(path);
    if (!content.isEmpty())
        QVERIFY(writeFile(path, content));
    harness.window().importSettings(path);
    QVERIFY(settle(harness));
    QCOMPARE(describe(harness.takeReceived()), QStringList());
    const QString text = harness.child<QLabel>("labelSettingsFileResult")->text();
    QVERIFY2(text.startsWith(QStringLiteral("Settings not imported from %1: %2").arg(path, reason)),
             qPrintable(text));
    QVERIFY2(text.endsWith(QStringLiteral(". Nothing was sent.")), qPrintable(text));
    QCOMPARE(harness.window().configuration()->settingsDir(),
             QStringLiteral("/earlier/settings.json"));
}

void TestK27SubScreenConfiguration::importWritesOnlyWhatTheFileCarries()
{
    DeviceSim::DeviceSimulatorOptions options;
    options.model = {{id(ModelValueID::NominalCurrent), 2.6}, {id(ModelValueID::TripClass), 3}};
    SubScreenHarness harness(UserLogin::Supervisor, options);
    QVERIFY(harness.start());
    QVERIFY(settle(harness));
    harness.takeReceived();

    const QString path = QDir(harness.folder()).filePath(QStringLiteral("part.json"));
    QVERIFY(writeFile(path, R"({"OverloadReset": true, "Unknown": 5})"));
    TestSupport::CompareAnswers compare;
    compare.writeProposed();
    harness.window().importSettings(path);
    QVERIFY(settle(harness));
    QCOMPARE(describe(harness.takeReceived()), QStringList {"OverloadReset=1"});
    QCOMPARE(harness.child<QLabel>("labelSettingsFileResult")->text(),
             QStringLiteral("Settings imported from %1: 1 value confirmed by the device\n"
                            "Automatic reset manual \u2192 automatic")
                 .arg(path));
    QCOMPARE(harness.device().modelValue(id(ModelValueID::NominalCurrent)), double(2.6F));
    QCOMPARE(harness.device().modelValue(id(ModelValueID::TripClass)), 3.0);
    QVERIFY(harness.child<QCheckBox>("checkBoxAutoReset")->isChecked());
}

void TestK27SubScreenConfiguration::failedExport()
{
    SubScreenHarness harness(UserLogin::Supervisor);
    QVERIFY(harness.start());
    QVERIFY(settle(harness));
    harness.window().configuration()->setSettingsDir(QStringLiteral("/earlier/settings.json"));
    const QString folder = QDir(harness.folder()).filePath(QStringLiteral("exports"));
    QVERIFY(QDir().mkdir(folder));
    const QString path = QDir(folder).filePath(QStringLiteral("device.json"));
    const QByteArray old = "{\"TripClass\": 1}\n";
    QVERIFY(writeFile(path, old));
    auto *result = harness.child<QLabel>("labelSettingsFileResult");

    // A folder the program may not write to (only an unprivileged user is kept out).
    if (::geteuid() != 0) {
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        harness.window().exportSettings(path);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY2(result->text().startsWith(
                     QStringLiteral("Settings not exported to %1: it cannot be written").arg(path)),
                 qPrintable(result->text()));
        QCOMPARE(readFile(path), old);
        result->clear();
    }

    // A disk that takes only part of the file.
    {
        FileSizeLimit limit(64);
        QVERIFY(limit.isValid());
        harness.window().exportSettings(path);
    }
    QVERIFY2(result->text().startsWith(
                 QStringLiteral("Settings not exported to %1: it cannot be written").arg(path)),
             qPrintable(result->text()));
    QCOMPARE(readFile(path), old);
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList {"device.json"});
    QCOMPARE(harness.window().configuration()->settingsDir(),
             QStringLiteral("/earlier/settings.json"));
}

void TestK27SubScreenConfiguration::fileDialogs()
{
    SubScreenHarness harness(UserLogin::Supervisor);
    QVERIFY(harness.start());
    QVERIFY(settle(harness));
    harness.takeReceived();
    auto *result = harness.child<QLabel>("labelSettingsFileResult");
    const QString path = QDir(harness.folder()).filePath(QStringLiteral("chosen.json"));

    TestSupport::FileAnswers answers;

    // Cancelled: nothing written, nothing remembered.
    answers.cancel();
    harness.child<QPushButton>("pushButtonExport")->click();
    answers.cancel();
    harness.child<QPushButton>("pushButtonImport")->click();
    QVERIFY(result->text().isEmpty());
    QVERIFY(!QFile::exists(path));
    QVERIFY(harness.window().configuration()->settingsDir().isEmpty());

    answers.choose(path);
    harness.child<QPushButton>("pushButtonExport")->click();
    QVERIFY(QFile::exists(path));
    QCOMPARE(harness.window().configuration()->settingsDir(), path);

    // The file holds what the device holds: the table offers nothing to write.
    TestSupport::CompareAnswers compare;
    compare.cancel();
    answers.choose(path);
    harness.child<QPushButton>("pushButtonImport")->click();
    QVERIFY(settle(harness));
    QCOMPARE(harness.takeReceived().size(), 0);
    QCOMPARE(compare.shown().size(), 1);
    QCOMPARE(compare.shown().first().rows().size(), 12);
    QVERIFY(compare.shown().first().matches());
    QCOMPARE(
        result->text(),
        QStringLiteral("The device already holds the settings of %1. Nothing was sent.").arg(path));

    // Both ask in the place of the last file written or read.
    QCOMPARE(answers.askedTexts(),
             QStringList({"Save|Export settings||JSON Files (*.json)",
                          "Open|Import settings||JSON Files (*.json)",
                          "Save|Export settings||JSON Files (*.json)",
                          "Open|Import settings|" + path + "|JSON Files (*.json)"}));

    // The configuration file remembers the last file.
    Application::K27::Config reread;
    QVERIFY(reread.load());
    QCOMPARE(reread.settingsDir(), path);
}

// EXPORT to a name typed without an extension writes "<name>.json", which IMPORT's filter
// shows and which imports again.
void TestK27SubScreenConfiguration::exportedNameTakesItsExtension()
{
    SubScreenHarness harness(UserLogin::Supervisor);
    QVERIFY(harness.start());
    QVERIFY(settle(harness));
    harness.takeReceived();
    const QString typed = QDir(harness.folder()).filePath(QStringLiteral("export1"));
    const QString written = typed + QStringLiteral(".json");

    TestSupport::FileAnswers answers;
    answers.choose(typed);
    harness.child<QPushButton>("pushButtonExport")->click();
    QVERIFY(QFile::exists(written));
    QVERIFY(!QFile::exists(typed));
    QCOMPARE(harness.window().configuration()->settingsDir(), written);
    QVERIFY2(harness.child<QLabel>("labelSettingsFileResult")->text().contains(written),
             qPrintable(harness.child<QLabel>("labelSettingsFileResult")->text()));

    harness.device().setModelValue(id(ModelValueID::TripClass), 5);
    QVERIFY(settle(harness));
    TestSupport::CompareAnswers compare;
    compare.writeProposed();
    answers.choose(written);
    harness.child<QPushButton>("pushButtonImport")->click();
    QVERIFY(settle(harness));
    QVERIFY2(harness.child<QLabel>("labelSettingsFileResult")
                 ->text()
                 .startsWith(QStringLiteral("Settings imported from %1: 1 value confirmed by the "
                                            "device\nTrip class ")
                                 .arg(written)),
             qPrintable(harness.child<QLabel>("labelSettingsFileResult")->text()));
}

void TestK27SubScreenConfiguration::offlineFactoryResetAsksNothing()
{
    SubScreenHarness harness(UserLogin::Supervisor);
    harness.makeWindow(QStringLiteral("Offline"));
    harness.run();
    // No answers: a question would fail the test.
    TestSupport::QuestionAnswers answers;
    harness.child<QPushButton>("pushButtonFactoryReset")->click();
    QVERIFY(answers.asked().isEmpty());
    QCOMPARE(harness.child<QLabel>("labelSettingsFileResult")->text(),
             QStringLiteral("Not reset: no device is connected."));
}

void TestK27SubScreenConfiguration::offlineWindowKeepsNoFile()
{
    SubScreenHarness harness(UserLogin::Supervisor);
    K27SubScreen &window = harness.makeWindow(QStringLiteral("Offline"));
    harness.run();
    const QString path = QDir(harness.folder()).filePath(QStringLiteral("offline.json"));
    auto *result = harness.child<QLabel>("labelSettingsFileResult");

    // The model holds no device's settings: nothing is exported as if it did.
    window.exportSettings(path);
    QCOMPARE(result->text(),
             QStringLiteral("Settings not exported to %1: no device is connected.").arg(path));
    QVERIFY(!QFile::exists(path));

    QVERIFY(writeFile(path, R"({"TripClass": 1})"));
    window.importSettings(path);
    QCOMPARE(result->text(),
             QStringLiteral("Settings not imported from %1: no device is connected. Nothing was "
                            "sent.")
                 .arg(path));
    QCOMPARE(Model::Interfaces::Codec::toNumber(window.database()->settings().tripClass().value()),
             0U);
    QVERIFY(window.configuration()->settingsDir().isEmpty());
}

void TestK27SubScreenConfiguration::unreportedSettingsAreNeitherExportedNorImported()
{
    // A Platform in its bootloader answers its name but no model request: the window's model
    // keeps the catalogue's defaults, which are no device's settings.
    SubScreenHarness harness(UserLogin::Supervisor);
    QVERIFY(harness.startDevice());
    harness.device().platform().jumpToBootloader();
    harness.makeWindow();
    harness.run();
    QVERIFY(settle(harness));
    harness.takeReceived();
    harness.window().configuration()->setSettingsDir(QStringLiteral("/earlier/settings.json"));
    auto *result = harness.child<QLabel>("labelSettingsFileResult");
    const QString path = QDir(harness.folder()).filePath(QStringLiteral("device.json"));

    harness.window().exportSettings(path);
    QCOMPARE(result->text(),
             QStringLiteral("Settings not exported to %1: the device's platform is in its "
                            "bootloader and reports no settings.")
                 .arg(path));
    QVERIFY(!QFile::exists(path));

    QVERIFY(writeFile(path, R"({"TripClass": 1, "OverloadReset": true})"));
    harness.window().importSettings(path);
    QVERIFY(settle(harness));
    QCOMPARE(describe(harness.takeReceived()), QStringList());
    QCOMPARE(result->text(),
             QStringLiteral("Settings not imported from %1: the device's platform is in its "
                            "bootloader and reports no settings. Nothing was sent.")
                 .arg(path));
    QCOMPARE(harness.window().configuration()->settingsDir(),
             QStringLiteral("/earlier/settings.json"));
}

K27_TEST_MAIN(TestK27SubScreenConfiguration)
#include "tst_gui_k27subscreenconfiguration.moc"

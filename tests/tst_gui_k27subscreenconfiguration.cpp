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
#include "support/FileAnswers.h"
#include "support/FileSizeLimit.h"
#include "support/SubScreenHarness.h"
#include "support/TestSupport.h"
#include "support/TrappedTest.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QLabel>
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

constexpr quint16 id(ModelValueID value)
{
    return Model::Interfaces::toNumber(value);
}

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

} // namespace

class TestK27SubScreenConfiguration : public TestSupport::TrappedTest
{
    Q_OBJECT

private slots:
    void reportedValuesSendNothing();
    void settingsPages();
    void userChanges_data();
    void userChanges();
    void nominalCurrentLimitsThresholds();
    void nominalCurrentMaximum();
    void tripClassItems();
    void factoryReset();
    void roundTrip_data();
    void roundTrip();
    void refusedImport_data();
    void refusedImport();
    void importWritesOnlyWhatTheFileCarries();
    void failedExport();
    void fileDialogs();
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
    // step: the spin box one step up; index: the combo's index; click: the check box.
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
    QTest::newRow("load asymmetry threshold") << "doubleSpinBoxAsymmetryThreshold"
                                              << "step" << 0 << "LoadAsymmetryThreshold=0.2";
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
        harness.child<QDoubleSpinBox>(name.constData())->stepBy(1);
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

void TestK27SubScreenConfiguration::nominalCurrentLimitsThresholds()
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
    QCOMPARE(undercurrent->maximum(), 5.0);

    // 2.0 A: the undercurrent threshold of 3.0 A comes down to 2.0 A, on the device too.
    harness.device().setModelValue(id(ModelValueID::NominalCurrent), 2.0);
    QVERIFY(settle(harness));
    QCOMPARE(describe(harness.takeReceived()), QStringList {"UndercurrentThreshold=2"});
    QCOMPARE(undercurrent->maximum(), 2.0);
    QCOMPARE(asymmetry->maximum(), 2.0);
    QCOMPARE(undercurrent->value(), 2.0);
    QCOMPARE(asymmetry->value(), 1.0);
    QCOMPARE(harness.device().modelValue(id(ModelValueID::UndercurrentThreshold)), 2.0);
    QCOMPARE(harness.window().database()->settings().undercurrentThreshold().maximum(), 2.0F);

    // 0.5 A: both thresholds come down, in the order of the page.
    harness.device().setModelValue(id(ModelValueID::NominalCurrent), 0.5);
    QVERIFY(settle(harness));
    QCOMPARE(describe(harness.takeReceived()),
             QStringList({"UndercurrentThreshold=0.5", "LoadAsymmetryThreshold=0.5"}));
    QCOMPARE(asymmetry->value(), 0.5);

    // Raising the nominal current again raises the maxima and writes nothing.
    harness.device().setModelValue(id(ModelValueID::NominalCurrent), 4.0);
    QVERIFY(settle(harness));
    QCOMPARE(describe(harness.takeReceived()), QStringList());
    QCOMPARE(undercurrent->maximum(), 4.0);
    QCOMPARE(undercurrent->value(), 0.5);
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
    QCOMPARE(nominal->maximum(), 6.6);
    QCOMPARE(harness.window().database()->settings().nominalCurrent().maximum(), 6.6F);

    nominal->stepBy(1);
    QCOMPARE(nominal->value(), 6.6);
    nominal->stepBy(1);
    QCOMPARE(nominal->value(), 6.6);
    QVERIFY(settle(harness));
    QCOMPARE(describe(harness.takeReceived()), QStringList {"NominalCurrent=6.6"});
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

void TestK27SubScreenConfiguration::factoryReset()
{
    SubScreenHarness harness(UserLogin::Supervisor);
    QVERIFY(harness.start());
    QVERIFY(settle(harness));
    harness.device().setModelValue(id(ModelValueID::TripClass), 5);
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

    harness.child<QPushButton>("pushButtonFactoryReset")->click();
    QVERIFY(settle(harness));
    QCOMPARE(describe(harness.takeReceived()),
             QStringList {QStringLiteral("fire %1").arg(
                 Model::Interfaces::toNumber(ModelActionID::FactoryReset))});
    QCOMPARE(tripClass->currentText(), QStringLiteral("2E"));
    QCOMPARE(undervoltage->value(), 207.0);
    QVERIFY(!enable->isChecked());
    // The defaults were shown, not written back.
    QVERIFY(settle(harness));
    QCOMPARE(describe(harness.takeReceived()), QStringList());
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

    harness.window().importSettings(path);
    QVERIFY(settle(harness));
    QCOMPARE(harness.takeReceived().size(), 12);
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
        QStringLiteral("Settings imported from %1: 12 values confirmed by the device\n")
            .arg(path)));
    QVERIFY2(result->text().contains(QStringLiteral("Trip class 2E \u2192 ")),
             qPrintable(result->text()));
}

void TestK27SubScreenConfiguration::refusedImport_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason");
    QTest::newRow("trip class as a string")
        << QByteArray(R"({"TripClass": "3", "OverloadReset": true})")
        << "\"TripClass\" must be a number";
    QTest::newRow("trip class with a fraction")
        << QByteArray(R"({"TripClass": 2.5})") << "\"TripClass\" must be a whole number";
    QTest::newRow("nominal current above the device's maximum")
        << QByteArray(R"({"NominalCurrent": 12.0, "TripClass": 1})")
        << "\"NominalCurrent\" is 12, outside 0.1 to 9.9";
    QTest::newRow("threshold as a string")
        << QByteArray(R"({"TripClass": 1, "Undervoltage": {"Threshold": "230"}})")
        << "in \"Undervoltage\": \"Threshold\" must be a number";
    QTest::newRow("not JSON") << QByteArray("{\"TripClass\": 1") << "it is not valid JSON (";
    QTest::newRow("no file") << QByteArray() << "the file does not exist";
}

void TestK27SubScreenConfiguration::refusedImport()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
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

    answers.choose(path);
    harness.child<QPushButton>("pushButtonImport")->click();
    QVERIFY(settle(harness));
    QCOMPARE(harness.takeReceived().size(), 12);
    QCOMPARE(
        result->text(),
        QStringLiteral("Settings imported from %1: 12 values confirmed by the device").arg(path));

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

QTEST_MAIN(TestK27SubScreenConfiguration)
#include "tst_gui_k27subscreenconfiguration.moc"

// The device window against a simulated device in the same process: what it shows for what
// the device reports, what it sends for what the user does, and what each user level may do.

#include "ToolVersion.h"
#include "application/core/DemoFaultKinds.h"
#include "application/core/UserLogin.h"
#include "application/windows/K27SubScreen.h"
#include "application/windows/ReportedValue.h"
#include "application/windows/StatusPicture.h"
#include "component/ZantLinkCommandCode.h"
#include "component/ZantLinkPacket.h"
#include "model/interfaces/ModelActionID.h"
#include "model/interfaces/ModelValueID.h"
#include "support/GermanTranslation.h"
#include "support/LinkBytes.h"
#include "support/SubScreenHarness.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"
#include "support/ValueNumber.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QtTest>
#include <memory>

using Component::Interfaces::ZantLinkPacket;
using Component::K27::ZantLinkCommandCode;
using Model::Interfaces::ModelActionID;
using Model::Interfaces::ModelValueID;
using Service::K27::ZantLinkTerminalService;
using TestSupport::SubScreenHarness;

namespace {

using TestSupport::id;

constexpr quint16 action(ModelActionID value)
{
    return Model::Interfaces::toNumber(value);
}

using Reports = QList<QPair<quint16, double>>;

// A "SetModelValue" packet from the Platform, as the device sends it.
QByteArray modelValuePacket(quint16 identifier, const QByteArray &content)
{
    const QByteArray identifierBytes = TestSupport::u16(identifier);
    const ZantLinkPacket::Argument arguments[] {
        {identifierBytes.constData(), 2},
        {content.constData(), static_cast<uint16_t>(content.size())}};
    return ZantLinkPacket::encode(ZantLinkCommandCode::SetModelValue, ZantLinkPacket::Platform,
                                  ZantLinkPacket::Host, arguments, 2);
}

QList<quint16> firedActions(const QList<DeviceSim::ReceivedPacket> &packets)
{
    QList<quint16> actions;
    for (const DeviceSim::ReceivedPacket &packet : packets) {
        if (packet.command == ZantLinkCommandCode::FireModelAction)
            actions.append(quint16(packet.number(0)));
        else
            actions.append(0xFFFF); // anything else is unexpected here
    }
    return actions;
}

QString picture(const QLabel *label)
{
    return label->property("picture").toString();
}

} // namespace

class TestK27SubScreen : public TestSupport::TrappedTest
{
    Q_OBJECT

private slots:
    void formAndStart();
    void offlineWindow();
    void rights_data();
    void rights();
    void identity();
    void platformVersion_data();
    void platformVersion();
    void statusDisplay_data();
    void statusDisplay();
    void pageChanges_data();
    void pageChanges();
    void motorCommands_data();
    void motorCommands();
    void forwardWithAnErrorSaysWhy();
    void controlPageOpenedLate_data();
    void controlPageOpenedLate();
    void resetErrorClearsTheError();
    void resetErrorNeedsTheSettingsRight_data();
    void resetErrorNeedsTheSettingsRight();
    void reportedValuesSendNothing();
    void reportedValueHelperBlocksSignals();
    void motorPicture_data();
    void motorPicture();
    void phaseOutsideTheLabels_data();
    void phaseOutsideTheLabels();
    void fastStreamingKeepsPhases_data();
    void fastStreamingKeepsPhases();
    void germanTexts();
};

void TestK27SubScreen::formAndStart()
{
    SubScreenHarness harness(UserLogin::Admin);
    QVERIFY(harness.startDevice());
    K27SubScreen &window = harness.makeWindow();
    window.buildPages();

    // Every widget of the frame and of the window's own pages, found from the window.
    const char *const names[] {"pushButtonInformations",  "pushButtonConfiguration",
                               "pushButtonData",          "pushButtonControl",
                               "pushButtonAbout",         "pushButtonServiceMode",
                               "labelProductName",        "labelArticleNumberText",
                               "labelArticleNumber",      "labelSerialNumberText",
                               "labelSerialNumber",       "labelSoftwareVersionText",
                               "labelSoftwareVersion",    "labelHardwareRevisionText",
                               "labelHardwareRevision",   "labelTorvexK27Image",
                               "labelFaultInfo",          "labelFaultCode",
                               "labelPackageVersionText", "labelPackageVersion",
                               "labelPortError",          "labelVoltageText_L1_N",
                               "labelVoltage_L1_N",       "labelVoltageText_L2_N",
                               "labelVoltage_L2_N",       "labelVoltageText_L3_N",
                               "labelVoltage_L3_N",       "labelCurrentText_L1",
                               "labelCurrent_L1",         "labelCurrentText_L2",
                               "labelCurrent_L2",         "labelCurrentText_L3",
                               "labelCurrent_L3",         "labelActivePowerText",
                               "labelActivePower",        "labelReactivePowerText",
                               "labelReactivePower",      "labelApparentPowerText",
                               "labelApparentPower",      "labelControlMotor",
                               "labelControlDirection",   "labelControlSoftstart",
                               "labelAboutVersionLabel",  "labelAboutVersion",
                               "labelMotorStatus"};
    for (const char *name : names)
        QVERIFY2(window.findChild<QWidget *>(QString::fromLatin1(name)) != nullptr, name);
    for (const char *name : {"lineArticleNumber", "lineSerialNumber", "lineSoftwareVersion"})
        QVERIFY2(harness.child<QFrame>(name) != nullptr, name);
    for (const char *name : {"textBrowserPackageUpdate", "textBrowserServiceToolUpdate",
                             "textBrowserImpressum", "textBrowserPrivacy"})
        QVERIFY2(harness.child<QTextBrowser>(name) != nullptr, name);

    const auto *stack = harness.child<QStackedWidget>("stackedWidgetMain");
    const QStringList pages {"pageInformation", "pageConfiguration", "pageData",    "pageControl",
                             "pageAbout",       "pageServiceMode",   "pageDemoMode"};
    QCOMPARE(stack->count(), pages.size());
    for (int i = 0; i < pages.size(); ++i)
        QCOMPARE(stack->widget(i)->objectName(), pages.at(i));
    const auto *dataStack = harness.child<QStackedWidget>("stackedWidgetData");
    QCOMPARE(dataStack->widget(0)->objectName(), QStringLiteral("pageVoltageData"));
    QCOMPARE(dataStack->widget(1)->objectName(), QStringLiteral("pageCurrentData"));
    QCOMPARE(dataStack->widget(2)->objectName(), QStringLiteral("pagePowerData"));

    // Opened on the Information page with the form's texts, the update's start and progress
    // hidden, the tool's version on the About page and the port's name as the title until the
    // serial number.
    QVERIFY(harness.child<QPushButton>("pushButtonInformations")->isChecked());
    QCOMPARE(stack->currentIndex(), 0);
    QCOMPARE(harness.child<QLabel>("labelArticleNumber")->text(), QStringLiteral("0"));
    QCOMPARE(harness.child<QLabel>("labelSoftwareVersion")->text(), QStringLiteral("V0.0.0.0"));
    QVERIFY(harness.child<QPushButton>("pushButtonStartPackageUpdate")->isHidden());
    QVERIFY(harness.child<QProgressBar>("progressBarPackageUpdate")->isHidden());
    QCOMPARE(harness.child<QLabel>("labelAboutVersion")->text(), QLatin1String(ToolVersion::text));
    QCOMPARE(window.windowTitle(), QFileInfo(harness.device().portName()).fileName());
    QCOMPARE(window.portName(), harness.device().portName());
    QVERIFY(window.canClose());
    QVERIFY(harness.child<QLabel>("labelPortError")->text().isEmpty());

    // Opening on the Information page stops any measurement, before the window runs.
    harness.run();
    QVERIFY(harness.barrier());
    const QList<DeviceSim::ReceivedPacket> received = harness.takeReceived();
    QCOMPARE(received.size(), 1 + 47);
    QCOMPARE(firedActions(received.mid(0, 1)),
             QList<quint16>({action(ModelActionID::StopMeasurement)}));
}

void TestK27SubScreen::offlineWindow()
{
    SubScreenHarness harness(UserLogin::Customer);
    K27SubScreen &window = harness.makeWindow(QStringLiteral("Offline"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Offline"));
    harness.run();
    harness.child<QPushButton>("pushButtonData")->click();
    QCOMPARE(harness.child<QStackedWidget>("stackedWidgetMain")->currentIndex(), 2);
    QVERIFY(harness.child<QLabel>("labelPortError")->isHidden());
    window.setTitleMark(QStringLiteral("SIMULATED DEVICE"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Offline - SIMULATED DEVICE"));
}

void TestK27SubScreen::rights_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("configuration");
    QTest::addColumn<bool>("data");
    QTest::addColumn<bool>("control");
    QTest::addColumn<bool>("serviceMode");
    QTest::addColumn<QString>("serviceText");
    QTest::addColumn<int>("servicePage");
    QTest::addColumn<bool>("updatePanel");

    QTest::newRow("none") << int(UserLogin::PleaseSelect) << false << false << false << false
                          << "Service Mode" << 0 << false;
    QTest::newRow("customer") << int(UserLogin::Customer) << false << true << false << false
                              << "Service Mode" << 0 << false;
    QTest::newRow("supervisor") << int(UserLogin::Supervisor) << true << true << true << false
                                << "Service Mode" << 0 << true;
    QTest::newRow("admin") << int(UserLogin::Admin) << true << true << true << true
                           << "Service Mode" << 5 << true;
    QTest::newRow("demo") << int(UserLogin::Demo) << false << false << false << true << "Demo" << 6
                          << true;
}

void TestK27SubScreen::rights()
{
    QFETCH(int, level);
    QFETCH(bool, configuration);
    QFETCH(bool, data);
    QFETCH(bool, control);
    QFETCH(bool, serviceMode);
    QFETCH(QString, serviceText);
    QFETCH(int, servicePage);
    QFETCH(bool, updatePanel);

    SubScreenHarness harness(level);
    QVERIFY(harness.start());
    QVERIFY(harness.child<QPushButton>("pushButtonInformations")->isEnabled());
    QVERIFY(harness.child<QPushButton>("pushButtonAbout")->isEnabled());
    QCOMPARE(harness.child<QPushButton>("pushButtonConfiguration")->isEnabled(), configuration);
    QCOMPARE(harness.child<QPushButton>("pushButtonData")->isEnabled(), data);
    QCOMPARE(harness.child<QPushButton>("pushButtonControl")->isEnabled(), control);
    auto *service = harness.child<QPushButton>("pushButtonServiceMode");
    QCOMPARE(service->isEnabled(), serviceMode);
    QCOMPARE(service->text(), serviceText);
    QCOMPARE(!harness.child<QTextBrowser>("textBrowserPackageUpdate")->isHidden(), updatePanel);
    QCOMPARE(!harness.child<QPushButton>("pushButtonOpenUpdatePackage")->isHidden(), updatePanel);
    // Softstart is a right no level holds.
    QVERIFY(harness.child<QLabel>("labelControlSoftstart")->isHidden());
    QVERIFY(harness.child<QCheckBox>("checkBoxControlSoftstart")->isHidden());
    QVERIFY(harness.child<QLabel>("labelSoftstart")->isHidden());
    QVERIFY(harness.child<QCheckBox>("checkBoxSoftstart")->isHidden());

    // The service button opens its page and stops the measurement, or does nothing at all.
    harness.takeReceived();
    service->click();
    QVERIFY(harness.barrier());
    QCOMPARE(harness.child<QStackedWidget>("stackedWidgetMain")->currentIndex(), servicePage);
    QCOMPARE(firedActions(harness.takeReceived()),
             serviceMode ? QList<quint16>(
                 {action(ModelActionID::StopMeasurement), action(ModelActionID::StopMeasurement)})
                         : QList<quint16>());
}

void TestK27SubScreen::identity()
{
    DeviceSim::DeviceSimulatorOptions options;
    options.model = {{id(ModelValueID::ArticleNumber), 36262},
                     {id(ModelValueID::ArticleIndex), 'C'},
                     {id(ModelValueID::SerialNumber), 123456},
                     {id(ModelValueID::HardwareIDControllerBoard), 1},
                     {id(ModelValueID::HardwareIDPowerBoard), 0x2A},
                     {id(ModelValueID::HardwareIDDisplayBoard), 3}};
    options.platform.application = 0x01020304;
    SubScreenHarness harness(UserLogin::Customer, options);
    QVERIFY(harness.start());

    QCOMPARE(harness.child<QLabel>("labelProductName")->text(),
             QStringLiteral("TORVEX®K27 Serra Plus 6,6 A"));
    QCOMPARE(harness.child<QLabel>("labelArticleNumber")->text(), QStringLiteral("36262C"));
    QCOMPARE(harness.child<QLabel>("labelSerialNumber")->text(), QStringLiteral("123456"));
    QCOMPARE(harness.window().windowTitle(), QStringLiteral("123456"));
    QCOMPARE(harness.child<QLabel>("labelSoftwareVersion")->text(), QStringLiteral("V1.2.3.4"));
    QCOMPARE(harness.child<QLabel>("labelHardwareRevision")->text(), QStringLiteral("01:2A:03"));
    // The model is read faults first, article number last: the picture comes with the
    // article number.
    QCOMPARE(picture(harness.child<QLabel>("labelTorvexK27Image")),
             QStringLiteral(":/images/torvex_k27_serra+_standby.png"));

    harness.window().setTitleMark(QStringLiteral("SIMULATED DEVICE"));
    QCOMPARE(harness.window().windowTitle(), QStringLiteral("123456 - SIMULATED DEVICE"));

    // An article number outside the device classes: no product name, the picture stays.
    harness.device().setModelValue(id(ModelValueID::ArticleNumber), 11111);
    QVERIFY(harness.barrier());
    QCOMPARE(harness.child<QLabel>("labelProductName")->text(), QStringLiteral(" "));
    QCOMPARE(harness.child<QLabel>("labelArticleNumber")->text(), QStringLiteral("11111C"));
    QCOMPARE(picture(harness.child<QLabel>("labelTorvexK27Image")),
             QStringLiteral(":/images/torvex_k27_serra+_standby.png"));
}

void TestK27SubScreen::platformVersion_data()
{
    QTest::addColumn<double>("version");
    QTest::addColumn<QString>("caption1");
    QTest::addColumn<QString>("caption3");
    QTest::addColumn<bool>("asymmetry");

    QTest::newRow("V0.4.3.1") << double(0x00040301) << "Voltage L1 - N"
                              << "Voltage L3 - N" << false;
    QTest::newRow("V0.4.3.2") << double(0x00040302) << "Voltage L1 - L2"
                              << "Voltage L3 - L1" << true;
    QTest::newRow("V1.0.0.0") << double(0x01000000) << "Voltage L1 - L2"
                              << "Voltage L3 - L1" << true;
}

void TestK27SubScreen::platformVersion()
{
    QFETCH(double, version);
    QFETCH(QString, caption1);
    QFETCH(QString, caption3);
    QFETCH(bool, asymmetry);

    SubScreenHarness harness(UserLogin::Admin);
    QVERIFY(harness.start());
    harness.device().setModelValue(id(ModelValueID::PlatformVersion), version);
    QVERIFY(harness.barrier());
    QCOMPARE(harness.child<QLabel>("labelVoltageText_L1_N")->text(), caption1);
    QCOMPARE(harness.child<QLabel>("labelVoltageText_L3_N")->text(), caption3);
    QCOMPARE(!harness.child<QPushButton>("pushButtonAsymmetrySettings")->isHidden(), asymmetry);
}

void TestK27SubScreen::statusDisplay_data()
{
    QTest::addColumn<double>("articleNumber");
    QTest::addColumn<Reports>("reports");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("faultText");
    QTest::addColumn<QString>("faultCode");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("direction");

    const quint16 warning = id(ModelValueID::Warning);
    const quint16 error = id(ModelValueID::Error);
    const quint16 mode = id(ModelValueID::OperatingMode);
    const quint16 phase = id(ModelValueID::FaultPhase);
    const quint16 capacity = id(ModelValueID::CapacityIndicator);
    const QString serra = QStringLiteral(":/images/torvex_k27_serra_%1.png");
    const QString serraPlus = QStringLiteral(":/images/torvex_k27_serra+_%1.png");
    const QString forward = QStringLiteral(":/images/forward.png");
    const QString backward = QStringLiteral(":/images/backward.png");

    QTest::newRow("idle") << 36246.0 << Reports {} << "K27 Status: Idle"
                          << ""
                          << "" << serra.arg("standby") << "";
    QTest::newRow("forward") << 36250.0 << Reports {{mode, 1}} << "K27 Status: Forward"
                             << ""
                             << "" << serra.arg("operating") << forward;
    QTest::newRow("backward") << 36258.0 << Reports {{mode, 2}} << "K27 Status: Backward"
                              << ""
                              << "" << serraPlus.arg("operating") << backward;
    QTest::newRow("safety stop changes nothing")
        << 36258.0 << Reports {{mode, 1}, {mode, 3}} << "K27 Status: Forward"
        << ""
        << "" << serraPlus.arg("operating") << forward;
    QTest::newRow("forward during a warning")
        << 36262.0 << Reports {{warning, 9}, {mode, 1}} << "K27 Status: Warning"
        << "Overtemperature "
        << "W 1405" << serraPlus.arg("warning") << forward;
    QTest::newRow("error supply with phase")
        << 36262.0 << Reports {{phase, 1}, {error, 8}} << "K27 Status: Error"
        << "Overvoltage Supply L2"
        << "E 1403" << serraPlus.arg("error_supply") << "";
    QTest::newRow("error clears the direction")
        << 36262.0 << Reports {{mode, 1}, {phase, 3}, {error, 1}} << "K27 Status: Error"
        << "Short Circuit L1 / L2 / L3"
        << "E 1410" << serraPlus.arg("error_load") << "";
    QTest::newRow("error overload with capacity")
        << 36246.0 << Reports {{capacity, 87}, {error, 2}} << "K27 Status: Error"
        << "Overload 87 %"
        << "E 1406" << serra.arg("error_load") << "";
    QTest::newRow("warning overload with capacity")
        << 36246.0 << Reports {{capacity, 64}, {warning, 2}} << "K27 Status: Warning"
        << "Overload 64 %"
        << "W 1406" << serra.arg("warning_load") << "";
    QTest::newRow("warning asymmetry with phase")
        << 36246.0 << Reports {{phase, 2}, {warning, 3}} << "K27 Status: Warning"
        << "Phase Asymmetry L3"
        << "W 1407" << serra.arg("warning_load") << "";
    QTest::newRow("warning security clearance")
        << 36246.0 << Reports {{warning, 14}} << "K27 Status: Warning"
        << "Security Clearance "
        << "W 1415" << serra.arg("warning_supply") << "";
    QTest::newRow("error security clearance")
        << 36246.0 << Reports {{error, 14}} << "K27 Status: Error"
        << "Security Clearance "
        << "E 1415" << serra.arg("error") << "";
    QTest::newRow("error wins over warning")
        << 36246.0 << Reports {{warning, 5}, {error, 10}} << "K27 Status: Error"
        << "Undervoltage Aux "
        << "E 1413" << serra.arg("error_supply") << "";
    QTest::newRow("warning 15 keeps the picture")
        << 36262.0 << Reports {{warning, 6}, {warning, 15}} << "K27 Status: Warning"
        << "  "
        << "W 1416" << serraPlus.arg("warning_supply") << "";
    QTest::newRow("error 15") << 36262.0 << Reports {{error, 15}} << "K27 Status: Error"
                              << "  "
                              << " " << serraPlus.arg("error") << "";
    QTest::newRow("warning 16") << 36262.0 << Reports {{warning, 16}} << "K27 Status: Warning"
                                << "  "
                                << " " << serraPlus.arg("warning") << "";
    QTest::newRow("error 16") << 36262.0 << Reports {{error, 16}} << "K27 Status: Error"
                              << "  "
                              << " " << serraPlus.arg("error") << "";
    QTest::newRow("clearing faults redraws the operating mode")
        << 36262.0 << Reports {{mode, 2}, {warning, 7}, {warning, 0}} << "K27 Status: Backward"
        << ""
        << "" << serraPlus.arg("operating") << backward;
    QTest::newRow("clearing an error redraws the operating mode")
        << 36262.0 << Reports {{error, 4}, {error, 0}} << "K27 Status: Idle"
        << ""
        << "" << serraPlus.arg("standby") << "";
    QTest::newRow("unknown article number: the picture stays")
        << 36246.0 << Reports {{id(ModelValueID::ArticleNumber), 12345}, {error, 8}}
        << "K27 Status: Error"
        << "Overvoltage Supply L1"
        << "E 1403" << serra.arg("standby") << "";
}

void TestK27SubScreen::statusDisplay()
{
    QFETCH(double, articleNumber);
    QFETCH(Reports, reports);
    QFETCH(QString, status);
    QFETCH(QString, faultText);
    QFETCH(QString, faultCode);
    QFETCH(QString, picture);
    QFETCH(QString, direction);

    DeviceSim::DeviceSimulatorOptions options;
    options.model = {{id(ModelValueID::ArticleNumber), articleNumber}};
    SubScreenHarness harness(UserLogin::Admin, options);
    QVERIFY(harness.start());
    for (const auto &report : reports)
        harness.device().setModelValue(report.first, report.second);
    QVERIFY(harness.barrier());

    QCOMPARE(harness.child<QLabel>("labelMotorStatus")->text(), status);
    QCOMPARE(harness.child<QLabel>("labelFaultInfo")->text(), faultText);
    QCOMPARE(harness.child<QLabel>("labelFaultCode")->text(), faultCode);
    const auto *image = harness.child<QLabel>("labelTorvexK27Image");
    QCOMPARE(::picture(image), picture);
    // The label shows that very picture, with the display's word drawn in.
    QCOMPARE(image->pixmap(Qt::ReturnByValue).toImage(),
             Application::K27::StatusPicture::draw(picture).toImage());
    QCOMPARE(::picture(harness.child<QLabel>("labelControlDirection")), direction);
    // Showing the device's state sends nothing: the opening StopMeasurement and the model
    // read are all the device received.
    QCOMPARE(harness.takeReceived().size(), 1 + 47);
}

void TestK27SubScreen::pageChanges_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QList<quint16>>("actions");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("dataPage");

    const quint16 voltage = action(ModelActionID::StartVoltageMeasurement);
    const quint16 current = action(ModelActionID::StartCurrentMeasurement);
    const quint16 power = action(ModelActionID::StartPowerMeasurement);
    const quint16 stop = action(ModelActionID::StopMeasurement);

    // Every handler runs on every toggle of its button, the unchecked one first.
    QTest::newRow("data") << QStringList {"pushButtonData"} << QList<quint16> {stop, voltage} << 2
                          << 0;
    QTest::newRow("data, current") << QStringList {"pushButtonData", "pushButtonCurrentData"}
                                   << QList<quint16> {stop, voltage, voltage, current} << 2 << 1;
    QTest::newRow("data, current, power")
        << QStringList {"pushButtonData", "pushButtonCurrentData", "pushButtonPowerData"}
        << QList<quint16> {stop, voltage, voltage, current, current, power} << 2 << 2;
    QTest::newRow("leaving data stops last")
        << QStringList {"pushButtonData", "pushButtonInformations"}
        << QList<quint16> {stop, voltage, voltage, stop} << 0 << 0;
    QTest::newRow("leaving power for control stops last")
        << QStringList {"pushButtonData", "pushButtonPowerData", "pushButtonControl"}
        << QList<quint16> {stop, voltage, voltage, power, voltage, stop} << 3 << 0;
    QTest::newRow("data opens on the voltages again")
        << QStringList {"pushButtonData", "pushButtonCurrentData", "pushButtonAbout",
                        "pushButtonData"}
        << QList<quint16> {stop, voltage, voltage, current, voltage, stop, stop, voltage} << 2 << 0;
    QTest::newRow("configuration")
        << QStringList {"pushButtonConfiguration"} << QList<quint16> {stop, stop} << 1 << 0;
    QTest::newRow("control, about") << QStringList {"pushButtonControl", "pushButtonAbout"}
                                    << QList<quint16> {stop, stop, stop, stop} << 4 << 0;
}

void TestK27SubScreen::pageChanges()
{
    QFETCH(QStringList, clicks);
    QFETCH(QList<quint16>, actions);
    QFETCH(int, page);
    QFETCH(int, dataPage);

    SubScreenHarness harness(UserLogin::Admin);
    QVERIFY(harness.start());
    harness.takeReceived();
    for (const QString &name : clicks)
        harness.child<QPushButton>(qPrintable(name))->click();
    QVERIFY(harness.barrier());

    QCOMPARE(firedActions(harness.takeReceived()), actions);
    QCOMPARE(harness.child<QStackedWidget>("stackedWidgetMain")->currentIndex(), page);
    QCOMPARE(harness.child<QStackedWidget>("stackedWidgetData")->currentIndex(), dataPage);
    // The checked data button names the quantity shown.
    const char *const dataButtons[] {"pushButtonVoltageData", "pushButtonCurrentData",
                                     "pushButtonPowerData"};
    if (page == 2)
        QVERIFY(harness.child<QPushButton>(dataButtons[dataPage])->isChecked());
    // The device measures what the page shows, or nothing once the page is left.
    using Measurement = DeviceSim::DeviceSimulator::Measurement;
    const Measurement measured[] {Measurement::Voltage, Measurement::Current, Measurement::Power};
    QCOMPARE(harness.device().measurement(), page == 2 ? measured[dataPage] : Measurement::None);
}

void TestK27SubScreen::motorCommands_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QList<quint16>>("actions");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("direction");
    QTest::addColumn<int>("mode");

    const quint16 stop = action(ModelActionID::MotorStop);
    const quint16 right = action(ModelActionID::MotorRightOn);
    const quint16 left = action(ModelActionID::MotorLeftOn);
    const QString forward = QStringLiteral(":/images/forward.png");
    const QString backward = QStringLiteral(":/images/backward.png");

    QTest::newRow("FORWARD") << "pushButtonControlForward" << QList<quint16> {stop, right}
                             << "K27 Status: Forward" << forward << 1;
    QTest::newRow("BACKWARD") << "pushButtonControlBackward" << QList<quint16> {stop, left}
                              << "K27 Status: Backward" << backward << 2;
    QTest::newRow("MOTOR-STOP") << "pushButtonControlIdle" << QList<quint16> {stop}
                                << "K27 Status: Idle"
                                << "" << 0;
    QTest::newRow("service FORWARD") << "pushButtonMotorForward" << QList<quint16> {stop, right}
                                     << "K27 Status: Forward" << forward << 1;
    QTest::newRow("service BACKWARD") << "pushButtonMotorBackward" << QList<quint16> {stop, left}
                                      << "K27 Status: Backward" << backward << 2;
    QTest::newRow("service IDLE") << "pushButtonMotorIdle" << QList<quint16> {stop}
                                  << "K27 Status: Idle"
                                  << "" << 0;
}

void TestK27SubScreen::motorCommands()
{
    QFETCH(QString, button);
    QFETCH(QList<quint16>, actions);
    QFETCH(QString, status);
    QFETCH(QString, direction);
    QFETCH(int, mode);

    DeviceSim::DeviceSimulatorOptions options;
    options.model = {{id(ModelValueID::OperatingMode), 1}};
    SubScreenHarness harness(UserLogin::Admin, options);
    QVERIFY(harness.start());
    harness.takeReceived();
    const QString before = harness.child<QLabel>("labelMotorStatus")->text();
    const QString directionBefore = picture(harness.child<QLabel>("labelControlDirection"));
    harness.child<QPushButton>(qPrintable(button))->click();
    // Nothing shown for the button pressed: the device's answer tells what runs.
    QCOMPARE(harness.child<QLabel>("labelMotorStatus")->text(), before);
    QCOMPARE(picture(harness.child<QLabel>("labelControlDirection")), directionBefore);

    QVERIFY(harness.barrier());
    QCOMPARE(firedActions(harness.takeReceived()), actions);
    QCOMPARE(int(harness.device().modelValue(id(ModelValueID::OperatingMode))), mode);
    // The device's report of its new operating mode shows the same.
    QCOMPARE(harness.child<QLabel>("labelMotorStatus")->text(), status);
    QCOMPARE(picture(harness.child<QLabel>("labelControlDirection")), direction);
}

// With an active error the device refuses to start: the Control page says why and the status
// stays as the device reports it, never Forward.
void TestK27SubScreen::forwardWithAnErrorSaysWhy()
{
    SubScreenHarness harness(UserLogin::Supervisor);
    QVERIFY(harness.start());
    // The Demo page's "Overload" error.
    const quint8 overload = Application::K27::DemoFaultKinds::errorKind(2);
    harness.device().injectError({overload, 0, 87});
    QVERIFY(harness.barrier());
    harness.takeReceived();

    QTest::mouseClick(harness.child<QPushButton>("pushButtonControl"), Qt::LeftButton);
    QTest::mouseClick(harness.child<QPushButton>("pushButtonControlForward"), Qt::LeftButton);
    QVERIFY(harness.barrier());

    // Leaving one page and opening the next each stop the measurement; then the motor.
    QList<quint16> fired = firedActions(harness.takeReceived());
    fired.removeAll(action(ModelActionID::StopMeasurement));
    QCOMPARE(
        fired,
        (QList<quint16> {action(ModelActionID::MotorStop), action(ModelActionID::MotorRightOn)}));
    QCOMPARE(int(harness.device().modelValue(id(ModelValueID::OperatingMode))), 0);
    QCOMPARE(harness.child<QLabel>("labelMotorStatus")->text(),
             QStringLiteral("K27 Status: Error"));
    QCOMPARE(picture(harness.child<QLabel>("labelControlDirection")), QString());
    const QLabel *const reason = harness.child<QLabel>("labelControlFault");
    QVERIFY(!reason->isHidden());
    QCOMPARE(reason->text(),
             QStringLiteral("The motor does not start: the device reports the error Overload "
                            "(E 1406). Remove its cause, then press RESET ERROR on the "
                            "Information page."));

    // Once the error is cleared the reason goes, and FORWARD starts the motor.
    QTest::mouseClick(harness.child<QPushButton>("pushButtonInformations"), Qt::LeftButton);
    QTest::mouseClick(harness.child<QPushButton>("pushButtonResetError"), Qt::LeftButton);
    QTest::mouseClick(harness.child<QPushButton>("pushButtonControl"), Qt::LeftButton);
    QTest::mouseClick(harness.child<QPushButton>("pushButtonControlForward"), Qt::LeftButton);
    QVERIFY(harness.barrier());
    QVERIFY(reason->isHidden());
    QCOMPARE(int(harness.device().modelValue(id(ModelValueID::OperatingMode))), 1);
    QCOMPARE(harness.child<QLabel>("labelMotorStatus")->text(),
             QStringLiteral("K27 Status: Forward"));
}

void TestK27SubScreen::controlPageOpenedLate_data()
{
    QTest::addColumn<bool>("error");
    QTest::addColumn<QString>("direction");
    QTest::addColumn<QString>("reason");
    QTest::newRow("running backward") << false << ":/images/backward.png"
                                      << "";
    QTest::newRow("stopped by an error")
        << true << ""
        << "The motor does not start: the device reports the error Overload (E 1406). Remove its "
           "cause, then press RESET ERROR on the Information page.";
}

// The Control page is built when it is first opened; what the device reported before that
// (direction, motor picture, softstart, why the motor does not start) is on it when it opens.
void TestK27SubScreen::controlPageOpenedLate()
{
    QFETCH(bool, error);
    QFETCH(QString, direction);
    QFETCH(QString, reason);

    DeviceSim::DeviceSimulatorOptions options;
    options.model = {{id(ModelValueID::OperatingMode), 2}, {id(ModelValueID::SoftstartEnable), 0}};
    SubScreenHarness harness(UserLogin::Supervisor, options);
    QVERIFY(harness.start());
    if (error)
        harness.device().injectError({Application::K27::DemoFaultKinds::errorKind(2), 0, 87});
    QVERIFY(harness.barrier());

    // Found without building the pages, as a user meets them.
    K27SubScreen &window = harness.window();
    const auto widget = [&window](const char *name) {
        return window.findChild<QWidget *>(QString::fromLatin1(name));
    };
    QVERIFY(widget("labelControlDirection") == nullptr);
    QTest::mouseClick(widget("pushButtonControl"), Qt::LeftButton);

    QCOMPARE(picture(qobject_cast<QLabel *>(widget("labelControlDirection"))), direction);
    QCOMPARE(picture(qobject_cast<QLabel *>(widget("labelControlMotor"))),
             QStringLiteral(":/images/motor.png"));
    QVERIFY(!qobject_cast<QCheckBox *>(widget("checkBoxControlSoftstart"))->isChecked());
    const auto *const reasonLabel = qobject_cast<QLabel *>(widget("labelControlFault"));
    QCOMPARE(reasonLabel->text(), reason);
    QCOMPARE(reasonLabel->isHidden(), reason.isEmpty());

    // Once open, what the device reports shows at once.
    harness.device().setModelValue(id(ModelValueID::OperatingMode), 1);
    QVERIFY(harness.barrier());
    QCOMPARE(picture(qobject_cast<QLabel *>(widget("labelControlDirection"))),
             QStringLiteral(":/images/forward.png"));
}

// RESET ERROR asks the device to clear its error, which it does and reports.
void TestK27SubScreen::resetErrorClearsTheError()
{
    SubScreenHarness harness(UserLogin::Supervisor);
    QVERIFY(harness.start());
    harness.device().injectError({Application::K27::DemoFaultKinds::errorKind(1), 1, 0});
    QVERIFY(harness.barrier());
    QCOMPARE(harness.child<QLabel>("labelFaultCode")->text(), QStringLiteral("E 1410"));
    harness.takeReceived();

    QTest::mouseClick(harness.child<QPushButton>("pushButtonResetError"), Qt::LeftButton);
    QVERIFY(harness.barrier());
    QCOMPARE(firedActions(harness.takeReceived()),
             QList<quint16> {action(ModelActionID::ResetError)});
    QCOMPARE(int(harness.device().modelValue(id(ModelValueID::Error))), 0);
    QCOMPARE(harness.child<QLabel>("labelFaultCode")->text(), QString());
    QCOMPARE(harness.child<QLabel>("labelMotorStatus")->text(), QStringLiteral("K27 Status: Idle"));
}

void TestK27SubScreen::resetErrorNeedsTheSettingsRight_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("offered");
    QTest::newRow("customer") << int(UserLogin::Customer) << false;
    QTest::newRow("demo") << int(UserLogin::Demo) << false;
    QTest::newRow("supervisor") << int(UserLogin::Supervisor) << true;
    QTest::newRow("admin") << int(UserLogin::Admin) << true;
}

// Only a level that may change settings gets RESET ERROR; for the others nothing reaches the
// device, and the Control page's reason does not send them to a button they lack.
void TestK27SubScreen::resetErrorNeedsTheSettingsRight()
{
    QFETCH(int, level);
    QFETCH(bool, offered);

    SubScreenHarness harness(level);
    QVERIFY(harness.start());
    harness.device().injectError({Application::K27::DemoFaultKinds::errorKind(2), 0, 87});
    QVERIFY(harness.barrier());
    harness.takeReceived();

    QPushButton *const reset = harness.child<QPushButton>("pushButtonResetError");
    QCOMPARE(!reset->isHidden(), offered);
    if (offered)
        QTest::mouseClick(reset, Qt::LeftButton);
    QVERIFY(harness.barrier());
    QCOMPARE(firedActions(harness.takeReceived()),
             offered ? QList<quint16> {action(ModelActionID::ResetError)} : QList<quint16> {});
    QCOMPARE(int(harness.device().modelValue(id(ModelValueID::Error))),
             offered ? 0 : int(Application::K27::DemoFaultKinds::errorKind(2)));
    if (!offered)
        QVERIFY(!harness.child<QLabel>("labelControlFault")
                     ->text()
                     .contains(QStringLiteral("RESET ERROR")));
}

void TestK27SubScreen::reportedValuesSendNothing()
{
    SubScreenHarness harness(UserLogin::Admin);
    QVERIFY(harness.start());
    harness.takeReceived();

    // Every value the device has, reported unasked with a content other than before.
    const Reports reports {{id(ModelValueID::ArticleNumber), 36250},
                           {id(ModelValueID::SerialNumber), 777},
                           {id(ModelValueID::PlatformVersion), 0x00040302},
                           {id(ModelValueID::HardwareIDPowerBoard), 0x11},
                           {id(ModelValueID::SoftstartEnable), 1},
                           {id(ModelValueID::OperatingMode), 2},
                           {id(ModelValueID::Warning), 3},
                           {id(ModelValueID::MeasurementPhase), 1},
                           {id(ModelValueID::MeasurementVoltage), 231},
                           {id(ModelValueID::MeasurementActivePower), 1500}};
    for (const auto &report : reports)
        harness.device().setModelValue(report.first, report.second);
    for (quint16 identifier = 0; identifier < 55; ++identifier)
        harness.device().reportModelValue(identifier);
    QVERIFY(harness.barrier());

    QCOMPARE(harness.window().windowTitle(), QStringLiteral("777"));
    QCOMPARE(harness.child<QLabel>("labelFaultCode")->text(), QStringLiteral("W 1407"));
    QCOMPARE(harness.child<QLabel>("labelVoltage_L2_N")->text(), QStringLiteral("231 V"));
    const QList<DeviceSim::ReceivedPacket> received = harness.takeReceived();
    QVERIFY2(received.isEmpty(), qPrintable(received.value(0).toString()));
}

void TestK27SubScreen::reportedValueHelperBlocksSignals()
{
    QCheckBox box;
    QSignalSpy toggled(&box, &QCheckBox::toggled);
    QSignalSpy changed(&box, &QCheckBox::stateChanged);
    Application::K27::showReportedValue(&box, &QCheckBox::setChecked, true);
    QVERIFY(box.isChecked());
    QCOMPARE(toggled.count(), 0);
    QCOMPARE(changed.count(), 0);
    // The widget reports the user's own changes again afterwards.
    box.click();
    QCOMPARE(toggled.count(), 1);
}

void TestK27SubScreen::motorPicture_data()
{
    QTest::addColumn<double>("softstart");
    QTest::addColumn<QString>("picture");
    QTest::newRow("softstart off") << 0.0 << ":/images/motor.png";
    QTest::newRow("softstart on") << 1.0 << "";
}

void TestK27SubScreen::motorPicture()
{
    QFETCH(double, softstart);
    QFETCH(QString, picture);

    DeviceSim::DeviceSimulatorOptions options;
    options.model = {{id(ModelValueID::SoftstartEnable), softstart}};
    SubScreenHarness harness(UserLogin::Admin, options);
    QVERIFY(harness.start());
    QCOMPARE(::picture(harness.child<QLabel>("labelControlMotor")), picture);
    QCOMPARE(harness.child<QCheckBox>("checkBoxControlSoftstart")->isChecked(), softstart != 0);
}

void TestK27SubScreen::phaseOutsideTheLabels_data()
{
    QTest::addColumn<quint16>("valueId");
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<QString>("unit");
    QTest::newRow("current") << id(ModelValueID::MeasurementCurrent)
                             << QStringList {"labelCurrent_L1", "labelCurrent_L2",
                                             "labelCurrent_L3"}
                             << " A";
    QTest::newRow("voltage") << id(ModelValueID::MeasurementVoltage)
                             << QStringList {"labelVoltage_L1_N", "labelVoltage_L2_N",
                                             "labelVoltage_L3_N"}
                             << " V";
}

void TestK27SubScreen::phaseOutsideTheLabels()
{
    QFETCH(quint16, valueId);
    QFETCH(QStringList, labels);

    SubScreenHarness harness(UserLogin::Admin);
    QVERIFY(harness.start());
    QSignalSpy currents(harness.window().terminalService().data(),
                        &ZantLinkTerminalService::measurementCurrentModelValue);
    QSignalSpy voltages(harness.window().terminalService().data(),
                        &ZantLinkTerminalService::measurementVoltageModelValue);
    QSignalSpy &reported = valueId == id(ModelValueID::MeasurementCurrent) ? currents : voltages;

    QByteArray burst;
    for (quint8 phase = 0; phase < 3; ++phase) {
        burst += modelValuePacket(id(ModelValueID::MeasurementPhase), QByteArray(1, char(phase)));
        burst += modelValuePacket(valueId, TestSupport::f32(10.0f + phase));
    }
    burst += modelValuePacket(id(ModelValueID::MeasurementPhase), QByteArray(1, char(3)));
    burst += modelValuePacket(valueId, TestSupport::f32(99.0f));
    harness.device().sendRaw(burst);
    QTRY_COMPARE_WITH_TIMEOUT(reported.count(), 4, 10000);
    QCOMPARE(reported.at(3).at(0).value<quint8>(), quint8(3));

    QStringList texts;
    for (const QString &name : labels)
        texts.append(harness.child<QLabel>(qPrintable(name))->text());
    QVERIFY2(!texts.join(QString()).contains(QLatin1String("99")), qPrintable(texts.join('|')));
    QVERIFY(texts.at(0).startsWith(QLatin1String("10")));
    QVERIFY(texts.at(1).startsWith(QLatin1String("11")));
    QVERIFY(texts.at(2).startsWith(QLatin1String("12")));
}

void TestK27SubScreen::fastStreamingKeepsPhases_data()
{
    phaseOutsideTheLabels_data();
}

void TestK27SubScreen::fastStreamingKeepsPhases()
{
    QFETCH(quint16, valueId);
    QFETCH(QStringList, labels);
    QFETCH(QString, unit);

    SubScreenHarness harness(UserLogin::Admin);
    QVERIFY(harness.start());
    QList<QLabel *> phaseLabels;
    for (const QString &name : labels)
        phaseLabels.append(harness.child<QLabel>(qPrintable(name)));

    // Each content names its phase in its number: 100 × phase + round. Whenever the window
    // has shown a phase's value, that phase's label must carry a number of that phase.
    const bool current = valueId == id(ModelValueID::MeasurementCurrent);
    QStringList wrong;
    int shown = 0;
    const auto check = [&](quint8 phase) {
        ++shown;
        const QString text = phaseLabels.value(phase)->text();
        const int number = text.left(text.size() - unit.size()).toDouble();
        if (number / 100 != phase)
            wrong.append(QStringLiteral("phase %1 shows %2").arg(phase).arg(text));
    };
    const ZantLinkTerminalService *terminal = harness.window().terminalService().data();
    if (current)
        connect(terminal, &ZantLinkTerminalService::measurementCurrentModelValue, this, check);
    else
        connect(terminal, &ZantLinkTerminalService::measurementVoltageModelValue, this, check);

    // Several rounds in one write, so that the window reads the next phases' packets before
    // it shows the first; no more than the link's receive ring holds at once.
    constexpr int rounds = 200;
    constexpr int roundsPerWrite = 5;
    for (int round = 0; round < rounds;) {
        QByteArray burst;
        for (int i = 0; i < roundsPerWrite; ++i, ++round) {
            for (quint8 phase = 0; phase < 3; ++phase) {
                burst += modelValuePacket(id(ModelValueID::MeasurementPhase),
                                          QByteArray(1, char(phase)));
                burst += modelValuePacket(valueId,
                                          TestSupport::f32(float(100 * phase + round % 100)));
            }
        }
        QVERIFY(burst.size() < 1536);
        harness.device().sendRaw(burst);
        QTRY_COMPARE_WITH_TIMEOUT(shown, 3 * round, 10000);
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.mid(0, 5).join('\n')));
    const int last = (rounds - 1) % 100;
    for (int phase = 0; phase < 3; ++phase) {
        const QString text = phaseLabels.at(phase)->text();
        QCOMPARE(int(text.left(text.size() - unit.size()).toDouble()), 100 * phase + last);
    }
}

void TestK27SubScreen::germanTexts()
{
    const TestSupport::GermanTranslation german;
    QVERIFY(german.isInstalled());

    DeviceSim::DeviceSimulatorOptions options;
    options.model = {{id(ModelValueID::CapacityIndicator), 64}};
    options.platform.application = 0x00040302;
    SubScreenHarness harness(UserLogin::Demo, options);
    QVERIFY(harness.start());
    harness.device().setModelValue(id(ModelValueID::Warning), 2);
    QVERIFY(harness.barrier());

    QCOMPARE(harness.child<QPushButton>("pushButtonConfiguration")->text(),
             QStringLiteral("Konfiguration"));
    QCOMPARE(harness.child<QPushButton>("pushButtonServiceMode")->text(), QStringLiteral("Demo"));
    QCOMPARE(harness.child<QLabel>("labelArticleNumberText")->text(),
             QStringLiteral("ARTIKELNUMMER"));
    QCOMPARE(harness.child<QPushButton>("pushButtonVoltageData")->text(),
             QStringLiteral("SPANNUNG"));
    QCOMPARE(harness.child<QLabel>("labelVoltageText_L1_N")->text(),
             QStringLiteral("Spannung L1 - L2"));
    QCOMPARE(harness.child<QPushButton>("pushButtonControlIdle")->text(),
             QStringLiteral("MOTOR-STOPP"));
    QCOMPARE(harness.child<QLabel>("labelMotorStatus")->text(),
             QStringLiteral("K27 Status: Warnung"));
    QCOMPARE(harness.child<QLabel>("labelFaultInfo")->text(), QStringLiteral("Überlast 64 %"));
    QVERIFY(harness.child<QTextBrowser>("textBrowserImpressum")
                ->toPlainText()
                .contains(QStringLiteral("Geschäftsführung")));
}

K27_TEST_MAIN(TestK27SubScreen)
#include "tst_gui_k27subscreen.moc"

// The service mode and the Demo page of the device window against a simulated device in the
// same process: the command list per controller state, typed arguments and the bytes they
// become, the packet log, the direct update of one controller, and the Demo page's faults.

#include "application/core/PacketLog.h"
#include "application/core/UserLogin.h"
#include "application/windows/K27SubScreen.h"
#include "component/ZantLinkCommandCode.h"
#include "component/ZantLinkPacket.h"
#include "model/database/ModelDatabase.h"
#include "model/interfaces/ModelActionID.h"
#include "model/interfaces/ModelValueID.h"
#include "service/FirmwareImageCipher.h"
#include "service/TerminalCommandItem.h"
#include "support/FileAnswers.h"
#include "support/LinkBytes.h"
#include "support/SubScreenHarness.h"
#include "support/TestRegistry.h"
#include "support/TestSupport.h"
#include "support/TrappedTest.h"
#include "support/ValueNumber.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QtTest>
#include <memory>

using Application::K27::TerminalCommandItem;
using Component::Interfaces::ZantLinkPacket;
using Component::K27::ZantLinkCommandCode;
using Model::Interfaces::ModelActionID;
using Model::Interfaces::ModelValueID;
using TestSupport::SubScreenHarness;

namespace {

using TestSupport::id;

using Packets = QList<DeviceSim::ReceivedPacket>;
using Arguments = QList<QByteArray>;
using Values = QList<QPair<quint16, quint32>>;

DeviceSim::ReceivedPacket packet(quint16 command, quint8 destination, const Arguments &arguments)
{
    DeviceSim::ReceivedPacket expected;
    expected.command = command;
    expected.source = ZantLinkPacket::Host;
    expected.destination = destination;
    expected.argCount = quint8(arguments.size());
    expected.arguments = arguments;
    return expected;
}

QByteArray u8(quint8 value)
{
    return QByteArray(1, char(value));
}

QString describePackets(const Packets &packets)
{
    QStringList lines;
    for (const DeviceSim::ReceivedPacket &received : packets)
        lines.append(received.toString());
    return lines.join(QStringLiteral("; "));
}

// The text of a command list entry: the command and its controller.
QString entry(const QString &command, quint8 destination)
{
    return command
        + (destination == ZantLinkPacket::Display ? QStringLiteral(" \u00b7 Display")
                                                  : QStringLiteral(" \u00b7 Platform"));
}

// A log line without the time it starts with ("14:03:27.041 "); empty when it has none.
QString untimed(const QString &line)
{
    static const QRegularExpression time(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d "));
    const QRegularExpressionMatch match = time.match(line);
    return match.hasMatch() ? line.mid(match.capturedLength()) : QString();
}

// (destination, text) of each row of the command list.
QStringList listed(const QListWidget *list)
{
    QStringList rows;
    for (int row = 0; row < list->count(); ++row) {
        const auto *item = static_cast<const TerminalCommandItem *>(list->item(row));
        rows.append(QString::number(item->getDestination()) + QLatin1Char(' ') + item->text());
    }
    return rows;
}

// The rows of the full command list that a controller in the given software offers.
QStringList offered(const QByteArray &platform, const QByteArray &display)
{
    QStringList rows;
    for (const auto &item : TerminalCommandItem::createCommandItems()) {
        const QByteArray &name
            = item->getDestination() == ZantLinkPacket::Platform ? platform : display;
        const bool keep = (name == "Application" && item->getMode() != 1)
            || (name == "Bootloader" && item->getMode() != 0);
        if (keep)
            rows.append(QString::number(item->getDestination()) + QLatin1Char(' ')
                        + entry(item->text(), item->getDestination()));
    }
    return rows;
}

using TestSupport::writeFile;

QByteArray image(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + 3) & 0xFF);
    return bytes;
}

} // namespace

class TestK27SubScreenService : public TestSupport::TrappedTest
{
    Q_OBJECT

private slots:
    void startState();
    void commandList_data();
    void commandList();
    void listRebuiltAtReadyReport();
    void argumentWidgets();
    void execute_data();
    void execute();
    void logEnableAndClear();
    void logCap();
    void saveLog();
    void directUpdate_data();
    void directUpdate();
    void refusedImage_data();
    void refusedImage();
    void secondStartWhileTransferringIsRefused();
    void packagePathNeverSent();
    void demoButtons_data();
    void demoButtons();
    void demoButtonsOnlyForDemo();

private:
    // The harness with the window on the service page, shown.
    std::unique_ptr<SubScreenHarness> openServicePage(int level = UserLogin::Admin);
    TerminalCommandItem *select(SubScreenHarness &harness, const QString &text, quint8 destination);
};

std::unique_ptr<SubScreenHarness> TestK27SubScreenService::openServicePage(int level)
{
    auto harness = std::make_unique<SubScreenHarness>(level);
    if (!harness->start())
        return nullptr;
    harness->window().show();
    harness->child<QPushButton>("pushButtonServiceMode")->click();
    if (!harness->barrier())
        return nullptr;
    harness->takeReceived();
    return harness;
}

TerminalCommandItem *TestK27SubScreenService::select(SubScreenHarness &harness, const QString &text,
                                                     quint8 destination)
{
    auto *list = harness.child<QListWidget>("listWidgetCommands");
    for (int row = 0; row < list->count(); ++row) {
        auto *item = static_cast<TerminalCommandItem *>(list->item(row));
        if (item->text() == entry(text, destination) && item->getDestination() == destination) {
            list->setCurrentRow(row);
            return item;
        }
    }
    qWarning("no command %s", qPrintable(text));
    return nullptr;
}

void TestK27SubScreenService::startState()
{
    SubScreenHarness harness(UserLogin::Admin);
    QVERIFY(harness.startDevice());
    harness.makeWindow();
    // Before any controller reported ready the list is empty, the arguments hidden and the
    // identifier chooser filled with the value names.
    QCOMPARE(harness.child<QListWidget>("listWidgetCommands")->count(), 0);
    for (const char *name : {"labelArg1", "labelArg2", "labelArg3", "labelArg4", "labelArg5"})
        QVERIFY2(harness.child<QLabel>(name)->isHidden(), name);
    for (const char *name : {"doubleSpinBoxArg1", "doubleSpinBoxArg2", "doubleSpinBoxArg3",
                             "doubleSpinBoxArg4", "doubleSpinBoxArg5"})
        QVERIFY2(harness.child<QDoubleSpinBox>(name)->isHidden(), name);
    const auto *identifiers = harness.child<QComboBox>("comboBoxArg1");
    QVERIFY(identifiers->isHidden());
    QCOMPARE(identifiers->count(), 55);
    QCOMPARE(identifiers->itemText(0), QStringLiteral("TripClass"));
    QCOMPARE(identifiers->itemText(54), QStringLiteral("LoadAsymmetryFaultType"));
    QCOMPARE(harness.child<QTabWidget>("tabWidgetServiceMode")->currentIndex(), 0);
    QVERIFY(harness.child<QCheckBox>("checkBoxPlatform")->isChecked());
    QVERIFY(harness.child<QCheckBox>("checkBoxLogEnable")->isChecked());
    QVERIFY(!harness.child<QPushButton>("pushButtonStartUpdate")->isEnabled());
    QVERIFY(!harness.child<QPlainTextEdit>("textBrowserLogging")->lineWrapMode());
    QVERIFY(harness.child<QPlainTextEdit>("textBrowserLogging")->isReadOnly());
}

void TestK27SubScreenService::commandList_data()
{
    QTest::addColumn<bool>("platformBootloader");
    QTest::addColumn<bool>("displayBootloader");
    QTest::addColumn<int>("platformCount");
    QTest::addColumn<int>("displayCount");

    QTest::newRow("both applications") << false << false << 35 << 8;
    QTest::newRow("display in its bootloader") << false << true << 35 << 6;
    QTest::newRow("platform in its bootloader") << true << false << 9 << 8;
    QTest::newRow("both bootloaders") << true << true << 9 << 6;
}

void TestK27SubScreenService::commandList()
{
    QFETCH(bool, platformBootloader);
    QFETCH(bool, displayBootloader);
    QFETCH(int, platformCount);
    QFETCH(int, displayCount);

    SubScreenHarness harness(UserLogin::Admin);
    QVERIFY(harness.start());
    if (platformBootloader)
        harness.device().platform().jumpToBootloader();
    if (displayBootloader)
        harness.device().display().jumpToBootloader();
    // The controllers report ready with their new names.
    QSignalSpy displayReady(harness.window().terminalService().data(),
                            &Service::K27::ZantLinkTerminalService::terminalDisplayReady);
    harness.window().linkComponent()->sendGetName(ZantLinkPacket::Display);
    QVERIFY(displayReady.wait());
    QVERIFY(harness.barrier());

    const auto *list = harness.child<QListWidget>("listWidgetCommands");
    const QStringList rows = listed(list);
    const QByteArray platform = platformBootloader ? "Bootloader" : "Application";
    const QByteArray display = displayBootloader ? "Bootloader" : "Application";
    QCOMPARE(rows, offered(platform, display));
    QCOMPARE(rows.filter(QRegularExpression("^0 ")).size(), platformCount);
    QCOMPARE(rows.filter(QRegularExpression("^1 ")).size(), displayCount);
    if (displayBootloader)
        QCOMPARE(rows.filter(QRegularExpression("^1 ")),
                 QStringList({"1 Reset · Display", "1 GetSWVersion · Display",
                              "1 GetHALVersion · Display", "1 GetName · Display",
                              "1 JumpToApplication · Display", "1 Memblock · Display"}));
    QCOMPARE(list->currentRow(), 0);
    // Each row shows its controller's picture.
    for (int row = 0; row < list->count(); ++row)
        QVERIFY(!list->item(row)->icon().isNull());
}

void TestK27SubScreenService::listRebuiltAtReadyReport()
{
    SubScreenHarness harness(UserLogin::Admin);
    QVERIFY(harness.start());
    auto *list = harness.child<QListWidget>("listWidgetCommands");
    QVERIFY(select(harness, QStringLiteral("PhaseCtrlSetRelay"), ZantLinkPacket::Platform));
    QVERIFY(list->currentRow() > 0);
    QVERIFY(!harness.child<QLabel>("labelArg2")->isHidden());

    // The Platform goes into its bootloader and says so: its application commands leave the
    // list, and row 0 ("Reset", no arguments) is selected again.
    harness.device().platform().jumpToBootloader();
    QVERIFY(harness.barrier());
    QCOMPARE(listed(list), offered("Bootloader", "Application"));
    QCOMPARE(list->currentRow(), 0);
    QCOMPARE(list->currentItem()->text(), QStringLiteral("Reset \u00b7 Platform"));
    QVERIFY(harness.child<QLabel>("labelArg1")->isHidden());
    QVERIFY(harness.child<QLabel>("labelArg2")->isHidden());
    QVERIFY(harness.child<QDoubleSpinBox>("doubleSpinBoxArg2")->isHidden());
}

void TestK27SubScreenService::argumentWidgets()
{
    SubScreenHarness harness(UserLogin::Admin);
    QVERIFY(harness.start());
    auto *label1 = harness.child<QLabel>("labelArg1");
    auto *label2 = harness.child<QLabel>("labelArg2");
    auto *label3 = harness.child<QLabel>("labelArg3");
    auto *combo = harness.child<QComboBox>("comboBoxArg1");
    auto *spin1 = harness.child<QDoubleSpinBox>("doubleSpinBoxArg1");
    auto *spin2 = harness.child<QDoubleSpinBox>("doubleSpinBoxArg2");
    auto *spin3 = harness.child<QDoubleSpinBox>("doubleSpinBoxArg3");

    // "ModelSetValue": the identifier chooser and a whole "Value" of 32 bits.
    TerminalCommandItem *item
        = select(harness, QStringLiteral("ModelSetValue"), ZantLinkPacket::Platform);
    QVERIFY(item);
    QCOMPARE(label1->text(), QStringLiteral("ModelValueID"));
    QVERIFY(!label1->isHidden() && !combo->isHidden() && spin1->isHidden());
    QCOMPARE(combo->count(), 55);
    QCOMPARE(combo->currentIndex(), 0);
    QCOMPARE(label2->text(), QStringLiteral("Value"));
    QVERIFY(!label2->isHidden() && !spin2->isHidden());
    QCOMPARE(spin2->decimals(), 0);
    QCOMPARE(spin2->minimum(), 0.0);
    QCOMPARE(spin2->maximum(), 4294967295.0);
    QVERIFY(label3->isHidden() && spin3->isHidden());

    // A float value turns "Value" into a number with three decimals over the float range; the
    // terminal service's own item keeps its whole-number argument.
    combo->setCurrentIndex(id(ModelValueID::NominalCurrent));
    QCOMPARE(spin2->decimals(), 3);
    QCOMPARE(spin2->maximum(), 3.4028234663852886e38);
    QCOMPARE(spin2->minimum(), -3.4028234663852886e38);
    QCOMPARE(item->getArguments().at(1)->getType(), quint32(TerminalCommandItem::Arg::Float));
    for (const TerminalCommandItem *own : harness.window().terminalService()->allCommandItems()) {
        if (own->getCode() == ZantLinkCommandCode::SetModelValue)
            QCOMPARE(own->getArguments().at(1)->getType(),
                     quint32(TerminalCommandItem::Arg::UInt32));
    }
    combo->setCurrentIndex(id(ModelValueID::TripClass));
    QCOMPARE(spin2->decimals(), 0);

    // "ModelFireAction": the action names.
    QVERIFY(select(harness, QStringLiteral("ModelFireAction"), ZantLinkPacket::Platform));
    QCOMPARE(label1->text(), QStringLiteral("ModelActionID"));
    QCOMPARE(combo->count(), 13);
    QCOMPARE(combo->itemText(8), QStringLiteral("MotorStop"));
    QVERIFY(label2->isHidden() && spin2->isHidden());

    // Three arguments: two bytes and a float, each starting at 0.
    spin1->setValue(7);
    QVERIFY(
        select(harness, QStringLiteral("MeasurementSetStaticOffset"), ZantLinkPacket::Platform));
    QVERIFY(combo->isHidden());
    QCOMPARE(QStringList({label1->text(), label2->text(), label3->text()}),
             QStringList({"Phase", "Unit", "Value"}));
    QCOMPARE(spin1->maximum(), 255.0);
    QCOMPARE(spin1->value(), 0.0);
    QCOMPARE(spin3->decimals(), 3);

    // A byte holds no more than 255.
    QVERIFY(select(harness, QStringLiteral("PhaseCtrlSetRelay"), ZantLinkPacket::Platform));
    spin2->setValue(300);
    QCOMPARE(spin2->value(), 255.0);
}

void TestK27SubScreenService::execute_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("destination");
    QTest::addColumn<int>("comboIndex");
    QTest::addColumn<QList<double>>("spinValues");
    QTest::addColumn<Packets>("expected");

    const quint8 platform = ZantLinkPacket::Platform;
    const quint8 display = ZantLinkPacket::Display;
    QTest::newRow("ModelSetValue float")
        << "ModelSetValue" << int(platform) << int(id(ModelValueID::UndervoltageThreshold))
        << QList<double> {0, 195.5}
        << Packets {packet(ZantLinkCommandCode::SetModelValue, platform,
                           {TestSupport::u16(29), TestSupport::f32(195.5f)})};
    QTest::newRow("PhaseCtrlSetRelay")
        << "PhaseCtrlSetRelay" << int(platform) << -1 << QList<double> {2, 255}
        << Packets {packet(ZantLinkCommandCode::PhaseCtrlSetRelay, platform, {u8(2), u8(255)})};
    QTest::newRow("GetSWVersion to the display")
        << "GetSWVersion" << int(display) << -1 << QList<double> {}
        << Packets {packet(ZantLinkCommandCode::GetSWVersion, display, {})};
    QTest::newRow("ModelFireAction MotorStop")
        << "ModelFireAction" << int(platform) << int(ModelActionID::MotorStop) << QList<double> {}
        << Packets {packet(ZantLinkCommandCode::FireModelAction, platform, {TestSupport::u16(8)})};
    QTest::newRow("three arguments")
        << "MeasurementSetStaticOffset" << int(platform) << -1 << QList<double> {1, 2, -1.25}
        << Packets {packet(ZantLinkCommandCode::MeasurementSetStaticOffset, platform,
                           {u8(1), u8(2), TestSupport::f32(-1.25f)})};
    QTest::newRow("ModelGetValue")
        << "ModelGetValue" << int(platform) << int(id(ModelValueID::SerialNumber))
        << QList<double> {}
        << Packets {packet(ZantLinkCommandCode::GetModelValue, platform,
                           {TestSupport::u16(id(ModelValueID::SerialNumber))})};
    QTest::newRow("MainButtonSetLED to the display")
        << "MainButtonSetLED" << int(display) << -1 << QList<double> {3, 0.5}
        << Packets {packet(ZantLinkCommandCode::MainButtonSetLED, display,
                           {u8(3), TestSupport::f32(0.5f)})};
}

void TestK27SubScreenService::execute()
{
    QFETCH(QString, command);
    QFETCH(int, destination);
    QFETCH(int, comboIndex);
    QFETCH(QList<double>, spinValues);
    QFETCH(Packets, expected);

    SubScreenHarness harness(UserLogin::Admin);
    QVERIFY(harness.start());
    harness.takeReceived();
    QVERIFY(select(harness, command, quint8(destination)));
    if (comboIndex >= 0)
        harness.child<QComboBox>("comboBoxArg1")->setCurrentIndex(comboIndex);
    const char *const spinNames[] {"doubleSpinBoxArg1", "doubleSpinBoxArg2", "doubleSpinBoxArg3"};
    for (int i = 0; i < spinValues.size(); ++i)
        harness.child<QDoubleSpinBox>(spinNames[i])->setValue(spinValues.at(i));
    harness.child<QPushButton>("pushButtonExecuteCommand")->click();

    if (command == QLatin1String("ModelSetValue")) {
        // The model holds what was sent before the device says anything.
        QCOMPARE(harness.window().database()->settings().undervoltageThreshold().value(), 195.5f);
    }
    QVERIFY(harness.barrier());
    const Packets received = harness.takeReceived();
    QVERIFY2(received == expected, qPrintable(describePackets(received)));
}

void TestK27SubScreenService::logEnableAndClear()
{
    const auto harness = openServicePage();
    QVERIFY(harness);
    auto *log = harness->child<QPlainTextEdit>("textBrowserLogging");
    auto *enable = harness->child<QCheckBox>("checkBoxLogEnable");
    harness->child<QPushButton>("pushButtonLogClear")->click();
    QVERIFY(log->toPlainText().isEmpty());
    QCOMPARE(harness->window().packetLog().lineCount(), 0);

    // Unchecked: the barrier's request and answer leave no line.
    enable->setChecked(false);
    QVERIFY(harness->barrier());
    QVERIFY(log->toPlainText().isEmpty());
    QCOMPARE(harness->window().packetLog().lineCount(), 0);

    // Checked: the request sent, the packet received and the name it carried.
    enable->setChecked(true);
    QVERIFY(harness->barrier());
    QCOMPARE(harness->window().packetLog().lineCount(), 3);
    QTRY_COMPARE(log->toPlainText(), harness->window().packetLog().text());
    const QStringList lines = log->toPlainText().split('\n');
    QCOMPARE(lines.size(), 3);
    QVERIFY2(untimed(lines.at(0))
                 .startsWith("Send: GetName: Host -> Platform, Coding: "
                             "0x23323037, Length: 15bytes, ArgCount: 0, "
                             "Checksum: 0x"),
             qPrintable(lines.at(0)));
    QVERIFY2(untimed(lines.at(1)).startsWith("Receive: GetName: Platform -> Host"),
             qPrintable(lines.at(1)));
    QCOMPARE(untimed(lines.at(2)), QStringLiteral("Receive: Application"));

    harness->child<QPushButton>("pushButtonLogClear")->click();
    QVERIFY(log->toPlainText().isEmpty());
    QCOMPARE(harness->window().packetLog().lineCount(), 0);

    // A line ends at the first zero byte.
    harness->window().handleCommandReceived(QByteArray("text\0rest", 9));
    QTRY_VERIFY(!log->toPlainText().isEmpty());
    QCOMPARE(untimed(log->toPlainText()), QStringLiteral("Receive: text"));
}

void TestK27SubScreenService::logCap()
{
    const auto harness = openServicePage();
    QVERIFY(harness);
    K27SubScreen &window = harness->window();
    auto *log = harness->child<QPlainTextEdit>("textBrowserLogging");
    harness->child<QPushButton>("pushButtonLogClear")->click();
    const int cap = window.packetLog().lineCap();
    QVERIFY(cap >= 10000);

    for (int i = 0; i < cap + 50; ++i)
        window.handleCommandReceived(QByteArray::number(i));
    QCOMPARE(window.packetLog().lineCount(), cap);
    QCOMPARE(untimed(window.packetLog().line(0)), QStringLiteral("Receive: 50"));
    QTRY_COMPARE(log->document()->blockCount(), cap);
    QTRY_COMPARE(untimed(log->document()->firstBlock().text()), QStringLiteral("Receive: 50"));
    QCOMPARE(untimed(log->document()->lastBlock().text()), QString("Receive: %1").arg(cap + 49));

    // Lines logged while another page is open are there when the page comes back.
    harness->child<QPushButton>("pushButtonInformations")->click();
    QVERIFY(log->isHidden() || !log->isVisible());
    for (int i = 0; i < 20; ++i)
        window.handleCommandTransmitted(QByteArray("hidden ") + QByteArray::number(i));
    harness->child<QPushButton>("pushButtonServiceMode")->click();
    QVERIFY(log->isVisible());
    QTRY_COMPARE(log->toPlainText(), window.packetLog().text());
    QCOMPARE(log->document()->blockCount(), cap);
    QCOMPARE(window.packetLog().lineCount(), cap);
    const QString shown = log->toPlainText();
    for (int i = 0; i < 20; ++i)
        QVERIFY(shown.contains(QString(" Send: hidden %1\n").arg(i)));
}

void TestK27SubScreenService::saveLog()
{
    const auto harness = openServicePage();
    QVERIFY(harness);
    K27SubScreen &window = harness->window();
    QTemporaryDir folder;
    TestSupport::FileAnswers answers;
    harness->child<QPushButton>("pushButtonLogClear")->click();
    const int cap = window.packetLog().lineCap();
    for (int i = 0; i < cap + 5; ++i)
        window.handleCommandReceived("line " + QByteArray::number(i) + " \xc2\xb0");
    QVERIFY(harness->barrier());
    const QStringList kept = window.packetLog().text().split('\n');
    QCOMPARE(kept.size(), cap);

    // Every kept line, each ending with a newline, in UTF-8.
    const QString path = folder.filePath(QStringLiteral("service.log"));
    answers.choose(path);
    harness->child<QPushButton>("pushButtonSaveLog")->click();
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QByteArray contents = saved.readAll();
    QCOMPARE(contents, (kept.join('\n') + '\n').toUtf8());
    QVERIFY(contents.contains(QString(" Receive: line %1 \xc2\xb0\n").arg(cap + 4).toUtf8()));
    // Each line starts with its time, in the file as on the screen.
    for (const QByteArray &line : contents.split('\n').mid(0, kept.size()))
        QVERIFY2(!untimed(QString::fromUtf8(line)).isEmpty(), line.constData());
    QVERIFY(untimed(window.packetLog().line(window.packetLog().lineCount() - 1))
                .startsWith("Log saved to"));

    // A folder that does not exist: the reason shows, no file appears.
    const QString missing = folder.filePath(QStringLiteral("missing/service.log"));
    answers.choose(missing);
    harness->child<QPushButton>("pushButtonSaveLog")->click();
    QVERIFY(!QFile::exists(missing));
    const QString last = untimed(window.packetLog().line(window.packetLog().lineCount() - 1));
    QVERIFY2(last.startsWith("The log could not be saved to " + missing + ": "), qPrintable(last));

    // Cancelled: nothing written, nothing said.
    const int lines = window.packetLog().lineCount();
    answers.cancel();
    harness->child<QPushButton>("pushButtonSaveLog")->click();
    QCOMPARE(window.packetLog().lineCount(), lines);

    // Each time in the place of the file last chosen, the first time in the home folder.
    const QString filter = QStringLiteral("|Log Files (*.log *.txt);;All Files (*)");
    // A place whose folder is gone is offered in the home folder instead.
    QCOMPARE(
        answers.askedTexts(),
        QStringList({"Save|Save log|" + QDir::homePath() + filter, "Save|Save log|" + path + filter,
                     "Save|Save log|" + QDir::home().filePath("service.log") + filter}));

    // A name chosen without an extension gets ".txt".
    answers.choose(folder.filePath(QStringLiteral("service")));
    harness->child<QPushButton>("pushButtonSaveLog")->click();
    QVERIFY(QFile::exists(folder.filePath(QStringLiteral("service.txt"))));
    QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("service"))));
}

void TestK27SubScreenService::directUpdate_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("platform");
    QTest::addColumn<QByteArray>("sent");

    const QByteArray plain = image(1000);
    QTest::newRow("plain image to the platform") << "platform.bin" << plain << true << plain;
    QTest::newRow("plain image to the display") << "display.bin" << plain << false << plain;
    const QByteArray encrypted = Service::K27::FirmwareImageCipher().encryptImage(image(1500));
    QTest::newRow("encrypted image") << "platform.crypt" << encrypted << true << image(1500);
    // The ending marks an encrypted image in any case.
    QTest::newRow("upper-case .CRYPT is decrypted too")
        << "platform.CRYPT" << encrypted << true << image(1500);
}

void TestK27SubScreenService::directUpdate()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, file);
    QFETCH(bool, platform);
    QFETCH(QByteArray, sent);

    const auto harness = openServicePage();
    QVERIFY(harness);
    K27SubScreen &window = harness->window();
    QTemporaryDir folder;
    const QString path = folder.filePath(fileName);
    QVERIFY(writeFile(path, file));
    TestSupport::FileAnswers answers;
    // The controller already runs its bootloader.
    DeviceSim::SimulatedController &target
        = platform ? harness->device().platform() : harness->device().display();
    target.jumpToBootloader();

    window.configuration()->setSoftwareUpdateDir(folder.path());
    answers.choose(path);
    harness->child<QPushButton>("pushButtonOpenFile")->click();
    QCOMPARE(
        answers.askedTexts(),
        QStringList({"Open|Open binary file|" + folder.path() + "|Binary Files (*.bin *.crypt)"}));
    QCOMPARE(harness->child<QLabel>("labelFilename")->text(), "Filename: " + path);
    QCOMPARE(window.configuration()->softwareUpdateDir(), path);
    auto *start = harness->child<QPushButton>("pushButtonStartUpdate");
    QVERIFY(start->isEnabled());

    harness->child<QCheckBox>("checkBoxPlatform")->setChecked(platform);
    QSignalSpy completed(&harness->device(), &DeviceSim::DeviceSimulator::updateCompleted);
    start->click();
    QVERIFY(completed.wait());
    QCOMPARE(completed.at(0).at(0).value<quint8>(), quint8(platform ? 0 : 1));
    QCOMPARE(harness->child<QProgressBar>("progressBarUpdate")->value(), 100);
    QVERIFY(harness->barrier());
    // No jump to the bootloader: the announcement and the blocks only, to the chosen node.
    const Packets received = harness->takeReceived();
    QVERIFY(!received.isEmpty());
    QCOMPARE(received.at(0).command, quint16(ZantLinkCommandCode::ApplicationUpdate));
    QByteArray transferred;
    for (const DeviceSim::ReceivedPacket &each : received) {
        QCOMPARE(each.destination, quint8(platform ? 0 : 1));
        if (each.command == ZantLinkCommandCode::Memblock)
            transferred.append(each.arguments.at(1));
        else
            QCOMPARE(each.command, quint16(ZantLinkCommandCode::ApplicationUpdate));
    }
    QCOMPARE(transferred, sent);
    QCOMPARE(received.at(0).number(0), quint32((sent.size() + 511) / 512));
}

void TestK27SubScreenService::refusedImage_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("removeBeforeStart");
    QTest::addColumn<QString>("message");

    QByteArray tampered = Service::K27::FirmwareImageCipher().encryptImage(image(1000));
    tampered[200] = char(tampered.at(200) ^ 0x01);
    QTest::newRow("wrong digest") << "image.crypt" << tampered << false
                                  << "Security Error! Wrong Digest";
    QTest::newRow("not an encrypted image")
        << "image.crypt" << image(50) << false << "Security Error! Wrong Digest";
    QTest::newRow("empty") << "image.bin" << QByteArray() << false << "The firmware image is empty";
    QTest::newRow("too large for the block counter")
        << "image.bin" << QByteArray(65536 * 512, '\x5a') << false
        << "The firmware image is too large: a device takes at most 65535 blocks of 512 bytes";
    QTest::newRow("gone before the start") << "image.bin" << image(1000) << true << "";
}

void TestK27SubScreenService::refusedImage()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, file);
    QFETCH(bool, removeBeforeStart);
    QFETCH(QString, message);

    const auto harness = openServicePage();
    QVERIFY(harness);
    QTemporaryDir folder;
    const QString path = folder.filePath(fileName);
    QVERIFY(writeFile(path, file));
    TestSupport::FileAnswers answers;
    harness->device().platform().jumpToBootloader();
    answers.choose(path);
    harness->child<QPushButton>("pushButtonOpenFile")->click();
    if (removeBeforeStart) {
        QVERIFY(QFile::remove(path));
        message = "The file " + path + " cannot be read: ";
    }
    harness->child<QProgressBar>("progressBarUpdate")->setValue(42);
    harness->child<QPushButton>("pushButtonStartUpdate")->click();
    const QString shown = harness->child<QLabel>("labelFilename")->text();
    QVERIFY2(removeBeforeStart ? shown.startsWith(message) : shown == message, qPrintable(shown));
    // Nothing announced, no progress reported.
    QVERIFY(harness->barrier());
    const Packets received = harness->takeReceived();
    QVERIFY2(received.isEmpty(), qPrintable(describePackets(received)));
    QCOMPARE(harness->child<QProgressBar>("progressBarUpdate")->value(), 42);
}

void TestK27SubScreenService::packagePathNeverSent()
{
    const auto harness = openServicePage();
    QVERIFY(harness);
    K27SubScreen &window = harness->window();
    QTemporaryDir folder;
    const QString imagePath = folder.filePath(QStringLiteral("platform.bin"));
    const QString packagePath = folder.filePath(QStringLiteral("update.tar"));
    QVERIFY(writeFile(imagePath, image(700)));
    QVERIFY(writeFile(packagePath, image(3000)));
    TestSupport::FileAnswers answers;
    harness->device().platform().jumpToBootloader();
    auto *start = harness->child<QPushButton>("pushButtonStartUpdate");

    // Nothing chosen here: the package path in the configuration is no image to send.
    window.configuration()->setSoftwareUpdateDir(packagePath);
    QVERIFY(!start->isEnabled());
    window.handleStartUpdate();
    QVERIFY(harness->barrier());
    QVERIFY(harness->takeReceived().isEmpty());

    // An image chosen here, then a package chosen on the Information page: the image goes.
    answers.choose(imagePath);
    harness->child<QPushButton>("pushButtonOpenFile")->click();
    window.configuration()->setSoftwareUpdateDir(packagePath);
    QSignalSpy completed(&harness->device(), &DeviceSim::DeviceSimulator::updateCompleted);
    start->click();
    QVERIFY(completed.wait());
    QCOMPARE(harness->device().platform().receivedImage(), image(700));

    // Cancelling the dialog takes the choice back.
    answers.cancel();
    harness->child<QPushButton>("pushButtonOpenFile")->click();
    QCOMPARE(harness->child<QLabel>("labelFilename")->text(), QStringLiteral("Filename: "));
    QVERIFY(!start->isEnabled());
    QCOMPARE(window.configuration()->softwareUpdateDir(), packagePath);
}

void TestK27SubScreenService::demoButtons_data()
{
    QTest::addColumn<QString>("comboBox");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("index");
    QTest::addColumn<Values>("expected");

    const quint16 warning = id(ModelValueID::Warning);
    const quint16 error = id(ModelValueID::Error);
    const quint16 mode = id(ModelValueID::OperatingMode);
    const QString modes = QStringLiteral("comboBoxOperationMode");
    const QString showMode = QStringLiteral("pushButtonShowOperationMode");
    const QString warnings = QStringLiteral("comboBoxWarning");
    const QString showWarning = QStringLiteral("pushButtonShowWarning");
    const QString errors = QStringLiteral("comboBoxError");
    const QString showError = QStringLiteral("pushButtonShowError");

    QTest::newRow("Idle") << modes << showMode << 0 << Values {{warning, 0}, {error, 0}, {mode, 0}};
    QTest::newRow("Forward") << modes << showMode << 1
                             << Values {{warning, 0}, {error, 0}, {mode, 1}};
    QTest::newRow("SafetyStop") << modes << showMode << 3
                                << Values {{warning, 0}, {error, 0}, {mode, 3}};
    QTest::newRow("warning DeviceOK")
        << warnings << showWarning << 0 << Values {{error, 0}, {warning, 0}};
    QTest::newRow("warning Overload")
        << warnings << showWarning << 1 << Values {{error, 0}, {warning, 2}};
    QTest::newRow("warning Undercurrent")
        << warnings << showWarning << 3 << Values {{error, 0}, {warning, 5}};
    QTest::newRow("warning SecurityClearance")
        << warnings << showWarning << 10 << Values {{error, 0}, {warning, 14}};
    QTest::newRow("warning SwitchingFrequency")
        << warnings << showWarning << 11 << Values {{error, 0}, {warning, 15}};
    QTest::newRow("error DeviceOK")
        << errors << showError << 0 << Values {{warning, 0}, {error, 0}};
    QTest::newRow("error ShortCircuit")
        << errors << showError << 1 << Values {{warning, 0}, {error, 1}};
    QTest::newRow("error DeviceError")
        << errors << showError << 3 << Values {{warning, 0}, {error, 12}};
    QTest::newRow("error PhaseAsymmetry")
        << errors << showError << 4 << Values {{warning, 0}, {error, 3}};
    QTest::newRow("error OvervoltageControl")
        << errors << showError << 10 << Values {{warning, 0}, {error, 11}};
}

void TestK27SubScreenService::demoButtons()
{
    QFETCH(QString, comboBox);
    QFETCH(QString, button);
    QFETCH(int, index);
    QFETCH(Values, expected);

    SubScreenHarness harness(UserLogin::Demo);
    QVERIFY(harness.start());
    QCOMPARE(harness.child<QComboBox>("comboBoxOperationMode")->count(), 4);
    QCOMPARE(harness.child<QComboBox>("comboBoxWarning")->count(), 12);
    QCOMPARE(harness.child<QComboBox>("comboBoxError")->count(), 11);
    for (const char *name : {"comboBoxOperationMode", "comboBoxWarning", "comboBoxError"})
        QCOMPARE(harness.child<QComboBox>(name)->currentIndex(), 0);
    harness.child<QPushButton>("pushButtonServiceMode")->click();
    QCOMPARE(harness.child<QStackedWidget>("stackedWidgetMain")->currentIndex(), 6);
    QVERIFY(harness.barrier());
    harness.takeReceived();

    harness.window().findChild<QComboBox *>(comboBox)->setCurrentIndex(index);
    harness.window().findChild<QPushButton *>(button)->click();
    QVERIFY(harness.barrier());
    Values sent;
    for (const DeviceSim::ReceivedPacket &received : harness.takeReceived()) {
        QCOMPARE(received.command, quint16(ZantLinkCommandCode::SetModelValue));
        QCOMPARE(received.arguments.size(), 2);
        QCOMPARE(received.arguments.at(1).size(), 1);
        sent.append({quint16(received.number(0)), received.number(1)});
    }
    QCOMPARE(sent, expected);
    // The device took it and reported it back.
    for (const auto &value : expected)
        QCOMPARE(harness.device().modelValue(value.first), double(value.second));
}

void TestK27SubScreenService::demoButtonsOnlyForDemo()
{
    // The Admin's window leaves the demo buttons unconnected.
    SubScreenHarness harness(UserLogin::Admin);
    QVERIFY(harness.start());
    harness.takeReceived();
    for (const char *name :
         {"pushButtonShowOperationMode", "pushButtonShowWarning", "pushButtonShowError"})
        harness.child<QPushButton>(name)->click();
    QVERIFY(harness.barrier());
    QVERIFY(harness.takeReceived().isEmpty());
}

// One transfer at a time: a second START UPDATE while the controller is being sent an image
// says why it does nothing, and the image on its way is not replaced.
void TestK27SubScreenService::secondStartWhileTransferringIsRefused()
{
    const auto harness = openServicePage();
    QVERIFY(harness);
    K27SubScreen &window = harness->window();
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("platform.bin"));
    QVERIFY(writeFile(path, image(1000)));
    TestSupport::FileAnswers answers;
    window.configuration()->setSoftwareUpdateDir(folder.path());
    answers.choose(path);
    harness->child<QPushButton>("pushButtonOpenFile")->click();
    // The platform runs its application, which takes no image: the transfer waits for its
    // first request.
    auto *start = harness->child<QPushButton>("pushButtonStartUpdate");
    start->click();
    QVERIFY(harness->barrier());
    QCOMPARE(harness->takeReceived().size(), 1);
    QVERIFY(window.updateControlService()->isTransferring());

    start->click();
    QCOMPARE(harness->child<QLabel>("labelFilename")->text(),
             QStringLiteral("Another update is running: wait until it has ended, then start "
                            "again"));
    QVERIFY(harness->barrier());
    QVERIFY(harness->takeReceived().isEmpty());
    QVERIFY(window.updateControlService()->isTransferring());
}

K27_TEST_MAIN(TestK27SubScreenService)
#include "tst_gui_k27subscreenservice.moc"

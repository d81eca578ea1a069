// k27ctl report end to end: the program runs as its own process against the simulated device
// on a pseudo-terminal and writes the device's service report; the report's text, read back
// with pdftotext, holds the device's identity, both controllers' software, every protection
// setting and the present error. A report that cannot be complete leaves no file.

#include "component/ZantLinkCommandCode.h"
#include "model/interfaces/ModelValueID.h"
#include "support/ExternalTool.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"
#include "support/ValueNumber.h"
#include "tools/devicesim/DeviceSimulator.h"
#include "tools/devicesim/SimulatedPortList.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using DeviceSim::DeviceSimulator;
using Model::Interfaces::ModelValueID;

namespace {

using TestSupport::id;

// A device whose every protection setting differs from the catalogue's default, with an
// error present.
DeviceSim::DeviceSimulatorOptions reportedDevice()
{
    DeviceSim::DeviceSimulatorOptions options;
    options.model = {
        {id(ModelValueID::SerialNumber), 4711042},
        {id(ModelValueID::ArticleNumber), 36262},
        {id(ModelValueID::ArticleIndex), 'C'},
        {id(ModelValueID::ProductionDay), 3},
        {id(ModelValueID::ProductionWeek), 17},
        {id(ModelValueID::ProductionYear), 2026},
        {id(ModelValueID::HardwareIDControllerBoard), 10},
        {id(ModelValueID::HardwareIDPowerBoard), 11},
        {id(ModelValueID::HardwareIDDisplayBoard), 12},
        {id(ModelValueID::TripClass), 3},
        {id(ModelValueID::NominalCurrent), 2.6},
        {id(ModelValueID::OverloadReset), 1},
        {id(ModelValueID::UndercurrentEnable), 1},
        {id(ModelValueID::UndercurrentThreshold), 0.7},
        {id(ModelValueID::UndercurrentFaultType), 1},
        {id(ModelValueID::UndervoltageEnable), 1},
        {id(ModelValueID::UndervoltageThreshold), 198},
        {id(ModelValueID::UndervoltageFaultType), 1},
        {id(ModelValueID::OvervoltageEnable), 1},
        {id(ModelValueID::OvervoltageThreshold), 262},
        {id(ModelValueID::OvervoltageFaultType), 0},
        {id(ModelValueID::LoadAsymmetryEnable), 1},
        {id(ModelValueID::LoadAsymmetryThreshold), 0.35},
        {id(ModelValueID::LoadAsymmetryFaultType), 1},
    };
    options.platform.application = 0x04030201;
    options.display.application = 0x02050009;
    options.hasError = true;
    options.error = {2, 0, 40}; // Overload
    return options;
}

} // namespace

class TestK27ctlReport : public TestSupport::TrappedTest
{
    Q_OBJECT

private slots:
    void reportHoldsTheDevice_data();
    void reportHoldsTheDevice();
    void unwritableFileLeavesNothing();
    void silentDeviceLeavesNothing();

private:
    void setUpTestCase() override;
    void tearDown() override;

    TestSupport::ToolRun report(const QString &path, const QString &timeout = QStringLiteral("5"));

    QTemporaryDir m_folder;
    DeviceSim::SimulatedPortList m_portList;
    std::unique_ptr<DeviceSimulator> m_device;
};

void TestK27ctlReport::setUpTestCase()
{
    QVERIFY(QFileInfo::exists(QStringLiteral(K27CTL_PATH)));
    QVERIFY2(!TestSupport::findTool(QStringLiteral("pdftotext")).isEmpty(),
             "pdftotext (poppler-utils) is missing: scripts/install-deps.sh installs it");
    QVERIFY(m_folder.isValid());
    qRegisterMetaType<QProcess::ExitStatus>();
}

void TestK27ctlReport::tearDown()
{
    m_device.reset();
}

TestSupport::ToolRun TestK27ctlReport::report(const QString &path, const QString &timeout)
{
    return TestSupport::runServedTool(QStringLiteral(K27CTL_PATH),
                                      {QStringLiteral("--port"), m_device->portName(),
                                       QStringLiteral("--timeout"), timeout,
                                       QStringLiteral("report"), path});
}

void TestK27ctlReport::reportHoldsTheDevice_data()
{
    QTest::addColumn<QString>("line");
    // One row per line of the report's text that names what the device reported.
    QTest::newRow("device name") << "TORVEX®K27 Serra Plus 6,6 A";
    QTest::newRow("article") << "Article number and index 36262 C";
    QTest::newRow("serial number") << "Serial number 4711042";
    QTest::newRow("production date") << "Production date day 3, week 17, 2026";
    QTest::newRow("hardware IDs") << "0A:0B:0C";
    QTest::newRow("platform software") << "Platform controller V4.3.2.1";
    QTest::newRow("display software") << "Display controller V2.5.0.9";
    QTest::newRow("trip class") << "Trip class Class 10A";
    QTest::newRow("nominal current") << "Nominal current 2.6 A";
    QTest::newRow("automatic reset") << "Automatic reset Automatic";
    QTest::newRow("undercurrent") << "Undercurrent enabled";
    QTest::newRow("undercurrent threshold") << "Undercurrent: threshold 0.7 A";
    QTest::newRow("undercurrent fault type") << "Undercurrent: fault type Error";
    QTest::newRow("undervoltage") << "Undervoltage enabled";
    QTest::newRow("undervoltage threshold") << "Undervoltage: threshold 198 V";
    QTest::newRow("undervoltage fault type") << "Undervoltage: fault type Error";
    QTest::newRow("overvoltage") << "Overvoltage enabled";
    QTest::newRow("overvoltage threshold") << "Overvoltage: threshold 262 V";
    QTest::newRow("overvoltage fault type") << "Overvoltage: fault type Warning";
    QTest::newRow("load asymmetry") << "Load asymmetry enabled";
    QTest::newRow("load asymmetry threshold") << "Load asymmetry: threshold 35%";
    QTest::newRow("load asymmetry fault type") << "Load asymmetry: fault type Error";
    QTest::newRow("error") << "Error Overload (E 1406)";
    QTest::newRow("warning") << "Warning Device OK";
    QTest::newRow("no measurements") << "None the Data page did not run";
}

void TestK27ctlReport::reportHoldsTheDevice()
{
    QFETCH(QString, line);
    m_device = std::make_unique<DeviceSimulator>(reportedDevice(), &m_portList);
    QVERIFY2(m_device->start(), qPrintable(m_device->errorString()));

    // A name without an extension gets ".pdf".
    const QString path = m_folder.filePath(QStringLiteral("report"));
    const TestSupport::ToolRun run = report(path);
    QVERIFY2(run.exitCode == 0, run.standardError.constData());
    QVERIFY(run.standardOutput.contains(QFile::encodeName(path + QStringLiteral(".pdf"))));

    const TestSupport::ToolRun text = TestSupport::runTool(
        QStringLiteral("pdftotext"),
        {QStringLiteral("-layout"), path + QStringLiteral(".pdf"), QStringLiteral("-")});
    QVERIFY2(text.succeeded(), text.standardError.constData());
    // Columns are set apart by spaces; one space each is what the report says. The space
    // before a unit's "%" is not kept by every reader of the file.
    const QString simplified = QString::fromUtf8(text.standardOutput)
                                   .simplified()
                                   .replace(QStringLiteral(" %"), QStringLiteral("%"));
    QVERIFY2(simplified.contains(line), qPrintable(simplified));
    QVERIFY2(!simplified.contains(QStringLiteral("not reported")), qPrintable(simplified));
}

void TestK27ctlReport::unwritableFileLeavesNothing()
{
    m_device = std::make_unique<DeviceSimulator>(reportedDevice(), &m_portList);
    QVERIFY2(m_device->start(), qPrintable(m_device->errorString()));
    const QString path = m_folder.filePath(QStringLiteral("no-such-folder/report.pdf"));
    const TestSupport::ToolRun run = report(path);
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.standardError.contains("report not written"), run.standardError.constData());
    QVERIFY(!QFileInfo::exists(path));
}

void TestK27ctlReport::silentDeviceLeavesNothing()
{
    // Every answer to "GetSWVersion" arrives broken: the display's software stays unknown.
    DeviceSim::DeviceSimulatorOptions options = reportedDevice();
    options.lineFaults.dropByteProbability = 1.0;
    options.lineFaults.commands = {quint16(Component::K27::ZantLinkCommandCode::GetSWVersion)};
    m_device = std::make_unique<DeviceSimulator>(options, &m_portList);
    QVERIFY2(m_device->start(), qPrintable(m_device->errorString()));
    const QString path = m_folder.filePath(QStringLiteral("silent.pdf"));
    const TestSupport::ToolRun run = report(path, QStringLiteral("1"));
    QCOMPARE(run.exitCode, 4);
    QVERIFY(!QFileInfo::exists(path));
}

K27_TEST_GUILESS_MAIN(TestK27ctlReport)
#include "tst_k27ctlreport.moc"

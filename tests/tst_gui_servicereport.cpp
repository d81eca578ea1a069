// The service report from the device window: REPORT is there once the device has reported its
// identity, asks for the PDF file (".pdf" added to a name without one), writes the report of
// the simulated device in the user's language and says where.

#include "application/core/UserLogin.h"
#include "application/windows/K27SubScreen.h"
#include "application/windows/ResultText.h"
#include "model/interfaces/ModelValueID.h"
#include "support/DefaultLocale.h"
#include "support/ExternalTool.h"
#include "support/FileAnswers.h"
#include "support/GermanTranslation.h"
#include "support/SubScreenHarness.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"
#include "support/ValueNumber.h"

#include <QDir>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QtTest>
#include <memory>

using Model::Interfaces::ModelValueID;
using TestSupport::SubScreenHarness;

namespace {

using TestSupport::id;

DeviceSim::DeviceSimulatorOptions reportedDevice()
{
    DeviceSim::DeviceSimulatorOptions options;
    options.model = {{id(ModelValueID::SerialNumber), 5550123},
                     {id(ModelValueID::NominalCurrent), 2.6},
                     {id(ModelValueID::UndervoltageThreshold), 198}};
    options.display.application = 0x02050009;
    options.hasError = true;
    options.error = {8, 1, 0}; // Overvoltage Supply
    return options;
}

} // namespace

class TestGuiServiceReport : public TestSupport::TrappedTest
{
    Q_OBJECT

private slots:
    void initTestCase();
    void reportWaitsForTheIdentity();
    void reportWrittenInTheUsersLanguage_data();
    void reportWrittenInTheUsersLanguage();
    void unwritableFileIsSaid();
};

void TestGuiServiceReport::initTestCase()
{
    QVERIFY2(!TestSupport::findTool(QStringLiteral("pdftotext")).isEmpty(),
             "pdftotext (poppler-utils) is missing: scripts/install-deps.sh installs it");
}

void TestGuiServiceReport::reportWaitsForTheIdentity()
{
    // A window whose port has no device holds the model's defaults: no device to report.
    SubScreenHarness offline(UserLogin::Customer);
    QVERIFY(offline.startDevice());
    offline.makeWindow(QStringLiteral("ttyK27NOWHERE"));
    offline.run();
    QVERIFY(!offline.child<QPushButton>("pushButtonReport")->isEnabled());

    // Every user level may write the report of a device that has said who it is.
    SubScreenHarness harness(UserLogin::Customer, reportedDevice());
    QVERIFY(harness.start());
    QVERIFY(harness.child<QPushButton>("pushButtonReport")->isEnabled());
}

void TestGuiServiceReport::reportWrittenInTheUsersLanguage_data()
{
    QTest::addColumn<bool>("inGerman");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("English") << false << QStringList {"Service report",
                                                      "Serial number 5550123",
                                                      "Display controller V2.5.0.9",
                                                      "Nominal current 2.6 A",
                                                      "Undervoltage: threshold 198 V",
                                                      "Error Overvoltage Supply (E 1403)",
                                                      "User level Customer"};
    QTest::newRow("German") << true
                            << QStringList {"Servicebericht",
                                            "Seriennummer 5550123",
                                            "Display-Controller V2.5.0.9",
                                            "Nennstrom 2,6 A",
                                            "Unterspannung: Schwellwert 198 V",
                                            "Fehler Überspannung Netz (E 1403)"};
}

void TestGuiServiceReport::reportWrittenInTheUsersLanguage()
{
    QFETCH(bool, inGerman);
    QFETCH(QStringList, lines);
    const TestSupport::DefaultLocale locale(inGerman
                                                ? QLocale(QLocale::German, QLocale::Germany)
                                                : QLocale(QLocale::English, QLocale::UnitedStates));
    std::unique_ptr<TestSupport::GermanTranslation> translation;
    if (inGerman) {
        translation = std::make_unique<TestSupport::GermanTranslation>();
        QVERIFY(translation->isInstalled());
    }
    SubScreenHarness harness(UserLogin::Customer, reportedDevice());
    QVERIFY(harness.start());

    const QString typed = QDir(harness.folder()).filePath(QStringLiteral("visit"));
    const QString written = typed + QStringLiteral(".pdf");
    TestSupport::FileAnswers answers;
    answers.choose(typed);
    QTest::mouseClick(harness.child<QPushButton>("pushButtonReport"), Qt::LeftButton);
    // The display's answer to the report's version question is in behind the barrier.
    QVERIFY(harness.barrier());
    QVERIFY(QFile::exists(written));
    QVERIFY2(harness.child<QLabel>("labelReportResult")->text().contains(written),
             qPrintable(harness.child<QLabel>("labelReportResult")->text()));
    QVERIFY(!Application::K27::ResultText::isError(harness.child<QLabel>("labelReportResult")));

    const TestSupport::ToolRun text = TestSupport::runTool(
        QStringLiteral("pdftotext"), {QStringLiteral("-layout"), written, QStringLiteral("-")});
    QVERIFY2(text.succeeded(), text.standardError.constData());
    const QString simplified = QString::fromUtf8(text.standardOutput).simplified();
    for (const QString &line : lines)
        QVERIFY2(simplified.contains(line),
                 qPrintable(line + QStringLiteral(" in: ") + simplified));
}

void TestGuiServiceReport::unwritableFileIsSaid()
{
    SubScreenHarness harness(UserLogin::Customer, reportedDevice());
    QVERIFY(harness.start());
    const QString path = QDir(harness.folder()).filePath(QStringLiteral("gone/visit.pdf"));
    TestSupport::FileAnswers answers;
    answers.choose(path);
    QTest::mouseClick(harness.child<QPushButton>("pushButtonReport"), Qt::LeftButton);
    QVERIFY(harness.barrier());
    QVERIFY(!QFile::exists(path));
    const QString said = harness.child<QLabel>("labelReportResult")->text();
    QVERIFY2(said.startsWith(QStringLiteral("The report was not written to %1").arg(path)),
             qPrintable(said));
    QVERIFY(Application::K27::ResultText::isError(harness.child<QLabel>("labelReportResult")));
}

K27_TEST_MAIN(TestGuiServiceReport)
#include "tst_gui_servicereport.moc"

#include "application/core/UpdateVerdict.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"

#include <QtTest>
#include <optional>

using Application::K27::UpdateVerdict;
using Kind = Application::K27::UpdateVerdict::Kind;

Q_DECLARE_METATYPE(Application::K27::UpdateVerdict::Kind)

namespace {
// A package without a platform image, in the table's package column.
constexpr qint64 noPlatformImage = -1;
// The controllers' software in the table's bootloader column.
enum Bootloader { NoBootloader, PlatformBootloader, DisplayBootloader };
const QString offered = QStringLiteral("New Firmware: ");
const QString notNewer = QStringLiteral("Not newer than the device's V1.0.0.0: ");
const QString unknown = QStringLiteral(
    "The version on the device is unknown: its last update did not finish. New Firmware: ");
const QString motor = QStringLiteral("Stop the motor first");
const QString downgrade = QStringLiteral("Software downgrade is not allowed! ");
const QString nothingToCompare
    = QStringLiteral("No platform firmware to compare: update not allowed! ");
// Operating modes.
constexpr quint32 idle = 0;
constexpr quint32 forward = 1;
constexpr quint32 backward = 2;
constexpr quint32 safetyStop = 3;
} // namespace

// Which packages may be installed, and by whom: the rule the update panel and k27ctl share.
class TestUpdateVerdict : public TestSupport::TrappedTest
{
    Q_OBJECT

private slots:
    void verdict_data()
    {
        QTest::addColumn<qint64>("package");
        QTest::addColumn<quint32>("device");
        QTest::addColumn<int>("bootloader");
        QTest::addColumn<quint32>("operatingMode");
        QTest::addColumn<bool>("skipVersionCheck");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<bool>("mayInstall");
        QTest::addColumn<QString>("text");

        const quint32 v1 = 0x01000000;
        QTest::newRow("newer") << qint64(0x01000001) << v1 << int(NoBootloader) << idle << false
                               << Kind::Newer << true << offered;
        QTest::newRow("equal") << qint64(v1) << v1 << int(NoBootloader) << idle << false
                               << Kind::NotNewer << false << downgrade;
        QTest::newRow("older") << qint64(0x00090000) << v1 << int(NoBootloader) << idle << false
                               << Kind::NotNewer << false << downgrade;
        // Packed versions compare as unsigned numbers: a major version from 128 up is newer.
        QTest::newRow("newer in the top bit")
            << qint64(0x80000000) << 0x7F000000u << int(NoBootloader) << idle << false
            << Kind::Newer << true << offered;
        QTest::newRow("older than the top bit")
            << qint64(0x7F000000) << 0x80000000u << int(NoBootloader) << idle << false
            << Kind::NotNewer << false << downgrade;
        QTest::newRow("package without a version text")
            << qint64(0) << 0u << int(NoBootloader) << idle << false << Kind::NotNewer << false
            << downgrade;
        // Skipping the check needs a confirmation that names both versions.
        QTest::newRow("check skipped, older")
            << qint64(0x00090000) << v1 << int(NoBootloader) << idle << true
            << Kind::NotNewerConfirmed << true << notNewer;
        QTest::newRow("check skipped, equal")
            << qint64(v1) << v1 << int(NoBootloader) << idle << true << Kind::NotNewerConfirmed
            << true << notNewer;
        QTest::newRow("check skipped, newer") << qint64(0x02000000) << v1 << int(NoBootloader)
                                              << idle << true << Kind::Newer << true << offered;
        // The safety stop is no motor running, and it opens no way past the version check.
        QTest::newRow("safety stop, equal") << qint64(v1) << v1 << int(NoBootloader) << safetyStop
                                            << false << Kind::NotNewer << false << downgrade;
        QTest::newRow("safety stop, newer")
            << qint64(0x02000000) << v1 << int(NoBootloader) << safetyStop << false << Kind::Newer
            << true << offered;
        QTest::newRow("unknown operating mode, newer")
            << qint64(0x02000000) << v1 << int(NoBootloader) << 7u << false << Kind::Newer << true
            << offered;
        // Nothing while the motor runs, whoever asks and whatever the package.
        QTest::newRow("forward, newer") << qint64(0x02000000) << v1 << int(NoBootloader) << forward
                                        << false << Kind::MotorRuns << false << motor;
        QTest::newRow("backward, check skipped")
            << qint64(0x02000000) << v1 << int(NoBootloader) << backward << true << Kind::MotorRuns
            << false << motor;
        QTest::newRow("forward, display only")
            << noPlatformImage << v1 << int(NoBootloader) << forward << true << Kind::MotorRuns
            << false << motor;
        // A device whose last update did not finish: its version is unknown, any package may
        // complete it. A platform in its bootloader switches no motor, whatever the model held.
        QTest::newRow("platform in its bootloader, older")
            << qint64(0x00090000) << v1 << int(PlatformBootloader) << idle << false
            << Kind::VersionUnknown << true << unknown;
        QTest::newRow("platform in its bootloader, last mode forward")
            << qint64(v1) << v1 << int(PlatformBootloader) << forward << false
            << Kind::VersionUnknown << true << unknown;
        QTest::newRow("platform in its bootloader, display only")
            << noPlatformImage << 0u << int(PlatformBootloader) << idle << false
            << Kind::VersionUnknown << true << unknown;
        QTest::newRow("display in its bootloader, equal")
            << qint64(v1) << v1 << int(DisplayBootloader) << idle << false << Kind::VersionUnknown
            << true << unknown;
        QTest::newRow("display in its bootloader, motor forward")
            << qint64(0x02000000) << v1 << int(DisplayBootloader) << forward << false
            << Kind::MotorRuns << false << motor;
        // A display-only package has nothing to compare: only a skipped check installs it.
        QTest::newRow("no platform image")
            << noPlatformImage << v1 << int(NoBootloader) << idle << false << Kind::NoPlatformImage
            << false << nothingToCompare;
        QTest::newRow("no platform image, safety stop")
            << noPlatformImage << v1 << int(NoBootloader) << safetyStop << false
            << Kind::NoPlatformImage << false << nothingToCompare;
        QTest::newRow("no platform image, check skipped")
            << noPlatformImage << v1 << int(NoBootloader) << idle << true << Kind::NothingToCompare
            << true << offered;
    }
    void verdict()
    {
        QFETCH(qint64, package);
        QFETCH(quint32, device);
        QFETCH(int, bootloader);
        QFETCH(quint32, operatingMode);
        QFETCH(bool, skipVersionCheck);
        QFETCH(Kind, kind);
        QFETCH(bool, mayInstall);
        QFETCH(QString, text);

        UpdateVerdict::Facts facts;
        if (package != noPlatformImage)
            facts.packageVersion = quint32(package);
        facts.deviceVersion = device;
        facts.platformBootloader = bootloader == PlatformBootloader;
        facts.displayBootloader = bootloader == DisplayBootloader;
        facts.operatingMode = operatingMode;
        facts.skipVersionCheck = skipVersionCheck;
        const UpdateVerdict verdict = UpdateVerdict::decide(facts);
        QCOMPARE(verdict.kind(), kind);
        QCOMPARE(verdict.mayInstall(), mayInstall);
        QCOMPARE(verdict.text(), text);
        QCOMPARE(verdict.needsConfirmation(), kind == Kind::NotNewerConfirmed);
    }

    // The Admin's question names the package's and the device's platform software.
    void confirmationNamesBothVersions()
    {
        UpdateVerdict::Facts facts;
        facts.packageVersion = 0x00090102;
        facts.deviceVersion = 0x01000003;
        facts.skipVersionCheck = true;
        const UpdateVerdict verdict = UpdateVerdict::decide(facts);
        QVERIFY(verdict.needsConfirmation());
        QCOMPARE(verdict.confirmationText(),
                 QStringLiteral("The package's platform firmware V0.9.1.2 is not newer than the "
                                "device's V1.0.0.3. Install it anyway?"));
    }
};

K27_TEST_GUILESS_MAIN(TestUpdateVerdict)
#include "tst_updateverdict.moc"

#include "application/core/UpdateVerdict.h"
#include "support/TrappedTest.h"

#include <QtTest>
#include <optional>

using Application::K27::UpdateVerdict;
using Kind = Application::K27::UpdateVerdict::Kind;

Q_DECLARE_METATYPE(Application::K27::UpdateVerdict::Kind)

namespace {
// A package without a platform image, in the table's package column.
constexpr qint64 noPlatformImage = -1;
const QString offered = QStringLiteral("New Firmware: ");
const QString downgrade = QStringLiteral("Software downgrade is not allowed! ");
const QString nothingToCompare
    = QStringLiteral("No platform firmware to compare: update not allowed! ");
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
        QTest::addColumn<bool>("skipVersionCheck");
        QTest::addColumn<bool>("demoMode");
        QTest::addColumn<quint32>("operatingMode");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("text");

        const quint32 v1 = 0x01000000;
        QTest::newRow("newer") << qint64(0x01000001) << v1 << false << false << 0u << Kind::Newer
                               << offered;
        QTest::newRow("equal") << qint64(v1) << v1 << false << false << 0u << Kind::NotNewer
                               << downgrade;
        QTest::newRow("older") << qint64(0x00090000) << v1 << false << false << 0u << Kind::NotNewer
                               << downgrade;
        // Packed versions compare as unsigned numbers: a major version from 128 up is newer.
        QTest::newRow("newer in the top bit")
            << qint64(0x80000000) << 0x7F000000u << false << false << 0u << Kind::Newer << offered;
        QTest::newRow("older than the top bit") << qint64(0x7F000000) << 0x80000000u << false
                                                << false << 0u << Kind::NotNewer << downgrade;
        QTest::newRow("package without a version text, device not read yet")
            << qint64(0) << 0u << false << false << 0u << Kind::NotNewer << downgrade;
        QTest::newRow("check skipped, older")
            << qint64(0x00090000) << v1 << true << false << 0u << Kind::CheckSkipped << offered;
        QTest::newRow("check skipped, equal")
            << qint64(v1) << v1 << true << false << 0u << Kind::CheckSkipped << offered;
        QTest::newRow("check skipped, newer")
            << qint64(0x02000000) << v1 << true << false << 0u << Kind::Newer << offered;
        QTest::newRow("Demo in operating mode 3, older")
            << qint64(0x00090000) << v1 << false << true << 3u << Kind::DemoOperatingMode
            << offered;
        QTest::newRow("Demo in operating mode 0, equal")
            << qint64(v1) << v1 << false << true << 0u << Kind::NotNewer << downgrade;
        QTest::newRow("Demo in operating mode 4, older")
            << qint64(0x00090000) << v1 << false << true << 4u << Kind::NotNewer << downgrade;
        QTest::newRow("Demo in operating mode 0, newer")
            << qint64(0x01010000) << v1 << false << true << 0u << Kind::Newer << offered;
        QTest::newRow("operating mode 3 without the Demo right")
            << qint64(v1) << v1 << false << false << 3u << Kind::NotNewer << downgrade;
        QTest::newRow("check skipped and Demo in operating mode 3")
            << qint64(v1) << v1 << true << true << 3u << Kind::CheckSkipped << offered;
        // A display-only package has nothing to compare: only a skipped check installs it.
        QTest::newRow("no platform image") << noPlatformImage << v1 << false << false << 0u
                                           << Kind::NoPlatformImage << nothingToCompare;
        QTest::newRow("no platform image, device not read yet")
            << noPlatformImage << 0u << false << false << 0u << Kind::NoPlatformImage
            << nothingToCompare;
        QTest::newRow("no platform image, check skipped")
            << noPlatformImage << v1 << true << false << 0u << Kind::CheckSkipped << offered;
        QTest::newRow("no platform image, Demo in operating mode 3")
            << noPlatformImage << v1 << false << true << 3u << Kind::NoPlatformImage
            << nothingToCompare;
    }
    void verdict()
    {
        QFETCH(qint64, package);
        QFETCH(quint32, device);
        QFETCH(bool, skipVersionCheck);
        QFETCH(bool, demoMode);
        QFETCH(quint32, operatingMode);
        QFETCH(Kind, kind);
        QFETCH(QString, text);

        UpdateVerdict::Facts facts;
        if (package != noPlatformImage)
            facts.packageVersion = quint32(package);
        facts.deviceVersion = device;
        facts.skipVersionCheck = skipVersionCheck;
        facts.demoMode = demoMode;
        facts.operatingMode = operatingMode;
        const UpdateVerdict verdict = UpdateVerdict::decide(facts);
        QCOMPARE(verdict.kind(), kind);
        QCOMPARE(verdict.mayInstall(), text == offered);
        QCOMPARE(verdict.text(), text);
    }
};

QTEST_GUILESS_MAIN(TestUpdateVerdict)
#include "tst_updateverdict.moc"

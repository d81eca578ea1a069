#include "service/VersionParser.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using Service::K27::VersionParser;

class TestVersionParser : public TestSupport::TrappedTest
{
    Q_OBJECT

private slots:
    void versionNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<quint32>("number");
        QTest::newRow("with V") << "V1.2.3.4" << 0x01020304u;
        QTest::newRow("without V") << "1.2.3.4" << 0x01020304u;
        QTest::newRow("lower-case v") << "v1.2.3.4" << 0x00020304u;
        QTest::newRow("three parts") << "1.2.3" << 0u;
        QTest::newRow("five parts") << "1.2.3.4.5" << 0x01020304u;
        QTest::newRow("part above 255 spills by OR") << "1.300.0.0" << 0x012C0000u;
        QTest::newRow("every V removed") << "V1.V2.3V.4" << 0x01020304u;
        QTest::newRow("empty part") << "1..3.4" << 0x01000304u;
        QTest::newRow("not numbers") << "a.b.c.d" << 0u;
        QTest::newRow("empty") << "" << 0u;
        QTest::newRow("largest") << "255.255.255.255" << 0xFFFFFFFFu;
    }
    void versionNumber()
    {
        QFETCH(QString, text);
        QFETCH(quint32, number);
        QCOMPARE(VersionParser::versionNumber(text), number);
        QCOMPARE(VersionParser::Image(QStringLiteral("x"), text).number(), number);
    }

    void parse_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QStringList>("packageSignals");
        QTest::addColumn<QList<quint32>>("platformSignals");
        QTest::addColumn<QString>("platformPath");
        QTest::addColumn<QString>("displayPath");
        QTest::addColumn<quint32>("displayNumber");

        QTest::newRow("whole manifest")
            << QByteArray(R"({"Package": {"Version": "Package 7"},
                 "Platform": {"Bootloader": {"Path": "pb.crypt", "Version": "V0.0.0.1"},
                              "Application": {"Path": "pa.crypt", "Version": "V1.2.3.4"}},
                 "Display": {"Application": {"Path": "da.crypt", "Version": "2.0.0.1"}}})")
            << QStringList {"Package 7"} << QList<quint32> {0x01020304u} << "pa.crypt"
            << "da.crypt" << 0x02000001u;
        QTest::newRow("platform without application")
            << QByteArray(R"({"Platform": {"Bootloader": {"Path": "pb", "Version": "1.0.0.0"}}})")
            << QStringList() << QList<quint32> {0u} << ""
            << "" << 0u;
        QTest::newRow("display only")
            << QByteArray(R"({"Display": {"Application": {"Path": "da", "Version": "V3.0.0.0"}}})")
            << QStringList() << QList<quint32>() << ""
            << "da" << 0x03000000u;
        QTest::newRow("package version as a number") << QByteArray(R"({"Package": {"Version": 7}})")
                                                     << QStringList() << QList<quint32>() << ""
                                                     << "" << 0u;
        QTest::newRow("values of the wrong type")
            << QByteArray(R"({"Platform": {"Application": {"Path": 1, "Version": 1.2}},
                 "Display": {"Application": "da.crypt"}})")
            << QStringList() << QList<quint32> {0u} << ""
            << "" << 0u;
        QTest::newRow("platform not an object")
            << QByteArray(R"({"Platform": "pa.crypt"})") << QStringList() << QList<quint32>() << ""
            << "" << 0u;
        QTest::newRow("invalid JSON") << QByteArray(R"({"Package": {"Version": "1")")
                                      << QStringList() << QList<quint32>() << ""
                                      << "" << 0u;
        QTest::newRow("array at the root") << QByteArray(R"([{"Package": {"Version": "1"}}])")
                                           << QStringList() << QList<quint32>() << ""
                                           << "" << 0u;
    }
    void parse()
    {
        QFETCH(QByteArray, json);
        QFETCH(QStringList, packageSignals);
        QFETCH(QList<quint32>, platformSignals);
        QFETCH(QString, platformPath);
        QFETCH(QString, displayPath);
        QFETCH(quint32, displayNumber);

        VersionParser parser(json);
        QSignalSpy packageSpy(&parser, &VersionParser::packageUpdateVersion);
        QSignalSpy platformSpy(&parser, &VersionParser::packageUpdatePlatformVersion);
        parser.parse();

        QStringList packages;
        for (const QList<QVariant> &arguments : packageSpy)
            packages << arguments.at(0).toString();
        QList<quint32> platforms;
        for (const QList<QVariant> &arguments : platformSpy)
            platforms << arguments.at(0).value<quint32>();
        QCOMPARE(packages, packageSignals);
        QCOMPARE(platforms, platformSignals);
        QCOMPARE(parser.packageVersion(), packageSignals.value(0));
        QCOMPARE(parser.platformApplication().path(), platformPath);
        QCOMPARE(parser.platformApplication().number(), platformSignals.value(0));
        QCOMPARE(parser.displayApplication().path(), displayPath);
        QCOMPARE(parser.displayApplication().number(), displayNumber);
    }

    // A manifest that contradicts itself is refused whole; each fault says what and where.
    void faults_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QStringList>("faults");
        const auto manifest = [](const char *platformPath, const char *platformVersion,
                                 const char *displayPath) {
            return QStringLiteral(R"({"Platform": {"Application": {"Path": "%1", "Version": "%2"}},
                 "Display": {"Application": {"Path": "%3", "Version": "V2.0.0.1"}}})")
                .arg(QLatin1String(platformPath), QLatin1String(platformVersion),
                     QLatin1String(displayPath))
                .toUtf8();
        };
        QTest::newRow("sound") << manifest("p.crypt", "V2.0.0.0", "d.crypt") << QStringList();
        QTest::newRow("largest parts")
            << manifest("p.crypt", "V255.255.255.255", "d.crypt") << QStringList();
        // Text that packs to 0 is no spill: it is refused as no newer version elsewhere.
        QTest::newRow("three parts, not numbers")
            << manifest("p.crypt", "1.2.x", "d.crypt") << QStringList();
        const QString above = QStringLiteral(
            "version.json: the platform application version \"%1\" has a part above 255");
        QTest::newRow("part 256") << manifest("p.crypt", "0.0.0.256", "d.crypt")
                                  << QStringList {above.arg(QStringLiteral("0.0.0.256"))};
        QTest::newRow("part spilling into the next byte")
            << manifest("p.crypt", "0.0.0.16777218", "d.crypt")
            << QStringList {above.arg(QStringLiteral("0.0.0.16777218"))};
        QTest::newRow("part beyond 32 bits")
            << manifest("p.crypt", "V1.99999999999.0.0", "d.crypt")
            << QStringList {above.arg(QStringLiteral("V1.99999999999.0.0"))};
        QTest::newRow("bootloader record")
            << QByteArray(R"({"Display": {"Bootloader": {"Path": "db", "Version": "V300.0.0.0"},
                 "Application": {"Path": "da", "Version": "V1.0.0.0"}}})")
            << QStringList {QStringLiteral("version.json: the display bootloader version "
                                           "\"V300.0.0.0\" has a part above 255")};
        QTest::newRow("one file for both controllers")
            << manifest("same.crypt", "V2.0.0.0", "same.crypt")
            << QStringList {QStringLiteral("version.json names the file \"same.crypt\" for two "
                                           "controllers: platform application and display "
                                           "application")};
        QTest::newRow("the display's file as the platform image")
            << QByteArray(
                   R"({"Platform": {"Application": {"Path": "d.crypt", "Version": "2.0.0.0"}},
                 "Display": {"Bootloader": {"Path": "d.crypt", "Version": "1.0.0.0"}}})")
            << QStringList {QStringLiteral("version.json names the file \"d.crypt\" for two "
                                           "controllers: platform application and display "
                                           "bootloader")};
        // Within one controller the bootloader record is never sent.
        QTest::newRow("one file for one controller's two records")
            << QByteArray(R"({"Platform": {"Application": {"Path": "p", "Version": "2.0.0.0"},
                 "Bootloader": {"Path": "p", "Version": "1.0.0.0"}}})")
            << QStringList();
        QTest::newRow("key twice, the last one would win")
            << QByteArray(R"({"Platform": {"Application": {"Path": "d.crypt", "Path": "p.crypt",
                 "Version": "2.0.0.0"}}})")
            << QStringList {QStringLiteral(
                   "version.json gives the key \"Platform.Application.Path\" twice")};
        QTest::newRow("controller twice")
            << QByteArray(R"({"Platform": {"Application": {"Path": "p", "Version": "9.0.0.0"}},
                 "Platform": {"Application": {"Path": "p", "Version": "1.0.0.0"}}})")
            << QStringList {QStringLiteral("version.json gives the key \"Platform\" twice")};
        QTest::newRow("same key in two objects")
            << QByteArray(R"({"Platform": {"Application": {"Path": "p", "Version": "2.0.0.0"}},
                 "Display": {"Application": {"Path": "d", "Version": "2.0.0.0"}}})")
            << QStringList();
    }
    void faults()
    {
        QFETCH(QByteArray, json);
        QFETCH(QStringList, faults);
        VersionParser parser(json);
        parser.parse();
        QCOMPARE(parser.faults(), faults);
    }

    void bootloaderRecordsAreKept()
    {
        VersionParser parser(QByteArray(R"({
            "Platform": {"Bootloader": {"Path": "pb.crypt", "Version": "V0.1.0.0"}},
            "Display": {"Bootloader": {"Path": "db.crypt", "Version": "0.2.0.0"}}})"));
        parser.parse();
        QCOMPARE(parser.platformBootloader().path(), QStringLiteral("pb.crypt"));
        QCOMPARE(parser.platformBootloader().version(), QStringLiteral("V0.1.0.0"));
        QCOMPARE(parser.platformBootloader().number(), 0x00010000u);
        QCOMPARE(parser.displayBootloader().path(), QStringLiteral("db.crypt"));
        QCOMPARE(parser.displayBootloader().number(), 0x00020000u);
        QCOMPARE(parser.platformApplication().version(), QString());
    }

    void readsFromAFile()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QFile file(dir.filePath(QStringLiteral("version.json")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(R"({"Package": {"Version": "from file"},
                      "Platform": {"Application": {"Path": "p", "Version": "V4.3.2.1"}}})");
        file.close();

        VersionParser parser(file.fileName());
        QSignalSpy platformSpy(&parser, &VersionParser::packageUpdatePlatformVersion);
        parser.parse();
        QCOMPARE(parser.packageVersion(), QStringLiteral("from file"));
        QCOMPARE(platformSpy.count(), 1);
        QCOMPARE(platformSpy.at(0).at(0).value<quint32>(), 0x04030201u);

        VersionParser missing(dir.filePath(QStringLiteral("missing.json")));
        QSignalSpy missingSpy(&missing, &VersionParser::packageUpdateVersion);
        missing.parse();
        QCOMPARE(missingSpy.count(), 0);
        QVERIFY(missing.packageVersion().isEmpty());
    }
};

K27_TEST_GUILESS_MAIN(TestVersionParser)
#include "tst_versionparser.moc"

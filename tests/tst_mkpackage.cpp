#include "service/FirmwareImageCipher.h"
#include "support/ExternalTool.h"
#include "support/TestRegistry.h"
#include "support/TestSupport.h"
#include "support/TrappedTest.h"
#include "utilities/Tarball.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

using Service::K27::FirmwareImageCipher;
using TestSupport::ToolRun;

namespace {
QStringList lines(const QByteArray &text)
{
    return QString::fromUtf8(text).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
} // namespace

// k27-mkpackage as the service department runs it: packages it builds are read by
// GNU tar and decrypted by the openssl command line, and its inspect command
// judges packages that GNU tar made from files.
class TestMkPackage : public TestSupport::TrappedTest
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_tool;
    QByteArray m_platformPlain;
    QByteArray m_displayPlain;

    QString path(const QString &name) const { return m_dir.filePath(name); }
    static QString longNotes(int number)
    {
        return QStringLiteral("notes-with-a-folder-name-long-enough/to-take-the-path-past-the-"
                              "hundred-bytes-of-a-tar-name-field/release-notes-%1.txt")
            .arg(number);
    }
    ToolRun mkpackage(const QStringList &arguments) const
    {
        return TestSupport::runTool(m_tool, arguments, m_dir.path());
    }
    QByteArray read(const QString &name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void write(const QString &name, const QByteArray &contents) const
    {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(contents), qint64(contents.size()));
    }
    // Decrypts an encrypted image with the openssl command line and checks the
    // payload (image and zero fill) and the stored digest.
    void checkWithOpenSsl(const QByteArray &file, const QByteArray &plain) const
    {
        QCOMPARE(qFromLittleEndian<quint64>(file.constData() + 64), quint64(plain.size()));
        const ToolRun decrypted = TestSupport::runTool(
            QStringLiteral("openssl"),
            {QStringLiteral("enc"), QStringLiteral("-d"), QStringLiteral("-aes-128-cbc"),
             QStringLiteral("-K"), QString::fromLatin1(FirmwareImageCipher::firmwareKey().toHex()),
             QStringLiteral("-iv"), QString::fromLatin1(file.mid(72, 16).toHex()),
             QStringLiteral("-nopad")},
            QString(), file.mid(88));
        QVERIFY2(decrypted.succeeded(), decrypted.standardError.constData());
        QCOMPARE(decrypted.standardOutput, plain + QByteArray((16 - plain.size() % 16) % 16, '\0'));
        const ToolRun digest = TestSupport::runTool(
            QStringLiteral("openssl"),
            {QStringLiteral("dgst"), QStringLiteral("-sha3-512"), QStringLiteral("-binary")},
            QString(), decrypted.standardOutput);
        QVERIFY2(digest.succeeded(), digest.standardError.constData());
        QCOMPARE(digest.standardOutput, file.left(64));
    }

protected:
    void setUpTestCase() override
    {
        QVERIFY(m_dir.isValid());
        m_tool = QDir(QCoreApplication::applicationDirPath())
                     .absoluteFilePath(QStringLiteral("../tools/mkpackage/k27-mkpackage"));
        QVERIFY2(QFileInfo(m_tool).isExecutable(),
                 qPrintable(m_tool + QLatin1String(" is missing; build the target k27-mkpackage")));
        m_platformPlain = TestSupport::randomBytes(1000);
        m_displayPlain = TestSupport::randomBytes(70001);
        write(QStringLiteral("platform.bin"), m_platformPlain);
        write(QStringLiteral("display.bin"), m_displayPlain);
        write(QStringLiteral("empty.bin"), QByteArray());

        // Encrypted images for the packages made by tar below.
        ToolRun run = mkpackage({QStringLiteral("encrypt"), QStringLiteral("platform.bin")});
        QVERIFY2(run.succeeded(), run.standardError.constData());
        run = mkpackage({QStringLiteral("encrypt"), QStringLiteral("display.bin"),
                         QStringLiteral("-o"), QStringLiteral("d.crypt")});
        QVERIFY2(run.succeeded(), run.standardError.constData());
        QVERIFY(
            QFile::rename(path(QStringLiteral("platform.crypt")), path(QStringLiteral("p.crypt"))));

        // Files whose names do not fit the 100-byte name field, for packages with
        // extended headers.
        QVERIFY(QDir(m_dir.path()).mkpath(QFileInfo(path(longNotes(1))).path()));
        for (int i = 1; i <= 2; ++i)
            write(longNotes(i), "release notes");

        QByteArray altered = read(QStringLiteral("d.crypt"));
        altered[200] = static_cast<char>(altered.at(200) ^ 0x01);
        write(QStringLiteral("d-altered.crypt"), altered);
        QByteArray shortened = read(QStringLiteral("p.crypt"));
        shortened[64] = static_cast<char>(100); // plain length 100 of a 1008-byte payload
        shortened[65] = 0;
        write(QStringLiteral("p-shortened.crypt"), shortened);
    }

private slots:
    void encryptCommand()
    {
        const QByteArray file = read(QStringLiteral("p.crypt"));
        QCOMPARE(file.size(), 88 + 1008);
        checkWithOpenSsl(file, m_platformPlain);
        QByteArray image = file;
        QCOMPARE(FirmwareImageCipher().verifyImage(image), FirmwareImageCipher::Check::Ok);
        QCOMPARE(image, m_platformPlain);
        checkWithOpenSsl(read(QStringLiteral("d.crypt")), m_displayPlain);
    }

    void encryptRefusals_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("output");
        QTest::newRow("missing image") << QStringList {"encrypt", "missing.bin"} << "missing.crypt";
        QTest::newRow("empty image") << QStringList {"encrypt", "empty.bin"} << "empty.crypt";
        QTest::newRow("output over the input")
            << QStringList {"encrypt", "platform.bin", "-o", "platform.bin"} << "";
        QTest::newRow("two images")
            << QStringList {"encrypt", "platform.bin", "display.bin"} << "display.crypt";
    }
    void encryptRefusals()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, output);
        const ToolRun run = mkpackage(arguments);
        QVERIFY(run.started);
        QVERIFY(run.exitCode != 0);
        QVERIFY(!run.standardError.isEmpty());
        if (!output.isEmpty())
            QVERIFY(!QFileInfo::exists(path(output)));
        QCOMPARE(read(QStringLiteral("platform.bin")), m_platformPlain);
    }

    void buildReadByTarAndOpenSsl()
    {
        const ToolRun built = mkpackage(
            {QStringLiteral("build"), QStringLiteral("-o"), QStringLiteral("package.tar"),
             QStringLiteral("--package-version"), QStringLiteral("K27 package 2.0"),
             QStringLiteral("--platform"), QStringLiteral("platform.bin"),
             QStringLiteral("--platform-version"), QStringLiteral("V1.2.3.4"),
             QStringLiteral("--display"), QStringLiteral("display.bin"),
             QStringLiteral("--display-version"), QStringLiteral("2.0.0.1"),
             QStringLiteral("--display-name"), QStringLiteral("images/display.crypt")});
        QVERIFY2(built.succeeded(), built.standardError.constData());

        const ToolRun listed = TestSupport::runTool(
            QStringLiteral("tar"), {QStringLiteral("-tf"), QStringLiteral("package.tar")},
            m_dir.path());
        QVERIFY2(listed.succeeded(), listed.standardError.constData());
        QCOMPARE(lines(listed.standardOutput),
                 (QStringList {"version.json", "platform.crypt", "images/display.crypt"}));

        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("out")));
        const ToolRun extracted = TestSupport::runTool(
            QStringLiteral("tar"), {QStringLiteral("-xf"), QStringLiteral("../package.tar")},
            path(QStringLiteral("out")));
        QVERIFY2(extracted.succeeded(), extracted.standardError.constData());
        QVERIFY(extracted.standardError.isEmpty());

        const QJsonObject manifest
            = QJsonDocument::fromJson(read(QStringLiteral("out/version.json"))).object();
        QCOMPARE(manifest.value("Package").toObject().value("Version").toString(),
                 QStringLiteral("K27 package 2.0"));
        const QJsonObject platform
            = manifest.value("Platform").toObject().value("Application").toObject();
        QCOMPARE(platform.value("Path").toString(), QStringLiteral("platform.crypt"));
        QCOMPARE(platform.value("Version").toString(), QStringLiteral("V1.2.3.4"));
        const QJsonObject display
            = manifest.value("Display").toObject().value("Application").toObject();
        QCOMPARE(display.value("Path").toString(), QStringLiteral("images/display.crypt"));
        QCOMPARE(display.value("Version").toString(), QStringLiteral("2.0.0.1"));

        checkWithOpenSsl(read(QStringLiteral("out/platform.crypt")), m_platformPlain);
        checkWithOpenSsl(read(QStringLiteral("out/images/display.crypt")), m_displayPlain);

        const ToolRun inspected
            = mkpackage({QStringLiteral("inspect"), QStringLiteral("package.tar")});
        QVERIFY2(inspected.succeeded(), inspected.standardError.constData());
        QVERIFY(inspected.standardError.isEmpty());
        const QStringList report = lines(inspected.standardOutput);
        QCOMPARE(report.value(0), QStringLiteral("Package version: K27 package 2.0"));
        QVERIFY(report.contains(QStringLiteral(
            "Platform application: \"platform.crypt\", version V1.2.3.4 (0x01020304)")));
        QVERIFY(report.contains(QStringLiteral(
            "Display application: \"images/display.crypt\", version 2.0.0.1 (0x02000001)")));

        const QByteArray key = FirmwareImageCipher::firmwareKey();
        for (const ToolRun &run : {built, inspected})
            QVERIFY(!run.standardOutput.contains(key) && !run.standardError.contains(key));
    }

    // A failing build writes nothing: an older package of the same name stays.
    void buildRefusals_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        const QStringList base {"build", "-o", "refused.tar", "--package-version", "P1"};
        const QStringList platform {"--platform", "platform.bin", "--platform-version", "1.0.0.0"};
        QTest::newRow("no output")
            << QStringList {"build", "--package-version", "P1"} + platform << 2;
        QTest::newRow("no package version")
            << QStringList {"build", "-o", "refused.tar"} + platform << 2;
        QTest::newRow("no image") << base << 2;
        QTest::newRow("image without version")
            << base + QStringList {"--platform", "platform.bin"} << 2;
        QTest::newRow("display image without version")
            << base + platform + QStringList {"--display", "display.bin"} << 2;
        QTest::newRow("version without image")
            << base + QStringList {"--display-version", "1.0.0.0"} << 2;
        QTest::newRow("three-part version")
            << base + QStringList {"--platform", "platform.bin", "--platform-version", "1.2.3"}
            << 1;
        QTest::newRow("version part above 255")
            << base + QStringList {"--platform", "platform.bin", "--platform-version", "1.256.0.0"}
            << 1;
        QTest::newRow("lower-case v")
            << base + QStringList {"--platform", "platform.bin", "--platform-version", "v1.0.0.0"}
            << 1;
        QTest::newRow("missing image")
            << base + QStringList {"--platform", "missing.bin", "--platform-version", "1.0.0.0"}
            << 1;
        QTest::newRow("empty image")
            << base + QStringList {"--platform", "empty.bin", "--platform-version", "1.0.0.0"} << 1;
        QTest::newRow("one name for two images")
            << base + platform + QStringList {"--display", "display.bin",    "--display-version",
                                              "1.0.0.0",   "--display-name", "platform.crypt"}
            << 1;
        QTest::newRow("image named version.json")
            << base + platform + QStringList {"--platform-name", "version.json"} << 1;
        QTest::newRow("name of 101 bytes")
            << base + platform + QStringList {"--platform-name", QString(101, QLatin1Char('n'))}
            << 1;
        QTest::newRow("unknown option") << base + platform + QStringList {"--compress"} << 2;
    }
    void buildRefusals()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        write(QStringLiteral("refused.tar"), "older package");
        const ToolRun run = mkpackage(arguments);
        QVERIFY(run.started);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY(!run.standardError.isEmpty());
        QCOMPARE(read(QStringLiteral("refused.tar")), QByteArray("older package"));
    }

    // Packages made by GNU tar from files in a folder, judged by inspect: every
    // failing image gives one line on standard error and a non-zero exit status.
    void inspectPackagesMadeByTar_data()
    {
        QTest::addColumn<QByteArray>("manifest");
        QTest::addColumn<QStringList>("members");
        QTest::addColumn<QString>("format");
        // -1: the archive as tar wrote it; otherwise it ends this many bytes before
        // the end of the last file's contents (no fill, no end blocks).
        QTest::addColumn<int>("cut");
        QTest::addColumn<QStringList>("errors"); // one expected line each, as a fragment

        const QByteArray both = R"({"Package": {"Version": "P"},
            "Platform": {"Application": {"Path": "p.crypt", "Version": "V1.0.0.0"}},
            "Display": {"Application": {"Path": "d.crypt", "Version": "V1.0.0.0"}}})";
        const QStringList all {"version.json", "p.crypt", "d.crypt"};
        QTest::newRow("good, ustar") << both << all << "ustar" << -1 << QStringList();
        QTest::newRow("good, gnu") << both << all << "gnu" << -1 << QStringList();
        QTest::newRow("good, without end blocks") << both << all << "ustar" << -1 << QStringList();
        // Extended headers (pax records, GNU long names) take no place among the five.
        QTest::newRow("good, pax") << both << all << "pax" << -1 << QStringList();
        const QStringList longNamesFirst = QStringList {longNotes(1), longNotes(2)} + all;
        QTest::newRow("good, gnu with long names first")
            << both << longNamesFirst << "gnu" << -1 << QStringList();
        QTest::newRow("good, pax with long names first")
            << both << longNamesFirst << "pax" << -1 << QStringList();
        QTest::newRow("display image missing")
            << both << QStringList {"version.json", "p.crypt"} << "ustar" << -1
            << QStringList {"Display application \"d.crypt\": not in the package"};
        QTest::newRow("both images missing")
            << both << QStringList {"version.json"} << "ustar" << -1
            << QStringList {"Platform application \"p.crypt\": not in the package",
                            "Display application \"d.crypt\": not in the package"};
        QTest::newRow("altered display image")
            << QByteArray(both).replace("\"d.crypt\"", "\"d-altered.crypt\"")
            << QStringList {"version.json", "p.crypt", "d-altered.crypt"} << "ustar" << -1
            << QStringList {"Display application \"d-altered.crypt\": the digest does not match"};
        QTest::newRow("shortened platform image")
            << QByteArray(both).replace("\"p.crypt\"", "\"p-shortened.crypt\"")
            << QStringList {"version.json", "p-shortened.crypt", "d.crypt"} << "ustar" << -1
            << QStringList {"Platform application \"p-shortened.crypt\": the plain length"};
        QTest::newRow("name in other letter case")
            << QByteArray(both).replace("\"d.crypt\"", "\"D.crypt\"") << all << "ustar" << -1
            << QStringList {"Display application \"D.crypt\": not in the package"};
        QTest::newRow("archive cut inside the display image")
            << both << all << "ustar" << 2000
            << QStringList {"Display application \"d.crypt\": not in the package"};
        QTest::newRow("no manifest") << both << QStringList {"p.crypt", "d.crypt"} << "ustar" << -1
                                     << QStringList {"no \"version.json\""};
        QTest::newRow("manifest not JSON") << QByteArray("{\"Package\": ") << all << "ustar" << -1
                                           << QStringList {"\"version.json\" is not a JSON object"};
        QTest::newRow("manifest without application")
            << QByteArray(R"({"Package": {"Version": "P"}})") << all << "ustar" << -1
            << QStringList {"names no application image"};
        // A manifest that contradicts itself: refused whole, though every image verifies.
        QTest::newRow("version part above 255")
            << QByteArray(both).replace("\"V1.0.0.0\"}},", "\"0.0.0.16777218\"}},") << all
            << "ustar" << -1
            << QStringList {"version.json: the platform application version \"0.0.0.16777218\" "
                            "has a part above 255"};
        QTest::newRow("one file for both controllers")
            << QByteArray(both).replace("\"d.crypt\"", "\"p.crypt\"") << all << "ustar" << -1
            << QStringList {"version.json names the file \"p.crypt\" for two controllers: "
                            "platform application and display application"};
        QTest::newRow("key twice")
            << QByteArray(both).replace("{\"Path\": \"p.crypt\"",
                                        "{\"Path\": \"d.crypt\", \"Path\": \"p.crypt\"")
            << all << "ustar" << -1
            << QStringList {"version.json gives the key \"Platform.Application.Path\" twice"};
        QTest::newRow("old tar format")
            << both << all << "v7" << -1 << QStringList {"not an uncompressed ustar archive"};
    }
    void inspectPackagesMadeByTar()
    {
        QFETCH(QByteArray, manifest);
        QFETCH(QStringList, members);
        QFETCH(QString, format);
        QFETCH(int, cut);
        QFETCH(QStringList, errors);

        write(QStringLiteral("version.json"), manifest);
        QFile::remove(path(QStringLiteral("made.tar")));
        const ToolRun made
            = TestSupport::runTool(QStringLiteral("tar"),
                                   QStringList {QStringLiteral("--format=") + format,
                                                QStringLiteral("-cf"), QStringLiteral("made.tar")}
                                       + members,
                                   m_dir.path());
        QVERIFY2(made.succeeded(), made.standardError.constData());
        if (cut >= 0) {
            const QByteArray whole = read(QStringLiteral("made.tar"));
            const Utilities::Tarball tarball(whole.constData(), quint32(whole.size()));
            QVERIFY(!tarball.entries().isEmpty());
            const Utilities::Tarball::Entry &last = *(tarball.entries().end() - 1);
            QFile archive(path(QStringLiteral("made.tar")));
            QVERIFY(archive.resize(qint64(last.offset) + last.size - cut));
        }

        const ToolRun run = mkpackage({QStringLiteral("inspect"), QStringLiteral("made.tar")});
        QVERIFY(run.started);
        QCOMPARE(run.exitCode, errors.isEmpty() ? 0 : 1);
        QStringList problems;
        for (const QString &line : lines(run.standardError)) {
            if (!line.contains(QLatin1String("warning:")))
                problems << line;
        }
        QCOMPARE(problems.size(), errors.size());
        for (int i = 0; i < errors.size(); ++i)
            QVERIFY2(problems.at(i).contains(errors.at(i)), qPrintable(problems.at(i)));
        if (errors.isEmpty())
            QCOMPARE(lines(run.standardOutput).value(0), QStringLiteral("Package version: P"));
    }

    void inspectUnreadableFile()
    {
        const ToolRun run = mkpackage({QStringLiteral("inspect"), QStringLiteral("missing.tar")});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(lines(run.standardError).size(), 1);
    }
};

K27_TEST_GUILESS_MAIN(TestMkPackage)
#include "tst_mkpackage.moc"

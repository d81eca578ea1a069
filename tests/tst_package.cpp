// The Debian package as a technician gets it: CPack builds it from this build tree, dpkg-deb
// lists and unpacks it, and the unpacked programs run from a temporary root.

#include "ToolVersion.h"
#include "support/ExternalTool.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"
#include "tools/devicesim/DeviceSimulator.h"
#include "tools/devicesim/SimulatedPortList.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using TestSupport::runTool;
using TestSupport::ToolRun;

namespace {

// The package carries the project's version without the leading "V".
QString packageVersion()
{
    return QLatin1String(ToolVersion::text).mid(1);
}

// The keys a udev rule line may use here, with the operators each allows. udev itself is the
// judge where its "verify" command exists; elsewhere this catches a misspelt key or operator.
QString checkUdevRuleLine(const QString &line)
{
    static const QRegularExpression pair(QStringLiteral(
        "^\\s*([A-Z_]+)(\\{[A-Za-z0-9_]+\\})?\\s*(==|!=|\\+=|-=|:=|=)\\s*\"([^\"]*)\"\\s*(,|$)"));
    static const QStringList matchKeys {"ACTION", "SUBSYSTEM", "SUBSYSTEMS", "KERNEL",
                                        "ATTRS",  "ATTR",      "ENV"};
    static const QStringList assignKeys {"TAG", "ENV", "GOTO", "LABEL", "MODE", "GROUP"};
    QString rest = line;
    while (!rest.trimmed().isEmpty()) {
        const QRegularExpressionMatch match = pair.match(rest);
        if (!match.hasMatch())
            return QStringLiteral("cannot parse: ") + rest;
        const QString key = match.captured(1);
        const QString op = match.captured(3);
        const bool isMatch = op == QLatin1String("==") || op == QLatin1String("!=");
        if (isMatch && !matchKeys.contains(key))
            return QStringLiteral("not a match key: ") + key;
        if (!isMatch && !assignKeys.contains(key))
            return QStringLiteral("not an assignment key: ") + key;
        if ((key == QLatin1String("ATTRS") || key == QLatin1String("ATTR")
             || key == QLatin1String("ENV"))
            && match.captured(2).isEmpty())
            return key + QStringLiteral(" needs {name}");
        rest = rest.mid(match.capturedLength());
    }
    return QString();
}

} // namespace

class TestPackage : public TestSupport::TrappedTest
{
    Q_OBJECT

protected:
    void setUpTestCase() override;

private slots:
    void packageHoldsEverything_data();
    void packageHoldsEverything();
    void controlFields();
    void desktopEntryIsValid();
    void udevRuleApplies();
    void installedCtlDumpsDevice();
    void installedProgramStartsInGerman();

private:
    QString installed(const QString &path) const { return m_root.path() + path; }

    QTemporaryDir m_output;
    QTemporaryDir m_root;
    QString m_package;
    QStringList m_contents;
};

void TestPackage::setUpTestCase()
{
    QVERIFY(m_output.isValid() && m_root.isValid());
    qRegisterMetaType<QProcess::ExitStatus>();
    for (const char *tool : {"dpkg-deb", "desktop-file-validate"})
        QVERIFY2(!TestSupport::findTool(QString::fromLatin1(tool)).isEmpty(), tool);

    const ToolRun cpack
        = runTool(QStringLiteral(K27_CPACK_COMMAND),
                  {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
                   QStringLiteral(K27_BINARY_DIR "/CPackConfig.cmake"), QStringLiteral("-B"),
                   m_output.path()});
    QVERIFY2(cpack.succeeded(), cpack.standardOutput + cpack.standardError);
    const QStringList debs
        = QDir(m_output.path()).entryList({QStringLiteral("*.deb")}, QDir::Files);
    QCOMPARE(debs.size(), 1);
    m_package = m_output.filePath(debs.first());
    QVERIFY2(debs.first().startsWith(QStringLiteral("k27-servicetool_") + packageVersion()),
             qPrintable(debs.first()));

    const ToolRun contents = runTool(QStringLiteral("dpkg-deb"), {"--contents", m_package});
    QVERIFY2(contents.succeeded(), contents.standardError.constData());
    for (const QString &line : QString::fromUtf8(contents.standardOutput).split('\n')) {
        const int path = line.indexOf(QStringLiteral(" ./"));
        if (path >= 0)
            m_contents.append(line.mid(path + 2).section(QStringLiteral(" -> "), 0, 0));
    }
    const ToolRun unpack = runTool(QStringLiteral("dpkg-deb"), {"-x", m_package, m_root.path()});
    QVERIFY2(unpack.succeeded(), unpack.standardError.constData());
}

void TestPackage::packageHoldsEverything_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("executable");

    for (const char *program : {"k27_servicetool", "k27ctl", "k27-mkpackage", "k27-devicesim"})
        QTest::newRow(program) << QStringLiteral("/usr/bin/") + QLatin1String(program) << true;
    QTest::newRow("desktop entry")
        << QStringLiteral("/usr/share/applications/k27-servicetool.desktop") << false;
    for (int size : {16, 32, 48, 64, 128, 256}) {
        const QString square = QStringLiteral("%1x%1").arg(size);
        QTest::newRow(qPrintable(QStringLiteral("icon ") + square))
            << QStringLiteral("/usr/share/icons/hicolor/%1/apps/k27-servicetool.png").arg(square)
            << false;
    }
    QTest::newRow("udev rule") << QStringLiteral("/usr/lib/udev/rules.d/70-torvex-k27.rules")
                               << false;
    QTest::newRow("German") << QStringLiteral("/usr/share/qt5/translations/k27_servicetool_de.qm")
                            << false;
}

void TestPackage::packageHoldsEverything()
{
    QFETCH(QString, path);
    QFETCH(bool, executable);

    QVERIFY2(m_contents.contains(path), qPrintable(m_contents.join('\n')));
    const QFileInfo file(installed(path));
    QVERIFY(file.isFile());
    QVERIFY(file.size() > 0);
    QCOMPARE(file.isExecutable(), executable);
    if (path.endsWith(QLatin1String(".png"))) {
        const int size = path.section('/', -3, -3).section('x', 0, 0).toInt();
        QFile picture(file.filePath());
        QVERIFY(picture.open(QIODevice::ReadOnly));
        const QByteArray header = picture.read(24);
        QVERIFY(header.startsWith("\x89PNG"));
        QCOMPARE(qFromBigEndian<quint32>(header.constData() + 16), quint32(size));
        QCOMPARE(qFromBigEndian<quint32>(header.constData() + 20), quint32(size));
    }
}

void TestPackage::controlFields()
{
    const auto field = [this](const char *name) {
        const ToolRun run = runTool(QStringLiteral("dpkg-deb"),
                                    {QStringLiteral("-f"), m_package, QLatin1String(name)});
        return QString::fromUtf8(run.standardOutput).trimmed();
    };
    QCOMPARE(field("Package"), QStringLiteral("k27-servicetool"));
    QCOMPARE(field("Version"), packageVersion());
    QVERIFY(!field("Maintainer").isEmpty());
    QVERIFY(!field("Description").isEmpty());
    // The shared-library dependencies come from the shlib tool, not from a hand-written list.
    const QString depends = field("Depends");
    for (const char *library : {"libqt5serialport5", "libqt5widgets5", "libssl", "udev"})
        QVERIFY2(depends.contains(QLatin1String(library)), qPrintable(depends));

    const ToolRun info = runTool(QStringLiteral("dpkg-deb"), {QStringLiteral("--info"), m_package});
    QVERIFY(info.standardOutput.contains("postinst"));
    QVERIFY(info.standardOutput.contains("postrm"));
    const ToolRun postinst
        = runTool(QStringLiteral("dpkg-deb"),
                  {QStringLiteral("--info"), m_package, QStringLiteral("postinst")});
    QVERIFY(postinst.standardOutput.contains("udevadm control --reload-rules"));
}

void TestPackage::desktopEntryIsValid()
{
    const QString entry
        = installed(QStringLiteral("/usr/share/applications/k27-servicetool.desktop"));
    const ToolRun validate = runTool(QStringLiteral("desktop-file-validate"), {entry});
    QVERIFY2(validate.succeeded() && validate.standardOutput.isEmpty(),
             validate.standardOutput + validate.standardError);

    QFile file(entry);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    // It starts the installed program and names the installed icon, with German beside English.
    QVERIFY(text.contains(QStringLiteral("\nExec=k27_servicetool\n")));
    QVERIFY(text.contains(QStringLiteral("\nIcon=k27-servicetool\n")));
    QVERIFY(text.contains(QStringLiteral("\nName[de]=")));
    QVERIFY(text.contains(QStringLiteral("\nComment[de]=")));
}

void TestPackage::udevRuleApplies()
{
    const QString rule = installed(QStringLiteral("/usr/lib/udev/rules.d/70-torvex-k27.rules"));
    QFile file(rule);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');

    const QString udevadm = TestSupport::findTool(QStringLiteral("udevadm"));
    if (!udevadm.isEmpty()) {
        const ToolRun help = runTool(udevadm, {QStringLiteral("verify"), QStringLiteral("--help")});
        if (help.succeeded()) {
            const ToolRun verify = runTool(udevadm, {QStringLiteral("verify"), rule});
            QVERIFY2(verify.succeeded(), verify.standardOutput + verify.standardError);
        }
    }
    QString deviceLine;
    for (const QString &line : lines) {
        if (line.trimmed().isEmpty() || line.trimmed().startsWith('#'))
            continue;
        const QString problem = checkUdevRuleLine(line);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        if (line.contains(QStringLiteral("idVendor")))
            deviceLine = line;
    }
    QVERIFY(deviceLine.contains(QStringLiteral(R"(ATTRS{idVendor}=="03eb")")));
    QVERIFY(deviceLine.contains(QStringLiteral(R"(ATTRS{idProduct}=="2404")")));
    QVERIFY(deviceLine.contains(QStringLiteral(R"(TAG+="uaccess")")));
    QVERIFY(deviceLine.contains(QStringLiteral(R"(ENV{ID_MM_DEVICE_IGNORE}="1")")));
    // uaccess is applied by 73-seat-late.rules: the rule must be read before it.
    QVERIFY(QFileInfo(rule).fileName() < QStringLiteral("73-seat-late.rules"));
}

void TestPackage::installedCtlDumpsDevice()
{
    DeviceSim::SimulatedPortList ports;
    DeviceSim::DeviceSimulatorOptions options;
    options.model = {{45, 4711}};
    DeviceSim::DeviceSimulator device(options, &ports);
    QVERIFY2(device.start(), qPrintable(device.errorString()));

    const ToolRun dump = TestSupport::runServedTool(
        installed(QStringLiteral("/usr/bin/k27ctl")),
        {QStringLiteral("--port"), device.portName(), QStringLiteral("dump")});
    QCOMPARE(dump.standardError, QByteArray());
    QCOMPARE(dump.exitCode, 0);
    const QJsonArray values = QJsonDocument::fromJson(dump.standardOutput).array();
    QCOMPARE(values.size(), 51);
    QVERIFY(dump.standardOutput.contains(
        R"({"id": 45, "name": "SerialNumber", "value": 4711, "text": "4711"})"));
}

void TestPackage::installedProgramStartsInGerman()
{
    // A user with a German desktop and no configuration yet starts the installed program.
    QTemporaryDir home;
    QVERIFY(home.isValid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("LANG"), QStringLiteral("de_DE.UTF-8"));
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("de_DE.UTF-8"));
    environment.remove(QStringLiteral("LANGUAGE"));
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("k27.startup.info=true"));
    // The sanitizer runtime of this build is not the installed program's business.
    environment.remove(QStringLiteral("LD_PRELOAD"));

    QProcess program;
    program.setProcessEnvironment(environment);
    program.setProgram(installed(QStringLiteral("/usr/bin/k27_servicetool")));
    program.start();
    QVERIFY(program.waitForStarted(30000));
    QByteArray log;
    // The login screen waits for its user; the program stays up until it is ended here.
    QTRY_VERIFY_WITH_TIMEOUT(
        (log += program.readAllStandardError(), log.contains("login screen shown:"))
            || program.state() == QProcess::NotRunning,
        30000);
    program.kill();
    program.waitForFinished();
    log += program.readAllStandardError();

    QVERIFY2(log.contains("translation k27_servicetool de_DE from"), log.constData());
    const int shown = log.indexOf("login screen shown:");
    QVERIFY2(shown >= 0, log.constData());
    const QByteArray screen = log.mid(shown, log.indexOf('\n', shown) - shown);
    QVERIFY2(screen.contains("Passwort speichern"), screen.constData());
    QVERIFY2(!screen.contains("Save password"), screen.constData());
}

K27_TEST_GUILESS_MAIN(TestPackage)
#include "tst_package.moc"

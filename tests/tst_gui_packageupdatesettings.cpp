#include "application/windows/ResultText.h"
#include "model/interfaces/ModelValueID.h"
#include "support/FileAnswers.h"
#include "support/PackageUpdatePanelFixture.h"
#include "support/TestRegistry.h"
#include "support/ValueNumber.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTextDocument>

using Model::Interfaces::ModelValueID;

namespace {
using TestSupport::id;

// The technician's settings, none of them the factory's.
const QList<QPair<ModelValueID, double>> &technicianSettings()
{
    static const QList<QPair<ModelValueID, double>> settings {
        {ModelValueID::TripClass, 3},
        {ModelValueID::NominalCurrent, 2.5},
        {ModelValueID::UndervoltageThreshold, 195.5}};
    return settings;
}

// The commands of an update itself, not the questions the window asks beside it.
bool isUpdateCommand(const ReceivedPacket &packet)
{
    return packet.command == Command::JumpToBootloader
        || packet.command == Command::ApplicationUpdate || packet.command == Command::Memblock;
}
} // namespace

// The device's settings kept across a package update in the panel: saved to the settings
// folder before the first command, compared once the device is back with its new software,
// and written back with RESTORE.
class TestPackageUpdateSettings : public PackageUpdatePanelFixture
{
    Q_OBJECT

private:
    QString settingsFolder() const
    {
        return QDir(m_folder->path()).filePath(QStringLiteral("kept"));
    }
    QStringList savedFiles() const
    {
        return QDir(settingsFolder())
            .entryList({QStringLiteral("*-before-update.json")}, QDir::Files);
    }
    // The panel's settings line as a person reads it.
    QString settingsLine()
    {
        QTextDocument document;
        document.setHtml(label("labelUpdateSettings")->text());
        return document.toPlainText().simplified();
    }
    // A device of the old software holding the technician's settings; new platform software
    // that may forget them. The settings folder is that of the file last exported.
    bool startWithSettings(int level, bool resetOnUpdate)
    {
        DeviceSimulatorOptions options;
        options.resetSettingsOnUpdate = resetOnUpdate;
        if (!start(level, options, [](DeviceSimulator &device) {
                for (const auto &setting : technicianSettings())
                    device.setModelValue(id(setting.first), setting.second, false);
            }))
            return false;
        if (!QDir().mkpath(settingsFolder()))
            return false;
        window().configuration()->setSettingsDir(
            QDir(settingsFolder()).filePath(QStringLiteral("last-export.json")));
        return true;
    }
    // SEARCH FOR NEW FIRMWARE, choosing a package of newer platform software.
    bool openPackage()
    {
        const QString package = m_packages->build(
            QStringLiteral("package.tar"), UpdatePackages::image(2100), QStringLiteral("V2.0.0.0"),
            QByteArray(), QStringLiteral("V2.0.0.1"));
        if (package.isEmpty())
            return false;
        TestSupport::FileAnswers answers;
        answers.choose(package);
        QTest::mouseClick(button("pushButtonOpenUpdatePackage"), Qt::LeftButton);
        return button("pushButtonStartPackageUpdate")->isVisibleTo(&window());
    }

private slots:
    void settingsKeptAcrossAnUpdate_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<bool>("resetOnUpdate");
        QTest::newRow("settings reset, Supervisor restores") << int(UserLogin::Supervisor) << true;
        QTest::newRow("settings reset, Demo may not change settings")
            << int(UserLogin::Demo) << true;
        QTest::newRow("settings kept") << int(UserLogin::Admin) << false;
    }
    void settingsKeptAcrossAnUpdate()
    {
        QFETCH(int, level);
        QFETCH(bool, resetOnUpdate);
        QVERIFY(startWithSettings(level, resetOnUpdate));
        QVERIFY(openPackage());
        QVERIFY(!button("pushButtonRestoreSettings")->isVisibleTo(&window()));
        m_harness->takeReceived();

        // What the settings folder holds the moment the device takes the update's first
        // command.
        std::optional<QStringList> savedAtFirstCommand;
        connect(&m_harness->device(), &DeviceSimulator::packetReceived, this,
                [&](const ReceivedPacket &packet) {
                    if (!savedAtFirstCommand && isUpdateCommand(packet))
                        savedAtFirstCommand = savedFiles();
                });
        QSignalSpy finished(&service(), &PackageUpdateService::packageUpdateFinished);
        QTest::mouseClick(button("pushButtonStartPackageUpdate"), Qt::LeftButton);
        QVERIFY(progressBar()->isVisibleTo(&window()));
        QVERIFY(finished.wait(20000));
        QVERIFY(m_harness->barrier());
        QCOMPARE(m_harness->device().platform().applicationVersion(), newPlatformVersion);

        // Saved before the first command, in the normal settings format, named after the
        // device.
        QVERIFY(savedAtFirstCommand.has_value());
        QCOMPARE(savedAtFirstCommand->size(), 1);
        QCOMPARE(savedFiles(), *savedAtFirstCommand);
        const QString name = savedFiles().first();
        const quint32 serial
            = quint32(m_harness->device().modelValue(id(ModelValueID::SerialNumber)));
        QVERIFY2(QRegularExpression(
                     QStringLiteral("^%1-\\d{8}-\\d{6}-before-update\\.json$").arg(serial))
                     .match(name)
                     .hasMatch(),
                 qPrintable(name));
        const QString path = QDir(settingsFolder()).filePath(name);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJsonObject saved = QJsonDocument::fromJson(file.readAll()).object();
        QCOMPARE(saved.value(QStringLiteral("TripClass")).toInt(), 3);
        QCOMPARE(saved.value(QStringLiteral("NominalCurrent")).toDouble(), 2.5);
        QCOMPARE(saved.value(QStringLiteral("Undervoltage"))
                     .toObject()
                     .value(QStringLiteral("Threshold"))
                     .toDouble(),
                 195.5);

        // Compared once the device has reported its settings again.
        QTRY_VERIFY2(!settingsLine().startsWith(QStringLiteral("Waiting")),
                     qPrintable(settingsLine()));
        QVERIFY(!Application::K27::ResultText::isError(label("labelUpdateSettings")));
        if (!resetOnUpdate) {
            QCOMPARE(settingsLine(),
                     QStringLiteral("Settings kept across the update: the device holds those "
                                    "saved in %1")
                         .arg(path));
            QVERIFY(!button("pushButtonRestoreSettings")->isVisibleTo(&window()));
            return;
        }
        const QString line = settingsLine();
        QVERIFY2(line.contains(path), qPrintable(line));
        for (const char *difference :
             {"Trip class 2E 10A", "Nominal current ", "Undervoltage threshold 207 V 195.5 V"})
            QVERIFY2(line.contains(QLatin1String(difference)), qPrintable(line));
        // Only the settings that differ are listed.
        QVERIFY2(!line.contains(QStringLiteral("Overvoltage")), qPrintable(line));
        const bool mayRestore = level != UserLogin::Demo;
        QCOMPARE(button("pushButtonRestoreSettings")->isVisibleTo(&window()), mayRestore);
        if (!mayRestore) {
            QCOMPARE(m_harness->device().modelValue(id(ModelValueID::TripClass)), 0.0);
            return;
        }

        m_harness->takeReceived();
        QTest::mouseClick(button("pushButtonRestoreSettings"), Qt::LeftButton);
        QVERIFY(m_harness->barrier());
        QTRY_VERIFY2(settingsLine().startsWith(QStringLiteral("Settings restored from")),
                     qPrintable(settingsLine()));
        QVERIFY(!Application::K27::ResultText::isError(label("labelUpdateSettings")));
        QVERIFY2(settingsLine().contains(QStringLiteral("3 values confirmed by the device")),
                 qPrintable(settingsLine()));
        QVERIFY(!button("pushButtonRestoreSettings")->isVisibleTo(&window()));
        // Exactly the differing settings were written, and the device holds them again.
        QList<quint16> written;
        for (const ReceivedPacket &packet : m_harness->takeReceived()) {
            if (packet.command == Command::SetModelValue)
                written.append(quint16(packet.number(0)));
        }
        std::sort(written.begin(), written.end());
        QList<quint16> expected;
        for (const auto &setting : technicianSettings())
            expected.append(id(setting.first));
        std::sort(expected.begin(), expected.end());
        QCOMPARE(written, expected);
        for (const auto &setting : technicianSettings())
            QCOMPARE(float(m_harness->device().modelValue(id(setting.first))),
                     float(setting.second));
    }

    // Settings that cannot be saved stop the update before anything of it is sent.
    void unsavedSettingsStopTheUpdate_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::newRow("folder gone") << QStringLiteral("gone");
        QTest::newRow("a file in the folder's place") << QStringLiteral("plain");
    }
    void unsavedSettingsStopTheUpdate()
    {
        QFETCH(QString, folder);
        QVERIFY(startWithSettings(UserLogin::Admin, true));
        const QString place = QDir(m_folder->path()).filePath(folder);
        QFile plain(QDir(m_folder->path()).filePath(QStringLiteral("plain")));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        window().configuration()->setSettingsDir(QDir(place).filePath(QStringLiteral("x.json")));
        QVERIFY(openPackage());
        m_harness->takeReceived();

        QTest::mouseClick(button("pushButtonStartPackageUpdate"), Qt::LeftButton);
        QVERIFY(m_harness->barrier());
        QVERIFY(updatePackets(m_harness->takeReceived()).isEmpty());
        QVERIFY(!service().isUpdating());
        QVERIFY(window().canClose());
        const QString said = settingsLine();
        QVERIFY2(
            said.startsWith(QStringLiteral("Update not started: the device's settings could not be "
                                           "saved to %1/")
                                .arg(place)),
            qPrintable(said));
        QVERIFY2(said.endsWith(QStringLiteral(". Nothing was sent.")), qPrintable(said));
        QVERIFY(Application::K27::ResultText::isError(label("labelUpdateSettings")));
        // The panel stays as it was: the update can be started again once the folder is there.
        QVERIFY(!progressBar()->isVisibleTo(&window()));
        QVERIFY(button("pushButtonStartPackageUpdate")->isVisibleTo(&window()));
        QVERIFY(!QFileInfo(place).isDir() || QDir(place).isEmpty());
        QCOMPARE(m_harness->device().platform().applicationVersion(), oldVersion);
    }
};

K27_TEST_MAIN(TestPackageUpdateSettings)
#include "tst_gui_packageupdatesettings.moc"

#pragma once

#include "PackageInstall.h"
#include "ValueArrivals.h"
#include "application/core/Settings.h"

#include <QElapsedTimer>
#include <QMap>
#include <QObject>
#include <QSet>
#include <QSharedPointer>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

class QTextStream;

namespace Application::K27 {
class Application;
class ReportedSettings;
class SerialPortManager;
class SettingsImport;
} // namespace Application::K27

namespace Model::Interfaces {
class ModelValueIntf;
} // namespace Model::Interfaces

// One run of k27ctl: opens the device port through a port manager, builds a device application
// on it (no window) and carries out one command. Every command ends with finished(exit code).
class ControlSession : public QObject
{
    Q_OBJECT

public:
    enum ExitCode {
        Success = 0,
        // settings diff: the device holds other settings than the file; update: installed, and
        // the device holds other settings than before it (not restored)
        SettingsDiffer = 1,
        BadArguments = 2,
        PortUnavailable = 3,
        TimedOut = 4,
        DeviceDisagreed = 5,
        Interrupted = 6, // SIGINT, SIGTERM or SIGHUP before the command finished
        DeviceGone = 7, // the device went away while measuring
        PackageRefused = 8, // unusable, tampered or not newer than the device: nothing sent
        UpdateFailed = 9, // the update began but did not end: a stall, a device that stayed away
        NotConfirmed = 10, // settings written that the device did not report back in time
        InvalidAnswer = 11, // the device answered with a content of the wrong width for its type
        // The platform runs its bootloader (an update broke off): it has no model, so it reports
        // no values and no settings; an update package completes it.
        PlatformInBootloader = 12,
        // update: the device's settings could not be saved before the update: nothing sent
        SettingsNotSaved = 13,
        // The program could not set itself up (watching for signals): nothing sent
        CannotStart = 14,
    };

    ControlSession(const QString &portPath, int timeoutMs, QTextStream &out, QTextStream &err);
    ~ControlSession() override;

    // Opens the port and builds the application; sends nothing. False, with the reason on
    // standard error, when the port cannot be opened.
    bool open();

    // Each returns false (reason on standard error) for arguments it cannot accept, before
    // anything is sent; otherwise the command runs and finished() follows.
    void dump();
    bool get(const QString &name);
    bool set(const QString &name, const QString &text);
    bool fire(const QString &action);
    // The settings file: export writes the device's protection settings to the file once the
    // model has been read; import checks the file whole (JSON types, whole numbers, known and
    // single keys, then the device's ranges and present settings once its model has been
    // read) and only then writes the settings the file carries and waits for the device to
    // report each back. A refused file sends no setting and ends with BadArguments; a setting
    // not reported back in time ends it with NotConfirmed. A platform in its bootloader
    // reports no settings: neither is done, PlatformInBootloader.
    bool settingsExport(const QString &path);
    bool settingsImport(const QString &path);
    // Compares the device's settings with a settings file, once the model has been read, and
    // prints each differing setting; sends no setting. Ends with Success when the device holds
    // the file's settings, SettingsDiffer when not, BadArguments for a refused file.
    bool settingsDiff(const QString &path);
    // The service report: once the model has been read and the display has told its software
    // version, writes the report as a PDF file. A device that does not report everything in
    // time ends it with TimedOut, a file that cannot be written with BadArguments, a platform
    // in its bootloader with PlatformInBootloader; none of them leaves a file.
    bool report(const QString &path);
    // Runs until the program is interrupted; says on standard error when the device goes
    // away and when it is back.
    void monitor();
    // Starts the measurement of "voltage", "current" or "power" and prints one CSV row per
    // measurement on standard output (the rows of a recording in the device window). After
    // seconds (0: until stopMeasuring), the measurement is stopped on the device and the
    // command ends with 0; a device that goes away ends it with DeviceGone.
    bool measure(const QString &quantity, double seconds);
    // Stops a running measurement on the device and ends the command with 0.
    void stopMeasuring();
    // Installs an update package once the device has reported its platform software version,
    // or at once when its platform runs its bootloader (an earlier update broke off; a package
    // with a platform image completes it).
    // waits: the update's waits in milliseconds (after the platform's and the display's
    // bootloader jumps, after the device came back, before "StopDisplayUpdate", and optionally
    // the longest silence before the first block request and between two); empty for the
    // usual ones.
    // Before the first command of the update, the device's settings are saved in
    // settingsFolder (SettingsBeforeUpdate); a save that fails ends it with SettingsNotSaved,
    // nothing sent. Once the device is back and has reported its settings again, they are
    // compared with the saved ones and each difference is printed; restoreSettings writes them
    // back through the import and waits for the device to confirm them. An installed update
    // whose settings differ and are not restored ends with SettingsDiffer.
    bool update(const QString &packagePath, bool allowDowngrade, const QList<int> &waits,
                const QString &settingsFolder, bool restoreSettings);

signals:
    void finished(int exitCode);

private:
    // The model value of a name ("NominalCurrent", case ignored) or identifier.
    Model::Interfaces::ModelValueIntf *findValue(const QString &nameOrNumber);
    // Starts the application: greetings and the model read. Records which values were asked
    // for.
    void runApplication();
    // Asks for the value unless the model read already did.
    void ensureRequested(Model::Interfaces::ModelValueIntf *value);
    void handleArrival(quint16 identifier);
    // Whether the value being set, and the values its allowed range depends on, have arrived.
    bool rangeKnown() const;
    void handleTimeout();
    // Waits until the port has passed every byte on, then reports the exit code.
    void finish(int exitCode);
    void fail(const QString &message, int exitCode);
    void printDump();
    // The model read and the display's version are in.
    bool reportComplete() const;
    void writeReport();
    void exportSettings();
    void importSettings();
    void finishImport();
    void diffSettings();
    void handleMalformedValue(quint16 identifier, int byteCount);
    void handlePlatformName();
    void printMeasurement(int kind, int phase);
    // Ends a measurement or the monitor once standard output is closed (the reader at the
    // other end of a pipe has gone): the measurement is stopped on the device first.
    void endIfOutputClosed();
    void handleMeasuredPortState();

    void handlePackageInstalled(PackageInstall::Result result);
    // The model holds the device's settings and its serial number.
    bool settingsToSaveKnown() const;
    void saveSettingsAndStartUpdate();
    // Asks the device for its settings again once the update is installed.
    void requestSettingsAfterUpdate();
    bool settingsReportedAfterUpdate() const;
    void compareSettingsAfterUpdate();

    enum class Waiting {
        Nothing,
        Dump,
        Get,
        SetInitial,
        SetReport,
        SettingsExport,
        SettingsImport,
        SettingsReport,
        SettingsDiff,
        Report,
        UpdateVersion,
        UpdateSettings, // accepted: the settings are read to be saved
        Update,
        UpdateCompare // installed: the settings are read again to be compared
    };

    const QString m_portPath;
    const int m_timeoutMs;
    QTextStream &m_out;
    QTextStream &m_err;
    // Holds the link through which a port of another name is presented; removed at the end.
    std::unique_ptr<QTemporaryDir> m_linkFolder;
    QSharedPointer<Application::K27::SerialPortManager> m_manager;
    std::unique_ptr<Application::K27::Application> m_application;
    // Attached to the model before m_arrivals: it knows of a content before the session does.
    std::unique_ptr<Application::K27::ReportedSettings> m_reportedSettings;
    ValueArrivals m_arrivals;
    QSet<quint16> m_requested;
    QTimer m_timer;
    Waiting m_waiting = Waiting::Nothing;
    Model::Interfaces::ModelValueIntf *m_value = nullptr;
    QString m_text;
    int m_arrivalsBeforeSend = 0;
    QByteArray m_sentContent;
    QString m_settingsPath;
    QString m_reportPath;
    Application::K27::Settings m_settings;
    std::unique_ptr<Application::K27::SettingsImport> m_import;
    // Values the device answered only with a content of the wrong width: their byte counts.
    QMap<quint16, int> m_invalid;
    // While measuring: the time since the measurement was started.
    bool m_measuring = false;
    bool m_outputClosed = false;
    QElapsedTimer m_measurementClock;
    std::unique_ptr<PackageInstall> m_install;
    bool m_allowDowngrade = false;
    QString m_settingsFolder;
    bool m_restoreSettings = false;
    bool m_restoring = false;
    // Where the settings were saved before the update; empty when none were (a platform in
    // its bootloader has none).
    QString m_savedSettingsPath;
    // The settings' arrivals when they were asked for again after the update.
    QMap<quint16, int> m_arrivalsAfterUpdate;
};

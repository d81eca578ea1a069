#pragma once

#include "application/core/AccessRights.h"
#include "application/core/Application.h"
#include "application/core/LatestMeasurements.h"
#include "application/core/MeasurementRecorder.h"
#include "application/core/ReportedSettings.h"
#include "application/core/SettingsImport.h"
#include "application/core/StatusDisplay.h"
#include "application/windows/ResultText.h"
#include "component/SerialPort.h"
#include "model/interfaces/ModelActionID.h"
#include "service/PackageUpdateService.h"
#include "service/TerminalCommandItem.h"
#include "service/UpdateControlService.h"
#include "service/UpdateStep.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QScopedPointer>
#include <QSharedPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class UserLogin;

namespace Component::K27 {
class ZantLinkComponent;
} // namespace Component::K27

namespace Application::K27 {
class PacketLog;
class PacketLogView;
} // namespace Application::K27

namespace Ui {
class K27SubScreen;
class K27SubScreenInformationPage;
class K27SubScreenConfigurationPage;
class K27SubScreenDataPage;
class K27SubScreenControlPage;
class K27SubScreenAboutPage;
class K27SubScreenServiceModePage;
class K27SubScreenDemoPage;
} // namespace Ui

// The working window of one device, and at the same time that device's application: the
// model, the link and the services of the device are reached through the application base and
// shown here. A row of page buttons on the left switches the pages on the right; each page's
// widgets come from a form of its own, laid onto the page widget of the window's form, so every
// widget is still found from the window by its object name.
//
// The implementation is split by page: K27SubScreen.cpp (frame, navigation, rights),
// K27SubScreenInformation.cpp (identity, status display, port state),
// K27SubScreenMeasurement.cpp (Data and Control pages), K27SubScreenConfiguration.cpp
// (Configuration page), K27SubScreenSettingsFile.cpp (settings export and import),
// K27SubScreenPackageUpdate.cpp (the package update panel of the Information page and the block
// requests of every update), K27SubScreenServiceMode.cpp (the Admin's command terminal, packet
// log and direct update) and K27SubScreenDemo.cpp (the Demo page).
//
// A value the device reports reaches its widget through showReportedValue and never goes back
// to the device; only a change the user makes is written.
class K27SubScreen
    : public QDialog
    , public ::Application::K27::Application
{
    Q_OBJECT

public:
    K27SubScreen(QSharedPointer<UserLogin> login, QSharedPointer<::Application::K27::Config> config,
                 QSharedPointer<::Application::K27::SerialPortManager> manager,
                 const QString &portName, QWidget *parent = nullptr);
    ~K27SubScreen() override;

    QString portName() const { return m_portName; }
    // Whether the main window may close this window when its port goes away.
    bool canClose() const;
    // Whether firmware is being written to the device (a package update or the service mode's
    // update of one controller): ending now may leave the device in its bootloader.
    bool isUpdating() const;

    // Makes this the main window's offline window, which stands for no device: it shows no
    // identity and offers nothing that needs a device, saying why.
    void showOffline();
    // The device as a person names it: its serial number once reported, else the port name.
    QString deviceName() const;
    // The device has gone away: a running recording ends and its file is saved. What to tell
    // about the recording that ended so ("Recording saved to PATH (N rows)"), or empty when
    // none did; told once.
    QString endRecordingAsDeviceLeft();

    // A mark every title of this window carries after its own text (the demo marks windows
    // of simulated devices); empty for none.
    void setTitleMark(const QString &mark);

    // Builds every page not built yet. The Information and Control pages are built with the
    // window, and the Service Mode page for a user who may open it (its packet log follows the
    // device from the start); the others when first shown; whoever looks into a page by its
    // widgets' object names before that (the screenshots, the widget tests) asks for them here.
    void buildPages();

    // Why a port cannot be opened and what to do about it; empty for a port that is open or
    // was never refused.
    static QString portFailureText(::Application::K27::SerialPort::OpenFailure failure,
                                   const QString &portName, const QString &group,
                                   const QString &systemText);

public slots:
    // Navigation: each runs on every toggle of its button.
    void handleInformationTab();
    void handleConfigurationTab();
    void handleDataTab();
    void handleControlTab();
    void handleAboutTab();
    void handleServiceTab();
    void handleDemoTab();

    // Identity and status of the device.
    void handleArticleNumberModelValue();
    void handleSerialNumberModelValue();
    void handlePlatformVersionModelValue();
    void handleHardwareRevisionModelValue();
    void handleFaultTypeModelValue();
    void handleOperatingModeModelValue();
    // The port opened, failed to open or closed.
    void handlePortOpenState();
    // RESET ERROR: asks the device to clear its error.
    void handleResetError();
    // REPORT: asks for the PDF file of the service report.
    void handleReport();
    // A controller's answer to "GetName" changed what it runs (its application, its bootloader).
    void handleControllerState();

    // Data page.
    void handleMeasurementVoltagePage();
    void handleMeasurementCurrentPage();
    void handleMeasurementPowerPage();
    void handleMeasurementVoltageModelValue(quint8 phase);
    void handleMeasurementCurrentModelValue(quint8 phase);
    void handleMeasurementActivePowerModelValue();
    void handleMeasurementReactivePowerModelValue();
    void handleMeasurementApparentPowerModelValue();
    void handleMeasurementPhaseModelValue();

    // Control page.
    void handleForward();
    void handleBackward();
    void handleIdle();
    void handleSoftstart(bool enable);
    void handleSoftstartEnableModelValue();

    // ---- Configuration page (K27SubScreenConfiguration.cpp) ----
    // Changes the user made, written to the device when they differ from the model.
    void handleNominalCurrent(double value);
    void handleTripClass(int index);
    void handleOverloadReset(bool autoReset);
    void handleUndercurrentEnable(bool enable);
    void handleUndercurrentThreshold(double value);
    void handleUndercurrentFaultType(int index);
    void handleUndervoltageEnable(bool enable);
    void handleUndervoltageThreshold(double value);
    void handleUndervoltageFaultType(int index);
    void handleOvervoltageEnable(bool enable);
    void handleOvervoltageThreshold(double value);
    void handleOvervoltageFaultType(int index);
    void handleAsymmetryEnable(bool enable);
    void handleAsymmetryThreshold(double value);
    void handleAsymmetryFaultType(int index);
    void handleFactoryReset();
    // Values the device reported.
    void handleNominalCurrentModelValue();
    void handleNominalCurrentMaxModelValue();
    void handleTripClassModelValue();
    void handleTripClassMaxModelValue();
    void handleOverloadResetModelValue();
    void handleUndercurrentThresholdModelValue();
    void handleUndercurrentFaultTypeModelValue();
    void handleUndercurrentEnableModelValue();
    void handleUndervoltageThresholdModelValue();
    void handleUndervoltageFaultTypeModelValue();
    void handleUndervoltageEnableModelValue();
    void handleOvervoltageThresholdModelValue();
    void handleOvervoltageFaultTypeModelValue();
    void handleOvervoltageEnableModelValue();
    void handleAsymmetryThresholdModelValue();
    void handleAsymmetryFaultTypeModelValue();
    void handleAsymmetryEnableModelValue();

    // ---- Settings file (K27SubScreenSettingsFile.cpp) ----
    // EXPORT and IMPORT: ask for the file, then export or import it.
    void handleExportSettings();
    void handleImportSettings();
    // Export to and import from a file already chosen; the result shows in the page's label.
    void exportSettings(const QString &path);
    void importSettings(const QString &path);
    // ---- end of Configuration page and settings file ----

    // Package update panel (Information page) and the block requests of every update.
    void handleOpenUpdatePackage();
    void handleStartPackageUpdate();
    void handlePackageUpdateVersion(const QString &version);
    void handlePackageUpdatePlatformVersion(quint32 version);
    void handlePackageUpdateWithoutPlatformImage();
    void handlePackageUpdateErrorOccured(const QString &message);
    void handlePackageUpdateFinished();
    void handlePackageUpdateStep(const Service::K27::UpdateStep &step);
    void handleRequestMemblock(quint16 blockNumber);
    // RESTORE: writes back the settings the update changed, as saved before it.
    void handleRestoreSettings();

public:
    // What follows the package dialog: opens the chosen package and keeps its path as the
    // configuration's SoftwareUpdateDir; an empty path (the dialog was cancelled) hides START
    // UPDATE and clears the package labels.
    void openUpdatePackage(const QString &path);

private:
    void connectPackageUpdate();
    // The update verdict on the loaded package, in the panel's label and START UPDATE.
    void showPackageVerdict();
    // The progress bar's text for the current step; a wait counts its seconds down.
    void showUpdateStep();
    void handleUpdateStepCountdown();
    // The panel's word once the device is back with its new software.
    QString updateCompleteText() const;
    // Saves the device's settings into the settings folder before the first command of an
    // update, when the device has reported them. False, said in the panel, when they could not
    // be saved: the update must not start.
    bool saveSettingsBeforeUpdate();
    // The device is back with its new software: once it has reported its settings again, they
    // are compared with those saved before the update.
    void awaitSettingsAfterUpdate();
    void compareSettingsAfterUpdate();
    // The device has confirmed the restored settings, or the time for it has passed.
    void handleSettingsRestored();
    // What an import and a restore say when they end; %1 is the file in each, and
    // notConfirmed takes %2 unconfirmed of %3 sent within %4 s.
    struct SettingsWriteTexts
    {
        QString confirmedOne;
        QString confirmedMany; // %2: how many values the device confirmed
        QString disagreed;
        QString notConfirmed;
    };
    // The lines of a finished import or restore (its outcome, then each refused or unconfirmed
    // setting) and whether it succeeded; no lines while it still waits.
    QStringList settingsWriteLines(const ::Application::K27::SettingsImport &write,
                                   const QString &shownPath, const SettingsWriteTexts &texts,
                                   ::Application::K27::ResultText::Kind &kind) const;
    // The panel's line on the settings kept across an update; rich text.
    void showUpdateSettingsResult(const QString &html, ::Application::K27::ResultText::Kind kind);
    // The folder EXPORT and IMPORT last used: the settings are saved there before an update.
    QString settingsFolder() const;

    Service::K27::UpdateStep m_updateStep {};
    QTimer m_updateStepCountdown;
    // START UPDATE was pressed and the run has not ended yet.
    bool m_updateStarted = false;
    // The last run failed: the page says what state the device is left in and what to do.
    bool m_updateFailed = false;
    // The file the device's settings were saved to before the last update; empty when none was
    // saved.
    QString m_settingsBeforeUpdatePath;
    // What the device has reported since it came back from the update.
    std::unique_ptr<::Application::K27::ReportedSettings> m_settingsAfterUpdate;
    // RESTORE waiting for the device to report the settings back.
    std::unique_ptr<::Application::K27::SettingsImport> m_settingsRestore;
    // Package update panel end.

    // ---- Service mode page (K27SubScreenServiceMode.cpp) and Demo page (K27SubScreenDemo.cpp)
public:
    // The packet log as kept (the newest lines up to its cap).
    const ::Application::K27::PacketLog &packetLog() const;

public slots:
    void handleTerminalReady();
    void handleCommand();
    void handleModelValueID(int index);
    void handleExecuteCommand();
    void handleCommandTransmitted(const QByteArray &data);
    void handleCommandReceived(const QByteArray &data);
    void handleSaveLog();
    void handleOpenFile();
    void handleStartUpdate();
    void handleProgress(int progress);
    void handleDigestError();
    void handleUpdateFailed(Service::K27::UpdateControlService::Error error,
                            const QString &message);
    void handleDemoModeExecutionOperationMode();
    void handleDemoModeExecutionWarning();
    void handleDemoModeExecutionError();

private:
    void connectServiceMode();
    // The service mode page's own widgets, once it is built.
    void connectServiceModePage();
    // The terminal service's commands in the page's list.
    void showCommands();
    // Listens to the terminal service's packet log while the service-mode log is allowed and
    // enabled.
    void followPacketLog();
    void connectDemo();
    // Shows the widgets of one argument position set up for the argument's type.
    void setUpArgument(int position, const ::Application::K27::TerminalCommandItem::Arg &argument);
    ::Application::K27::TerminalCommandItem *currentCommand() const;
    // The identifier chooser of an argument position; only the first position has one.
    QComboBox *argumentComboBox(int position) const;

    QList<QLabel *> m_argumentLabels;
    QList<QDoubleSpinBox *> m_argumentSpinBoxes;
    ::Application::K27::PacketLogView *m_packetLogView = nullptr;
    // The image chosen on the Software Update tab; empty until one was chosen there.
    QString m_updateImagePath;
    QString m_logPath;
    // ---- Service mode and Demo page end.

private:
    // The pages of the main stack, in its order.
    enum MainPage {
        InformationPage = 0,
        ConfigurationPage = 1,
        DataPage = 2,
        ControlPage = 3,
        AboutPage = 4,
        ServiceModePage = 5,
        DemoPage = 6,
    };
    bool pageBuilt(MainPage page) const { return (m_builtPages & (1u << page)) != 0; }
    // Lays the page's form onto its page widget unless it is there already; then shows on it
    // what arrived for it meanwhile.
    void buildPage(MainPage page);
    void buildConfigurationPage();
    void buildDataPage();
    void buildControlPage();
    void buildAboutPage();
    void buildDemoPage();
    void buildServiceModePage();
    // Builds the page and shows it.
    void showPage(MainPage page);
    // Runs show now when the page is built; otherwise keeps it for the page's build, the
    // latest one for each key (what it shows is read again then).
    void showOnPage(MainPage page, const QString &key, std::function<void()> show);
    struct PendingShow
    {
        MainPage page;
        QString key;
        std::function<void()> show;
    };
    unsigned m_builtPages = 0;
    std::vector<PendingShow> m_pendingShows;

    void connectFrame();
    // Gives the pages' result lines the width of their page.
    void placeResultLines();
    void connectInformation();
    void connectMeasurement();
    void connectControlPage();
    void connectConfiguration();
    // The Configuration page's own widgets, once it is built.
    void connectConfigurationPage();
    // Lets go of the Configuration page's number fields before the window goes.
    void disconnectConfiguration();
    // The number fields of the Configuration page with their allowed ranges, as the model holds
    // them (a field being typed into keeps its text).
    void showNumberFields();
    void showConfigurationResult(const QString &text, ::Application::K27::ResultText::Kind kind);
    // Shows one setting's model content on the Configuration page (Model::Interfaces::
    // ModelValueID as its number).
    void showSetting(int id);
    // The Configuration page, built first if it is not yet: for a change the user makes.
    Ui::K27SubScreenConfigurationPage &configurationPage();
    // The service report (K27SubScreenReport.cpp).
    void connectReport();
    // REPORT is there once the device has reported its identity.
    void showReportAvailable();
    void writeReport();
    void connectSettingsFile();
    void showSettingsFileResult(const QString &text, ::Application::K27::ResultText::Kind kind);
    bool deviceConnected() const;
    // Why the device cannot take part in an export or import now; empty when it can.
    QString settingsUnavailable() const;
    // An import or a restore is waiting for the device: the model holds settings it has not
    // confirmed.
    bool settingsWriteWaiting() const;
    // The device has confirmed an import, or the time for it has passed.
    void handleSettingsImported();
    void applyAccessRights();

    // The link component (component 0); null when the application has none.
    Component::K27::ZantLinkComponent *deviceLink() const;
    // Sends "FireModelAction" with the action identifier through the link component.
    void fireModelAction(Model::Interfaces::ModelActionID action);
    void showTitle(const QString &title);

    ::Application::K27::StatusDisplay::Input statusInput();
    void applyStatusView(const ::Application::K27::StatusDisplay::View &view);
    void showMotorStatus(::Application::K27::StatusDisplay::MotorStatus status);
    // The Control page says why the motor does not start while the device reports an error.
    void showMotorBlockedReason();
    void showDirection(::Application::K27::StatusDisplay::Direction direction);
    // What the controllers run, with what it means for the device: the platform's bootloader
    // (an update did not finish) shows what to do and turns off the pages that need the model;
    // after a failed update the page says what state the device is left in.
    void showDeviceState();
    // The platform runs its bootloader and no update is running: the model is not the device's.
    bool platformInBootloader() const;
    // The device's port is open: what its controllers last answered holds.
    bool deviceAnswers() const;
    // Turns the pages that need the model off while the platform runs its bootloader and on
    // again by the rights; gives the names of the pages turned off.
    QStringList applyModelPages(bool platformBootloader);
    // Whether the page shows the platform's bootloader; the model is read again when it ends.
    bool m_platformBootloaderShown = false;

    // Shows the picture of a resource path (an empty path clears the label) and keeps the path
    // in the label's "picture" property.
    static void showPicture(QLabel *label, const QString &path);
    void showMotorPicture();

    const QScopedPointer<Ui::K27SubScreen> m_ui;
    const QScopedPointer<Ui::K27SubScreenInformationPage> m_informationPage;
    const QScopedPointer<Ui::K27SubScreenConfigurationPage> m_configurationPage;
    const QScopedPointer<Ui::K27SubScreenDataPage> m_dataPage;
    const QScopedPointer<Ui::K27SubScreenControlPage> m_controlPage;
    const QScopedPointer<Ui::K27SubScreenAboutPage> m_aboutPage;
    const QScopedPointer<Ui::K27SubScreenServiceModePage> m_serviceModePage;
    const QScopedPointer<Ui::K27SubScreenDemoPage> m_demoPage;
    const QString m_portName;
    const AccessRights m_rights;
    bool m_followingPacketLog = false;
    QString m_title;
    QString m_titleMark;
    // Whether the device has reported its settings: EXPORT and IMPORT refuse until it has.
    std::unique_ptr<::Application::K27::ReportedSettings> m_reportedSettings;
    // The import waiting for the device to report its settings back, and its file as shown.
    std::unique_ptr<::Application::K27::SettingsImport> m_settingsImport;
    QString m_importedPath;
    // The service report's file, while the display's version is awaited.
    QString m_reportPath;
    QTimer m_reportWait;
    // The latest measurement of every quantity and phase, for the service report.
    ::Application::K27::LatestMeasurements m_latestMeasurements;

    // ---- Data page: live trend and recording (K27SubScreenMeasurement.cpp) ----------------
public slots:
    // RECORD: asks for the CSV file to record into.
    void handleRecord();
    // The file chosen for a recording; starts it.
    void handleRecordFile(const QString &path);
    // STOP: ends the recording and saves its file.
    void handleStopRecord();
    // The main stack shows another page: leaving the Data page ends the recording.
    void handleMainPageChanged(int index);
    // The port opened or closed: a device that went away ends the recording.
    void handleRecordPortState();

private:
    using MeasurementSample = ::Application::K27::MeasurementSample;

    void connectRecording();
    // The Data page's own widgets, once it is built.
    void connectDataPage();
    // Clears the trend and gives it the curves of the quantity.
    void startTrend(MeasurementSample::Kind quantity);
    // A measurement that arrived: into the trend if it shows that quantity, and into the
    // recording if one runs.
    void takeMeasurement(const MeasurementSample &sample);
    // Shows a reported measurement's text with its unit, and takes the measurement.
    void showMeasurement(QLabel *Ui::K27SubScreenDataPage::*label, const QByteArray &text,
                         MeasurementSample::Kind kind, int phase = -1);
    // Ends a running recording; status is what the page says once the file is saved. True
    // when a recording ended with its file saved.
    bool stopRecording(const QString &status);
    // The device went away: a running recording ends, and what became of its file is kept for
    // the main window (the Data page goes with the tab).
    void stopRecordingAsDeviceLeft();
    void showRecordingState();
    // The Data page's result line under the recording.
    void showRecordResult(const QString &text, ::Application::K27::ResultText::Kind kind);

    std::unique_ptr<::Application::K27::MeasurementRecorder> m_recorder;
    // Time of the trend: since the quantity shown was chosen.
    QElapsedTimer m_trendClock;
    MeasurementSample::Kind m_trendQuantity = MeasurementSample::Kind::Voltage;
    // The row count is shown a few times a second, not once per row.
    QTimer m_recordingStateTimer;
    QString m_recordFolder;
    // Said about the recording the device's going away ended, until the main window asks.
    QString m_recordingEndedByDeviceLeft;
};

#pragma once

#include "component/AbstractService.h"
#include "service/PackageUpdateError.h"
#include "service/UpdateControlService.h"
#include "service/UpdateStep.h"

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QSharedPointer>
#include <QString>
#include <QTimer>
#include <QVector>
#include <array>
#include <optional>

namespace Application::K27 {
class SerialPortManager;
} // namespace Application::K27

namespace Component::K27 {
class ZantLinkComponent;
} // namespace Component::K27

namespace Utilities {
class Tarball;
} // namespace Utilities

namespace Service::K27 {

class VersionParser;

// Installs an update package on one device: the platform through its bootloader, then, once
// the device has come back with the new platform software, the display, which the platform
// forwards to between "StartDisplayUpdate" and "StopDisplayUpdate". The image transfer itself
// is the update control service's.
//
// The run starts from the state it finds: a controller that already runs its bootloader (an
// earlier update broke off) gets no "JumpToBootloader" and no wait for it. The run is complete
// only when the device says so: each updated controller answers "GetName" with "Application"
// and reports the package's version ("GetSWVersion"; the platform also through its model value
// "PlatformVersion"). The device application hands these answers in through
// handleControllerName() and handleSoftwareVersion().
//
// The run is a state machine on the GUI thread. Every wait is a state of its own, ended by a
// single-shot timer whose time-out continues the machine; nothing waits in a local event loop,
// so nothing re-enters, and a service destroyed during a wait leaves no timer behind. A
// transfer the device stops asking for, a device that does not come back and a controller that
// does not confirm its new software end in the Failed state with an error (error(): its code
// and text; packageUpdateErrorOccured: the text); the controllers are then asked what they run,
// so that whoever shows the device knows where it stands.
//
// A package is checked as a whole when it is opened: its manifest, and every application image
// it names (present, digest, plain length, block count). A package that fails gives
// packageUpdateErrorOccured and can never be started; nothing is sent for it.
class PackageUpdateService
    : public QObject
    , public Component::Interfaces::AbstractService
{
    Q_OBJECT

public:
    static constexpr uint32_t ServiceId = 12;
    // The largest package opened: two images of the most blocks a transfer can count, with
    // room to spare for their headers, the manifest and the archive's own headers.
    static constexpr qint64 maximumPackageSize
        = 2 * UpdateControlService::maxImageSize + 16 * 1024 * 1024;

    // The named states of a package and its run; each wait of the run is one state, continued
    // by a single-shot timer. getState() gives the coarse code of each.
    enum class State {
        Idle, // nothing loaded: constructed, or a package being opened (code 0)
        Loaded, // a package passed its checks and may be run (1)
        PlatformBootloader, // "JumpToBootloader" went to the platform; its bootloader starts (2)
        PlatformPortAway, // the platform's bootloader has not given the port back yet (2)
        PlatformTransfer, // the platform pulls its image (2)
        DeviceRestarting, // the platform restarts into its new software; its port is away (3)
        DeviceSettling, // the port is back; the new software starts (3)
        Confirming, // the updated controllers are asked what they run now (3)
        DisplayBootloader, // "JumpToBootloader" went to the display; its bootloader starts (4)
        DisplayTransfer, // the display pulls its image through the platform (4)
        DisplayFinishing, // the display has its last block; "StopDisplayUpdate" follows (4)
        Failed, // the package was refused or its run ended with an error (5)
        Finished, // the run ended; it may run again (6)
    };
    Q_ENUM(State)

    // The waits of the run, in milliseconds.
    struct Timing
    {
        int platformBootloaderMs = 2000; // after "JumpToBootloader" to the platform
        int displayBootloaderMs = 1000; // after "JumpToBootloader" to the display
        int deviceSettleMs = 1000; // after the device's port came back
        int displayFinishMs = 5000; // after the display's last block, before "StopDisplayUpdate"
        // How long the device may stay away: after the platform update (it restarts into the
        // new software) and while its bootloader takes over the port.
        int deviceReturnTimeoutMs = 60000;
        // How long the updated controllers have to confirm their new software.
        int confirmTimeoutMs = 10000;
        // How often a controller is asked again while the run waits for its answer.
        int pollMs = 1000;
    };

    PackageUpdateService(const QSharedPointer<UpdateControlService> &updateControl,
                         const QSharedPointer<Application::K27::SerialPortManager> &portManager,
                         const QString &portName, QObject *parent = nullptr);
    ~PackageUpdateService() override;

    void onStart() override;
    void onStop() override;
    void onProcess() override { }

    // Loads and checks a package; refused while an update runs.
    void openPackage(const QString &path);
    // Runs the loaded package; only in states Loaded and Finished.
    void startUpdate();
    State state() const { return m_state; }
    // The state's code: 0 nothing loaded, 1 loaded, 2 platform, 3 waiting for the device after
    // the platform, 4 display, 5 failed, 6 finished.
    quint32 getState() const;
    // Whether an update runs (codes 2, 3 and 4): the device window stays while it does.
    bool isUpdating() const;
    // Why the last package was refused or its run ended; no error otherwise.
    const PackageUpdateError &error() const { return m_error; }

    void setTiming(const Timing &timing) { m_timing = timing; }
    const Timing &timing() const { return m_timing; }

    // The loaded package: its manifest (null when none was read) and how many application
    // images it holds.
    const QSharedPointer<VersionParser> &versionParser() const { return m_versionParser; }
    quint32 imageCount() const { return m_imageCount; }
    QString packagePath() const { return m_packagePath; }
    quint8 currentNode() const { return m_currentNode; }

    // What a controller (0 platform, 1 display) last answered to "GetName" ("Application",
    // "Bootloader"; empty while unknown) and the software version it last reported (none while
    // unknown).
    QByteArray controllerName(quint8 node) const;
    std::optional<quint32> reportedVersion(quint8 node) const;
    // The version of the package's application image for a controller; 0 when it brings none.
    quint32 packageVersionOf(quint8 node) const;
    // Whether the run updates the controller.
    bool updates(quint8 node) const;
    // The step the run is in; number 0 before the first run.
    const UpdateStep &step() const { return m_step; }

signals:
    void packageUpdateVersion(const QString &version);
    void packageUpdatePlatformVersion(quint32 version);
    // Instead of packageUpdatePlatformVersion: the package holds no platform image, so it brings
    // no platform software to compare with the device's.
    void packageUpdateWithoutPlatformImage();
    void packageUpdateErrorOccured(const QString &message);
    // The percentage of the whole run, 0 … 100.
    void packageUpdateProgressChanged(quint32 progress);
    // Only once every updated controller has confirmed the package's software.
    void packageUpdateFinished();
    // The step the run is in, with the step's own percentage or countdown.
    void packageUpdateStepChanged(const Service::K27::UpdateStep &step);

public slots:
    void handleProgressChanged(quint32 progress);
    void handleDigestError();
    void handleUpdateFinished();
    void handleTransferFailed(Service::K27::UpdateControlService::Error error,
                              const QString &message);
    void handlePortOpened(const QString &portName);
    void handlePortClosed(const QString &portName);
    // A controller's answer to "GetName".
    void handleControllerName(quint8 node, const QByteArray &name);
    // A controller's software version: its answer to "GetSWVersion", or the platform's model
    // value "PlatformVersion".
    void handleSoftwareVersion(quint8 node, quint32 version);

private:
    // Reads and checks the package; no error when it can be used. The manifest's versions go
    // to the two optionals, to be announced once the package has passed.
    PackageUpdateError loadPackage(const QString &path, std::optional<QString> *packageVersion,
                                   std::optional<quint32> *platformVersion);
    void clearPackage();
    Component::K27::ZantLinkComponent *link();
    QString imagePath(quint8 node) const;
    bool holdsImage(quint8 node) const;
    // The steps of the run from the state the device is in.
    void planSteps();
    // Moves to the step of the given kind (the next one of it) and announces it.
    void enterStep(UpdateStep::Kind kind, UpdateStep::Wait wait = UpdateStep::Wait::None);
    void announceStep();
    void handleTick();
    void runPlatformStep();
    void runDisplayStep();
    void startTransfer(quint8 node);
    // Enters a waiting state that the step timer ends.
    void waitIn(State state, int milliseconds);
    void handleStepTimeout();
    void handleDeviceReturnTimeout();
    void handlePoll();
    void startConfirmation();
    void askControllers();
    void checkConfirmation();
    void handleConfirmTimeout();
    // Why a controller has not confirmed the package's software; empty once it has.
    QString unconfirmedText(quint8 node) const;
    void fail(const PackageUpdateError &error);
    void finish();
    bool isOwnPort(const QString &portName) const;

    const QSharedPointer<UpdateControlService> m_updateControl;
    const QSharedPointer<Application::K27::SerialPortManager> m_portManager;
    const QString m_portName;
    Component::K27::ZantLinkComponent *m_link = nullptr;
    State m_state = State::Idle;
    PackageUpdateError m_error;
    QString m_packagePath;
    qint64 m_packageSize = 0;
    QByteArray m_packageData;
    QSharedPointer<Utilities::Tarball> m_tarball;
    QSharedPointer<VersionParser> m_versionParser;
    // The application images as verified when the package was opened, decrypted, by node:
    // a transfer sends these and does not decrypt again.
    std::array<QByteArray, 2> m_plainImages;
    quint8 m_currentNode = 0;
    quint32 m_imageCount = 0;
    QMap<quint8, quint32> m_progressByNode;

    Timing m_timing;
    // Ends the waits of the states PlatformBootloader, DeviceSettling, DisplayBootloader and
    // DisplayFinishing.
    QTimer m_stepTimer;
    // How long the device may stay away in PlatformPortAway and DeviceRestarting, and how
    // long the controllers have to confirm in Confirming.
    QTimer m_returnTimer;
    // Asks again in DeviceRestarting and Confirming.
    QTimer m_pollTimer;
    // Counts a wait down, once a second.
    QTimer m_tickTimer;

    // The last "GetName" answers and reported versions, by node.
    std::array<QByteArray, 2> m_names;
    std::array<std::optional<quint32>, 2> m_versions;
    // Answers that arrived since the confirmation began, by node.
    std::array<bool, 2> m_confirmedName {};
    std::array<bool, 2> m_confirmedVersion {};

    // The steps of the run, in order, and the one it is in.
    QVector<UpdateStep> m_steps;
    int m_stepIndex = -1;
    UpdateStep m_step;
};

} // namespace Service::K27

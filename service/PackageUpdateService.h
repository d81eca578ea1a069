#pragma once

#include "component/AbstractService.h"
#include "service/UpdateControlService.h"

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QSharedPointer>
#include <QString>
#include <QTimer>
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
// The run is a state machine on the GUI thread. Every wait is a single-shot timer whose
// time-out continues the machine; nothing waits in a local event loop, so nothing re-enters,
// and a service destroyed during a wait leaves no timer behind. A transfer the device stops
// asking for, and a device that does not come back, end in the error state with a message.
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

    enum State : quint32 {
        Opening = 0,
        Loaded = 1,
        PlatformTransfer = 2,
        WaitingForDevice = 3,
        DisplayTransfer = 4,
        Failed = 5,
        Finished = 6,
    };
    Q_ENUM(State)

    // What the run is doing, for the progress display.
    enum class Step { Platform, WaitingForDevice, Display };
    Q_ENUM(Step)

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
    quint32 getState() const { return m_state; }
    bool isUpdating() const
    {
        return m_state == PlatformTransfer || m_state == WaitingForDevice
            || m_state == DisplayTransfer;
    }

    void setTiming(const Timing &timing) { m_timing = timing; }
    const Timing &timing() const { return m_timing; }

    // The loaded package: its manifest (null when none was read) and how many application
    // images it holds.
    const QSharedPointer<VersionParser> &versionParser() const { return m_versionParser; }
    quint32 imageCount() const { return m_imageCount; }
    QString packagePath() const { return m_packagePath; }
    quint8 currentNode() const { return m_currentNode; }

signals:
    void packageUpdateVersion(const QString &version);
    void packageUpdatePlatformVersion(quint32 version);
    void packageUpdateErrorOccured(const QString &message);
    void packageUpdateProgressChanged(quint32 progress);
    void packageUpdateFinished();
    // The current step and that step's own percentage (0 while waiting for the device).
    void packageUpdateStepChanged(Service::K27::PackageUpdateService::Step step, quint32 percent);

public slots:
    void handleProgressChanged(quint32 progress);
    void handleDigestError();
    void handleUpdateFinished();
    void handleTransferFailed(Service::K27::UpdateControlService::Error error,
                              const QString &message);
    void handlePortOpened(const QString &portName);
    void handlePortClosed(const QString &portName);

private:
    // What the single-shot timer continues with.
    enum class Continuation {
        None,
        PlatformInBootloader, // the platform had time to start its bootloader
        DisplayInBootloader, // the display had time to start its bootloader
        DeviceSettled, // the device came back and had time to start its software
        DisplayDone, // the display had time to take its image
    };

    // Reads and checks the package; an empty text when it can be used. The manifest's versions
    // go to the two optionals, to be announced once the package has passed.
    QString loadPackage(const QString &path, std::optional<QString> *packageVersion,
                        std::optional<quint32> *platformVersion);
    void clearPackage();
    Component::K27::ZantLinkComponent *link();
    void runPlatformStep();
    void runDisplayStep();
    void startTransfer(quint8 node);
    void continueAfter(Continuation continuation, int milliseconds);
    void handleContinuation();
    void handleDeviceReturnTimeout();
    void fail(const QString &message);
    void finish();
    bool isOwnPort(const QString &portName) const;

    const QSharedPointer<UpdateControlService> m_updateControl;
    const QSharedPointer<Application::K27::SerialPortManager> m_portManager;
    const QString m_portName;
    Component::K27::ZantLinkComponent *m_link = nullptr;
    quint32 m_state = Opening;
    QString m_packagePath;
    qint64 m_packageSize = 0;
    QByteArray m_packageData;
    QSharedPointer<Utilities::Tarball> m_tarball;
    QSharedPointer<VersionParser> m_versionParser;
    quint8 m_currentNode = 0;
    quint32 m_imageCount = 0;
    QMap<quint8, quint32> m_progressByNode;

    Timing m_timing;
    Continuation m_continuation = Continuation::None;
    QTimer m_stepTimer;
    QTimer m_returnTimer;
    // The platform's bootloader has not taken the port over yet: the transfer starts when the
    // port opens again.
    bool m_waitingForBootloaderPort = false;
};

} // namespace Service::K27

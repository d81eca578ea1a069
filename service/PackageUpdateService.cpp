#include "service/PackageUpdateService.h"

#include "component/SerialPortManager.h"
#include "component/ZantLinkComponent.h"
#include "model/interfaces/ModelActionID.h"
#include "service/VersionParser.h"
#include "utilities/RegularFile.h"
#include "utilities/Tarball.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonParseError>
#include <optional>

namespace Service::K27 {

namespace {
constexpr uint32_t linkId = 0;
constexpr quint8 platformNode = 0;
constexpr quint8 displayNode = 1;
const QByteArray manifestName = QByteArrayLiteral("version.json");
} // namespace

PackageUpdateService::PackageUpdateService(
    const QSharedPointer<UpdateControlService> &updateControl,
    const QSharedPointer<Application::K27::SerialPortManager> &portManager, const QString &portName,
    QObject *parent)
    : QObject(parent)
    , Component::Interfaces::AbstractService(ServiceId)
    , m_updateControl(updateControl)
    , m_portManager(portManager)
    , m_portName(portName)
{
    qRegisterMetaType<Service::K27::PackageUpdateService::Step>();
    m_stepTimer.setSingleShot(true);
    connect(&m_stepTimer, &QTimer::timeout, this, &PackageUpdateService::handleStepTimeout);
    m_returnTimer.setSingleShot(true);
    connect(&m_returnTimer, &QTimer::timeout, this,
            &PackageUpdateService::handleDeviceReturnTimeout);

    if (m_updateControl != nullptr) {
        const UpdateControlService *const control = m_updateControl.data();
        connect(control, &UpdateControlService::progressChanged, this,
                &PackageUpdateService::handleProgressChanged);
        connect(control, &UpdateControlService::digestError, this,
                &PackageUpdateService::handleDigestError);
        connect(control, &UpdateControlService::updateFinished, this,
                &PackageUpdateService::handleUpdateFinished);
        connect(control, &UpdateControlService::transferFailed, this,
                &PackageUpdateService::handleTransferFailed);
    }
    if (m_portManager != nullptr) {
        const Application::K27::SerialPortManager *const manager = m_portManager.data();
        connect(manager, &Application::K27::SerialPortManager::portOpened, this,
                &PackageUpdateService::handlePortOpened);
        connect(manager, &Application::K27::SerialPortManager::portClosed, this,
                &PackageUpdateService::handlePortClosed);
    }
}

PackageUpdateService::~PackageUpdateService()
{
    // The tarball's entries point into the package bytes: the index goes first.
    m_versionParser.reset();
    m_tarball.reset();
}

void PackageUpdateService::onStart()
{
    m_link = dynamic_cast<Component::K27::ZantLinkComponent *>(getComponent(linkId));
}

void PackageUpdateService::onStop() { }

quint32 PackageUpdateService::getState() const
{
    switch (m_state) {
    case State::Idle:
        return 0;
    case State::Loaded:
        return 1;
    case State::PlatformBootloader:
    case State::PlatformPortAway:
    case State::PlatformTransfer:
        return 2;
    case State::DeviceRestarting:
    case State::DeviceSettling:
        return 3;
    case State::DisplayBootloader:
    case State::DisplayTransfer:
    case State::DisplayFinishing:
        return 4;
    case State::Failed:
        return 5;
    case State::Finished:
        return 6;
    }
    return 0;
}

bool PackageUpdateService::isUpdating() const
{
    const quint32 code = getState();
    return code >= 2 && code <= 4;
}

// ---- opening a package ---------------------------------------------------------------------

void PackageUpdateService::clearPackage()
{
    m_versionParser.reset();
    m_tarball.reset();
    m_packageData.clear();
    m_packageSize = 0;
    m_imageCount = 0;
    m_progressByNode.clear();
}

void PackageUpdateService::openPackage(const QString &path)
{
    if (isUpdating())
        return;
    m_state = State::Idle;
    m_error = PackageUpdateError();
    m_packagePath = path;
    clearPackage();

    // The manifest's announcements wait until the whole package has passed its checks, so the
    // window never offers a package that cannot be installed.
    std::optional<QString> packageVersion;
    std::optional<quint32> platformVersion;
    const PackageUpdateError error = loadPackage(path, &packageVersion, &platformVersion);
    if (error.isError()) {
        clearPackage();
        m_state = State::Failed;
        m_error = error;
        emit packageUpdateErrorOccured(error.text());
        return;
    }
    if (packageVersion)
        emit packageUpdateVersion(*packageVersion);
    // A manifest may name platform software without an image of it (a bootloader record
    // only); only an image that will be sent has a version to compare.
    if (m_versionParser->platformApplication().path().isEmpty())
        emit packageUpdateWithoutPlatformImage();
    else
        emit packageUpdatePlatformVersion(platformVersion.value_or(0));
    m_state = State::Loaded;
}

PackageUpdateError PackageUpdateService::loadPackage(const QString &path,
                                                     std::optional<QString> *packageVersion,
                                                     std::optional<quint32> *platformVersion)
{
    // Only a regular file: a FIFO chosen in the dialog cannot block the window.
    Utilities::RegularFile::Result result = Utilities::RegularFile::Result::Read;
    m_packageData = Utilities::RegularFile::read(path, maximumPackageSize, &result);
    m_packageSize = m_packageData.size();
    if (result != Utilities::RegularFile::Result::Read)
        return {PackageUpdateError::Code::Unreadable,
                QCoreApplication::translate("Service::K27::PackageUpdateService",
                                            "Cannot read the package: %1")
                    .arg(Utilities::RegularFile::failureText(result, maximumPackageSize))};

    m_tarball = QSharedPointer<Utilities::Tarball>::create(m_packageData.constData(),
                                                           quint32(m_packageData.size()));
    if (m_tarball->isTruncated())
        return {PackageUpdateError::Code::Incomplete,
                QCoreApplication::translate("Service::K27::PackageUpdateService",
                                            "The package is incomplete: it ends inside a file")};
    const Utilities::Tarball::Entry *const manifest = m_tarball->find(manifestName);
    if (manifest == nullptr)
        return {PackageUpdateError::Code::NoManifest,
                QCoreApplication::translate("Service::K27::PackageUpdateService",
                                            "The package has no version.json")};

    const QByteArray manifestBytes(manifest->data, manifest->size);
    // Asked before the JSON reader runs, which keeps one of two equal keys silently.
    if (const QString fault = VersionParser::duplicateKeyFault(manifestBytes); !fault.isEmpty())
        return {PackageUpdateError::Code::InvalidManifest, fault};
    QJsonParseError parseError {};
    const QJsonDocument document = QJsonDocument::fromJson(manifestBytes, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject())
        return {PackageUpdateError::Code::InvalidManifest,
                QCoreApplication::translate("Service::K27::PackageUpdateService",
                                            "The package's version.json is not a valid manifest")};
    m_versionParser = QSharedPointer<VersionParser>::create(manifestBytes);
    // The versions are kept, not announced: openPackage announces them once every check passed.
    {
        QObject context;
        connect(m_versionParser.data(), &VersionParser::packageUpdateVersion, &context,
                [packageVersion](const QString &version) { *packageVersion = version; });
        connect(m_versionParser.data(), &VersionParser::packageUpdatePlatformVersion, &context,
                [platformVersion](quint32 version) { *platformVersion = version; });
        m_versionParser->parse();
    }
    // A manifest that contradicts itself is refused whole: which image it means is unknown.
    if (!m_versionParser->faults().isEmpty())
        return {PackageUpdateError::Code::InvalidManifest, m_versionParser->faults().constFirst()};
    const QString platformPath = m_versionParser->platformApplication().path();
    const QString displayPath = m_versionParser->displayApplication().path();
    for (const QString &imagePath : {platformPath, displayPath}) {
        if (imagePath.isEmpty())
            continue;
        const Utilities::Tarball::Entry *const entry = m_tarball->find(imagePath.toUtf8());
        if (entry == nullptr)
            return {PackageUpdateError::Code::MissingImage,
                    QCoreApplication::translate(
                        "Service::K27::PackageUpdateService",
                        "The package names the firmware image %1, which it does not hold")
                        .arg(imagePath)};
        ++m_imageCount;
        // Checked now, before the device is sent into its bootloader: a bad image must never
        // leave the device without its application.
        const UpdateControlService::Error error = UpdateControlService::checkImage(
            QByteArray::fromRawData(entry->data, entry->size), true, nullptr);
        if (error == UpdateControlService::Error::DigestMismatch)
            return {PackageUpdateError::Code::DigestMismatch,
                    QCoreApplication::translate("Service::K27::PackageUpdateService",
                                                "Security Error! Wrong Digest")};
        if (error != UpdateControlService::Error::None)
            return {PackageUpdateError::Code::ImageRefused,
                    QCoreApplication::translate("Service::K27::PackageUpdateService", "%1: %2")
                        .arg(imagePath, UpdateControlService::errorText(error))};
    }
    if (m_imageCount == 0)
        return {PackageUpdateError::Code::NoImage,
                QCoreApplication::translate("Service::K27::PackageUpdateService",
                                            "The package holds no firmware image for this device")};
    return {};
}

// ---- the run -------------------------------------------------------------------------------

void PackageUpdateService::startUpdate()
{
    if (m_state != State::Loaded && m_state != State::Finished)
        return;
    m_progressByNode.clear();
    if (m_tarball == nullptr)
        return;
    m_error = PackageUpdateError();
    if (m_versionParser != nullptr
        && m_tarball->contains(m_versionParser->platformApplication().path().toUtf8())) {
        runPlatformStep();
    } else if (m_versionParser != nullptr
               && m_tarball->contains(m_versionParser->displayApplication().path().toUtf8())) {
        runDisplayStep();
    } else {
        finish();
    }
}

Component::K27::ZantLinkComponent *PackageUpdateService::link()
{
    if (m_link == nullptr)
        m_link = dynamic_cast<Component::K27::ZantLinkComponent *>(getComponent(linkId));
    return m_link;
}

void PackageUpdateService::runPlatformStep()
{
    m_currentNode = platformNode;
    // The state first: whoever follows the step sees the update running.
    m_state = State::PlatformBootloader;
    emit packageUpdateStepChanged(Step::Platform, 0);
    if (Component::K27::ZantLinkComponent *const device = link())
        device->sendJumpToBootloader(platformNode);
    waitIn(State::PlatformBootloader, m_timing.platformBootloaderMs);
}

void PackageUpdateService::runDisplayStep()
{
    m_currentNode = displayNode;
    // The state first: whoever follows the step sees the update running.
    m_state = State::DisplayBootloader;
    emit packageUpdateStepChanged(Step::Display, 0);
    if (Component::K27::ZantLinkComponent *const device = link())
        device->sendJumpToBootloader(displayNode);
    waitIn(State::DisplayBootloader, m_timing.displayBootloaderMs);
}

void PackageUpdateService::startTransfer(quint8 node)
{
    m_state = node == platformNode ? State::PlatformTransfer : State::DisplayTransfer;
    const QString path = node == platformNode ? m_versionParser->platformApplication().path()
                                              : m_versionParser->displayApplication().path();
    const Utilities::Tarball::Entry *const entry = m_tarball->find(path.toUtf8());
    if (entry == nullptr)
        return;
    // Package images are always encrypted. A refused image reports through the update control
    // service's signals, which end the run here.
    m_updateControl->start(QByteArray(entry->data, entry->size), 1, node);
}

void PackageUpdateService::waitIn(State state, int milliseconds)
{
    m_state = state;
    m_stepTimer.start(qMax(0, milliseconds));
}

void PackageUpdateService::handleStepTimeout()
{
    switch (m_state) {
    case State::PlatformBootloader:
        // The bootloader may have taken the port over by now; open it again. If it is not
        // back yet, the transfer starts when it is.
        if (link() != nullptr && !link()->open()) {
            m_state = State::PlatformPortAway;
            m_returnTimer.start(qMax(0, m_timing.deviceReturnTimeoutMs));
            return;
        }
        startTransfer(platformNode);
        return;
    case State::DisplayBootloader:
        startTransfer(displayNode);
        return;
    case State::DeviceSettling:
        if (m_tarball == nullptr)
            return;
        if (m_versionParser != nullptr
            && m_tarball->contains(m_versionParser->displayApplication().path().toUtf8())) {
            if (Component::K27::ZantLinkComponent *const device = link())
                device->sendFireModelAction(Model::Interfaces::toNumber(
                    Model::Interfaces::ModelActionID::StartDisplayUpdate));
            runDisplayStep();
        } else {
            finish();
        }
        return;
    case State::DisplayFinishing:
        if (Component::K27::ZantLinkComponent *const device = link())
            device->sendFireModelAction(
                Model::Interfaces::toNumber(Model::Interfaces::ModelActionID::StopDisplayUpdate));
        finish();
        return;
    case State::Idle:
    case State::Loaded:
    case State::PlatformPortAway:
    case State::PlatformTransfer:
    case State::DeviceRestarting:
    case State::DisplayTransfer:
    case State::Failed:
    case State::Finished:
        // No wait of these states ends by this timer.
        return;
    }
}

void PackageUpdateService::handleDeviceReturnTimeout()
{
    const int seconds = (m_timing.deviceReturnTimeoutMs + 999) / 1000;
    if (m_state == State::DeviceRestarting) {
        const QString text = m_imageCount > 1
            ? QCoreApplication::translate("Service::K27::PackageUpdateService",
                                          "The platform was updated, but the device did not come "
                                          "back within %1 s; the display was not updated")
            : QCoreApplication::translate(
                "Service::K27::PackageUpdateService",
                "The platform was updated, but the device did not come back within %1 s");
        fail({PackageUpdateError::Code::DeviceStayedAway, text.arg(seconds)});
    } else if (m_state == State::PlatformPortAway) {
        fail({PackageUpdateError::Code::BootloaderStayedAway,
              QCoreApplication::translate("Service::K27::PackageUpdateService",
                                          "The device did not come back within %1 s after it was "
                                          "sent into its bootloader; nothing was sent")
                  .arg(seconds)});
    }
}

void PackageUpdateService::fail(const PackageUpdateError &error)
{
    m_stepTimer.stop();
    m_returnTimer.stop();
    if (m_updateControl != nullptr)
        m_updateControl->cancel();
    m_state = State::Failed;
    m_error = error;
    emit packageUpdateErrorOccured(error.text());
}

void PackageUpdateService::finish()
{
    m_stepTimer.stop();
    m_returnTimer.stop();
    m_state = State::Finished;
    emit packageUpdateFinished();
}

bool PackageUpdateService::isOwnPort(const QString &portName) const
{
    return portName == m_portName;
}

void PackageUpdateService::handleProgressChanged(quint32 progress)
{
    if (!isUpdating() || m_imageCount == 0)
        return;
    m_progressByNode[m_currentNode] = progress / m_imageCount;
    quint32 total = 0;
    for (const quint32 share : qAsConst(m_progressByNode))
        total += share;
    emit packageUpdateProgressChanged(total);
    switch (getState()) {
    case 2:
        emit packageUpdateStepChanged(Step::Platform, progress);
        break;
    case 4:
        emit packageUpdateStepChanged(Step::Display, progress);
        break;
    default:
        break;
    }
}

void PackageUpdateService::handleDigestError()
{
    if (isUpdating())
        fail({PackageUpdateError::Code::DigestMismatch,
              QCoreApplication::translate("Service::K27::PackageUpdateService",
                                          "Security Error! Wrong Digest")});
}

void PackageUpdateService::handleTransferFailed(UpdateControlService::Error error,
                                                const QString &message)
{
    if (!isUpdating())
        return;
    const PackageUpdateError::Code code = error == UpdateControlService::Error::Stalled
        ? PackageUpdateError::Code::Stalled
        : PackageUpdateError::Code::ImageRefused;
    fail({code,
          m_currentNode == platformNode
              ? QCoreApplication::translate("Service::K27::PackageUpdateService", "Platform: %1")
                    .arg(message)
              : QCoreApplication::translate("Service::K27::PackageUpdateService", "Display: %1")
                    .arg(message)});
}

void PackageUpdateService::handleUpdateFinished()
{
    switch (m_state) {
    case State::PlatformTransfer:
        // The platform restarts into its new software; its port goes away and comes back.
        m_state = State::DeviceRestarting;
        emit packageUpdateStepChanged(Step::WaitingForDevice, 0);
        m_returnTimer.start(qMax(0, m_timing.deviceReturnTimeoutMs));
        return;
    case State::DisplayTransfer:
        waitIn(State::DisplayFinishing, m_timing.displayFinishMs);
        return;
    default:
        // Not the end of a transfer of this run.
        return;
    }
}

void PackageUpdateService::handlePortOpened(const QString &portName)
{
    if (!isOwnPort(portName))
        return;
    switch (m_state) {
    case State::PlatformPortAway:
        m_returnTimer.stop();
        if (link() != nullptr)
            link()->open();
        startTransfer(platformNode);
        return;
    case State::DeviceRestarting:
        m_returnTimer.stop();
        waitIn(State::DeviceSettling, m_timing.deviceSettleMs);
        return;
    default:
        return;
    }
}

void PackageUpdateService::handlePortClosed(const QString &portName)
{
    // A closed port ends nothing by itself: the device restarts during the update, and a
    // transfer it stops asking for ends on its own time-out.
    Q_UNUSED(portName)
}

} // namespace Service::K27

#include "service/PackageUpdateService.h"

#include "component/SerialPortManager.h"
#include "component/ZantLinkCommandCode.h"
#include "component/ZantLinkComponent.h"
#include "component/ZantLinkPacket.h"
#include "model/interfaces/ModelActionID.h"
#include "model/interfaces/ModelValueID.h"
#include "service/VersionParser.h"
#include "utilities/RegularFile.h"
#include "utilities/Tarball.h"
#include "utilities/VersionText.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonParseError>
#include <optional>

namespace Service::K27 {

namespace {
constexpr uint32_t linkId = 0;
constexpr quint8 platformNode = 0;
constexpr quint8 displayNode = 1;
const QByteArray applicationName = QByteArrayLiteral("Application");
const QByteArray bootloaderName = QByteArrayLiteral("Bootloader");
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
    qRegisterMetaType<Service::K27::UpdateStep>();
    m_stepTimer.setSingleShot(true);
    connect(&m_stepTimer, &QTimer::timeout, this, &PackageUpdateService::handleStepTimeout);
    m_returnTimer.setSingleShot(true);
    connect(&m_returnTimer, &QTimer::timeout, this,
            &PackageUpdateService::handleDeviceReturnTimeout);
    connect(&m_pollTimer, &QTimer::timeout, this, &PackageUpdateService::handlePoll);
    m_tickTimer.setInterval(1000);
    connect(&m_tickTimer, &QTimer::timeout, this, &PackageUpdateService::handleTick);

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
    case State::Confirming:
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
    m_plainImages = {};
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
    for (const quint8 node : {platformNode, displayNode}) {
        const QString &imagePath = node == platformNode ? platformPath : displayPath;
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
        // leave the device without its application. The verified image is kept for the
        // transfer.
        const UpdateControlService::Error error = UpdateControlService::checkImage(
            QByteArray::fromRawData(entry->data, entry->size), true, &m_plainImages.at(node));
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

QByteArray PackageUpdateService::controllerName(quint8 node) const
{
    return node < m_names.size() ? m_names.at(node) : QByteArray();
}

std::optional<quint32> PackageUpdateService::reportedVersion(quint8 node) const
{
    return node < m_versions.size() ? m_versions.at(node) : std::nullopt;
}

QString PackageUpdateService::imagePath(quint8 node) const
{
    if (m_versionParser == nullptr)
        return QString();
    return node == platformNode ? m_versionParser->platformApplication().path()
                                : m_versionParser->displayApplication().path();
}

bool PackageUpdateService::holdsImage(quint8 node) const
{
    const QString path = imagePath(node);
    return m_tarball != nullptr && !path.isEmpty() && m_tarball->contains(path.toUtf8());
}

bool PackageUpdateService::updates(quint8 node) const
{
    return holdsImage(node);
}

quint32 PackageUpdateService::packageVersionOf(quint8 node) const
{
    if (m_versionParser == nullptr || !holdsImage(node))
        return 0;
    return node == platformNode ? m_versionParser->platformApplication().number()
                                : m_versionParser->displayApplication().number();
}

void PackageUpdateService::startUpdate()
{
    if (m_state != State::Loaded && m_state != State::Finished)
        return;
    if (m_updateControl != nullptr && m_updateControl->isTransferring()) {
        // A single image sent from the service view: its transfer is not replaced.
        const QString text = QCoreApplication::translate(
            "Service::K27::PackageUpdateService",
            "Another update is running: wait until it has ended, then start again");
        m_error = {PackageUpdateError::Code::Busy, text};
        emit packageUpdateErrorOccured(text);
        return;
    }
    m_progressByNode.clear();
    if (m_tarball == nullptr)
        return;
    m_error = PackageUpdateError();
    planSteps();
    if (holdsImage(platformNode))
        runPlatformStep();
    else if (holdsImage(displayNode))
        runDisplayStep();
    else
        finish();
}

void PackageUpdateService::planSteps()
{
    using Kind = UpdateStep::Kind;
    using Wait = UpdateStep::Wait;
    const auto step = [](Kind kind, Wait wait) {
        UpdateStep entry;
        entry.kind = kind;
        entry.wait = wait;
        return entry;
    };
    m_steps.clear();
    const bool platform = holdsImage(platformNode);
    const bool display = holdsImage(displayNode);
    if (platform) {
        if (m_names.at(platformNode) != bootloaderName)
            m_steps.append(step(Kind::Waiting, Wait::Bootloader));
        m_steps.append(step(Kind::PlatformTransfer, Wait::None));
        // The device restarts; the display's bootloader jump belongs to this wait.
        m_steps.append(step(Kind::Waiting, Wait::DeviceRestart));
    }
    if (display) {
        if (!platform && m_names.at(displayNode) != bootloaderName)
            m_steps.append(step(Kind::Waiting, Wait::Bootloader));
        m_steps.append(step(Kind::DisplayTransfer, Wait::None));
        // The display's last writes, then the confirmation.
        m_steps.append(step(Kind::Waiting, Wait::DisplayFinish));
    }
    for (int i = 0; i < m_steps.size(); ++i) {
        m_steps[i].number = i + 1;
        m_steps[i].count = int(m_steps.size());
    }
    m_stepIndex = -1;
    m_step = UpdateStep();
}

void PackageUpdateService::enterStep(UpdateStep::Kind kind, UpdateStep::Wait wait)
{
    // The next step of that kind: a wait that continues as another (the display's bootloader
    // after the device's restart) stays one step.
    int index = m_stepIndex;
    for (int i = qMax(0, m_stepIndex); i < m_steps.size(); ++i) {
        const UpdateStep &candidate = m_steps.at(i);
        if (candidate.kind == kind) {
            index = i;
            break;
        }
    }
    if (index < 0)
        return;
    if (index != m_stepIndex) {
        m_stepIndex = index;
        m_step = m_steps.at(index);
    }
    m_step.wait = kind == UpdateStep::Kind::Waiting ? wait : UpdateStep::Wait::None;
    m_step.percent = 0;
    m_step.secondsLeft = -1;
    if (kind == UpdateStep::Kind::Waiting)
        m_tickTimer.start();
    else
        m_tickTimer.stop();
    handleTick();
}

void PackageUpdateService::handleTick()
{
    if (m_step.kind == UpdateStep::Kind::Waiting) {
        // The timer that ends the wait: the step's own, or the one that gives up on it.
        const QTimer *const timer = m_stepTimer.isActive() ? &m_stepTimer : &m_returnTimer;
        m_step.secondsLeft = timer->isActive() ? (timer->remainingTime() + 999) / 1000 : -1;
    }
    announceStep();
}

void PackageUpdateService::announceStep()
{
    if (m_step.count <= 0)
        return;
    emit packageUpdateStepChanged(m_step);
    // Every step weighs the same; a transfer fills its share as it goes.
    const int share = m_step.kind == UpdateStep::Kind::Waiting ? 0 : m_step.percent;
    const int whole = ((m_step.number - 1) * 100 + share) / m_step.count;
    emit packageUpdateProgressChanged(quint32(qBound(0, whole, 100)));
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
    if (m_names.at(platformNode) == bootloaderName) {
        // An earlier update broke off: the bootloader already runs and waits for its image.
        startTransfer(platformNode);
        return;
    }
    // The state first: whoever follows the step sees the update running.
    m_state = State::PlatformBootloader;
    if (Component::K27::ZantLinkComponent *const device = link())
        device->sendJumpToBootloader(platformNode);
    waitIn(State::PlatformBootloader, m_timing.platformBootloaderMs);
    enterStep(UpdateStep::Kind::Waiting, UpdateStep::Wait::Bootloader);
}

void PackageUpdateService::runDisplayStep()
{
    m_currentNode = displayNode;
    if (m_names.at(displayNode) == bootloaderName) {
        startTransfer(displayNode);
        return;
    }
    // The state first: whoever follows the step sees the update running.
    m_state = State::DisplayBootloader;
    if (Component::K27::ZantLinkComponent *const device = link())
        device->sendJumpToBootloader(displayNode);
    waitIn(State::DisplayBootloader, m_timing.displayBootloaderMs);
    enterStep(UpdateStep::Kind::Waiting, UpdateStep::Wait::Bootloader);
}

void PackageUpdateService::startTransfer(quint8 node)
{
    m_currentNode = node;
    m_state = node == platformNode ? State::PlatformTransfer : State::DisplayTransfer;
    enterStep(node == platformNode ? UpdateStep::Kind::PlatformTransfer
                                   : UpdateStep::Kind::DisplayTransfer);
    if (node >= m_plainImages.size() || m_plainImages.at(node).isEmpty())
        return;
    // The image passed its check when the package was opened and is sent as verified then.
    // A refused start reports through the update control service's signals, which end the
    // run here.
    m_updateControl->start(m_plainImages.at(node), 0, node);
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
        if (holdsImage(displayNode)) {
            if (Component::K27::ZantLinkComponent *const device = link())
                device->sendFireModelAction(Model::Interfaces::toNumber(
                    Model::Interfaces::ModelActionID::StartDisplayUpdate));
            runDisplayStep();
        } else {
            startConfirmation();
        }
        return;
    case State::DisplayFinishing:
        if (Component::K27::ZantLinkComponent *const device = link())
            device->sendFireModelAction(
                Model::Interfaces::toNumber(Model::Interfaces::ModelActionID::StopDisplayUpdate));
        startConfirmation();
        return;
    case State::Idle:
    case State::Loaded:
    case State::PlatformPortAway:
    case State::PlatformTransfer:
    case State::DeviceRestarting:
    case State::Confirming:
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
        // A platform that still answers from its bootloader was not updated: its transfer did
        // not finish (the last block sent is not the last block written).
        if (m_names.at(platformNode) == bootloaderName) {
            fail({PackageUpdateError::Code::StillInBootloader, unconfirmedText(platformNode)});
            return;
        }
        const QString text = holdsImage(displayNode)
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
    } else if (m_state == State::Confirming) {
        handleConfirmTimeout();
    }
}

void PackageUpdateService::handlePoll()
{
    Component::K27::ZantLinkComponent *const device = link();
    if (device == nullptr)
        return;
    if (m_state == State::DeviceRestarting) {
        // While the port is there, the platform says whether it restarted or still runs its
        // bootloader; an absent port takes the question nowhere.
        device->sendGetName(platformNode);
        return;
    }
    if (m_state == State::Confirming)
        askControllers();
}

void PackageUpdateService::startConfirmation()
{
    m_state = State::Confirming;
    m_stepTimer.stop();
    m_confirmedName = {};
    m_confirmedVersion = {};
    enterStep(UpdateStep::Kind::Waiting, UpdateStep::Wait::Confirmation);
    m_returnTimer.start(qMax(0, m_timing.confirmTimeoutMs));
    m_pollTimer.start(qMax(1, m_timing.pollMs));
    askControllers();
    handleTick();
}

void PackageUpdateService::askControllers()
{
    Component::K27::ZantLinkComponent *const device = link();
    if (device == nullptr)
        return;
    for (const quint8 node : {platformNode, displayNode}) {
        if (!holdsImage(node))
            continue;
        // Asked again until the answer is the one wanted: a controller may still be
        // restarting when it first answers.
        if (!m_confirmedName.at(node) || m_names.at(node) != applicationName)
            device->sendGetName(node);
        const quint32 expected = packageVersionOf(node);
        if (!m_confirmedVersion.at(node) || (expected != 0 && m_versions.at(node) != expected)) {
            device->send(Component::K27::ZantLinkCommandCode::GetSWVersion,
                         Component::Interfaces::ZantLinkPacket::Host, node);
            if (node == platformNode)
                device->sendGetModelValue(
                    Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::PlatformVersion));
        }
    }
}

QString PackageUpdateService::unconfirmedText(quint8 node) const
{
    const bool platform = node == platformNode;
    const QByteArray &answer = m_names.at(node);
    // Each text through tr(), where lupdate finds it.
    if (answer == bootloaderName)
        return platform ? tr("The platform is still in its bootloader: its transfer did not "
                             "finish")
                        : tr("The display is still in its bootloader: its transfer did not "
                             "finish");
    const bool answered = m_state != State::Confirming || m_confirmedName.at(node);
    if (!answered || answer != applicationName)
        return platform ? tr("The platform did not report its application after its update: "
                             "its state is unknown")
                        : tr("The display did not report its application after its update: "
                             "its state is unknown");
    const quint32 expected = packageVersionOf(node);
    const std::optional<quint32> reported = m_versions.at(node);
    if ((m_state == State::Confirming && !m_confirmedVersion.at(node)) || !reported)
        return platform ? tr("The platform runs its application but did not report its version")
                        : tr("The display runs its application but did not report its version");
    if (expected != 0 && *reported != expected)
        return (platform ? tr("The platform reports %1, not the package's %2")
                         : tr("The display reports %1, not the package's %2"))
            .arg(Utilities::versionText(*reported), Utilities::versionText(expected));
    return QString();
}

void PackageUpdateService::checkConfirmation()
{
    if (m_state != State::Confirming)
        return;
    for (const quint8 node : {platformNode, displayNode}) {
        if (!holdsImage(node))
            continue;
        if (!m_confirmedName.at(node) || !m_confirmedVersion.at(node)
            || m_names.at(node) != applicationName)
            return;
        const quint32 expected = packageVersionOf(node);
        if (expected != 0 && m_versions.at(node) != expected)
            return;
    }
    finish();
}

void PackageUpdateService::handleConfirmTimeout()
{
    QStringList reasons;
    bool inBootloader = false;
    for (const quint8 node : {platformNode, displayNode}) {
        if (!holdsImage(node))
            continue;
        const QString reason = unconfirmedText(node);
        if (reason.isEmpty())
            continue;
        reasons.append(reason);
        inBootloader = inBootloader || m_names.at(node) == bootloaderName;
    }
    if (reasons.isEmpty()) {
        finish();
        return;
    }
    fail({inBootloader ? PackageUpdateError::Code::StillInBootloader
                       : PackageUpdateError::Code::NotConfirmed,
          reasons.join(QStringLiteral("; "))});
}

void PackageUpdateService::fail(const PackageUpdateError &error)
{
    m_stepTimer.stop();
    m_returnTimer.stop();
    m_pollTimer.stop();
    m_tickTimer.stop();
    if (m_updateControl != nullptr)
        m_updateControl->cancel();
    m_state = State::Failed;
    m_error = error;
    emit packageUpdateErrorOccured(error.text());
    // Whoever shows the device learns where its controllers stand now.
    if (Component::K27::ZantLinkComponent *const device = link()) {
        device->sendGetName(platformNode);
        device->sendGetName(displayNode);
    }
}

void PackageUpdateService::finish()
{
    m_stepTimer.stop();
    m_returnTimer.stop();
    m_pollTimer.stop();
    m_tickTimer.stop();
    m_state = State::Finished;
    if (m_step.count > 0)
        emit packageUpdateProgressChanged(100);
    emit packageUpdateFinished();
}

bool PackageUpdateService::isOwnPort(const QString &portName) const
{
    return portName == m_portName;
}

void PackageUpdateService::handleProgressChanged(quint32 progress)
{
    if (m_state != State::PlatformTransfer && m_state != State::DisplayTransfer)
        return;
    if (m_imageCount > 0)
        m_progressByNode[m_currentNode] = progress / m_imageCount;
    // A transfer reports after every block; the step changes only with its percentage.
    const int percent = int(qMin<quint32>(progress, 100));
    if (percent == m_step.percent)
        return;
    m_step.percent = percent;
    announceStep();
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
    // A start refused because a transfer runs concerns whoever asked for it, not this run.
    if (!isUpdating() || error == UpdateControlService::Error::Busy)
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
        // Until it says otherwise, what it runs is unknown.
        m_names[platformNode].clear();
        m_versions[platformNode].reset();
        m_state = State::DeviceRestarting;
        m_returnTimer.start(qMax(0, m_timing.deviceReturnTimeoutMs));
        m_pollTimer.start(qMax(1, m_timing.pollMs));
        enterStep(UpdateStep::Kind::Waiting, UpdateStep::Wait::DeviceRestart);
        return;
    case State::DisplayTransfer:
        m_names[displayNode].clear();
        m_versions[displayNode].reset();
        waitIn(State::DisplayFinishing, m_timing.displayFinishMs);
        enterStep(UpdateStep::Kind::Waiting, UpdateStep::Wait::DisplayFinish);
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
        m_pollTimer.stop();
        waitIn(State::DeviceSettling, m_timing.deviceSettleMs);
        handleTick();
        return;
    default:
        return;
    }
}

void PackageUpdateService::handlePortClosed(const QString &portName)
{
    // A closed port ends nothing by itself: the device restarts during the update, and a
    // transfer it stops asking for ends on its own time-out. A device that answered from its
    // new software and then restarts after all is waited for again.
    if (!isOwnPort(portName) || m_state != State::DeviceSettling)
        return;
    m_stepTimer.stop();
    m_state = State::DeviceRestarting;
    m_returnTimer.start(qMax(0, m_timing.deviceReturnTimeoutMs));
    m_pollTimer.start(qMax(1, m_timing.pollMs));
    handleTick();
}

void PackageUpdateService::handleControllerName(quint8 node, const QByteArray &name)
{
    if (node >= m_names.size())
        return;
    m_names[node] = name;
    if (m_state == State::DeviceRestarting && node == platformNode && name == applicationName) {
        // The platform runs its new software and its port never went away.
        m_returnTimer.stop();
        m_pollTimer.stop();
        waitIn(State::DeviceSettling, m_timing.deviceSettleMs);
        handleTick();
        return;
    }
    if (m_state == State::Confirming) {
        m_confirmedName[node] = true;
        checkConfirmation();
    }
}

void PackageUpdateService::handleSoftwareVersion(quint8 node, quint32 version)
{
    if (node >= m_versions.size())
        return;
    m_versions[node] = version;
    if (m_state == State::Confirming) {
        m_confirmedVersion[node] = true;
        checkConfirmation();
    }
}

} // namespace Service::K27

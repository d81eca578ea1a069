// The package update panel of the Information page: choosing a package, the version verdict,
// the start, the progress with its current step, the errors; and the block requests that every
// update of the device is answered through.

#include "application/core/Config.h"
#include "application/core/UpdateVerdict.h"
#include "application/windows/FileChooser.h"
#include "application/windows/K27SubScreen.h"
#include "application/windows/YesNoQuestion.h"
#include "component/ZantLinkPacket.h"
#include "model/database/ModelDatabase.h"
#include "service/PackageUpdateService.h"
#include "service/UpdateControlService.h"
#include "service/ZantLinkTerminalService.h"
#include "ui_K27SubScreenInformationPage.h"
#include "utilities/VersionText.h"

using Application::K27::FileChooser;
using Application::K27::ResultText;
using Application::K27::StatusDisplay;
using Application::K27::UpdateVerdict;
using Application::K27::YesNoQuestion;
using Service::K27::PackageUpdateService;

namespace {
// The controllers' node codes.
constexpr quint8 platformNode = Component::Interfaces::ZantLinkPacket::Platform;
constexpr quint8 displayNode = Component::Interfaces::ZantLinkPacket::Display;

// Whether an update that ended with this error had begun to change the device: its state is
// then to be found out. A refusal before the first command changed nothing.
bool brokeOff(Service::K27::PackageUpdateError::Code code)
{
    using Code = Service::K27::PackageUpdateError::Code;
    switch (code) {
    case Code::DigestMismatch:
    case Code::ImageRefused:
    case Code::Stalled:
    case Code::BootloaderStayedAway:
    case Code::DeviceStayedAway:
    case Code::StillInBootloader:
    case Code::NotConfirmed:
        return true;
    default:
        return false;
    }
}

void showUpdateVerdict(Ui::K27SubScreenInformationPage &page, const UpdateVerdict &verdict)
{
    // A verdict is an answer, not a failure: whether the package may be installed shows in
    // START UPDATE.
    ResultText::show(page.labelPackageVersionText, verdict.text(), ResultText::Kind::Success);
    page.pushButtonStartPackageUpdate->setVisible(verdict.mayInstall());
}
} // namespace

void K27SubScreen::connectPackageUpdate()
{
    connect(m_informationPage->pushButtonOpenUpdatePackage, &QPushButton::clicked, this,
            &K27SubScreen::handleOpenUpdatePackage);
    connect(m_informationPage->pushButtonStartPackageUpdate, &QPushButton::clicked, this,
            &K27SubScreen::handleStartPackageUpdate);
    connect(terminalService().data(), &Service::K27::ZantLinkTerminalService::requestMemblock, this,
            &K27SubScreen::handleRequestMemblock);

    const PackageUpdateService *const package = packageUpdateService().data();
    connect(package, &PackageUpdateService::packageUpdateVersion, this,
            &K27SubScreen::handlePackageUpdateVersion);
    connect(package, &PackageUpdateService::packageUpdatePlatformVersion, this,
            &K27SubScreen::handlePackageUpdatePlatformVersion);
    connect(package, &PackageUpdateService::packageUpdateWithoutPlatformImage, this,
            &K27SubScreen::handlePackageUpdateWithoutPlatformImage);
    connect(package, &PackageUpdateService::packageUpdateErrorOccured, this,
            &K27SubScreen::handlePackageUpdateErrorOccured);
    connect(package, &PackageUpdateService::packageUpdateFinished, this,
            &K27SubScreen::handlePackageUpdateFinished);
    connect(package, &PackageUpdateService::packageUpdateProgressChanged,
            m_informationPage->progressBarPackageUpdate, &QProgressBar::setValue);
    connect(package, &PackageUpdateService::packageUpdateStepChanged, this,
            &K27SubScreen::handlePackageUpdateStep);
    m_updateStepCountdown.setInterval(1000);
    connect(&m_updateStepCountdown, &QTimer::timeout, this,
            &K27SubScreen::handleUpdateStepCountdown);

    // The verdict on a loaded package follows the device: the motor started or stopped, a
    // controller answered from its bootloader or its application.
    const Service::K27::ZantLinkTerminalService *const terminal = terminalService().data();
    for (const auto signal : {&Service::K27::ZantLinkTerminalService::operatingModeModelValue,
                              &Service::K27::ZantLinkTerminalService::terminalPlatformReady,
                              &Service::K27::ZantLinkTerminalService::terminalDisplayReady})
        connect(terminal, signal, this, [this] {
            if (packageUpdateService()->state() == PackageUpdateService::State::Loaded)
                showPackageVerdict();
        });
}

void K27SubScreen::showPackageVerdict()
{
    showUpdateVerdict(
        *m_informationPage,
        UpdateVerdict::decide(*this, m_rights.hasRight(AccessRights::UpdateWithoutVersionCheck)));
}

void K27SubScreen::handleOpenUpdatePackage()
{
    const QString start = configuration() ? configuration()->softwareUpdateDir() : QString();
    openUpdatePackage(
        FileChooser::choose(this,
                            {FileChooser::Purpose::Open, tr("Open software update package"), start,
                             tr("Archives (*.tar)")}));
}

void K27SubScreen::openUpdatePackage(const QString &path)
{
    if (path.isEmpty()) {
        m_informationPage->pushButtonStartPackageUpdate->hide();
        m_informationPage->labelPackageVersionText->clear();
        m_informationPage->labelPackageVersion->clear();
        return;
    }
    // A new package starts from nothing: its own verdict or error fills the labels.
    m_informationPage->pushButtonStartPackageUpdate->hide();
    m_informationPage->labelPackageVersionText->clear();
    m_informationPage->labelPackageVersion->clear();
    packageUpdateService()->openPackage(path);
    if (configuration()) {
        configuration()->setSoftwareUpdateDir(path);
        configuration()->save();
    }
}

void K27SubScreen::handleStartPackageUpdate()
{
    // The device may have changed since the package was opened (the motor started).
    const UpdateVerdict verdict
        = UpdateVerdict::decide(*this, m_rights.hasRight(AccessRights::UpdateWithoutVersionCheck));
    if (!verdict.mayInstall()) {
        showUpdateVerdict(*m_informationPage, verdict);
        return;
    }
    if (verdict.needsConfirmation()
        && !YesNoQuestion::ask(this, {verdict.confirmationTitle(), verdict.confirmationText()}))
        return;
    m_informationPage->pushButtonOpenUpdatePackage->hide();
    m_informationPage->pushButtonStartPackageUpdate->hide();
    m_informationPage->progressBarPackageUpdate->setValue(0);
    m_informationPage->progressBarPackageUpdate->setFormat(QStringLiteral("%p %"));
    m_informationPage->progressBarPackageUpdate->show();
    m_updateStepCountdown.stop();
    m_updateFailed = false;
    m_updateStarted = true;
    packageUpdateService()->startUpdate();
    // The bootloader of a controller is now a step of the update, not a state to recover from.
    showDeviceState();
}

void K27SubScreen::handlePackageUpdateVersion(const QString &version)
{
    m_informationPage->labelPackageVersion->setText(version);
}

void K27SubScreen::handlePackageUpdatePlatformVersion(quint32 version)
{
    // The verdict reads the package's version from the package service itself.
    Q_UNUSED(version)
    showPackageVerdict();
}

void K27SubScreen::handlePackageUpdateWithoutPlatformImage()
{
    showPackageVerdict();
}

void K27SubScreen::handlePackageUpdateErrorOccured(const QString &message)
{
    m_informationPage->pushButtonOpenUpdatePackage->setVisible(
        m_rights.hasRight(AccessRights::SoftwareUpdate));
    m_informationPage->pushButtonStartPackageUpdate->hide();
    ResultText::show(m_informationPage->labelPackageVersionText, message, ResultText::Kind::Error);
    m_informationPage->labelPackageVersion->clear();
    m_informationPage->progressBarPackageUpdate->hide();
    m_updateStepCountdown.stop();
    // A refused package leaves the device as it was; a run that broke off leaves it in a state
    // to be found out: the service asks both controllers what they run, and the page says it
    // as their answers come.
    m_updateFailed = m_updateStarted && brokeOff(packageUpdateService()->error().code());
    m_updateStarted = false;
    showDeviceState();
}

void K27SubScreen::handlePackageUpdateFinished()
{
    m_informationPage->pushButtonOpenUpdatePackage->setVisible(
        m_rights.hasRight(AccessRights::SoftwareUpdate));
    if (m_rights.hasRight(AccessRights::UpdateWithoutVersionCheck)) {
        m_informationPage->pushButtonStartPackageUpdate->show();
    } else {
        m_informationPage->pushButtonStartPackageUpdate->hide();
        m_informationPage->labelPackageVersion->clear();
    }
    ResultText::show(m_informationPage->labelPackageVersionText, updateCompleteText(),
                     ResultText::Kind::Success);
    m_informationPage->progressBarPackageUpdate->hide();
    m_updateStepCountdown.stop();
    m_updateFailed = false;
    m_updateStarted = false;
    // The device runs its new software (both controllers have just said so): its identity and
    // versions are read again, so that the page shows what it reports now.
    m_platformBootloaderShown = false;
    showDeviceState();
    applyStatusView(StatusDisplay::faultView(statusInput()));
    database()->requestAll();
}

QString K27SubScreen::updateCompleteText() const
{
    // The run ends only once each updated controller runs its application and has reported the
    // package's version: the versions it reported are the ones shown.
    const PackageUpdateService &package = *packageUpdateService();
    const auto version = [&package](quint8 node) {
        return QString::fromLatin1(Utilities::versionText(
            package.reportedVersion(node).value_or(package.packageVersionOf(node))));
    };
    QStringList versions;
    if (package.updates(platformNode))
        versions.append(tr("Platform %1").arg(version(platformNode)));
    if (package.updates(displayNode))
        versions.append(tr("Display %1").arg(version(displayNode)));
    if (versions.isEmpty())
        return tr("Update complete");
    return tr("Update complete: %1").arg(versions.join(QStringLiteral(", ")));
}

void K27SubScreen::handlePackageUpdateStep(const Service::K27::UpdateStep &step)
{
    m_updateStep = step;
    if (step.kind == Service::K27::UpdateStep::Kind::Waiting && step.secondsLeft > 0)
        m_updateStepCountdown.start();
    else
        m_updateStepCountdown.stop();
    showUpdateStep();
}

void K27SubScreen::handleUpdateStepCountdown()
{
    if (m_updateStep.secondsLeft > 0)
        --m_updateStep.secondsLeft;
    if (m_updateStep.secondsLeft <= 0)
        m_updateStepCountdown.stop();
    showUpdateStep();
}

void K27SubScreen::showUpdateStep()
{
    using Service::K27::UpdateStep;
    const UpdateStep &step = m_updateStep;
    QString what;
    switch (step.kind) {
    case UpdateStep::Kind::PlatformTransfer:
        what = tr("Platform %1 %").arg(step.percent);
        break;
    case UpdateStep::Kind::DisplayTransfer:
        what = tr("Display %1 %").arg(step.percent);
        break;
    case UpdateStep::Kind::Waiting:
        switch (step.wait) {
        case UpdateStep::Wait::Bootloader:
            what = tr("Starting the bootloader");
            break;
        case UpdateStep::Wait::DeviceRestart:
            what = tr("Waiting for the device to restart");
            break;
        case UpdateStep::Wait::DisplayFinish:
            what = tr("The display finishes its update");
            break;
        case UpdateStep::Wait::Confirmation:
            what = tr("Checking the installed software");
            break;
        case UpdateStep::Wait::None:
            what = tr("Waiting for the device");
            break;
        }
        if (step.secondsLeft >= 0)
            what = tr("%1: %2 s").arg(what).arg(step.secondsLeft);
        break;
    }
    const QString text = tr("Step %1 of %2 · %3").arg(step.number).arg(step.count).arg(what);
    // The step replaces the bar's own text; none of its placeholders (%p, %v, %m) can occur.
    m_informationPage->progressBarPackageUpdate->setFormat(text);
}

void K27SubScreen::handleRequestMemblock(quint16 blockNumber)
{
    updateControlService()->sendBlock(blockNumber);
}

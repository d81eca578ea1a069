// The package update panel of the Information page: choosing a package, the version verdict,
// the start, the progress with its current step, the errors; and the block requests that every
// update of the device is answered through.

#include "application/core/Config.h"
#include "application/core/UpdateVerdict.h"
#include "application/windows/FileChooser.h"
#include "application/windows/K27SubScreen.h"
#include "application/windows/YesNoQuestion.h"
#include "service/PackageUpdateService.h"
#include "service/UpdateControlService.h"
#include "service/ZantLinkTerminalService.h"
#include "ui_K27SubScreenInformationPage.h"

using Application::K27::FileChooser;
using Application::K27::UpdateVerdict;
using Application::K27::YesNoQuestion;
using Service::K27::PackageUpdateService;

namespace {
void showUpdateVerdict(Ui::K27SubScreenInformationPage &page, const UpdateVerdict &verdict)
{
    page.labelPackageVersionText->setText(verdict.text());
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
    packageUpdateService()->startUpdate();
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
    m_informationPage->labelPackageVersionText->setText(message);
    m_informationPage->labelPackageVersion->clear();
    m_informationPage->progressBarPackageUpdate->hide();
}

void K27SubScreen::handlePackageUpdateFinished()
{
    m_informationPage->pushButtonOpenUpdatePackage->setVisible(
        m_rights.hasRight(AccessRights::SoftwareUpdate));
    if (m_rights.hasRight(AccessRights::UpdateWithoutVersionCheck)) {
        m_informationPage->pushButtonStartPackageUpdate->show();
    } else {
        m_informationPage->pushButtonStartPackageUpdate->hide();
        m_informationPage->labelPackageVersionText->clear();
        m_informationPage->labelPackageVersion->clear();
    }
    m_informationPage->progressBarPackageUpdate->hide();
}

void K27SubScreen::handlePackageUpdateStep(const Service::K27::UpdateStep &step)
{
    using Service::K27::UpdateStep;
    QString text;
    switch (step.kind) {
    case UpdateStep::Kind::PlatformTransfer:
        text = tr("Platform: %1 %").arg(step.percent);
        break;
    case UpdateStep::Kind::Waiting:
        if (step.wait != UpdateStep::Wait::DeviceRestart)
            return;
        text = tr("Waiting for the device to restart");
        break;
    case UpdateStep::Kind::DisplayTransfer:
        text = tr("Display: %1 %").arg(step.percent);
        break;
    }
    // The step replaces the bar's own text; none of its placeholders (%p, %v, %m) can occur.
    m_informationPage->progressBarPackageUpdate->setFormat(text);
}

void K27SubScreen::handleRequestMemblock(quint16 blockNumber)
{
    updateControlService()->sendBlock(blockNumber);
}

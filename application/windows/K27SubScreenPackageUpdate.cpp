// The package update panel of the Information page: choosing a package, the version verdict,
// the start, the progress with its current step, the errors, the settings kept across the
// update (saved before it, compared after it, RESTORE); and the block requests that every
// update of the device is answered through.

#include "application/core/Config.h"
#include "application/core/NumberText.h"
#include "application/core/ReportedSettings.h"
#include "application/core/Settings.h"
#include "application/core/SettingsBeforeUpdate.h"
#include "application/core/SettingsComparison.h"
#include "application/core/SettingsImport.h"
#include "application/core/SettingsTransfer.h"
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

#include <QDir>
#include <QFileInfo>

using Application::K27::FileChooser;
using Application::K27::ResultText;
using Application::K27::Settings;
using Application::K27::SettingsComparison;
using Application::K27::SettingsImport;
using Application::K27::SettingsTransfer;
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
    connect(m_informationPage->pushButtonRestoreSettings, &QPushButton::clicked, this,
            &K27SubScreen::handleRestoreSettings);
    m_informationPage->pushButtonRestoreSettings->hide();
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
    // New software may start from its defaults: the settings are kept before anything is sent.
    if (!saveSettingsBeforeUpdate())
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
    awaitSettingsAfterUpdate();
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

QString K27SubScreen::settingsFolder() const
{
    // SettingsDir keeps the file last exported or imported (or a folder); without one, the
    // home folder.
    const QString kept = configuration() ? configuration()->settingsDir() : QString();
    if (kept.isEmpty())
        return QDir::homePath();
    const QFileInfo place(kept);
    return place.isDir() ? place.absoluteFilePath() : place.absolutePath();
}

bool K27SubScreen::saveSettingsBeforeUpdate()
{
    m_settingsBeforeUpdatePath.clear();
    m_settingsAfterUpdate.reset();
    m_informationPage->pushButtonRestoreSettings->hide();
    // Said in the panel's settings line: the verdict line follows the device and would lose it.
    const auto refuse = [this](const QString &reason) {
        showUpdateSettingsResult(reason.toHtmlEscaped(), ResultText::Kind::Error);
    };
    // Settings written but not yet confirmed are not the device's.
    if (settingsWriteWaiting()) {
        refuse(tr("Update not started: the device has not confirmed the settings last written "
                  "yet, so its settings cannot be saved. Nothing was sent."));
        return false;
    }
    // A device that has not reported its settings (its platform in the bootloader) has none
    // to keep: the update runs without.
    QString unavailable = settingsUnavailable();
    if (unavailable.isEmpty()
        && !m_reportedSettings->arrived(Model::Interfaces::ModelValueID::SerialNumber))
        unavailable = tr("the device has not reported its serial number yet");
    if (!unavailable.isEmpty()) {
        //: %1 is why the device's settings are not known
        showUpdateSettingsResult(
            tr("Settings not saved before the update: %1.").arg(unavailable).toHtmlEscaped(),
            ResultText::Kind::Success);
        return true;
    }
    ::Application::K27::SettingsBeforeUpdate saved;
    if (!saved.save(settingsFolder(), database()->information().serialNumber().value(),
                    database()->settings())) {
        //: %1 is the file, %2 the reason
        refuse(tr("Update not started: the device's settings could not be saved to %1: %2. "
                  "Nothing was sent.")
                   .arg(QDir::toNativeSeparators(saved.path()), saved.errorString()));
        return false;
    }
    m_settingsBeforeUpdatePath = saved.path();
    //: %1 is the file
    showUpdateSettingsResult(tr("Settings saved before the update to %1")
                                 .arg(QDir::toNativeSeparators(saved.path()))
                                 .toHtmlEscaped(),
                             ResultText::Kind::Success);
    return true;
}

void K27SubScreen::awaitSettingsAfterUpdate()
{
    if (m_settingsBeforeUpdatePath.isEmpty())
        return;
    //: %1 is the file
    showUpdateSettingsResult(tr("Waiting for the device's settings to compare them with %1 …")
                                 .arg(QDir::toNativeSeparators(m_settingsBeforeUpdatePath))
                                 .toHtmlEscaped(),
                             ResultText::Kind::Success);
    // Only what the device reports from now on comes from its new software.
    m_settingsAfterUpdate
        = std::make_unique<::Application::K27::ReportedSettings>(valueObserver(), serialPort());
    m_settingsAfterUpdate->whenComplete([this] {
        // The report that completed the settings is still being told to the observers.
        QMetaObject::invokeMethod(this, &K27SubScreen::compareSettingsAfterUpdate,
                                  Qt::QueuedConnection);
    });
}

void K27SubScreen::compareSettingsAfterUpdate()
{
    // A new update may have begun since.
    if (!m_settingsAfterUpdate || m_settingsBeforeUpdatePath.isEmpty())
        return;
    m_settingsAfterUpdate.reset();
    const QString shownPath = QDir::toNativeSeparators(m_settingsBeforeUpdatePath);
    Settings saved;
    if (!saved.load(m_settingsBeforeUpdatePath)) {
        //: %1 is the file, %2 the reason
        showUpdateSettingsResult(tr("The settings saved before the update cannot be read from "
                                    "%1: %2")
                                     .arg(shownPath, saved.errorString())
                                     .toHtmlEscaped(),
                                 ResultText::Kind::Error);
        return;
    }
    Settings device;
    SettingsTransfer::fill(device, database()->settings());
    const SettingsComparison comparison(device, saved);
    if (comparison.matches()) {
        //: %1 is the file
        showUpdateSettingsResult(
            tr("Settings kept across the update: the device holds those saved in %1")
                .arg(shownPath)
                .toHtmlEscaped(),
            ResultText::Kind::Success);
        return;
    }
    const auto cell = [](const QString &text, const char *tag = "td") {
        return QStringLiteral("<%1 align=\"left\" style=\"padding-right:12px\">%2</%1>")
            .arg(QLatin1String(tag), text.toHtmlEscaped());
    };
    //: %1 is the file
    QString html = QStringLiteral("<p>%1</p><table><tr>%2%3%4</tr>")
                       .arg(tr("The update changed settings of the device. They were saved "
                               "before it in %1:")
                                .arg(shownPath)
                                .toHtmlEscaped(),
                            cell(tr("Setting"), "th"), cell(tr("Now on the device"), "th"),
                            cell(tr("Before the update"), "th"));
    for (const SettingsComparison::Row &row : comparison.rows()) {
        if (row.differs)
            html += QStringLiteral("<tr>%1%2%3</tr>")
                        .arg(cell(SettingsTransfer::title(row.field)),
                             cell(SettingsTransfer::valueText(row.field, row.device)),
                             cell(SettingsTransfer::valueText(row.field, row.file)));
    }
    html += QStringLiteral("</table>");
    // A differing setting is no failure of the update; writing it back needs the right to
    // change settings.
    showUpdateSettingsResult(html, ResultText::Kind::Success);
    m_informationPage->pushButtonRestoreSettings->setVisible(
        m_rights.hasRight(AccessRights::Configuration));
}

void K27SubScreen::handleRestoreSettings()
{
    if (!m_rights.hasRight(AccessRights::Configuration) || m_settingsBeforeUpdatePath.isEmpty())
        return;
    const QString shownPath = QDir::toNativeSeparators(m_settingsBeforeUpdatePath);
    const auto refuse = [this, &shownPath](const QString &reason) {
        //: %1 is the file, %2 the reason
        showUpdateSettingsResult(tr("Settings not restored from %1: %2. Nothing was sent.")
                                     .arg(shownPath, reason)
                                     .toHtmlEscaped(),
                                 ResultText::Kind::Error);
    };
    if (settingsWriteWaiting()) {
        refuse(tr("the settings last written are still waiting for the device"));
        return;
    }
    if (const QString reason = settingsUnavailable(); !reason.isEmpty()) {
        refuse(reason);
        return;
    }
    Settings saved;
    if (!saved.load(m_settingsBeforeUpdatePath)) {
        refuse(saved.errorString());
        return;
    }
    // The device as it is now: only what still differs is written.
    Settings device;
    Model::Database::ModelSettings &model = database()->settings();
    SettingsTransfer::fill(device, model);
    const SettingsComparison comparison(device, saved);
    if (comparison.matches()) {
        m_informationPage->pushButtonRestoreSettings->hide();
        //: %1 is the file
        showUpdateSettingsResult(
            tr("The device already holds the settings saved in %1. Nothing was sent.")
                .arg(shownPath)
                .toHtmlEscaped(),
            ResultText::Kind::Success);
        return;
    }
    const Settings written = comparison.chosen(comparison.differing());
    if (QString reason; !SettingsTransfer::check(written, model, &reason)) {
        refuse(reason);
        return;
    }
    if (!m_settingsRestore) {
        m_settingsRestore = std::make_unique<SettingsImport>(valueObserver(), model);
        connect(m_settingsRestore.get(), &SettingsImport::finished, this,
                &K27SubScreen::handleSettingsRestored);
    }
    m_informationPage->pushButtonRestoreSettings->hide();
    //: %1 is the file
    showUpdateSettingsResult(tr("Settings from %1 sent; waiting for the device to confirm them.")
                                 .arg(shownPath)
                                 .toHtmlEscaped(),
                             ResultText::Kind::Success);
    m_settingsRestore->start(written);
}

void K27SubScreen::handleSettingsRestored()
{
    ResultText::Kind kind = ResultText::Kind::Error;
    //: %1 is the file, %2 how many settings the device reported back as written
    QStringList lines = settingsWriteLines(
        *m_settingsRestore, QDir::toNativeSeparators(m_settingsBeforeUpdatePath),
        {tr("Settings restored from %1: 1 value confirmed by the device"),
         tr("Settings restored from %1: %2 values confirmed by the device"),
         //: %1 is the file
         tr("Settings not restored as saved in %1: the device kept other values"),
         //: %1 is the file, %2 how many settings the device did not report back, %3 how many
         //: were sent, %4 seconds
         tr("Settings not restored from %1: the device did not confirm %2 of %3 within %4 s")},
        kind);
    if (lines.isEmpty())
        return;
    for (QString &line : lines)
        line = line.toHtmlEscaped();
    showUpdateSettingsResult(lines.join(QStringLiteral("<br>")), kind);
    // What the device did not take may be written again.
    m_informationPage->pushButtonRestoreSettings->setVisible(kind == ResultText::Kind::Error);
}

void K27SubScreen::showUpdateSettingsResult(const QString &html, ResultText::Kind kind)
{
    ResultText::show(m_informationPage->labelUpdateSettings, html, kind);
}

void K27SubScreen::handleRequestMemblock(quint16 blockNumber)
{
    updateControlService()->sendBlock(blockNumber);
}

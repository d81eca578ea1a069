// The settings file of the Configuration page: EXPORT saves the device's protection settings
// to a JSON file, IMPORT shows a saved set beside the device's and writes the settings the
// person ticks. The result, or why there is none, shows in the page's label.

#include "application/core/Config.h"
#include "application/core/NumberText.h"
#include "application/core/ReportedSettings.h"
#include "application/core/Settings.h"
#include "application/core/SettingsComparison.h"
#include "application/core/SettingsTransfer.h"
#include "application/windows/FileChooser.h"
#include "application/windows/K27SubScreen.h"
#include "application/windows/SettingsCompareDialog.h"
#include "component/SerialPort.h"
#include "model/database/ModelDatabase.h"
#include "service/ZantLinkTerminalService.h"
#include "ui_K27SubScreenConfigurationPage.h"

#include <QDir>
#include <QPointer>
#include <QPushButton>
#include <optional>

using Application::K27::FileChooser;
using Application::K27::NumberText;
using Application::K27::ResultText;
using Application::K27::Settings;
using Application::K27::SettingsCompareDialog;
using Application::K27::SettingsComparison;
using Application::K27::SettingsTransfer;

void K27SubScreen::connectSettingsFile()
{
    m_reportedSettings
        = std::make_unique<::Application::K27::ReportedSettings>(valueObserver(), serialPort());
}

void K27SubScreen::handleExportSettings()
{
    const QString start = configuration() ? configuration()->settingsDir() : QString();
    const QString path = FileChooser::choose(
        this, {FileChooser::Purpose::Save, tr("Export settings"), start, tr("JSON Files (*.json)")},
        QStringLiteral("json"));
    if (path.isEmpty())
        return;
    exportSettings(path);
}

void K27SubScreen::handleImportSettings()
{
    const QString start = configuration() ? configuration()->settingsDir() : QString();
    const QString path = FileChooser::choose(
        this,
        {FileChooser::Purpose::Open, tr("Import settings"), start, tr("JSON Files (*.json)")});
    if (path.isEmpty())
        return;
    importSettings(path);
}

void K27SubScreen::exportSettings(const QString &path)
{
    const QString shownPath = QDir::toNativeSeparators(path);
    // While an import waits, the model holds settings the device has not confirmed.
    if (settingsWriteWaiting()) {
        //: %1 is the file
        showSettingsFileResult(
            tr("Settings not exported to %1: an import is still waiting for the device.")
                .arg(shownPath),
            ResultText::Kind::Error);
        return;
    }
    // Without a device's report the model holds the catalogue's defaults, not its settings.
    if (const QString reason = settingsUnavailable(); !reason.isEmpty()) {
        //: %1 is the file, %2 why the device's settings are not known
        showSettingsFileResult(tr("Settings not exported to %1: %2.").arg(shownPath, reason),
                               ResultText::Kind::Error);
        return;
    }
    Settings &file = *settings();
    SettingsTransfer::fill(file, database()->settings());
    if (!file.save(path)) {
        //: %1 is the file, %2 the reason
        showSettingsFileResult(
            tr("Settings not exported to %1: %2.").arg(shownPath, file.errorString()),
            ResultText::Kind::Error);
        return;
    }
    // Only a file that was written becomes the next dialog's starting place.
    if (configuration()) {
        configuration()->setSettingsDir(path);
        configuration()->save();
    }
    showSettingsFileResult(tr("Settings exported to %1").arg(shownPath), ResultText::Kind::Success);
}

void K27SubScreen::importSettings(const QString &path)
{
    const QString shownPath = QDir::toNativeSeparators(path);
    const auto refuse = [this, &shownPath](const QString &reason) {
        //: %1 is the file, %2 the reason
        showSettingsFileResult(
            tr("Settings not imported from %1: %2. Nothing was sent.").arg(shownPath, reason),
            ResultText::Kind::Error);
    };
    // The file is checked whole before anything is sent: a file that is refused changes
    // nothing, neither on the device nor in the settings kept from the last export or import.
    if (settingsWriteWaiting()) {
        //: %1 is the file
        showSettingsFileResult(tr("Settings not imported from %1: the import before is still "
                                  "waiting for the device. Nothing was sent.")
                                   .arg(shownPath),
                               ResultText::Kind::Error);
        return;
    }
    // The device's ranges and present settings are only known once it has reported them.
    if (const QString reason = settingsUnavailable(); !reason.isEmpty()) {
        refuse(reason);
        return;
    }
    Settings file = *settings();
    if (!file.load(path)) {
        refuse(file.errorString());
        return;
    }
    // The person sees the file beside the device and chooses what is written.
    Settings device;
    SettingsTransfer::fill(device, database()->settings());
    const SettingsComparison comparison(device, file);
    const QPointer<K27SubScreen> self(this);
    const std::optional<quint16> chosen
        = SettingsCompareDialog::choose(this, comparison, shownPath);
    if (!self)
        return;
    if (!chosen || *chosen == 0) {
        showSettingsFileResult(
            comparison.matches()
                //: %1 is the file
                ? tr("The device already holds the settings of %1. Nothing was sent.")
                      .arg(shownPath)
                //: %1 is the file
                : tr("Settings not imported from %1: cancelled. Nothing was sent.").arg(shownPath),
            ResultText::Kind::Success);
        return;
    }
    // The device may have gone, or changed, while the table was open.
    if (const QString reason = settingsUnavailable(); !reason.isEmpty()) {
        refuse(reason);
        return;
    }
    // The chosen settings must fit what the device keeps of its own.
    const Settings written = comparison.chosen(*chosen);
    Model::Database::ModelSettings &model = database()->settings();
    if (QString reason; !SettingsTransfer::check(written, model, &reason)) {
        refuse(reason);
        return;
    }
    *settings() = file;
    if (configuration()) {
        configuration()->setSettingsDir(path);
        configuration()->save();
    }
    if (!m_settingsImport) {
        m_settingsImport
            = std::make_unique<::Application::K27::SettingsImport>(valueObserver(), model);
        connect(m_settingsImport.get(), &::Application::K27::SettingsImport::finished, this,
                &K27SubScreen::handleSettingsImported);
    }
    m_importedPath = shownPath;
    //: %1 is the file
    showSettingsFileResult(
        tr("Settings from %1 sent; waiting for the device to confirm them.").arg(shownPath),
        ResultText::Kind::Success);
    m_settingsImport->start(written);
}

void K27SubScreen::handleSettingsImported()
{
    ResultText::Kind kind = ResultText::Kind::Error;
    //: %1 is the file, %2 how many settings the device reported back as written
    const QStringList lines = settingsWriteLines(
        *m_settingsImport, m_importedPath,
        {tr("Settings imported from %1: 1 value confirmed by the device"),
         tr("Settings imported from %1: %2 values confirmed by the device"),
         //: %1 is the file
         tr("Settings not imported as written from %1: the device kept other values"),
         //: %1 is the file, %2 how many settings the device did not report back, %3 how many
         //: were sent, %4 seconds
         tr("Settings not imported from %1: the device did not confirm %2 of %3 within %4 s")},
        kind);
    if (!lines.isEmpty())
        showSettingsFileResult(lines.join(QLatin1Char('\n')), kind);
}

QStringList K27SubScreen::settingsWriteLines(const ::Application::K27::SettingsImport &write,
                                             const QString &shownPath,
                                             const SettingsWriteTexts &texts,
                                             ResultText::Kind &kind) const
{
    using Outcome = ::Application::K27::SettingsImport::Outcome;
    QStringList lines;
    // Only a confirmed write is a success.
    kind = ResultText::Kind::Error;
    switch (write.outcome()) {
    case Outcome::Confirmed:
        lines.append(write.written() == 1
                         ? texts.confirmedOne.arg(shownPath)
                         : texts.confirmedMany.arg(shownPath).arg(write.written()));
        kind = ResultText::Kind::Success;
        break;
    case Outcome::Disagreed:
        lines.append(texts.disagreed.arg(shownPath));
        break;
    case Outcome::NotConfirmed:
        lines.append(
            texts.notConfirmed.arg(shownPath)
                .arg(write.unconfirmed().size())
                .arg(write.written())
                .arg(NumberText::fromPointText(QString::number(write.timeoutMs() / 1000.0))));
        break;
    case Outcome::Idle:
    case Outcome::Waiting:
        return {};
    }
    lines.append(write.lines());
    return lines;
}

QString K27SubScreen::settingsUnavailable() const
{
    if (!deviceConnected())
        return tr("no device is connected");
    if (terminalService() && terminalService()->platformName() == "Bootloader")
        return tr("the device's platform is in its bootloader and reports no settings");
    if (!m_reportedSettings->complete())
        return tr("the device has not reported its settings yet");
    return QString();
}

bool K27SubScreen::settingsWriteWaiting() const
{
    return (m_settingsImport && m_settingsImport->waiting())
        || (m_settingsRestore && m_settingsRestore->waiting());
}

bool K27SubScreen::deviceConnected() const
{
    return serialPort() && serialPort()->isOpen();
}

void K27SubScreen::showSettingsFileResult(const QString &text, ResultText::Kind kind)
{
    showOnPage(ConfigurationPage, QStringLiteral("result"), [this, text, kind] {
        ResultText::show(m_configurationPage->labelSettingsFileResult, text, kind);
    });
}

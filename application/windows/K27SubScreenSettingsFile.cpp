// The settings file of the Configuration page: EXPORT saves the device's protection settings
// to a JSON file, IMPORT writes a saved set back to the device. The result, or why there is
// none, shows in the page's label.

#include "application/core/Config.h"
#include "application/core/ReportedSettings.h"
#include "application/core/Settings.h"
#include "application/core/SettingsTransfer.h"
#include "application/windows/FileChooser.h"
#include "application/windows/K27SubScreen.h"
#include "component/SerialPort.h"
#include "model/database/ModelDatabase.h"
#include "ui_K27SubScreenConfigurationPage.h"

#include <QDir>

using Application::K27::FileChooser;
using Application::K27::Settings;
using Application::K27::SettingsTransfer;

void K27SubScreen::connectSettingsFile()
{
    m_reportedSettings
        = std::make_unique<::Application::K27::ReportedSettings>(valueObserver(), serialPort());
    connect(m_configurationPage->pushButtonExport, &QPushButton::clicked, this,
            &K27SubScreen::handleExportSettings);
    connect(m_configurationPage->pushButtonImport, &QPushButton::clicked, this,
            &K27SubScreen::handleImportSettings);
}

void K27SubScreen::handleExportSettings()
{
    const QString start = configuration() ? configuration()->settingsDir() : QString();
    const QString path = FileChooser::choose(
        this,
        {FileChooser::Purpose::Save, tr("Export settings"), start, tr("JSON Files (*.json)")});
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
    // Without a device the model holds the catalogue's defaults, not any device's settings.
    if (!deviceConnected()) {
        showSettingsFileResult(
            tr("Settings not exported to %1: no device is connected.").arg(shownPath));
        return;
    }
    if (!m_reportedSettings->complete()) {
        showSettingsFileResult(
            tr("Settings not exported to %1: the device has not reported its settings yet.")
                .arg(shownPath));
        return;
    }
    Settings &file = *settings();
    SettingsTransfer::fill(file, database()->settings());
    if (!file.save(path)) {
        //: %1 is the file, %2 the reason
        showSettingsFileResult(
            tr("Settings not exported to %1: %2.").arg(shownPath, file.errorString()));
        return;
    }
    // Only a file that was written becomes the next dialog's starting place.
    if (configuration()) {
        configuration()->setSettingsDir(path);
        configuration()->save();
    }
    showSettingsFileResult(tr("Settings exported to %1").arg(shownPath));
}

void K27SubScreen::importSettings(const QString &path)
{
    const QString shownPath = QDir::toNativeSeparators(path);
    // The file is checked whole before anything is sent: a file that is refused changes
    // nothing, neither on the device nor in the settings kept from the last export or import.
    if (!deviceConnected()) {
        showSettingsFileResult(
            tr("Settings not imported from %1: no device is connected. Nothing was sent.")
                .arg(shownPath));
        return;
    }
    // The device's ranges are only known once it has reported them.
    if (!m_reportedSettings->complete()) {
        showSettingsFileResult(tr("Settings not imported from %1: the device has not reported "
                                  "its settings yet. Nothing was sent.")
                                   .arg(shownPath));
        return;
    }
    Settings file = *settings();
    Model::Database::ModelSettings &model = database()->settings();
    if (!file.load(path) || !file.checkRanges(SettingsTransfer::limits(file, model))) {
        //: %1 is the file, %2 the reason
        showSettingsFileResult(tr("Settings not imported from %1: %2. Nothing was sent.")
                                   .arg(shownPath, file.errorString()));
        return;
    }
    *settings() = file;
    QList<SettingsTransfer::Change> changes;
    const int written = SettingsTransfer::write(file, model, &changes);
    if (configuration()) {
        configuration()->setSettingsDir(path);
        configuration()->save();
    }
    //: %1 is the file, %2 how many settings were sent to the device
    QStringList lines {
        written == 1
            ? tr("Settings imported from %1: 1 value written").arg(shownPath)
            : tr("Settings imported from %1: %2 values written").arg(shownPath).arg(written)};
    for (const SettingsTransfer::Change &change : qAsConst(changes))
        lines.append(SettingsTransfer::changeText(change));
    showSettingsFileResult(lines.join(QLatin1Char('\n')));
}

bool K27SubScreen::deviceConnected() const
{
    return serialPort() && serialPort()->isOpen();
}

void K27SubScreen::showSettingsFileResult(const QString &text)
{
    m_configurationPage->labelSettingsFileResult->setText(text);
}

#pragma once

#include "application/core/Settings.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QString>

namespace Model::Database {
class ModelSettings;
} // namespace Model::Database

namespace Application::K27 {

// The device's settings saved before a package update, since new firmware may start from its
// defaults: "<serial>-<yyyyMMdd-HHmmss>-before-update.json" in a settings folder, in the
// normal settings file format and written atomically, so that the settings can be compared
// with the device once it is back and written back through the import. Shared by the package
// update panel and k27ctl update.
class SettingsBeforeUpdate
{
    Q_DECLARE_TR_FUNCTIONS(SettingsBeforeUpdate)

public:
    // "36262001-20261211-061500-before-update.json".
    static QString fileName(quint32 serialNumber, const QDateTime &time);

    // Saves the settings the model holds (the device's, once it has reported them) into the
    // folder. False with errorString() when nothing could be written; the folder must exist.
    bool save(const QString &folder, quint32 serialNumber, Model::Database::ModelSettings &model,
              const QDateTime &time = QDateTime::currentDateTime());

    // Where the last save wrote, or tried to write.
    QString path() const { return m_path; }
    // The settings as saved.
    const Settings &settings() const { return m_settings; }
    QString errorString() const { return m_errorString; }

private:
    Settings m_settings;
    QString m_path;
    QString m_errorString;
};

} // namespace Application::K27

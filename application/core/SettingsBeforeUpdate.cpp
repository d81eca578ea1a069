#include "SettingsBeforeUpdate.h"

#include "application/core/SettingsTransfer.h"

#include <QDir>
#include <QFileInfo>

namespace Application::K27 {

QString SettingsBeforeUpdate::fileName(quint32 serialNumber, const QDateTime &time)
{
    // A fixed, locale-free stamp: the names sort by time and read the same everywhere.
    return QStringLiteral("%1-%2-before-update.json")
        .arg(serialNumber)
        .arg(time.toString(QStringLiteral("yyyyMMdd-HHmmss")));
}

bool SettingsBeforeUpdate::save(const QString &folder, quint32 serialNumber,
                                Model::Database::ModelSettings &model, const QDateTime &time)
{
    const QDir directory(folder.isEmpty() ? QStringLiteral(".") : folder);
    m_path = QDir::cleanPath(directory.absoluteFilePath(fileName(serialNumber, time)));
    m_errorString.clear();
    if (!QFileInfo(directory.absolutePath()).isDir()) {
        //: %1 is a folder
        m_errorString = tr("the folder %1 does not exist").arg(directory.absolutePath());
        return false;
    }
    m_settings = Settings();
    SettingsTransfer::fill(m_settings, model);
    if (!m_settings.save(m_path)) {
        m_errorString = m_settings.errorString();
        return false;
    }
    return true;
}

} // namespace Application::K27

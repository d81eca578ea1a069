#pragma once

#include "application/core/Settings.h"

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>

namespace Application::K27 {

// A device's settings set beside a settings file's, setting by setting: what an import would
// change, what a device lost across an update. Values compare as the file keeps them (cut to
// two decimals), so a device's 2.1 A and a file's 2.1 match. Shared by the import's table,
// k27ctl settings diff and the settings kept across an update.
class SettingsComparison
{
    Q_DECLARE_TR_FUNCTIONS(SettingsComparison)

public:
    struct Row
    {
        Settings::Field field;
        double device;
        double file;
        bool differs;
    };

    // device: the device's settings (every field); file: the file's, of which only the fields
    // it carries are compared.
    SettingsComparison(const Settings &device, const Settings &file);

    // One row per setting the file carries, in Settings::fieldOrder().
    const QList<Row> &rows() const { return m_rows; }
    // The settings that differ, as bits of Settings::fields().
    quint16 differing() const;
    bool matches() const { return differing() == 0; }

    // The file's settings restricted to the chosen ones (and those the file carries): what an
    // import of the chosen rows writes.
    Settings chosen(quint16 fields) const;

    // One line per differing setting: "Nominal current: 3.0 A on the device, 2.6 A in the file".
    QStringList lines() const;
    // The same with the file's key in place of the title, untranslated, for k27ctl:
    // "NominalCurrent: device 3.0 A, file 2.6 A".
    QStringList keyLines() const;

    // Whether two values of a setting are the same as the file keeps them.
    static bool same(Settings::Field field, double a, double b);

private:
    Settings m_file;
    QList<Row> m_rows;
};

} // namespace Application::K27

#include "application/core/SettingsComparison.h"

#include "application/core/SettingsTransfer.h"

namespace Application::K27 {

SettingsComparison::SettingsComparison(const Settings &device, const Settings &file)
    : m_file(file)
{
    for (const Settings::Field field : Settings::fieldOrder()) {
        if (!file.has(field))
            continue;
        const double deviceValue = device.number(field);
        const double fileValue = file.number(field);
        m_rows.append({field, deviceValue, fileValue, !same(field, deviceValue, fileValue)});
    }
}

bool SettingsComparison::same(Settings::Field field, double a, double b)
{
    switch (field) {
    case Settings::NominalCurrent:
    case Settings::UndercurrentThreshold:
    case Settings::UndervoltageThreshold:
    case Settings::OvervoltageThreshold:
        return Settings::cutToTwoDecimals(static_cast<float>(a))
            == Settings::cutToTwoDecimals(static_cast<float>(b));
    default:
        return a == b;
    }
}

quint16 SettingsComparison::differing() const
{
    quint16 fields = 0;
    for (const Row &row : m_rows) {
        if (row.differs)
            fields |= row.field;
    }
    return fields;
}

Settings SettingsComparison::chosen(quint16 fields) const
{
    Settings settings = m_file;
    settings.setFields(m_file.fields() & fields);
    return settings;
}

QStringList SettingsComparison::lines() const
{
    QStringList lines;
    for (const Row &row : m_rows) {
        if (row.differs)
            //: %1 is a setting, %2 its value on the device, %3 its value in the file
            lines.append(tr("%1: %2 on the device, %3 in the file")
                             .arg(SettingsTransfer::title(row.field),
                                  SettingsTransfer::valueText(row.field, row.device),
                                  SettingsTransfer::valueText(row.field, row.file)));
    }
    return lines;
}

QStringList SettingsComparison::keyLines() const
{
    QStringList lines;
    for (const Row &row : m_rows) {
        if (row.differs)
            lines.append(QStringLiteral("%1: device %2, file %3")
                             .arg(Settings::keyName(row.field),
                                  SettingsTransfer::valueText(row.field, row.device),
                                  SettingsTransfer::valueText(row.field, row.file)));
    }
    return lines;
}

} // namespace Application::K27

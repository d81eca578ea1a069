#include "application/core/SettingsFunction.h"

#include "application/core/Settings.h"
#include "application/core/SettingsJson.h"

namespace Application::K27 {

const QString SettingsFunction::enableKey = QStringLiteral("Enable");
const QString SettingsFunction::thresholdKey = QStringLiteral("Threshold");
const QString SettingsFunction::faultTypeKey = QStringLiteral("FaultType");

bool SettingsFunction::read(const QJsonObject &object, quint8 *present, QString *error)
{
    SettingsFunction taken = *this;
    quint8 found = 0;
    QString problem;
    double threshold = 0.0;
    const bool ok
        = SettingsJson::take(SettingsJson::readBool(object, enableKey, &taken.m_enable, &problem),
                             Enable, &found)
        && SettingsJson::take(SettingsJson::readNumber(object, thresholdKey, &threshold, &problem),
                              Threshold, &found)
        && SettingsJson::take(
              SettingsJson::readByte(object, faultTypeKey, &taken.m_faultType, &problem), FaultType,
              &found);
    if (!ok) {
        if (error != nullptr)
            *error = problem;
        return false;
    }
    if ((found & Threshold) != 0)
        taken.m_threshold = static_cast<float>(threshold);
    *this = taken;
    if (present != nullptr)
        *present = found;
    return true;
}

void SettingsFunction::write(QJsonObject &object) const
{
    object.insert(enableKey, m_enable);
    object.insert(thresholdKey, Settings::cutToTwoDecimals(m_threshold));
    object.insert(faultTypeKey, int(m_faultType));
}

} // namespace Application::K27

#pragma once

#include <QJsonObject>
#include <QString>
#include <QtGlobal>

namespace Application::K27 {

// One protection function of the settings file (undercurrent, undervoltage or overvoltage):
// enable switch, threshold (amperes or volts) and fault type (0 warning, 1 error), kept under
// the keys "Enable", "Threshold" and "FaultType" of its own JSON object.
class SettingsFunction
{
public:
    // The three keys as fields; which of them an object carried is kept as a set of these bits.
    enum Field : quint8 { Enable = 0x1, Threshold = 0x2, FaultType = 0x4, AllFields = 0x7 };

    SettingsFunction() = default;
    virtual ~SettingsFunction() = default;

    bool enable() const { return m_enable; }
    void setEnable(bool enable) { m_enable = enable; }
    float threshold() const { return m_threshold; }
    void setThreshold(float threshold) { m_threshold = threshold; }
    quint8 faultType() const { return m_faultType; }
    void setFaultType(quint8 faultType) { m_faultType = faultType; }

    // Takes the keys the object carries. A key of the wrong JSON type, or a fraction as the
    // fault type, refuses the whole object: false, nothing changes and error names the key.
    // Returns the fields found in present. Unknown keys are ignored.
    bool read(const QJsonObject &object, quint8 *present = nullptr, QString *error = nullptr);
    // Sets all three keys; the threshold cut to two decimals (Settings::cutToTwoDecimals).
    void write(QJsonObject &object) const;

    static const QString enableKey;
    static const QString thresholdKey;
    static const QString faultTypeKey;

private:
    bool m_enable = false;
    float m_threshold = 0.0F;
    quint8 m_faultType = 0;
};

} // namespace Application::K27

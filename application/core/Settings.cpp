#include "application/core/Settings.h"

#include "application/core/SettingsJson.h"
#include "utilities/JsonDuplicateKey.h"
#include "utilities/RegularFile.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <algorithm>
#include <charconv>
#include <cmath>

namespace Application::K27 {

namespace {

const QString tripClassKey = QStringLiteral("TripClass");
const QString nominalCurrentKey = QStringLiteral("NominalCurrent");
const QString overloadResetKey = QStringLiteral("OverloadReset");

// The fields of one function's object, in the order Enable, Threshold, FaultType.
struct FunctionFields
{
    Settings::Field enable;
    Settings::Field threshold;
    Settings::Field faultType;
};

constexpr FunctionFields undercurrentFields {
    Settings::UndercurrentEnable, Settings::UndercurrentThreshold, Settings::UndercurrentFaultType};
constexpr FunctionFields undervoltageFields {
    Settings::UndervoltageEnable, Settings::UndervoltageThreshold, Settings::UndervoltageFaultType};
constexpr FunctionFields overvoltageFields {
    Settings::OvervoltageEnable, Settings::OvervoltageThreshold, Settings::OvervoltageFaultType};

quint16 fieldsOf(quint8 present, const FunctionFields &fields)
{
    quint16 result = 0;
    if ((present & SettingsFunction::Enable) != 0)
        result |= fields.enable;
    if ((present & SettingsFunction::Threshold) != 0)
        result |= fields.threshold;
    if ((present & SettingsFunction::FaultType) != 0)
        result |= fields.faultType;
    return result;
}

// Reads one function's object under its key; false with the error when it is refused.
bool readFunction(const QJsonObject &object, const QString &key, SettingsFunction *function,
                  const FunctionFields &fields, quint16 *present, QString *error)
{
    QJsonObject functionObject;
    const SettingsJson::Result result
        = SettingsJson::readObject(object, key, &functionObject, error);
    if (result == SettingsJson::Result::Refused)
        return false;
    if (result == SettingsJson::Result::Missing)
        return true;
    quint8 found = 0;
    QString problem;
    if (!function->read(functionObject, &found, &problem)) {
        //: %1 is a key of the settings file, %2 what is wrong with a key inside it
        *error = Settings::tr("in \"%1\": %2").arg(key, problem);
        return false;
    }
    *present |= fieldsOf(found, fields);
    return true;
}

QString numberText(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

} // namespace

const std::array<Settings::Field, 12> &Settings::fieldOrder()
{
    static const std::array<Field, 12> order {
        TripClass,          NominalCurrent,        OverloadReset,
        UndercurrentEnable, UndercurrentThreshold, UndercurrentFaultType,
        UndervoltageEnable, UndervoltageThreshold, UndervoltageFaultType,
        OvervoltageEnable,  OvervoltageThreshold,  OvervoltageFaultType};
    return order;
}

QString Settings::keyName(Field field)
{
    const auto inside = [](const QString &function, const QString &key) {
        return function + QLatin1Char('.') + key;
    };
    switch (field) {
    case TripClass:
        return tripClassKey;
    case NominalCurrent:
        return nominalCurrentKey;
    case OverloadReset:
        return overloadResetKey;
    case UndercurrentEnable:
        return inside(UndercurrentSettings::key, SettingsFunction::enableKey);
    case UndercurrentThreshold:
        return inside(UndercurrentSettings::key, SettingsFunction::thresholdKey);
    case UndercurrentFaultType:
        return inside(UndercurrentSettings::key, SettingsFunction::faultTypeKey);
    case UndervoltageEnable:
        return inside(UndervoltageSettings::key, SettingsFunction::enableKey);
    case UndervoltageThreshold:
        return inside(UndervoltageSettings::key, SettingsFunction::thresholdKey);
    case UndervoltageFaultType:
        return inside(UndervoltageSettings::key, SettingsFunction::faultTypeKey);
    case OvervoltageEnable:
        return inside(OvervoltageSettings::key, SettingsFunction::enableKey);
    case OvervoltageThreshold:
        return inside(OvervoltageSettings::key, SettingsFunction::thresholdKey);
    case OvervoltageFaultType:
        return inside(OvervoltageSettings::key, SettingsFunction::faultTypeKey);
    }
    return QString();
}

bool Settings::read(const QJsonObject &object)
{
    Settings taken = *this;
    quint16 present = 0;
    QString error;
    double nominalCurrent = 0.0;

    const bool ok = SettingsJson::take(
                        SettingsJson::readByte(object, tripClassKey, &taken.m_tripClass, &error),
                        TripClass, &present)
        && SettingsJson::take(SettingsJson::readNumber(object, nominalCurrentKey, &nominalCurrent,
                                                       &error),
                              NominalCurrent, &present)
        && readFunction(object, UndercurrentSettings::key, &taken.m_undercurrent,
                        undercurrentFields, &present, &error)
        && readFunction(object, UndervoltageSettings::key, &taken.m_undervoltage,
                        undervoltageFields, &present, &error)
        && readFunction(object, OvervoltageSettings::key, &taken.m_overvoltage, overvoltageFields,
                        &present, &error)
        && SettingsJson::take(SettingsJson::readBool(object, overloadResetKey,
                                                     &taken.m_overloadReset, &error),
                              OverloadReset, &present);
    if (!ok) {
        m_errorString = error;
        return false;
    }
    if ((present & NominalCurrent) != 0)
        taken.m_nominalCurrent = static_cast<float>(nominalCurrent);

    taken.m_fields = present;
    taken.m_errorString.clear();
    *this = taken;
    return true;
}

void Settings::write(QJsonObject &object) const
{
    object.insert(tripClassKey, int(m_tripClass));
    object.insert(nominalCurrentKey, cutToTwoDecimals(m_nominalCurrent));
    QJsonObject undercurrent;
    m_undercurrent.write(undercurrent);
    object.insert(UndercurrentSettings::key, undercurrent);
    QJsonObject undervoltage;
    m_undervoltage.write(undervoltage);
    object.insert(UndervoltageSettings::key, undervoltage);
    QJsonObject overvoltage;
    m_overvoltage.write(overvoltage);
    object.insert(OvervoltageSettings::key, overvoltage);
    object.insert(overloadResetKey, m_overloadReset);
}

bool Settings::load(const QString &path)
{
    Utilities::RegularFile::Result result = Utilities::RegularFile::Result::Read;
    const QByteArray content = Utilities::RegularFile::read(path, maximumFileSize, &result);
    if (result != Utilities::RegularFile::Result::Read) {
        m_errorString = Utilities::RegularFile::failureText(result, maximumFileSize);
        return false;
    }

    // The reader keeps only one of two equal keys: which of the two the file means is the
    // technician's to say. Asked before the reader runs, which loses the memory of a dropped
    // object.
    if (const QString duplicate = Utilities::JsonDuplicateKey::find(content);
        !duplicate.isEmpty()) {
        //: %1 is a key of the settings file
        m_errorString = tr("the key \"%1\" appears twice").arg(duplicate);
        return false;
    }
    QJsonParseError parseError {};
    const QJsonDocument document = QJsonDocument::fromJson(content, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        //: %1 is the JSON parser's reason, %2 the position in the file
        m_errorString = tr("it is not valid JSON (%1 at byte %2)")
                            .arg(parseError.errorString())
                            .arg(parseError.offset);
        return false;
    }
    if (!document.isObject()) {
        m_errorString = tr("it is not a JSON object");
        return false;
    }
    Settings taken = *this;
    if (!taken.read(document.object())) {
        m_errorString = taken.m_errorString;
        return false;
    }
    // A file of some other program, or one whose keys are all misspelt, would write nothing.
    if (taken.m_fields == 0) {
        m_errorString = tr("no settings found in this file");
        return false;
    }
    *this = taken;
    return true;
}

bool Settings::save(const QString &path)
{
    const std::pair<Field, float> values[] {{NominalCurrent, m_nominalCurrent},
                                            {UndercurrentThreshold, m_undercurrent.threshold()},
                                            {UndervoltageThreshold, m_undervoltage.threshold()},
                                            {OvervoltageThreshold, m_overvoltage.threshold()}};
    for (const auto &[field, value] : values) {
        if (!std::isfinite(value)) {
            //: %1 is a key of the settings file
            m_errorString = tr("the device holds no number for \"%1\"").arg(keyName(field));
            return false;
        }
    }

    QJsonObject object;
    write(object);
    const QByteArray content = QJsonDocument(object).toJson(QJsonDocument::Indented);
    QString reason;
    if (!Utilities::RegularFile::writeAtomically(path, content, &reason)) {
        //: %1 is the system's reason
        m_errorString = tr("it cannot be written (%1)").arg(reason);
        return false;
    }
    m_errorString.clear();
    return true;
}

double Settings::number(Field field) const
{
    switch (field) {
    case TripClass:
        return m_tripClass;
    case NominalCurrent:
        return m_nominalCurrent;
    case OverloadReset:
        return m_overloadReset ? 1.0 : 0.0;
    case UndercurrentEnable:
        return m_undercurrent.enable() ? 1.0 : 0.0;
    case UndercurrentThreshold:
        return m_undercurrent.threshold();
    case UndercurrentFaultType:
        return m_undercurrent.faultType();
    case UndervoltageEnable:
        return m_undervoltage.enable() ? 1.0 : 0.0;
    case UndervoltageThreshold:
        return m_undervoltage.threshold();
    case UndervoltageFaultType:
        return m_undervoltage.faultType();
    case OvervoltageEnable:
        return m_overvoltage.enable() ? 1.0 : 0.0;
    case OvervoltageThreshold:
        return m_overvoltage.threshold();
    case OvervoltageFaultType:
        return m_overvoltage.faultType();
    }
    return 0.0;
}

bool Settings::checkRanges(const Limits &limits)
{
    for (const Field field : fieldOrder()) {
        const auto limit = limits.find(field);
        if (!has(field) || limit == limits.end())
            continue;
        // Thresholds are single precision on the device: compared there, 6.6 from the file
        // is the device's maximum 6.6 and not above it.
        const double value = number(field);
        const float single = static_cast<float>(value);
        const bool inside = single >= static_cast<float>(limit->second.minimum)
            && single <= static_cast<float>(limit->second.maximum);
        if (!inside) {
            m_errorString = tr("\"%1\" is %2, outside %3 to %4")
                                .arg(keyName(field), numberText(cutToTwoDecimals(single)),
                                     numberText(cutToTwoDecimals(limit->second.minimum)),
                                     numberText(cutToTwoDecimals(limit->second.maximum)));
            return false;
        }
    }
    m_errorString.clear();
    return true;
}

double Settings::cutToTwoDecimals(float value)
{
    if (!std::isfinite(value))
        return value;
    // The shortest decimal text that reads back as the same float, then cut after two
    // decimals: multiplying in binary would cut 2.1 (2.0999999 as a float) to 2.09.
    char text[64] {};
    const std::to_chars_result written
        = std::to_chars(std::begin(text), std::end(text) - 1, value, std::chars_format::fixed);
    if (written.ec != std::errc())
        return value;
    char *end = written.ptr;
    if (char *point = std::find(std::begin(text), end, '.'); point != end)
        end = std::min(end, point + 3);
    double cut = 0.0;
    std::from_chars(std::begin(text), end, cut);
    return cut;
}

} // namespace Application::K27

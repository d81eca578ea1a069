#include "application/core/SettingsJson.h"

#include "application/core/Settings.h"

#include <QJsonValue>
#include <cmath>

namespace Application::K27 {

namespace {

QString mustBe(const QString &key, const QString &what)
{
    //: %1 is a key of the settings file, %2 what it must hold ("a number")
    return Settings::tr("\"%1\" must be %2").arg(key, what);
}

} // namespace

SettingsJson::Result SettingsJson::readBool(const QJsonObject &object, const QString &key,
                                            bool *value, QString *error)
{
    const QJsonValue found = object.value(key);
    if (found.isUndefined())
        return Result::Missing;
    if (!found.isBool()) {
        *error = mustBe(key, Settings::tr("true or false"));
        return Result::Refused;
    }
    *value = found.toBool();
    return Result::Taken;
}

SettingsJson::Result SettingsJson::readNumber(const QJsonObject &object, const QString &key,
                                              double *value, QString *error)
{
    const QJsonValue found = object.value(key);
    if (found.isUndefined())
        return Result::Missing;
    if (!found.isDouble() || !std::isfinite(found.toDouble())) {
        *error = mustBe(key, Settings::tr("a number"));
        return Result::Refused;
    }
    *value = found.toDouble();
    return Result::Taken;
}

SettingsJson::Result SettingsJson::readByte(const QJsonObject &object, const QString &key,
                                            quint8 *value, QString *error)
{
    double number = 0.0;
    const Result result = readNumber(object, key, &number, error);
    if (result != Result::Taken)
        return result;
    if (std::floor(number) != number) {
        *error = mustBe(key, Settings::tr("a whole number"));
        return Result::Refused;
    }
    if (number < 0.0 || number > 255.0) {
        //: %1 is a key of the settings file, %2 its value, %3 and %4 the range
        *error = Settings::tr("\"%1\" is %2, outside %3 to %4")
                     .arg(key, QString::number(number, 'g', 17), QStringLiteral("0"),
                          QStringLiteral("255"));
        return Result::Refused;
    }
    *value = static_cast<quint8>(number);
    return Result::Taken;
}

SettingsJson::Result SettingsJson::readObject(const QJsonObject &object, const QString &key,
                                              QJsonObject *value, QString *error)
{
    const QJsonValue found = object.value(key);
    if (found.isUndefined())
        return Result::Missing;
    if (!found.isObject()) {
        *error = mustBe(key, Settings::tr("an object"));
        return Result::Refused;
    }
    *value = found.toObject();
    return Result::Taken;
}

} // namespace Application::K27

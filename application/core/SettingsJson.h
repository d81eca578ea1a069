#pragma once

#include <QJsonObject>
#include <QString>

namespace Application::K27 {

// Reading one key of a settings file's object, strictly: a key of another JSON type, or a
// number with a fraction where a whole number belongs, is refused with a text naming the key.
class SettingsJson
{
public:
    enum class Result { Missing, Taken, Refused };

    static Result readBool(const QJsonObject &object, const QString &key, bool *value,
                           QString *error);
    static Result readNumber(const QJsonObject &object, const QString &key, double *value,
                             QString *error);
    // A whole number from 0 to 255.
    static Result readByte(const QJsonObject &object, const QString &key, quint8 *value,
                           QString *error);
    static Result readObject(const QJsonObject &object, const QString &key, QJsonObject *value,
                             QString *error);

    // Adds field to present when its key was taken; false when the key was refused.
    template<typename Bits> static bool take(Result result, unsigned field, Bits *present)
    {
        if (result == Result::Taken)
            *present = static_cast<Bits>(*present | field);
        return result != Result::Refused;
    }
};

} // namespace Application::K27

#include "application/core/SettingsJson.h"

#include "application/core/Settings.h"

#include <QJsonValue>
#include <QSet>
#include <cmath>
#include <vector>

namespace Application::K27 {

namespace {

QString mustBe(const QString &key, const QString &what)
{
    //: %1 is a key of the settings file, %2 what it must hold ("a number")
    return Settings::tr("\"%1\" must be %2").arg(key, what);
}

// A JSON string starting at the quote at text[*at]; *at ends after the closing quote. The
// text may end inside the string or an escape: the string then ends with the text.
QString readString(const QByteArray &text, int *at)
{
    QByteArray raw;
    QString decoded;
    int i = *at + 1;
    const auto flush = [&raw, &decoded] {
        decoded += QString::fromUtf8(raw);
        raw.clear();
    };
    while (i < text.size() && text.at(i) != '"') {
        if (text.at(i) != '\\') {
            raw.append(text.at(i++));
            continue;
        }
        const char escaped = i + 1 < text.size() ? text.at(i + 1) : '\\';
        i += 2;
        switch (escaped) {
        case 'b':
            raw.append('\b');
            break;
        case 'f':
            raw.append('\f');
            break;
        case 'n':
            raw.append('\n');
            break;
        case 'r':
            raw.append('\r');
            break;
        case 't':
            raw.append('\t');
            break;
        case 'u':
            flush();
            decoded += QChar(text.mid(i, 4).toUShort(nullptr, 16));
            i += 4;
            break;
        default: // '"', '\\', '/'
            raw.append(escaped);
            break;
        }
    }
    flush();
    *at = i + 1;
    return decoded;
}

} // namespace

QString SettingsJson::duplicateKey(const QByteArray &text)
{
    // One level per open object or array: the keys an object holds so far, and where it lies.
    struct Level
    {
        bool object = false;
        bool expectKey = false;
        QString path;
        QSet<QString> keys;
    };
    std::vector<Level> levels;
    QString lastKey;
    int at = 0;
    while (at < text.size()) {
        const char c = text.at(at);
        if (c == '"') {
            const QString string = readString(text, &at);
            if (levels.empty() || !levels.back().object || !levels.back().expectKey)
                continue;
            Level &level = levels.back();
            const QString path
                = level.path.isEmpty() ? string : level.path + QLatin1Char('.') + string;
            if (level.keys.contains(string))
                return path;
            level.keys.insert(string);
            level.expectKey = false;
            lastKey = path;
            continue;
        }
        if (c == '{' || c == '[') {
            // An object inside an array is named after the array's key.
            const QString path = levels.empty() ? QString()
                : levels.back().object          ? lastKey
                                                : levels.back().path;
            levels.push_back({c == '{', c == '{', path, {}});
        } else if ((c == '}' || c == ']') && !levels.empty()) {
            levels.pop_back();
        } else if (c == ',' && !levels.empty() && levels.back().object) {
            levels.back().expectKey = true;
        }
        ++at;
    }
    return QString();
}

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

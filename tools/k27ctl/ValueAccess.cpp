#include "ValueAccess.h"

#include "model/interfaces/ModelDisplayValue.h"
#include "model/interfaces/ModelTypes.h"
#include "model/interfaces/ModelValueCodec.h"
#include "model/interfaces/ModelValueID.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>
#include <charconv>
#include <cmath>
#include <type_traits>

using Model::Interfaces::ModelDisplayValue;
using Model::Interfaces::ModelValueIntf;
namespace Types = Model::Interfaces::ModelTypes;

namespace {

template<typename T, typename Value, typename Visitor> bool visitAs(Value &value, Visitor &visitor)
{
    using Display = std::conditional_t<std::is_const_v<Value>, const ModelDisplayValue<T>,
                                       ModelDisplayValue<T>>;
    if (auto *display = dynamic_cast<Display *>(&value)) {
        visitor(*display);
        return true;
    }
    return false;
}

// Calls visitor with the value as the display value of its own content type; false for a value
// of none of the model's twenty types.
template<typename Value, typename Visitor> bool visit(Value &value, Visitor &&visitor)
{
    return visitAs<bool>(value, visitor) || visitAs<char>(value, visitor)
        || visitAs<quint8>(value, visitor) || visitAs<quint16>(value, visitor)
        || visitAs<quint32>(value, visitor) || visitAs<float>(value, visitor)
        || visitAs<Types::Measurement::Phase>(value, visitor)
        || visitAs<Types::HousingLighting::Edge>(value, visitor)
        || visitAs<Types::HousingLighting::Type>(value, visitor)
        || visitAs<Types::GFX::Setting>(value, visitor)
        || visitAs<Types::GFX::AboutSubSetting>(value, visitor)
        || visitAs<Types::GFX::LimitSubSetting>(value, visitor)
        || visitAs<Types::GFX::SoftstartSubSetting>(value, visitor)
        || visitAs<Types::Fault::Type>(value, visitor)
        || visitAs<Types::Fault::Phase>(value, visitor)
        || visitAs<Types::Bootup::PlatformState>(value, visitor)
        || visitAs<Types::Settings::FaultType>(value, visitor)
        || visitAs<Types::Settings::TripClass>(value, visitor)
        || visitAs<Types::Operation::Mode>(value, visitor)
        || visitAs<Types::Information::DeviceType>(value, visitor);
}

// The shortest decimal form that reads back as the same float; null for what JSON cannot hold.
QByteArray floatText(float content)
{
    if (!std::isfinite(content))
        return "null";
    char buffer[32];
    const std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, content);
    return QByteArray(buffer, static_cast<int>(result.ptr - buffer));
}

template<typename T> QByteArray contentText(const T &content)
{
    if constexpr (std::is_same_v<T, bool>)
        return content ? "true" : "false";
    else if constexpr (std::is_same_v<T, float>)
        return floatText(content);
    else
        return QByteArray::number(Model::Interfaces::Codec::toNumber(content));
}

QByteArray jsonString(const QByteArray &utf8)
{
    const QByteArray array
        = QJsonDocument(QJsonArray {QString::fromUtf8(utf8)}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

template<typename T> bool inRange(const ModelDisplayValue<T> &value, const T &content)
{
    if constexpr (std::is_same_v<T, float>)
        return content >= value.minimum() && content <= value.maximum();
    else
        return Model::Interfaces::Codec::toNumber(content)
            >= Model::Interfaces::Codec::toNumber(value.minimum())
            && Model::Interfaces::Codec::toNumber(content)
            <= Model::Interfaces::Codec::toNumber(value.maximum());
}

// Reads text as a content of T, without looking at the range.
template<typename T>
bool readContent(const ModelDisplayValue<T> &value, const QString &text, T *content)
{
    const QString trimmed = text.trimmed();
    if constexpr (std::is_same_v<T, float>) {
        bool ok = false;
        const float number = QLocale::c().toFloat(trimmed, &ok);
        if (!ok || !std::isfinite(number))
            return false;
        *content = number;
        return true;
    } else if constexpr (std::is_same_v<T, char>) {
        if (trimmed.size() != 1 || trimmed.at(0).unicode() > 0xFF)
            return false;
        *content = static_cast<char>(static_cast<unsigned char>(trimmed.at(0).unicode()));
        return true;
    } else {
        if constexpr (std::is_same_v<T, bool>) {
            if (trimmed == QLatin1String("true") || trimmed == QLatin1String("1")) {
                *content = true;
                return true;
            }
            if (trimmed == QLatin1String("false") || trimmed == QLatin1String("0")) {
                *content = false;
                return true;
            }
        } else {
            bool ok = false;
            const qulonglong number = trimmed.toULongLong(&ok, 10);
            if (ok && !trimmed.startsWith(QLatin1Char('+'))
                && number <= std::numeric_limits<quint32>::max()) {
                const T candidate
                    = Model::Interfaces::Codec::fromNumber<T>(static_cast<quint32>(number));
                // A number too large for the type would wrap on the way in.
                if (Model::Interfaces::Codec::toNumber(candidate) != number)
                    return false;
                *content = candidate;
                return true;
            }
        }
        // Flags and enumerations also by their own text, the first content in range that
        // shows it.
        if constexpr (std::is_enum_v<T> || std::is_same_v<T, bool>) {
            const quint32 lowest = Model::Interfaces::Codec::toNumber(value.minimum());
            const quint32 highest = Model::Interfaces::Codec::toNumber(value.maximum());
            for (quint32 number = lowest; number <= highest && number - lowest < 256; ++number) {
                const T candidate = Model::Interfaces::Codec::fromNumber<T>(number);
                const QString shown = QString::fromUtf8(value.format(candidate)).trimmed();
                if (!shown.isEmpty() && shown == trimmed) {
                    *content = candidate;
                    return true;
                }
            }
        }
        return false;
    }
}

template<typename T> QString kindText()
{
    if constexpr (std::is_same_v<T, bool>)
        return QStringLiteral("true or false");
    else if constexpr (std::is_same_v<T, char>)
        return QStringLiteral("a single character");
    else if constexpr (std::is_same_v<T, float>)
        return QStringLiteral("a number");
    else if constexpr (std::is_enum_v<T>)
        return QStringLiteral("a whole number or one of the value's texts");
    else
        return QStringLiteral("a whole number");
}

} // namespace

QByteArray ValueAccess::jsonContent(const ModelValueIntf &value)
{
    QByteArray text = "null";
    visit(value, [&text](const auto &display) { text = contentText(display.value()); });
    return text;
}

QByteArray ValueAccess::jsonObject(const ModelValueIntf &value)
{
    return "{\"id\": " + QByteArray::number(value.getId()) + ", \"name\": "
        + jsonString(Model::Interfaces::modelValueName(value.getId())) + ", \"value\": "
        + jsonContent(value) + ", \"text\": " + jsonString(value.toString()) + "}";
}

double ValueAccess::number(const ModelValueIntf &value)
{
    double number = 0.0;
    visit(value, [&number](const auto &display) {
        using T = typename std::decay_t<decltype(display)>::ValueType;
        if constexpr (std::is_same_v<T, float>)
            number = double(display.value());
        else
            number = double(Model::Interfaces::Codec::toNumber(display.value()));
    });
    return number;
}

QString ValueAccess::rangeText(const ModelValueIntf &value)
{
    QString text;
    visit(value, [&text](const auto &display) {
        using T = typename std::decay_t<decltype(display)>::ValueType;
        if constexpr (std::is_same_v<T, char>)
            text = QStringLiteral("from '%1' to '%2'")
                       .arg(QString(QLatin1Char(display.minimum())),
                            QString(QLatin1Char(display.maximum())));
        else
            text = QStringLiteral("from %1 to %2")
                       .arg(QString::fromLatin1(contentText(display.minimum())),
                            QString::fromLatin1(contentText(display.maximum())));
    });
    return text;
}

bool ValueAccess::parse(ModelValueIntf &value, const QString &text, bool store, QString *error)
{
    const QString name = QString::fromLatin1(Model::Interfaces::modelValueName(value.getId()));
    bool accepted = false;
    const bool known = visit(value, [&](auto &display) {
        using T = typename std::decay_t<decltype(display)>::ValueType;
        T content {};
        if (!readContent(display, text, &content)) {
            *error = std::is_same_v<T, bool>
                ? QStringLiteral("\"%1\" is not a content of %2: expected %3")
                      .arg(text, name, kindText<T>())
                : QStringLiteral("\"%1\" is not a content of %2: expected %3 %4")
                      .arg(text, name, kindText<T>(), rangeText(display));
            return;
        }
        if (!inRange(display, content)) {
            *error = QStringLiteral("%1 is outside the range of %2 (%3)")
                         .arg(text.trimmed(), name, rangeText(display));
            return;
        }
        if (store)
            display.setValue(content);
        accepted = true;
    });
    if (!known)
        *error = QStringLiteral("%1 cannot be set from the command line").arg(name);
    return accepted;
}

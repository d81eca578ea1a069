#include "DeviceSimulatorOptions.h"

#include "SimulatedModel.h"
#include "component/ZantLinkCommandCode.h"
#include "model/interfaces/ModelValueID.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <cmath>

namespace DeviceSim {

namespace {

constexpr quint16 platformVersionId = 39;

bool fail(QString *errorMessage, const QString &text)
{
    if (errorMessage)
        *errorMessage = text;
    return false;
}

bool checkKeys(const QJsonObject &object, const QSet<QString> &allowed, const QString &where,
               QString *errorMessage)
{
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (!allowed.contains(it.key()))
            return fail(errorMessage, QStringLiteral("unknown key \"%1\"%2").arg(it.key(), where));
    }
    return true;
}

bool readInteger(const QJsonValue &value, qint64 lowest, qint64 highest, qint64 *result)
{
    if (!value.isDouble())
        return false;
    const double number = value.toDouble();
    if (number != std::floor(number) || number < double(lowest) || number > double(highest))
        return false;
    *result = qint64(number);
    return true;
}

bool readProbability(const QJsonValue &value, double *result)
{
    if (!value.isDouble() || value.toDouble() < 0.0 || value.toDouble() > 1.0)
        return false;
    *result = value.toDouble();
    return true;
}

bool readVersion(const QJsonValue &value, quint32 *result)
{
    if (value.isString())
        return DeviceSimulatorOptions::parseVersion(value.toString(), result);
    qint64 number = 0;
    if (!readInteger(value, 0, 0xFFFFFFFFll, &number))
        return false;
    *result = quint32(number);
    return true;
}

QString valueText(const QJsonValue &value)
{
    if (value.isString())
        return value.toString();
    if (value.isBool())
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    return QString::number(value.toDouble(), 'g', 17);
}

bool readVersions(const QJsonObject &object, const QString &where,
                  SimulatedController::Versions *versions, QString *errorMessage)
{
    if (!checkKeys(object, {"application", "bootloader", "hal", "afterUpdate"}, where,
                   errorMessage))
        return false;
    const std::pair<const char *, quint32 *> fields[] = {{"application", &versions->application},
                                                         {"bootloader", &versions->bootloader},
                                                         {"hal", &versions->hal},
                                                         {"afterUpdate", &versions->afterUpdate}};
    for (const auto &field : fields) {
        const QString key = QString::fromLatin1(field.first);
        if (object.contains(key) && !readVersion(object.value(key), field.second))
            return fail(
                errorMessage,
                QStringLiteral("\"%1\"%2 is no version (V1.2.3.4 or a number)").arg(key, where));
    }
    return true;
}

bool readFault(const QJsonValue &value, const QString &where, InjectedFault *fault,
               QString *errorMessage)
{
    if (!value.isObject())
        return fail(errorMessage, QStringLiteral("\"%1\" must be an object").arg(where));
    const QJsonObject object = value.toObject();
    if (!checkKeys(object, {"type", "phase", "capacity"}, QStringLiteral(" in \"%1\"").arg(where),
                   errorMessage))
        return false;
    qint64 type = 0, phase = 0, capacity = 0;
    if (!readInteger(object.value("type"), 0, 16, &type))
        return fail(errorMessage, QStringLiteral("\"%1\" needs a \"type\" of 0 … 16").arg(where));
    if (object.contains("phase") && !readInteger(object.value("phase"), 0, 3, &phase))
        return fail(errorMessage, QStringLiteral("\"phase\" in \"%1\" must be 0 … 3").arg(where));
    if (object.contains("capacity") && !readInteger(object.value("capacity"), 0, 100, &capacity))
        return fail(errorMessage,
                    QStringLiteral("\"capacity\" in \"%1\" must be 0 … 100").arg(where));
    *fault = {quint8(type), quint8(phase), quint8(capacity)};
    return true;
}

} // namespace

int DeviceSimulatorOptions::identifierOf(const QString &nameOrNumber)
{
    bool isNumber = false;
    const int number = nameOrNumber.toInt(&isNumber);
    if (isNumber)
        return number >= 0 && number < 0x10000 ? number : -1;
    const QByteArray name = nameOrNumber.toLatin1();
    for (quint16 id = 0;
         id < Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::MaxCount); ++id) {
        if (name == Model::Interfaces::modelValueName(id))
            return id;
    }
    return -1;
}

bool DeviceSimulatorOptions::parseVersion(const QString &text, quint32 *version)
{
    static const QRegularExpression pattern(
        QStringLiteral("^V?(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})$"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (match.hasMatch()) {
        quint32 packed = 0;
        for (int part = 1; part <= 4; ++part) {
            const uint number = match.captured(part).toUInt();
            if (number > 255)
                return false;
            packed = (packed << 8) | number;
        }
        *version = packed;
        return true;
    }
    bool ok = false;
    const qulonglong number = text.trimmed().toULongLong(&ok, 0);
    if (!ok || number > 0xFFFFFFFFull)
        return false;
    *version = quint32(number);
    return true;
}

bool DeviceSimulatorOptions::parseFault(const QString &text, InjectedFault *fault)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() > 3)
        return false;
    const int limits[] = {16, 3, 100};
    quint8 numbers[3] = {0, 0, 0};
    for (int i = 0; i < parts.size(); ++i) {
        bool ok = false;
        const uint number = parts.at(i).trimmed().toUInt(&ok);
        if (!ok || number > uint(limits[i]))
            return false;
        numbers[i] = quint8(number);
    }
    *fault = {numbers[0], numbers[1], numbers[2]};
    return true;
}

bool DeviceSimulatorOptions::setModelValue(const QString &identifier, const QString &value,
                                           QString *errorMessage)
{
    const int id = identifierOf(identifier);
    const SimulatedModel catalogue;
    const SimulatedModel::Entry *entry = id >= 0 ? catalogue.entry(quint16(id)) : nullptr;
    if (!entry)
        return fail(errorMessage, QStringLiteral("\"%1\" is no model value").arg(identifier));

    if (id == platformVersionId) {
        quint32 version = 0;
        if (!parseVersion(value, &version))
            return fail(errorMessage,
                        QStringLiteral("\"%1\" is no version for %2").arg(value, identifier));
        platform.application = version;
        return true;
    }

    bool ok = false;
    double number = value.trimmed().toDouble(&ok);
    if (entry->kind == SimulatedModel::Kind::Integer && !ok && value.trimmed().size() == 1
        && entry->id == 47) {
        number = value.trimmed().at(0).unicode(); // the article index may be given as a letter
        ok = true;
    }
    if (!ok || !std::isfinite(number))
        return fail(errorMessage,
                    QStringLiteral("\"%1\" is no number for %2").arg(value, identifier));
    if (entry->kind == SimulatedModel::Kind::Integer) {
        const double widest = entry->width == 1 ? 255.0
            : entry->width == 2                 ? 65535.0
                                                : 4294967295.0;
        if (number != std::floor(number) || number < 0 || number > widest)
            return fail(errorMessage,
                        QStringLiteral("%1 does not fit %2 (a whole number of %3 byte(s))")
                            .arg(value, identifier)
                            .arg(entry->width));
    }
    model.insert(quint16(id), number);
    return true;
}

bool DeviceSimulatorOptions::mergeJson(const QByteArray &json, QString *errorMessage)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return fail(errorMessage,
                    QStringLiteral("not valid JSON at offset %1: %2")
                        .arg(parseError.offset)
                        .arg(parseError.errorString()));
    if (!document.isObject())
        return fail(errorMessage, QStringLiteral("the options must be a JSON object"));
    const QJsonObject root = document.object();
    if (!checkKeys(root,
                   {"folder", "portName", "seed", "measurementPeriodMs", "usbAwayMs", "model",
                    "platform", "display", "update", "line", "warning", "error"},
                   QString(), errorMessage))
        return false;

    DeviceSimulatorOptions merged = *this;
    qint64 number = 0;
    if (root.contains("folder")) {
        if (!root.value("folder").isString())
            return fail(errorMessage, QStringLiteral("\"folder\" must be a text"));
        merged.folder = root.value("folder").toString();
    }
    if (root.contains("portName")) {
        if (!root.value("portName").toString().contains(QLatin1String("tty")))
            return fail(errorMessage,
                        QStringLiteral("\"portName\" must be a text containing \"tty\""));
        merged.portName = root.value("portName").toString();
    }
    if (root.contains("seed")) {
        if (!readInteger(root.value("seed"), 0, 0xFFFFFFFFll, &number))
            return fail(errorMessage,
                        QStringLiteral("\"seed\" must be a whole number 0 … 4294967295"));
        merged.seed = quint32(number);
    }
    if (root.contains("measurementPeriodMs")) {
        if (!readInteger(root.value("measurementPeriodMs"), 1, 3600000, &number))
            return fail(errorMessage,
                        QStringLiteral("\"measurementPeriodMs\" must be 1 … 3600000"));
        merged.measurementPeriodMs = int(number);
    }
    if (root.contains("usbAwayMs")) {
        if (!readInteger(root.value("usbAwayMs"), 0, 3600000, &number))
            return fail(errorMessage, QStringLiteral("\"usbAwayMs\" must be 0 … 3600000"));
        merged.usbAwayMs = int(number);
    }
    if (root.contains("model")) {
        if (!root.value("model").isObject())
            return fail(errorMessage, QStringLiteral("\"model\" must be an object"));
        const QJsonObject model = root.value("model").toObject();
        for (auto it = model.begin(); it != model.end(); ++it) {
            QString message;
            if (!merged.setModelValue(it.key(), valueText(it.value()), &message))
                return fail(errorMessage, QStringLiteral("in \"model\": %1").arg(message));
        }
    }
    for (const char *controller : {"platform", "display"}) {
        const QString key = QString::fromLatin1(controller);
        if (!root.contains(key))
            continue;
        if (!root.value(key).isObject())
            return fail(errorMessage, QStringLiteral("\"%1\" must be an object").arg(key));
        if (!readVersions(root.value(key).toObject(), QStringLiteral(" in \"%1\"").arg(key),
                          key == QLatin1String("platform") ? &merged.platform : &merged.display,
                          errorMessage))
            return false;
    }
    if (root.contains("update")) {
        if (!root.value("update").isObject())
            return fail(errorMessage, QStringLiteral("\"update\" must be an object"));
        const QJsonObject update = root.value("update").toObject();
        if (!checkKeys(
                update,
                {"stallAfterBlock", "repeatRequestBlock", "requestBeyondCount", "corruptBlock"},
                QStringLiteral(" in \"update\""), errorMessage))
            return false;
        const std::pair<const char *, int *> blocks[]
            = {{"stallAfterBlock", &merged.updateFaults.stallAfterBlock},
               {"repeatRequestBlock", &merged.updateFaults.repeatRequestBlock},
               {"corruptBlock", &merged.updateFaults.corruptBlock}};
        for (const auto &block : blocks) {
            const QString key = QString::fromLatin1(block.first);
            if (!update.contains(key))
                continue;
            if (!readInteger(update.value(key), -1, 65535, &number))
                return fail(
                    errorMessage,
                    QStringLiteral("\"%1\" in \"update\" must be a block number or -1").arg(key));
            *block.second = int(number);
        }
        if (update.contains("requestBeyondCount")) {
            if (!update.value("requestBeyondCount").isBool())
                return fail(
                    errorMessage,
                    QStringLiteral("\"requestBeyondCount\" in \"update\" must be true or false"));
            merged.updateFaults.requestBeyondCount = update.value("requestBeyondCount").toBool();
        }
    }
    if (root.contains("line")) {
        if (!root.value("line").isObject())
            return fail(errorMessage, QStringLiteral("\"line\" must be an object"));
        const QJsonObject line = root.value("line").toObject();
        if (!checkKeys(line,
                       {"bitFlipProbability", "dropByteProbability", "garbageProbability",
                        "garbageMaxBytes", "splitSize", "splitDelayMs", "flowControlBytes",
                        "commands"},
                       QStringLiteral(" in \"line\""), errorMessage))
            return false;
        const std::pair<const char *, double *> probabilities[]
            = {{"bitFlipProbability", &merged.lineFaults.bitFlipProbability},
               {"dropByteProbability", &merged.lineFaults.dropByteProbability},
               {"garbageProbability", &merged.lineFaults.garbageProbability}};
        for (const auto &probability : probabilities) {
            const QString key = QString::fromLatin1(probability.first);
            if (line.contains(key) && !readProbability(line.value(key), probability.second))
                return fail(errorMessage,
                            QStringLiteral("\"%1\" in \"line\" must be a number 0 … 1").arg(key));
        }
        const std::pair<const char *, int *> counts[]
            = {{"garbageMaxBytes", &merged.lineFaults.garbageMaxBytes},
               {"splitSize", &merged.lineFaults.splitSize},
               {"splitDelayMs", &merged.lineFaults.splitDelayMs}};
        for (const auto &count : counts) {
            const QString key = QString::fromLatin1(count.first);
            if (!line.contains(key))
                continue;
            if (!readInteger(line.value(key), 0, 60000, &number))
                return fail(
                    errorMessage,
                    QStringLiteral("\"%1\" in \"line\" must be a whole number 0 … 60000").arg(key));
            *count.second = int(number);
        }
        if (line.contains("flowControlBytes")) {
            if (!line.value("flowControlBytes").isBool())
                return fail(
                    errorMessage,
                    QStringLiteral("\"flowControlBytes\" in \"line\" must be true or false"));
            merged.lineFaults.flowControlBytes = line.value("flowControlBytes").toBool();
        }
        if (line.contains("commands")) {
            if (!line.value("commands").isArray())
                return fail(errorMessage,
                            QStringLiteral("\"commands\" in \"line\" must be a list"));
            merged.lineFaults.commands.clear();
            for (const QJsonValue &command : line.value("commands").toArray()) {
                if (!readInteger(command, 0, Component::K27::ZantLinkCommandCode::MaxCount - 1,
                                 &number))
                    return fail(
                        errorMessage,
                        QStringLiteral("\"commands\" in \"line\" holds command codes 0 … 45"));
                merged.lineFaults.commands.insert(quint16(number));
            }
        }
    }
    if (root.contains("warning")) {
        if (!readFault(root.value("warning"), QStringLiteral("warning"), &merged.warning,
                       errorMessage))
            return false;
        merged.hasWarning = true;
    }
    if (root.contains("error")) {
        if (!readFault(root.value("error"), QStringLiteral("error"), &merged.error, errorMessage))
            return false;
        merged.hasError = true;
    }
    *this = merged;
    return true;
}

} // namespace DeviceSim

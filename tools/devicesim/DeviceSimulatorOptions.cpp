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
#include <cstring>

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

// Reads every number option of one JSON section into options.
bool readNumberOptions(const QJsonObject &object, const char *section,
                       DeviceSimulatorOptions *options, QString *errorMessage)
{
    for (const DeviceSimulatorOptions::NumberOption &option :
         DeviceSimulatorOptions::numberOptions()) {
        const QString key = QString::fromLatin1(option.key);
        if (std::strcmp(option.section, section) != 0 || !object.contains(key))
            continue;
        const QJsonValue value = object.value(key);
        if (!value.isDouble() || !option.accepts(value.toDouble()))
            return fail(errorMessage,
                        QStringLiteral("%1 must be %2").arg(option.jsonName(), option.rangeText()));
        option.apply(*options, value.toDouble());
    }
    return true;
}

} // namespace

// The number options of the command line and the JSON file, with one range each. A fault
// switched on by the file can be switched off on the command line with -1; a split size of 0
// sends whole packets.
const std::vector<DeviceSimulatorOptions::NumberOption> &DeviceSimulatorOptions::numberOptions()
{
    using O = DeviceSimulatorOptions;
    static const std::vector<NumberOption> options {
        {"seed", "", "seed", 0, 4294967295.0, true, [](O &o, double v) { o.seed = quint32(v); }},
        {"measurement-period", "", "measurementPeriodMs", 1, 3600000, true,
         [](O &o, double v) { o.measurementPeriodMs = int(v); }},
        {"usb-away", "", "usbAwayMs", 0, 3600000, true,
         [](O &o, double v) { o.usbAwayMs = int(v); }},
        {"stall-after-block", "update", "stallAfterBlock", -1, 65535, true,
         [](O &o, double v) { o.updateFaults.stallAfterBlock = int(v); }},
        {"repeat-block", "update", "repeatRequestBlock", -1, 65535, true,
         [](O &o, double v) { o.updateFaults.repeatRequestBlock = int(v); }},
        {"corrupt-block", "update", "corruptBlock", -1, 65535, true,
         [](O &o, double v) { o.updateFaults.corruptBlock = int(v); }},
        {"bit-flip", "line", "bitFlipProbability", 0, 1, false,
         [](O &o, double v) { o.lineFaults.bitFlipProbability = v; }},
        {"drop-byte", "line", "dropByteProbability", 0, 1, false,
         [](O &o, double v) { o.lineFaults.dropByteProbability = v; }},
        {"garbage", "line", "garbageProbability", 0, 1, false,
         [](O &o, double v) { o.lineFaults.garbageProbability = v; }},
        {"garbage-max-bytes", "line", "garbageMaxBytes", 1, 60000, true,
         [](O &o, double v) { o.lineFaults.garbageMaxBytes = int(v); }},
        {"split", "line", "splitSize", 0, 60000, true,
         [](O &o, double v) { o.lineFaults.splitSize = int(v); }},
        {"split-delay", "line", "splitDelayMs", 0, 60000, true,
         [](O &o, double v) { o.lineFaults.splitDelayMs = int(v); }},
    };
    return options;
}

QString DeviceSimulatorOptions::NumberOption::commandLineName() const
{
    return QStringLiteral("--") + QString::fromLatin1(option);
}

QString DeviceSimulatorOptions::NumberOption::jsonName() const
{
    const QString name = QStringLiteral("\"%1\"").arg(QString::fromLatin1(key));
    return *section == '\0'
        ? name
        : QStringLiteral("%1 in \"%2\"").arg(name, QString::fromLatin1(section));
}

QString DeviceSimulatorOptions::NumberOption::rangeText() const
{
    return QStringLiteral("%1 %2 … %3")
        .arg(whole ? QStringLiteral("a whole number") : QStringLiteral("a number"))
        .arg(lowest, 0, 'f', 0)
        .arg(highest, 0, 'f', 0);
}

bool DeviceSimulatorOptions::NumberOption::accepts(double value) const
{
    return std::isfinite(value) && value >= lowest && value <= highest
        && (!whole || value == std::floor(value));
}

const DeviceSimulatorOptions::NumberOption *
DeviceSimulatorOptions::numberOption(const QString &commandLineName)
{
    for (const NumberOption &option : numberOptions()) {
        if (commandLineName == QLatin1String(option.option))
            return &option;
    }
    return nullptr;
}

bool DeviceSimulatorOptions::setNumberOption(const QString &commandLineName, const QString &text,
                                             QString *errorMessage)
{
    const NumberOption *option = numberOption(commandLineName);
    if (!option)
        return fail(errorMessage, QStringLiteral("--%1 is no number option").arg(commandLineName));
    bool ok = false;
    // Whole numbers are read as integers, so "1e3" or "0x10" is no block number.
    const double value
        = option->whole ? double(text.trimmed().toLongLong(&ok, 10)) : text.trimmed().toDouble(&ok);
    if (!ok || !option->accepts(value))
        return fail(errorMessage,
                    QStringLiteral("%1 needs %2, not \"%3\"")
                        .arg(option->commandLineName(), option->rangeText(), text));
    option->apply(*this, value);
    return true;
}

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

bool DeviceSimulatorOptions::setAnswerWidth(const QString &assignment, QString *errorMessage)
{
    const int equals = assignment.indexOf(QLatin1Char('='));
    const int id = equals > 0 ? identifierOf(assignment.left(equals)) : -1;
    if (id < 0 || !SimulatedModel().contains(quint16(id)))
        return fail(
            errorMessage,
            QStringLiteral("an answer width needs a model value=bytes, not %1").arg(assignment));
    bool ok = false;
    const int width = assignment.mid(equals + 1).trimmed().toInt(&ok);
    if (!ok || width < 0 || width > widestAnswer)
        return fail(errorMessage,
                    QStringLiteral("the answer width of %1 must be a whole number 0 … %2")
                        .arg(assignment.left(equals))
                        .arg(widestAnswer));
    answerWidths.insert(quint16(id), width);
    return true;
}

bool DeviceSimulatorOptions::setIgnoredWrite(const QString &identifier, QString *errorMessage)
{
    const int id = identifierOf(identifier.trimmed());
    if (id < 0 || !SimulatedModel().contains(quint16(id)))
        return fail(errorMessage, QStringLiteral("\"%1\" is no model value").arg(identifier));
    ignoredWrites.insert(quint16(id));
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
                    "platform", "display", "update", "line", "warning", "error", "answerWidths",
                    "ignoreWrites"},
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
    if (!readNumberOptions(root, "", &merged, errorMessage))
        return false;
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
    if (root.contains("answerWidths")) {
        if (!root.value("answerWidths").isObject())
            return fail(errorMessage, QStringLiteral("\"answerWidths\" must be an object"));
        const QJsonObject widths = root.value("answerWidths").toObject();
        for (auto it = widths.begin(); it != widths.end(); ++it) {
            QString message;
            if (!merged.setAnswerWidth(it.key() + QLatin1Char('=') + valueText(it.value()),
                                       &message))
                return fail(errorMessage, QStringLiteral("in \"answerWidths\": %1").arg(message));
        }
    }
    if (root.contains("ignoreWrites")) {
        if (!root.value("ignoreWrites").isArray())
            return fail(errorMessage, QStringLiteral("\"ignoreWrites\" must be a list"));
        for (const QJsonValue &identifier : root.value("ignoreWrites").toArray()) {
            QString message;
            if (!merged.setIgnoredWrite(valueText(identifier), &message))
                return fail(errorMessage, QStringLiteral("in \"ignoreWrites\": %1").arg(message));
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
        if (!checkKeys(update,
                       {"stallAfterBlock", "repeatRequestBlock", "requestBeyondCount",
                        "corruptBlock", "resetSettings"},
                       QStringLiteral(" in \"update\""), errorMessage))
            return false;
        if (!readNumberOptions(update, "update", &merged, errorMessage))
            return false;
        if (update.contains("requestBeyondCount")) {
            if (!update.value("requestBeyondCount").isBool())
                return fail(
                    errorMessage,
                    QStringLiteral("\"requestBeyondCount\" in \"update\" must be true or false"));
            merged.updateFaults.requestBeyondCount = update.value("requestBeyondCount").toBool();
        }
        if (update.contains("resetSettings")) {
            if (!update.value("resetSettings").isBool())
                return fail(
                    errorMessage,
                    QStringLiteral("\"resetSettings\" in \"update\" must be true or false"));
            merged.resetSettingsOnUpdate = update.value("resetSettings").toBool();
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
        if (!readNumberOptions(line, "line", &merged, errorMessage))
            return false;
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

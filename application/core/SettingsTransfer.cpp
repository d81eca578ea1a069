#include "application/core/SettingsTransfer.h"

#include "application/core/ConfigurationRules.h"
#include "application/core/NumberText.h"
#include "model/database/ModelSettings.h"
#include "model/interfaces/ModelTypes.h"
#include "model/interfaces/ModelValueCodec.h"

#include <algorithm>
#include <optional>

namespace Application::K27 {

namespace {

namespace Types = Model::Interfaces::ModelTypes;
namespace Codec = Model::Interfaces::Codec;
using Field = Settings::Field;

template<typename Value, typename Content> void setAndSend(Value &value, const Content &content)
{
    value.setValue(content);
    value.send();
}

QString twoDecimalsText(double value)
{
    return NumberText::fromPointText(
        QString::number(Settings::cutToTwoDecimals(static_cast<float>(value)), 'g',
                        QLocale::FloatingPointShortest));
}

} // namespace

// The content of a setting as a number: flags 0 or 1, indexes as numbers, floats widened.
double SettingsTransfer::modelNumber(Field field, Model::Database::ModelSettings &model)
{
    switch (field) {
    case Settings::TripClass:
        return Codec::toNumber(model.tripClass().value());
    case Settings::NominalCurrent:
        return model.nominalCurrent().value();
    case Settings::OverloadReset:
        return model.overloadReset().value() ? 1.0 : 0.0;
    case Settings::UndercurrentEnable:
        return model.undercurrentEnable().value() ? 1.0 : 0.0;
    case Settings::UndercurrentThreshold:
        return model.undercurrentThreshold().value();
    case Settings::UndercurrentFaultType:
        return Codec::toNumber(model.undercurrentFault().value());
    case Settings::UndervoltageEnable:
        return model.undervoltageEnable().value() ? 1.0 : 0.0;
    case Settings::UndervoltageThreshold:
        return model.undervoltageThreshold().value();
    case Settings::UndervoltageFaultType:
        return Codec::toNumber(model.undervoltageFault().value());
    case Settings::OvervoltageEnable:
        return model.overvoltageEnable().value() ? 1.0 : 0.0;
    case Settings::OvervoltageThreshold:
        return model.overvoltageThreshold().value();
    case Settings::OvervoltageFaultType:
        return Codec::toNumber(model.overvoltageFault().value());
    }
    return 0.0;
}

void SettingsTransfer::setModelNumber(Field field, double number,
                                      Model::Database::ModelSettings &model)
{
    const auto byte = [number] { return static_cast<quint8>(number); };
    const auto flag = number != 0.0;
    const auto single = static_cast<float>(number);
    const auto faultType = [&byte] { return static_cast<Types::Settings::FaultType>(byte()); };
    switch (field) {
    case Settings::TripClass:
        model.tripClass().setValue(static_cast<Types::Settings::TripClass>(byte()));
        return;
    case Settings::NominalCurrent:
        model.nominalCurrent().setValue(single);
        return;
    case Settings::OverloadReset:
        model.overloadReset().setValue(flag);
        return;
    case Settings::UndercurrentEnable:
        model.undercurrentEnable().setValue(flag);
        return;
    case Settings::UndercurrentThreshold:
        model.undercurrentThreshold().setValue(single);
        return;
    case Settings::UndercurrentFaultType:
        model.undercurrentFault().setValue(faultType());
        return;
    case Settings::UndervoltageEnable:
        model.undervoltageEnable().setValue(flag);
        return;
    case Settings::UndervoltageThreshold:
        model.undervoltageThreshold().setValue(single);
        return;
    case Settings::UndervoltageFaultType:
        model.undervoltageFault().setValue(faultType());
        return;
    case Settings::OvervoltageEnable:
        model.overvoltageEnable().setValue(flag);
        return;
    case Settings::OvervoltageThreshold:
        model.overvoltageThreshold().setValue(single);
        return;
    case Settings::OvervoltageFaultType:
        model.overvoltageFault().setValue(faultType());
        return;
    }
}

namespace {

void writeField(Field field, const Settings &settings, Model::Database::ModelSettings &model)
{
    const auto faultType
        = [](quint8 number) { return static_cast<Types::Settings::FaultType>(number); };
    switch (field) {
    case Settings::TripClass:
        setAndSend(model.tripClass(),
                   static_cast<Types::Settings::TripClass>(settings.tripClass()));
        return;
    case Settings::NominalCurrent:
        setAndSend(model.nominalCurrent(), settings.nominalCurrent());
        return;
    case Settings::OverloadReset:
        setAndSend(model.overloadReset(), settings.overloadReset());
        return;
    case Settings::UndercurrentEnable:
        setAndSend(model.undercurrentEnable(), settings.undercurrent().enable());
        return;
    case Settings::UndercurrentThreshold:
        setAndSend(model.undercurrentThreshold(), settings.undercurrent().threshold());
        return;
    case Settings::UndercurrentFaultType:
        setAndSend(model.undercurrentFault(), faultType(settings.undercurrent().faultType()));
        return;
    case Settings::UndervoltageEnable:
        setAndSend(model.undervoltageEnable(), settings.undervoltage().enable());
        return;
    case Settings::UndervoltageThreshold:
        setAndSend(model.undervoltageThreshold(), settings.undervoltage().threshold());
        return;
    case Settings::UndervoltageFaultType:
        setAndSend(model.undervoltageFault(), faultType(settings.undervoltage().faultType()));
        return;
    case Settings::OvervoltageEnable:
        setAndSend(model.overvoltageEnable(), settings.overvoltage().enable());
        return;
    case Settings::OvervoltageThreshold:
        setAndSend(model.overvoltageThreshold(), settings.overvoltage().threshold());
        return;
    case Settings::OvervoltageFaultType:
        setAndSend(model.overvoltageFault(), faultType(settings.overvoltage().faultType()));
        return;
    }
}

// Amperes keep at least one decimal ("3.0 A"), volts show none when they have none ("195 V").
QString quantityText(double value, bool amperes)
{
    QString text = QString::number(Settings::cutToTwoDecimals(static_cast<float>(value)), 'f', 2);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text += amperes ? QStringLiteral("0") : QString();
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return NumberText::withUnit(text, amperes ? QStringLiteral("A") : QStringLiteral("V"));
}

} // namespace

void SettingsTransfer::fill(Settings &settings, Model::Database::ModelSettings &model)
{
    settings.setTripClass(Codec::toNumber(model.tripClass().value()));
    settings.setNominalCurrent(model.nominalCurrent().value());
    settings.setOverloadReset(model.overloadReset().value());
    settings.undercurrent().setEnable(model.undercurrentEnable().value());
    settings.undercurrent().setThreshold(model.undercurrentThreshold().value());
    settings.undercurrent().setFaultType(Codec::toNumber(model.undercurrentFault().value()));
    settings.undervoltage().setEnable(model.undervoltageEnable().value());
    settings.undervoltage().setThreshold(model.undervoltageThreshold().value());
    settings.undervoltage().setFaultType(Codec::toNumber(model.undervoltageFault().value()));
    settings.overvoltage().setEnable(model.overvoltageEnable().value());
    settings.overvoltage().setThreshold(model.overvoltageThreshold().value());
    settings.overvoltage().setFaultType(Codec::toNumber(model.overvoltageFault().value()));
    settings.setFields(Settings::AllFields);
}

Settings::Limits SettingsTransfer::limits(const Settings &settings,
                                          Model::Database::ModelSettings &model)
{
    // The undercurrent threshold is held to the nominal current the device will have after
    // the import: the file's, or else the device's.
    const std::optional<float> nominalAfter = settings.has(Settings::NominalCurrent)
        ? std::optional<float>(settings.nominalCurrent())
        : std::nullopt;
    Settings::Limits limits;
    for (const Field field : Settings::fieldOrder()) {
        if (const auto range
            = ConfigurationRules::allowedRange(valueId(field), model, nominalAfter))
            limits[field] = *range;
    }
    return limits;
}

bool SettingsTransfer::check(const Settings &settings, Model::Database::ModelSettings &model,
                             QString *error)
{
    Settings checked = settings;
    if (!checked.checkRanges(limits(settings, model))) {
        *error = checked.errorString();
        return false;
    }
    // What the device keeps must still fit what the file changes: its thresholds held to the
    // nominal current, for instance. The load asymmetry threshold is no part of the file but
    // is held to the same nominal current.
    using Model::Interfaces::ModelValueID;
    const std::optional<float> nominalAfter = settings.has(Settings::NominalCurrent)
        ? std::optional<float>(settings.nominalCurrent())
        : std::nullopt;
    struct Kept
    {
        ModelValueID id;
        QString name;
        double value;
    };
    QList<Kept> kept;
    for (const Field field : Settings::fieldOrder()) {
        if (!settings.has(field))
            kept.append({valueId(field), Settings::keyName(field), modelNumber(field, model)});
    }
    kept.append({ModelValueID::LoadAsymmetryThreshold,
                 QString::fromLatin1(
                     Model::Interfaces::modelValueName(ModelValueID::LoadAsymmetryThreshold)),
                 double(model.loadAsymmetryThreshold().value())});
    for (const Kept &value : qAsConst(kept)) {
        for (const ModelValueID governing : ConfigurationRules::rangeDependsOn(value.id)) {
            const auto *field = std::find_if(
                Settings::fieldOrder().cbegin(), Settings::fieldOrder().cend(),
                [governing](Field candidate) { return valueId(candidate) == governing; });
            if (field == Settings::fieldOrder().cend() || !settings.has(*field))
                continue;
            const auto range = ConfigurationRules::allowedRange(value.id, model, nominalAfter);
            const auto single = static_cast<float>(value.value);
            if (!range
                || (single >= static_cast<float>(range->minimum)
                    && single <= static_cast<float>(range->maximum)))
                continue;
            //: %1 is a key of the settings file, %2 its value, %3 a setting the device keeps,
            //: %4 that setting's value, %5 and %6 the range it would need to lie in
            *error = tr("\"%1\" is %2, and the device's \"%3\" of %4 would then lie outside "
                        "%5 to %6")
                         .arg(Settings::keyName(*field), twoDecimalsText(settings.number(*field)),
                              value.name, twoDecimalsText(value.value),
                              twoDecimalsText(range->minimum), twoDecimalsText(range->maximum));
            return false;
        }
    }
    return true;
}

int SettingsTransfer::write(const Settings &settings, Model::Database::ModelSettings &model,
                            QList<Change> *changes)
{
    int written = 0;
    for (const Field field : Settings::fieldOrder()) {
        if (!settings.has(field))
            continue;
        const double before = modelNumber(field, model);
        writeField(field, settings, model);
        ++written;
        const double after = modelNumber(field, model);
        if (changes != nullptr && before != after)
            changes->append({field, valueText(field, before), valueText(field, after)});
    }
    return written;
}

QList<Settings::Field> SettingsTransfer::differences(const Settings &settings,
                                                     Model::Database::ModelSettings &model)
{
    QList<Field> fields;
    for (const Field field : Settings::fieldOrder()) {
        if (settings.has(field) && settings.number(field) != modelNumber(field, model))
            fields.append(field);
    }
    return fields;
}

Model::Interfaces::ModelValueID SettingsTransfer::valueId(Settings::Field field)
{
    using Model::Interfaces::ModelValueID;
    switch (field) {
    case Settings::TripClass:
        return ModelValueID::TripClass;
    case Settings::NominalCurrent:
        return ModelValueID::NominalCurrent;
    case Settings::OverloadReset:
        return ModelValueID::OverloadReset;
    case Settings::UndercurrentEnable:
        return ModelValueID::UndercurrentEnable;
    case Settings::UndercurrentThreshold:
        return ModelValueID::UndercurrentThreshold;
    case Settings::UndercurrentFaultType:
        return ModelValueID::UndercurrentFaultType;
    case Settings::UndervoltageEnable:
        return ModelValueID::UndervoltageEnable;
    case Settings::UndervoltageThreshold:
        return ModelValueID::UndervoltageThreshold;
    case Settings::UndervoltageFaultType:
        return ModelValueID::UndervoltageFaultType;
    case Settings::OvervoltageEnable:
        return ModelValueID::OvervoltageEnable;
    case Settings::OvervoltageThreshold:
        return ModelValueID::OvervoltageThreshold;
    case Settings::OvervoltageFaultType:
        return ModelValueID::OvervoltageFaultType;
    }
    return ModelValueID::TripClass;
}

QString SettingsTransfer::changeText(const Change &change)
{
    return title(change.field) + QLatin1Char(' ') + change.before + QStringLiteral(" \u2192 ")
        + change.after;
}

QString SettingsTransfer::title(Settings::Field field)
{
    switch (field) {
    case Settings::TripClass:
        return tr("Trip class");
    case Settings::NominalCurrent:
        return tr("Nominal current");
    case Settings::OverloadReset:
        return tr("Automatic reset");
    case Settings::UndercurrentEnable:
        return tr("Undercurrent");
    case Settings::UndercurrentThreshold:
        return tr("Undercurrent threshold");
    case Settings::UndercurrentFaultType:
        return tr("Undercurrent fault type");
    case Settings::UndervoltageEnable:
        return tr("Undervoltage");
    case Settings::UndervoltageThreshold:
        return tr("Undervoltage threshold");
    case Settings::UndervoltageFaultType:
        return tr("Undervoltage fault type");
    case Settings::OvervoltageEnable:
        return tr("Overvoltage");
    case Settings::OvervoltageThreshold:
        return tr("Overvoltage threshold");
    case Settings::OvervoltageFaultType:
        return tr("Overvoltage fault type");
    }
    return QString();
}

QString SettingsTransfer::valueText(Settings::Field field, double value)
{
    switch (field) {
    case Settings::TripClass:
        return QString::fromLatin1(
            Types::text(static_cast<Types::Settings::TripClass>(static_cast<quint8>(value))));
    case Settings::NominalCurrent:
    case Settings::UndercurrentThreshold:
        return quantityText(value, true);
    case Settings::UndervoltageThreshold:
    case Settings::OvervoltageThreshold:
        return quantityText(value, false);
    case Settings::OverloadReset:
        return value != 0.0 ? tr("automatic") : tr("manual");
    case Settings::UndercurrentEnable:
    case Settings::UndervoltageEnable:
    case Settings::OvervoltageEnable:
        return value != 0.0 ? tr("on") : tr("off");
    case Settings::UndercurrentFaultType:
    case Settings::UndervoltageFaultType:
    case Settings::OvervoltageFaultType:
        return value != 0.0 ? tr("Error") : tr("Warning");
    }
    return QString();
}

} // namespace Application::K27

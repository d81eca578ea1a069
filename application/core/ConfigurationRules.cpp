#include "application/core/ConfigurationRules.h"

#include "model/database/ModelSettings.h"
#include "model/interfaces/ModelTypes.h"
#include "model/interfaces/ModelValueCodec.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

namespace Application::K27 {

namespace {

using Model::Interfaces::ModelValueID;
namespace Setting = Model::Database::Setting;
namespace Codec = Model::Interfaces::Codec;

// A content as a number: floats widened, enumerations by their number.
template<typename T> double number(const T &content)
{
    if constexpr (std::is_same_v<T, float>)
        return double(content);
    else
        return double(Codec::toNumber(content));
}

template<typename Value> double lowest(const Value &value)
{
    return number(value.minimum());
}

template<typename Value> ConfigurationRules::Range ownRange(const Value &value)
{
    return {lowest(value), number(value.maximum())};
}

} // namespace

std::optional<ConfigurationRules::Range>
ConfigurationRules::allowedRange(ModelValueID value, Model::Database::ModelSettings &model,
                                 std::optional<float> nominalCurrent)
{
    // The window lowers the maxima of the trip class, the nominal current and the two
    // current thresholds as the device reports what governs them, and raises them again; so
    // their upper ends come from the governing values and the catalogue, never from the
    // values' own maxima. The lower ends and the other ranges are the catalogue's.
    const double nominal = double(nominalCurrent.value_or(model.nominalCurrent().value()));
    switch (value) {
    case ModelValueID::TripClass:
        return Range {lowest(model.tripClass()), number(model.maxTripClass().value())};
    case ModelValueID::NominalCurrent:
        return Range {lowest(model.nominalCurrent()), double(model.maxNominalCurrent().value())};
    case ModelValueID::UndercurrentThreshold:
        return Range {
            lowest(model.undercurrentThreshold()),
            std::min(double(Setting::UndercurrentThresholdValue::catalogueMaximum), nominal)};
    case ModelValueID::LoadAsymmetryThreshold:
        return Range {
            lowest(model.loadAsymmetryThreshold()),
            std::min(double(Setting::LoadAsymmetryThresholdValue::catalogueMaximum), nominal)};
    case ModelValueID::UndervoltageThreshold:
        return ownRange(model.undervoltageThreshold());
    case ModelValueID::OvervoltageThreshold:
        return ownRange(model.overvoltageThreshold());
    case ModelValueID::UndercurrentFaultType:
        return ownRange(model.undercurrentFault());
    case ModelValueID::UndervoltageFaultType:
        return ownRange(model.undervoltageFault());
    case ModelValueID::OvervoltageFaultType:
        return ownRange(model.overvoltageFault());
    case ModelValueID::LoadAsymmetryFaultType:
        return ownRange(model.loadAsymmetryFault());
    default:
        return std::nullopt;
    }
}

QList<ModelValueID> ConfigurationRules::rangeDependsOn(ModelValueID value)
{
    switch (value) {
    case ModelValueID::TripClass:
        return {ModelValueID::TripClassMax};
    case ModelValueID::NominalCurrent:
        return {ModelValueID::NominalCurrentMax};
    case ModelValueID::UndercurrentThreshold:
    case ModelValueID::LoadAsymmetryThreshold:
        return {ModelValueID::NominalCurrent};
    default:
        return {};
    }
}

bool ConfigurationRules::nominalCurrentUnchanged(double edited, float current)
{
    return std::abs(edited - double(current)) < 0.05;
}

bool ConfigurationRules::thresholdUnchanged(double edited, float current)
{
    // The device keeps single precision: 0.35 typed is the 0.35 it reported.
    return static_cast<float>(edited) == current;
}

bool ConfigurationRules::exceedsMaximum(float threshold, float maximum)
{
    return threshold > maximum;
}

QString ConfigurationRules::tripClassName(int index)
{
    if (index < 0 || index > 255)
        return QString();
    namespace Types = Model::Interfaces::ModelTypes;
    return QString::fromLatin1(
        Types::text(static_cast<Types::Settings::TripClass>(static_cast<quint8>(index))));
}

} // namespace Application::K27

#include "support/ModelValueProbe.h"

namespace TestSupport {

namespace {
namespace Types = Model::Interfaces::ModelTypes;

template<typename T> double asNumber(const T &content)
{
    if constexpr (std::is_same_v<T, float>)
        return content;
    else
        return Model::Interfaces::Codec::toNumber(content);
}

template<typename T>
bool probeAs(Model::Interfaces::ModelValueIntf *value, const char *typeName, ModelValueProbe &probe)
{
    auto *display = dynamic_cast<Model::Interfaces::ModelDisplayValue<T> *>(value);
    if (display == nullptr)
        return false;
    probe.found = true;
    probe.typeName = QString::fromLatin1(typeName);
    probe.isFloat = std::is_same_v<T, float>;
    probe.defaultValue = asNumber(display->defaultValue());
    probe.minimum = asNumber(display->minimum());
    probe.maximum = asNumber(display->maximum());
    probe.value = asNumber(display->value());
    probe.lowerNeighbour = asNumber(display->lowerNeighbour());
    probe.upperNeighbour = asNumber(display->upperNeighbour());
    return true;
}
} // namespace

ModelValueProbe probeValue(Model::Interfaces::ModelValueIntf *value)
{
    ModelValueProbe probe;
    if (value == nullptr)
        return probe;
    probeAs<bool>(value, "bool", probe) || probeAs<char>(value, "char", probe)
        || probeAs<quint8>(value, "u8", probe) || probeAs<quint16>(value, "u16", probe)
        || probeAs<quint32>(value, "u32", probe) || probeAs<float>(value, "float", probe)
        || probeAs<Types::Measurement::Phase>(value, "Measurement::Phase", probe)
        || probeAs<Types::HousingLighting::Edge>(value, "HousingLighting::Edge", probe)
        || probeAs<Types::HousingLighting::Type>(value, "HousingLighting::Type", probe)
        || probeAs<Types::GFX::Setting>(value, "GFX::Setting", probe)
        || probeAs<Types::GFX::AboutSubSetting>(value, "GFX::AboutSubSetting", probe)
        || probeAs<Types::GFX::LimitSubSetting>(value, "GFX::LimitSubSetting", probe)
        || probeAs<Types::GFX::SoftstartSubSetting>(value, "GFX::SoftstartSubSetting", probe)
        || probeAs<Types::Fault::Type>(value, "Fault::Type", probe)
        || probeAs<Types::Fault::Phase>(value, "Fault::Phase", probe)
        || probeAs<Types::Bootup::PlatformState>(value, "Bootup::PlatformState", probe)
        || probeAs<Types::Settings::FaultType>(value, "Settings::FaultType", probe)
        || probeAs<Types::Settings::TripClass>(value, "Settings::TripClass", probe)
        || probeAs<Types::Operation::Mode>(value, "Operation::Mode", probe)
        || probeAs<Types::Information::DeviceType>(value, "Information::DeviceType", probe);
    return probe;
}

} // namespace TestSupport

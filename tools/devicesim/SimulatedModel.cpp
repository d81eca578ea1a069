#include "SimulatedModel.h"

#include "model/database/ModelDatabase.h"
#include "model/interfaces/ModelDisplayValue.h"
#include "model/interfaces/ModelValueCodec.h"
#include "model/observer/ModelActionObserver.h"
#include "model/observer/ModelValueObserver.h"
#include "utilities/LittleEndian.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>

namespace DeviceSim {

namespace {

using Kind = SimulatedModel::Kind;
using Model::Interfaces::ModelDisplayValue;
using Model::Interfaces::ModelValueID;
using Model::Interfaces::ModelValueIntf;
using Model::Interfaces::toNumber;
namespace Types = Model::Interfaces::ModelTypes;
namespace Codec = Model::Interfaces::Codec;

double asFloat(double value)
{
    return double(float(value));
}

double widthMaximum(int width)
{
    return width == 1 ? 255.0 : width == 2 ? 65535.0 : 4294967295.0;
}

template<typename T> double numberOf(const T &content)
{
    if constexpr (std::is_same_v<T, float>)
        return double(content);
    else
        return double(Codec::toNumber(content));
}

// Width, default and range of a catalogue value whose content type is T.
template<typename T> bool takeFrom(const ModelValueIntf *value, SimulatedModel::Entry *entry)
{
    const auto *display = dynamic_cast<const ModelDisplayValue<T> *>(value);
    if (!display)
        return false;
    entry->kind = std::is_same_v<T, float> ? Kind::Float : Kind::Integer;
    entry->width = Codec::linkWidth<T>();
    entry->defaultValue = numberOf(display->defaultValue());
    entry->minimum = numberOf(display->minimum());
    entry->maximum = numberOf(display->maximum());
    return true;
}

template<typename... T> bool takeFromAny(const ModelValueIntf *value, SimulatedModel::Entry *entry)
{
    return (takeFrom<T>(value, entry) || ...);
}

bool takeFromCatalogue(const ModelValueIntf *value, SimulatedModel::Entry *entry)
{
    return takeFromAny<bool, char, quint8, quint16, quint32, float, Types::Measurement::Phase,
                       Types::HousingLighting::Edge, Types::HousingLighting::Type,
                       Types::GFX::Setting, Types::GFX::AboutSubSetting,
                       Types::GFX::LimitSubSetting, Types::GFX::SoftstartSubSetting,
                       Types::Fault::Type, Types::Fault::Phase, Types::Bootup::PlatformState,
                       Types::Settings::FaultType, Types::Settings::TripClass,
                       Types::Operation::Mode, Types::Information::DeviceType>(value, entry);
}

// What belongs to the device alone: the variant's limits, its identity, its state and its
// measurements. The PC may ask for them; a "SetModelValue" only brings back what is stored.
bool deviceOwned(quint16 id)
{
    switch (ModelValueID(id)) {
    case ModelValueID::TripClassMax:
    case ModelValueID::NominalCurrentMax:
    case ModelValueID::CapacityDevice:
    case ModelValueID::CapacityIndicator:
    case ModelValueID::MeasurementPhase:
    case ModelValueID::PlatformState:
    case ModelValueID::MeasurementVoltage:
    case ModelValueID::MeasurementCurrent:
    case ModelValueID::MeasurementActivePower:
    case ModelValueID::MeasurementApparentPower:
    case ModelValueID::MeasurementReactivePower:
    case ModelValueID::PlatformVersion:
    case ModelValueID::HardwareIDControllerBoard:
    case ModelValueID::HardwareIDPowerBoard:
    case ModelValueID::HardwareIDDisplayBoard:
    case ModelValueID::HousingType:
    case ModelValueID::SerialNumber:
    case ModelValueID::ArticleNumber:
    case ModelValueID::ArticleIndex:
    case ModelValueID::ProductionWeek:
    case ModelValueID::ProductionYear:
    case ModelValueID::ProductionDay:
    case ModelValueID::SettingChanged:
        return true;
    default:
        return false;
    }
}

struct ExtraRow
{
    ModelValueID id;
    double defaultValue;
    double minimum;
    double maximum;
};

// Identifiers the device holds although the PC's model keeps no value for them: one byte.
const ExtraRow extraRows[] = {
    {ModelValueID::CapacityDevice, 0, 0, 100},
    {ModelValueID::SubSettingUndercurrent, 1, 0, 3},
    {ModelValueID::SubSettingUndervoltage, 1, 0, 3},
    {ModelValueID::SettingChanged, 0, 0, 1},
};

struct Catalogue
{
    QMap<quint16, SimulatedModel::Entry> entries;
    QList<quint16> settingOrder;
};

// The catalogue read once out of a model database of the program's own.
const Catalogue &catalogue()
{
    static const Catalogue read = [] {
        Catalogue result;
        Model::Observer::ModelValueObserver values;
        Model::Observer::ModelActionObserver actions;
        const Model::Database::ModelDatabase database(nullptr, &values, &actions);
        for (int i = 0; i < values.valueCount(); ++i) {
            const ModelValueIntf *value = values.valueAt(i);
            SimulatedModel::Entry entry;
            entry.id = value->getId();
            if (!takeFromCatalogue(value, &entry))
                continue;
            result.entries.insert(entry.id, entry);
        }
        auto &settings = const_cast<Model::Database::ModelDatabase &>(database).settings();
        for (int i = 0; i < settings.requestListSize(); ++i)
            result.settingOrder.append(settings.requestListAt(i)->getId());
        for (const ExtraRow &row : extraRows) {
            SimulatedModel::Entry entry;
            entry.id = toNumber(row.id);
            entry.defaultValue = row.defaultValue;
            entry.minimum = row.minimum;
            entry.maximum = row.maximum;
            result.entries.insert(entry.id, entry);
        }
        for (SimulatedModel::Entry &entry : result.entries) {
            entry.hostWritable = !deviceOwned(entry.id);
            entry.setting = result.settingOrder.contains(entry.id);
            if (entry.kind == Kind::Float) {
                entry.defaultValue = asFloat(entry.defaultValue);
                entry.minimum = asFloat(entry.minimum);
                entry.maximum = asFloat(entry.maximum);
            }
        }
        // A device that answers is running: it reports "Run", not the PC's "Startup".
        result.entries[toNumber(ModelValueID::PlatformState)].defaultValue
            = double(Types::Bootup::PlatformState::Run);
        for (SimulatedModel::Entry &entry : result.entries)
            entry.value = entry.defaultValue;
        return result;
    }();
    return read;
}

} // namespace

SimulatedModel::SimulatedModel()
    : m_entries(catalogue().entries)
{
}

const QList<quint16> &SimulatedModel::settingOrder()
{
    return catalogue().settingOrder;
}

const SimulatedModel::Entry *SimulatedModel::entry(quint16 id) const
{
    const auto found = m_entries.constFind(id);
    return found == m_entries.constEnd() ? nullptr : &found.value();
}

double SimulatedModel::value(quint16 id) const
{
    const Entry *found = entry(id);
    return found ? found->value : 0.0;
}

QByteArray SimulatedModel::encode(quint16 id) const
{
    const Entry *found = entry(id);
    if (!found)
        return {};
    quint32 raw = 0;
    if (found->kind == Kind::Float) {
        const float content = float(found->value);
        std::memcpy(&raw, &content, sizeof raw);
    } else {
        raw = quint32(found->value);
    }
    // Little-endian puts the low bytes first: the first width bytes of the 32-bit form are the
    // content in its link width (the content is already narrowed to that width).
    const auto all = Utilities::LittleEndian::bytes<quint32>(raw);
    return QByteArray(reinterpret_cast<const char *>(all.data()),
                      std::min(found->width, int(all.size())));
}

double SimulatedModel::narrowed(const Entry &entry, double value) const
{
    if (entry.kind == Kind::Float)
        return asFloat(value);
    if (!(value >= 0.0))
        return 0.0;
    return std::min(std::floor(value), widthMaximum(entry.width));
}

void SimulatedModel::setValue(quint16 id, double value)
{
    const auto found = m_entries.find(id);
    if (found != m_entries.end())
        found->value = narrowed(*found, value);
}

void SimulatedModel::setDefault(quint16 id, double value)
{
    const auto found = m_entries.find(id);
    if (found == m_entries.end())
        return;
    found->defaultValue = narrowed(*found, value);
    found->value = found->defaultValue;
}

double SimulatedModel::upperBound(const Entry &entry) const
{
    // The device variant's limits bound what the PC may choose.
    if (entry.id == 2)
        return std::min(entry.maximum, value(3));
    if (entry.id == 0)
        return std::min(entry.maximum, value(1));
    return entry.maximum;
}

SimulatedModel::Outcome SimulatedModel::setFromHost(quint16 id, const QByteArray &content)
{
    const auto found = m_entries.find(id);
    if (found == m_entries.end())
        return Outcome::Invalid;
    Entry &target = *found;

    double requested = 0;
    if (target.kind == Kind::Float) {
        if (content.size() != 4)
            return Outcome::Invalid;
        const quint32 raw = Utilities::LittleEndian::read<quint32>(content.constData());
        float decoded = 0;
        std::memcpy(&decoded, &raw, sizeof decoded);
        if (std::isnan(decoded))
            return Outcome::Invalid;
        requested = double(decoded);
    } else {
        const char *bytes = content.constData();
        switch (content.size()) {
        case 1:
            requested = quint8(bytes[0]);
            break;
        case 2:
            requested = Utilities::LittleEndian::read<quint16>(bytes);
            break;
        case 4:
            requested = Utilities::LittleEndian::read<quint32>(bytes);
            break;
        default:
            return Outcome::Invalid;
        }
        if (target.minimum == 0 && target.maximum == 1) // a switch: anything but 0 is on
            requested = requested != 0 ? 1 : 0;
    }
    if (!target.hostWritable)
        return Outcome::ReadOnly;

    const double lowest = target.minimum;
    const double highest = std::max(lowest, upperBound(target));
    const double stored = std::clamp(requested, lowest, highest);
    target.value = narrowed(target, stored);
    return stored == requested ? Outcome::Stored : Outcome::Clamped;
}

QList<quint16> SimulatedModel::factoryReset()
{
    for (const quint16 id : settingOrder())
        m_entries[id].value = m_entries[id].defaultValue;
    return settingOrder();
}

} // namespace DeviceSim

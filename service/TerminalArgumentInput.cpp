#include "service/TerminalArgumentInput.h"

#include "model/interfaces/ModelActionID.h"
#include "model/interfaces/ModelDisplayValue.h"
#include "model/interfaces/ModelValueID.h"

#include <cmath>
#include <limits>

namespace Application::K27 {

using Arg = TerminalCommandItem::Arg;

namespace {

// The spin box value converted toward zero; the spin box keeps it within the type's range,
// this keeps a value outside it from being undefined.
quint64 wholeNumber(double value)
{
    if (!(value > 0.0))
        return 0;
    const double whole = std::trunc(value);
    if (whole >= 18446744073709551615.0)
        return std::numeric_limits<quint64>::max();
    return static_cast<quint64>(whole);
}

float floatNumber(double value)
{
    const double limit = double(std::numeric_limits<float>::max());
    if (std::isnan(value))
        return 0.0f;
    return static_cast<float>(std::max(-limit, std::min(limit, value)));
}

// Sets the value of an argument of the class its type names; false for another class.
template<typename ValueArg, typename Value> bool setValue(Arg &argument, Value value)
{
    auto *typed = dynamic_cast<ValueArg *>(&argument);
    if (typed == nullptr)
        return false;
    typed->setValue(value);
    return true;
}

} // namespace

TerminalArgumentInput::Widget TerminalArgumentInput::widget(uint32_t type)
{
    switch (type) {
    case Arg::UInt8:
    case Arg::UInt16:
    case Arg::UInt32:
    case Arg::Float:
        return Widget::SpinBox;
    case Arg::ModelValueID:
        return Widget::ValueNames;
    case Arg::ModelActionID:
        return Widget::ActionNames;
    default:
        return Widget::None;
    }
}

TerminalArgumentInput::SpinBoxSetup TerminalArgumentInput::spinBoxSetup(uint32_t type)
{
    switch (type) {
    case Arg::UInt8:
        return {0, 0.0, 255.0};
    case Arg::UInt16:
        return {0, 0.0, 65535.0};
    case Arg::UInt32:
        return {0, 0.0, 4294967295.0};
    case Arg::Float:
        return {3, -double(std::numeric_limits<float>::max()),
                double(std::numeric_limits<float>::max())};
    default:
        return {};
    }
}

QStringList TerminalArgumentInput::valueNames()
{
    QStringList names;
    for (quint16 id = 0;
         id < Model::Interfaces::toNumber(Model::Interfaces::ModelValueID::MaxCount); ++id)
        names.append(QString::fromLatin1(Model::Interfaces::modelValueName(id)));
    return names;
}

QStringList TerminalArgumentInput::actionNames()
{
    QStringList names;
    for (quint16 id = 0;
         id < Model::Interfaces::toNumber(Model::Interfaces::ModelActionID::MaxCount); ++id)
        names.append(QString::fromLatin1(Model::Interfaces::modelActionName(id)));
    return names;
}

bool TerminalArgumentInput::assign(Arg &argument, double spinBoxValue, int comboIndex)
{
    const quint64 whole = wholeNumber(spinBoxValue);
    const quint16 index = static_cast<quint16>(comboIndex < 0 ? 0 : comboIndex);
    switch (argument.getType()) {
    case Arg::UInt8:
        return setValue<TerminalCommandItem::UInt8Arg>(argument, uint8_t(whole & 0xFFu));
    case Arg::UInt16:
        return setValue<TerminalCommandItem::UInt16Arg>(argument, uint16_t(whole & 0xFFFFu));
    case Arg::UInt32:
        return setValue<TerminalCommandItem::UInt32Arg>(argument, uint32_t(whole & 0xFFFFFFFFu));
    case Arg::Float:
        return setValue<TerminalCommandItem::FloatArg>(argument, floatNumber(spinBoxValue));
    case Arg::ModelValueID:
        return setValue<TerminalCommandItem::ModelValueIDArg>(argument, index);
    case Arg::ModelActionID:
        return setValue<TerminalCommandItem::ModelActionIDArg>(argument, index);
    default:
        return false;
    }
}

QSharedPointer<Arg>
TerminalArgumentInput::valueArgument(const Model::Interfaces::ModelValueIntf &value)
{
    const QString name = QStringLiteral("Value");
    if (dynamic_cast<const Model::Interfaces::ModelDisplayValue<float> *>(&value) != nullptr)
        return QSharedPointer<TerminalCommandItem::FloatArg>::create(name);
    return QSharedPointer<TerminalCommandItem::UInt32Arg>::create(name);
}

Component::Interfaces::ZantLinkPacket TerminalArgumentInput::packet(const TerminalCommandItem &item)
{
    Component::Interfaces::ZantLinkPacket packet(item.getCode(), item.getSource(),
                                                 item.getDestination());
    for (const QSharedPointer<Arg> &argument : item.getArguments())
        packet.addArgument({argument->data(), argument->size()});
    return packet;
}

} // namespace Application::K27

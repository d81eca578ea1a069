#pragma once

#include "component/ZantLinkPacket.h"
#include "service/TerminalCommandItem.h"

#include <QSharedPointer>
#include <QStringList>
#include <cstdint>

namespace Model::Interfaces {
class ModelValueIntf;
} // namespace Model::Interfaces

namespace Application::K27 {

// How the service-mode terminal turns its argument widgets into argument values: which widget
// an argument type uses, the spin box's decimals and range, the names an identifier chooser
// lists, and the packet a command item makes.
class TerminalArgumentInput
{
public:
    enum class Widget { None, SpinBox, ValueNames, ActionNames };

    struct SpinBoxSetup
    {
        int decimals = 0;
        double minimum = 0.0;
        double maximum = 0.0;
    };

    static Widget widget(uint32_t type);
    // Decimals and range of the spin box for types 0 to 3 (unsigned 8, 16, 32 bit, float);
    // other types get 0 decimals and the range 0 to 0.
    static SpinBoxSetup spinBoxSetup(uint32_t type);

    // The model value names of identifiers 0 to 54, so that a list index is the identifier.
    static QStringList valueNames();
    // The model action names of identifiers 0 to 12.
    static QStringList actionNames();

    // Copies a widget's input into the argument: integer types take the spin box value
    // converted toward zero and keep its low 8, 16 or 32 bits, a float takes it as a float,
    // identifier types take the chooser's index as a 16-bit number. False for an unknown type,
    // which keeps its value.
    static bool assign(TerminalCommandItem::Arg &argument, double spinBoxValue, int comboIndex);

    // The "Value" argument of "ModelSetValue" for the model value chosen as its identifier:
    // a float for a float value with a display form, an unsigned 32-bit number otherwise.
    static QSharedPointer<TerminalCommandItem::Arg>
    valueArgument(const Model::Interfaces::ModelValueIntf &value);

    // The packet of an item: its code and nodes and one packet argument per item argument (at
    // most three fit). The arguments are views into the item's argument objects, which must
    // outlive the packet's use.
    static Component::Interfaces::ZantLinkPacket packet(const TerminalCommandItem &item);
};

} // namespace Application::K27

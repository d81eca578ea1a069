#pragma once

#include <QtGlobal>

namespace Application::K27 {

// What the Demo page's choices make the device show: the operating mode of the mode chooser's
// index, and the fault kind of the warning and error choosers' indexes (their items list the
// kinds in an order of their own). An index outside a list gives 0: idle, no fault.
class DemoFaultKinds
{
public:
    static quint8 operatingMode(int index);
    static quint8 warningKind(int index);
    static quint8 errorKind(int index);
};

} // namespace Application::K27

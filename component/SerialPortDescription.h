#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>
#include <functional>

namespace Application::K27 {

// One serial port as the system lists it: the name it is opened by and the USB identifiers of
// the device behind it (0 when the system reports none).
struct SerialPortDescription
{
    // A system port name ("ttyACM0", "COM3") or a full path ("/tmp/k27/ttyK27SIM0").
    QString portName;
    quint16 vendorIdentifier = 0;
    quint16 productIdentifier = 0;
};

// Where the port manager learns which serial ports exist. The program uses the system's list;
// tests and the simulated device present pseudo-terminals through their own source.
using SerialPortSource = std::function<QList<SerialPortDescription>()>;

} // namespace Application::K27

#include "DemoDevices.h"

namespace {

struct DemoDevice
{
    const char *portName;
    const char *articleNumber;
    const char *serialNumber;
};

const DemoDevice demoDevices[DemoDevices::count] = {
    {"ttyK27DEMO0", "36250", "27100451"},
    {"ttyK27DEMO1", "36262", "27200987"},
};

} // namespace

bool DemoDevices::options(int index, DeviceSim::DeviceSimulatorOptions *options, QString *error)
{
    if (index < 0 || index >= count) {
        *error = QStringLiteral("no demo device %1").arg(index);
        return false;
    }
    const DemoDevice &demo = demoDevices[index];
    options->portName = QString::fromLatin1(demo.portName);
    options->platform = {0x00040304, 0x01000000, 0x01000000, 0};
    options->usbAwayMs = usbAwayMs;
    const std::pair<QString, QString> values[] {
        {QStringLiteral("ArticleNumber"), QString::fromLatin1(demo.articleNumber)},
        {QStringLiteral("SerialNumber"), QString::fromLatin1(demo.serialNumber)},
        {QStringLiteral("HardwareIDControllerBoard"), QStringLiteral("1")},
        {QStringLiteral("HardwareIDPowerBoard"), QStringLiteral("42")},
        {QStringLiteral("HardwareIDDisplayBoard"), QStringLiteral("3")},
    };
    for (const auto &[name, value] : values) {
        if (!options->setModelValue(name, value, error))
            return false;
    }
    return true;
}

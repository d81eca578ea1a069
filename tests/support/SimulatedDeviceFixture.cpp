#include "SimulatedDeviceFixture.h"

#include <QtTest>

namespace TestSupport {

bool SimulatedDeviceFixture::openDevice(DeviceSim::DeviceSimulatorOptions options,
                                        QSerialPort::FlowControl flowControl)
{
    options.folder = m_folder->path();
    m_device = std::make_unique<DeviceSim::DeviceSimulator>(options, &m_ports);
    if (!m_device->start()) {
        qWarning("%s", qPrintable(m_device->errorString()));
        return false;
    }
    m_pc = std::make_unique<LinkClient>(m_device->portName(), flowControl);
    if (!m_pc->open()) {
        qWarning("%s", qPrintable(m_pc->errorString()));
        return false;
    }
    return true;
}

void SimulatedDeviceFixture::initTestCase()
{
    // The test runner installs its own message handler when the run starts.
    m_warnings = std::make_unique<WarningTrap>();
}

void SimulatedDeviceFixture::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
}

void SimulatedDeviceFixture::cleanup()
{
    m_pc.reset();
    m_device.reset();
    m_folder.reset();
    const QStringList warnings = m_warnings->take();
    QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join('\n')));
}

} // namespace TestSupport

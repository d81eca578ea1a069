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

void SimulatedDeviceFixture::setUp()
{
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
}

void SimulatedDeviceFixture::tearDown()
{
    m_pc.reset();
    m_device.reset();
    m_folder.reset();
}

} // namespace TestSupport

#include "SimulatedDeviceFixture.h"

#include "component/ZantLinkCommandCode.h"
#include "component/ZantLinkPacket.h"

#include <QtTest>

namespace TestSupport {

using Command = Component::K27::ZantLinkCommandCode;
using Component::Interfaces::ZantLinkPacket;

namespace {
const QByteArray markerName("Marker");
} // namespace

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

QByteArray SimulatedDeviceFixture::lineMarker()
{
    const ZantLinkPacket::Argument argument(markerName.constData(), quint16(markerName.size()));
    return ZantLinkPacket::encode(Command::GetName, ZantLinkPacket::Display, ZantLinkPacket::Host,
                                  &argument, 1);
}

bool SimulatedDeviceFixture::drainLine(int timeoutMs)
{
    const auto markers = [this] {
        int count = 0;
        for (const DeviceSim::ReceivedPacket &packet : m_pc->packets(Command::GetName))
            count += packet.arguments == QList<QByteArray> {markerName} ? 1 : 0;
        return count;
    };
    const int before = markers();
    m_device->sendRaw(lineMarker());
    return QTest::qWaitFor([&] { return markers() > before; }, timeoutMs);
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

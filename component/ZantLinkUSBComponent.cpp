#include "component/ZantLinkUSBComponent.h"

#include "component/SerialPort.h"

namespace Component::K27 {

using Component::Interfaces::ZantLinkPacket;

ZantLinkUSBComponent::ZantLinkUSBComponent(QSharedPointer<Application::K27::SerialPort> serialPort)
    : ZantLinkComponent(0, ZantLinkPacket::Host, ZantLinkPacket::Platform)
    , m_serialPort(std::move(serialPort))
{
}

ZantLinkUSBComponent::~ZantLinkUSBComponent() = default;

void ZantLinkUSBComponent::onStart() { }

void ZantLinkUSBComponent::onStop() { }

bool ZantLinkUSBComponent::open()
{
    return m_serialPort && m_serialPort->open();
}

bool ZantLinkUSBComponent::close()
{
    return m_serialPort && m_serialPort->close();
}

int ZantLinkUSBComponent::write(const char *data, int count)
{
    if (!m_serialPort)
        return WriteNoPort;
    // A negative count would make the byte array measure the data up to its first zero byte.
    if (count < 0 || (data == nullptr && count > 0))
        return WriteFailed;
    return write(QByteArray(data, count));
}

int ZantLinkUSBComponent::write(const QByteArray &text)
{
    if (!m_serialPort)
        return WriteNoPort;
    return m_serialPort->write(text) ? WriteOk : WriteFailed;
}

void ZantLinkUSBComponent::readPending()
{
    if (m_serialPort != nullptr)
        m_serialPort->readPending();
}

} // namespace Component::K27

#pragma once

#include "component/ZantLinkComponent.h"

#include <QByteArray>
#include <QSharedPointer>

namespace Application::K27 {
class SerialPort;
}

namespace Component::K27 {

// The link over the device's USB virtual serial port: component 0, sending as "Host" to the
// "Platform" by default. Every packet goes to the port in one write.
class ZantLinkUSBComponent : public ZantLinkComponent
{
public:
    explicit ZantLinkUSBComponent(QSharedPointer<Application::K27::SerialPort> serialPort);
    ~ZantLinkUSBComponent() override;

    void onStart() override;
    void onStop() override;

    // Open and close the port; false without a port.
    bool open() override;
    bool close() override;
    // 0 when the port took the bytes, -2 without a port, -3 when the write failed (closed
    // port, short write, or a negative count).
    int write(const char *data, int count) override;
    int write(const QByteArray &text) override;
    void readPending() override;

    QSharedPointer<Application::K27::SerialPort> serialPort() const { return m_serialPort; }

private:
    const QSharedPointer<Application::K27::SerialPort> m_serialPort;
};

} // namespace Component::K27

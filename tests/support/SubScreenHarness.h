#pragma once

// Header only: the core test library does not link the windows, the widget tests do.

#include "application/core/Config.h"
#include "application/core/UserLogin.h"
#include "application/windows/K27SubScreen.h"
#include "component/SerialPortManager.h"
#include "component/ZantLinkCommandCode.h"
#include "component/ZantLinkPacket.h"
#include "component/ZantLinkUSBComponent.h"
#include "service/ZantLinkTerminalService.h"
#include "support/ConfigHome.h"
#include "tools/devicesim/DeviceSimulator.h"
#include "tools/devicesim/LinkReceiver.h"
#include "tools/devicesim/SimulatedPortList.h"

#include <QSignalSpy>
#include <QTest>
#include <memory>

namespace TestSupport {

// One device window on one simulated device, both in the test's process: the device on a
// pseudo-terminal in a fresh folder, the port manager polling the device's port list, the
// window built as the main window builds it and run, with the whole model read.
class SubScreenHarness
{
public:
    explicit SubScreenHarness(int level = UserLogin::Admin,
                              DeviceSim::DeviceSimulatorOptions options = {})
        : m_options(std::move(options))
        , m_login(QSharedPointer<UserLogin>::create())
        , m_config(QSharedPointer<Application::K27::Config>::create())
    {
        m_login->setLevel(level);
        m_options.folder = m_folder.path();
        DeviceSim::SimulatedPortList *ports = &m_ports;
        m_manager = QSharedPointer<Application::K27::SerialPortManager>::create(
            [ports] { return ports->ports(); });
    }

    ~SubScreenHarness()
    {
        m_platformNames.reset();
        m_window.reset();
        m_manager.reset();
        m_device.reset();
    }

    // Starts the device and (unless told not to) lets the manager open its port, without a
    // window.
    bool startDevice(bool poll = true)
    {
        m_device = std::make_unique<DeviceSim::DeviceSimulator>(m_options, &m_ports);
        // The Platform's "GetName" questions as the device takes them, and its answers.
        QObject::connect(m_device.get(), &DeviceSim::DeviceSimulator::packetReceived,
                         m_device.get(), [this](const DeviceSim::ReceivedPacket &packet) {
                             if (packet.command == getNameCommand && packet.source == hostNode
                                 && packet.destination == platformNode)
                                 ++m_questionsTaken;
                         });
        QObject::connect(m_device.get(), &DeviceSim::DeviceSimulator::packetSent, m_device.get(),
                         [this](quint16 command, quint8 source) {
                             if (command == getNameCommand && source == platformNode)
                                 ++m_answersSent;
                         });
        if (!m_device->start()) {
            qWarning("%s", qPrintable(m_device->errorString()));
            return false;
        }
        if (poll)
            m_manager->handleTimeout();
        return true;
    }

    // Builds the window for the device's port (or any other name) without running it.
    K27SubScreen &makeWindow(const QString &portName = QString())
    {
        m_window.reset();
        m_window = std::make_unique<K27SubScreen>(
            m_login, m_config, m_manager, portName.isNull() ? m_device->portName() : portName);
        m_platformNames = std::make_unique<QSignalSpy>(
            m_window->terminalService().data(),
            &Service::K27::ZantLinkTerminalService::terminalPlatformReady);
        m_namesAsked = 0;
        // The window's own "GetName" questions to the Platform, whoever in it asks them.
        m_questionsAsked = 0;
        m_questionsTakenBefore = m_questionsTaken;
        m_answersSentBefore = m_answersSent;
        m_sentPackets = std::make_unique<DeviceSim::LinkReceiver>(
            [this](const Component::Interfaces::ZantLinkPacket &packet) {
                if (packet.getCommand() == getNameCommand
                    && packet.getDestination() == platformNode)
                    ++m_questionsAsked;
            });
        if (const QSharedPointer<Application::K27::SerialPort> &port = m_window->serialPort())
            QObject::connect(port.data(), &Application::K27::SerialPort::dataTransmitted,
                             m_window.get(),
                             [this](const QByteArray &bytes) { m_sentPackets->receive(bytes); });
        return *m_window;
    }

    // Runs the window: it greets both controllers and reads the whole model.
    void run()
    {
        m_window->run();
        ++m_namesAsked;
    }

    // Device, window, run, and the whole model read.
    bool start()
    {
        if (!startDevice())
            return false;
        makeWindow();
        run();
        return barrier();
    }

    // Asks the Platform for its name and waits for the answer to this very question (every
    // earlier one answered too). The line and the device are first-in first-out: once the
    // answer is here, the device has received every packet the window sent before, and the
    // window has handled every packet the device sent before. The window may ask the same
    // question itself (an update asks what the controllers run): the question counts as taken
    // once the device has taken as many as the window had sent with it, and its answer as in
    // once the window has handled as many answers as the device had sent by then.
    bool barrier()
    {
        m_window->linkComponent()->sendGetName(Component::Interfaces::ZantLinkPacket::Platform);
        ++m_namesAsked;
        const int asked = m_questionsAsked;
        const auto taken = [&] { return m_questionsTaken - m_questionsTakenBefore >= asked; };
        for (int round = 0; round < 100 && !taken(); ++round)
            m_platformNames->wait(100);
        if (!taken())
            return false;
        const int answered = m_answersSent - m_answersSentBefore;
        for (int round = 0; round < 100 && m_platformNames->count() < answered; ++round)
            m_platformNames->wait(100);
        return m_platformNames->count() >= answered;
    }

    // What the device received since the last call, barriers left out.
    QList<DeviceSim::ReceivedPacket> takeReceived()
    {
        QList<DeviceSim::ReceivedPacket> packets;
        for (const DeviceSim::ReceivedPacket &packet : m_device->receivedPackets()) {
            if (packet.command != getNameCommand)
                packets.append(packet);
        }
        m_device->clearReceivedPackets();
        return packets;
    }

    // Lets go of the harness's own references, so that the window holds the last ones.
    void releaseManager() { m_manager.reset(); }
    void destroyWindow()
    {
        m_platformNames.reset();
        m_window.reset();
    }

    // A widget of the window by its object name; the pages not shown yet are built first.
    template<typename T> T *child(const char *name) const
    {
        m_window->buildPages();
        T *widget = m_window->findChild<T *>(QString::fromLatin1(name));
        if (widget == nullptr)
            qWarning("no widget %s", name);
        return widget;
    }

    K27SubScreen &window() { return *m_window; }
    DeviceSim::DeviceSimulator &device() { return *m_device; }
    DeviceSim::SimulatedPortList &ports() { return m_ports; }
    const QSharedPointer<Application::K27::SerialPortManager> &manager() const { return m_manager; }
    QString folder() const { return m_folder.path(); }

    static constexpr quint16 getNameCommand = Component::K27::ZantLinkCommandCode::GetName;
    static constexpr quint8 platformNode = Component::Interfaces::ZantLinkPacket::Platform;
    static constexpr quint8 hostNode = Component::Interfaces::ZantLinkPacket::Host;

private:
    ConfigHome m_home;
    QTemporaryDir m_folder;
    DeviceSim::DeviceSimulatorOptions m_options;
    DeviceSim::SimulatedPortList m_ports;
    QSharedPointer<UserLogin> m_login;
    QSharedPointer<Application::K27::Config> m_config;
    QSharedPointer<Application::K27::SerialPortManager> m_manager;
    std::unique_ptr<DeviceSim::DeviceSimulator> m_device;
    std::unique_ptr<K27SubScreen> m_window;
    // The Platform's answers to "GetName", and how many the window and the test asked for.
    std::unique_ptr<QSignalSpy> m_platformNames;
    int m_namesAsked = 0;
    // The Platform's "GetName" questions: sent by the window (read back from what its port
    // wrote), taken by the device, and the device's answers; the device's counts since the
    // window was made are the differences to the ...Before values.
    std::unique_ptr<DeviceSim::LinkReceiver> m_sentPackets;
    int m_questionsAsked = 0;
    int m_questionsTaken = 0;
    int m_questionsTakenBefore = 0;
    int m_answersSent = 0;
    int m_answersSentBefore = 0;
};

} // namespace TestSupport

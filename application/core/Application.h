#pragma once

#include "ToolVersion.h"
#include "component/AbstractApplication.h"

#include <QSharedPointer>
#include <QString>
#include <cstdint>

class UserLogin;

namespace Component::K27 {
class ZantLinkUSBComponent;
} // namespace Component::K27

namespace Model::Database {
class ModelDatabase;
} // namespace Model::Database

namespace Model::Observer {
class ModelActionObserver;
class ModelValueObserver;
} // namespace Model::Observer

namespace Service::K27 {
class PackageUpdateService;
class UpdateControlService;
class ZantLinkTerminalService;
} // namespace Service::K27

namespace Application::K27 {

class Config;
class ControllerStates;
class SerialPort;
class Settings;
class SerialPortManager;

// Everything one attached device needs: the model's observers, the terminal service, the two
// software update services, the USB link component and the model database, built and wired in a
// fixed order and released in the reverse order. run() opens the link, starts the services (the
// terminal service greets both controllers) and asks the device once for the whole model; from then
// on the model follows what the device reports.
//
// Without a port of the given name (an offline window) the link component holds no port:
// every send reaches no device and the model keeps its defaults.
class Application : public Component::Interfaces::AbstractApplication
{
public:
    static constexpr uint32_t ServiceId = 3;
    static constexpr uint32_t ApplicationVersion = ToolVersion::number;
    static constexpr const char *ApplicationName = "k27_servicetool";

    Application(const QSharedPointer<UserLogin> &userAccount,
                const QSharedPointer<Config> &configuration,
                const QSharedPointer<SerialPortManager> &serialPortManager,
                const QString &portName);
    ~Application() override;
    Application(const Application &) = delete;
    Application &operator=(const Application &) = delete;

    // Starts the link and the services, shows the tool's own version as "PlatformVersion"
    // until the device reports its own, and sends the 47 "GetModelValue" requests.
    void run() override;

    const QSharedPointer<SerialPortManager> &serialPortManager() const
    {
        return m_serialPortManager;
    }
    // Null when the manager had no port of that name.
    const QSharedPointer<SerialPort> &serialPort() const { return m_serialPort; }
    const QSharedPointer<UserLogin> &userAccount() const { return m_userAccount; }
    const QSharedPointer<Model::Observer::ModelValueObserver> &valueObserver() const
    {
        return m_valueObserver;
    }
    const QSharedPointer<Model::Observer::ModelActionObserver> &actionObserver() const
    {
        return m_actionObserver;
    }
    const QSharedPointer<Service::K27::ZantLinkTerminalService> &terminalService() const
    {
        return m_terminalService;
    }
    const QSharedPointer<Service::K27::UpdateControlService> &updateControlService() const
    {
        return m_updateControlService;
    }
    const QSharedPointer<Service::K27::PackageUpdateService> &packageUpdateService() const
    {
        return m_packageUpdateService;
    }
    const QSharedPointer<Component::K27::ZantLinkUSBComponent> &linkComponent() const
    {
        return m_linkComponent;
    }
    const QSharedPointer<Model::Database::ModelDatabase> &database() const { return m_database; }
    // What the platform and the display run (application or bootloader), as they answered.
    const QSharedPointer<ControllerStates> &controllerStates() const { return m_controllerStates; }
    const QSharedPointer<Config> &configuration() const { return m_configuration; }
    // The settings file in memory: what was last exported or imported.
    const QSharedPointer<Settings> &settings() const { return m_settings; }

private:
    void connectPackageUpdate();

    // Members in order of creation; the destructor releases them in reverse.
    QSharedPointer<SerialPortManager> m_serialPortManager;
    QSharedPointer<SerialPort> m_serialPort;
    QSharedPointer<UserLogin> m_userAccount;
    QSharedPointer<Model::Observer::ModelValueObserver> m_valueObserver;
    QSharedPointer<Model::Observer::ModelActionObserver> m_actionObserver;
    QSharedPointer<Service::K27::ZantLinkTerminalService> m_terminalService;
    QSharedPointer<Service::K27::UpdateControlService> m_updateControlService;
    QSharedPointer<Service::K27::PackageUpdateService> m_packageUpdateService;
    QSharedPointer<Component::K27::ZantLinkUSBComponent> m_linkComponent;
    QSharedPointer<Model::Database::ModelDatabase> m_database;
    QSharedPointer<ControllerStates> m_controllerStates;
    QSharedPointer<Config> m_configuration;
    QSharedPointer<Settings> m_settings;
};

} // namespace Application::K27

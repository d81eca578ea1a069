#include "application/core/Application.h"

#include "application/core/Config.h"
#include "application/core/ControllerStates.h"
#include "application/core/Settings.h"
#include "application/core/UserLogin.h"
#include "component/SerialPort.h"
#include "component/SerialPortManager.h"
#include "component/ZantLinkUSBComponent.h"
#include "model/database/ModelDatabase.h"
#include "model/observer/ModelActionObserver.h"
#include "model/observer/ModelValueObserver.h"
#include "service/PackageUpdateService.h"
#include "service/UpdateControlService.h"
#include "service/ZantLinkTerminalService.h"

namespace Application::K27 {

Application::Application(const QSharedPointer<UserLogin> &userAccount,
                         const QSharedPointer<Config> &configuration,
                         const QSharedPointer<SerialPortManager> &serialPortManager,
                         const QString &portName)
    : Component::Interfaces::AbstractApplication(ServiceId, QString::fromLatin1(ApplicationName),
                                                 ApplicationVersion, QString())
{
    m_serialPortManager = serialPortManager;
    if (m_serialPortManager != nullptr)
        m_serialPort = m_serialPortManager->serialPort(portName);
    m_userAccount = userAccount;
    m_valueObserver = QSharedPointer<Model::Observer::ModelValueObserver>::create();
    m_actionObserver = QSharedPointer<Model::Observer::ModelActionObserver>::create();
    m_terminalService = QSharedPointer<Service::K27::ZantLinkTerminalService>::create(
        m_serialPort, m_valueObserver);
    m_updateControlService = QSharedPointer<Service::K27::UpdateControlService>::create();
    m_packageUpdateService = QSharedPointer<Service::K27::PackageUpdateService>::create(
        m_updateControlService, m_serialPortManager, portName);
    m_linkComponent = QSharedPointer<Component::K27::ZantLinkUSBComponent>::create(m_serialPort);
    m_configuration = configuration;
    m_settings = QSharedPointer<Settings>::create();

    m_terminalService->addComponent(m_linkComponent.data());
    m_updateControlService->addComponent(m_linkComponent.data());
    m_packageUpdateService->addComponent(m_linkComponent.data());

    m_terminalService->attach(m_valueObserver.data());
    m_valueObserver->attach(m_terminalService.data());

    addService(m_terminalService.data());
    addService(m_updateControlService.data());
    addService(m_packageUpdateService.data());

    addComponent(m_linkComponent.data());
    // Every value and action looks the link component up in this application's component
    // list when it is constructed, so the model comes after the link component is added.
    m_database = QSharedPointer<Model::Database::ModelDatabase>::create(
        this, m_valueObserver.data(), m_actionObserver.data());
    m_controllerStates = QSharedPointer<ControllerStates>::create(m_terminalService.data());
    connectPackageUpdate();
}

void Application::connectPackageUpdate()
{
    // The package update learns from the device's answers where its controllers stand: the
    // state it starts from, and whether an update has really taken.
    using Service::K27::PackageUpdateService;
    using Service::K27::ZantLinkTerminalService;
    PackageUpdateService *const package = m_packageUpdateService.data();
    const ZantLinkTerminalService *const terminal = m_terminalService.data();
    // Every answer counts, also one that changes nothing: the update waits for fresh ones.
    QObject::connect(
        terminal, &ZantLinkTerminalService::terminalPlatformReady, package, [package, terminal] {
            package->handleControllerName(ControllerStates::Platform, terminal->platformName());
        });
    QObject::connect(
        terminal, &ZantLinkTerminalService::terminalDisplayReady, package, [package, terminal] {
            package->handleControllerName(ControllerStates::Display, terminal->displayName());
        });
    QObject::connect(terminal, &ZantLinkTerminalService::softwareVersionReported, package,
                     &PackageUpdateService::handleSoftwareVersion);
    QObject::connect(terminal, &ZantLinkTerminalService::platformVersionModelValue, package,
                     [package, database = m_database.data()] {
                         package->handleSoftwareVersion(
                             ControllerStates::Platform,
                             quint32(database->information().platformVersion().value()));
                     });
}

Application::~Application()
{
    // The services and the observers point at each other without owning; unhook them first,
    // then release the members in reverse order of creation.
    m_valueObserver->detach(m_terminalService.data());
    m_terminalService->detach(m_valueObserver.data());

    m_settings.reset();
    m_configuration.reset();
    m_controllerStates.reset();
    m_database.reset();
    m_linkComponent.reset();
    m_packageUpdateService.reset();
    m_updateControlService.reset();
    m_terminalService.reset();
    m_actionObserver.reset();
    m_valueObserver.reset();
    m_userAccount.reset();
    m_serialPort.reset();
    m_serialPortManager.reset();
}

void Application::run()
{
    // Starts the link component, then every service in insertion order: the terminal service
    // starts its worker and sends "GetName" to both controllers.
    start();
    m_database->information().platformVersion().setValue(getVersion());
    m_database->requestAll();
}

} // namespace Application::K27

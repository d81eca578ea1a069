#include "application/windows/K27SubScreen.h"

#include "application/core/Config.h"
#include "application/core/UserLogin.h"
#include "application/windows/Resources.h"
#include "component/SerialPortManager.h"
#include "component/ZantLinkUSBComponent.h"
#include "service/UpdateControlService.h"
#include "service/ZantLinkTerminalService.h"
#include "ui_K27SubScreen.h"
#include "ui_K27SubScreenAboutPage.h"
#include "ui_K27SubScreenConfigurationPage.h"
#include "ui_K27SubScreenControlPage.h"
#include "ui_K27SubScreenDataPage.h"
#include "ui_K27SubScreenDemoPage.h"
#include "ui_K27SubScreenInformationPage.h"
#include "ui_K27SubScreenServiceModePage.h"
#include "utilities/VersionText.h"

using Model::Interfaces::ModelActionID;

namespace {

// The link to the device: component 0 of the application.
constexpr uint32_t linkComponentId = 0;

enum Page {
    InformationPage = 0,
    ConfigurationPage = 1,
    DataPage = 2,
    ControlPage = 3,
    AboutPage = 4,
    ServiceModePage = 5,
    DemoPage = 6,
};

} // namespace

K27SubScreen::K27SubScreen(QSharedPointer<UserLogin> login,
                           QSharedPointer<::Application::K27::Config> config,
                           QSharedPointer<::Application::K27::SerialPortManager> manager,
                           const QString &portName, QWidget *parent)
    : QDialog(parent)
    , ::Application::K27::Application(login, config, manager, portName)
    , m_ui(new Ui::K27SubScreen)
    , m_informationPage(new Ui::K27SubScreenInformationPage)
    , m_configurationPage(new Ui::K27SubScreenConfigurationPage)
    , m_dataPage(new Ui::K27SubScreenDataPage)
    , m_controlPage(new Ui::K27SubScreenControlPage)
    , m_aboutPage(new Ui::K27SubScreenAboutPage)
    , m_serviceModePage(new Ui::K27SubScreenServiceModePage)
    , m_demoPage(new Ui::K27SubScreenDemoPage)
    , m_portName(portName)
    , m_rights(login ? AccessRights(*login) : AccessRights(UserLogin::PleaseSelect))
{
    ::Application::K27::initResources();
    m_ui->setupUi(this);
    m_informationPage->setupUi(m_ui->pageInformation);
    m_configurationPage->setupUi(m_ui->pageConfiguration);
    m_dataPage->setupUi(m_ui->pageData);
    m_controlPage->setupUi(m_ui->pageControl);
    m_aboutPage->setupUi(m_ui->pageAbout);
    m_serviceModePage->setupUi(m_ui->pageServiceMode);
    m_demoPage->setupUi(m_ui->pageDemoMode);

    connectFrame();
    connectInformation();
    connectMeasurement();
    connectConfiguration();
    connectSettingsFile();
    connectReport();
    connectPackageUpdate();
    connectServiceMode();

    m_ui->pushButtonInformations->setChecked(true);
    m_configurationPage->pushButtonGeneralSettings->setChecked(true);
    m_informationPage->pushButtonStartPackageUpdate->hide();
    m_informationPage->progressBarPackageUpdate->hide();

    showTitle(manager && manager->serialPort(m_portName) ? QStringLiteral(" ") : m_portName);
    handlePortOpenState();

    if (configuration())
        configuration()->load();
    m_aboutPage->labelAboutVersion->setText(
        QString::fromLatin1(Utilities::versionText(getVersion())));

    applyAccessRights();
}

K27SubScreen::~K27SubScreen()
{
    // The application base outlives this part of the window and releases the port and the
    // services; nothing they signal while going may reach the slots of a window already gone
    // (a port that was the last of its kind closes, and says so, as it is destroyed).
    disconnectConfiguration();
    if (serialPort())
        disconnect(serialPort().data(), nullptr, this, nullptr);
    if (terminalService())
        disconnect(terminalService().data(), nullptr, this, nullptr);
    if (packageUpdateService())
        disconnect(packageUpdateService().data(), nullptr, this, nullptr);
    if (updateControlService())
        disconnect(updateControlService().data(), nullptr, this, nullptr);
}

bool K27SubScreen::canClose() const
{
    // A window whose device is being updated stays open: the update continues when the
    // device's port comes back.
    return packageUpdateService() == nullptr || !packageUpdateService()->isUpdating();
}

bool K27SubScreen::isUpdating() const
{
    return !canClose() || (updateControlService() && updateControlService()->isTransferring());
}

void K27SubScreen::setTitleMark(const QString &mark)
{
    m_titleMark = mark;
    showTitle(m_title);
}

void K27SubScreen::showTitle(const QString &title)
{
    m_title = title;
    if (m_titleMark.isEmpty())
        setWindowTitle(title);
    else if (title.trimmed().isEmpty())
        setWindowTitle(m_titleMark);
    else
        setWindowTitle(title + QStringLiteral(" - ") + m_titleMark);
}

void K27SubScreen::connectFrame()
{
    connect(m_ui->pushButtonInformations, &QPushButton::toggled, this,
            &K27SubScreen::handleInformationTab);
    connect(m_ui->pushButtonConfiguration, &QPushButton::toggled, this,
            &K27SubScreen::handleConfigurationTab);
    connect(m_ui->pushButtonData, &QPushButton::toggled, this, &K27SubScreen::handleDataTab);
    connect(m_ui->pushButtonControl, &QPushButton::toggled, this, &K27SubScreen::handleControlTab);
    connect(m_ui->pushButtonAbout, &QPushButton::toggled, this, &K27SubScreen::handleAboutTab);
}

void K27SubScreen::applyAccessRights()
{
    m_ui->pushButtonConfiguration->setEnabled(m_rights.hasRight(AccessRights::Configuration));
    m_ui->pushButtonData->setEnabled(m_rights.hasRight(AccessRights::Data));
    m_ui->pushButtonControl->setEnabled(m_rights.hasRight(AccessRights::Control));

    const bool softwareUpdate = m_rights.hasRight(AccessRights::SoftwareUpdate);
    m_informationPage->textBrowserPackageUpdate->setVisible(softwareUpdate);
    m_informationPage->pushButtonOpenUpdatePackage->setVisible(softwareUpdate);

    m_ui->pushButtonServiceMode->setEnabled(false);
    if (m_rights.hasRight(AccessRights::ServiceMode)) {
        connect(m_ui->pushButtonServiceMode, &QPushButton::toggled, this,
                &K27SubScreen::handleServiceTab);
        m_ui->pushButtonServiceMode->setEnabled(true);
    } else if (m_rights.hasRight(AccessRights::DemoMode)) {
        connect(m_ui->pushButtonServiceMode, &QPushButton::toggled, this,
                &K27SubScreen::handleDemoTab);
        connectDemo();
        m_ui->pushButtonServiceMode->setText(tr("Demo"));
        m_ui->pushButtonServiceMode->setEnabled(true);
    }

    const bool softstart = m_rights.hasRight(AccessRights::Softstart);
    m_configurationPage->labelSoftstart->setVisible(softstart);
    m_configurationPage->checkBoxSoftstart->setVisible(softstart);
    m_controlPage->labelControlSoftstart->setVisible(softstart);
    m_controlPage->checkBoxControlSoftstart->setVisible(softstart);
    followPacketLog();
}

Component::K27::ZantLinkComponent *K27SubScreen::deviceLink() const
{
    return dynamic_cast<Component::K27::ZantLinkComponent *>(getComponent(linkComponentId));
}

void K27SubScreen::fireModelAction(ModelActionID action)
{
    if (Component::K27::ZantLinkComponent *link = deviceLink())
        link->sendFireModelAction(Model::Interfaces::toNumber(action));
}

void K27SubScreen::handleInformationTab()
{
    m_ui->stackedWidgetMain->setCurrentIndex(InformationPage);
    fireModelAction(ModelActionID::StopMeasurement);
}

void K27SubScreen::handleConfigurationTab()
{
    m_ui->stackedWidgetMain->setCurrentIndex(ConfigurationPage);
    fireModelAction(ModelActionID::StopMeasurement);
}

void K27SubScreen::handleDataTab()
{
    m_ui->stackedWidgetMain->setCurrentIndex(DataPage);
    // The Data page always opens on the voltages; the VOLTAGE button follows, so that the
    // checked button names the quantity that is shown and measured.
    {
        const QSignalBlocker voltage(m_dataPage->pushButtonVoltageData);
        const QSignalBlocker current(m_dataPage->pushButtonCurrentData);
        const QSignalBlocker power(m_dataPage->pushButtonPowerData);
        m_dataPage->pushButtonVoltageData->setChecked(true);
    }
    handleMeasurementVoltagePage();
}

void K27SubScreen::handleControlTab()
{
    m_ui->stackedWidgetMain->setCurrentIndex(ControlPage);
    fireModelAction(ModelActionID::StopMeasurement);
}

void K27SubScreen::handleAboutTab()
{
    m_ui->stackedWidgetMain->setCurrentIndex(AboutPage);
    fireModelAction(ModelActionID::StopMeasurement);
}

void K27SubScreen::handleServiceTab()
{
    m_ui->stackedWidgetMain->setCurrentIndex(ServiceModePage);
    fireModelAction(ModelActionID::StopMeasurement);
}

void K27SubScreen::handleDemoTab()
{
    m_ui->stackedWidgetMain->setCurrentIndex(DemoPage);
    fireModelAction(ModelActionID::StopMeasurement);
}

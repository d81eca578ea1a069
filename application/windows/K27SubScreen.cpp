#include "application/windows/K27SubScreen.h"

#include "application/core/Config.h"
#include "application/core/UserLogin.h"
#include "application/windows/PageContent.h"
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

#include <QComboBox>
#include <QFileInfo>
#include <QListView>
#include <QScrollArea>
#include <QVBoxLayout>

using Model::Interfaces::ModelActionID;

namespace {

// The link to the device: component 0 of the application.
constexpr uint32_t linkComponentId = 0;

// Rows a drop-down list shows before it scrolls: the value identifiers of the service mode are
// far more than a screen's height.
constexpr int dropDownRows = 15;

// Fills the page of the window's stack with a scroll area and gives back the widget inside it,
// on which the page's form is laid: on a small screen the page scrolls instead of making the
// window taller or wider than the screen.
QWidget *scrolledPage(QWidget *page)
{
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *area = new QScrollArea(page);
    area->setObjectName(page->objectName() + QStringLiteral("ScrollArea"));
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    auto *content = new ::Application::K27::PageContent(area);
    area->setWidget(content);
    layout->addWidget(area);
    return content;
}

// Gives the drop-downs of a page a plain list view, which lets the style sheet shape their
// entries, and takes its buttons out of the dialog's default: Return in a number field only
// finishes the number (a dialog's Return presses its default button, the first page's).
void setUpControls(QWidget *page)
{
    const QList<QComboBox *> dropDowns = page->findChildren<QComboBox *>();
    for (QComboBox *dropDown : dropDowns) {
        dropDown->setView(new QListView(dropDown));
        dropDown->setMaxVisibleItems(dropDownRows);
    }
    const QList<QPushButton *> buttons = page->findChildren<QPushButton *>();
    for (QPushButton *button : buttons)
        button->setAutoDefault(false);
}

} // namespace

K27SubScreen::K27SubScreen(QSharedPointer<UserLogin> login,
                           QSharedPointer<::Application::K27::Config> config,
                           QSharedPointer<::Application::K27::SerialPortManager> manager,
                           const QString &portName, QWidget *parent)
    : QDialog(parent)
    , ::Application::K27::Application(login, config, manager, portName)
    , m_ui(new Ui::K27SubScreen)
    , m_informationPage(new Ui::K27SubScreenInformationPage())
    , m_configurationPage(new Ui::K27SubScreenConfigurationPage())
    , m_dataPage(new Ui::K27SubScreenDataPage())
    , m_controlPage(new Ui::K27SubScreenControlPage())
    , m_aboutPage(new Ui::K27SubScreenAboutPage())
    , m_serviceModePage(new Ui::K27SubScreenServiceModePage())
    , m_demoPage(new Ui::K27SubScreenDemoPage())
    , m_portName(portName)
    , m_rights(login ? AccessRights(*login) : AccessRights(UserLogin::PleaseSelect))
{
    ::Application::K27::initResources();
    m_ui->setupUi(this);
    // The Information page shows first; the others are built when first shown, with what the
    // device reported for them until then.
    m_informationPage->setupUi(scrolledPage(m_ui->pageInformation));
    m_builtPages = 1u << InformationPage;
    setUpControls(this);

    connectFrame();
    connectInformation();
    connectMeasurement();
    connectConfiguration();
    connectSettingsFile();
    connectReport();
    connectPackageUpdate();
    connectServiceMode();

    m_ui->pushButtonInformations->setChecked(true);
    m_informationPage->pushButtonStartPackageUpdate->hide();
    m_informationPage->progressBarPackageUpdate->hide();

    // Until the device names its serial number (one left in its bootloader never does), the tab
    // is named after its port.
    showTitle(QFileInfo(m_portName).fileName().isEmpty() ? m_portName
                                                         : QFileInfo(m_portName).fileName());
    handlePortOpenState();

    if (configuration())
        configuration()->load();

    // The packet log of the service mode page follows the device from the start for whoever
    // may open the page.
    if (m_rights.hasRight(AccessRights::ServiceMode))
        buildPage(ServiceModePage);
    applyAccessRights();
}

void K27SubScreen::buildPages()
{
    for (const MainPage page :
         {ConfigurationPage, DataPage, ControlPage, AboutPage, ServiceModePage, DemoPage})
        buildPage(page);
}

void K27SubScreen::buildPage(MainPage page)
{
    if (pageBuilt(page))
        return;
    switch (page) {
    case ConfigurationPage:
        buildConfigurationPage();
        break;
    case DataPage:
        buildDataPage();
        break;
    case ControlPage:
        buildControlPage();
        break;
    case AboutPage:
        buildAboutPage();
        break;
    case DemoPage:
        buildDemoPage();
        break;
    case ServiceModePage:
        buildServiceModePage();
        break;
    case InformationPage:
        break;
    }
    m_builtPages |= 1u << page;
    // What arrived for the page before it existed, in the order it arrived.
    std::vector<PendingShow> pending;
    for (auto it = m_pendingShows.begin(); it != m_pendingShows.end();) {
        if (it->page == page) {
            pending.push_back(std::move(*it));
            it = m_pendingShows.erase(it);
        } else {
            ++it;
        }
    }
    for (const PendingShow &show : pending)
        show.show();
}

void K27SubScreen::buildConfigurationPage()
{
    QWidget *const content = scrolledPage(m_ui->pageConfiguration);
    m_configurationPage->setupUi(content);
    setUpControls(content);
    placeResultLines();
    connectConfigurationPage();
    connect(m_configurationPage->pushButtonExport, &QPushButton::clicked, this,
            &K27SubScreen::handleExportSettings);
    connect(m_configurationPage->pushButtonImport, &QPushButton::clicked, this,
            &K27SubScreen::handleImportSettings);
    m_configurationPage->pushButtonGeneralSettings->setChecked(true);
    const bool softstart = m_rights.hasRight(AccessRights::Softstart);
    m_configurationPage->labelSoftstart->setVisible(softstart);
    m_configurationPage->checkBoxSoftstart->setVisible(softstart);
}

void K27SubScreen::buildDataPage()
{
    QWidget *const content = scrolledPage(m_ui->pageData);
    m_dataPage->setupUi(content);
    setUpControls(content);
    connectDataPage();
}

void K27SubScreen::buildControlPage()
{
    QWidget *const content = scrolledPage(m_ui->pageControl);
    m_controlPage->setupUi(content);
    setUpControls(content);
    connectControlPage();
    const bool softstart = m_rights.hasRight(AccessRights::Softstart);
    m_controlPage->labelControlSoftstart->setVisible(softstart);
    m_controlPage->checkBoxControlSoftstart->setVisible(softstart);
}

void K27SubScreen::buildAboutPage()
{
    m_aboutPage->setupUi(scrolledPage(m_ui->pageAbout));
    m_aboutPage->labelAboutVersion->setText(
        QString::fromLatin1(Utilities::versionText(getVersion())));
}

void K27SubScreen::buildDemoPage()
{
    QWidget *const content = scrolledPage(m_ui->pageDemoMode);
    m_demoPage->setupUi(content);
    setUpControls(content);
    if (!m_rights.hasRight(AccessRights::ServiceMode) && m_rights.hasRight(AccessRights::DemoMode))
        connectDemo();
}

void K27SubScreen::buildServiceModePage()
{
    QWidget *const content = scrolledPage(m_ui->pageServiceMode);
    m_serviceModePage->setupUi(content);
    setUpControls(content);
    connectServiceModePage();
}

void K27SubScreen::showPage(MainPage page)
{
    buildPage(page);
    m_ui->stackedWidgetMain->setCurrentIndex(page);
}

void K27SubScreen::showOnPage(MainPage page, const QString &key, std::function<void()> show)
{
    if (pageBuilt(page)) {
        show();
        return;
    }
    // The latest show of a key goes last: the order of the last arrivals is the order the
    // built page would have shown them in.
    for (auto it = m_pendingShows.begin(); it != m_pendingShows.end(); ++it) {
        if (it->page == page && it->key == key) {
            m_pendingShows.erase(it);
            break;
        }
    }
    m_pendingShows.push_back({page, key, std::move(show)});
}

K27SubScreen::~K27SubScreen()
{
    // The application base outlives this part of the window and releases the port and the
    // services; nothing they signal while going may reach the slots of a window already gone
    // (a port that was the last of its kind closes, and says so, as it is destroyed).
    if (pageBuilt(ConfigurationPage))
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

void K27SubScreen::placeResultLines()
{
    // The Configuration page's result line takes the page's whole width below its buttons
    // rather than the narrow column between IMPORT and the factory reset, where a file's path
    // or an import's change list would break in the middle; the row keeps its height and every
    // button its whole text in any language.
    QLabel *const result = m_configurationPage->labelSettingsFileResult;
    QHBoxLayout *const buttons = m_configurationPage->horizontalLayoutSettingsFile;
    QVBoxLayout *const page = m_configurationPage->verticalLayoutConfiguration;
    const int at = buttons->indexOf(result);
    buttons->removeWidget(result);
    buttons->insertStretch(at, 1);
    page->insertWidget(page->indexOf(buttons) + 1, result);
    for (QPushButton *button :
         {m_configurationPage->pushButtonExport, m_configurationPage->pushButtonImport,
          m_configurationPage->pushButtonFactoryReset})
        button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
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
        m_ui->pushButtonServiceMode->setText(tr("Demo"));
        m_ui->pushButtonServiceMode->setEnabled(true);
    }

    // Resetting an error changes the device's state: the same right as changing its settings.
    m_informationPage->pushButtonResetError->setVisible(
        m_rights.hasRight(AccessRights::Configuration));
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
    showPage(InformationPage);
    fireModelAction(ModelActionID::StopMeasurement);
}

void K27SubScreen::handleConfigurationTab()
{
    showPage(ConfigurationPage);
    fireModelAction(ModelActionID::StopMeasurement);
}

void K27SubScreen::handleDataTab()
{
    showPage(DataPage);
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
    showPage(ControlPage);
    fireModelAction(ModelActionID::StopMeasurement);
}

void K27SubScreen::handleAboutTab()
{
    showPage(AboutPage);
    fireModelAction(ModelActionID::StopMeasurement);
}

void K27SubScreen::handleServiceTab()
{
    showPage(ServiceModePage);
    fireModelAction(ModelActionID::StopMeasurement);
}

void K27SubScreen::handleDemoTab()
{
    showPage(DemoPage);
    fireModelAction(ModelActionID::StopMeasurement);
}

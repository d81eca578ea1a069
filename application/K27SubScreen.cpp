#include "application/K27SubScreen.h"

#include "application/Resources.h"
#include "ui_K27SubScreen.h"
#include "ui_K27SubScreenAboutPage.h"
#include "ui_K27SubScreenConfigurationPage.h"
#include "ui_K27SubScreenControlPage.h"
#include "ui_K27SubScreenDataPage.h"
#include "ui_K27SubScreenDemoPage.h"
#include "ui_K27SubScreenInformationPage.h"
#include "ui_K27SubScreenServiceModePage.h"

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
}

K27SubScreen::~K27SubScreen() = default;

bool K27SubScreen::canClose() const
{
    return true;
}

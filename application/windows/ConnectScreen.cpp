#include "application/windows/ConnectScreen.h"

#include "application/windows/Resources.h"
#include "component/SerialPortManager.h"
#include "ui_ConnectScreen.h"

#include <QPixmap>
#include <QTimer>

ConnectScreen::ConnectScreen(const QSharedPointer<Application::K27::SerialPortManager> &manager,
                             QWidget *parent)
    : ConnectScreen(manager, defaultPortCheckDelay, parent)
{
}

ConnectScreen::ConnectScreen(const QSharedPointer<Application::K27::SerialPortManager> &manager,
                             int portCheckDelay, QWidget *parent)
    : QDialog(parent)
    , m_ui(new Ui::ConnectScreen)
    , m_manager(manager)
    , m_portCheckTimer(new QTimer(this))
{
    Application::K27::initResources();
    m_ui->setupUi(this);
    m_ui->labelKeyVisualXL->setPixmap(QPixmap(QStringLiteral(":/images/key_visual_xl.png")));
    m_ui->labelConnect->setPixmap(QPixmap(QStringLiteral(":/images/usb_connect.png")));
    m_ui->labelKelmor->setPixmap(QPixmap(QStringLiteral(":/images/kelmor_logo.png")));

    connect(m_manager.data(), &Application::K27::SerialPortManager::portOpened, this,
            &ConnectScreen::handlePortOpened);
    connect(m_ui->pushButtonOfflineModus, &QPushButton::clicked, this,
            &ConnectScreen::handleOfflineMode);

    m_portCheckTimer->setObjectName(QStringLiteral("portCheckTimer"));
    m_portCheckTimer->setSingleShot(true);
    connect(m_portCheckTimer, &QTimer::timeout, this, &ConnectScreen::handlePortCheck);
    m_portCheckTimer->start(portCheckDelay);

    setFixedSize(size());
}

ConnectScreen::~ConnectScreen() = default;

void ConnectScreen::done(int result)
{
    m_portCheckTimer->stop();
    disconnect(m_manager.data(), nullptr, this, nullptr);
    QDialog::done(result);
}

void ConnectScreen::handlePortOpened()
{
    accept();
}

void ConnectScreen::handleOfflineMode()
{
    accept();
}

void ConnectScreen::handlePortCheck()
{
    if (m_manager->hasPorts())
        accept();
}

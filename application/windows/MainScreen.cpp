#include "application/windows/MainScreen.h"

#include "application/core/UserLogin.h"
#include "application/windows/K27SubScreen.h"
#include "application/windows/Resources.h"
#include "application/windows/YesNoQuestion.h"
#include "component/SerialPort.h"
#include "component/SerialPortManager.h"
#include "ui_MainScreen.h"

#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QStatusBar>
#include <QTabBar>
#include <QTime>
#include <algorithm>
#include <memory>

namespace {
// Every tab carries a fully transparent icon of this size.
constexpr int tabIconSize = 48;

K27SubScreen *deviceWindowOf(const QMdiSubWindow *subWindow)
{
    return qobject_cast<K27SubScreen *>(subWindow->widget());
}
} // namespace

MainScreen::MainScreen(const QSharedPointer<Application::K27::SerialPortManager> &manager,
                       const QSharedPointer<UserLogin> &login,
                       const QSharedPointer<Application::K27::Config> &config, QWidget *parent)
    : QMainWindow(parent)
    , m_ui(new Ui::MainScreen)
    , m_manager(manager)
    , m_login(login)
    , m_config(config)
    , m_loggedInLabel(new QLabel(this))
    , m_deviceEventLabel(new QLabel(this))
{
    Application::K27::initResources();
    m_ui->setupUi(this);

    m_loggedInLabel->setObjectName(QStringLiteral("labelLoggedIn"));
    //: %1 is the user level: Customer, Supervisor, Admin or Demo
    m_loggedInLabel->setText(tr("Logged in as %1").arg(levelName(m_login ? m_login->level() : 0)));
    statusBar()->addPermanentWidget(m_loggedInLabel);
    // A label of its own rather than a status message: it shares the bar with what others put
    // there and stays until the next event.
    m_deviceEventLabel->setObjectName(QStringLiteral("labelDeviceEvent"));
    m_deviceEventLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    statusBar()->addWidget(m_deviceEventLabel, 1);

    connect(m_manager.data(), &Application::K27::SerialPortManager::portOpened, this,
            &MainScreen::handlePortOpened);
    connect(m_manager.data(), &Application::K27::SerialPortManager::portClosed, this,
            &MainScreen::handlePortClosed);

    m_ui->labelKeyVisualS->setPixmap(QPixmap(QStringLiteral(":/images/key_visual_s.png")));
    m_ui->labelKelmor->setPixmap(QPixmap(QStringLiteral(":/images/kelmor_logo.png")));
    m_ui->mdiAreaMain->setBackground(QBrush(Qt::transparent));

    openInitialWindows();
}

MainScreen::~MainScreen() = default;

QMdiSubWindow *MainScreen::findDeviceWindow(const QString &portName) const
{
    const QList<QMdiSubWindow *> subWindows = m_ui->mdiAreaMain->subWindowList();
    for (QMdiSubWindow *subWindow : subWindows) {
        const K27SubScreen *window = deviceWindowOf(subWindow);
        if (window && window->portName() == portName)
            return subWindow;
    }
    return nullptr;
}

void MainScreen::addDeviceWindow(const QString &portName)
{
    if (findDeviceWindow(portName))
        return;

    // The sub-window takes the device window over below; until then the pointer owns it.
    auto window = std::make_unique<K27SubScreen>(m_login, m_config, m_manager, portName);
    window->run();

    K27SubScreen *const added = window.get();
    QMdiSubWindow *const subWindow = m_ui->mdiAreaMain->addSubWindow(window.release());
    subWindow->setAttribute(Qt::WA_DeleteOnClose);
    subWindow->showMaximized();

    if (QTabBar *const tabs = m_ui->mdiAreaMain->findChild<QTabBar *>()) {
        // A tab is at least 140 px wide and grows to hold its whole title: a German title or a
        // long serial number is never cut.
        tabs->setExpanding(false);
        tabs->setElideMode(Qt::ElideNone);
        tabs->setUsesScrollButtons(true);
        QPixmap empty(tabIconSize, tabIconSize);
        empty.fill(Qt::transparent);
        tabs->setTabIcon(tabs->count() - 1, QIcon(empty));
    }
    emit deviceWindowAdded(added);
}

void MainScreen::closeDeviceWindow(const QString &portName)
{
    QMdiSubWindow *const subWindow = findDeviceWindow(portName);
    if (!subWindow)
        return;
    // A window whose firmware transfer waits for the device to come back stays open.
    if (!deviceWindowOf(subWindow)->canClose()) {
        if (!m_keptForUpdate.contains(subWindow))
            m_keptForUpdate.append(subWindow);
        return;
    }
    subWindow->close();
}

QMdiSubWindow *MainScreen::addOfflineWindow()
{
    const QString name = tr("Offline");
    addDeviceWindow(name);
    QMdiSubWindow *const subWindow = findDeviceWindow(name);
    if (subWindow)
        deviceWindowOf(subWindow)->showOffline();
    return subWindow;
}

void MainScreen::discardDeviceWindow(QMdiSubWindow *subWindow)
{
    m_keptForUpdate.removeAll(subWindow);
    // Hidden first: out of the area, it would otherwise show as a window of its own.
    subWindow->hide();
    m_ui->mdiAreaMain->removeSubWindow(subWindow);
    subWindow->deleteLater();
}

void MainScreen::openInitialWindows()
{
    // A port seen before and gone since gets no window: nothing would ever close it.
    QStringList portNames;
    for (const QSharedPointer<Application::K27::SerialPort> &port : m_manager->serialPorts()) {
        if (m_manager->isListed(port->portName()))
            portNames.append(port->portName());
    }
    if (portNames.isEmpty()) {
        addOfflineWindow();
        return;
    }
    for (const QString &portName : portNames)
        addDeviceWindow(portName);
}

QList<K27SubScreen *> MainScreen::deviceWindows() const
{
    QList<K27SubScreen *> windows;
    const QList<QMdiSubWindow *> subWindows = m_ui->mdiAreaMain->subWindowList();
    for (const QMdiSubWindow *subWindow : subWindows) {
        if (K27SubScreen *const window = deviceWindowOf(subWindow))
            windows.append(window);
    }
    return windows;
}

QString MainScreen::levelName(int level)
{
    switch (level) {
    case UserLogin::Customer:
        return tr("Customer");
    case UserLogin::Supervisor:
        return tr("Supervisor");
    case UserLogin::Admin:
        return tr("Admin");
    case UserLogin::Demo:
        return tr("Demo");
    default:
        return tr("nobody");
    }
}

void MainScreen::closeEvent(QCloseEvent *event)
{
    QStringList updating;
    for (const K27SubScreen *window : deviceWindows()) {
        if (window->isUpdating())
            updating.append(window->windowTitle().trimmed().isEmpty() ? window->portName()
                                                                      : window->windowTitle());
    }
    if (!updating.isEmpty()) {
        //: %1 names the devices being updated
        const QString text
            = tr("A firmware update of %1 is running. Closing now ends it, and the "
                 "device may be left in its bootloader until it is updated again.\n\n"
                 "Close anyway?")
                  .arg(updating.join(QStringLiteral(", ")));
        if (!Application::K27::YesNoQuestion::ask(this, {tr("Close during an update?"), text})) {
            event->ignore();
            return;
        }
    }
    QMainWindow::closeEvent(event);
}

void MainScreen::handlePortOpened(const QString &portName)
{
    // The status bar no longer says a device is away once one is back.
    //: %1 is the device's port, %2 the time
    showDeviceEvent(tr("Device on %1 connected at %2.")
                        .arg(portName, QTime::currentTime().toString(QStringLiteral("HH:mm:ss"))));
    m_keptForUpdate.removeAll(nullptr);
    if (m_waitingWindow) {
        // A device is back: the waiting view that stood in for the last tab makes way.
        discardDeviceWindow(m_waitingWindow);
        m_waitingWindow = nullptr;
    }
    QMdiSubWindow *const existing = findDeviceWindow(portName);
    if (existing && m_keptForUpdate.contains(existing)) {
        // Its device is back. An update still under way carries on in it; one that ended while
        // the device was away leaves a window of an absent device, which gives way to a fresh
        // one that reads the device again.
        if (!deviceWindowOf(existing)->canClose()) {
            m_keptForUpdate.removeAll(existing);
            return;
        }
        discardDeviceWindow(existing);
    }
    addDeviceWindow(portName);
}

void MainScreen::handlePortClosed(const QString &portName)
{
    QMdiSubWindow *const subWindow = findDeviceWindow(portName);
    K27SubScreen *const window = subWindow ? deviceWindowOf(subWindow) : nullptr;
    if (!window)
        return;
    // The tab goes with the device: the status bar keeps what happened, and where a running
    // recording was saved.
    //: %1 is the device's serial number (or its port), %2 the time
    const QString event
        = tr("Device %1 disconnected at %2.")
              .arg(window->deviceName(), QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
    m_lastRecordingNote = window->endRecordingAsDeviceLeft();
    showDeviceEvent(event);

    const bool closing = window->canClose();
    closeDeviceWindow(portName);
    if (!closing)
        return;
    // The last tab gone leaves the waiting view, not an empty window; the next device that
    // comes takes its place.
    const QList<K27SubScreen *> windows = deviceWindows();
    if (std::all_of(windows.cbegin(), windows.cend(),
                    [window](const K27SubScreen *other) { return other == window; })) {
        m_waitingWindow = addOfflineWindow();
    }
}

void MainScreen::showDeviceEvent(const QString &event)
{
    const QString text
        = m_lastRecordingNote.isEmpty() ? event : event + QLatin1Char(' ') + m_lastRecordingNote;
    m_deviceEventLabel->setText(text);
    m_deviceEventLabel->setToolTip(text);
}

#pragma once

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QScopedPointer>
#include <QSharedPointer>
#include <QString>

class K27SubScreen;
class QCloseEvent;
class QLabel;
class QMdiSubWindow;
class UserLogin;

namespace Application::K27 {
class Config;
class SerialPortManager;
} // namespace Application::K27

namespace Ui {
class MainScreen;
}

// The program's main window: one tab with a device window per device port, opened when the
// port manager opens a port and closed when the port goes away (unless the device window is
// in the middle of a firmware transfer and must wait for its device to come back). A window
// kept open that way carries on when the port returns; if its update ended meanwhile (the
// device stayed away), it keeps showing why, and a fresh window takes its place once the
// device is back.
class MainScreen : public QMainWindow
{
    Q_OBJECT

public:
    MainScreen(const QSharedPointer<Application::K27::SerialPortManager> &manager,
               const QSharedPointer<UserLogin> &login,
               const QSharedPointer<Application::K27::Config> &config, QWidget *parent = nullptr);
    ~MainScreen() override;

    // The sub-window whose device window serves that port, or null.
    QMdiSubWindow *findDeviceWindow(const QString &portName) const;
    void addDeviceWindow(const QString &portName);
    void closeDeviceWindow(const QString &portName);
    // One window per port the manager knows, or one offline window if it knows none.
    void openInitialWindows();

    // The device windows in the order of their tabs.
    QList<K27SubScreen *> deviceWindows() const;

    // The name of a user level as the status bar shows it ("Admin").
    static QString levelName(int level);

signals:
    // A device window was added and its device application started.
    void deviceWindowAdded(K27SubScreen *window);

public slots:
    void handlePortOpened(const QString &portName);
    void handlePortClosed(const QString &portName);

protected:
    // Closing while firmware is being written asks first: the device may be left in its
    // bootloader.
    void closeEvent(QCloseEvent *event) override;

private:
    // Adds the offline window, which stands for no device; gives its sub-window.
    QMdiSubWindow *addOfflineWindow();
    // Takes the sub-window out of the area and deletes it.
    void discardDeviceWindow(QMdiSubWindow *subWindow);
    // Puts what happened to a device in the status bar, with where the last recording went.
    void showDeviceEvent(const QString &event);

    const QScopedPointer<Ui::MainScreen> m_ui;
    const QSharedPointer<Application::K27::SerialPortManager> m_manager;
    const QSharedPointer<UserLogin> m_login;
    const QSharedPointer<Application::K27::Config> m_config;
    // Who is logged in, for as long as the window is open.
    QLabel *const m_loggedInLabel;
    // What happened last to a device (unplugged, a recording saved), until something else does.
    QLabel *const m_deviceEventLabel;
    // Where the recording of the last device that went away was saved: still shown when a
    // device comes back.
    QString m_lastRecordingNote;
    // Sub-windows left open for their update when their port went away.
    QList<QPointer<QMdiSubWindow>> m_keptForUpdate;
    // The offline tab put in place of the last device tab that went; it goes when a device comes.
    QPointer<QMdiSubWindow> m_waitingWindow;
};

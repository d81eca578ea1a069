#pragma once

#include <QDialog>
#include <QScopedPointer>
#include <QSharedPointer>

class QTimer;

namespace Application::K27 {
class SerialPortManager;
}

namespace Ui {
class ConnectScreen;
}

// The modal dialog between the login and the main window: it waits until the port manager
// has opened a device port, or lets the user go on without one (OFFLINE MODE). Closing it
// otherwise rejects it.
class ConnectScreen : public QDialog
{
    Q_OBJECT

public:
    // How long after construction the screen looks once whether the manager already holds a
    // port: a port opened before the screen existed sent its portOpened to nobody.
    static constexpr int defaultPortCheckDelay = 1000;

    explicit ConnectScreen(const QSharedPointer<Application::K27::SerialPortManager> &manager,
                           QWidget *parent = nullptr);
    // The same with another delay of the one-time port check (tests, the demo).
    ConnectScreen(const QSharedPointer<Application::K27::SerialPortManager> &manager,
                  int portCheckDelay, QWidget *parent = nullptr);
    ~ConnectScreen() override;

    // Once the screen has ended, neither a later port nor the pending check touches it again.
    void done(int result) override;

public slots:
    void handlePortOpened();
    void handleOfflineMode();
    void handlePortCheck();

private:
    const QScopedPointer<Ui::ConnectScreen> m_ui;
    const QSharedPointer<Application::K27::SerialPortManager> m_manager;
    QTimer *const m_portCheckTimer;
};

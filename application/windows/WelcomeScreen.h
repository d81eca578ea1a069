#pragma once

#include <QDialog>
#include <QScopedPointer>
#include <QSharedPointer>

class UserLogin;

namespace Application::K27 {
class Config;
}

namespace Ui {
class WelcomeScreen;
}

// The modal login dialog: the user picks a level and proves it with a password, or with the
// digest saved for that level. A successful login accepts the dialog and leaves the level in
// the shared login record.
class WelcomeScreen : public QDialog
{
    Q_OBJECT

public:
    WelcomeScreen(const QSharedPointer<UserLogin> &login,
                  const QSharedPointer<Application::K27::Config> &config,
                  QWidget *parent = nullptr);
    ~WelcomeScreen() override;

public slots:
    void handleUserChanged(int index);
    void handleLoggedIn();
    // The user chose a level (from the list or by its letter): the password goes next.
    void handleUserChosen(int index);
    // Removes the saved login of the chosen level from the configuration.
    void handleForgetPassword();

private:
    void showLoginHint(const QString &text);
    // Shows the saved password's mask and the button that forgets it, or an empty field.
    void showSavedPassword(bool saved);

    const QScopedPointer<Ui::WelcomeScreen> m_ui;
    const QSharedPointer<UserLogin> m_login;
    const QSharedPointer<Application::K27::Config> m_config;
};

#pragma once

#include <QDialog>
#include <QPixmap>
#include <QScopedPointer>
#include <QSharedPointer>
#include <QStringList>

class UserLogin;

namespace Application::K27 {
class Config;
class PicturePreloader;
} // namespace Application::K27

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
    // Takes its large pictures from pictures when given (see pictureFiles()), otherwise
    // decodes them itself.
    WelcomeScreen(const QSharedPointer<UserLogin> &login,
                  const QSharedPointer<Application::K27::Config> &config,
                  Application::K27::PicturePreloader *pictures = nullptr,
                  QWidget *parent = nullptr);
    ~WelcomeScreen() override;

    // The pictures worth decoding while the screen is built, the longest to decode first.
    static QStringList pictureFiles();

public slots:
    void handleUserChanged(int index);
    void handleLoggedIn();
    // The user chose a level (from the list or by its letter): the password goes next.
    void handleUserChosen(int index);
    // Removes the saved login of the chosen level from the configuration.
    void handleForgetPassword();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void showLoginHint(const QString &text);
    // Shows the saved password's mask and the button that forgets it, or an empty field.
    void showSavedPassword(bool saved);

    const QScopedPointer<Ui::WelcomeScreen> m_ui;
    const QSharedPointer<UserLogin> m_login;
    const QSharedPointer<Application::K27::Config> m_config;
    // Drawn at the top left, not repeated; the dialog has the picture's size.
    QPixmap m_background;
};

#pragma once

#include <QLineEdit>

class QToolButton;

namespace Application::K27 {

// The password field of the login screen with its login button inside, at the right edge.
class PasswordLineEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit PasswordLineEdit(QWidget *parent = nullptr);

    QToolButton *loginButton() const { return m_loginButton; }

signals:
    void loggedIn(const QString &password);

public slots:
    void handleTextChanged(const QString &text);
    void handleLoginButtonClicked();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void placeLoginButton();

    QToolButton *const m_loginButton;
};

} // namespace Application::K27

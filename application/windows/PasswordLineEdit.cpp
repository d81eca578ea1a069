#include "application/windows/PasswordLineEdit.h"

#include "application/windows/Resources.h"

#include <QCoreApplication>
#include <QPixmap>
#include <QResizeEvent>
#include <QToolButton>

namespace Application::K27 {

PasswordLineEdit::PasswordLineEdit(QWidget *parent)
    : QLineEdit(parent)
    , m_loginButton(new QToolButton(this))
{
    initResources();
    const QPixmap icon(QStringLiteral(":/images/login_icon_active.png"));
    m_loginButton->setObjectName(QStringLiteral("toolButtonLogin"));
    m_loginButton->setIcon(icon);
    m_loginButton->setIconSize(icon.size());
    m_loginButton->setCursor(Qt::ArrowCursor);
    m_loginButton->setFocusPolicy(Qt::NoFocus);
    // The context is spelled out because lupdate does not see through nested namespace syntax.
    m_loginButton->setToolTip(
        QCoreApplication::translate("Application::K27::PasswordLineEdit", "Log in"));
    m_loginButton->setStyleSheet(
        QStringLiteral("QToolButton { border: none; padding: 0px; background: transparent; }"));
    m_loginButton->setEnabled(false);

    // Typed text must not run underneath the button.
    setTextMargins(0, 0, m_loginButton->sizeHint().width() + 2, 0);

    connect(this, &QLineEdit::textChanged, this, &PasswordLineEdit::handleTextChanged);
    connect(m_loginButton, &QToolButton::clicked, this,
            &PasswordLineEdit::handleLoginButtonClicked);
    placeLoginButton();
}

void PasswordLineEdit::handleTextChanged(const QString &text)
{
    m_loginButton->setEnabled(!text.isEmpty());
}

void PasswordLineEdit::handleLoginButtonClicked()
{
    emit loggedIn(text());
}

void PasswordLineEdit::resizeEvent(QResizeEvent *event)
{
    QLineEdit::resizeEvent(event);
    placeLoginButton();
}

void PasswordLineEdit::placeLoginButton()
{
    const QSize buttonSize = m_loginButton->sizeHint();
    m_loginButton->resize(buttonSize);
    m_loginButton->move(width() - 1 - buttonSize.width(), (height() - buttonSize.height()) / 2);
}

} // namespace Application::K27

#include "application/windows/WelcomeScreen.h"

#include "application/core/AccessRights.h"
#include "application/core/Config.h"
#include "application/core/PicturePreloader.h"
#include "application/core/UserLogin.h"
#include "application/windows/Resources.h"
#include "ui_WelcomeScreen.h"

#include <QListView>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

namespace {
// Shown in place of a saved password: the digest itself never appears in the field.
const QString savedPasswordMask = QStringLiteral("********");

const QString welcomeBackgroundFile = QStringLiteral(":/images/welcome_background_typo.png");
const QString welcomeKeyVisualFile = QStringLiteral(":/images/key_visual_xl.png");

QPixmap welcomePicture(Application::K27::PicturePreloader *pictures, const QString &fileName)
{
    return QPixmap::fromImage(pictures ? pictures->take(fileName)
                                       : Application::K27::PicturePreloader::decode(fileName));
}
} // namespace

WelcomeScreen::WelcomeScreen(const QSharedPointer<UserLogin> &login,
                             const QSharedPointer<Application::K27::Config> &config,
                             Application::K27::PicturePreloader *pictures, QWidget *parent)
    : QDialog(parent)
    , m_ui(new Ui::WelcomeScreen)
    , m_login(login)
    , m_config(config)
{
    Application::K27::initResources();
    m_ui->setupUi(this);

    m_ui->labelKeyVisualXL->setPixmap(welcomePicture(pictures, welcomeKeyVisualFile));
    m_ui->labelKelmor->setPixmap(QPixmap(QStringLiteral(":/images/kelmor_logo.png")));
    // A plain list view lets the style sheet shape the drop-down's entries.
    m_ui->comboBoxUser->setView(new QListView(m_ui->comboBoxUser));
    m_ui->lineEditPassword->setAttribute(Qt::WA_MacShowFocusRect, false);

    connect(m_ui->comboBoxUser, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &WelcomeScreen::handleUserChanged);
    connect(m_ui->comboBoxUser, QOverload<int>::of(&QComboBox::activated), this,
            &WelcomeScreen::handleUserChosen);
    connect(m_ui->pushButtonForgetPassword, &QPushButton::clicked, this,
            &WelcomeScreen::handleForgetPassword);
    connect(m_ui->lineEditPassword, &Application::K27::PasswordLineEdit::loggedIn, this,
            &WelcomeScreen::handleLoggedIn);
    connect(m_ui->lineEditPassword, &QLineEdit::returnPressed, this,
            &WelcomeScreen::handleLoggedIn);
    // A hint about a failed attempt goes away as soon as the user types again.
    connect(m_ui->lineEditPassword, &QLineEdit::textEdited, this,
            [this] { showLoginHint(QString()); });

    handleUserChanged(0);
    m_config->load();
    setFixedSize(size());
    // Last: the largest picture, which another thread may still be decoding.
    m_background = welcomePicture(pictures, welcomeBackgroundFile);
}

WelcomeScreen::~WelcomeScreen() = default;

QStringList WelcomeScreen::pictureFiles()
{
    return {welcomeBackgroundFile, welcomeKeyVisualFile};
}

void WelcomeScreen::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    QPainter(this).drawPixmap(0, 0, m_background);
}

void WelcomeScreen::handleUserChanged(int index)
{
    m_login->setLevel(index);

    const bool hasPassword = AccessRights(*m_login).hasRight(AccessRights::PasswordLogin);
    m_ui->lineEditPassword->setVisible(hasPassword);
    m_ui->checkBoxSavePassword->setVisible(hasPassword);
    m_ui->formLayoutUser->setHorizontalSpacing(hasPassword ? 70 : 0);
    showLoginHint(QString());

    showSavedPassword(hasPassword && m_config->findUserAccount(index) != nullptr);
    if (!hasPassword && m_config->findUserAccount(index))
        m_ui->lineEditPassword->setText(savedPasswordMask);

    if (index == UserLogin::Customer)
        handleLoggedIn();
}

void WelcomeScreen::handleLoggedIn()
{
    const int level = m_login->level();

    if (const Application::K27::UserConfig *account = m_config->findUserAccount(level)) {
        // A saved login counts whatever the field holds now.
        m_login->setDigest(QByteArray::fromHex(account->password().toLatin1()));
        if (!m_login->hasExpectedDigest(level)) {
            showLoginHint(tr("Please select a user level."));
            return;
        }
        if (m_login->digest() == m_login->expectedDigest(level)) {
            accept();
            return;
        }
        showLoginHint(tr("The saved password is no longer valid."));
        return;
    }

    m_login->setDigest(UserLogin::passwordDigest(m_ui->lineEditPassword->text()));
    if (!m_login->hasExpectedDigest(level) || m_login->digest() != m_login->expectedDigest(level)) {
        m_ui->lineEditPassword->clear();
        showLoginHint(m_login->hasExpectedDigest(level) ? tr("Wrong password. Please try again.")
                                                        : tr("Please select a user level."));
        return;
    }

    if (m_ui->checkBoxSavePassword->isChecked()) {
        m_config->setUserAccount(
            Application::K27::UserConfig(level, QString::fromLatin1(m_login->digest().toHex())));
        m_config->save();
    }
    accept();
}

void WelcomeScreen::handleUserChosen(int index)
{
    Q_UNUSED(index)
    // Typed characters belong to the password, not to the list, where each letter would pick
    // another level.
    if (m_ui->lineEditPassword->isVisibleTo(this))
        m_ui->lineEditPassword->setFocus(Qt::OtherFocusReason);
}

void WelcomeScreen::handleForgetPassword()
{
    const int level = m_login->level();
    if (m_config->removeUserAccounts(level) == 0)
        return;
    m_config->save();
    showSavedPassword(false);
    showLoginHint(tr("The saved password was forgotten. Please enter the password."));
    m_ui->lineEditPassword->setFocus(Qt::OtherFocusReason);
}

void WelcomeScreen::showSavedPassword(bool saved)
{
    if (saved)
        m_ui->lineEditPassword->setText(savedPasswordMask);
    else
        m_ui->lineEditPassword->clear();
    m_ui->pushButtonForgetPassword->setVisible(saved);
}

void WelcomeScreen::showLoginHint(const QString &text)
{
    m_ui->labelLoginHint->setText(text);
}

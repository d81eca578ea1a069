#include "application/core/Config.h"
#include "application/core/UserLogin.h"
#include "application/windows/PasswordLineEdit.h"
#include "application/windows/Resources.h"
#include "application/windows/WelcomeScreen.h"
#include "support/ConfigHome.h"
#include "support/ExternalDigest.h"
#include "support/GermanTranslation.h"
#include "support/TestRegistry.h"
#include "support/TestSupport.h"
#include "support/TrappedTest.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>
#include <memory>

using Application::K27::Config;
using Application::K27::PasswordLineEdit;
using TestSupport::readFile;
using TestSupport::writeFile;

namespace {

// The passwords of this test's login record; their digests come from openssl.
const QMap<int, QString> passwords {
    {UserLogin::Supervisor, QStringLiteral("super-visor secret")},
    {UserLogin::Admin, QStringLiteral("Adm1n-\u00fcber")},
    {UserLogin::Demo, QStringLiteral("demo")},
};

// Types text key by key, also characters that have no key of their own on a US keyboard.
void typeText(QWidget *widget, const QString &text)
{
    for (const QChar character : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(character),
                            Qt::NoModifier);
}

QByteArray accountsFile(const QVector<QPair<int, QString>> &accounts)
{
    QJsonArray array;
    for (const auto &account : accounts)
        array.append(QJsonObject {{"User", account.first}, {"Password", account.second}});
    return QJsonDocument(QJsonObject {{"UserAccounts", array}}).toJson();
}

} // namespace

class TestWelcomeScreen : public TestSupport::TrappedTest
{
    Q_OBJECT

protected:
    void setUpTestCase() override;
    void setUp() override;
    void tearDown() override;

private slots:
    void keyboardLogin_data();
    void keyboardLogin();
    void escapeEndsLogin();
    void levelFromTheListThenPassword_data();
    void levelFromTheListThenPassword();
    void forgetSavedPassword();
    void levelChoice_data();
    void levelChoice();
    void backToPleaseSelectClearsTheField();
    void correctPasswordLogsIn_data();
    void correctPasswordLogsIn();
    void savedAccountLogsIn_data();
    void savedAccountLogsIn();
    void savedAccountNoLongerValid();
    void wrongPasswordClearsField_data();
    void wrongPasswordClearsField();
    void loginWithoutLevelIsRefused();
    void loginButtonFollowsText();
    void loginButtonFollowsResize_data();
    void loginButtonFollowsResize();
    void germanTranslation();

private:
    std::unique_ptr<WelcomeScreen> createScreen();
    QString configFile() const;
    template<typename T> T *child(const char *name) const
    {
        T *widget = m_screen->findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("no widget %s", name);
        return widget;
    }
    QComboBox *comboBoxUser() const { return child<QComboBox>("comboBoxUser"); }
    PasswordLineEdit *lineEditPassword() const
    {
        return child<PasswordLineEdit>("lineEditPassword");
    }
    QCheckBox *checkBoxSavePassword() const { return child<QCheckBox>("checkBoxSavePassword"); }
    QLabel *labelLoginHint() const { return child<QLabel>("labelLoginHint"); }

    QMap<int, QByteArray> m_digests;
    std::unique_ptr<TestSupport::ConfigHome> m_home;
    QSharedPointer<UserLogin> m_login;
    QSharedPointer<Config> m_config;
    std::unique_ptr<WelcomeScreen> m_screen;
};

void TestWelcomeScreen::setUpTestCase()
{
    TestSupport::ConfigHome::useProgramNames();
    Application::K27::initResources();

    m_digests.insert(UserLogin::Customer, TestSupport::opensslSha3_512(QByteArray()));
    for (auto it = passwords.cbegin(); it != passwords.cend(); ++it)
        m_digests.insert(it.key(), TestSupport::opensslSha3_512(it.value().toUtf8()));
    for (const QByteArray &digest : qAsConst(m_digests))
        QCOMPARE(digest.size(), 64);
}

void TestWelcomeScreen::setUp()
{
    m_home = std::make_unique<TestSupport::ConfigHome>();
    QVERIFY(m_home->isValid());
    m_login = QSharedPointer<UserLogin>::create(m_digests);
    m_config = QSharedPointer<Config>::create();
}

void TestWelcomeScreen::tearDown()
{
    m_screen.reset();
    m_config.reset();
    m_login.reset();
    m_home.reset();
}

std::unique_ptr<WelcomeScreen> TestWelcomeScreen::createScreen()
{
    return std::make_unique<WelcomeScreen>(m_login, m_config);
}

QString TestWelcomeScreen::configFile() const
{
    return m_config->configDir() + QStringLiteral("/config.json");
}

void TestWelcomeScreen::keyboardLogin_data()
{
    QTest::addColumn<QString>("initial");
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("loggedIn");

    QTest::newRow("Supervisor") << "S" << 2 << passwords.value(UserLogin::Supervisor) << true;
    QTest::newRow("Admin") << "A" << 3 << passwords.value(UserLogin::Admin) << true;
    QTest::newRow("Demo") << "D" << 4 << passwords.value(UserLogin::Demo) << true;
    QTest::newRow("Admin, wrong password")
        << "A" << 3 << passwords.value(UserLogin::Supervisor) << false;
    QTest::newRow("Demo, one letter more") << "D" << 4 << "demoo" << false;
}

// A person who never touches the mouse: the level by its first letter in the list, which puts
// the cursor into the password field, the password key by key, Return.
void TestWelcomeScreen::keyboardLogin()
{
    QFETCH(QString, initial);
    QFETCH(int, level);
    QFETCH(QString, typed);
    QFETCH(bool, loggedIn);

    m_screen = createScreen();
    QSignalSpy accepted(m_screen.get(), &QDialog::accepted);
    m_screen->show();
    QVERIFY(QTest::qWaitForWindowActive(m_screen.get()));
    QCOMPARE(QApplication::focusWidget(), comboBoxUser());

    QTest::keyClicks(comboBoxUser(), initial);
    QCOMPARE(m_login->level(), level);
    QVERIFY(lineEditPassword()->isVisible());
    QCOMPARE(QApplication::focusWidget(), lineEditPassword());
    typeText(lineEditPassword(), typed);
    // What the screen shows of the password gives none of it away.
    QVERIFY(!lineEditPassword()->displayText().contains(typed));
    QTest::keyClick(lineEditPassword(), Qt::Key_Return);

    QCOMPARE(accepted.count(), loggedIn ? 1 : 0);
    QCOMPARE(m_screen->isVisible(), !loggedIn);
    QCOMPARE(m_login->digest() == m_digests.value(level), loggedIn);
    QCOMPARE(labelLoginHint()->text().isEmpty(), loggedIn);
    if (!loggedIn)
        QCOMPARE(lineEditPassword()->text(), QString());
}

// Escape closes the login screen without logging in, whatever has been chosen and typed.
void TestWelcomeScreen::escapeEndsLogin()
{
    m_screen = createScreen();
    QSignalSpy accepted(m_screen.get(), &QDialog::accepted);
    QSignalSpy rejected(m_screen.get(), &QDialog::rejected);
    m_screen->show();
    QVERIFY(QTest::qWaitForWindowActive(m_screen.get()));
    QTest::keyClicks(comboBoxUser(), QStringLiteral("A"));
    typeText(lineEditPassword(), passwords.value(UserLogin::Admin));

    QTest::keyClick(lineEditPassword(), Qt::Key_Escape);

    QCOMPARE(rejected.count(), 1);
    QVERIFY(accepted.isEmpty());
    QVERIFY(!m_screen->isVisible());
    QCOMPARE(m_screen->result(), int(QDialog::Rejected));
    QVERIFY(m_login->digest().isEmpty());
    QVERIFY2(!QFile::exists(configFile()), "an abandoned login saves nothing");
}

void TestWelcomeScreen::levelFromTheListThenPassword_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("loggedIn");

    QTest::newRow("Supervisor") << 2 << passwords.value(UserLogin::Supervisor) << true;
    QTest::newRow("Demo") << 4 << passwords.value(UserLogin::Demo) << true;
    // Letters that would pick levels in the list ("S", "D") go into the field all the same.
    QTest::newRow("Supervisor, wrong password") << 2 << "SDA demo" << false;
}

// The level chosen from the open list with the keyboard, then the password typed wherever the
// cursor is and Return: the characters land in the password field, never in the list.
void TestWelcomeScreen::levelFromTheListThenPassword()
{
    QFETCH(int, level);
    QFETCH(QString, typed);
    QFETCH(bool, loggedIn);

    m_screen = createScreen();
    QSignalSpy accepted(m_screen.get(), &QDialog::accepted);
    m_screen->show();
    QVERIFY(QTest::qWaitForWindowActive(m_screen.get()));

    comboBoxUser()->showPopup();
    QAbstractItemView *const list = comboBoxUser()->view();
    QVERIFY(list->isVisible());
    for (int row = 0; row < level; ++row)
        QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    QVERIFY(!list->isVisible());
    QCOMPARE(m_login->level(), level);
    QCOMPARE(QApplication::focusWidget(), lineEditPassword());

    // Each key goes where the keyboard focus is at that moment.
    for (const QChar character : typed)
        QTest::keyClick(QApplication::focusWidget(), character.toLatin1());
    QCOMPARE(comboBoxUser()->currentIndex(), level);
    QCOMPARE(lineEditPassword()->text(), typed);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    // The offscreen platform cannot raise the list or let it grab the keyboard, and says so.
    QStringList messages = warnings().take();
    messages.removeAll(QStringLiteral("This plugin does not support raise()"));
    messages.removeAll(QStringLiteral("This plugin does not support grabbing the keyboard"));
    for (const QString &message : qAsConst(messages))
        qWarning("%s", qPrintable(message));

    QCOMPARE(accepted.count(), loggedIn ? 1 : 0);
    QCOMPARE(m_login->level(), level);
    QCOMPARE(m_login->digest() == m_digests.value(level), loggedIn);
}

// A saved login is forgotten on the login screen: the level's entry leaves config.json (other
// levels' entries stay), the field asks for the password again and logs in with it.
void TestWelcomeScreen::forgetSavedPassword()
{
    const QString adminDigest = QString::fromLatin1(m_digests.value(UserLogin::Admin).toHex());
    const QString demoDigest = QString::fromLatin1(m_digests.value(UserLogin::Demo).toHex());
    QVERIFY(writeFile(configFile(),
                      accountsFile({{UserLogin::Admin, adminDigest},
                                    {UserLogin::Demo, demoDigest},
                                    {UserLogin::Admin, adminDigest}})));

    m_screen = createScreen();
    QSignalSpy accepted(m_screen.get(), &QDialog::accepted);
    m_screen->show();
    QVERIFY(QTest::qWaitForWindowActive(m_screen.get()));
    auto *forget = child<QPushButton>("pushButtonForgetPassword");
    // Only a level with a saved password offers to forget it.
    QVERIFY(!forget->isVisible());
    comboBoxUser()->setCurrentIndex(UserLogin::Supervisor);
    QVERIFY(!forget->isVisible());

    QTest::keyClicks(comboBoxUser(), QStringLiteral("A"));
    QCOMPARE(m_login->level(), int(UserLogin::Admin));
    QCOMPARE(lineEditPassword()->text(), QStringLiteral("********"));
    QVERIFY(forget->isVisible());
    QTest::mouseClick(forget, Qt::LeftButton);

    QVERIFY(accepted.isEmpty());
    QVERIFY(!forget->isVisible());
    QCOMPARE(lineEditPassword()->text(), QString());
    QCOMPARE(QApplication::focusWidget(), lineEditPassword());
    const QJsonArray accounts
        = QJsonDocument::fromJson(readFile(configFile())).object().value("UserAccounts").toArray();
    QCOMPARE(accounts.size(), 1);
    QCOMPARE(accounts.at(0).toObject().value("User").toInt(), int(UserLogin::Demo));
    QCOMPARE(accounts.at(0).toObject().value("Password").toString(), demoDigest);

    // The saved digest no longer counts: a wrong password is refused, the right one logs in.
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("wrong"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(accepted.isEmpty());
    typeText(lineEditPassword(), passwords.value(UserLogin::Admin));
    QTest::keyClick(lineEditPassword(), Qt::Key_Return);
    QCOMPARE(accepted.count(), 1);
    QCOMPARE(m_login->digest(), m_digests.value(UserLogin::Admin));
}

void TestWelcomeScreen::levelChoice_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("passwordShown");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("Customer") << 1 << false << true;
    QTest::newRow("Supervisor") << 2 << true << false;
    QTest::newRow("Admin") << 3 << true << false;
    QTest::newRow("Demo") << 4 << true << false;
}

void TestWelcomeScreen::levelChoice()
{
    QFETCH(int, level);
    QFETCH(bool, passwordShown);

    m_screen = createScreen();
    QSignalSpy accepted(m_screen.get(), &QDialog::accepted);
    // The dialog starts at "Please select" with neither field nor check box.
    QVERIFY(!lineEditPassword()->isVisibleTo(m_screen.get()));
    QVERIFY(!checkBoxSavePassword()->isVisibleTo(m_screen.get()));

    comboBoxUser()->setCurrentIndex(level);
    QCOMPARE(m_login->level(), level);
    QCOMPARE(lineEditPassword()->isVisibleTo(m_screen.get()), passwordShown);
    QCOMPARE(checkBoxSavePassword()->isVisibleTo(m_screen.get()), passwordShown);
    QTEST(accepted.count() == 1, "accepted");
    QTEST(m_screen->result() == QDialog::Accepted, "accepted");
    if (level == UserLogin::Customer) {
        // Customer logs in with the digest of the empty text and saves nothing.
        QCOMPARE(m_login->digest(), m_digests.value(UserLogin::Customer));
        QVERIFY(!QFile::exists(configFile()));
    }
}

void TestWelcomeScreen::backToPleaseSelectClearsTheField()
{
    m_screen = createScreen();
    comboBoxUser()->setCurrentIndex(UserLogin::Admin);
    QTest::keyClicks(lineEditPassword(), "typed");
    comboBoxUser()->setCurrentIndex(UserLogin::PleaseSelect);
    QCOMPARE(m_login->level(), 0);
    QVERIFY(!lineEditPassword()->isVisibleTo(m_screen.get()));
    QVERIFY(!checkBoxSavePassword()->isVisibleTo(m_screen.get()));
    QCOMPARE(lineEditPassword()->text(), QString());
    QCOMPARE(m_screen->result(), int(QDialog::Rejected));
}

void TestWelcomeScreen::correctPasswordLogsIn_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("savePassword");
    QTest::addColumn<bool>("withButton");

    QTest::newRow("Supervisor, saved, return key") << 2 << true << false;
    QTest::newRow("Admin, saved, login button") << 3 << true << true;
    QTest::newRow("Demo, saved, return key") << 4 << true << false;
    QTest::newRow("Supervisor, not saved, login button") << 2 << false << true;
    QTest::newRow("Admin, not saved, return key") << 3 << false << false;
}

void TestWelcomeScreen::correctPasswordLogsIn()
{
    QFETCH(int, level);
    QFETCH(bool, savePassword);
    QFETCH(bool, withButton);

    // Another level's saved account is in the file already and must survive.
    const int otherLevel = level == UserLogin::Supervisor ? UserLogin::Demo : UserLogin::Supervisor;
    const QString otherDigest = QString::fromLatin1(m_digests.value(otherLevel).toHex());
    const QByteArray before = accountsFile({{otherLevel, otherDigest}});
    QVERIFY(writeFile(configFile(), before));

    m_screen = createScreen();
    QSignalSpy accepted(m_screen.get(), &QDialog::accepted);
    comboBoxUser()->setCurrentIndex(level);
    QCOMPARE(lineEditPassword()->text(), QString());
    typeText(lineEditPassword(), passwords.value(level));
    checkBoxSavePassword()->setChecked(savePassword);
    if (withButton) {
        QVERIFY(lineEditPassword()->loginButton()->isEnabled());
        QTest::mouseClick(lineEditPassword()->loginButton(), Qt::LeftButton);
    } else {
        QTest::keyClick(lineEditPassword(), Qt::Key_Return);
    }

    QCOMPARE(accepted.count(), 1);
    QCOMPARE(m_login->level(), level);
    QCOMPARE(m_login->digest(), m_digests.value(level));

    const QByteArray after = readFile(configFile());
    if (!savePassword) {
        QCOMPARE(after, before);
        return;
    }
    const QJsonArray accounts
        = QJsonDocument::fromJson(after).object().value("UserAccounts").toArray();
    QCOMPARE(accounts.size(), 2);
    QCOMPARE(accounts.at(0).toObject().value("User").toInt(), otherLevel);
    QCOMPARE(accounts.at(0).toObject().value("Password").toString(), otherDigest);
    const QJsonObject saved = accounts.at(1).toObject();
    QCOMPARE(saved.value("User").toInt(), level);
    const QString digest = saved.value("Password").toString();
    QVERIFY2(QRegularExpression("^[0-9a-f]{128}$").match(digest).hasMatch(), qPrintable(digest));
    QCOMPARE(QByteArray::fromHex(digest.toLatin1()), m_digests.value(level));
}

void TestWelcomeScreen::savedAccountLogsIn_data()
{
    QTest::addColumn<bool>("upperCase");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<bool>("withButton");

    QTest::newRow("lower case, untouched, return key") << false << QString() << false;
    QTest::newRow("lower case, edited, return key") << false << "something else" << false;
    QTest::newRow("upper case, edited, login button") << true << "x" << true;
    QTest::newRow("upper case, emptied, return key") << true << "\b" << false;
}

void TestWelcomeScreen::savedAccountLogsIn()
{
    QFETCH(bool, upperCase);
    QFETCH(QString, edit);
    QFETCH(bool, withButton);

    QString digest = QString::fromLatin1(m_digests.value(UserLogin::Admin).toHex());
    if (upperCase)
        digest = digest.toUpper();
    const QByteArray before = accountsFile({{UserLogin::Admin, digest}});
    QVERIFY(writeFile(configFile(), before));

    m_screen = createScreen();
    QSignalSpy accepted(m_screen.get(), &QDialog::accepted);
    comboBoxUser()->setCurrentIndex(UserLogin::Admin);
    QCOMPARE(lineEditPassword()->text(), QStringLiteral("********"));
    QVERIFY(accepted.isEmpty());

    if (edit == QLatin1String("\b")) {
        lineEditPassword()->selectAll();
        QTest::keyClick(lineEditPassword(), Qt::Key_Backspace);
        QCOMPARE(lineEditPassword()->text(), QString());
    } else if (!edit.isEmpty()) {
        lineEditPassword()->selectAll();
        typeText(lineEditPassword(), edit);
    }
    if (withButton)
        QTest::mouseClick(lineEditPassword()->loginButton(), Qt::LeftButton);
    else
        QTest::keyClick(lineEditPassword(), Qt::Key_Return);

    QCOMPARE(accepted.count(), 1);
    QCOMPARE(m_login->level(), int(UserLogin::Admin));
    QCOMPARE(m_login->digest(), m_digests.value(UserLogin::Admin));
    QCOMPARE(readFile(configFile()), before);
}

void TestWelcomeScreen::savedAccountNoLongerValid()
{
    const QString stale = QString::fromLatin1(TestSupport::opensslSha3_512("old password").toHex());
    QVERIFY(writeFile(configFile(), accountsFile({{UserLogin::Demo, stale}})));

    m_screen = createScreen();
    QSignalSpy accepted(m_screen.get(), &QDialog::accepted);
    comboBoxUser()->setCurrentIndex(UserLogin::Demo);
    QCOMPARE(lineEditPassword()->text(), QStringLiteral("********"));
    QTest::keyClick(lineEditPassword(), Qt::Key_Return);

    QVERIFY(accepted.isEmpty());
    QCOMPARE(m_screen->result(), int(QDialog::Rejected));
    QCOMPARE(lineEditPassword()->text(), QStringLiteral("********"));
    QVERIFY(!labelLoginHint()->text().isEmpty());

    // Another level still logs in normally, and the hint goes away on the way.
    comboBoxUser()->setCurrentIndex(UserLogin::Supervisor);
    QVERIFY(labelLoginHint()->text().isEmpty());
    typeText(lineEditPassword(), passwords.value(UserLogin::Supervisor));
    QTest::keyClick(lineEditPassword(), Qt::Key_Return);
    QCOMPARE(accepted.count(), 1);
}

void TestWelcomeScreen::wrongPasswordClearsField_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("typed");

    QTest::newRow("Supervisor, wrong") << 2 << "super-visor secreT";
    QTest::newRow("Admin, another level's password") << 3 << passwords.value(UserLogin::Demo);
    QTest::newRow("Demo, empty field") << 4 << QString();
}

void TestWelcomeScreen::wrongPasswordClearsField()
{
    QFETCH(int, level);
    QFETCH(QString, typed);

    m_screen = createScreen();
    QSignalSpy accepted(m_screen.get(), &QDialog::accepted);
    comboBoxUser()->setCurrentIndex(level);
    checkBoxSavePassword()->setChecked(true);
    typeText(lineEditPassword(), typed);
    QTest::keyClick(lineEditPassword(), Qt::Key_Return);

    QVERIFY(accepted.isEmpty());
    QCOMPARE(m_screen->result(), int(QDialog::Rejected));
    QCOMPARE(lineEditPassword()->text(), QString());
    QVERIFY(!lineEditPassword()->loginButton()->isEnabled());
    QVERIFY(!labelLoginHint()->text().isEmpty());
    QVERIFY2(!QFile::exists(configFile()), "a failed login saves nothing");

    // Typing again takes the hint away and enables the button.
    QTest::keyClicks(lineEditPassword(), "a");
    QVERIFY(labelLoginHint()->text().isEmpty());
    QVERIFY(lineEditPassword()->loginButton()->isEnabled());
}

void TestWelcomeScreen::loginWithoutLevelIsRefused()
{
    m_screen = createScreen();
    QSignalSpy accepted(m_screen.get(), &QDialog::accepted);
    lineEditPassword()->setText(QStringLiteral("anything"));
    m_screen->handleLoggedIn();
    QVERIFY(accepted.isEmpty());
    QCOMPARE(lineEditPassword()->text(), QString());
    QVERIFY(!labelLoginHint()->text().isEmpty());
}

void TestWelcomeScreen::loginButtonFollowsText()
{
    PasswordLineEdit field;
    QSignalSpy loggedIn(&field, &PasswordLineEdit::loggedIn);
    QToolButton *button = field.loginButton();
    QVERIFY(!button->isEnabled());

    QTest::keyClicks(&field, "ab");
    QVERIFY(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(loggedIn.count(), 1);
    QCOMPARE(loggedIn.at(0).at(0).toString(), QStringLiteral("ab"));

    field.clear();
    QVERIFY(!button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(loggedIn.count(), 1);
}

void TestWelcomeScreen::loginButtonFollowsResize_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("minimum") << QSize(230, 40);
    QTest::newRow("wide and tall") << QSize(480, 71);
    QTest::newRow("odd height") << QSize(301, 45);
    QTest::newRow("shorter than the button") << QSize(260, 20);
}

void TestWelcomeScreen::loginButtonFollowsResize()
{
    QFETCH(QSize, size);

    PasswordLineEdit field;
    field.resize(300, 40);
    field.show();
    QVERIFY(QTest::qWaitForWindowExposed(&field));
    field.resize(size);
    QTRY_COMPARE(field.size(), size);

    const QToolButton *button = field.loginButton();
    const QSize preferred = button->sizeHint();
    QCOMPARE(button->size(), preferred);
    QCOMPARE(button->x(), size.width() - 1 - preferred.width());
    QCOMPARE(button->y(), (size.height() - preferred.height()) / 2);
}

void TestWelcomeScreen::germanTranslation()
{
    QString savePassword;
    QString customer;
    QString placeholder;
    {
        const TestSupport::GermanTranslation german;
        QVERIFY(german.isInstalled());
        m_screen = createScreen();
        savePassword = checkBoxSavePassword()->text();
        customer = comboBoxUser()->itemText(UserLogin::Customer);
        placeholder = lineEditPassword()->placeholderText();
    }

    QCOMPARE(savePassword, QStringLiteral("Passwort speichern"));
    QCOMPARE(customer, QStringLiteral("Kunde"));
    QCOMPARE(placeholder, QStringLiteral("Passwort"));
}

K27_TEST_MAIN(TestWelcomeScreen)
#include "tst_gui_welcomescreen.moc"
